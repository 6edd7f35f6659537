#include "win32/play_pod.h"

#include "app/command_ids.h"
#include "ui/play_pod.h"
#include "win32/win_screen.h"

namespace {
constexpr int kGlyphSize = 20;
constexpr DWORD kFloatStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFloatExStyle = WS_EX_TOOLWINDOW;  // the small caption
}  // namespace

bool TMyTool::CreatePalette(HWND parent) {
  return Create(L"CorvellaPodPalette", L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 10, 10, parent,
                nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)) &&
         toolbar_ != nullptr;
}

void TMyTool::SetupWindow() {
  toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                             WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT |
                                 CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                             0, 0, 10, 10, hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!toolbar_) return;
  SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  images_ = ImageList_Create(kGlyphSize, kGlyphSize, ILC_COLOR24 | ILC_MASK, ui::kPodButtonCount, 0);
  SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
  SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELONG(kGlyphSize, kGlyphSize));
  HINSTANCE inst = GetModuleHandleW(nullptr);
  TBBUTTON tb[ui::kPodButtonCount] = {};
  for (int i = 0; i < ui::kPodButtonCount; ++i) {
    const UINT id = ui::kPodButtons[i];
    HBITMAP bmp = static_cast<HBITMAP>(
        LoadImageW(inst, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    tb[i].iBitmap = bmp ? ImageList_AddMasked(images_, bmp, RGB(255, 0, 255)) : I_IMAGENONE;
    if (bmp) DeleteObject(bmp);
    tb[i].idCommand = static_cast<int>(id);
    tb[i].fsState = TBSTATE_ENABLED;
    // Five columns: every row of the palette ends after the fifth button.
    if ((i + 1) % ui::kPodColumns == 0) tb[i].fsState |= TBSTATE_WRAP;
    tb[i].fsStyle = BTNS_BUTTON;
  }
  SendMessageW(toolbar_, TB_ADDBUTTONSW, ui::kPodButtonCount, reinterpret_cast<LPARAM>(tb));
  SIZE sz = ClientSize();
  MoveWindow(toolbar_, 0, 0, sz.cx, sz.cy, FALSE);
  UpdateButtons();
  SetTimer(hwnd_, ui::kPodTimerId, ui::kPodTimerPeriod, nullptr);
}

SIZE TMyTool::ClientSize() const {
  SIZE sz{0, 0};
  if (!toolbar_) return sz;
  for (int i = 0; i < ui::kPodButtonCount; ++i) {
    RECT r;
    if (SendMessageW(toolbar_, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r))) {
      if (r.right > sz.cx) sz.cx = r.right;
      if (r.bottom > sz.cy) sz.cy = r.bottom;
    }
  }
  return sz;
}

void TMyTool::UpdateButtons() {
  if (!toolbar_) return;
  states_.BeginPass();
  for (uint16_t id : ui::kPodButtons) {
    const bool enabled = states_.Enabled(id);
    const bool now = SendMessageW(toolbar_, TB_ISBUTTONENABLED, id, 0) != 0;
    if (now != enabled) SendMessageW(toolbar_, TB_ENABLEBUTTON, id, MAKELONG(enabled, 0));
  }
  states_.EndPass();
}

void TMyTool::CleanupWindow() {
  KillTimer(hwnd_, ui::kPodTimerId);
  HWND frame = GetParent(hwnd_);
  if (frame && onCleanup) {
    const app::Rect n = win32::NormalRect(frame);
    onCleanup(n.left, n.top);
  }
  if (images_) {
    SendMessageW(toolbar_, TB_SETIMAGELIST, 0, 0);
    ImageList_Destroy(images_);
    images_ = nullptr;
  }
}

LRESULT TMyTool::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      if (wp == ui::kPodTimerId) {
        UpdateButtons();
        return 0;
      }
      break;
    case WM_COMMAND:
      // Posted, not sent: the press takes its turn on the frame's route,
      // after the current message.
      if (reinterpret_cast<HWND>(lp) == toolbar_) {
        PostMessageW(target_, WM_COMMAND, LOWORD(wp), 0);
        return 0;
      }
      break;
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lp);
      if (hdr->code == TTN_GETDISPINFOW) {
        // The button's tip is its command's status-bar hint.
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
        info->hinst = GetModuleHandleW(nullptr);
        info->lpszText = MAKEINTRESOURCEW(hdr->idFrom);
        return 0;
      }
      break;
    }
    default:
      break;
  }
  return wnd::Window::WndProc(msg, wp, lp);
}

TMyFloat::~TMyFloat() {
  // The palette's clean-up must run while both objects still live.
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool TMyFloat::CreatePod(int x, int y, bool topmost) {
  if (!Create(L"CorvellaPod", L"Corvella", kFloatStyle, kFloatExStyle, x, y, 10, 10, nullptr,
              nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), CS_DBLCLKS,
              LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)))) {
    return false;
  }
  if (!tool_.CreatePalette(hwnd_)) {
    DestroyWindow(hwnd_);
    return false;
  }
  SIZE client = tool_.ClientSize();
  MoveWindow(tool_.Handle(), 0, 0, client.cx, client.cy, FALSE);
  RECT r{0, 0, client.cx, client.cy};
  AdjustWindowRectEx(&r, kFloatStyle, FALSE, kFloatExStyle);
  SetWindowPos(hwnd_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, r.right - r.left,
               r.bottom - r.top, SWP_NOMOVE | SWP_NOACTIVATE);
  RECT w;
  GetWindowRect(hwnd_, &w);
  ui::PodOrigin o = ui::PlacePodOnScreen(w.left, w.top, w.right - w.left, w.bottom - w.top,
                                         win32::WorkAreas());
  if (o.moved) {
    SetWindowPos(hwnd_, nullptr, o.x, o.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  return true;
}

void TMyFloat::SetTopmost(bool topmost) {
  if (hwnd_) {
    SetWindowPos(hwnd_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

LRESULT TMyFloat::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      // The main window switches the option off and forgets the pod.
      PostMessageW(target_, WM_COMMAND, CM_PODCLOSED, 0);
      DestroyWindow(hwnd_);
      return 0;
    case WM_NCLBUTTONDBLCLK:
      if (wp == HTCAPTION) {
        if (onCaptionDoubleClick) onCaptionDoubleClick();
        return 0;
      }
      break;
    case WM_APPCOMMAND:
      // The media keys with the pod focused act as with the frame focused.
      return SendMessageW(target_, WM_APPCOMMAND, wp, lp);
    default:
      break;
  }
  return wnd::Window::WndProc(msg, wp, lp);
}
