// corvella-mpris: puts the running player on the D-Bus session bus as
// org.mpris.MediaPlayer2.corvella, so that the desktop's media keys, its
// panel widget and playerctl drive it.
//
//   corvella-mpris [--] COMMAND...   COMMAND starts `corvellactl serve` under
//                                    the player's Wine set-up
//
// It waits for the player to answer, serves until the player ends, and does
// not start at all without a session bus. Every call goes through the one
// control process, and to the player through its own command route, so a
// call that the enabling rules refuse does nothing (the Can... properties
// say so beforehand).
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <sdbus-c++/sdbus-c++.h>

#include "app/external_control.h"
#include "control_pipe.h"
#include "remote.h"

namespace {

const char kBusName[] = "org.mpris.MediaPlayer2.corvella";
const char kPath[] = "/org/mpris/MediaPlayer2";
const char kRoot[] = "org.mpris.MediaPlayer2";
const char kPlayer[] = "org.mpris.MediaPlayer2.Player";
constexpr int kPollMs = 250;        // how often the player's state is read
constexpr int kSoonMs = 40;         // when to read it after a command
constexpr int kStartWaitMs = 90000;  // how long the player may take to come up

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

long long NowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000LL + t.tv_nsec / 1000000;
}

std::string DriveRoot(char drive, void*) {
  const char* prefix = getenv("WINEPREFIX");
  std::string link = prefix && *prefix ? prefix : std::string(getenv("HOME") ? getenv("HOME") : "") + "/.wine";
  link += "/dosdevices/";
  link += drive;
  link += ':';
  char real[PATH_MAX];
  return realpath(link.c_str(), real) ? std::string(real) : std::string();
}

bool HaveSessionBus() {
  const char* address = getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address && *address) return true;
  const char* runtime = getenv("XDG_RUNTIME_DIR");
  return runtime && *runtime && access((std::string(runtime) + "/bus").c_str(), F_OK) == 0;
}

struct Seen {
  ctl::Status status;
  intptr_t can = 0;
  bool operator==(const Seen& o) const {
    return status.state == o.status.state && status.entry == o.status.entry &&
           status.lengthMs == o.status.lengthMs && status.path == o.status.path && can == o.can;
  }
};

class Bridge {
 public:
  explicit Bridge(ControlPipe& control) : control_(control) {}

  // Reads the player once; false when it has gone (or the control process has).
  bool Read(Seen* s) {
    std::string line, can;
    if (!control_.Ask("status", &line) || !ctl::ParseStatus(line, &s->status)) return false;
    if (!control_.Ask("can", &can) || can.rfind("error", 0) == 0) return false;
    s->can = ctl::ParseCan(can);
    return true;
  }

  bool WaitForPlayer() {
    for (long long end = NowMs() + kStartWaitMs; NowMs() < end && !g_stop;) {
      if (Read(&seen_)) {
        readAt_ = NowMs();
        return true;
      }
      if (!control_.Alive()) return false;
      usleep(200000);
    }
    return false;
  }

