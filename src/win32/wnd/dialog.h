// Modal dialogs from templates in the resources.
#pragma once

#include "win32/wnd/win.h"

namespace wnd {

class Dialog {
 public:
  explicit Dialog(int templateId) : templateId_(templateId) {}
  virtual ~Dialog() = default;
  // Runs the dialog; returns the id of the button that ended it (IDOK, IDCANCEL, ...).
  INT_PTR Execute(HWND owner);
  HWND Handle() const { return hwnd_; }

 protected:
  virtual bool OnInitDialog() { return true; }
  // Return true when handled. The default ends the dialog on OK and Cancel.
  virtual bool OnCommand(UINT id, UINT code, HWND control);
  virtual INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled) { return 0; }
  virtual bool CanClose() { return true; }  // OK pressed: validate and store
  void End(INT_PTR result) { EndDialog(hwnd_, result); }

  HWND hwnd_ = nullptr;
  int templateId_;

 private:
  static INT_PTR CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

}  // namespace wnd
