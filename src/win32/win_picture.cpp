#include "win32/win_picture.h"

#include <mmsystem.h>
#include <wincodec.h>

#include <vector>

#include "win32/wnd/text_conv.h"

namespace win32 {

namespace {

constexpr wchar_t kClass[] = L"CorvellaPicture";
constexpr UINT_PTR kEndTimer = 1;
// Far above the ids the media control interface hands out (16-bit).
constexpr platform::MciDevice kFirstId = 0x00A10000;
constexpr uint64_t kMaxPixels = 64ull * 1024 * 1024;

template <class T>
struct Com {
  T* p = nullptr;
  ~Com() {
    if (p) p->Release();
  }
  T** operator&() { return &p; }
  T* operator->() const { return p; }
};

uint32_t ErrorOf(HRESULT hr) {
  if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ||
      hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)) {
    return MCIERR_FILE_NOT_FOUND;
  }
  if (hr == HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED) ||
      hr == HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION)) {
    return MCIERR_FILE_READ;
  }
  if (hr == E_OUTOFMEMORY) return MCIERR_OUT_OF_MEMORY;
  return MCIERR_INVALID_FILE;
}

// Decodes the file's first frame into top-down 32-bit BGR pixels.
uint32_t Decode(const std::wstring& path, std::vector<uint32_t>* pixels, UINT* w, UINT* h) {
  HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  uint32_t err = MCIERR_INVALID_FILE;
  {
    Com<IWICImagingFactory> factory;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICFormatConverter> converter;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, reinterpret_cast<void**>(&factory));
    if (SUCCEEDED(hr)) {
      hr = factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                              WICDecodeMetadataCacheOnDemand, &decoder);
    }
    if (SUCCEEDED(hr)) hr = decoder->GetFrame(0, &frame);
    if (SUCCEEDED(hr)) hr = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(hr)) {
      hr = converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                 nullptr, 0.0, WICBitmapPaletteTypeCustom);
    }
    if (SUCCEEDED(hr)) hr = converter->GetSize(w, h);
    if (SUCCEEDED(hr) && (*w == 0 || *h == 0 || uint64_t{*w} * *h > kMaxPixels)) hr = E_FAIL;
    if (SUCCEEDED(hr)) {
      pixels->assign(size_t{*w} * *h, 0);
      hr = converter->CopyPixels(nullptr, *w * 4, static_cast<UINT>(pixels->size() * 4),
                                 reinterpret_cast<BYTE*>(pixels->data()));
    }
    err = SUCCEEDED(hr) ? 0 : ErrorOf(hr);
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return err;
}

}  // namespace

// One open picture and the window it shows in: its own (created at the open,
// shown when played) or a child of the window it was given.
class PictureDevice {
 public:
  PictureDevice(platform::MciDevice id, HWND notify, std::vector<uint32_t> pixels, UINT w, UINT h,
                const std::wstring& title, bool popup)
      : id_(id), notify_(notify), pixels_(std::move(pixels)), w_(w), h_(h) {
    Register();
    DWORD style = popup ? WS_POPUP : WS_OVERLAPPEDWINDOW;
    RECT r{0, 0, static_cast<LONG>(w), static_cast<LONG>(h)};
    AdjustWindowRect(&r, style, FALSE);
    own_ = CreateWindowExW(0, kClass, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                           r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                           GetModuleHandleW(nullptr), this);
  }
  ~PictureDevice() {
    if (child_) DestroyWindow(child_);
    if (own_) DestroyWindow(own_);
  }
  bool Created() const { return own_ != nullptr; }

  uint32_t Position() const {
    if (mode_ != MCI_MODE_PLAY) return position_;
    uint32_t played = GetTickCount() - playStart_;
    return std::min(playFrom_ + played, end_);
  }
  uint32_t Mode() const { return mode_; }
  HWND Shown() const { return child_ ? child_ : own_; }
  platform::MciRect Source() const {
    return {0, 0, static_cast<int32_t>(w_), static_cast<int32_t>(h_)};
  }
  platform::MciRect Destination() const {
    if (destSet_) return dest_;
    RECT c;
    GetClientRect(Shown(), &c);
    return {0, 0, c.right, c.bottom};
  }