  void Register(sdbus::IConnection& bus) {
    object_ = sdbus::createObject(bus, kPath);
    sdbus::IObject& o = *object_;
    o.registerMethod("Raise").onInterface(kRoot).implementedAs([this] { Do("raise"); });
    o.registerMethod("Quit").onInterface(kRoot).implementedAs([this] { Do("quit"); });
    o.registerProperty("CanQuit").onInterface(kRoot).withGetter([] { return true; });
    o.registerProperty("CanRaise").onInterface(kRoot).withGetter([] { return true; });
    o.registerProperty("HasTrackList").onInterface(kRoot).withGetter([] { return false; });
    o.registerProperty("Identity").onInterface(kRoot).withGetter([] { return std::string("Corvella"); });
    // Files are added to the list in the player or with corvellactl, not by URI.
    o.registerProperty("SupportedUriSchemes").onInterface(kRoot).withGetter([] {
      return std::vector<std::string>{};
    });
    o.registerProperty("SupportedMimeTypes").onInterface(kRoot).withGetter([] {
      return std::vector<std::string>{};
    });

    o.registerMethod("Play").onInterface(kPlayer).implementedAs([this] {
      // Play while playing would start the song again; MPRIS wants nothing.
      if (State() != "playing") Do("play");
    });
    o.registerMethod("Pause").onInterface(kPlayer).implementedAs([this] {
      if (State() == "playing") Do("pause");
    });
    o.registerMethod("PlayPause").onInterface(kPlayer).implementedAs([this] { Do("pause"); });
    o.registerMethod("Stop").onInterface(kPlayer).implementedAs([this] { Do("stop"); });
    o.registerMethod("Next").onInterface(kPlayer).implementedAs([this] { Do("next"); });
    o.registerMethod("Previous").onInterface(kPlayer).implementedAs([this] { Do("previous"); });
    // No seeking from outside (CanSeek is false): these do nothing, as MPRIS asks.
    o.registerMethod("Seek").onInterface(kPlayer).implementedAs([](int64_t) {});
    o.registerMethod("SetPosition").onInterface(kPlayer).implementedAs([](sdbus::ObjectPath, int64_t) {});
    o.registerMethod("OpenUri").onInterface(kPlayer).implementedAs([](std::string) {});
    o.registerSignal("Seeked").onInterface(kPlayer).withParameters<int64_t>();

    o.registerProperty("PlaybackStatus").onInterface(kPlayer).withGetter([this] {
      const std::string& s = seen_.status.state;
      // The pause between songs belongs to playing the list: Stop ends it.
      return std::string(s == "paused" ? "Paused" : s == "stopped" ? "Stopped" : "Playing");
    });
    o.registerProperty("Rate").onInterface(kPlayer).withGetter([] { return 1.0; }).withSetter([](double) {});
    o.registerProperty("MinimumRate").onInterface(kPlayer).withGetter([] { return 1.0; });
    o.registerProperty("MaximumRate").onInterface(kPlayer).withGetter([] { return 1.0; });
    o.registerProperty("Volume").onInterface(kPlayer).withGetter([] { return 1.0; }).withSetter([](double) {});
    o.registerProperty("Metadata").onInterface(kPlayer).withGetter([this] { return Metadata(seen_.status); });
    o.registerProperty("Position")
        .onInterface(kPlayer)
        .withGetter([this] { return static_cast<int64_t>(Position()) * 1000; })
        .withUpdateBehavior(sdbus::Flags::EMITS_NO_SIGNAL);
    using Ctl = app::ExternalControl;
    o.registerProperty("CanGoNext").onInterface(kPlayer).withGetter([this] { return (seen_.can & Ctl::kCanNext) != 0; });
    o.registerProperty("CanGoPrevious").onInterface(kPlayer).withGetter([this] {
      return (seen_.can & Ctl::kCanPrevious) != 0;
    });
    o.registerProperty("CanPlay").onInterface(kPlayer).withGetter([this] { return (seen_.can & Ctl::kCanPlay) != 0; });
    o.registerProperty("CanPause").onInterface(kPlayer).withGetter([this] { return (seen_.can & Ctl::kCanPause) != 0; });
    o.registerProperty("CanSeek").onInterface(kPlayer).withGetter([] { return false; });
    o.registerProperty("CanControl").onInterface(kPlayer).withGetter([] { return true; });
    o.finishRegistration();
  }

  // Reads the player again and tells the bus what changed; false once the
  // player has ended.
  bool Poll() {
    Seen now;
    if (!Read(&now)) return false;
    Announce(now);
    nextPoll_ = NowMs() + kPollMs;
    return true;
  }
  long long NextPoll() const { return nextPoll_; }

 private:
  // Panels ask for it often: the position read at the last poll (at most
  // kPollMs old), carried forward by the time since while playing.
  uint32_t Position() const {
    uint64_t ms = seen_.status.positionMs;
    if (seen_.status.state == "playing") ms += static_cast<uint64_t>(NowMs() - readAt_);
    if (seen_.status.lengthMs > 0 && ms > seen_.status.lengthMs) ms = seen_.status.lengthMs;
    return static_cast<uint32_t>(ms);
  }

  // The state word as it is now, for the calls that depend on it.
  std::string State() {
    std::string word;
    return control_.Ask("state", &word) ? word : seen_.status.state;
  }

  // The call returns as soon as the command is posted; what follows is
  // read and announced a moment later, once the player has carried it out.
  void Do(const std::string& command) {
    std::string reply;
    control_.Ask(command, &reply);
    nextPoll_ = NowMs() + kSoonMs;
  }

