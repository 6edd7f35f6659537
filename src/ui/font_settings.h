// The list font dialog's own rules: the name length field, the letter case
// radios, storing the chosen font in the settings, and the warning about
// fonts that cannot show kanji.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/settings.h"
#include "platform/notify.h"
#include "playback/device.h"

namespace ui {

// Control ids of the dialog template's additions.
enum : int32_t {
  kIdcCaseLower = 201, kIdcCaseUpper = 202, kIdcCaseWords = 203, kIdcCharNum = 1001,
};
constexpr int32_t kFontDialogTemplate = 8;
constexpr int32_t kCharNumFieldChars = 4;  // characters of the field that are read

// The field's text at set-up.
std::string CharNumText(int32_t charNum);
// The name length from the field: at most 4 characters read as a number;
// 0 or less becomes 1, more than 250 becomes 250.
int32_t ReadCharNum(std::string_view field);
// Radio id of a case mode and back (unknown modes count as lower case).
int32_t CaseRadio(int32_t caseMode);
int32_t CaseModeOfRadio(int32_t radioId);

// What the platform's font dialog returned.
struct FontChoice {
  std::string faceName;
  int32_t pointSizeTenths = 140;
  int32_t weight = 400;
  bool italic = false;
  int32_t charset = 128;
  bool operator==(const FontChoice& o) const {
    return faceName == o.faceName && pointSizeTenths == o.pointSizeTenths && weight == o.weight &&
           italic == o.italic && charset == o.charset;
  }
};
// The font the dialog starts from: the list font's keys, with the face the
// list is really drawn with (drawnFace, as the system lists it; "" when
// unknown). A face the system lacks thus gives way to its stand-in, and the
// dialog does not open on whatever face sorts first.
FontChoice StartingFont(const app::Settings& s, const std::string& drawnFace);
// Sideways faces for vertical writing ("@" and a face name): never a list font.
bool IsVerticalFace(std::string_view face);
// OK: the chosen font, name length and case mode go into the settings. A font
// left as the dialog started (started) keeps the font keys as they were.
void StoreFontChoice(const FontChoice& f, const FontChoice& started, int32_t charNum,
                     int32_t caseMode, app::Settings* s);

extern const char* const kNoKanjiText;
extern const char* const kNoKanjiCaption;
// After the view has been rebuilt: beep and warn when the character set is not Shift-JIS.
void WarnIfNotShiftJis(int32_t charset, platform::Notifier& n);
// The rest of a font dialog's OK once the list is measured again: a CD track's
// status text follows the new letter case and character set, then the warning.
void AfterFontChosen(const app::Settings& s, playback::Device& device, platform::Notifier& n);

}  // namespace ui
