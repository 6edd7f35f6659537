#include "win32/time_dialog.h"

#include <string>

#include "playback/interval.h"
#include "win32/wnd/text_conv.h"

namespace {
constexpr int kHours = 1002, kMinutes = 1003, kSeconds = 1004, kText = 1202;

std::string FieldText(HWND dlg, int id) {
  wchar_t buf[16] = {};
  GetDlgItemTextW(dlg, id, buf, 16);
  return wnd::Narrow(buf);
}
}  // namespace

playback::Hms TTimeDialog::Fields() const {
  playback::Hms v;
  v.hours = playback::ReadField(FieldText(hwnd_, kHours));
  v.minutes = playback::ReadField(FieldText(hwnd_, kMinutes));
  v.seconds = playback::ReadField(FieldText(hwnd_, kSeconds));
  return v;
}

void TTimeDialog::SetFields(int32_t t) {
  playback::Hms v = playback::SplitSeconds(t);
  SetDlgItemInt(hwnd_, kHours, static_cast<UINT>(v.hours), FALSE);
  SetDlgItemInt(hwnd_, kMinutes, static_cast<UINT>(v.minutes), FALSE);
  SetDlgItemInt(hwnd_, kSeconds, static_cast<UINT>(v.seconds), FALSE);
}

bool TTimeDialog::OnInitDialog() {
  for (int id : {kHours, kMinutes, kSeconds}) SendDlgItemMessageW(hwnd_, id, EM_LIMITTEXT, 3, 0);
  SetFields(*interval_);
  // Shows the value the dialog opened with; the buttons change only the fields.
  SetDlgItemTextW(hwnd_, kText, wnd::Wide(playback::IntervalText(playback::SplitSeconds(*interval_))).c_str());
  return true;
}

bool TTimeDialog::OnCommand(UINT id, UINT code, HWND control) {
  if (id >= playback::kHourUp && id <= playback::kSecondDown) {
    SetFields(playback::IntervalButton(playback::TotalSeconds(Fields()), static_cast<int32_t>(id)));
    return true;
  }
  return wnd::Dialog::OnCommand(id, code, control);
}

bool TTimeDialog::CanClose() {
  *interval_ = playback::IntervalOnOk(Fields());
  return true;
}
