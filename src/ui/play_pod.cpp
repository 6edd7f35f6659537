#include "ui/play_pod.h"

namespace ui {

PodOrigin PlacePodOnScreen(int32_t x, int32_t y, int32_t width, int32_t height,
                           const app::Areas& areas) {
  const app::Rect& a = app::AreaFor(x, y, width, height, areas);
  PodOrigin o{x, y, false};
  // 64-bit sums: PX and PY come from a file and may be anything.
  if (int64_t{a.right} - x < width) o.x = a.right - width;
  if (int64_t{a.bottom} - y < height) o.y = a.bottom - height;
  if (o.x < a.left) o.x = a.left;
  if (o.y < a.top) o.y = a.top;
  o.moved = o.x != x || o.y != y;
  return o;
}

void StorePodPosition(int32_t left, int32_t top, const app::Areas& areas, app::Settings* s) {
  for (const app::Rect& a : areas) {
    if (left >= a.left && left < a.right && top >= a.top && top < a.bottom) {
      s->px = left;
      s->py = top;
      return;
    }
  }
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
