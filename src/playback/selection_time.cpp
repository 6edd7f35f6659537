#include "playback/selection_time.h"

#include <cstdio>

#include "playback/medium.h"
#include "platform/notify.h"
#include "text/sjis.h"

namespace playback {

namespace {

const char kCaption[] = "選択曲の演奏時間の表示";
const char kErrorCaption[] = "マルチメディアエラー";
const char kNothingToPlay[] = "選択した曲の中に演奏される曲がありません。";
const char kNoCd[] = "ＣＤがセットされていません。ＣＤをセットしてください。";
const char kCdBusy[] = "現在、オーディオＣＤは使用中です。開放されるまで、お待ちください。";

// Asks an opened device for its length in ms (of one track when track > 0);
// the device is closed in every case. 0 or the device's error code.
uint32_t LengthAndClose(platform::Mci& mci, platform::MciDevice id, uint32_t track, uint32_t* ms) {
  uint32_t err = mci.SetTimeFormat(id, platform::MciTimeFormat::kMilliseconds);
  if (err == 0) err = mci.Status(id, platform::MciStatusItem::kLength, ms, track);
  mci.Close(id);
  return err;
}

}  // namespace

std::string SelectionTimeText(uint64_t totalMs, int count, int32_t interval) {
  const int64_t seconds = static_cast<int64_t>((totalMs + 500) / 1000) +
                          static_cast<int64_t>(interval) * (count > 0 ? count - 1 : 0);
  const int64_t minutes = seconds / 60;
  char buf[64];
  std::string text = "演奏時間は、";
  if (minutes > 0) {
    std::snprintf(buf, sizeof buf, "%ld分", static_cast<long>(minutes));
    text += buf;
  }
  std::snprintf(buf, sizeof buf, "%02d秒です。", static_cast<int>(seconds % 60));
  return text + buf;
}

void ShowSelectionTime(const DeviceLinks& links, const Device& device, bool waiting,
                       platform::Cursor& cursor) {
  if (device.State() != songlist::kStopped || waiting) return;
  platform::Mci& mci = *links.mci;
  platform::Notifier& notifier = *links.notifier;
  const songlist::SongList& list = *links.list;
  auto fail = [&](const std::string& text) {
    cursor.Arrow();
    notifier.Beep(platform::kBeepWarning);
    notifier.MessageBox(text, kErrorCaption, platform::kMbOk | platform::kMbIconExclamation);
  };

  cursor.Wait();
  uint64_t total = 0;
  int count = 0;
  for (int pos = 0; pos < list.Count(); ++pos) {
    if (!list.SelectedAt(pos) || list.MarkAt(pos) != 0) continue;
    ++count;
    const std::string path = list.PathAt(pos);
    const MediumFlags flags = FlagsOf(path);
    uint32_t ms = 0;
    // Only ".acd" names a track of the CD device; a ".cda" file opens as
    // an element like any other file.
    if (flags.cd && text::EqualNoCase(text::Extension(path), ".acd")) {
      platform::MciDevice id = 0;
      const uint32_t err = mci.OpenCdAudio(&id);
      if (err == platform::kMciErrCannotLoadDriver) return fail(kNoCd);
      if (err == platform::kMciErrMustUseShareable) return fail(kCdBusy);
      if (err != 0) return fail(mci.ErrorText(err));
      if (uint32_t e = LengthAndClose(mci, id, CdTrackNumber(path), &ms)) return fail(mci.ErrorText(e));
    } else if (flags.mp3) {
      std::string message;
      if (!links.mp3->CheckMP3File(path, &ms, &message)) return fail(message);
    } else {
      platform::MciDevice id = 0;
      const uint32_t err = OpenMedium(mci, path, {}, &id, device.Midi());
      if (err != 0) return fail(mci.ErrorText(err));
      if (uint32_t e = LengthAndClose(mci, id, 0, &ms)) return fail(mci.ErrorText(e));
    }
    total += ms;
  }
  cursor.Arrow();
  if (count == 0) {
    notifier.Beep(platform::kBeepInformation);
    notifier.MessageBox(kNothingToPlay, kCaption, platform::kMbOk | platform::kMbIconInformation);
    return;
  }
  notifier.Beep(platform::kBeepInformation);
  notifier.MessageBox(SelectionTimeText(total, count, links.settings->interval), kCaption,
                      platform::kMbOk | platform::kMbIconInformation);
}

}  // namespace playback
