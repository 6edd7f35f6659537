#include "playback/midi_tools.h"

#include <cstdio>
#include <memory>

#include "text/sjis.h"

namespace playback {

namespace {
const char kTitleCaption[] = "MIDIタイトルの表示";
const char kTitleErrorCaption[] = "MIDIタイトルの表示エラー";

// Advances over the input until the pattern has matched; a mismatch starts
// over without trying the mismatching byte as the pattern's first.
bool Search(const std::function<int()>& next, const uint8_t* pat, size_t n) {
  size_t matched = 0;
  for (;;) {
    int c = next();
    if (c < 0) return false;
    if (static_cast<uint8_t>(c) == pat[matched]) {
      if (++matched == n) return true;
    } else {
      matched = 0;
    }
  }
}

// Buffered byte reader over an open file.
class FileBytes {
 public:
  explicit FileBytes(platform::File& f) : f_(f) {}
  int Next() {
    if (pos_ == len_) {
      len_ = f_.Read(buf_, sizeof buf_);
      pos_ = 0;
      if (len_ == 0) return -1;
    }
    return buf_[pos_++];
  }

 private:
  platform::File& f_;
  uint8_t buf_[4096];
  size_t pos_ = 0, len_ = 0;
};
}  // namespace

std::vector<uint8_t> ResetMessage(bool gs, int32_t deviceId) {
  if (!gs) return {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  // The checksum byte stays 0x41 whatever the device id: modules ignore it
  // for this message, and that is what has always been sent.
  return {0xF0, 0x41, static_cast<uint8_t>(deviceId - 1), 0x42, 0x12, 0x40,
          0x00, 0x7F, 0x00, 0x41, 0xF7};
}

void ResetBeforePlay(platform::MidiOut& out, const std::string& path,
                     const MidiResetSettings& s) {
  if (!s.on || !text::EqualNoCase(text::Extension(path), ".mid")) return;
  std::vector<uint8_t> msg = ResetMessage(s.gs, s.deviceId);
  out.SendSysEx(msg.data(), msg.size());
}

void ApplyResetDialog(bool checkOn, bool gmChecked, const std::string& deviceIdText,
                      MidiResetSettings* s) {
  s->on = checkOn;
  s->gs = !gmChecked;
  long id = text::ReadNumber(text::CutBytes(deviceIdText, 3));
  if (id >= 1 && id <= 32) s->deviceId = static_cast<int32_t>(id);
}

TitleResult FindMidiTitle(const std::function<int()>& next, std::string* title) {
  static const uint8_t kHeader[] = {'M', 'T', 'h', 'd'};
  static const uint8_t kTrack[] = {'M', 'T', 'r', 'k'};
  static const uint8_t kName[] = {0xFF, 0x03};
  title->clear();
  if (!Search(next, kHeader, 4)) return TitleResult::kNoHeader;
  if (!Search(next, kTrack, 4) || !Search(next, kName, 2)) return TitleResult::kNoTitle;
  uint32_t len = 0;
  for (;;) {
    int c = next();
    if (c < 0) break;
    // Saturate rather than wrap: any length past the limit is the limit.
    if (len <= kMaxTitleBytes) len = (len << 7) | static_cast<uint32_t>(c & 0x7F);
    if (!(c & 0x80)) break;
  }
  if (len > kMaxTitleBytes) len = kMaxTitleBytes;
  for (uint32_t i = 0; i < len; ++i) {
    int c = next();
    if (c < 0) break;
    title->push_back(static_cast<char>(c));
  }
  // The text is shown as a C string: it ends at its first NUL.
  size_t nul = title->find('\0');
  if (nul != std::string::npos) title->resize(nul);
  return TitleResult::kFound;
}

TitleResult FindMidiTitle(const uint8_t* data, size_t size, std::string* title) {
  size_t pos = 0;
  return FindMidiTitle([&]() { return pos < size ? static_cast<int>(data[pos++]) : -1; }, title);
}

void ShowMidiTitle(platform::FileSystem& fs, platform::Notifier& notifier,
                   const std::string& path) {
  const unsigned style = platform::kMbOk | platform::kMbIconInformation;
  std::unique_ptr<platform::File> f = fs.OpenRead(path);
  if (!f) {
    notifier.Beep(platform::kBeepInformation);
    notifier.MessageBox("ファイルが見つからないか、ファイルが使用中です。", kTitleErrorCaption, style);
    return;
  }
  FileBytes bytes(*f);
  std::string title;
  TitleResult r = FindMidiTitle([&]() { return bytes.Next(); }, &title);
  f.reset();
  notifier.Beep(platform::kBeepInformation);
  switch (r) {
    case TitleResult::kNoHeader:
      notifier.MessageBox("データが壊れているため、タイトルが見つけられませんでした。",
                          kTitleErrorCaption, style);
      break;
    case TitleResult::kNoTitle:
      notifier.MessageBox("ファイルの中に有効なタイトルが見つかりませんでした。", kTitleErrorCaption,
                          style);
      break;
    case TitleResult::kFound:
      notifier.MessageBox("MIDIタイトルは、「" + title + "」です。", kTitleCaption, style);
      break;
  }
}

}  // namespace playback
