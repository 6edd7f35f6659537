#include "ui/play_pod.h"

namespace ui {

std::vector<std::pair<uint16_t, bool>> PodButtonStates(const app::CommandState& s) {
  std::vector<std::pair<uint16_t, bool>> out;
  for (uint16_t id : kPodButtons) out.emplace_back(id, app::IsCommandEnabled(id, s));
  return out;
}

PodOrigin PlacePodOnScreen(int32_t x, int32_t y, int32_t width, int32_t height, int32_t screenW,
                           int32_t screenH) {
  PodOrigin o{x, y, false};
  // 64-bit sums: PX and PY come from a file and may be anything.
  if (int64_t{screenW} - x < width) {
    o.x = screenW - width;
    o.moved = true;
  }
  if (int64_t{screenH} - y < height) {
    o.y = screenH - height;
    o.moved = true;
  }
  if (o.x < 0) {
    o.x = 0;
    o.moved = true;
  }
  if (o.y < 0) {
    o.y = 0;
    o.moved = true;
  }
  return o;
}

void StorePodPosition(int32_t left, int32_t top, app::Settings* s) {
  s->px = left < 0 ? 0 : left;
  s->py = top < 0 ? 0 : top;
}

bool PlayPod::Wanted() const { return s_.controlPad && (!s_.iconPad || minimized_); }

void PlayPod::Apply() {
  if (!started_) return;
  if (Wanted()) {
    if (!w_.PodExists()) w_.CreatePod(s_.topPad);
  } else if (w_.PodExists()) {
    w_.RemovePod();
  }
}

void PlayPod::Start(bool minimizedStart) {
  started_ = true;
  minimized_ = minimizedStart;
  Apply();
}

bool PlayPod::OnCommand(uint16_t id) {
  switch (id) {
    case CM_PODCLOSED:
      s_.controlPad = false;
      break;
    case CM_CONTROLPAD:
      s_.controlPad = !s_.controlPad;
      break;
    case CM_TOPPAD:
      s_.topPad = !s_.topPad;
      if (w_.PodExists()) w_.SetPodTopmost(s_.topPad);
      return true;
    case CM_ICONPAD:
      s_.iconPad = !s_.iconPad;
      break;
    default:
      return false;
  }
  Apply();
  return true;
}

void PlayPod::SetMinimized(bool minimized) {
  if (minimized == minimized_) return;
  minimized_ = minimized;
  Apply();
}

void PlayPod::Exit() {
  if (w_.PodExists()) w_.RemovePod();
  started_ = false;
}

}  // namespace ui
