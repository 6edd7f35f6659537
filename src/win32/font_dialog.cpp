#include "win32/font_dialog.h"

#include <dlgs.h>

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
int CALLBACK ListedName(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM name) {
  *reinterpret_cast<std::wstring*>(name) = lf->lfFaceName;
  return 0;
}
}  // namespace

std::string DrawnFace(HFONT font) {
  if (!font) return "";
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  GetTextFaceW(dc, LF_FACESIZE, lf.lfFaceName);
  SelectObject(dc, old);
  // The font dialog lists a face by the name enumeration gives it, which
  // may be the local one where the drawing side answered the English one.
  std::wstring listed;
  if (lf.lfFaceName[0]) EnumFontFamiliesExW(dc, &lf, ListedName, reinterpret_cast<LPARAM>(&listed), 0);
  ReleaseDC(nullptr, dc);
  return wnd::Narrow(listed);
}

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

bool TMyFontDialog::Execute(HWND owner, int dpi, HFONT listFont, app::Settings* out) {
  charNum_ = current_.charNum;
  caseMode_ = current_.strupr;
  started_ = ui::StartingFont(current_, win32::DrawnFace(listFont));

  LOGFONTW lf{};
  lf.lfHeight = app::FontHeight(dpi, started_.pointSizeTenths / 10);
  lf.lfWeight = started_.weight;
  lf.lfItalic = started_.italic ? TRUE : FALSE;
  lf.lfCharSet = static_cast<BYTE>(started_.charset);
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  std::wstring face = wnd::Wide(started_.faceName);
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
  ui::StoreFontChoice(f, started_, charNum_, caseMode_, out);
  return true;
}

void TMyFontDialog::Init(HWND dlg) {
  SetDlgItemTextW(dlg, ui::kIdcCharNum, wnd::Wide(ui::CharNumText(charNum_)).c_str());
  CheckRadioButton(dlg, ui::kIdcCaseLower, ui::kIdcCaseWords, ui::CaseRadio(caseMode_));
}

void TMyFontDialog::DropVerticalFaces(HWND dlg) {
  HWND faces = GetDlgItem(dlg, cmb1);
  const LRESULT chosen = SendMessageW(faces, CB_GETCURSEL, 0, 0);
  bool chosenDropped = false;
  for (LRESULT i = SendMessageW(faces, CB_GETCOUNT, 0, 0) - 1; i >= 0; --i) {
    const LRESULT len = SendMessageW(faces, CB_GETLBTEXTLEN, i, 0);
    if (len <= 0) continue;
    std::wstring name(static_cast<size_t>(len) + 1, L'\0');
    SendMessageW(faces, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name.data()));
    if (!ui::IsVerticalFace(wnd::Narrow(name.c_str()))) continue;
    SendMessageW(faces, CB_DELETESTRING, i, 0);
    if (i == chosen) chosenDropped = true;
  }
  if (chosenDropped) {
    // The platform had fallen back on a sideways face: take the first
    // upright one, and let the dialog fill its styles and sizes for it.
    SendMessageW(faces, CB_SETCURSEL, 0, 0);
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(faces));
  }
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
    self->DropVerticalFaces(dlg);
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
