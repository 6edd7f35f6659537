// The song list view on the main window: executes the core's drawing lists
// with GDI into an off-screen bitmap and copies it in one block, keeps the
// list scroll bar (301) where the layout wants it, and passes mouse, timer,
// scroll bar and key commands to the core's input handling.
//
// The main window owns one and calls, in its handlers:
//   set-up, after the settings are read and the list font built:
//     Attach(hwnd, scrollBar); Measure(font, settings)
//   WM_PAINT (unless a video fills the client area):  Paint(dc)
//   WM_SIZE:                                          OnSize(width, height)
//   WM_LBUTTONDOWN/UP/DBLCLK, WM_RBUTTONDOWN/UP/DBLCLK, WM_MOUSEMOVE: the On... calls
//   WM_TIMER (timer 1, every tick):                   OnTimer()
//   WM_HSCROLL from control 301:                      OnScrollBar(code)
//   WM_COMMAND 402-413 and 106:                       OnCommand(id) (true when handled)
//   after a font or settings change:                  Measure(font, settings), Repaint()
//   after a list change (the song list's ViewLink):   Repaint(); ScrollToCurrent()
#pragma once

#include "win32/wnd/win.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "app/settings.h"
#include "platform/notify.h"
#include "songlist/model.h"
#include "ui/list_input.h"
#include "ui/list_view.h"

namespace win32 {

class ListView : public ui::ListInputHost, public ui::DriveInfo, public ui::VideoHook {
 public:
  ListView(songlist::SongList& list, platform::Notifier& notifier, ui::VideoHook* video = nullptr);
  ~ListView() override;
  ListView(const ListView&) = delete;
  ListView& operator=(const ListView&) = delete;

  void Attach(HWND window, HWND scrollBar);
  // Measures the metrics with the list font and takes the display settings
  // (name length, case mode, character set, colours, slider).
  void Measure(HFONT font, const app::Settings& s);
  // Display settings only (system colours, background, slider) without measuring.
  void ApplySettings(const app::Settings& s);
  void SetVideo(ui::VideoHook* video);

  void Paint(HDC dc);
  void OnSize(int width, int height);
  // The slider's one-pixel line above the strip (button shadow colour).
  static void PaintSliderLine(HDC dc, bool sliderOn, int width, int height);

  void OnLeftDown(int x, int y) { input_.LeftDown(x, y); }
  void OnLeftUp(int x, int y) { input_.LeftUp(x, y); }
  void OnLeftDoubleClick(int x, int y) { input_.LeftDoubleClick(x, y); }
  void OnRightDown(int x, int y, bool shift) { input_.RightDown(x, y, shift); }
  void OnRightUp(int x, int y) { input_.RightUp(x, y); }
  void OnRightDoubleClick(int x, int y) { input_.RightDoubleClick(x, y); }
  void OnMouseMove(int x, int y) { input_.MouseMove(x, y); }
  void OnCaptureLost() { input_.CaptureLost(); }
  void OnTimer() { input_.Timer(); }
  void OnScrollBar(int code);
  bool OnCommand(int id) { return input_.Command(id); }

  // Brings the current entry into view (after shuffle, sort, delete).
  void ScrollToCurrent();
  ui::ListView& Core() { return view_; }
  ui::ListInput& Input() { return input_; }
  COLORREF Background() const { return view_.Background(); }

  // ListInputHost
  void Repaint() override;
  void RedrawCells(const std::vector<int32_t>& positions) override;
  void Capture(bool on) override;
  void DragCursor(bool on) override;
  void FocusMainWindow() override;
  void Play() override;

  // DriveInfo
  int32_t Type(const std::string& root) override;
  uint32_t SectorSize(const std::string& root) override;

  // VideoHook: forwards to the playback's hook given with SetVideo.
  bool ShownInMain() override { return video_->ShownInMain(); }
  bool Open() override { return video_->Open(); }
  bool OpenInDedicated() override { return video_->OpenInDedicated(); }
  void StepBack() override { video_->StepBack(); }
  void StepForward() override { video_->StepForward(); }
  void AspectFit(bool dedicated) override { video_->AspectFit(dedicated); }
  void FitVideo(bool dedicated) override { video_->FitVideo(dedicated); }

  // Play (203); by default sent to the main window as a command.
  std::function<void()> playHook;

 private:
  void Execute(HDC target, const RECT& client, const ui::DrawList& ops, bool keepScreen);
  void Draw(HDC dc, const ui::DrawOp& op);
  HBRUSH Brush(COLORREF c);
  void ApplyScrollBar();
  void UpdateClient();
  void LoadBitmaps();
  void RefreshSystemColors();
  template <typename Build>
  void Render(HDC dc, bool keepScreen, Build build);

  songlist::SongList& list_;
  platform::Notifier& notifier_;
  ui::NoVideo noVideo_;
  ui::VideoHook* video_;
  ui::ListView view_;
  ui::ListInput input_;
  ui::PaintGuard guard_;
  HWND hwnd_ = nullptr;
  HWND scroll_ = nullptr;
  HFONT font_ = nullptr;
  bool sliderOn_ = false;
  int lastWidth_ = 0, lastHeight_ = 0;
  std::map<int32_t, HBITMAP> bitmaps_;
  std::map<COLORREF, HBRUSH> brushes_;  // live during one Execute
  HDC bitmapDc_ = nullptr;
  int textHeight_ = 0;
  HDC cacheDc_ = nullptr;       // off-screen picture of the last repaint
  HBITMAP cacheBmp_ = nullptr;
  int cacheW_ = 0, cacheH_ = 0;  // of the list font, for centring text in its cell
  HCURSOR dragCursor_ = nullptr;
};

}  // namespace win32