  void Play(bool hasFrom, uint32_t from, bool hasTo, uint32_t to) {
    Abort(MCI_NOTIFY_SUPERSEDED);
    if (hasFrom) position_ = std::min(from, WinPictureMci::kShowMs);
    end_ = hasTo ? std::min(to, WinPictureMci::kShowMs) : WinPictureMci::kShowMs;
    playFrom_ = position_;
    playStart_ = GetTickCount();
    mode_ = MCI_MODE_PLAY;
    pending_ = true;
    if (!IsWindowVisible(Shown())) ShowWindow(Shown(), child_ ? SW_SHOWNA : SW_SHOW);
    InvalidateRect(Shown(), nullptr, FALSE);
    SetTimer(own_, kEndTimer, end_ > position_ ? end_ - position_ : 1, nullptr);
  }
  void Pause() {
    if (mode_ != MCI_MODE_PLAY) return;
    position_ = Position();
    KillTimer(own_, kEndTimer);
    mode_ = MCI_MODE_PAUSE;
  }
  // Stop, seek and close end a pending play, and say so as the devices do.
  void Stop() {
    if (mode_ == MCI_MODE_PLAY) position_ = Position();
    KillTimer(own_, kEndTimer);
    mode_ = MCI_MODE_STOP;
    Abort(MCI_NOTIFY_ABORTED);
  }
  void Seek(uint32_t to) {
    Stop();
    position_ = std::min(to, WinPictureMci::kShowMs);
  }

  void UseWindow(HWND parent) {
    if (child_) DestroyWindow(child_);
    child_ = nullptr;
    destSet_ = false;
    if (parent) {
      RECT c;
      GetClientRect(parent, &c);
      child_ = CreateWindowExW(0, kClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, c.right,
                               c.bottom, parent, nullptr, GetModuleHandleW(nullptr), this);
      ShowWindow(own_, SW_HIDE);
      if (mode_ != MCI_MODE_STOP || pending_) ShowWindow(child_, SW_SHOWNA);
    }
  }
  void Put(const platform::MciRect& r) {
    dest_ = r;
    destSet_ = true;
    if (child_) {
      // The child is the destination; the picture fills it.
      MoveWindow(child_, r.left, r.top, r.Width(), r.Height(), TRUE);
      dest_ = {0, 0, r.Width(), r.Height()};
    }
    InvalidateRect(Shown(), nullptr, FALSE);
    UpdateWindow(Shown());
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<PictureDevice*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
      case WM_ERASEBKGND:
        return 1;
      case WM_NCHITTEST:
        // Over the main window the picture is only drawn there: its clicks
        // (double-click to fit, and so on) belong to that window.
        if (hwnd == self->child_) return HTTRANSPARENT;
        break;
      case WM_PAINT:
        self->Paint(hwnd);
        return 0;
      case WM_SIZE:
        if (hwnd == self->own_ && !self->destSet_) InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
      case WM_TIMER:
        if (wp == kEndTimer) self->End();
        return 0;
      case WM_CLOSE:
        // The user closed the picture's own window: hidden, and reported as aborted.
        ShowWindow(hwnd, SW_HIDE);
        self->Stop();
        return 0;
      case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (hwnd == self->own_) self->own_ = nullptr;
        if (hwnd == self->child_) self->child_ = nullptr;
        break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }

