// Audio CD tracks as list entries. A track is not a file, so each gets a
// pseudo path: drive prefix, the disc text from the CD player's title file
// as a directory, the track title (or "track"), a three-digit track number
// and ".acd". The device layer and the playable test read the number back
// from the last three bytes of the name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/profile.h"
#include "platform/files.h"
#include "platform/mci.h"
#include "platform/notify.h"
#include "songlist/model.h"

namespace songlist {

// One slot stays free below the list's capacity, as it always has.
constexpr int kMaxCdEntries = 998;

// The path of track (1-based). A title that would push the path past 259
// bytes is shortened, never the number or the extension.
std::string CdTrackPath(std::string_view drivePrefix, std::string_view discText,
                        std::string_view trackTitle, int track);

// The section name of a disc in the title file: the device's media identity
// read as a 32-bit decimal number, written in lower-case hex.
std::string DiscIdentifier(std::string_view mediaIdentity);

// windowsDirectory + "cdplayer.ini", with one backslash between.
std::string CdPlayerIniPath(const std::string& windowsDirectory);

// What the title file says about one disc. Unknown discs have no disc text
// and no track titles.
class DiscTitles {
 public:
  // Takes the section of the disc identifier from the file's contents.
  void Load(std::string_view fileData, std::string_view identifier);
  const std::string& DiscText() const { return discText_; }
  // The title of the track with this zero-based index; empty when none.
  std::string TrackTitle(int index) const;

 private:
  app::Profile profile_;
  std::string section_;
  std::string discText_;
  bool known_ = false;
};

// The disc in the drive as the device reports it.
struct CdDisc {
  uint32_t tracks = 0;
  DiscTitles titles;
};

enum class CdFailure { kNone, kOpen, kTrackCount };

// Opens the CD device, reads the track count and the titles, closes it.
// Returns 0 or the device's error code; *failure says at which step.
uint32_t ReadCdDisc(platform::Mci& mci, platform::FileSystem& fs, CdDisc* disc,
                    CdFailure* failure);

// The paths of the disc's tracks, at most kMaxCdEntries.
std::vector<std::string> CdTrackPaths(std::string_view drivePrefix, const CdDisc& disc);

struct AudioCdLinks {
  platform::Mci* mci;
  platform::FileSystem* fs;
  platform::Notifier* notifier;
};

// Open audio CD (137): stops playback, then replaces the list with the
// tracks of the disc (with an undo step). Device failures are reported and
// leave the list as it was. drivePrefix: the first three bytes of the
// resume-file path.
void OpenAudioCd(SongList& list, const AudioCdLinks& links, std::string_view drivePrefix);

// The tracks of the disc for the start-up list (drive: as named on the
// command line); empty on any failure, without a message.
std::vector<std::string> AudioCdTracks(const AudioCdLinks& links, std::string_view drive);

}  // namespace songlist
