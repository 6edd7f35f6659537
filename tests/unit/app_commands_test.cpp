#include <gtest/gtest.h>
#include <iconv.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "app/commands.h"

using namespace app;

namespace {

CommandState ListOf(int count) {
  CommandState s;
  s.count = count;
  return s;
}

bool En(uint16_t id, const CommandState& s) { return IsCommandEnabled(id, s); }

std::vector<uint16_t> Ids(std::initializer_list<uint16_t> ids) { return ids; }

}  // namespace

TEST(AppCommands, ListAndPlayerRules) {
  CommandState empty;
  CommandState two = ListOf(2);
  for (uint16_t id : {CM_PLAY, CM_SNFSAVEAS, CM_SELECTALL, CM_SHUFFLE, CM_SORT}) {
    EXPECT_FALSE(En(id, empty)) << id;
    EXPECT_TRUE(En(id, two)) << id;
  }
  // Stop: something is playing, paused or waiting, and only with entries.
  EXPECT_FALSE(En(CM_STOP, two));
  two.waiting = true;
  EXPECT_TRUE(En(CM_STOP, two));
  empty.waiting = true;
  EXPECT_FALSE(En(CM_STOP, empty));
  two.waiting = false;
  two.state = PlayState::kPaused;
  EXPECT_TRUE(En(CM_STOP, two));
  EXPECT_FALSE(En(CM_PAUSE, two));
  two.state = PlayState::kPlaying;
  EXPECT_TRUE(En(CM_PAUSE, two));
  two.stillImage = true;
  EXPECT_FALSE(En(CM_PAUSE, two));

  // Selection commands and the playing time.
  CommandState sel = ListOf(5);
  for (uint16_t id : {CM_MARKSKIP, CM_MARKPLAY, CM_DELETE, CM_COPY, CM_PLAYTIME})
    EXPECT_FALSE(En(id, sel)) << id;
  sel.selected = 1;
  for (uint16_t id : {CM_MARKSKIP, CM_MARKPLAY, CM_DELETE, CM_COPY, CM_PLAYTIME})
    EXPECT_TRUE(En(id, sel)) << id;
  sel.waiting = true;
  EXPECT_FALSE(En(CM_PLAYTIME, sel));
  sel.waiting = false;
  sel.state = PlayState::kPaused;
  EXPECT_FALSE(En(CM_PLAYTIME, sel));

  EXPECT_FALSE(En(CM_UNDO, sel));
  sel.undoExists = true;
  EXPECT_TRUE(En(CM_UNDO, sel));
  EXPECT_FALSE(En(CM_SNFSAVE, sel));
  sel.hasSongNameFile = true;
  EXPECT_TRUE(En(CM_SNFSAVE, sel));
  EXPECT_FALSE(En(CM_PASTE, sel));
  sel.clipboardHasFiles = true;
  EXPECT_TRUE(En(CM_PASTE, sel));
}

TEST(AppCommands, PlayModeAndOptionRules) {
  CommandState s = ListOf(3);
  // Next and Previous follow what the sequencer says.
  EXPECT_FALSE(En(CM_NEXT, s));
  s.nextAvailable = true;
  EXPECT_TRUE(En(CM_NEXT, s));
  EXPECT_FALSE(En(CM_PREVIOUS, s));
  s.previousAvailable = true;
  EXPECT_TRUE(En(CM_PREVIOUS, s));

  EXPECT_TRUE(En(CM_REPEAT2, s));
  s.randomPlay = true;
  EXPECT_FALSE(En(CM_REPEAT2, s));
  s.randomPlay = false;
  s.repeatOne = true;
  EXPECT_FALSE(En(CM_REPEAT2, s));
  EXPECT_TRUE(En(CM_REPEAT1, s));
  EXPECT_TRUE(En(CM_RANDOMPLAY, s));

  EXPECT_FALSE(En(CM_AVIALLDISP, s));
  s.dedicatedWindowOption = true;
  EXPECT_TRUE(En(CM_AVIALLDISP, s));
  EXPECT_FALSE(En(CM_TOPPAD, s));
  EXPECT_FALSE(En(CM_ICONPAD, s));
  s.podOption = true;
  EXPECT_TRUE(En(CM_TOPPAD, s));
  EXPECT_TRUE(En(CM_ICONPAD, s));

  s.focusedExtension = ".MID";
  EXPECT_TRUE(En(CM_MIDITITLE, s));
  s.focusedExtension = ".rmi";
  EXPECT_FALSE(En(CM_MIDITITLE, s));
  CommandState none;
  none.focusedExtension = ".mid";
  EXPECT_FALSE(En(CM_MIDITITLE, none));
  EXPECT_TRUE(En(CM_EXIT, none));
  EXPECT_TRUE(En(CM_ABOUT, none));
}

