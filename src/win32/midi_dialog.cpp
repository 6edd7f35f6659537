#include "win32/midi_dialog.h"

#include "win32/wnd/text_conv.h"

namespace {
constexpr int kGm = 201, kGs = 202, kResetOn = 203, kDeviceId = 1001;
}

bool TMidiDialog::OnInitDialog() {
  CheckDlgButton(hwnd_, kResetOn, settings_->on ? BST_CHECKED : BST_UNCHECKED);
  CheckRadioButton(hwnd_, kGm, kGs, settings_->gs ? kGs : kGm);
  SendDlgItemMessageW(hwnd_, kDeviceId, EM_LIMITTEXT, 3, 0);
  SetDlgItemInt(hwnd_, kDeviceId, static_cast<UINT>(settings_->deviceId), FALSE);
  return true;
}

bool TMidiDialog::CanClose() {
  wchar_t buf[16] = {};
  GetDlgItemTextW(hwnd_, kDeviceId, buf, 16);
  playback::ApplyResetDialog(IsDlgButtonChecked(hwnd_, kResetOn) == BST_CHECKED,
                             IsDlgButtonChecked(hwnd_, kGm) == BST_CHECKED, wnd::Narrow(buf),
                             settings_);
  return true;
}
