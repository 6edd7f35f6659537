#include "ui/status_text.h"

#include <algorithm>
#include <cstdio>

#include "text/sjis.h"
#include "ui/list_cells.h"

namespace ui {

std::string CaptionText(bool listEmpty, std::string_view currentPath, PlayState state,
                        bool waiting, int32_t caseMode) {
  if (listEmpty) return text::WithCase("corvella", caseMode);
  const char* word = waiting                         ? "(待機中)"
                     : state == PlayState::kPlaying ? "(演奏中)"
                     : state == PlayState::kPaused  ? "(ポーズ)"
                                                    : "(停止中)";
  text::PathParts p = text::SplitPath(currentPath);
  std::string caption;
  if (IsAcd(currentPath)) {
    caption = CdTitle(p.name) + " " + word;
  } else {
    caption = p.name + p.ext + " " + word;
  }
  return text::WithCase(caption, caseMode);
}

StatusParts StatusBarParts(int32_t barWidth, int32_t textWidth, int32_t inset, int32_t grip) {
  StatusParts p;
  p.timeRight = std::max(barWidth - grip, 0);
  p.messageRight = std::max(p.timeRight - textWidth - 2 * inset, 0);
  return p;
}

SliderPlacement PlaceSlider(bool sliderOn, int32_t clientWidth, int32_t clientHeight) {
  SliderPlacement p;
  if (!sliderOn || clientHeight <= 20) return p;
  p.shown = true;
  p.slider = Rect{0, clientHeight - 20, clientWidth, clientHeight};
  p.line = Rect{0, clientHeight - 21, clientWidth, clientHeight - 20};
  return p;
}

void SliderControl::OnNotify(SliderTarget& t, int32_t code, int32_t sliderPosition) {
  t.FocusMainWindow();
  // A seek of an MP3 restarts its player synchronously, so no notification
  // can arrive mid-restart; only a still picture has nothing to seek.
  if (t.StillPictureOpen()) return;
  switch (code) {
    case kSbPageLeft:
    case kSbPageRight:
    case kSbThumbTrack:
    case kSbEndScroll:
      t.SeekTo(sliderPosition);
      break;
    default:
      break;
  }
}

}  // namespace ui
