#include "songlist/audio_cd.h"

#include <cstdio>

#include "text/sjis.h"

namespace songlist {

namespace {

const char kErrorCaption[] = "マルチメディアエラー";
const char kNoCd[] = "ＣＤがセットされていません。ＣＤをセットしてください。";
const char kCdBusy[] = "現在、オーディオＣＤは使用中です。開放されるまで、お待ちください。";

// Read limits of the title file's keys, in bytes of text.
constexpr size_t kEntryTypeBytes = 39;
constexpr size_t kArtistBytes = 79;
constexpr size_t kTitleBytes = 127;
constexpr size_t kTrackTextBytes = 249;  // shared by the disc text and a track title
// A title file is small; the cap only keeps a damaged one from eating memory.
constexpr size_t kMaxTitleFileBytes = 16u << 20;

// Profile::Read keeps at most limit - 1 bytes.
std::string ReadKey(const app::Profile& p, std::string_view section, std::string_view key,
                    std::string_view def, size_t maxBytes) {
  return p.Read(section, key, def, maxBytes + 1);
}

}  // namespace

std::string CdTrackPath(std::string_view drivePrefix, std::string_view discText,
                        std::string_view trackTitle, int track) {
  char number[16];
  std::snprintf(number, sizeof number, "%03d", track);
  std::string head(drivePrefix);
  if (!discText.empty()) {
    head += discText;
    head += '\\';
  }
  std::string tail = std::string(trackTitle.empty() ? "track" : "$") + number + ".acd";
  if (trackTitle.empty()) return head + tail;
  // Only the title gives way: the number and the extension identify the track.
  const size_t used = head.size() + tail.size();
  const size_t room = used < static_cast<size_t>(kMaxPath) ? kMaxPath - used : 0;
  return head + text::CutBytes(trackTitle, room) + tail;
}

std::string DiscIdentifier(std::string_view identity) {
  // Identities above 2^31 are common; reading them unsigned keeps them apart
  // instead of collapsing them all onto the largest signed value.
  size_t i = 0;
  while (i < identity.size() && (identity[i] == ' ' || identity[i] == '\t')) ++i;
  bool negative = false;
  if (i < identity.size() && (identity[i] == '-' || identity[i] == '+')) {
    negative = identity[i] == '-';
    ++i;
  }
  uint32_t v = 0;
  for (; i < identity.size() && identity[i] >= '0' && identity[i] <= '9'; ++i) {
    v = v * 10u + static_cast<uint32_t>(identity[i] - '0');
  }
  if (negative) v = 0u - v;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%lx", static_cast<unsigned long>(v));
  return buf;
}

std::string CdPlayerIniPath(const std::string& windowsDirectory) {
  return text::WithBackslash(windowsDirectory) + "cdplayer.ini";
}

void DiscTitles::Load(std::string_view fileData, std::string_view identifier) {
  profile_.Parse(fileData);
  section_ = std::string(identifier);
  known_ = !text::EqualNoCase(ReadKey(profile_, section_, "EntryType", "0", kEntryTypeBytes), "0");
  discText_ = ReadKey(profile_, section_, "artist", "", kArtistBytes);
  std::string title = ReadKey(profile_, section_, "title", "", kTitleBytes);
  if (!title.empty()) discText_ += "  <" + title + ">";
  // Track titles belong to known discs only; an unknown one keeps its text
  // but the tracks stay plain.
}

std::string DiscTitles::TrackTitle(int index) const {
  if (!known_) return "";
  const size_t disc = discText_.size();
  if (disc >= kTrackTextBytes) return "";
  char key[16];
  std::snprintf(key, sizeof key, "%ld", static_cast<long>(index));
  return ReadKey(profile_, section_, key, "", kTrackTextBytes - disc);
}

uint32_t ReadCdDisc(platform::Mci& mci, platform::FileSystem& fs, CdDisc* disc,
                    CdFailure* failure) {
  *failure = CdFailure::kNone;
  *disc = CdDisc();
  platform::MciDevice id = 0;
  if (uint32_t err = mci.OpenCdAudio(&id)) {
    *failure = CdFailure::kOpen;
    return err;
  }
  uint32_t tracks = 0;
  if (uint32_t err = mci.Status(id, platform::MciStatusItem::kNumberOfTracks, &tracks)) {
    mci.Close(id);
    *failure = CdFailure::kTrackCount;
    return err;
  }
  disc->tracks = tracks;
  std::string identity;
  if (mci.Info(id, platform::MciInfoItem::kMediaIdentity, &identity) == 0) {
    std::string data;
    // A missing title file is no error: the tracks are then plain.
    if (fs.ReadWholeFile(CdPlayerIniPath(fs.WindowsDirectory()), &data, kMaxTitleFileBytes)) {
      disc->titles.Load(data, DiscIdentifier(identity));
    }
  }
  mci.Close(id);
  return 0;
}

std::vector<std::string> CdTrackPaths(std::string_view drivePrefix, const CdDisc& disc) {
  const int n = disc.tracks > static_cast<uint32_t>(kMaxCdEntries) ? kMaxCdEntries
                                                                   : static_cast<int>(disc.tracks);
  const DiscTitles& t = disc.titles;
  std::vector<std::string> paths;
  paths.reserve(n);
  for (int i = 0; i < n; ++i) paths.push_back(CdTrackPath(drivePrefix, t.DiscText(), t.TrackTitle(i), i + 1));
  return paths;
}

void OpenAudioCd(SongList& list, const AudioCdLinks& links, std::string_view drivePrefix) {
  PlaybackLink& pb = *list.links().playback;
  const int32_t stateBefore = pb.State();
  uint32_t positionBefore = 0;
  if (stateBefore == kPlaying && !pb.QueryPosition(&positionBefore)) positionBefore = 0;
  // The drive is released by whatever plays from it before we ask it anything.
  if (stateBefore != kStopped) pb.Stop();
  pb.SetWaiting(false);

  CdDisc disc;
  CdFailure failure = CdFailure::kNone;
  if (uint32_t err = ReadCdDisc(*links.mci, *links.fs, &disc, &failure)) {
    std::string message;
    if (failure == CdFailure::kOpen && err == platform::kMciErrCannotLoadDriver) {
      message = kNoCd;
    } else if (failure == CdFailure::kOpen && err == platform::kMciErrMustUseShareable) {
      message = kCdBusy;
    } else if (failure == CdFailure::kTrackCount && err == platform::kMciErrHardware) {
      message = kNoCd;
    } else {
      message = links.mci->ErrorText(err);
    }
    links.notifier->Beep(platform::kBeepWarning);
    links.notifier->MessageBox(message, kErrorCaption, platform::kMbOk | platform::kMbIconExclamation);
    return;
  }
  if (disc.tracks == 0) return;

  list.SetBusy(true);
  list.BeginReplace(stateBefore, positionBefore);
  for (const std::string& path : CdTrackPaths(drivePrefix, disc)) list.Append(path);
  list.FinishReplace();
  list.SetBusy(false);
}

std::vector<std::string> AudioCdTracks(const AudioCdLinks& links, std::string_view drive) {
  CdDisc disc;
  CdFailure failure = CdFailure::kNone;
  if (ReadCdDisc(*links.mci, *links.fs, &disc, &failure) != 0) return {};
  return CdTrackPaths(drive.substr(0, 3), disc);
}

}  // namespace songlist
