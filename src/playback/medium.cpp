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

MidiRoute ChooseMidiRoute(const std::vector<std::string>& outputNames) {
  static constexpr std::string_view kLoopBack = "Midi Through";
  for (const std::string& name : outputNames) {
    const bool loopBack =
        name.size() >= kLoopBack.size() && text::EqualNoCase(name.substr(0, kLoopBack.size()), kLoopBack);
    if (!loopBack) return MidiRoute::kSequencer;
  }
  return MidiRoute::kSynthesizer;
}

namespace {
constexpr char kDirectShowDevice[] = "mpegvideo";

uint32_t OpenOnSynthesizer(platform::Mci& mci, const std::string& element, platform::VideoPlacement window,
                           platform::MciDevice* id, bool* refused) {
  // The synthesizer's device takes seconds to find a file missing, damaged
  // or MacBinary-wrapped, and then names no error of its own. The sequencer
  // reads the file at once and tells each by its error, on which the caller
  // takes its own path.
  platform::MciDevice probe = 0;
  const uint32_t fileErr = mci.OpenElement(element, {}, &probe);
  if (fileErr != 0) return fileErr;
  mci.Close(probe);
  const uint32_t err = mci.OpenElementOn(kDirectShowDevice, element, window, id);
  if (refused) *refused = err != 0;
  return err;
}
}  // namespace

uint32_t OpenMedium(platform::Mci& mci, const std::string& element, platform::VideoPlacement window,
                    platform::MciDevice* id, MidiRoute midi, bool* refused) {
  const MediumFlags f = FlagsOf(element);
  if (refused) *refused = false;
  if (f.midi && midi == MidiRoute::kSynthesizer) return OpenOnSynthesizer(mci, element, window, id, refused);
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
