#include "fakes/fake_mci.h"

uint32_t FakeMci::Next(const std::string& op) {
  auto it = errors.find(op);
  if (it == errors.end() || it->second.empty()) return 0;
  uint32_t e = it->second.front();
  it->second.pop_front();
  return e;
}

bool FakeMci::Called(const std::string& prefix) const { return Count(prefix) > 0; }

int FakeMci::Count(const std::string& prefix) const {
  int n = 0;
  for (const auto& c : calls) n += c.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
  return n;
}

namespace {
std::string Placement(platform::VideoPlacement w) {
  return w.popup ? " popup" : w.parent ? " child " + std::to_string(w.parent) : "";
}
}  // namespace

uint32_t FakeMci::OpenElement(const std::string& element, platform::VideoPlacement window,
                              platform::MciDevice* id) {
  calls.push_back("open " + element + Placement(window));
  uint32_t e = Next("open");
  if (e) return e;
  openedElements.push_back(element);
  *id = nextId++;
  open = true;
  return 0;
}

uint32_t FakeMci::OpenElementOn(const std::string& deviceType, const std::string& element,
                               platform::VideoPlacement window, platform::MciDevice* id) {
  calls.push_back("open " + deviceType + " " + element + Placement(window));
  uint32_t e = Next("openon");
  if (e) return e;
  openedElements.push_back(element);
  *id = nextId++;
  open = true;
  return 0;
}

uint32_t FakeMci::OpenPicture(const std::string& element, bool popup, platform::MciDevice* id) {
  calls.push_back("open picture " + element + (popup ? " popup" : ""));
  uint32_t e = Next("openpicture");
  if (e) return e;
  openedElements.push_back(element);
  *id = nextId++;
  open = true;
  return 0;
}

uint32_t FakeMci::OpenCdAudio(platform::MciDevice* id) {
  calls.push_back("open cdaudio");
  uint32_t e = Next("opencd");
  if (e) return e;
  *id = nextId++;
  open = true;
  return 0;
}

uint32_t FakeMci::SetTimeFormat(platform::MciDevice, platform::MciTimeFormat f) {
  calls.push_back(f == platform::MciTimeFormat::kTmsf ? "timeformat tmsf" : "timeformat ms");
  return Next("timeformat");
}

uint32_t FakeMci::Status(platform::MciDevice, platform::MciStatusItem item, uint32_t* value,
                         uint32_t track) {
  switch (item) {
    case platform::MciStatusItem::kLength: {
      calls.push_back(track ? "length " + std::to_string(track) : "length");
      uint32_t e = Next("length");
      if (e) return e;
      auto it = trackLength.find(track);
      *value = track && it != trackLength.end() ? it->second : length;
      return 0;
    }
    case platform::MciStatusItem::kPosition: {
      calls.push_back("position");
      uint32_t e = Next("position");
      if (e) return e;
      if (!positions.empty()) {
        *value = positions.front();
        positions.pop_front();
      } else {
        *value = position;
      }
      return 0;
    }
    case platform::MciStatusItem::kNumberOfTracks: {
      calls.push_back("status tracks");
      uint32_t e = Next("tracks");
      *value = e ? 0 : numberOfTracks;
      return e;
    }
    case platform::MciStatusItem::kMode:
      calls.push_back("mode");
      *value = static_cast<uint32_t>(mode);
      return Next("mode");
    default:
      calls.push_back("status");
      *value = 0;
      return Next("status");
  }
}

uint32_t FakeMci::StatusWindow(platform::MciDevice, platform::WindowHandle* w) {
  calls.push_back("status window");
  *w = window;
  return 0;
}

uint32_t FakeMci::Info(platform::MciDevice, platform::MciInfoItem item, std::string* text) {
  if (item == platform::MciInfoItem::kMediaIdentity) {
    calls.push_back("info identity");
    uint32_t e = Next("identity");
    if (!e) *text = mediaIdentity;
    return e;
  }
  calls.push_back("info product");
  *text = product;
  return Next("info");
}

uint32_t FakeMci::Play(platform::MciDevice, bool hasFrom, uint32_t from, bool hasTo, uint32_t to) {
  std::string c = "play";
  if (hasFrom) c += " from " + std::to_string(from);
  if (hasTo) c += " to " + std::to_string(to);
  calls.push_back(c);
  return Next("play");
}

uint32_t FakeMci::Pause(platform::MciDevice) {
  calls.push_back("pause");
  return Next("pause");
}
uint32_t FakeMci::Seek(platform::MciDevice, uint32_t to) {
  calls.push_back("seek " + std::to_string(to));
  return Next("seek");
}
uint32_t FakeMci::Stop(platform::MciDevice) {
  calls.push_back("stop");
  return Next("stop");
}
uint32_t FakeMci::Close(platform::MciDevice) {
  calls.push_back("close");
  open = false;
  return Next("close");
}
uint32_t FakeMci::Window(platform::MciDevice, platform::WindowHandle w) {
  calls.push_back("window " + std::to_string(w));
  return 0;
}
uint32_t FakeMci::WindowState(platform::MciDevice, platform::MciWindowState s) {
  calls.push_back("windowstate " + std::to_string(static_cast<int>(s)));
  return 0;
}
uint32_t FakeMci::PutDestination(platform::MciDevice, const platform::MciRect& r) {
  calls.push_back("put " + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                  std::to_string(r.right) + "," + std::to_string(r.bottom));
  return 0;
}
uint32_t FakeMci::WhereSource(platform::MciDevice, platform::MciRect* r) {
  calls.push_back("where source");
  *r = source;
  return 0;
}
uint32_t FakeMci::WhereDestination(platform::MciDevice, platform::MciRect* r) {
  calls.push_back("where destination");
  *r = source;
  return 0;
}
uint32_t FakeMci::Step(platform::MciDevice, bool backward) {
  calls.push_back(backward ? "step back" : "step");
  return 0;
}
