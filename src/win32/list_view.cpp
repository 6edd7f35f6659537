#include "win32/list_view.h"

#include <new>

#include "app/command_ids.h"
#include "ui/list_cells.h"
#include "ui/status_text.h"
#include "win32/wnd/text_conv.h"

namespace win32 {

namespace {

const int32_t kListBitmaps[] = {ui::kIconMid, ui::kIconWav,  ui::kIconAvi,  ui::kIconMov,
                                ui::kIconJpg, ui::kIconCd,   ui::kIconMpg,  ui::kIconMpegAudio,
                                ui::kHeaderIcons, ui::kDriveImages};

RECT ToRect(const ui::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

SIZE Extent(HDC dc, const std::wstring& s) {
  SIZE sz{0, 0};
  GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &sz);
  return sz;
}

}  // namespace

ListView::ListView(songlist::SongList& list, platform::Notifier& notifier, ui::VideoHook* video)
    : list_(list),
      notifier_(notifier),
      video_(video ? video : &noVideo_),
      view_(list, *this),
      input_(list, view_, *this, *this) {}

ListView::~ListView() {
  for (auto& b : bitmaps_) DeleteObject(b.second);
  if (cacheDc_) DeleteDC(cacheDc_);
  if (cacheBmp_) DeleteObject(cacheBmp_);
}

void ListView::SetVideo(ui::VideoHook* video) { video_ = video ? video : &noVideo_; }

void ListView::Attach(HWND window, HWND scrollBar) {
  hwnd_ = window;
  scroll_ = scrollBar;
  LoadBitmaps();
  dragCursor_ = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  RECT rc;
  GetClientRect(hwnd_, &rc);
  lastWidth_ = rc.right;
  lastHeight_ = rc.bottom;
}

void ListView::LoadBitmaps() {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  for (int32_t id : kListBitmaps) {
    if (bitmaps_.count(id)) continue;
    HBITMAP b = LoadBitmapW(inst, MAKEINTRESOURCEW(id));
    if (!b) continue;
    // Kept as 32-bit pictures: blitting a paletted bitmap converts every pixel each time.
    BITMAP info{};
    GetObjectW(b, sizeof info, &info);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = info.bmWidth;
    bi.bmiHeader.biHeight = -info.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP deep = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (deep) {
      HDC src = CreateCompatibleDC(nullptr), dst = CreateCompatibleDC(nullptr);
      HGDIOBJ o1 = SelectObject(src, b), o2 = SelectObject(dst, deep);
      BitBlt(dst, 0, 0, info.bmWidth, info.bmHeight, src, 0, 0, SRCCOPY);
      SelectObject(src, o1);
      SelectObject(dst, o2);
      DeleteDC(src);
      DeleteDC(dst);
      DeleteObject(b);
      b = deep;
    }
    bitmaps_[id] = b;
  }
}

void ListView::Measure(HFONT font, const app::Settings& s) {
  font_ = font;
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE sample = Extent(dc, wnd::Wide(app::MetricsSampleText(s.charNum, s.strupr)));
  SIZE one = Extent(dc, L"3");
  SIZE four = Extent(dc, L"3333");
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  view_.SetMetrics(ui::MakeMetrics(sample.cx, sample.cy, one.cx, four.cx));
  ApplySettings(s);
}

void ListView::ApplySettings(const app::Settings& s) {
  ui::PaintSettings& p = view_.Settings();
  p.charNum = s.charNum;
  p.caseMode = s.strupr;
  p.charset = s.charset;
  p.colors.useSystem = s.systemColor;
  p.colors.background = ui::BackgroundColor(s.r, s.g, s.b);
  sliderOn_ = s.slider;
  UpdateClient();
}

void ListView::RefreshSystemColors() {
  ui::SystemColors& c = view_.Settings().colors.sys;
  c.window = GetSysColor(COLOR_WINDOW);
  c.face = GetSysColor(COLOR_BTNFACE);
  c.shadow = GetSysColor(COLOR_BTNSHADOW);
  c.highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
}

void ListView::UpdateClient() {
  if (!hwnd_) return;
  RECT rc;
  GetClientRect(hwnd_, &rc);
  view_.SetClient(rc.right, rc.bottom, sliderOn_, GetSystemMetrics(SM_CYHSCROLL));
}

void ListView::OnSize(int width, int height) {
  const bool smaller = width < lastWidth_ && height < lastHeight_;
  const int bar = GetSystemMetrics(SM_CYHSCROLL);
  const int dh = height > lastHeight_ ? height - lastHeight_ : lastHeight_ - height;
  const bool heightOnly = width == lastWidth_ && dh != 0 && dh < bar;
  lastWidth_ = width;
  lastHeight_ = height;
  UpdateClient();
  if (smaller) Repaint();
  // A small change of height leaves the bar's old picture behind; show it afresh.
  if (heightOnly && sliderOn_ && scroll_ && IsWindowVisible(scroll_)) {
    ShowWindow(scroll_, SW_HIDE);
    ShowWindow(scroll_, SW_SHOWNA);
  }
}

void ListView::ApplyScrollBar() {
  if (!scroll_) return;
  ui::ListView::ScrollBar sb = view_.ScrollBarState();
  if (sb.shown) {
    MoveWindow(scroll_, sb.rect.left, sb.rect.top, sb.rect.Width(), sb.rect.Height(), TRUE);
    // With a page, the platform's last position is nMax - page + 1.
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = sb.maximum + sb.page - 1;
    si.nPage = static_cast<UINT>(sb.page);
    si.nPos = sb.position;
    SetScrollInfo(scroll_, SB_CTL, &si, sb.redraw ? TRUE : FALSE);
    if (!IsWindowVisible(scroll_)) ShowWindow(scroll_, SW_SHOWNA);
  } else if (IsWindowVisible(scroll_)) {
    ShowWindow(scroll_, SW_HIDE);
  }
}

template <typename Build>
void ListView::Render(HDC dc, bool keepScreen, Build build) {
  try {
    RefreshSystemColors();
    ui::DrawList ops;
    ops.reserve(1024);
    build(&ops);
    const ui::ListLayout& L = view_.Layout();
    Execute(dc, RECT{0, 0, L.width, L.height}, ops, keepScreen);
  } catch (const std::bad_alloc&) {
    guard_.OnOutOfMemory(notifier_);
  }
}

void ListView::Paint(HDC dc) {
  UpdateClient();
  Render(dc, false, [this](ui::DrawList* ops) { view_.FullRepaint(ops); });
  ApplyScrollBar();
}

void ListView::Repaint() {
  if (!hwnd_ || video_->ShownInMain()) return;
  HDC dc = GetDC(hwnd_);
  Paint(dc);
  ReleaseDC(hwnd_, dc);
}

void ListView::RedrawCells(const std::vector<int32_t>& positions) {
  if (!hwnd_ || video_->ShownInMain() || list_.Count() == 0) return;
  HDC dc = GetDC(hwnd_);
  Render(dc, true, [&](ui::DrawList* ops) {
    view_.PartialRepaint(positions.data(), static_cast<int>(positions.size()), ops);
  });
  ReleaseDC(hwnd_, dc);
}

void ListView::ScrollToCurrent() { view_.ScrollToCurrent(); }

HBRUSH ListView::Brush(COLORREF c) {
  auto it = brushes_.find(c);
  if (it != brushes_.end()) return it->second;
  HBRUSH b = CreateSolidBrush(c);
  if (!b) throw std::bad_alloc();
  brushes_[c] = b;
  return b;
}

void ListView::Execute(HDC target, const RECT& area, const ui::DrawList& ops, bool keepScreen) {
  const int w = area.right, h = area.bottom;
  if (w <= 0 || h <= 0) return;
  // The off-screen picture lives on between repaints while the size stays.
  if (!cacheDc_ || w != cacheW_ || h != cacheH_) {
    if (cacheDc_) DeleteDC(cacheDc_);
    if (cacheBmp_) DeleteObject(cacheBmp_);
    cacheDc_ = CreateCompatibleDC(target);
    cacheBmp_ = cacheDc_ ? CreateCompatibleBitmap(target, w, h) : nullptr;
    if (!cacheBmp_ && cacheDc_) {
      DeleteDC(cacheDc_);
      cacheDc_ = nullptr;
    }
    cacheW_ = w;
    cacheH_ = h;
  }
  HDC mem = cacheDc_;
  HBITMAP bmp = cacheBmp_;
  HDC pictures = mem ? CreateCompatibleDC(target) : nullptr;
  auto cleanup = [&] {
    for (auto& b : brushes_) DeleteObject(b.second);
    brushes_.clear();
    if (pictures) DeleteDC(pictures);
    bitmapDc_ = nullptr;
  };
  if (!mem || !bmp || !pictures) {
    cleanup();
    throw std::bad_alloc();
  }
  HGDIOBJ oldBmp = SelectObject(mem, bmp);
  if (keepScreen) BitBlt(mem, 0, 0, w, h, target, 0, 0, SRCCOPY);
  HGDIOBJ oldFont = font_ ? SelectObject(mem, font_) : nullptr;
  TEXTMETRICW tm{};
  GetTextMetricsW(mem, &tm);
  textHeight_ = tm.tmHeight;
  SetBkMode(mem, TRANSPARENT);
  SetStretchBltMode(mem, COLORONCOLOR);
  bitmapDc_ = pictures;
  HGDIOBJ oldPicture = nullptr;
  int32_t selected = -1;
  try {
    for (const ui::DrawOp& op : ops) {
      if (op.kind == ui::OpKind::kBitmap && op.bitmap != selected) {
        auto it = bitmaps_.find(op.bitmap);
        if (it == bitmaps_.end()) continue;
        HGDIOBJ prev = SelectObject(pictures, it->second);
        if (!oldPicture) oldPicture = prev;
        selected = op.bitmap;
      }
      Draw(mem, op);
    }
  } catch (...) {
    if (oldPicture) SelectObject(pictures, oldPicture);
    if (oldFont) SelectObject(mem, oldFont);
    SelectObject(mem, oldBmp);
    cleanup();
    throw;
  }
  BitBlt(target, 0, 0, w, h, mem, 0, 0, SRCCOPY);
  if (oldPicture) SelectObject(pictures, oldPicture);
  if (oldFont) SelectObject(mem, oldFont);
  SelectObject(mem, oldBmp);
  cleanup();
}

void ListView::Draw(HDC dc, const ui::DrawOp& op) {
  RECT r = ToRect(op.rect);
  switch (op.kind) {
    case ui::OpKind::kFill:
      FillRect(dc, &r, Brush(op.color));
      break;
    case ui::OpKind::kFrame:
      FrameRect(dc, &r, Brush(op.color));
      break;
    case ui::OpKind::kText: {
      // One line, vertically centred, clipped to its cell: placed directly
      // rather than through DrawText, which measures every string first.
      std::wstring t = wnd::Wide(op.text);
      SetTextColor(dc, op.color);
      SetTextAlign(dc, (op.alignRight ? TA_RIGHT : TA_LEFT) | TA_TOP | TA_NOUPDATECP);
      const int y = r.top + ((r.bottom - r.top) - textHeight_) / 2;
      ExtTextOutW(dc, op.alignRight ? r.right : r.left, y, ETO_CLIPPED, &r, t.c_str(),
                  static_cast<UINT>(t.size()), nullptr);
      break;
    }
    case ui::OpKind::kBitmap: {
      const int dw = op.rect.Width(), dh = op.rect.Height();
      const int sw = op.src.Width(), sh = op.src.Height();
      if (dw == sw && dh == sh) {
        // The usual case: icons at their own size need no stretching.
        if (op.masked) {
          BitBlt(dc, r.left, r.top, dw, dh, bitmapDc_, op.src.left, op.src.top + 16, SRCAND);
          BitBlt(dc, r.left, r.top, dw, dh, bitmapDc_, op.src.left, op.src.top, SRCPAINT);
        } else {
          BitBlt(dc, r.left, r.top, dw, dh, bitmapDc_, op.src.left, op.src.top, SRCCOPY);
        }
      } else if (op.masked) {
        StretchBlt(dc, r.left, r.top, dw, dh, bitmapDc_, op.src.left, op.src.top + 16, sw, sh,
                   SRCAND);
        StretchBlt(dc, r.left, r.top, dw, dh, bitmapDc_, op.src.left, op.src.top, sw, sh,
                   SRCPAINT);
      } else {
        StretchBlt(dc, r.left, r.top, dw, dh, bitmapDc_, op.src.left, op.src.top, sw, sh,
                   SRCCOPY);
      }
      break;
    }
  }
}

void ListView::PaintSliderLine(HDC dc, bool sliderOn, int width, int height) {
  ui::SliderPlacement p = ui::PlaceSlider(sliderOn, width, height);
  if (!p.shown) return;
  RECT r = ToRect(p.line);
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
}

void ListView::OnScrollBar(int code) {
  int pos = 0;
  if (scroll_ && (code == ui::kScrollThumbTrack || code == ui::kScrollThumbPosition)) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_TRACKPOS | SIF_POS;
    GetScrollInfo(scroll_, SB_CTL, &si);
    pos = code == ui::kScrollThumbTrack ? si.nTrackPos : si.nPos;
  }
  input_.ScrollBar(code, pos);
}

void ListView::Capture(bool on) {
  if (on) {
    SetCapture(hwnd_);
  } else if (GetCapture() == hwnd_) {
    ReleaseCapture();
  }
}

void ListView::DragCursor(bool on) {
  SetCursor(on && dragCursor_ ? dragCursor_ : LoadCursorW(nullptr, IDC_ARROW));
}

void ListView::FocusMainWindow() { SetFocus(hwnd_); }

void ListView::Play() {
  if (playHook) {
    playHook();
  } else {
    SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(CM_PLAY, 0), 0);
  }
}

int32_t ListView::Type(const std::string& root) {
  return static_cast<int32_t>(GetDriveTypeW(wnd::Wide(root).c_str()));
}

uint32_t ListView::SectorSize(const std::string& root) {
  DWORD spc = 0, bps = 0, freeClusters = 0, clusters = 0;
  // An unanswered query keeps the fixed-disk picture.
  if (!GetDiskFreeSpaceW(wnd::Wide(root).c_str(), &spc, &bps, &freeClusters, &clusters)) return 512;
  return bps;
}

}  // namespace win32
