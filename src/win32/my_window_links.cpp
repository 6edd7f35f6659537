// The main window's links: it builds the song list and the player and wires
// them to each other, to the list view, the slider, the video and the play
// pod, and answers what the list and the player ask of the views.
#include "win32/my_window.h"

#include "app/startup.h"
#include "win32/my_frame.h"
#include "win32/win_screen.h"
#include "win32/wnd/text_conv.h"

using wnd::Wide;

// The song list is built before the player it talks to; this forwards its
// playback calls once the player exists.
class TMyWindow::PlaybackForwarder : public songlist::PlaybackLink {
 public:
  songlist::PlaybackLink* target = nullptr;
  int32_t State() override { return target->State(); }
  void SetState(int32_t s) override { target->SetState(s); }
  bool QueryPosition(uint32_t* ms) override { return target->QueryPosition(ms); }
  void Stop() override { target->Stop(); }
  void Play() override { target->Play(); }
  void SetWaiting(bool w) override { target->SetWaiting(w); }
  void ClearCachedLength() override { target->ClearCachedLength(); }
  bool NextPlayable() override { return target->NextPlayable(); }
  bool RandomPlay() override { return target->RandomPlay(); }
  bool RepeatAll() override { return target->RepeatAll(); }
};

// The list's mouse and keys reach video playback through this.
class TMyWindow::VideoLink : public ui::VideoHook {
 public:
  explicit VideoLink(playback::Device& d) : d_(d) {}
  bool ShownInMain() override { return d_.VideoInMain(); }
  bool Open() override { return d_.IsOpen() && d_.Flags().video; }
  bool OpenInDedicated() override { return d_.VideoInDedicated(); }
  void StepBack() override { d_.StepFrame(false); }
  void StepForward() override { d_.StepFrame(true); }
  void AspectFit(bool dedicated) override { d_.AspectFit(dedicated); }
  void FitVideo(bool dedicated) override { d_.FitVideo(1); }

 private:
  playback::Device& d_;
};

// The position slider's notifications, routed to the player.
class TMyWindow::SliderLink : public ui::SliderTarget {
 public:
  SliderLink(TMyWindow& w) : w_(w) {}
  void FocusMainWindow() override { SetFocus(w_.Handle()); }
  bool StillPictureOpen() override {
    playback::Device& d = w_.player_->device();
    return d.IsOpen() && d.Flags().still;
  }
  void SeekTo(int32_t value) override { w_.player_->OnSlider(w_.sliderEvent_, value); }

 private:
  TMyWindow& w_;
};


// The pod's windows as the pod's rules ask for them.
class TMyWindow::PodLink : public ui::PodWindows {
 public:
  explicit PodLink(TMyWindow& w) : w_(w) {}
  bool CreatePod(bool topmost) override {
    HWND frame = w_.frame_->Handle();
    auto pod = std::make_unique<TMyFloat>(frame, w_);
    pod->Tool().onCleanup = [this](int x, int y) {
      ui::StorePodPosition(x, y, win32::WorkAreas(), &w_.settings_);
    };
    // Posted: the pod may be taken down by the restore it asks for.
    pod->onCaptionDoubleClick = [this] { PostMessageW(w_.hwnd_, kShowFrameMessage, 0, 0); };
    w_.podFrame_ = std::move(pod);
    if (!w_.podFrame_->CreatePod(w_.settings_.px, w_.settings_.py, topmost)) {
      w_.podFrame_.reset();
      return false;
    }
    return true;
  }
  void RemovePod() override { w_.podFrame_.reset(); }
  bool PodExists() const override { return w_.podFrame_ != nullptr; }
  void SetPodTopmost(bool topmost) override { w_.podFrame_->SetTopmost(topmost); }

 private:
  TMyWindow& w_;
};

