#include "playback/medium.h"

#include <cstdio>

#include "text/sjis.h"

namespace playback {

namespace {
bool Is(const std::string& ext, const char* e) { return text::EqualNoCase(ext, e); }
}  // namespace

MediumFlags FlagsOf(std::string_view path) {
  std::string ext = text::Extension(path);
  MediumFlags f;
  f.still = Is(ext, ".jpg");
  f.mpegVideo = Is(ext, ".mpg") || Is(ext, ".dat");
  f.qtOrMpeg = f.mpegVideo || Is(ext, ".mov");
  f.video = f.qtOrMpeg || f.still || Is(ext, ".avi");
  f.midi = Is(ext, ".mid");
  f.cd = Is(ext, ".acd") || Is(ext, ".cda");
  f.mp3 = Is(ext, ".mp3");
  return f;
}

uint32_t OpenMedium(platform::Mci& mci, const std::string& element, platform::VideoPlacement window,
                    platform::MciDevice* id) {
  static constexpr char kDirectShowDevice[] = "mpegvideo";
  const MediumFlags f = FlagsOf(element);
  uint32_t err = mci.OpenElement(element, window, id);
  // A file that is missing or unreadable keeps its own error, and with it
  // the directory question.
  if (err == 0 || err == platform::kMciErrFileNotFound || err == platform::kMciErrFileRead) {
    return err;
  }
  if (f.mpegVideo) {
    // Not every system maps ".dat" (Video CD) to the MPEG device.
    if (err != platform::kMciErrExtensionNotFound) return err;
    return mci.OpenElementOn(kDirectShowDevice, element, window, id);
  }
  // Current systems have no QuickTime device: a picture goes to the system's
  // own image decoder and a film to its DirectShow device.
  if (f.still) return mci.OpenPicture(element, window.popup, id);
  if (f.qtOrMpeg) return mci.OpenElementOn(kDirectShowDevice, element, window, id);
  return err;
}

int32_t MpegDriverKind(std::string_view product) {
  if (text::EqualNoCase(product, "ActiveMovie")) return kDriverActiveMovie;
  if (text::EqualNoCase(product, "CompCore SoftPEG (TM)")) return kDriverSoftPeg;
  if (text::EqualNoCase(product, "XingMPEG Driver")) return kDriverXing;
  return kDriverOther;
}

uint32_t SliderDivisor(uint32_t l) {
  if (l <= 29999) return 1;
  if (l <= 299999) return 10;
  if (l <= 2999999) return 100;
  if (l <= 29999999) return 1000;
  return l / 10000;
}

SliderSetup SliderFor(uint32_t l) {
  SliderSetup s;
  s.divisor = SliderDivisor(l);
  s.max = static_cast<int32_t>(l / s.divisor);
  s.page = static_cast<int32_t>(10000 / s.divisor);
  if (s.page < 1) s.page = 1;
  return s;
}

bool HasSingleDollar(std::string_view p) {
  for (size_t i = 0; i < p.size(); i += text::CharLen(p, i)) {
    if (p[i] != '$') continue;
    if (i + 1 < p.size() && p[i + 1] == '$') {
      ++i;  // "$$" is a literal dollar; the loop steps over the second one
      continue;
    }
    return true;
  }
  return false;
}

std::string CdTrackText(uint32_t track, int32_t caseMode, int32_t charset) {
  const char* form = "track <%03d>";
  if (charset == 128) {
    form = "ﾄﾗｯｸ <%03d>";
  } else if (caseMode == 1) {
    form = "TRACK <%03d>";
  } else if (caseMode == 2) {
    form = "Track <%03d>";
  }
  char buf[64];
  std::snprintf(buf, sizeof buf, form, static_cast<int>(track));
  return buf;
}

}  // namespace playback
