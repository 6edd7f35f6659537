#include "win32/option_dialogs.h"

#include <commctrl.h>

#include "win32/win_notify.h"
#include "win32/win_platform.h"
#include "win32/wnd/text_conv.h"

namespace {

// ---- auto-repeat button ----

constexpr UINT_PTR kUpDownSubclass = 0x5544;
constexpr UINT_PTR kUpDownTimer = 1;

struct UpDownState {
  HWND owner;
  ui::UpDownRepeat repeat;
};

void PostToOwner(HWND button, const UpDownState& s) {
  const int id = GetDlgCtrlID(button);
  PostMessageW(s.owner, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

LRESULT CALLBACK UpDownProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  auto* s = reinterpret_cast<UpDownState*>(data);
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(hwnd);
      s->repeat.Press();
      SetCapture(hwnd);
      SendMessageW(hwnd, BM_SETSTATE, TRUE, 0);
      return 0;
    case WM_MOUSEMOVE:
      if (s->repeat.Pressed()) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        POINT pt = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        s->repeat.Move(PtInRect(&rc, pt) != FALSE);
        SendMessageW(hwnd, BM_SETSTATE, s->repeat.PushedIn() ? TRUE : FALSE, 0);
      }
      return 0;
    case WM_TIMER:
      if (wp != kUpDownTimer) break;
      if (s->repeat.Tick()) PostToOwner(hwnd, *s);
      return 0;
    case WM_LBUTTONUP:
      if (!s->repeat.Pressed()) return 0;
      {
        bool post = s->repeat.Release();
        ReleaseCapture();
        if (post) PostToOwner(hwnd, *s);
      }
      SendMessageW(hwnd, BM_SETSTATE, FALSE, 0);
      return 0;
    case WM_CAPTURECHANGED:
      // Capture taken away (another window popped up): stop repeating, post nothing.
      if (s->repeat.Pressed() && reinterpret_cast<HWND>(lp) != hwnd) {
        s->repeat.Move(false);
        s->repeat.Release();
        SendMessageW(hwnd, BM_SETSTATE, FALSE, 0);
      }
      break;
    case WM_NCDESTROY:
      KillTimer(hwnd, kUpDownTimer);
      RemoveWindowSubclass(hwnd, UpDownProc, kUpDownSubclass);
      delete s;
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

void TUpDown::Attach(HWND button, HWND owner) {
  if (!button) return;
  auto* s = new UpDownState{owner, {}};
  SetWindowSubclass(button, UpDownProc, kUpDownSubclass, reinterpret_cast<DWORD_PTR>(s));
  SetTimer(button, kUpDownTimer, ui::kUpDownTimerMs, nullptr);
}

// ---- about box ----

INT_PTR TAboutDialog::OnMessage(UINT msg, WPARAM, LPARAM, bool* handled) {
  if (msg != WM_PAINT) return 0;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  PaintOver(dc);
  EndPaint(hwnd_, &ps);
  *handled = true;
  return TRUE;
}

void TAboutDialog::PaintOver(HDC dc) {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  const ui::AboutLayout a = ui::AboutTextArea(rc.right, rc.bottom);

  // The picture, stretched into the strip left of the text area.
  if (HBITMAP bmp = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(990))) {
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, bmp);
    const int margin = rc.right * 6 / 183;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, margin, a.top, a.left - 2 * margin, a.bottom - a.top, mem, 0, 0, 67, 68, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bmp);
  }

  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  auto font = [dpi](int points, int weight) {
    return CreateFontW(app::FontHeight(dpi, points), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       VARIABLE_PITCH | FF_ROMAN, L"MS Serif");
  };
  HFONT big = font(24, 700), small = font(12, 400);
  SetBkMode(dc, TRANSPARENT);
  const int h = a.bottom - a.top;
  // The name takes the upper part; the three small lines share the rest.
  RECT line = {a.left, a.top, a.right, a.top + h * 2 / 5};
  HGDIOBJ oldFont = SelectObject(dc, big);
  SetTextColor(dc, RGB(0, 128, 0));
  DrawTextW(dc, wnd::Wide(ui::kAboutProduct).c_str(), -1, &line,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, small);
  SetTextColor(dc, RGB(0, 0, 0));
  const char* lines[] = {ui::kAboutVersion, ui::kAboutLine2, ui::kAboutLine3};
  const int rowTop = line.bottom, rowH = (a.bottom - rowTop) / 3;
  for (int i = 0; i < 3; ++i) {
    RECT r = {a.left, rowTop + i * rowH, a.right, rowTop + (i + 1) * rowH};
    DrawTextW(dc, wnd::Wide(lines[i]).c_str(), -1, &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  SelectObject(dc, oldFont);
  DeleteObject(big);
  DeleteObject(small);

  // Sunken frame: shadow above and left, highlight below and right.
  HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  HGDIOBJ oldPen = SelectObject(dc, shadow);
  MoveToEx(dc, a.left, a.bottom, nullptr);
  LineTo(dc, a.left, a.top);
  LineTo(dc, a.right, a.top);
  SelectObject(dc, light);
  LineTo(dc, a.right, a.bottom);
  LineTo(dc, a.left, a.bottom);
  SelectObject(dc, oldPen);
  DeleteObject(shadow);
  DeleteObject(light);
}

// ---- window customisation ----

namespace {
bool Checked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }
void Check(HWND dlg, int id, bool on) { CheckDlgButton(dlg, id, on ? BST_CHECKED : BST_UNCHECKED); }
}  // namespace