TEST(AppCommands, VideoFrameRules) {
  CommandState s = ListOf(1);
  s.videoInMain = true;
  s.state = PlayState::kPlaying;
  s.selected = 1;
  // A playing video in the main window: neither save nor copy, even with a selection.
  EXPECT_FALSE(En(CM_SAVEAVI, s));
  EXPECT_FALSE(En(CM_COPY, s));
  s.state = PlayState::kPaused;
  EXPECT_TRUE(En(CM_SAVEAVI, s));
  EXPECT_TRUE(En(CM_COPY, s));
  // A still image with nothing selected can be copied and saved.
  s.state = PlayState::kPlaying;
  s.stillImage = true;
  s.selected = 0;
  EXPECT_TRUE(En(CM_COPY, s));
  EXPECT_TRUE(En(CM_SAVEAVI, s));
  // A video in the dedicated window does not count.
  s.videoInMain = false;
  s.videoInDedicated = true;
  EXPECT_FALSE(En(CM_SAVEAVI, s));
  EXPECT_FALSE(En(CM_COPY, s));
}

TEST(AppCommands, ToolBarLayouts) {
  bool all[kButtonGroupCount];
  std::fill(std::begin(all), std::end(all), true);
  EXPECT_EQ(ToolBarLayout(all),
            Ids({202, 107, 137, 153, 0, 110, 116, 117, 0, 203, 204, 103, 120, 119, 0, 111, 112,
                 113, 150, 151, 114, 0, 128, 123, 118, 121, 122}));
  bool none[kButtonGroupCount] = {};
  EXPECT_EQ(ToolBarLayout(none), Ids({203, 204, 103, 120, 119, 0}));
  bool some[kButtonGroupCount] = {};
  some[kBtSaveAvi] = true;
  some[kBtUndo] = true;
  some[kBtSort] = true;
  EXPECT_EQ(ToolBarLayout(some), Ids({153, 0, 203, 204, 103, 120, 119, 0, 114, 0, 122}));
  bool snf[kButtonGroupCount] = {};
  snf[kBtSnf] = true;
  snf[kBtCopy] = true;
  EXPECT_EQ(ToolBarLayout(snf), Ids({110, 116, 117, 0, 203, 204, 103, 120, 119, 0, 150, 151, 0}));
}

TEST(AppCommands, OsGenerationFromTheVersionWord) {
  EXPECT_EQ(DecideOsGeneration(0xC0000004u), OsGeneration::kWindows95);
  EXPECT_EQ(DecideOsGeneration(0x80000A03u), OsGeneration::kWin32s);
  EXPECT_EQ(DecideOsGeneration(0x04213303u), OsGeneration::kWindowsNT3);
  EXPECT_EQ(DecideOsGeneration(0x05650004u), OsGeneration::kWindowsNT4);
  EXPECT_EQ(DecideOsGeneration(0x1DB10106u), OsGeneration::kWindowsNT4);
  EXPECT_EQ(SystemMenuOwnItems(OsGeneration::kWindows95), 7);
  EXPECT_EQ(SystemMenuOwnItems(OsGeneration::kWindowsNT4), 7);
  EXPECT_EQ(SystemMenuOwnItems(OsGeneration::kWindowsNT3), 9);
  EXPECT_EQ(SystemMenuOwnItems(OsGeneration::kWin32s), 9);
  EXPECT_FALSE(HasDecodingThread(OsGeneration::kWin32s));
  EXPECT_TRUE(HasDecodingThread(OsGeneration::kWindowsNT3));
}

