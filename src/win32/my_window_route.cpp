// How a message travels: the one way in for commands and control messages,
// their turn on the route, and what is carried out when it comes (see
// README, "How a message travels").
#include "win32/my_window.h"

#include "app/command_ids.h"
#include "app/frame_rules.h"
#include "win32/my_frame.h"

// A command of the program's own (posted by playback, auto-play and the
// pod's rules): it takes its turn on the route but skips the enabling rules,
// which are for what the user and other programs ask.
static const UINT kOwnCommandMessage = WM_APP + 0x50;
static const UINT kWakeMessage = WM_APP + 0x52;

bool TMyWindow::Route(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  *result = 0;
  if (!hwnd_) return false;  // not yet made, or gone
  app::RoutedMessage m{msg, wp, lp};
  switch (msg) {
    case WM_COMMAND:
      m.wParam = LOWORD(wp);
      m.lParam = 0;
      break;
    case WM_APPCOMMAND: {
      const uint16_t id = app::CommandForAppCommand(GET_APPCOMMAND_LPARAM(lp));
      if (id == 0) return false;  // passed on to the shell
      m = {WM_COMMAND, id, 0};
      break;
    }
    case WM_HOTKEY: {
      const uint16_t id = app::CommandForMediaKey(HIWORD(lp));
      if (id == 0) return false;
      m = {WM_COMMAND, id, 0};
      break;
    }
    case WM_USER:
      if (app::ExternalControl::AnswersAtOnce(lp)) {
        OnExternalControl(wp, lp, result);
        return true;
      }
      break;
    case WM_HSCROLL:
    case WM_POWERBROADCAST:
    case WM_DROPFILES:
    case kOwnCommandMessage:
      break;
    case kWakeMessage:
      // Only a message loop takes this: the main one once the work is over
      // and the queue is empty, or the loop of a dialog or message box that
      // the work shows. Then the work waits for the user, and what waits for
      // it is carried out now, as it always was.
      wakePosted_ = false;
      route_.CarryQueuedNow();
      return true;
    default:
      // The automation marker (automation.h): the query is answered at once.
      if (!win32::PingMarker::Is(msg)) return false;
      if (ping_.Answer(wp, result)) return true;
      break;
  }
  *result = route_.Submit(m);
  if (msg == WM_APPCOMMAND) *result = TRUE;
  if (route_.Pending() > 0 && !wakePosted_) {
    wakePosted_ = PostMessageW(hwnd_, kWakeMessage, 0, 0) != FALSE;
  }
  return true;
}

void TMyWindow::PostOwnCommand(UINT id) { PostMessageW(hwnd_, kOwnCommandMessage, id, 0); }

intptr_t TMyWindow::Carry(const app::RoutedMessage& m) {
  LRESULT result = 0;
  bool refresh = true;
  switch (m.message) {
    case WM_COMMAND:
      RunCommand(static_cast<UINT>(m.wParam), true);
      break;
    case kOwnCommandMessage:
      RunCommand(static_cast<UINT>(m.wParam), false);
      break;
    case WM_USER:
      refresh = OnExternalControl(m.wParam, m.lParam, &result);
      break;
    case WM_POWERBROADCAST:
      OnPowerBroadcast(m.wParam);
      break;
    case WM_HSCROLL:
      OnScroll(m.wParam, m.lParam);
      refresh = false;
      break;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(m.wParam));
      break;
    default:  // the ping
      ping_.Reached(m.wParam);
      refresh = false;
      break;
  }
  if (refresh) Refresh();
  return result;
}

bool TMyWindow::WaitsForList(const app::RoutedMessage& m) const {
  if (!list_->Busy()) return false;
  switch (m.message) {
    case WM_COMMAND:
    case kOwnCommandMessage:
      return app::WaitsForListWork(static_cast<uint16_t>(m.wParam));
    case WM_USER:
      return app::ExternalControl::ChangesList(m.lParam);
    case WM_DROPFILES:
      return true;
    default:
      return false;
  }
}

void TMyWindow::RunCommand(UINT id, bool checkRule) {
  if (id == CM_PLAYPAUSE) id = app::ResolvePlayPause(Snapshot());
  if (checkRule && !Enabled(id)) return;
  Execute(id);
}

void TMyWindow::Refresh() {
  RefreshTitle();
  Repaint();
  // A message sent by another program leaves the loop waiting, with no idle pass.
  if (frame_) frame_->IdleAction();
}

void TMyWindow::OnPowerBroadcast(WPARAM wp) {
  switch (power_.OnEvent(static_cast<uint32_t>(wp), PlayerState())) {
    case app::PowerNotice::Action::kPause:
      RunCommand(CM_PAUSE, true);
      break;
    case app::PowerNotice::Action::kPlay:
      RunCommand(CM_PLAY, true);
      break;
    case app::PowerNotice::Action::kNone:
      break;
  }
}

void TMyWindow::OnScroll(WPARAM wp, LPARAM lp) {
  HWND from = reinterpret_cast<HWND>(lp);
  if (from == slider_.Handle()) {
    OnSlider(LOWORD(wp), slider_.Position());
  } else if (from == listScroll_) {
    listView_->OnScrollBar(LOWORD(wp));
  }
}
