#include "win32/wnd/dialog.h"

namespace wnd {

static const wchar_t kDlgProp[] = L"CorvellaDlgObject";

INT_PTR Dialog::Execute(HWND owner) {
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner,
                         StaticProc, reinterpret_cast<LPARAM>(this));
}

bool Dialog::OnCommand(UINT id, UINT code, HWND control) {
  if (id == IDOK) {
    if (CanClose()) End(IDOK);
    return true;
  }
  if (id == IDCANCEL) {
    End(IDCANCEL);
    return true;
  }
  return false;
}

INT_PTR CALLBACK Dialog::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Dialog* self = static_cast<Dialog*>(GetPropW(hwnd, kDlgProp));
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lp);
    self->hwnd_ = hwnd;
    SetPropW(hwnd, kDlgProp, self);
    return self->OnInitDialog() ? TRUE : FALSE;
  }
  if (!self) return FALSE;
  if (msg == WM_NCDESTROY) {
    RemovePropW(hwnd, kDlgProp);
    self->hwnd_ = nullptr;
    return FALSE;
  }
  bool handled = false;
  INT_PTR r = self->OnMessage(msg, wp, lp, &handled);
  if (handled) return r;
  if (msg == WM_COMMAND) {
    return self->OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)) ? TRUE : FALSE;
  }
  return FALSE;
}

}  // namespace wnd