TEST(AppCommands, CopyFileListOnlyWithCtrlOnVersion4) {
  struct Case {
    bool ctrl;
    OsGeneration os;
    bool fileList, nt;
  } cases[] = {
      {true, OsGeneration::kWindows95, true, false},  {true, OsGeneration::kWindowsNT4, true, true},
      {true, OsGeneration::kWindowsNT3, false, true}, {true, OsGeneration::kWin32s, false, false},
      {false, OsGeneration::kWindowsNT4, false, true},
  };
  for (const Case& c : cases) {
    const CopyForm f = CopyFormFor(c.ctrl, c.os);
    EXPECT_EQ(f.fileList, c.fileList) << static_cast<int>(c.os) << c.ctrl;
    EXPECT_EQ(f.ntFamily, c.nt) << static_cast<int>(c.os);
  }
}

TEST(AppCommands, SystemMenuWhenMinimised) {
  CommandState s = ListOf(2);
  s.state = PlayState::kPlaying;
  s.nextAvailable = true;
  auto items = SystemMenuAdditions(true, false, OsGeneration::kWindowsNT4, s, {});
  std::vector<uint16_t> ids;
  for (auto& e : items) ids.push_back(e.id);
  EXPECT_EQ(ids, Ids({0, 203, 204, 103, 119, 120, 0, 400}));
  EXPECT_EQ(items[5].label, "一曲戻る(&B)");
  EXPECT_EQ(items[7].label, "壁紙の変更(&W)");
  EXPECT_TRUE(items[1].enabled && items[2].enabled && items[3].enabled && items[4].enabled);
  EXPECT_FALSE(items[5].enabled);
  EXPECT_TRUE(items[7].enabled);

  // A still image has no Pause item; the old shells no wallpaper item.
  s.stillImage = true;
  items = SystemMenuAdditions(true, true, OsGeneration::kWindowsNT3, s, {});
  ids.clear();
  for (auto& e : items) ids.push_back(e.id);
  EXPECT_EQ(ids, Ids({0, 203, 204, 119, 120}));
  CommandState empty;
  items = SystemMenuAdditions(true, true, OsGeneration::kWindows95, empty, {});
  EXPECT_FALSE(items[1].enabled);
}

TEST(AppCommands, SystemMenuCarriesTheMenuWhenTheBarIsOff) {
  CommandState s;
  EXPECT_TRUE(SystemMenuAdditions(false, true, OsGeneration::kWindows95, s, {}).empty());
  s.videoInDedicated = true;
  s.randomPlay = true;
  auto items = SystemMenuAdditions(false, false, OsGeneration::kWindows95, s,
                                   {{CM_REPEAT1, true}, {CM_ENDSAVE, true}});
  ASSERT_EQ(items.size(), 6u);
  EXPECT_TRUE(items[0].IsSeparator());
  const char* labels[] = {"ファイル(&F)", "演奏(&P)", "編集(&E)", "オプション(&O)", "ヘルプ(&H)"};
  std::map<uint16_t, const MenuEntry*> byId;
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(items[i + 1].label, labels[i]);
    for (auto& e : items[i + 1].items) byId[e.id] = &e;
  }
  EXPECT_FALSE(byId[CM_AVIDISP]->enabled);  // a video is open
  EXPECT_FALSE(byId[CM_REPEAT2]->enabled);
  EXPECT_FALSE(byId[CM_PLAY]->enabled);
  EXPECT_FALSE(byId[CM_MIDITITLE]->enabled);
  EXPECT_TRUE(byId[CM_EXIT]->enabled);
  EXPECT_TRUE(byId[CM_REPEAT1]->checked);
  EXPECT_TRUE(byId[CM_ENDSAVE]->checked);
  EXPECT_FALSE(byId[CM_TOPMOST]->checked);
}

