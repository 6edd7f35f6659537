// Song-name files (.snf) and the resume file: the text format, its writer and
// its reader. The reader checks everything the list relies on before the live
// list is touched, so a bad file never leaves a half-loaded list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "songlist/model.h"

namespace songlist {

// Result codes of Write.
enum SongFileWrite : int {
  kSnfWritten = 0,
  kSnfFileReadOnly = 1,
  kSnfDirReadOnly = 2,
  kSnfWriteError = 3,
};

// The keys a resume file carries besides the list ([CONFIG] SNF and FILENAME).
struct ResumeKeys {
  std::string snf = "OFF";
  std::string fileName;
};

// The whole text of a song-name file for the live list. pauseTime is the value
// of PAUSETIME; extraKeys (already "KEY=value\r\n" lines) follow the six keys.
std::string FormatSongFile(const SongList& list, uint32_t pauseTime,
                           std::string_view extraKeys = {});

// Parses a song-name file into out (count, entries and the six keys, checked
// and repaired as described in songfile.cpp). False when the file is refused.
bool ParseSongFile(std::string_view data, ListState* out, ResumeKeys* keys = nullptr);

// Writes the list to path (directory created when missing); result code 0..3.
int WriteSongFile(platform::FileSystem& fs, const std::string& path, SongList& list,
                  std::string_view extraKeys = {});

// Reads path into the live list; false (list untouched) when not loaded.
bool ReadSongFile(platform::FileSystem& fs, const std::string& path, SongList& list,
                  ResumeKeys* keys = nullptr);

// True when the name part of path (no directory, no extension) is "temp".
bool IsResumeFileName(std::string_view path);

// Ties the list after a successful load of path: a resume file ("temp")
// follows its SNF and FILENAME keys, any other file becomes the tied file.
void TieAfterLoad(SongList& list, const std::string& path, const ResumeKeys& keys,
                  bool win32s = false);

}  // namespace songlist
