#include "songlist/media.h"

#include <string>

#include "text/sjis.h"

namespace songlist {

namespace {

// Digits from the start, up to the first non-digit; none reads as 0.
long LeadingDigits(std::string_view s) {
  long v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') break;
    v = v * 10 + (c - '0');
  }
  return v;
}

}  // namespace

uint32_t CdTrackNumber(std::string_view path) {
  text::PathParts p = text::SplitPath(path);
  const size_t digits = text::EqualNoCase(p.ext, ".acd") ? 3 : text::EqualNoCase(p.ext, ".cda") ? 2 : 0;
  if (digits == 0) return 0;
  std::string_view tail(p.name);
  if (tail.size() > digits) tail = tail.substr(tail.size() - digits);
  const long n = LeadingDigits(tail);
  return n >= 1 && n <= 999 ? static_cast<uint32_t>(n) : 0;
}

MediaKind KindOf(std::string_view path) {
  text::PathParts p = text::SplitPath(path);
  const std::string& e = p.ext;
  using text::EqualNoCase;
  if (EqualNoCase(e, ".mid")) return MediaKind::kMidi;
  if (EqualNoCase(e, ".wav")) return MediaKind::kWave;
  if (EqualNoCase(e, ".avi")) return MediaKind::kAvi;
  if (EqualNoCase(e, ".mov") || EqualNoCase(e, ".jpg")) return MediaKind::kQuickTime;
  if (EqualNoCase(e, ".mpg") || EqualNoCase(e, ".dat")) return MediaKind::kMpegVideo;
  if (EqualNoCase(e, ".mp2") || EqualNoCase(e, ".mp3")) return MediaKind::kMpegAudio;
  if (EqualNoCase(e, ".acd")) return CdTrackNumber(path) ? MediaKind::kCdEntry : MediaKind::kNone;
  if (EqualNoCase(e, ".cda")) return CdTrackNumber(path) ? MediaKind::kCdFile : MediaKind::kNone;
  return MediaKind::kNone;
}

bool PassesFilter(std::string_view path, int filterIndex) {
  MediaKind k = KindOf(path);
  switch (filterIndex) {
    case 1: return k != MediaKind::kNone;
    case 2: return k == MediaKind::kMidi;
    case 3: return k == MediaKind::kWave;
    case 4: return k == MediaKind::kAvi;
    case 5: return k == MediaKind::kQuickTime;
    case 6: return k == MediaKind::kMpegVideo || k == MediaKind::kMpegAudio;
    default: return false;
  }
}

bool IsSongFileName(std::string_view path) { return text::EqualNoCase(text::Extension(path), ".snf"); }

const char* MediaFilterList() {
  return "すべてのファイル|*.mid;*.wav;*.avi;*.jpg;*.mov;*.dat;*.mp2;*.mp3|"
         "MIDIファイル (*.mid)|*.mid|"
         "WAVファイル (*.wav)|*.wav|"
         "AVIファイル (*.avi)|*.avi|"
         "QuickTime (*.mov;*.jpg)|*.jpg;*.mov|"
         "MPEGファイル (*.dat;*.mp*)|*.dat;*.mp2;*.mp3|";
}

namespace {
constexpr char kForeignReason[] = "ファイル名にこのプログラムで扱えない文字が含まれているため";
}

std::string ForeignNameMessage(const std::string& path, const char* outcome) {
  return path + "は、" + kForeignReason + outcome;
}

std::string ForeignNamesMessage(const std::vector<std::string>& paths) {
  constexpr char kOutcome[] = "演奏できません。";
  if (paths.size() == 1) return ForeignNameMessage(paths[0], kOutcome);
  // A directory full of such names must not make a box taller than the screen.
  constexpr size_t kShown = 10;
  std::string text = std::string("次のファイルは、") + kForeignReason + kOutcome + "\n";
  for (size_t i = 0; i < paths.size() && i < kShown; ++i) text += "\n" + paths[i];
  if (paths.size() > kShown) text += "\nほか" + std::to_string(paths.size() - kShown) + "個";
  return text;
}

}  // namespace songlist
