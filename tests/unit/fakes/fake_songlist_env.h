// Fakes of what the song list talks to: playback, the view, collation, file
// dialogs, the clipboard, the cursor and the CD track source.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/collate.h"
#include "platform/cursor.h"
#include "platform/file_dialog.h"
#include "songlist/model.h"
#include "songlist/playback_link.h"
#include "text/sjis.h"

// Byte comparison without regard to ASCII case, as on the target's C locale.
struct FakeCollator : platform::Collator {
  int Compare(std::string_view a, std::string_view b) override { return text::CompareNoCase(a, b); }
  bool SamePath(std::string_view a, std::string_view b) override { return text::EqualNoCase(a, b); }
};

// Records the calls; Stop sets the state to stopped, Play to playing. The
// advance searches forward from the current entry for one marked played.
struct FakePlayback : songlist::PlaybackLink {
  songlist::SongList* list = nullptr;
  int32_t state = songlist::kStopped;
  bool waiting = false;
  bool randomPlay = false, repeatAll = false;
  bool positionKnown = true;
  uint32_t position = 0;
  std::vector<std::string> calls;

  int32_t State() override { return state; }
  void SetState(int32_t s) override { state = s; }
  bool QueryPosition(uint32_t* ms) override {
    *ms = position;
    return positionKnown;
  }
  void Stop() override {
    calls.push_back("stop");
    state = songlist::kStopped;
  }
  void Play() override {
    calls.push_back("play");
    state = songlist::kPlaying;
  }
  void SetWaiting(bool w) override {
    waiting = w;
    if (w) calls.push_back("wait");
  }
  void ClearCachedLength() override {}
  bool NextPlayable() override {
    for (int p = list->Current() + 1; p < list->Count(); ++p) {
      if (list->MarkAt(p) == 0) {
        list->SetCurrent(p);
        return true;
      }
    }
    return false;
  }
  bool RandomPlay() override { return randomPlay; }
  bool RepeatAll() override { return repeatAll; }
};

struct FakeView : songlist::ViewLink {
  int titles = 0, repaints = 0, scrolls = 0;
  void RefreshTitle() override { ++titles; }
  void Repaint() override { ++repaints; }
  void ScrollToCurrent() override { ++scrolls; }
};

struct FakeFileDialog : platform::FileDialog {
  std::vector<platform::FileDialogRequest> requests;
  // Answers in order; a missing answer cancels. cwdAfter moves the process
  // the way a dialog does when the user changes directory.
  struct Answer {
    bool ok = true;
    std::string buffer;
    int filterIndex = 1;
    std::string cwdAfter;
  };
  std::deque<Answer> answers;
  std::string* cwd = nullptr;

  bool Run(const platform::FileDialogRequest& r, platform::FileDialogResult* res) override {
    requests.push_back(r);
    if (answers.empty()) return false;
    Answer a = answers.front();
    answers.pop_front();
    if (!a.cwdAfter.empty() && cwd) *cwd = a.cwdAfter;
    res->buffer = a.buffer;
    res->filterIndex = a.filterIndex;
    return a.ok;
  }
};

struct FakeClipboard : platform::Clipboard {
  bool openFails = false, lockFails = false;
  platform::ClipResult setResult = platform::ClipResult::kOk;
  bool hasText = false, hasFiles = false;
  std::string text, files, privateBlock;
  uint32_t privateFormat = 0;
  bool open = false;

  bool Open() override {
    if (openFails) return false;
    open = true;
    return true;
  }
  void Close() override { open = false; }
  void Empty() override {
    emptied = true;
    hasText = hasFiles = false;
    text.clear();
    files.clear();
  }
  bool HasText() override { return hasText; }
  bool HasFileList() override { return hasFiles; }
  bool GetText(std::string* b) override {
    if (lockFails) return false;
    *b = text;
    return true;
  }
  bool GetFileList(std::string* b) override {
    if (lockFails) return false;
    *b = files;
    return true;
  }
  platform::ClipResult SetText(const std::string& b) override {
    if (setResult == platform::ClipResult::kOk) {
      text = b;
      hasText = true;
    }
    return setResult;
  }
  platform::ClipResult SetFileList(const std::string& b) override {
    if (setResult == platform::ClipResult::kOk) {
      files = b;
      hasFiles = true;
    }
    return setResult;
  }
  platform::ClipResult setDataResult = platform::ClipResult::kOk;
  bool emptied = false;
  platform::ClipResult SetData(uint32_t f, const std::string& b) override {
    if (setDataResult != platform::ClipResult::kOk) return setDataResult;
    privateFormat = f;
    privateBlock = b;
    return platform::ClipResult::kOk;
  }
  // ASCII only: enough for the tests.
  std::u16string ToWide(std::string_view s) override { return std::u16string(s.begin(), s.end()); }
  std::string FromWide(std::u16string_view s) override {
    std::string out;
    for (char16_t c : s) out.push_back(static_cast<char>(c));
    return out;
  }
};

struct FakeCursor : platform::Cursor {
  std::vector<std::string> calls;
  void Wait() override { calls.push_back("wait"); }
  void Arrow() override { calls.push_back("arrow"); }
};

struct FakeCd : songlist::CdTrackSource {
  std::vector<std::string> tracks;
  std::vector<std::string> asked;
  std::vector<std::string> Tracks(const std::string& drive) override {
    asked.push_back(drive);
    return tracks;
  }
};