  void Announce(const Seen& now) {
    readAt_ = NowMs();
    if (now == seen_) {
      seen_.status.positionMs = now.status.positionMs;
      return;
    }
    const Seen before = seen_;
    seen_ = now;
    std::vector<std::string> changed;
    if (before.status.state != now.status.state) changed.push_back("PlaybackStatus");
    if (before.status.entry != now.status.entry || before.status.path != now.status.path ||
        before.status.lengthMs != now.status.lengthMs) {
      changed.push_back("Metadata");
    }
    using Ctl = app::ExternalControl;
    const intptr_t flipped = before.can ^ now.can;
    if (flipped & Ctl::kCanNext) changed.push_back("CanGoNext");
    if (flipped & Ctl::kCanPrevious) changed.push_back("CanGoPrevious");
    if (flipped & Ctl::kCanPlay) changed.push_back("CanPlay");
    if (flipped & Ctl::kCanPause) changed.push_back("CanPause");
    if (!changed.empty() && object_) object_->emitPropertiesChangedSignal(kPlayer, changed);
  }

  static std::map<std::string, sdbus::Variant> Metadata(const ctl::Status& s) {
    std::map<std::string, sdbus::Variant> m;
    if (s.entry == 0 || s.path.empty()) {
      m["mpris:trackid"] = sdbus::Variant(sdbus::ObjectPath("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
      return m;
    }
    m["mpris:trackid"] = sdbus::Variant(sdbus::ObjectPath("/org/corvella/entry/" + std::to_string(s.entry)));
    m["xesam:title"] = sdbus::Variant(ctl::TitleOf(s.path));
    const std::string url = ctl::FileUrl(s.path, DriveRoot, nullptr);
    if (!url.empty()) m["xesam:url"] = sdbus::Variant(url);
    if (s.lengthMs > 0) m["mpris:length"] = sdbus::Variant(static_cast<int64_t>(s.lengthMs) * 1000);
    return m;
  }

  ControlPipe& control_;
  Seen seen_;
  long long nextPoll_ = 0;
  long long readAt_ = 0;  // when seen_ was read
  std::unique_ptr<sdbus::IObject> object_;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> command;
  for (int i = 1; i < argc; ++i) {
    if (i == 1 && std::string(argv[i]) == "--") continue;
    command.push_back(argv[i]);
  }
  if (command.empty()) {
    std::fprintf(stderr, "usage: corvella-mpris [--] COMMAND...  (COMMAND runs corvellactl serve)\n");
    return 2;
  }
  if (!HaveSessionBus()) {
    std::fprintf(stderr, "corvella-mpris: no D-Bus session bus; the player runs without it\n");
    return 0;
  }
  std::unique_ptr<sdbus::IConnection> bus;
  try {
    bus = sdbus::createSessionBusConnection();
  } catch (const sdbus::Error& e) {
    std::fprintf(stderr, "corvella-mpris: no D-Bus session bus (%s); the player runs without it\n",
                 e.getMessage().c_str());
    return 0;
  }
  signal(SIGTERM, OnSignal);
  signal(SIGINT, OnSignal);
  signal(SIGHUP, OnSignal);

  ControlPipe control;
  if (!control.Start(command)) {
    std::fprintf(stderr, "corvella-mpris: cannot start the control process\n");
    return 1;
  }
  Bridge bridge(control);
  if (!bridge.WaitForPlayer()) {
    std::fprintf(stderr, "corvella-mpris: the player did not answer\n");
    return 1;
  }
  try {
    bridge.Register(*bus);
    bus->requestName(kBusName);
  } catch (const sdbus::Error& e) {
    std::fprintf(stderr, "corvella-mpris: %s\n", e.getMessage().c_str());
    return 1;
  }

  while (!g_stop) {
    const long long nextPoll = bridge.NextPoll();
    while (bus->processPendingRequest()) {
    }
    const sdbus::IConnection::PollData pd = bus->getEventLoopPollData();
    long long wait = nextPoll - NowMs();
    if (wait < 0) wait = 0;
    const auto busTimeout = pd.getRelativeTimeout();
    if (busTimeout && busTimeout->count() / 1000 < wait) wait = busTimeout->count() / 1000;
    pollfd p{pd.fd, pd.events, 0};
    poll(&p, 1, static_cast<int>(wait));
    if (NowMs() >= bridge.NextPoll() && !bridge.Poll()) break;  // the player has ended
  }
  try {
    bus->releaseName(kBusName);
  } catch (const sdbus::Error&) {
  }
  control.Stop();
  return 0;
}