 private:
  static void Register() {
    static bool done = false;
    if (done) return;
    WNDCLASSW wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClass;
    done = RegisterClassW(&wc) != 0;
  }
  void Notify(WPARAM code) {
    if (notify_) PostMessageW(notify_, MM_MCINOTIFY, code, static_cast<LPARAM>(id_));
  }
  void Abort(WPARAM code) {
    if (!pending_) return;
    pending_ = false;
    Notify(code);
  }
  void End() {
    KillTimer(own_, kEndTimer);
    position_ = end_;
    mode_ = MCI_MODE_STOP;
    if (pending_) {
      pending_ = false;
      Notify(MCI_NOTIFY_SUCCESSFUL);
    }
  }
  void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT c;
    GetClientRect(hwnd, &c);
    platform::MciRect d = hwnd == child_ ? platform::MciRect{0, 0, c.right, c.bottom}
                                         : Destination();
    // Black around the picture, as a video window shows it.
    HRGN around = CreateRectRgn(0, 0, c.right, c.bottom);
    HRGN inside = CreateRectRgn(d.left, d.top, d.right, d.bottom);
    CombineRgn(around, around, inside, RGN_DIFF);
    FillRgn(dc, around, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DeleteObject(inside);
    DeleteObject(around);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = static_cast<LONG>(w_);
    bi.bmiHeader.biHeight = -static_cast<LONG>(h_);  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchDIBits(dc, d.left, d.top, d.Width(), d.Height(), 0, 0, static_cast<int>(w_),
                  static_cast<int>(h_), pixels_.data(), &bi, DIB_RGB_COLORS, SRCCOPY);
    EndPaint(hwnd, &ps);
  }

  platform::MciDevice id_;
  HWND notify_;
  std::vector<uint32_t> pixels_;
  UINT w_, h_;
  HWND own_ = nullptr;
  HWND child_ = nullptr;
  platform::MciRect dest_;
  bool destSet_ = false;
  uint32_t mode_ = MCI_MODE_STOP;
  uint32_t position_ = 0, playFrom_ = 0, end_ = WinPictureMci::kShowMs;
  DWORD playStart_ = 0;
  bool pending_ = false;  // a play waits to report its end
};

WinPictureMci::WinPictureMci() : nextId_(kFirstId) {}
WinPictureMci::~WinPictureMci() = default;

PictureDevice* WinPictureMci::Find(platform::MciDevice id) {
  auto it = pictures_.find(id);
  return it == pictures_.end() ? nullptr : it->second.get();
}

uint32_t WinPictureMci::OpenPicture(const std::string& element, bool popup,
                                    platform::MciDevice* id) {
  std::wstring path = wnd::Wide(element);
  std::vector<uint32_t> pixels;
  UINT w = 0, h = 0;
  uint32_t err = Decode(path, &pixels, &w, &h);
  if (err != 0) return err;
  size_t slash = path.find_last_of(L"\\/:");
  std::wstring title = slash == std::wstring::npos ? path : path.substr(slash + 1);
  auto device = std::make_unique<PictureDevice>(nextId_, NotifyWindow(), std::move(pixels), w, h,
                                                title, popup);
  if (!device->Created()) return MCIERR_OUT_OF_MEMORY;
  *id = nextId_++;
  pictures_[*id] = std::move(device);
  return 0;
}

uint32_t WinPictureMci::SetTimeFormat(platform::MciDevice id, platform::MciTimeFormat format) {
  if (!Find(id)) return WinMci::SetTimeFormat(id, format);
  return format == platform::MciTimeFormat::kMilliseconds ? 0 : MCIERR_UNSUPPORTED_FUNCTION;
}

uint32_t WinPictureMci::Status(platform::MciDevice id, platform::MciStatusItem item,
                               uint32_t* value, uint32_t track) {
  PictureDevice* p = Find(id);
  if (!p) return WinMci::Status(id, item, value, track);
  switch (item) {
    case platform::MciStatusItem::kLength: *value = kShowMs; break;
    case platform::MciStatusItem::kPosition: *value = p->Position(); break;
    case platform::MciStatusItem::kMode: *value = p->Mode(); break;
    case platform::MciStatusItem::kNumberOfTracks:
    case platform::MciStatusItem::kCurrentTrack:
    case platform::MciStatusItem::kMediaPresent: *value = 1; break;
  }
  return 0;
}

