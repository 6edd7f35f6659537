#include "desktop/capture.h"

#include <new>

#include "songlist/media.h"
#include "text/sjis.h"

namespace desktop {

namespace {

// Blocks beyond this cannot be held by a 32-bit process anyway; refusing them
// here also keeps the 32-bit size fields from wrapping.
constexpr uint64_t kMaxDib = 0x7FFFFFFF;

void Put16(std::string& s, uint16_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>(v >> 8));
}

void Put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

uint64_t RowSize64(uint16_t bits, int32_t width) {
  uint64_t w = width > 0 ? static_cast<uint64_t>(width) : 0;
  return (bits * w + 31) / 32 * 4;
}

uint64_t DibSize64(int32_t width, int32_t height, uint16_t bits) {
  uint64_t h = height > 0 ? static_cast<uint64_t>(height) : 0;
  return kDibHeaderSize + 4ull * ColourTableLength(bits) + RowSize64(bits, width) * h;
}

void Warn(platform::Notifier& n, const std::string& text, const std::string& caption) {
  n.Beep(platform::kBeepWarning);
  n.MessageBox(text, caption, platform::kMbOk | platform::kMbIconExclamation);
}

const char kNoMemoryCaption[] = "メモリが足りません";
const char kSaveNoMemory[] = "ビデオ画面の保存ができませんでした。";
const char kCopyNoMemory[] = "ビデオ画面のコピーができませんでした。";
const char kFileError[] = "ファイルエラー";

// The attribute query wants a directory without its trailing backslash,
// except for a root such as "c:\".
std::string DirectoryQuery(std::string dir) {
  if (dir.size() > 1 && text::EndsWithBackslash(dir) && !(dir.size() == 3 && dir[1] == ':')) {
    dir.pop_back();
  }
  return dir;
}

}  // namespace

int32_t CaptureHeight(int32_t clientHeight, bool sliderShown) {
  return sliderShown && clientHeight > 20 ? clientHeight - kSliderStrip : clientHeight;
}

uint16_t BitsForPaletteSize(uint32_t entries) {
  if (entries <= 2) return 1;
  if (entries <= 16) return 4;
  if (entries <= 256) return 8;
  return 24;
}

uint32_t SystemPaletteRequest(bool paletteDisplay) { return paletteDisplay ? 256 : 2048; }

uint32_t ColourTableLength(uint16_t bits) { return bits <= 8 ? 1u << bits : 0; }

uint32_t RowSize(uint16_t bits, int32_t width) {
  return static_cast<uint32_t>(RowSize64(bits, width));
}

uint32_t ImageSize(uint16_t bits, int32_t width, int32_t height) {
  return static_cast<uint32_t>(RowSize64(bits, width) * static_cast<uint64_t>(height > 0 ? height : 0));
}

std::string DibInfoHeader(int32_t width, int32_t height, uint16_t bits) {
  std::string h;
  Put32(h, kDibHeaderSize);
  Put32(h, static_cast<uint32_t>(width));
  Put32(h, static_cast<uint32_t>(height));
  Put16(h, 1);
  Put16(h, bits);
  Put32(h, 0);  // no compression
  Put32(h, ImageSize(bits, width, height));
  Put32(h, 0);
  Put32(h, 0);
  Put32(h, bits == 8 ? 256 : 0);
  Put32(h, 0);
  return h;
}

std::string EmptyDib(int32_t width, int32_t height, uint16_t bits) {
  uint64_t size = DibSize64(width, height, bits);
  if (size > kMaxDib) throw std::bad_alloc();
  std::string dib = DibInfoHeader(width, height, bits);
  dib.resize(static_cast<size_t>(size), '\0');
  return dib;
}

std::string BitmapFileHeader(uint32_t dibSize, uint32_t colourTableLength) {
  std::string h;
  Put16(h, 0x4D42);
  Put32(h, kFileHeaderSize + dibSize);
  Put16(h, 0);
  Put16(h, 0);
  Put32(h, kFileHeaderSize + kDibHeaderSize + 4 * colourTableLength);
  return h;
}

CaptureResult CaptureFrame(platform::CaptureScreen& screen, std::string* dib) {
  screen.RepaintNow();
  int32_t width = 0, clientHeight = 0;
  screen.ClientSize(&width, &clientHeight);
  int32_t height = CaptureHeight(clientHeight, screen.SliderShown());
  // Nothing to read from an empty area; the screen calls would fail on it.
  if (width <= 0 || height <= 0) return CaptureResult::kNoMemory;
  uint32_t entries = SystemPaletteRequest(screen.PaletteDisplay());
  try {
    *dib = EmptyDib(width, height, BitsForPaletteSize(entries));
  } catch (const std::bad_alloc&) {
    dib->clear();
    return CaptureResult::kNoMemory;
  }
  if (!screen.ReadFrame(entries, dib)) {
    dib->clear();
    return CaptureResult::kNoMemory;
  }
  return CaptureResult::kOk;
}

CopyAction CopyActionFor(bool videoInMainWindow, bool pausedOrStill) {
  if (!videoInMainWindow) return CopyAction::kNames;
  return pausedOrStill ? CopyAction::kFrame : CopyAction::kNothing;
}

