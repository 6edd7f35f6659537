// A media control interface that records every call as a line of text and
// answers from scripted values; errors are scripted per operation name.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/mci.h"

class FakeMci : public platform::Mci {
 public:
  std::vector<std::string> calls;
  // Next results of an operation ("open", "opencd", "timeformat", "length",
  // "position", "play", "pause", "seek", ...); 0 when none are queued.
  std::map<std::string, std::deque<uint32_t>> errors;
  // Values reported.
  uint32_t length = 60000;
  std::map<uint32_t, uint32_t> trackLength;  // by track
  std::deque<uint32_t> positions;            // next positions; then `position`
  uint32_t position = 0;
  std::string product = "Video Driver";
  uint32_t numberOfTracks = 0;  // of the disc in the CD drive
  std::string mediaIdentity;
  platform::MciRect source{0, 0, 320, 240};
  platform::WindowHandle window = 0x777;
  platform::MciDevice nextId = 1;
  std::vector<std::string> openedElements;
  bool open = false;

  void Fail(const std::string& op, uint32_t code) { errors[op].push_back(code); }
  bool Called(const std::string& prefix) const;
  int Count(const std::string& prefix) const;

  uint32_t OpenElement(const std::string& element, platform::VideoPlacement window,
                       platform::MciDevice* id) override;
  // Results: "openon" and "openpicture" queues, like "open".
  uint32_t OpenElementOn(const std::string& deviceType, const std::string& element,
                         platform::VideoPlacement window,
                         platform::MciDevice* id) override;
  uint32_t OpenPicture(const std::string& element, bool popup, platform::MciDevice* id) override;
  uint32_t OpenCdAudio(platform::MciDevice* id) override;
  uint32_t SetTimeFormat(platform::MciDevice id, platform::MciTimeFormat format) override;
  uint32_t Status(platform::MciDevice id, platform::MciStatusItem item, uint32_t* value,
                  uint32_t track) override;
  uint32_t StatusWindow(platform::MciDevice id, platform::WindowHandle* w) override;
  uint32_t Info(platform::MciDevice id, platform::MciInfoItem item, std::string* text) override;
  uint32_t Play(platform::MciDevice id, bool hasFrom, uint32_t from, bool hasTo, uint32_t to) override;
  uint32_t Pause(platform::MciDevice id) override;
  uint32_t Seek(platform::MciDevice id, uint32_t to) override;
  uint32_t Stop(platform::MciDevice id) override;
  uint32_t Close(platform::MciDevice id) override;
  uint32_t Window(platform::MciDevice id, platform::WindowHandle w) override;
  uint32_t WindowState(platform::MciDevice id, platform::MciWindowState state) override;
  uint32_t PutDestination(platform::MciDevice id, const platform::MciRect& r) override;
  uint32_t WhereSource(platform::MciDevice id, platform::MciRect* r) override;
  uint32_t WhereDestination(platform::MciDevice id, platform::MciRect* r) override;
  uint32_t Step(platform::MciDevice id, bool backward) override;
  std::string ErrorText(uint32_t code) override { return "error " + std::to_string(code); }
  uint32_t DiscardNotices() override {
    ++discards;
    return queuedNotices;
  }
  int discards = 0;
  uint32_t queuedNotices = 0;  // codes DiscardNotices finds
  platform::MciMode mode = platform::MciMode::kStop;

 private:
  uint32_t Next(const std::string& op);
};