TEST(AppCommands, MenuHintsAndAccelerators) {
  const auto& menu = MainMenu();
  ASSERT_EQ(menu.size(), 5u);
  std::set<uint16_t> seen;
  size_t items = 0;
  for (const MenuEntry& popup : menu) {
    EXPECT_FALSE(popup.items.front().IsSeparator());
    EXPECT_FALSE(popup.items.back().IsSeparator());
    for (const MenuEntry& e : popup.items) {
      if (e.IsSeparator()) continue;
      ++items;
      EXPECT_TRUE(seen.insert(e.id).second) << e.id;
      EXPECT_NE(HintText(e.id), nullptr) << e.id;  // the status bar explains every item
    }
  }
  EXPECT_EQ(items, 51u);
  EXPECT_STREQ(HintText(153), "ビデオ画面をファイル（.bmp）に保存します。");
  EXPECT_STREQ(HintText(1), "ビデオ画面をファイル(.bmp)に保存します。");
  EXPECT_EQ(HintText(115), nullptr);
  EXPECT_EQ(HintIds().size(), 59u);

  std::map<uint16_t, int> perCommand;
  for (const Accelerator& a : Accelerators()) {
    ++perCommand[a.command];
    EXPECT_EQ(a.alt, !a.virtualKey);
  }
  EXPECT_EQ(perCommand.size(), 15u);
  EXPECT_EQ(perCommand[CM_FULLSCREENKEY], 2);
  EXPECT_EQ(perCommand[CM_HELPCONTENTS], 1);
}

