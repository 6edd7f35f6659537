// The song list wired to fakes, shared by the song list tests.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "fakes/fake_filesystem.h"
#include "fakes/fake_notifier.h"
#include "fakes/fake_songlist_env.h"
#include "songlist/gather.h"
#include "songlist/model.h"
#include "songlist/snf_commands.h"
#include "songlist/startup.h"

struct SongListTest : ::testing::Test {
  FakePlayback pb;
  FakeView view;
  FakeCollator collator;
  songlist::Random random{12345};
  songlist::SongList list{{&pb, &view, &collator, &random}};
  FakeFileSystem fs;
  FakeNotifier notifier;
  FakeFileDialog dialog;
  FakeClipboard clip;
  FakeCursor cursor;
  FakeCd cd;
  songlist::SnfOptions snfOptions;
  songlist::GatherOptions gatherOptions;
  songlist::SongFiles files{list, fs, notifier, dialog, snfOptions};
  songlist::Gatherer gatherer{list, files, fs, notifier, dialog, cursor, gatherOptions};

  SongListTest() {
    pb.list = &list;
    dialog.cwd = &fs.cwd;
  }

  void Fill(std::initializer_list<const char*> paths) {
    for (const char* p : paths) list.Append(p);
  }
  void FillNumbered(int n) {
    for (int i = 0; i < n; ++i) list.Append("c:\\m\\" + std::to_string(i) + ".mid");
  }
  std::vector<std::string> Order() const {
    std::vector<std::string> v;
    for (int i = 0; i < list.Count(); ++i) v.emplace_back(list.PathAt(i));
    return v;
  }
  std::string LastText() const { return notifier.boxes.empty() ? "" : notifier.boxes.back().text; }
  std::string LastCaption() const {
    return notifier.boxes.empty() ? "" : notifier.boxes.back().caption;
  }
};

using Paths = std::vector<std::string>;