uint32_t WinPictureMci::StatusWindow(platform::MciDevice id, platform::WindowHandle* window) {
  PictureDevice* p = Find(id);
  if (!p) return WinMci::StatusWindow(id, window);
  *window = reinterpret_cast<platform::WindowHandle>(p->Shown());
  return 0;
}

uint32_t WinPictureMci::Info(platform::MciDevice id, platform::MciInfoItem item, std::string* text) {
  if (!Find(id)) return WinMci::Info(id, item, text);
  *text = item == platform::MciInfoItem::kProduct ? "Still Picture" : "";
  return 0;
}

uint32_t WinPictureMci::Play(platform::MciDevice id, bool hasFrom, uint32_t from, bool hasTo,
                             uint32_t to) {
  PictureDevice* p = Find(id);
  if (!p) return WinMci::Play(id, hasFrom, from, hasTo, to);
  p->Play(hasFrom, from, hasTo, to);
  return 0;
}

uint32_t WinPictureMci::Pause(platform::MciDevice id) {
  PictureDevice* p = Find(id);
  if (!p) return WinMci::Pause(id);
  p->Pause();
  return 0;
}

uint32_t WinPictureMci::Seek(platform::MciDevice id, uint32_t to) {
  PictureDevice* p = Find(id);
  if (!p) return WinMci::Seek(id, to);
  p->Seek(to);
  return 0;
}

uint32_t WinPictureMci::Stop(platform::MciDevice id) {
  PictureDevice* p = Find(id);
  if (!p) return WinMci::Stop(id);
  p->Stop();
  return 0;
}

uint32_t WinPictureMci::Close(platform::MciDevice id) {
  PictureDevice* p = Find(id);
  if (!p) return WinMci::Close(id);
  p->Stop();
  pictures_.erase(id);
  return 0;
}

uint32_t WinPictureMci::Window(platform::MciDevice id, platform::WindowHandle window) {
  PictureDevice* p = Find(id);
  if (!p) return WinMci::Window(id, window);
  p->UseWindow(reinterpret_cast<HWND>(window));
  return 0;
}

uint32_t WinPictureMci::WindowState(platform::MciDevice id, platform::MciWindowState state) {
  PictureDevice* p = Find(id);
  if (!p) return WinMci::WindowState(id, state);
  int show = SW_SHOW;
  switch (state) {
    case platform::MciWindowState::kHide: show = SW_HIDE; break;
    case platform::MciWindowState::kNormal: show = SW_SHOWNORMAL; break;
    case platform::MciWindowState::kMinimized: show = SW_MINIMIZE; break;
    case platform::MciWindowState::kMaximized: show = SW_SHOWMAXIMIZED; break;
    case platform::MciWindowState::kShow: show = SW_SHOW; break;
  }
  ShowWindow(p->Shown(), show);
  return 0;
}

uint32_t WinPictureMci::PutDestination(platform::MciDevice id, const platform::MciRect& rect) {
  PictureDevice* p = Find(id);
  if (!p) return WinMci::PutDestination(id, rect);
  p->Put(rect);
  return 0;
}

uint32_t WinPictureMci::WhereSource(platform::MciDevice id, platform::MciRect* rect) {
  PictureDevice* p = Find(id);
  if (!p) return WinMci::WhereSource(id, rect);
  *rect = p->Source();
  return 0;
}

uint32_t WinPictureMci::WhereDestination(platform::MciDevice id, platform::MciRect* rect) {
  PictureDevice* p = Find(id);
  if (!p) return WinMci::WhereDestination(id, rect);
  *rect = p->Destination();
  return 0;
}

uint32_t WinPictureMci::Step(platform::MciDevice id, bool backward) {
  // One frame is all there is.
  return Find(id) ? 0 : WinMci::Step(id, backward);
}

}  // namespace win32
