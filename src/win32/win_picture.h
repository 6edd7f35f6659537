// Still pictures (".jpg") as a media device. No QuickTime device exists on
// current Windows or under Wine, so the picture is decoded by the system's own
// image decoder (WIC) and shown by a device of ours that answers the media
// control calls as a one-frame video does: in a window it is given (a child
// window over the destination rectangle) or in its own window, which the user
// may close. Playing shows it for a fixed time and then reports the end.
// Every other device id goes to the media control interface unchanged.
#pragma once

#include "win32/wnd/win.h"

#include <map>
#include <memory>
#include <string>

#include "win32/win_mci.h"

namespace win32 {

class PictureDevice;

class WinPictureMci : public WinMci {
 public:
  WinPictureMci();
  ~WinPictureMci() override;

  uint32_t OpenPicture(const std::string& element, bool popup, platform::MciDevice* id) override;
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

  // How long a played picture stays before its end is reported.
  static constexpr uint32_t kShowMs = 5000;

 private:
  PictureDevice* Find(platform::MciDevice id);
  std::map<platform::MciDevice, std::unique_ptr<PictureDevice>> pictures_;
  platform::MciDevice nextId_;
};

}  // namespace win32
