// The media control interface through mciSendCommandW. Notifications go to
// the window given at construction (the main window) as MM_MCINOTIFY.
#pragma once

#include "win32/wnd/win.h"

#include <map>
#include <vector>

#include "platform/mci.h"

class WinMci : public platform::Mci {
 public:
  explicit WinMci(HWND notifyWindow = nullptr) : notify_(notifyWindow) {}
  void SetNotifyWindow(HWND w) { notify_ = w; }
  HWND NotifyWindow() const { return notify_; }

  uint32_t OpenElement(const std::string& element, platform::VideoPlacement window,
                       platform::MciDevice* id) override;
  uint32_t OpenElementOn(const std::string& deviceType, const std::string& element,
                         platform::VideoPlacement window,
                         platform::MciDevice* id) override;
  // Plain MCI has no picture device of its own (WinPictureMci adds one).
  uint32_t OpenPicture(const std::string& element, bool popup, platform::MciDevice* id) override;
  uint32_t OpenCdAudio(platform::MciDevice* id) override;
  uint32_t SetTimeFormat(platform::MciDevice id, platform::MciTimeFormat format) override;
  uint32_t Status(platform::MciDevice id, platform::MciStatusItem item, uint32_t* value,
                  uint32_t track = 0) override;
  uint32_t StatusWindow(platform::MciDevice id, platform::WindowHandle* window) override;
  uint32_t Info(platform::MciDevice id, platform::MciInfoItem item, std::string* text) override;
  uint32_t Play(platform::MciDevice id, bool hasFrom, uint32_t from, bool hasTo, uint32_t to) override;
  uint32_t Pause(platform::MciDevice id) override;
  uint32_t Seek(platform::MciDevice id, uint32_t to) override;
  uint32_t Stop(platform::MciDevice id) override;
  uint32_t Close(platform::MciDevice id) override;
  uint32_t Window(platform::MciDevice id, platform::WindowHandle window) override;
  uint32_t WindowState(platform::MciDevice id, platform::MciWindowState state) override;
  uint32_t PutDestination(platform::MciDevice id, const platform::MciRect& rect) override;
  uint32_t WhereSource(platform::MciDevice id, platform::MciRect* rect) override;
  uint32_t WhereDestination(platform::MciDevice id, platform::MciRect* rect) override;
  uint32_t Step(platform::MciDevice id, bool backward) override;
  std::string ErrorText(uint32_t code) override;
  uint32_t DiscardNotices() override;

 private:
  uint32_t Where(platform::MciDevice id, DWORD which, platform::MciRect* rect);
  HWND notify_;
  // Windows a device made inside the window it was opened in, hidden before
  // it closes: the DirectShow device hands its picture window back to the
  // desktop as it closes, where a shown one would flash up on its own.
  std::map<platform::MciDevice, std::vector<HWND>> deviceWindows_;
};
