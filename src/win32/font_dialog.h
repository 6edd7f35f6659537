// The list font dialog (command 140): the platform's font dialog on
// template 8, which adds the letter case radios and the name length field.
#pragma once

#include "win32/wnd/win.h"

#include <commdlg.h>

#include <string>

#include "app/settings.h"
#include "ui/font_settings.h"

namespace win32 {
// Whether the system has a font of this face (any character set).
bool FontFaceExists(const std::string& face);
// The face a font is really drawn with, under the name the system lists it
// by ("" when it cannot be told).
std::string DrawnFace(HFONT font);
}  // namespace win32

class TMyFontDialog {
 public:
  explicit TMyFontDialog(const app::Settings& current) : current_(current) {}
  // Shows the dialog on the current list font (dpi: the screen's vertical
  // dots per inch; listFont: the font the list is drawn with). On OK the
  // chosen font, name length and case mode are stored in *out and true is
  // returned; Cancel changes nothing.
  bool Execute(HWND owner, int dpi, HFONT listFont, app::Settings* out);

 private:
  static UINT_PTR CALLBACK Hook(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
  void Init(HWND dlg);
  void ReadFields(HWND dlg);
  void DropVerticalFaces(HWND dlg);

  const app::Settings& current_;
  int32_t charNum_ = 8;
  int32_t caseMode_ = 0;
  ui::FontChoice started_;
};