bool TWCustomDialog::OnInitDialog() {
  Check(hwnd_, 501, options_->menuBar);
  Check(hwnd_, 502, options_->controlBar);
  Check(hwnd_, 503, options_->statusBar);
  Check(hwnd_, 504, options_->slider);
  Check(hwnd_, 505, options_->systemColor);
  return true;
}

bool TWCustomDialog::CanClose() {
  options_->menuBar = Checked(hwnd_, 501);
  options_->controlBar = Checked(hwnd_, 502);
  options_->statusBar = Checked(hwnd_, 503);
  options_->slider = Checked(hwnd_, 504);
  options_->systemColor = Checked(hwnd_, 505);
  return true;
}

// ---- tool bar customisation ----

bool TCustomDialog::OnInitDialog() {
  for (int i = 0; i < ui::kToolBarChecks; ++i)
    Check(hwnd_, 501 + i, settings_->buttons[ui::ToolBarCheckGroup(i)]);
  return true;
}

bool TCustomDialog::CanClose() {
  bool checks[ui::kToolBarChecks];
  for (int i = 0; i < ui::kToolBarChecks; ++i) checks[i] = Checked(hwnd_, 501 + i);
  *changed_ = ui::StoreToolBarGroups(checks, settings_);
  return true;
}

// ---- auto-play settings ----

namespace {
constexpr int kInitLoad = 501, kInitShuffle = 502, kInitPlay = 503, kAlarmSet = 504;
constexpr int kAm = 201, kPm = 202, kHour = 1001, kMinute = 1002, kFileText = 1201;
constexpr int kChoose = 401, kHourUp = 402, kHourDown = 403, kMinuteUp = 404, kMinuteDown = 405;
}  // namespace

std::string TInitLoadDialog::Field(int id) const {
  wchar_t buf[16] = {};
  GetDlgItemTextW(hwnd_, id, buf, 16);
  return wnd::Narrow(buf);
}

void TInitLoadDialog::SetNumber(int id, int32_t value) {
  SetDlgItemTextW(hwnd_, id, wnd::Wide(ui::AlarmNumberText(value)).c_str());
}

void TInitLoadDialog::ShowFile() {
  SetDlgItemTextW(hwnd_, kFileText, wnd::Wide(ui::InitLoadFileText(file_, settings_->strupr)).c_str());
}

bool TInitLoadDialog::ChooseFile() {
  win32::WinFileDialog dialog(hwnd_);
  if (!ui::ChooseInitLoadFile(dialog, boxes_, settings_->strupr, explorerStyle_, &file_))
    return false;
  ShowFile();
  return true;
}

bool TInitLoadDialog::OnInitDialog() {
  // Its message boxes belong to the dialog, so OK cannot be pressed again under them.
  boxes_.SetOwner(hwnd_);
  file_ = settings_->initLoadFile;
  Check(hwnd_, kInitPlay, settings_->initPlay);
  Check(hwnd_, kInitShuffle, settings_->initShuffle);
  Check(hwnd_, kInitLoad, settings_->initLoad);
  ShowFile();
  Check(hwnd_, kAlarmSet, settings_->alarmSet);
  ui::AlarmFields f = ui::AlarmFieldsOf(settings_->alarmHour, settings_->alarmMinute);
  CheckRadioButton(hwnd_, kAm, kPm, f.pm ? kPm : kAm);
  SendDlgItemMessageW(hwnd_, kHour, EM_LIMITTEXT, 3, 0);
  SendDlgItemMessageW(hwnd_, kMinute, EM_LIMITTEXT, 3, 0);
  SetNumber(kHour, f.hour);
  SetNumber(kMinute, f.minute);
  for (int id : {kHourUp, kHourDown, kMinuteUp, kMinuteDown}) TUpDown::Attach(GetDlgItem(hwnd_, id), hwnd_);
  return true;
}

bool TInitLoadDialog::OnCommand(UINT id, UINT code, HWND control) {
  switch (id) {
    case kChoose:
      ChooseFile();
      return true;
    case kInitLoad:
      if (Checked(hwnd_, kInitLoad)) {
        Check(hwnd_, kInitLoad, false);
      } else {
        Check(hwnd_, kInitLoad, true);
        if (file_.empty() && !ChooseFile()) Check(hwnd_, kInitLoad, false);
      }
      return true;
    case kHourUp:
    case kHourDown:
      SetNumber(kHour, ui::StepHour(ui::ReadAlarmField(Field(kHour)), id == kHourUp));
      return true;
    case kMinuteUp:
    case kMinuteDown:
      SetNumber(kMinute, ui::StepMinute(ui::ReadAlarmField(Field(kMinute)), id == kMinuteUp));
      return true;
  }
  return wnd::Dialog::OnCommand(id, code, control);
}

bool TInitLoadDialog::CanClose() {
  ui::AutoPlayInput in;
  in.initLoad = Checked(hwnd_, kInitLoad);
  in.initShuffle = Checked(hwnd_, kInitShuffle);
  in.initPlay = Checked(hwnd_, kInitPlay);
  in.initLoadFile = file_;
  in.alarmSet = Checked(hwnd_, kAlarmSet);
  in.pm = Checked(hwnd_, kPm);
  in.hourText = Field(kHour);
  in.minuteText = Field(kMinute);
  ui::StoreAutoPlay(in, boxes_, settings_);
  return true;
}
