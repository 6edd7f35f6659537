// The sequencer and the media device layer wired to fakes and a song list.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>

#include "app/settings.h"
#include "fakes/fake_filesystem.h"
#include "fakes/fake_mci.h"
#include "fakes/fake_midi.h"
#include "fakes/fake_notifier.h"
#include "fakes/fake_player_env.h"
#include "fakes/fake_songlist_env.h"
#include "playback/device.h"
#include "playback/sequencer.h"
#include "songlist/model.h"

struct NullListView : songlist::ViewLink {
  void RefreshTitle() override {}
  void Repaint() override {}
  void ScrollToCurrent() override {}
};

struct PlaybackTest : ::testing::Test {
  FakeMci mci;
  FakeNotifier notifier;
  FakeFileSystem fs;
  FakeDrives drives;
  FakeVideoWindow video;
  FakeMidiOut midi;
  FakeMp3 mp3;
  FakePlayerView view;
  FakeClock clock;
  FakeCollator collator;
  NullListView listView;
  songlist::Random random{1};
  app::Settings settings;
  // The list only keeps the sequencer's address; it is built before it.
  songlist::SongList list{{&seq, &listView, &collator, &random}};
  // What the device's directory change calls, when a test sets it.
  std::function<bool(const std::string&)> changeDirectory;
  playback::Device device{{&mci, &notifier, &fs, &drives, &video, &midi, &mp3, &view, &list, &settings},
                          {app::OsGeneration::kWindowsNT4, "", [this](const std::string& p) {
                             return changeDirectory ? changeDirectory(p) : false;
                           }}};
  playback::Sequencer seq{{&device, &list, &view, &notifier, &clock, &random, &settings}};

  PlaybackTest() {
    settings.interval = 0;
    settings.resetOn = false;
  }

  void Fill(std::initializer_list<const char*> paths) {
    for (const char* p : paths) list.Append(p);
  }
  std::string Current() const { return list.Count() ? list.PathAt(list.Current()) : ""; }
  std::string LastText() const { return notifier.boxes.empty() ? "" : notifier.boxes.back().text; }
};
