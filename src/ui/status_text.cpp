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

std::string TimeText(PlayState state, uint32_t lengthMs, uint32_t positionMs) {
  if (lengthMs == 0) return "  ";
  char buf[64];
  const unsigned long lm = lengthMs / 60000, ls = lengthMs / 1000 % 60;
  if (state == PlayState::kStopped) {
    std::snprintf(buf, sizeof buf, " %lu分%02lu秒", lm, ls);
  } else {
    const unsigned long pm = positionMs / 60000, ps = positionMs / 1000 % 60;
    std::snprintf(buf, sizeof buf, " %lu分%02lu秒／%lu分%02lu秒", pm, ps, lm, ls);
  }
  return buf;
}

std::string TrackText(int32_t track, int32_t charset, int32_t caseMode) {
  char buf[32];
  if (charset == kShiftJisCharset) {
    std::snprintf(buf, sizeof buf, "ﾄﾗｯｸ <%03d>", static_cast<int>(track));
    return buf;
  }
  std::snprintf(buf, sizeof buf, "track <%03d>", static_cast<int>(track));
  return text::WithCase(buf, caseMode);
}

SliderPlacement PlaceSlider(bool sliderOn, int32_t clientWidth, int32_t clientHeight) {
  SliderPlacement p;
  if (!sliderOn || clientHeight <= 20) return p;
  p.shown = true;
  p.slider = Rect{0, clientHeight - 20, clientWidth, clientHeight};
  p.line = Rect{0, clientHeight - 21, clientWidth, clientHeight - 20};
  return p;
}

SliderRange SliderRangeFor(uint32_t lengthMs, uint32_t divisor) {
  SliderRange r;
  if (divisor == 0) divisor = 1;
  r.maximum = static_cast<int32_t>(lengthMs / divisor);
  r.page = std::max<int32_t>(1, static_cast<int32_t>(10000 / divisor));
  return r;
}

void SliderControl::OnNotify(SliderTarget& t, int32_t code, int32_t sliderPosition) {
  t.FocusMainWindow();
  if (t.StillPictureOpen() || t.PlayerRestarting()) return;
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

int32_t SliderControl::ValueFor(bool songOpen, uint32_t positionMs, uint32_t divisor) {
  if (!songOpen || divisor == 0) return 0;
  return static_cast<int32_t>(positionMs / divisor);
}

}  // namespace ui
