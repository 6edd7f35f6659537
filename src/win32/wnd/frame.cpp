#include "win32/wnd/frame.h"


#include "ui/frame_layout.h"
#include "ui/status_text.h"
#include "win32/wnd/text_conv.h"

namespace wnd {

static int PointsToHeight(HWND hwnd, int points) {
  HDC dc = GetDC(hwnd);
  int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(hwnd, dc);
  return -MulDiv(points, dpi, 72);
}

void DecoratedFrame::CreateStatusBar(int gadgetPointSize, const std::wstring& longestTimeText) {
  gadgetFont_ = CreateFontW(PointsToHeight(hwnd_, gadgetPointSize), 0, 0, 0, FW_NORMAL, FALSE,
                            FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                            L"MS UI Gothic");
  statusbar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP,
                               0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(0xE801),
                               GetModuleHandleW(nullptr), nullptr);
  SendMessageW(statusbar_, WM_SETFONT, reinterpret_cast<WPARAM>(gadgetFont_), TRUE);
  HDC dc = GetDC(statusbar_);
  HGDIOBJ old = SelectObject(dc, gadgetFont_);
  SIZE sz{};
  GetTextExtentPoint32W(dc, longestTimeText.c_str(), static_cast<int>(longestTimeText.size()), &sz);
  SelectObject(dc, old);
  ReleaseDC(statusbar_, dc);
  timeTextWidth_ = sz.cx;
}

void DecoratedFrame::CreateToolBar(int buttonSize) {
  toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                             WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT | CCS_TOP,
                             0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(0xE800),
                             GetModuleHandleW(nullptr), nullptr);
  SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  if (gadgetFont_) SendMessageW(toolbar_, WM_SETFONT, reinterpret_cast<WPARAM>(gadgetFont_), TRUE);
  images_ = ImageList_Create(buttonSize, buttonSize, ILC_COLOR24 | ILC_MASK, 24, 8);
  SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
  SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELONG(buttonSize, buttonSize));
}

