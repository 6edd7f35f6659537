// The interval dialog (command 123): the pause between songs as hours,
// minutes and seconds, with buttons that step it by an hour, a minute or a
// second. The value is written back only on OK.
#pragma once

#include "win32/wnd/dialog.h"

#include <cstdint>

#include "playback/interval.h"

class TTimeDialog : public wnd::Dialog {
 public:
  explicit TTimeDialog(int32_t* interval) : wnd::Dialog(4), interval_(interval) {}

 protected:
  bool OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  bool CanClose() override;

 private:
  playback::Hms Fields() const;
  void SetFields(int32_t t);
  int32_t* interval_;
};