std::string ProposedBitmapName(const std::string& entryPath) {
  return text::SplitPath(entryPath).name + ".bmp";
}

bool WriteDibFile(platform::FileSystem& fs, platform::Notifier& notifier, const std::string& path,
                  const std::string& dib) {
  if (songlist::IsForeignName(path)) {
    // Written under a lossy name, the picture would land in a file the user did not choose.
    Warn(notifier, songlist::ForeignNameMessage(path, "保存できません。"), kFileError);
    return false;
  }
  text::PathParts parts = text::SplitPath(path);
  std::string dir = parts.drive + parts.dir;
  if (!dir.empty()) {
    std::string query = DirectoryQuery(dir);
    uint32_t attr = 0;
    if (!fs.GetAttributes(query, &attr) && !fs.CreateDirectory(query)) {
      Warn(notifier, dir + "の作成ができませんでした。", kFileError);
      return false;
    }
  }
  uint16_t bits = dib.size() >= 16 ? static_cast<uint16_t>(static_cast<uint8_t>(dib[14]) |
                                                           static_cast<uint8_t>(dib[15]) << 8)
                                   : 24;
  std::string file;
  try {
    file = BitmapFileHeader(static_cast<uint32_t>(dib.size()), ColourTableLength(bits));
    file += dib;
  } catch (const std::bad_alloc&) {
    Warn(notifier, kSaveNoMemory, kNoMemoryCaption);
    return false;
  }
  platform::WriteResult r = fs.WriteWholeFile(path, file);
  if (r == platform::WriteResult::kOk) return true;
  Warn(notifier,
       parts.name + parts.ext +
           (r == platform::WriteResult::kFileReadOnly ? "は読み取り専用のため上書きできません。"
                                                      : "の保存ができませんでした。"),
       kFileError);
  return false;
}

void SaveVideoFrame(const FrameSaveLinks& links, const std::string& entryPath, bool explorerStyle,
                    std::string* aviDirectory) {
  platform::FileSystem& fs = *links.fs;
  std::string dib;
  if (CaptureFrame(*links.screen, &dib) != CaptureResult::kOk) {
    links.cursor->Arrow();
    Warn(*links.notifier, kSaveNoMemory, kNoMemoryCaption);
    return;
  }

  platform::FileDialogRequest req;
  req.save = true;
  req.title = "ビデオ画面の保存";
  req.filter = "ビットマップファイル (*.bmp)|*.bmp|";
  req.defaultExt = "bmp";
  req.fileName = ProposedBitmapName(entryPath);
  req.flags = platform::kDlgOverwritePrompt | platform::kDlgHideReadOnly |
              (explorerStyle ? uint32_t{platform::kDlgExplorer} : 0u);

  text::ToUpperAscii(*aviDirectory);
  if (!aviDirectory->empty()) {
    // Reaching a network directory can take a while.
    bool network = aviDirectory->compare(0, 2, "\\\\") == 0;
    if (network) links.cursor->Wait();
    fs.SetCurrentDirectory(*aviDirectory);
    if (network) links.cursor->Arrow();
  }
  platform::FileDialogResult res;
  if (links.dialog->Run(req, &res)) {
    std::string chosen = res.buffer.substr(0, res.buffer.find('\0'));
    text::PathParts parts = text::SplitPath(chosen);
    if (!text::EqualNoCase(parts.ext, ".bmp")) {
      links.notifier->MessageBox(parts.name + parts.ext + "の拡張子を.bmpとしてください。",
                                 "エラーメッセージ",
                                 platform::kMbOk | platform::kMbIconExclamation);
    } else {
      links.cursor->Wait();
      WriteDibFile(fs, *links.notifier, chosen, dib);
      links.cursor->Arrow();
    }
  }
  *aviDirectory = fs.CurrentDirectory();
  fs.SetCurrentDirectory(fs.WindowsDirectory());
}

void CopyVideoFrame(platform::CaptureScreen& screen, platform::Clipboard& clip,
                    platform::Notifier& notifier, platform::Cursor& cursor, bool ctrlHeld,
                    bool alwaysOnTop) {
  if (ctrlHeld) {
    screen.SendFrameToBack();
    screen.Sleep(1000);
  }
  if (!clip.Open()) {
    Warn(notifier, "クリップボードは使用中です。コピーは行われませんでした。", "クリップボードエラー");
  } else {
    // Emptied first: another program's bitmap in a richer format would
    // otherwise stay and be what a paste takes instead of this picture.
    clip.Empty();
    cursor.Wait();
    std::string dib;
    bool ok = CaptureFrame(screen, &dib) == CaptureResult::kOk &&
              clip.SetData(kClipboardDib, dib) == platform::ClipResult::kOk;
    cursor.Arrow();
    clip.Close();
    if (!ok) Warn(notifier, kCopyNoMemory, kNoMemoryCaption);
  }
  if (ctrlHeld) screen.RestoreFrame(alwaysOnTop);
}

}  // namespace desktop