void DecoratedFrame::SetToolButtons(const std::vector<ToolButton>& buttons) {
  if (!toolbar_) return;
  while (SendMessageW(toolbar_, TB_BUTTONCOUNT, 0, 0) > 0) SendMessageW(toolbar_, TB_DELETEBUTTON, 0, 0);
  ImageList_RemoveAll(images_);
  buttons_ = buttons;
  HINSTANCE inst = GetModuleHandleW(nullptr);
  std::vector<TBBUTTON> tb;
  for (const ToolButton& b : buttons) {
    TBBUTTON t{};
    if (b.id == 0) {
      t.iBitmap = kSeparatorWidth;
      t.fsStyle = BTNS_SEP;
    } else {
      HBITMAP bmp = static_cast<HBITMAP>(
          LoadImageW(inst, MAKEINTRESOURCEW(b.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
      int index = bmp ? ImageList_AddMasked(images_, bmp, RGB(255, 0, 255)) : I_IMAGENONE;
      if (bmp) DeleteObject(bmp);
      t.iBitmap = index;
      t.idCommand = static_cast<int>(b.id);
      t.fsState = TBSTATE_ENABLED;
      t.fsStyle = BTNS_BUTTON;
    }
    tb.push_back(t);
  }
  if (!tb.empty()) SendMessageW(toolbar_, TB_ADDBUTTONSW, tb.size(), reinterpret_cast<LPARAM>(tb.data()));
  SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
  UpdateToolBar();
  Layout();
}

void DecoratedFrame::ShowToolBar(bool show) {
  if (toolbar_) ShowWindow(toolbar_, show ? SW_SHOW : SW_HIDE);
}
void DecoratedFrame::ShowStatusBar(bool show) {
  if (statusbar_) ShowWindow(statusbar_, show ? SW_SHOW : SW_HIDE);
}
bool DecoratedFrame::ToolBarVisible() const { return toolbar_ && IsWindowVisible(toolbar_); }
bool DecoratedFrame::StatusBarVisible() const { return statusbar_ && IsWindowVisible(statusbar_); }

void DecoratedFrame::SetTimeText(const std::wstring& text) {
  if (text == timeText_) return;
  timeText_ = text;
  if (statusbar_) {
    std::wstring centred = L"\t" + text;  // a leading tab centres the text
    SendMessageW(statusbar_, SB_SETTEXTW, 1 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(centred.c_str()));
  }
}

void DecoratedFrame::SetMessageText(const std::wstring& text) {
  if (statusbar_) SendMessageW(statusbar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void DecoratedFrame::Layout() {
  if (!hwnd_) return;
  RECT rc;
  GetClientRect(hwnd_, &rc);
  int top = 0, bottom = rc.bottom;
  if (toolbar_ && IsWindowVisible(toolbar_)) {
    WrapToolBar(rc.right);
    SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
    RECT t;
    GetWindowRect(toolbar_, &t);
    top = t.bottom - t.top;
  }
  if (statusbar_ && IsWindowVisible(statusbar_)) {
    SendMessageW(statusbar_, WM_SIZE, 0, 0);
    RECT s;
    GetWindowRect(statusbar_, &s);
    bottom -= s.bottom - s.top;
    // The grip gets a part of its own, so the centred time is never under it.
    const int inset = 2 * GetSystemMetrics(SM_CXEDGE) + 3;  // the bar's own margins of a text
    const ui::StatusParts p =
        ui::StatusBarParts(rc.right, timeTextWidth_, inset, GetSystemMetrics(SM_CXVSCROLL));
    int parts[3] = {p.messageRight, p.timeRight, -1};
    SendMessageW(statusbar_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
    std::wstring centred = L"\t" + timeText_;
    SendMessageW(statusbar_, SB_SETTEXTW, 1 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(centred.c_str()));
    SendMessageW(statusbar_, SB_SETTEXTW, 2 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(L""));
  }
  if (client_ && client_->Handle()) {
    int h = bottom - top;
    if (h < 0) h = 0;
    MoveWindow(client_->Handle(), 0, top, rc.right, h, TRUE);
  }
}

void DecoratedFrame::WrapToolBar(int width) {
  std::vector<uint16_t> items;
  for (const ToolButton& b : buttons_) items.push_back(static_cast<uint16_t>(b.id));
  const int buttonWidth = LOWORD(SendMessageW(toolbar_, TB_GETBUTTONSIZE, 0, 0));
  const ui::ToolBarRows rows = ui::WrapToolBar(items, buttonWidth, kSeparatorWidth, width);
  for (size_t i = 0; i < items.size(); ++i) {
    TBBUTTON t{};
    if (!SendMessageW(toolbar_, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&t))) continue;
    BYTE state = t.fsState & ~(TBSTATE_WRAP | TBSTATE_HIDDEN);
    if (rows.wrapAfter[i]) state |= TBSTATE_WRAP;
    if (rows.hidden[i]) state |= TBSTATE_HIDDEN;
    if (state == t.fsState) continue;
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_STATE;
    info.fsState = state;
    SendMessageW(toolbar_, TB_SETBUTTONINFOW, i, reinterpret_cast<LPARAM>(&info));
  }
}

void DecoratedFrame::UpdateToolBar() {
  if (!toolbar_ || !states_) return;
  for (const ToolButton& b : buttons_) {
    if (b.id == 0) continue;
    const bool enabled = states_->Enabled(b.id);
    LRESULT cur = SendMessageW(toolbar_, TB_ISBUTTONENABLED, b.id, 0);
    if ((cur != 0) != enabled) SendMessageW(toolbar_, TB_ENABLEBUTTON, b.id, MAKELONG(enabled, 0));
  }
}

void DecoratedFrame::UpdateMenu(HMENU menu) {
  if (!menu || !states_) return;
  int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    HMENU sub = GetSubMenu(menu, i);
    if (sub) {
      UpdateMenu(sub);
      continue;
    }
    UINT id = GetMenuItemID(menu, i);
    if (id == 0 || id == static_cast<UINT>(-1)) continue;
    EnableMenuItem(menu, i, MF_BYPOSITION | (states_->Enabled(id) ? MF_ENABLED : MF_GRAYED));
    bool checked = false;
    if (states_->Checked(id, &checked)) {
      CheckMenuItem(menu, i, MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
  }
}

void DecoratedFrame::IdleAction() {
  if (!states_) return;
  states_->BeginPass();
  UpdateToolBar();
  HMENU menu = GetMenu(hwnd_);
  if (menu) UpdateMenu(menu);
  states_->EndPass();
}

void DecoratedFrame::ShowHint(UINT id) {
  if (!statusbar_) return;
  wchar_t buf[256] = L"";
  if (id != 0) LoadStringW(GetModuleHandleW(nullptr), id, buf, 256);
  SendMessageW(statusbar_, SB_SIMPLE, TRUE, 0);
  SendMessageW(statusbar_, SB_SETTEXTW, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(buf));
}

LRESULT DecoratedFrame::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_SETFOCUS:
      if (client_ && client_->Handle()) SetFocus(client_->Handle());
      return 0;
    case WM_INITMENUPOPUP:
      if (states_) {
        states_->BeginPass();
        UpdateMenu(reinterpret_cast<HMENU>(wp));
        states_->EndPass();
      }
      break;
    case WM_MENUSELECT: {
      UINT flags = HIWORD(wp);
      if (flags == 0xFFFF && lp == 0) {
        inMenu_ = false;
        SendMessageW(statusbar_, SB_SIMPLE, FALSE, 0);
      } else if (!(flags & (MF_POPUP | MF_SEPARATOR))) {
        inMenu_ = true;
        ShowHint(LOWORD(wp));
      } else {
        inMenu_ = true;
        ShowHint(0);
      }
      break;
    }
    case WM_EXITMENULOOP:
      inMenu_ = false;
      if (statusbar_) SendMessageW(statusbar_, SB_SIMPLE, FALSE, 0);
      break;
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lp);
      if (hdr->hwndFrom == toolbar_ && hdr->code == TBN_HOTITEMCHANGE) {
        // The hint of the button under the mouse, as for menu items.
        auto* hot = reinterpret_cast<NMTBHOTITEM*>(lp);
        if (hot->dwFlags & HICF_LEAVING) {
          if (!inMenu_) SendMessageW(statusbar_, SB_SIMPLE, FALSE, 0);
        } else {
          ShowHint(static_cast<UINT>(hot->idNew));
        }
        return 0;
      }
      if (hdr->code == TTN_GETDISPINFOW) {
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
  return Window::WndProc(msg, wp, lp);
}

}  // namespace wnd
