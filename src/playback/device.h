// The media device layer: opens one song entry on the right device, plays,
// pauses, resumes, seeks and closes it, reads its length and position, and
// places video in the main window or the dedicated video window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/commands.h"
#include "app/settings.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/mci.h"
#include "platform/midi_out.h"
#include "platform/notify.h"
#include "platform/video_window.h"
#include "playback/medium.h"
#include "playback/mp3_link.h"
#include "playback/player_view.h"
#include "songlist/model.h"

namespace playback {

struct DeviceLinks {
  platform::Mci* mci;
  platform::Notifier* notifier;
  platform::FileSystem* fs;
  platform::Drives* drives;
  platform::VideoWindow* video;
  platform::MidiOut* midi;
  Mp3Player* mp3;
  PlayerView* view;
  songlist::SongList* list;
  app::Settings* settings;
};

// What the device is told once, when it is built.
struct DeviceConfig {
  app::OsGeneration os = app::OsGeneration::kWindowsNT4;
  std::string resumePath;  // its directory stands in for a missing temporary path
  // The directory change of the song list; true when entries were moved.
  std::function<bool(const std::string& missingPath)> changeDirectory;
};

// Slider notifications that move the position.
enum class SliderEvent { kPageStep, kThumbTrack, kEndScroll };

class Device {
 public:
  explicit Device(const DeviceLinks& links, DeviceConfig config = {});

  // ---- operations ----
  bool OpenAndPlay(std::string path);
  // The last OpenAndPlay failed because the synthesizer refused a MIDI song
  // that is itself sound: the list may go on past it.
  bool RefusedBySynthesizer() const { return refused_; }
  void CloseMedium();
  void PauseMedium();
  void ResumeMedium();
  void SeekTo(int32_t sliderValue, SliderEvent event);
  void ShowMciError(uint32_t code);
  void FitVideo(int32_t factor);
  // After the user resized the frame (main) or the dedicated window.
  void AspectFit(bool dedicated);
  void PlaceDedicated();
  void CenterFrame();
  void CenterDedicated();
  void StepFrame(bool forward);    // keys Left and Right on a paused video
  void RedrawPausedPicture();      // paint of the main window, frame restored
  void MainWindowSized(bool grew);  // WM_SIZE with a video in the main window
  // Reads the play position in ms (and the second to show); false when the
  // device cannot say.
  bool Position(uint32_t* ms, int32_t* second);
  // Deletes a converted temporary file and clears the CD track text (Stop).
  void AfterStop();
  // Writes the status bar's text of an open titled CD track anew, in the
  // current case mode and list font (after the font dialog).
  void RewriteTrackText();

  // ---- state: written only by the operations above and below ----
  int32_t State() const { return state_; }
  uint32_t Length() const { return length_; }          // ms; for a CD the track's
  uint32_t DiscLength() const { return discLength_; }  // ms, CD only
  const std::string& LastPath() const { return lastPath_; }
  const std::string& PreviousPath() const { return previousPath_; }
  bool Dragging() const { return dragging_; }  // slider thumb held
  // The next aborted report is our own doing.
  bool AbortedExpected() const { return abortedExpected_; }
  // The song list's undo puts back a state it remembered; the medium is left
  // as it is.
  void RestoreState(int32_t state) { state_ = state; }
  // The list changed under the song, or the pause between songs began.
  void ForgetLength() { length_ = 0; }

  // How MIDI songs sound on this system; asked of the MIDI outputs at the
  // first MIDI song and kept for the run.
  MidiRoute Midi() const;

  bool IsOpen() const { return open_; }
  // The media-control device of the open medium (0 for none or an MP3).
  platform::MciDevice MciId() const { return open_ && !flags_.mp3 ? dev_ : 0; }
  // Whether a notification (from = the reporting device; 0 for our MP3
  // player and drivers that do not name themselves) is about the medium
  // open now rather than one closed before it.
  // Whether a notification speaks of the play now under way: not of a
  // closed medium, nor the end of a play that a pause, seek or resume
  // replaced (some drivers report those as successful ends).
  bool NoticeIsCurrent(uint32_t code, platform::MciDevice from);
  // An aborted report of our own doing is to come: it will not read as the
  // user closing the video window. Nothing is to come when the close just
  // made already took that report away.
  void ExpectAborted();
  // An aborted report arrived: whether it was the one expected (which is
  // then no longer waited for).
  bool TakeExpectedAborted();
  // The expected report has had its time.
  void StopExpectingAborted() { abortedExpected_ = false; }
  // Counts the media started, so that a watcher sees a new song even when
  // the state never left playing in between.
  uint32_t Plays() const { return plays_; }
  const MediumFlags& Flags() const { return flags_; }
  int32_t DriverKind() const { return driverKind_; }
  uint32_t Divisor() const { return divisor_; }
  bool VideoInMain() const { return open_ && flags_.video && !inDedicated_; }
  bool VideoInDedicated() const { return open_ && flags_.video && inDedicated_; }

 private:
  // What a failed open shows once the device is closed again.
  struct Failure {
    enum Kind { kSilent, kText, kMci } kind = kSilent;
    std::string text;
    uint32_t code = 0;
  };
  // The parts of OpenAndPlay; each false part has set failure_.
  bool Open(std::string* path);
  bool Configure(uint32_t start);
  void PlaceVideo();
  bool Start(const std::string& path, uint32_t start);
  bool Fail(uint32_t mciError);
  bool Fail(const std::string& text);
  bool FailSilently();
  Failure failure_;

  bool PlaySuperseded();
  bool abortedTaken_ = false;  // the last close took an aborted report away
  bool refused_ = false;
  bool playReplaced_ = false;  // paused or moved since it opened
  void Warn(const std::string& text);
  bool AskChangeDirectory(const std::string& path);
  bool DirectoryMissing(const std::string& path);
  std::string ElementName(const std::string& path);
  uint32_t OpenFile(const std::string& path, platform::VideoPlacement window);
  void DeleteTemp();
  void PutMainDestination();
  platform::MciRect MainPictureArea();
  uint32_t ToDevicePosition(uint32_t ms) const;
  uint32_t CdEnd() const;
  int32_t SoftPegSeek(uint32_t target);
  void Move(platform::WindowHandle w, platform::WindowRect r);

  DeviceLinks l_;
  const DeviceConfig config_;
  platform::Mci& mci_;
  platform::Notifier& notifier_;
  app::Settings& settings_;
  songlist::SongList& list_;
  PlayerView& view_;
  platform::VideoWindow& video_;

  int32_t state_ = songlist::kStopped;
  bool abortedExpected_ = false;
  uint32_t length_ = 0;
  uint32_t discLength_ = 0;
  std::string lastPath_, previousPath_;
  bool dragging_ = false;

  bool open_ = false;
  platform::MciDevice dev_ = 0;
  MediumFlags flags_;
  int32_t driverKind_ = 0;
  uint32_t cdTrack_ = 0;
  uint32_t divisor_ = 1;
  bool inDedicated_ = false;
  bool fullScreen_ = false;
  bool savedSaver_ = false;
  platform::WindowHandle dedicated_ = 0;
  bool tempFlag_ = false;
  std::string tempPath_;
  bool pageHandled_ = false;
  uint32_t plays_ = 0;
  mutable bool midiKnown_ = false;
  mutable MidiRoute midi_ = MidiRoute::kSequencer;
};

}  // namespace playback
