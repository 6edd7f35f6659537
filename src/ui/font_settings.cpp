#include "ui/font_settings.h"

#include <cstdio>

#include "text/sjis.h"
#include "ui/list_cells.h"

namespace ui {

const char* const kNoKanjiText = "このフォントを使用すると、漢字の表示ができなくなります。";
const char* const kNoKanjiCaption = "使用上の注意";

std::string CharNumText(int32_t charNum) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d", static_cast<int>(charNum));
  return buf;
}

int32_t ReadCharNum(std::string_view field) {
  long v = text::ReadNumber(field.substr(0, kCharNumFieldChars));
  if (v <= 0) return 1;
  if (v > 250) return 250;
  return static_cast<int32_t>(v);
}

int32_t CaseRadio(int32_t caseMode) {
  switch (caseMode) {
    case text::kCaseUpper: return kIdcCaseUpper;
    case text::kCaseWords: return kIdcCaseWords;
    default: return kIdcCaseLower;
  }
}

int32_t CaseModeOfRadio(int32_t radioId) {
  switch (radioId) {
    case kIdcCaseUpper: return text::kCaseUpper;
    case kIdcCaseWords: return text::kCaseWords;
    default: return text::kCaseLower;
  }
}

FontChoice StartingFont(const app::Settings& s, const std::string& drawnFace) {
  FontChoice f;
  f.faceName = drawnFace.empty() ? s.faceName : drawnFace;
  f.pointSizeTenths = s.fontSize * 10;
  f.weight = s.bold;
  f.italic = s.italic;
  f.charset = s.charset;
  return f;
}

bool IsVerticalFace(std::string_view face) { return !face.empty() && face[0] == '@'; }

void StoreFontChoice(const FontChoice& f, const FontChoice& started, int32_t charNum,
                     int32_t caseMode, app::Settings* s) {
  s->charNum = charNum;
  s->strupr = caseMode;
  if (f == started) return;
  s->faceName = f.faceName;
  s->fontSize = f.pointSizeTenths / 10;
  s->bold = f.weight;
  s->italic = f.italic;
  s->charset = f.charset;
}

void WarnIfNotShiftJis(int32_t charset, platform::Notifier& n) {
  if (charset == kShiftJisCharset) return;
  n.Beep(platform::kBeepWarning);
  n.MessageBox(kNoKanjiText, kNoKanjiCaption, platform::kMbOk | platform::kMbIconExclamation);
}

void AfterFontChosen(const app::Settings& s, playback::Device& device, platform::Notifier& n) {
  device.RewriteTrackText();
  WarnIfNotShiftJis(s.charset, n);
}

}  // namespace ui