namespace {

std::string ReadSource(const std::string& rel) {
  std::ifstream in(std::string(CORVELLA_SOURCE_DIR) + "/" + rel, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string Utf8ToCp932(const std::string& s) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return "<no iconv>";
  std::string out(s.size() * 2 + 8, '\0');
  char* in = const_cast<char*>(s.data());
  size_t inLeft = s.size();
  char* o = &out[0];
  size_t outLeft = out.size();
  size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return "<bad>";
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace

// The resource script is written by hand; it must say what the command table says.
TEST(AppCommands, ResourceScriptMatchesTheTables) {
  std::map<std::string, long> idOf;
  std::string header = ReadSource("src/app/command_ids.h");
  std::regex def(R"(#define (\w+) (\d+))");
  for (auto it = std::sregex_iterator(header.begin(), header.end(), def); it != std::sregex_iterator(); ++it)
    idOf[(*it)[1]] = std::stol((*it)[2]);
  // Every command has an id of its own.
  std::map<long, std::string> commandWithId;
  for (const auto& d : idOf) {
    if (d.first.rfind("CM_", 0) != 0) continue;
    EXPECT_TRUE(commandWithId.emplace(d.second, d.first).second)
        << d.first << " and " << commandWithId[d.second];
  }

  std::string rc = ReadSource("src/win32/corvella_menu.rc");
  ASSERT_FALSE(rc.empty());
  size_t menuAt = rc.find("COMMANDS MENU"), accAt = rc.find("ACCELERATORS"),
         strAt = rc.find("STRINGTABLE");
  ASSERT_TRUE(menuAt < accAt && accAt < strAt);

  // Menu: the same popups, items and separators in the same order.
  std::string menuText = rc.substr(menuAt, accAt - menuAt);
  std::vector<std::string> fromRc, fromTable;
  std::regex line(R"re((POPUP "([^"]*)")|(MENUITEM SEPARATOR)|(MENUITEM "([^"]*)", (\w+)))re");
  for (auto it = std::sregex_iterator(menuText.begin(), menuText.end(), line);
       it != std::sregex_iterator(); ++it) {
    const auto& m = *it;
    if (m[1].matched) fromRc.push_back("P " + Utf8ToCp932(m[2]));
    else if (m[3].matched) fromRc.push_back("-");
    else fromRc.push_back(std::to_string(idOf[m[6]]) + " " + Utf8ToCp932(m[5]));
  }
  for (const MenuEntry& p : MainMenu()) {
    fromTable.push_back("P " + p.label);
    for (const MenuEntry& e : p.items)
      fromTable.push_back(e.IsSeparator() ? "-" : std::to_string(e.id) + " " + e.label);
  }
  EXPECT_EQ(fromRc, fromTable);

  // String table: every hint with its id, nothing else.
  std::string strText = rc.substr(strAt);
  std::regex entry(R"re((\w+), "([^"]*)")re");
  std::set<uint16_t> ids;
  for (auto it = std::sregex_iterator(strText.begin(), strText.end(), entry);
       it != std::sregex_iterator(); ++it) {
    ASSERT_TRUE(idOf.count((*it)[1])) << (*it)[1];
    uint16_t id = static_cast<uint16_t>(idOf[(*it)[1]]);
    ids.insert(id);
    const char* hint = HintText(id);
    ASSERT_NE(hint, nullptr) << id;
    EXPECT_EQ(Utf8ToCp932((*it)[2]), hint) << id;
  }
  EXPECT_EQ(ids.size(), HintIds().size());

  // Accelerators: the same keys for the same commands with the same flags.
  const std::map<std::string, uint16_t> vk = {
      {"VK_RETURN", 0x0D}, {"VK_ESCAPE", 0x1B}, {"VK_SPACE", 0x20}, {"VK_PRIOR", 0x21},
      {"VK_NEXT", 0x22},   {"VK_END", 0x23},    {"VK_HOME", 0x24},  {"VK_LEFT", 0x25},
      {"VK_UP", 0x26},     {"VK_RIGHT", 0x27},  {"VK_DOWN", 0x28},  {"VK_INSERT", 0x2D},
      {"VK_DELETE", 0x2E}, {"VK_F1", 0x70}};
  std::string accText = rc.substr(accAt, strAt - accAt);
  std::set<std::string> rcKeys, tableKeys;
  std::regex acc(R"re(\n\s*(VK_\w+|"(.)"), (\w+)((?:, \w+)*))re");
  for (auto it = std::sregex_iterator(accText.begin(), accText.end(), acc);
       it != std::sregex_iterator(); ++it) {
    const auto& m = *it;
    const std::string flags = m[4];
    const bool virt = flags.find("VIRTKEY") != std::string::npos;
    uint16_t key = 0;
    if (m[2].matched) {
      key = static_cast<uint8_t>(m[2].str()[0]);
    } else {
      ASSERT_TRUE(vk.count(m[1])) << m[1];
      key = vk.at(m[1]);
    }
    ASSERT_TRUE(idOf.count(m[3])) << m[3];
    EXPECT_EQ(virt, !m[2].matched) << m[0];  // a quoted character is never a virtual key here
    rcKeys.insert(std::to_string(key) + " " + std::to_string(idOf[m[3]]) + (virt ? " virt" : "") +
                  (flags.find("ALT") != std::string::npos ? " alt" : ""));
  }
  for (const Accelerator& a : Accelerators())
    tableKeys.insert(std::to_string(a.key) + " " + std::to_string(a.command) +
                     (a.virtualKey ? " virt" : "") + (a.alt ? " alt" : ""));
  EXPECT_EQ(rcKeys, tableKeys);
  EXPECT_EQ(rcKeys.size(), Accelerators().size());
}

TEST(AppCommands, MediaKeysAndApplicationCommands) {
  // Play/Pause follows the state at the moment it is carried out.
  CommandState s = ListOf(2);
  EXPECT_EQ(ResolvePlayPause(s), CM_PLAY);
  s.state = PlayState::kPaused;
  EXPECT_EQ(ResolvePlayPause(s), CM_PLAY);  // Play resumes a paused song
  s.state = PlayState::kPlaying;
  EXPECT_EQ(ResolvePlayPause(s), CM_PAUSE);
  s.stillImage = true;  // a still picture is not paused, and not restarted either
  EXPECT_FALSE(En(ResolvePlayPause(s), s));

  for (uint32_t key : kMediaKeys) EXPECT_NE(CommandForMediaKey(key), 0) << key;
  EXPECT_EQ(CommandForMediaKey(0xB3), CM_PLAYPAUSE);
  EXPECT_EQ(CommandForMediaKey(0xB2), CM_STOP);
  EXPECT_EQ(CommandForMediaKey(0xB0), CM_NEXT);
  EXPECT_EQ(CommandForMediaKey(0xB1), CM_PREVIOUS);
  EXPECT_EQ(CommandForMediaKey(0xAF), 0);  // volume up is the system's
  EXPECT_EQ(CommandForAppCommand(14), CM_PLAYPAUSE);
  EXPECT_EQ(CommandForAppCommand(13), CM_STOP);
  EXPECT_EQ(CommandForAppCommand(11), CM_NEXT);
  EXPECT_EQ(CommandForAppCommand(12), CM_PREVIOUS);
  EXPECT_EQ(CommandForAppCommand(10), 0);  // volume up
  EXPECT_EQ(CommandForAppCommand(1), 0);   // browser back
}
