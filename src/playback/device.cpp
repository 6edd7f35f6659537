#include "playback/device.h"

#include <algorithm>
#include <utility>

#include "playback/macbinary.h"
#include "playback/midi_tools.h"
#include "text/sjis.h"

namespace playback {

namespace {
const char kCaption[] = "マルチメディアエラー";
const char kNoCd[] = "ＣＤがセットされていません。ＣＤをセットしてください。";
const char kCdBusy[] = "現在、オーディオＣＤは使用中です。開放されるまで、お待ちください。";
const char kMissingDir[] =
    "演奏するファイルのディレクトリが見つかりません。ディレクトリの変更を行いますか？";
constexpr int32_t kSliderStrip = 21;
constexpr size_t kMaxShortPath = 100;
}  // namespace

Device::Device(const DeviceLinks& links, DeviceConfig config)
    : l_(links),
      config_(std::move(config)),
      mci_(*links.mci),
      notifier_(*links.notifier),
      settings_(*links.settings),
      list_(*links.list),
      view_(*links.view),
      video_(*links.video) {}

void Device::Warn(const std::string& text) {
  notifier_.Beep(platform::kBeepWarning);
  notifier_.MessageBox(text, kCaption, platform::kMbOk | platform::kMbIconExclamation);
}

void Device::ShowMciError(uint32_t code) { Warn(mci_.ErrorText(code)); }

bool Device::DirectoryMissing(const std::string& path) {
  std::string d = text::DirectoryPart(path);
  if (d.empty()) return false;
  bool root = d.size() == 3 && d[1] == ':';
  if (!root && d.size() > 1 && text::EndsWithBackslash(d)) d.pop_back();
  return !l_.fs->IsDirectory(d);
}

bool Device::AskChangeDirectory(const std::string& path) {
  if (notifier_.MessageBox(kMissingDir, kCaption, platform::kMbYesNo | platform::kMbIconExclamation) !=
      platform::kIdYes) {
    return false;
  }
  if (config_.changeDirectory) config_.changeDirectory(path);
  return true;
}

std::string Device::ElementName(const std::string& path) {
  // Some drivers of that generation cannot take long names.
  if (config_.os == app::OsGeneration::kWindows95 && (flags_.still || flags_.qtOrMpeg) &&
      !text::SplitPath(path).drive.empty()) {
    std::string s;
    if (l_.drives->ShortPath(path, &s) && !s.empty() && s.size() <= kMaxShortPath) return s;
  }
  return path;
}

MidiRoute Device::Midi() const {
  if (!midiKnown_) {
    midi_ = ChooseMidiRoute(l_.midi->OutputNames());
    midiKnown_ = true;
  }
  return midi_;
}

uint32_t Device::OpenFile(const std::string& path, platform::VideoPlacement window) {
  return OpenMedium(mci_, ElementName(path), window, &dev_, Midi(), &refused_);
}

void Device::DeleteTemp() {
  if (!tempFlag_ && tempPath_.empty()) return;
  if (!tempPath_.empty()) l_.fs->DeleteFile(tempPath_);
  tempPath_.clear();
  tempFlag_ = false;
}

platform::MciRect Device::MainPictureArea() {
  platform::WindowRect c = video_.Client(video_.MainWindow());
  platform::MciRect r{0, 0, c.w, c.h};
  if (settings_.slider && c.h > 20) r.bottom -= kSliderStrip;
  return r;
}

void Device::PutMainDestination() { mci_.PutDestination(dev_, MainPictureArea()); }

uint32_t Device::CdEnd() const {
  return platform::Tmsf(cdTrack_, length_ / 60000, (length_ / 1000) % 60);
}

uint32_t Device::ToDevicePosition(uint32_t ms) const {
  if (flags_.cd) return platform::Tmsf(cdTrack_, ms / 60000, (ms / 1000) % 60);
  return ms;
}

// The SoftPEG driver lands short of a seek target: creep up on it. Returns
// the rounds used.
int32_t Device::SoftPegSeek(uint32_t start) {
  uint32_t target = start;
  int32_t rounds = 0;
  for (int i = 0; i < 10; ++i) {
    ++rounds;
    mci_.Seek(dev_, target);
    uint32_t pos = 0;
    if (mci_.Status(dev_, platform::MciStatusItem::kPosition, &pos) == 0) {
      uint32_t diff = pos > start ? pos - start : start - pos;
      if (diff <= 1000) break;
    }
    target = std::min(target + 50, length_);
  }
  return rounds;
}

bool Device::OpenAndPlay(std::string path) {
  failure_ = Failure{};
  const uint32_t start = list_.StartPosition();
  bool opened = false, placed = false;
  if (Open(&path)) {
    opened = !flags_.mp3;  // an MP3 holds no media-control device
    if (Configure(start)) {
      PlaceVideo();
      placed = true;
      if (Start(path, start)) return true;
    }
  }
  // The one failure exit. A device opened is closed before the message:
  // commands carried out while its box is up may open the next medium, and
  // must find this one gone. Nothing opened, the title follows the box.
  if (opened) {
    if (placed && flags_.video && !inDedicated_) view_.SetVideoInList(false);
    // What the synthesizer opened but cannot play, it refuses all the same.
    if (flags_.midi && Midi() == MidiRoute::kSynthesizer) refused_ = true;
    mci_.Close(dev_);
    open_ = false;
    DeleteTemp();
    view_.RefreshTitle();
  }
  if (failure_.kind == Failure::kText) {
    Warn(failure_.text);
  } else if (failure_.kind == Failure::kMci) {
    ShowMciError(failure_.code);
  }
  if (!opened) {
    view_.RefreshTitle();
    DeleteTemp();
  }
  return false;
}

bool Device::Fail(uint32_t mciError) {
  failure_.kind = Failure::kMci;
  failure_.code = mciError;
  return false;
}

bool Device::Fail(const std::string& text) {
  failure_.kind = Failure::kText;
  failure_.text = text;
  return false;
}

bool Device::FailSilently() {
  failure_.kind = Failure::kSilent;
  return false;
}

// Resets the MIDI module, reads what the extension says and opens the
// medium; a missing directory may be changed on the way, which moves path.
bool Device::Open(std::string* pathIn) {
  std::string& path = *pathIn;
  const bool wasCurrent = list_.Count() > 0 && list_.SamePath(path, list_.PathAt(list_.Current()));
  auto afterDirectoryChange = [&]() {
    if (wasCurrent && list_.Count() > 0) path = list_.PathAt(list_.Current());
  };
  // The sound module starts each MIDI song from a known state. The
  // synthesizer route has no module to reset.
  if (!FlagsOf(path).midi || Midi() == MidiRoute::kSequencer) {
    ResetBeforePlay(*l_.midi, path,
                    MidiResetSettings{settings_.resetOn, settings_.resetGs, settings_.deviceId});
  }
  flags_ = FlagsOf(path);
  cdTrack_ = flags_.cd ? CdTrackNumber(path) : 0;
  driverKind_ = kDriverNone;
  inDedicated_ = flags_.video && settings_.aviDisp;
  fullScreen_ = inDedicated_ && settings_.aviAllDisp;
  dedicated_ = 0;
  tempFlag_ = false;
  abortedTaken_ = false;
  refused_ = false;
  playReplaced_ = false;

  if (flags_.cd) {
    uint32_t err = mci_.OpenCdAudio(&dev_);
    if (err == platform::kMciErrCannotLoadDriver) return Fail(kNoCd);
    if (err == platform::kMciErrMustUseShareable) return Fail(kCdBusy);
    if (err != 0) return Fail(err);
  } else if (flags_.mp3) {
    std::string message;
    if (!l_.mp3->CheckMP3File(path, &length_, &message)) {
      if (!DirectoryMissing(path)) return Fail(message);
      if (!AskChangeDirectory(path)) return FailSilently();
      afterDirectoryChange();
      message.clear();
      if (!l_.mp3->CheckMP3File(path, &length_, &message)) return Fail(message);
    }
  } else {
    // A film for the main window opens as its child from the start.
    platform::VideoPlacement window;
    window.popup = fullScreen_;
    if (flags_.video && !inDedicated_) window.parent = video_.MainWindow();
    uint32_t err = OpenFile(path, window);
    if (err != 0) {
      if (flags_.midi && err == platform::kMciErrInvalidFile) {
        MacBinaryOptions opt;
        opt.shortNames = config_.os == app::OsGeneration::kWin32s;
        opt.resumePath = config_.resumePath;
        std::string temp;
        int32_t code = ConvertMacBinary(*l_.fs, path, opt, &temp);
        if (code != kMacConverted) {
          const char* text = MacBinaryMessage(code);
          return *text ? Fail(text) : Fail(err);
        }
        tempPath_ = temp;
        uint32_t err2 = OpenMedium(mci_, temp, window, &dev_, Midi(), &refused_);
        if (err2 != 0) return Fail(err2);
        tempFlag_ = true;
      } else if ((err == platform::kMciErrFileNotFound || err == platform::kMciErrInvalidFile ||
                  err == platform::kMciErrFileRead) &&
                 l_.drives->IsFixedDrive(path) && DirectoryMissing(path)) {
        if (!AskChangeDirectory(path)) return FailSilently();
        afterDirectoryChange();
        uint32_t err2 = OpenFile(path, window);
        if (err2 != 0) return Fail(err2);
      } else {
        return Fail(err);
      }
    }
  }
  open_ = !flags_.mp3;
  return true;
}

// The driver kind, the wallpaper, units, length_ and the start position.
bool Device::Configure(uint32_t start) {
  if (flags_.mpegVideo) {
    std::string product;
    mci_.Info(dev_, platform::MciInfoItem::kProduct, &product);
    driverKind_ = MpegDriverKind(product);
  }
  // Wallpaper with each new song (CD tracks change it once they play).
  if (!flags_.cd && state_ != songlist::kPaused && settings_.wpChange && start == 0) {
    view_.ChangeWallpaper();
  }
  if (flags_.mp3) return true;
  uint32_t err = mci_.SetTimeFormat(dev_, platform::MciTimeFormat::kMilliseconds);
  if (err != 0) return Fail(err);
  if (flags_.cd) {
    err = mci_.Status(dev_, platform::MciStatusItem::kLength, &discLength_);
    if (err == platform::kMciErrHardware) return Fail(kNoCd);
    if (err != 0) return Fail(err);
    err = mci_.Status(dev_, platform::MciStatusItem::kLength, &length_, cdTrack_);
    if (err == 0) err = mci_.SetTimeFormat(dev_, platform::MciTimeFormat::kTmsf);
  } else {
    err = mci_.Status(dev_, platform::MciStatusItem::kLength, &length_);
    if (err == 0 && driverKind_ != kDriverSoftPeg && start != 0) err = mci_.Seek(dev_, start);
  }
  return err == 0 || Fail(err);
}

// The picture in the main window or the dedicated one, and the frame
// minimised on play.
void Device::PlaceVideo() {
  const platform::WindowHandle frame = video_.Frame();
  if (flags_.video && !inDedicated_) {
    bool maximized = video_.IsMaximized(frame);
    if (settings_.aviSize || maximized) {
      FitVideo(maximized ? 2 : 1);
    } else if (settings_.aviCenter) {
      CenterFrame();
    }
    mci_.Window(dev_, video_.MainWindow());
    PutMainDestination();
    view_.SetVideoInList(true);
  }
  if (inDedicated_) {
    mci_.StatusWindow(dev_, &dedicated_);
    if (fullScreen_) {
      video_.Show(dedicated_, platform::ShowMode::kMaximized);
    } else {
      PlaceDedicated();
    }
  }
  if (settings_.minimize && view_.FramePainted() && !video_.IsMinimized(frame)) {
    video_.Show(frame, platform::ShowMode::kMinimized);
  }
  // Old shells show a minimised video in the icon.
  if ((config_.os == app::OsGeneration::kWin32s || config_.os == app::OsGeneration::kWindowsNT3) &&
      flags_.video && !inDedicated_ && !flags_.qtOrMpeg && video_.IsMinimized(frame)) {
    mci_.PutDestination(dev_, platform::MciRect{0, 0, 36, 36});
    mci_.Window(dev_, frame);
    mci_.WindowState(dev_, platform::MciWindowState::kMinimized);
  }
}

// Plays, and once it plays: the state, the slider, the CD track's text, the
// inexact seek of the SoftPEG driver and the dedicated window.
bool Device::Start(const std::string& path, uint32_t start) {
  if (flags_.mp3) {
    std::string message;
    if (!l_.mp3->StartMP3(path, &message)) return Fail(message);
  } else {
    uint32_t err = flags_.cd ? mci_.Play(dev_, true, platform::Tmsf(cdTrack_, 0, 0), true, CdEnd())
                             : mci_.Play(dev_, false, 0, false, 0);
    if (err != 0) return Fail(err);
  }
  open_ = true;
  ++plays_;
  previousPath_ = lastPath_;
  lastPath_ = path;
  state_ = songlist::kPlaying;
  view_.RefreshTitle();
  SliderSetup slider = SliderFor(length_);
  divisor_ = slider.divisor;
  view_.SetSliderRange(slider.max, slider.page);
  view_.SetSliderPosition(0);
  if (flags_.cd) {
    if (settings_.wpChange && start == 0) view_.ChangeWallpaper();
    RewriteTrackText();
  }
  if (driverKind_ == kDriverSoftPeg && start != 0) {
    if (SoftPegSeek(start) > 1) {
      mci_.Play(dev_, false, 0, false, 0);
      if (flags_.video && !inDedicated_ && settings_.slider) {
        PutMainDestination();
        view_.RedrawSlider();
      }
    }
  }
  if (inDedicated_) {
    if (fullScreen_) {
      savedSaver_ = video_.ScreenSaverActive();
      video_.SetScreenSaverActive(false);
    } else {
      PlaceDedicated();
    }
  }
  return true;
}

void Device::CloseMedium() {
  if (open_) {
    if (flags_.video && !inDedicated_) {
      mci_.Window(dev_, video_.MainWindow());
      mci_.WindowState(dev_, platform::MciWindowState::kNormal);
      view_.SetVideoInList(false);
    } else if (flags_.video && fullScreen_) {
      video_.SetScreenSaverActive(savedSaver_);
    } else if (flags_.video && dedicated_ != 0) {
      // A window the user already closed has no placement to keep; storing
      // its zeros would open every later video as an invisible window.
      platform::WindowRect r = video_.NormalPlacement(dedicated_);
      if (r.w > 0 && r.h > 0) {
        settings_.vx = r.x;
        settings_.vy = r.y;
        settings_.vw = r.w;
        settings_.vh = r.h;
      }
    }
    if (flags_.mp3) {
      l_.mp3->StopMP3();
    } else {
      mci_.Stop(dev_);
      mci_.Close(dev_);
    }
    // Reports of this medium still queued (its end, or the aborted or even
    // "successful" report some drivers give a stop) must not reach the next
    // one: device ids are reused at once and some drivers report as id 0,
    // so only their place in the queue tells them apart. The aborted report
    // a restart expects went with them.
    // An aborted report among them was the one a set flag waited for.
    abortedTaken_ = (mci_.DiscardNotices() & platform::kMciNotifyAborted) != 0;
    if (abortedTaken_) abortedExpected_ = false;
    open_ = false;
    dedicated_ = 0;
  }
  state_ = songlist::kStopped;
  view_.RefreshTitle();
  AfterStop();
}

void Device::AfterStop() {
  if (flags_.cd) view_.SetTrackText("");
  DeleteTemp();
}

void Device::PauseMedium() {
  if (state_ != songlist::kPlaying || !open_) return;
  playReplaced_ = true;
  if (flags_.mp3) {
    state_ = songlist::kPaused;
    std::string message;
    if (!l_.mp3->PauseOutput(&message)) {
      state_ = songlist::kPlaying;
      Warn(message);
      return;
    }
  } else {
    uint32_t pos = 0;
    uint32_t err = mci_.Status(dev_, platform::MciStatusItem::kPosition, &pos);
    if (err == 0) {
      list_.SetStartPosition(pos);
      err = mci_.Pause(dev_);
    }
    if (err != 0) {
      ShowMciError(err);
      return;
    }
  }
  state_ = songlist::kPaused;
  view_.RefreshTitle();
}

void Device::ExpectAborted() {
  if (abortedTaken_) {
    abortedTaken_ = false;
    return;
  }
  abortedExpected_ = true;
}

bool Device::TakeExpectedAborted() {
  const bool expected = abortedExpected_;
  abortedExpected_ = false;
  return expected;
}

// A play that a pause, a seek or a resume replaced ends with a report as
// well, and some drivers (Wine's AVI driver) call it successful. The real
// end leaves the device stopped, or at least at its end.
bool Device::PlaySuperseded() {
  uint32_t mode = 0;
  if (mci_.Status(dev_, platform::MciStatusItem::kMode, &mode) != 0 ||
      mode != static_cast<uint32_t>(platform::MciMode::kPlay)) {
    return false;
  }
  if (flags_.cd) return true;  // played to the track's end, which stops it
  uint32_t pos = 0;
  constexpr uint32_t kNearEnd = 1000;
  return mci_.Status(dev_, platform::MciStatusItem::kPosition, &pos) == 0 && pos + kNearEnd < length_;
}

bool Device::NoticeIsCurrent(uint32_t code, platform::MciDevice from) {
  // Reports of a closed medium were discarded at its close, so a report
  // without a device id is the open medium's: our MP3 player's, or that of
  // a driver that does not name itself (Wine's DirectShow driver for MPEG).
  const platform::MciDevice id = MciId();
  if (from == 0 || from == id) {
    // Only a song that was paused or moved has a replaced play to report:
    // any other report is its end, whatever its driver says of its mode.
    if (code == platform::kMciNotifySuccessful && open_ && !flags_.mp3 &&
        state_ == songlist::kPlaying && playReplaced_) {
      return !PlaySuperseded();
    }
    return true;
  }
  // A device that names itself must be the open one; a closed device's
  // "aborted" may still answer the close we asked for while nothing is open.
  return code == platform::kMciNotifyAborted && id == 0;
}

void Device::ResumeMedium() {
  if (state_ != songlist::kPaused || !open_) return;
  if (flags_.mp3) {
    if (l_.mp3->RestartFailed()) {
      // The output ran out while paused after a seek: end the song as usual.
      // The state must read playing, or the end report would be ignored.
      l_.mp3->StopAfterRunOut();
      state_ = songlist::kPlaying;
      view_.PostNotify(platform::kMciNotifySuccessful);
      return;
    }
    std::string message;
    if (!l_.mp3->RestartOutput(&message)) {
      Warn(message);
      return;
    }
  } else {
    uint32_t err = flags_.cd ? mci_.Play(dev_, false, 0, true, CdEnd()) : mci_.Play(dev_, false, 0, false, 0);
    if (err != 0) {
      ShowMciError(err);
      return;
    }
  }
  state_ = songlist::kPlaying;
  view_.RefreshTitle();
}

void Device::SeekTo(int32_t sliderValue, SliderEvent event) {
  if (open_) playReplaced_ = true;
  if (event == SliderEvent::kThumbTrack) dragging_ = true;
  const bool endScroll = event == SliderEvent::kEndScroll;
  const bool handledByPage = endScroll && pageHandled_;
  if (endScroll) {
    dragging_ = false;
    pageHandled_ = false;
  }
  if (!open_ || state_ == songlist::kStopped || flags_.still) return;
  if (flags_.mp3 && l_.mp3->Restarting()) return;
  const uint32_t target = static_cast<uint32_t>(sliderValue < 0 ? 0 : sliderValue) * divisor_;
  const uint32_t frame =
      flags_.mp3 && l_.mp3->MicrosecondsPerFrame() != 0
          ? static_cast<uint32_t>(uint64_t{target} * 1000 / l_.mp3->MicrosecondsPerFrame())
          : 0;
  const bool kind2 = driverKind_ == kDriverSoftPeg;
  if (event == SliderEvent::kThumbTrack) {
    if (flags_.video) {
      if (state_ == songlist::kPlaying && !kind2) abortedExpected_ = true;
      mci_.Seek(dev_, ToDevicePosition(target));
    }
    return;
  }
  if (handledByPage) return;
  if (event == SliderEvent::kPageStep) pageHandled_ = true;

  if (state_ == songlist::kPaused) {
    if (flags_.mp3) {
      l_.mp3->SeekMP3(frame);
      std::string message;
      l_.mp3->PauseOutput(&message);
    } else {
      if (kind2) {
        SoftPegSeek(target);
      } else {
        mci_.Seek(dev_, ToDevicePosition(target));
      }
      uint32_t pos = 0;
      if (mci_.Status(dev_, platform::MciStatusItem::kPosition, &pos) == 0) {
        if (flags_.cd) pos = (platform::TmsfMinutes(pos) * 60 + platform::TmsfSeconds(pos)) * 1000;
        list_.SetStartPosition(pos);
      }
    }
  } else if (flags_.mp3) {
    l_.mp3->SeekMP3(frame);
  } else if (kind2) {
    if (SoftPegSeek(target) > 1) {
      mci_.Pause(dev_);
      mci_.Play(dev_, false, 0, false, 0);
    }
  } else {
    if (VideoInDedicated()) abortedExpected_ = true;
    mci_.Pause(dev_);
    mci_.Seek(dev_, ToDevicePosition(target));
    if (flags_.cd) {
      mci_.Play(dev_, false, 0, true, CdEnd());
    } else {
      mci_.Play(dev_, false, 0, false, 0);
    }
  }
  if (kind2 && VideoInMain()) {
    PutMainDestination();
    view_.RedrawSlider();
  }
}

bool Device::Position(uint32_t* ms, int32_t* second) {
  if (!open_) return false;
  if (flags_.mp3) {
    Mp3Player& p = *l_.mp3;
    uint64_t pos = uint64_t{p.SeekFrame()} * p.MicrosecondsPerFrame() / 1000;
    uint32_t samples = 0;
    if (p.SampleRate() != 0 && p.SamplesPlayed(&samples)) pos += uint64_t{samples} * 1000 / p.SampleRate();
    *ms = static_cast<uint32_t>(pos);
    *second = static_cast<int32_t>(*ms / 1000);
    return true;
  }
  uint32_t v = 0;
  if (mci_.Status(dev_, platform::MciStatusItem::kPosition, &v) != 0) return false;
  if (flags_.cd) {
    int32_t s = platform::TmsfTrack(v) == cdTrack_
                    ? static_cast<int32_t>(platform::TmsfMinutes(v) * 60 + platform::TmsfSeconds(v))
                    : static_cast<int32_t>(length_ / 1000);
    *second = s;
    *ms = static_cast<uint32_t>(s) * 1000;
    return true;
  }
  *ms = v;
  *second = static_cast<int32_t>(v / 1000);
  return true;
}

// ---- video placement ----

// Within the work area of the window's own monitor, which need not be the primary one.
void Device::Move(platform::WindowHandle w, platform::WindowRect r) {
  const platform::WindowRect a = video_.ScreenOf(w);
  if (r.w > a.w) {
    r.x = a.x;
    r.w = a.w;
  } else if (r.x + r.w > a.x + a.w) {
    r.x = a.x + a.w - r.w;
  }
  if (r.h > a.h) {
    r.y = a.y;
    r.h = a.h;
  } else if (r.y + r.h > a.y + a.h) {
    r.y = a.y + a.h - r.h;
  }
  video_.Move(w, r);
}

static int32_t Centred(int32_t areaStart, int32_t areaSize, int32_t size) {
  int32_t v = (areaSize - size) / 2;
  return areaStart + (v < 0 ? 0 : v);
}

void Device::CenterFrame() {
  platform::WindowHandle f = video_.Frame();
  platform::WindowRect r = video_.Bounds(f);
  const platform::WindowRect a = video_.ScreenOf(f);
  r.x = Centred(a.x, a.w, r.w);
  r.y = Centred(a.y, a.h, r.h);
  video_.Move(f, r);
}

void Device::CenterDedicated() {
  if (dedicated_ == 0) return;
  platform::WindowRect r = video_.Bounds(dedicated_);
  if (!settings_.aviSize) {
    r.w = settings_.vw;
    r.h = settings_.vh;
  }
  const platform::WindowRect a = video_.ScreenOf(dedicated_);
  r.x = Centred(a.x, a.w, r.w);
  r.y = Centred(a.y, a.h, r.h);
  video_.Move(dedicated_, r);
}

void Device::PlaceDedicated() {
  if (dedicated_ == 0) return;
  if (settings_.aviCenter) {
    CenterDedicated();
    return;
  }
  platform::WindowRect r = video_.Bounds(dedicated_);
  r.x = settings_.vx;
  r.y = settings_.vy;
  if (!settings_.aviSize) {
    r.w = settings_.vw;
    r.h = settings_.vh;
  }
  video_.Move(dedicated_, r);
}

void Device::FitVideo(int32_t factor) {
  if (!open_ || !flags_.video) return;
  platform::MciRect src;
  if (mci_.WhereSource(dev_, &src) != 0) return;
  const int32_t w = src.Width(), h = src.Height();
  if (w <= 0 || h <= 0) return;
  if (inDedicated_) {
    if (dedicated_ == 0) return;
    platform::WindowRect b = video_.Bounds(dedicated_);
    platform::WindowRect c = video_.Client(dedicated_);
    b.w = b.w - c.w + factor * w;
    b.h = b.h - c.h + factor * h;
    video_.Show(dedicated_, platform::ShowMode::kHide);
    Move(dedicated_, b);
    video_.Show(dedicated_, platform::ShowMode::kShow);
    if (settings_.aviCenter) CenterDedicated();
    return;
  }
  const platform::WindowHandle frame = video_.Frame();
  if (video_.IsMaximized(frame) && factor == 1) video_.Show(frame, platform::ShowMode::kRestore);
  const int32_t strip = settings_.slider ? kSliderStrip : 0;
  platform::WindowRect b;
  // Twice: a narrower frame may wrap the menu bar and change the client height.
  for (int round = 0; round < 2; ++round) {
    b = video_.Bounds(frame);
    platform::WindowRect c = video_.Client(video_.MainWindow());
    b.w = b.w - c.w + factor * w;
    b.h = b.h - c.h + factor * h + strip;
    Move(frame, b);
    b = video_.Bounds(frame);
  }
  if (settings_.aviCenter) CenterFrame();
  video_.SetFrameMaxTrackSize(b.w, b.h);
}

void Device::AspectFit(bool dedicated) {
  if (!open_ || !flags_.video) return;
  platform::MciRect src;
  if (mci_.WhereSource(dev_, &src) != 0 || src.Width() <= 0 || src.Height() <= 0) return;
  const int32_t w = src.Width(), h = src.Height();
  if (dedicated) {
    if (!inDedicated_ || dedicated_ == 0 || video_.IsMaximized(dedicated_)) return;
    platform::WindowRect b = video_.Bounds(dedicated_);
    platform::WindowRect c = video_.Client(dedicated_);
    b.h = b.h - c.h + c.w * h / w;
    Move(dedicated_, b);
    if (settings_.aviCenter) CenterDedicated();
    return;
  }
  const platform::WindowHandle frame = video_.Frame();
  if (inDedicated_ || video_.IsMaximized(frame)) return;
  platform::WindowRect b = video_.Bounds(frame);
  platform::WindowRect c = video_.Client(video_.MainWindow());
  b.h = b.h - c.h + c.w * h / w + (settings_.slider ? kSliderStrip : 0);
  Move(frame, b);
  if (settings_.aviCenter) CenterFrame();
}

void Device::StepFrame(bool forward) {
  if (!VideoInMain() || state_ != songlist::kPaused) return;
  uint32_t pos = 0;
  if (mci_.Status(dev_, platform::MciStatusItem::kPosition, &pos) != 0) return;
  if (!forward && pos > 0) mci_.Step(dev_, true);
  if (forward && pos < length_) mci_.Step(dev_, false);
  if (mci_.Status(dev_, platform::MciStatusItem::kPosition, &pos) == 0) list_.SetStartPosition(pos);
  if (driverKind_ == kDriverSoftPeg && settings_.slider) {
    PutMainDestination();
    view_.RedrawSlider();
  }
}

void Device::RedrawPausedPicture() {
  if (!VideoInMain() || state_ != songlist::kPaused) return;
  const bool newShell =
      config_.os == app::OsGeneration::kWindows95 || config_.os == app::OsGeneration::kWindowsNT4;
  if (flags_.qtOrMpeg && newShell && driverKind_ != kDriverXing) return;
  const uint32_t start = list_.StartPosition();
  mci_.Step(dev_, start >= length_);
  mci_.Seek(dev_, start);
}

void Device::RewriteTrackText() {
  // Only a titled track shows its number; a plain one has it in its name.
  if (!open_ || !flags_.cd || !HasSingleDollar(lastPath_)) return;
  view_.SetTrackText(CdTrackText(cdTrack_, settings_.strupr, settings_.charset));
}

void Device::MainWindowSized(bool grew) {
  if (!VideoInMain()) return;
  PutMainDestination();
  if (driverKind_ == kDriverSoftPeg && settings_.slider && !grew) video_.Repaint(video_.MainWindow());
}

}  // namespace playback