TMyWindow::TMyWindow(ShellContext& shell) : shell_(shell), settings_(shell.settings) {
  osGeneration_ = app::DecideOsGeneration(GetVersion());
  // Where the process starts; it moves to the Windows directory only in SetupWindow.
  resumePath_ = app::ResumeFilePath(shell_.files.CurrentDirectory());
  // MP3 files play from a decoding thread; where the platform has none
  // (Win32s) the device's done messages refill the buffers.
  const bool thread = app::HasDecodingThread(osGeneration_);
  mp3Output_ = std::make_unique<win32::Mp3Output>(
      decoder_, shell_.files, thread ? mpegaudio::RefillMode::kThread : mpegaudio::RefillMode::kMessage);
  mp3_ = std::make_unique<playback::DecoderMp3Player>(shell_.files, decoder_, mp3Output_->Control());
  forward_ = std::make_unique<PlaybackForwarder>();
  songlist::ListLinks links{forward_.get(), this, &collator_, &random_};
  list_ = std::make_unique<songlist::SongList>(links);
  playback::PlayerLinks pl{{&mci_, &shell_.notifier, &shell_.files, &drives_, &video_, &midi_,
                            mp3_.get(), this, list_.get(), &settings_},
                           &clock_,
                           &random_,
                           &cursor_,
                           {osGeneration_, resumePath_, [this](const std::string& p) {
                              return gatherer_->ChangeDirectory(p);
                            }}};
  player_ = std::make_unique<playback::Player>(pl);
  forward_->target = player_->link();
  songFiles_ = std::make_unique<songlist::SongFiles>(*list_, shell_.files, shell_.notifier,
                                                     dialog_, snfOptions_);
  gatherer_ = std::make_unique<songlist::Gatherer>(*list_, *songFiles_, shell_.files,
                                                   shell_.notifier, dialog_, cursor_,
                                                   gatherOptions_);
  exit_ = std::make_unique<songlist::ExitSequence>(*songFiles_, *list_);
  videoLink_ = std::make_unique<VideoLink>(player_->device());
  listView_ = std::make_unique<win32::ListView>(*list_, shell_.notifier, videoLink_.get());
  listView_->playHook = [this] {
    LRESULT r;
    Route(WM_COMMAND, CM_PLAY, 0, &r);
  };
  sliderLink_ = std::make_unique<SliderLink>(*this);
  podLink_ = std::make_unique<PodLink>(*this);
  pod_ = std::make_unique<ui::PlayPod>(settings_, *podLink_);
}

TMyWindow::~TMyWindow() {
  if (listFont_) DeleteObject(listFont_);
}

// ---- views of the list and the player ----

void TMyWindow::RefreshTitle() {
  if (!frame_ || !frame_->Handle()) return;
  const songlist::SongList& l = *list_;
  std::string path = l.Count() > 0 ? l.PathAt(l.Current()) : "";
  std::string caption = ui::CaptionText(l.Count() == 0, path,
                                        static_cast<ui::PlayState>(PlayerState()),
                                        player_->sequencer().Waiting(), settings_.strupr);
  // Every command refreshes the caption; the frame is told only of a change.
  if (caption == caption_) return;
  caption_ = caption;
  SetWindowTextW(frame_->Handle(), Wide(caption).c_str());
}

void TMyWindow::Repaint() {
  if (hwnd_) listView_->Repaint();
}

void TMyWindow::ScrollToCurrent() {
  if (hwnd_) listView_->ScrollToCurrent();
}

bool TMyWindow::ListDragging() {
  return listView_->Input().LeftDragging() || listView_->Input().RightDragging();
}

void TMyWindow::ListHousekeeping() { listView_->OnTimer(); }

void TMyWindow::SetVideoInList(bool video) {
  videoInList_ = video;
  if (video) ShowWindow(listScroll_, SW_HIDE);
  Repaint();
}

void TMyWindow::SetTrackText(const std::string& text) { frame_->SetMessageText(Wide(text)); }

bool TMyWindow::StatusBarShown() { return frame_->StatusBarVisible(); }

void TMyWindow::SetTimeText(const std::string& text) { frame_->SetTimeText(Wide(text)); }

void TMyWindow::SetSliderRange(int32_t max, int32_t page) {
  slider_.SetRange(0, max);
  slider_.SetPageSize(page);
}

void TMyWindow::SetSliderPosition(int32_t pos) {
  // The timer sets the position every tick; only a real move is drawn. The
  // thumb bitmap is wider than the control's own thumb, so all of it is.
  if (slider_.Position() == pos) return;
  slider_.SetPosition(pos);
  RedrawSlider();
}

void TMyWindow::RedrawSlider() { InvalidateRect(slider_.Handle(), nullptr, TRUE); }

bool TMyWindow::FramePainted() { return frame_ && frame_->Painted(); }

void TMyWindow::PostCommand(uint16_t id) { PostOwnCommand(id); }

void TMyWindow::PostNotify(uint32_t code) { PostMessageW(hwnd_, MM_MCINOTIFY, code, 0); }

void TMyWindow::EndProgram() {
  // The program ends through the frame's normal close, with exit code 0.
  PostMessageW(frame_->Handle(), WM_CLOSE, 0, 0);
}

void TMyWindow::OnSlider(int code, int position) {
  switch (code) {
    case ui::kSbThumbTrack: sliderEvent_ = playback::SliderEvent::kThumbTrack; break;
    case ui::kSbEndScroll: sliderEvent_ = playback::SliderEvent::kEndScroll; break;
    default: sliderEvent_ = playback::SliderEvent::kPageStep; break;
  }
  sliderControl_.OnNotify(*sliderLink_, code, position);
  RedrawSlider();  // the user moved the thumb: see SetSliderPosition
}

songlist::AudioCdLinks TMyWindow::CdLinks() { return {&mci_, &shell_.files, &shell_.notifier}; }

std::vector<std::string> TMyWindow::Tracks(const std::string& drive) {
  return songlist::AudioCdTracks(CdLinks(), drive);
}
