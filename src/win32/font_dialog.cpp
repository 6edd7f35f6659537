#include "win32/font_dialog.h"

#include <cwchar>
#include <string>

#include "win32/wnd/text_conv.h"

namespace {
const wchar_t kSelfProp[] = L"CorvellaFontDialog";
}

namespace win32 {

namespace {
int CALLBACK CountFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}
}  // namespace

bool FontFaceExists(const std::string& face) {
  if (face.empty()) return false;
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;  // any script of the face
  std::wstring w = wnd::Wide(face);
  if (w.size() >= LF_FACESIZE) return false;
  wcsncpy(lf.lfFaceName, w.c_str(), LF_FACESIZE - 1);
  bool found = false;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExW(dc, &lf, CountFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found;
}

}  // namespace win32

bool TMyFontDialog::Execute(HWND owner, int dpi, app::Settings* out) {
  charNum_ = current_.charNum;
  caseMode_ = current_.strupr;

  LOGFONTW lf{};
  lf.lfHeight = app::FontHeight(dpi, current_.fontSize);
  lf.lfWeight = current_.bold;
  lf.lfItalic = current_.italic ? TRUE : FALSE;
  lf.lfCharSet = static_cast<BYTE>(current_.charset);
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  std::wstring face = wnd::Wide(current_.faceName);
  wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);

  CHOOSEFONTW cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = owner;
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_FORCEFONTEXIST | CF_EFFECTS |
             CF_ENABLETEMPLATE | CF_ENABLEHOOK;
  cf.hInstance = GetModuleHandleW(nullptr);
  cf.lpTemplateName = MAKEINTRESOURCEW(ui::kFontDialogTemplate);
  cf.lpfnHook = Hook;
  cf.lCustData = reinterpret_cast<LPARAM>(this);
  if (!ChooseFontW(&cf)) return false;

  ui::FontChoice f;
  f.faceName = wnd::Narrow(lf.lfFaceName);
  f.pointSizeTenths = cf.iPointSize;
  f.weight = lf.lfWeight;
  f.italic = lf.lfItalic != 0;
  f.charset = lf.lfCharSet;
  ui::StoreFontChoice(f, charNum_, caseMode_, out);
  return true;
}

void TMyFontDialog::Init(HWND dlg) {
  SetDlgItemTextW(dlg, ui::kIdcCharNum, wnd::Wide(ui::CharNumText(charNum_)).c_str());
  CheckRadioButton(dlg, ui::kIdcCaseLower, ui::kIdcCaseWords, ui::CaseRadio(caseMode_));
}

void TMyFontDialog::ReadFields(HWND dlg) {
  wchar_t buf[ui::kCharNumFieldChars + 1] = {};
  GetDlgItemTextW(dlg, ui::kIdcCharNum, buf, ui::kCharNumFieldChars + 1);
  charNum_ = ui::ReadCharNum(wnd::Narrow(buf));
  int radio = ui::kIdcCaseLower;
  for (int id = ui::kIdcCaseLower; id <= ui::kIdcCaseWords; ++id) {
    if (IsDlgButtonChecked(dlg, id) == BST_CHECKED) radio = id;
  }
  caseMode_ = ui::CaseModeOfRadio(radio);
}

UINT_PTR CALLBACK TMyFontDialog::Hook(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    auto* cf = reinterpret_cast<CHOOSEFONTW*>(lp);
    auto* self = reinterpret_cast<TMyFontDialog*>(cf->lCustData);
    SetPropW(dlg, kSelfProp, self);
    self->Init(dlg);
    return TRUE;
  }
  auto* self = static_cast<TMyFontDialog*>(GetPropW(dlg, kSelfProp));
  if (!self) return FALSE;
  if (msg == WM_COMMAND && LOWORD(wp) == IDOK && HIWORD(wp) == BN_CLICKED) {
    // Read ours and let the platform finish its own part of OK.
    self->ReadFields(dlg);
    return FALSE;
  }
  if (msg == WM_DESTROY) RemovePropW(dlg, kSelfProp);
  return FALSE;
}
