// Which files may enter the song list, decided by the extension alone.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace songlist {

enum class MediaKind {
  kNone,
  kMidi,       // .mid
  kWave,       // .wav
  kAvi,        // .avi
  kQuickTime,  // .mov .jpg
  kMpegVideo,  // .mpg .dat
  kMpegAudio,  // .mp2 .mp3
  kCdEntry,    // .acd with a track number 1..999 as the last three bytes of the name
  kCdFile,     // .cda with a track number 1..999 as the last two bytes of the name
};

MediaKind KindOf(std::string_view path);
// The track of a CD entry: the digits leading the last three bytes of an
// ".acd" name (the whole name when shorter), the last two of a ".cda" one;
// 1..999, else 0 (not a CD entry).
uint32_t CdTrackNumber(std::string_view path);
inline bool IsPlayable(std::string_view path) { return KindOf(path) != MediaKind::kNone; }
// The kind test of a filter row: 1 = every playable kind, 2..6 one group.
bool PassesFilter(std::string_view path, int filterIndex);
bool IsSongFileName(std::string_view path);  // ".snf"

// A name code page 932 cannot hold reaches the program with '?' for each
// character it lacks; '?' is never part of a real name, nor a trail byte.
inline bool IsForeignName(std::string_view path) { return path.find('?') != std::string_view::npos; }
// The message that refuses one such name; outcome says what cannot be done
// ("演奏できません。", "開けません。", "保存できません。", "設定できません。").
std::string ForeignNameMessage(const std::string& path, const char* outcome);
// The message that refuses names to be played (one or several, each on its own line).
std::string ForeignNamesMessage(const std::vector<std::string>& paths);

// The filter list of the file and directory dialogs ("label|pattern|..." ).
const char* MediaFilterList();

}  // namespace songlist
