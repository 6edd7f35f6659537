#include <gtest/gtest.h>

#include <map>

#include "app/command_ids.h"
#include "app/settings.h"
#include "fakes/app_fake_files.h"
#include "fakes/fake_notifier.h"

using namespace app;

namespace {

std::string Lines(std::initializer_list<const char*> lines) {
  std::string s;
  for (const char* l : lines) (s += l) += "\r\n";
  return s;
}

// The start of the program as the shell runs it: the application phase, the
// version check, the main window phase.
Settings Start(Profile* p, int32_t screenW = 1024, int32_t screenH = 768,
               StartupInfo info = StartupInfo()) {
  Settings s;
  const Areas areas{{0, 0, screenW, screenH}};
  ReadApplicationSettings(*p, info, areas, &s);
  CheckSettingsVersion(p);
  ReadWindowSettings(*p, "c:\\music", areas, &s);
  return s;
}

}  // namespace

TEST(AppSettings, DefaultsFromAMissingFile) {
  Profile p;
  Settings s = Start(&p);
  EXPECT_EQ(p.Serialize(), "[VERSION]\r\nVERSION=119\r\n");
  EXPECT_EQ(s.version, 119);
  EXPECT_EQ(s.w, 500);
  EXPECT_EQ(s.h, 400);
  EXPECT_EQ(s.x, 100);
  EXPECT_EQ(s.directory, "c:\\music");
  EXPECT_EQ(s.aviDirectory, "c:\\music");
  EXPECT_EQ(s.faceName, "FixedSys");
  EXPECT_EQ(s.deviceId, 17);
  EXPECT_EQ(s.b, 232);
  EXPECT_TRUE(s.endSave);
  EXPECT_TRUE(s.resetOn);
  EXPECT_FALSE(s.topmost);
  for (bool b : s.buttons) EXPECT_TRUE(b);
}

TEST(AppSettings, ValuesAreCorrectedAtReading) {
  Profile p(Lines({"[VERSION]", "VERSION=119", "[CONFIG]", "TOPMOST=on", "DEVICEID=0", "R=300",
                   "G=12x", "B=-1", "INITLOAD=ON", "REPEAT1=ON", "STRUPR=2", "DIRECTORY=.",
                   "SNFDIRECTORY=d:\\snf", "FILTERINDEX=123", "ENDSAVE=off", "[BUTTON]",
                   "BT_CD=OFF", "BT_SORT=yes", "[FONT]", "FONTSIZE=123456"}));
  Settings s = Start(&p);
  EXPECT_FALSE(s.topmost);
  EXPECT_EQ(s.deviceId, 17);
  EXPECT_EQ(s.r, 255);
  EXPECT_EQ(s.g, 12);
  EXPECT_EQ(s.b, 232);
  EXPECT_FALSE(s.initLoad);  // INITLOAD=ON without INITLOADFILE
  EXPECT_TRUE(s.repeat1);
  EXPECT_EQ(s.strupr, 2);
  EXPECT_EQ(s.directory, "c:\\music");
  EXPECT_EQ(s.snfDirectory, "d:\\snf");
  EXPECT_EQ(s.filterIndex, 12);  // read limit 3
  EXPECT_EQ(s.fontSize, 1234);   // read limit 5
  EXPECT_FALSE(s.endSave);
  EXPECT_FALSE(s.buttons[kBtCd]);
  EXPECT_FALSE(s.buttons[kBtSort]);
  EXPECT_TRUE(s.buttons[kBtFile]);

  Profile q(Lines({"[VERSION]", "VERSION=200", "[CONFIG]", "DEVICEID=33", "INITLOAD=ON",
                   "INITLOADFILE=c:\\12345678901234567890123456789012345678901234567890"
                   "123456789012345678901234567890.snf",
                   "DEVICEID=5"}));
  Settings t = Start(&q);
  EXPECT_EQ(t.deviceId, 17);
  EXPECT_TRUE(t.initLoad);
  EXPECT_EQ(t.initLoadFile.size(), 79u);
  EXPECT_EQ(t.initLoadFile.substr(0, 6), "c:\\123");
}

TEST(AppSettings, PlacementIsClampedToTheScreen) {
  EXPECT_EQ(ClampIntoArea(2000, 500, 0, 1024), 524);
  EXPECT_EQ(ClampIntoArea(100, 2000, 0, 1024), 0);
  EXPECT_EQ(ClampIntoArea(524, 500, 0, 1024), 524);
  EXPECT_EQ(ClampIntoArea(-50, 500, 0, 1024), -50);  // partly off the near edge may stay
  EXPECT_EQ(ClampIntoArea(-500, 500, 0, 1024), 0);   // wholly off it may not
  EXPECT_EQ(ClampIntoArea(INT32_MAX, 500, 0, 1024), 524);

  Profile p(Lines({"[CONFIG]", "X=2000", "Y=900", "W=500", "VX=5000", "VW=320", "VY=10"}));
  Settings s = Start(&p);
  EXPECT_EQ(s.x, 524);
  EXPECT_EQ(s.y, 368);
  EXPECT_EQ(s.vx, 100);  // the file was older than 104: the video keys are defaults again
  p.Parse(Lines({"[VERSION]", "VERSION=119", "[CONFIG]", "VX=5000", "VY=700", "VH=240"}));
  s = Start(&p, 800, 600);
  EXPECT_EQ(s.vx, 480);
  EXPECT_EQ(s.vy, 360);

  // The start-up information wins and is not clamped.
  StartupInfo info;
  info.hasSize = true;
  info.width = 300;
  info.height = 200;
  info.hasPosition = true;
  info.x = 3000;
  info.y = 4000;
  s = Start(&p, 1024, 768, info);
  EXPECT_EQ(s.w, 300);
  EXPECT_EQ(s.x, 3000);
  // A size without a position: the file's X is clamped with the given width.
  info.hasPosition = false;
  p.Parse(Lines({"[CONFIG]", "X=900"}));
  s = Start(&p, 1024, 768, info);
  EXPECT_EQ(s.x, 724);
}

TEST(AppSettings, OldVersionKeepsPlacementButResetsOptions) {
  Profile p(Lines({"[VERSION]", "VERSION=103", "[CONFIG]", "X=10", "Y=20", "W=600", "H=300",
                   "TOPMOST=ON", "REPEAT1=ON", "R=1", "[BUTTON]", "BT_FILE=OFF"}));
  Settings s;
  ReadApplicationSettings(p, StartupInfo(), {{0, 0, 1024, 768}}, &s);
  EXPECT_TRUE(CheckSettingsVersion(&p));
  ReadWindowSettings(p, "c:\\", {{0, 0, 1024, 768}}, &s);
  EXPECT_EQ(p.Serialize(), "[VERSION]\r\nVERSION=119\r\n");
  EXPECT_EQ(s.x, 10);
  EXPECT_EQ(s.w, 600);
  EXPECT_FALSE(s.buttons[kBtFile]);  // read before the check
  EXPECT_FALSE(s.topmost);           // read again after it
  EXPECT_FALSE(s.repeat1);
  EXPECT_EQ(s.r, 255);

  Profile current(Lines({"[VERSION]", "VERSION=104"}));
  EXPECT_FALSE(CheckSettingsVersion(&current));
  Profile missingKey(Lines({"[CONFIG]", "X=1"}));
  EXPECT_TRUE(CheckSettingsVersion(&missingKey));
}

TEST(AppSettings, ExitWritesEveryKeyInOrderFromDefaults) {
  Profile p;
  Settings s = Start(&p);
  Placement start{s.x, s.y, s.w, s.h};
  WriteSettingsAtExit(&p, s, start, start);
  EXPECT_EQ(p.Serialize(),
            Lines({"[VERSION]", "VERSION=119", "[CONFIG]", "W=500", "H=400", "VX=100", "VY=100",
                   "VW=320", "VH=240", "R=255", "G=255", "B=232", "DIRECTORY=c:\\music",
                   "SNFDIRECTORY=c:\\music", "WPDIRECTORY=c:\\music", "AVIDIRECTORY=c:\\music",
                   "FILTERINDEX=1", "ENDSAVE=ON", "REPEAT1=OFF", "REPEAT2=OFF", "INITLOAD=OFF",
                   "INITSHUFFLE=OFF", "INITPLAY=OFF", "INITLOADFILE=", "TOPMOST=OFF",
                   "MINIMIZE=OFF", "SHUFFLE=OFF", "WPCHANGE=OFF", "AUTOWP=OFF", "STRUPR=0",
                   "RESETON=ON", "RESETGS=ON", "DEVICEID=17", "AVIDISP=OFF", "AVISIZE=OFF",
                   "AVICENTER=OFF", "AVIALLDISP=OFF", "NOSOUND=OFF", "MENUBAR=ON",
                   "CONTROLBAR=ON", "STATUSBAR=ON", "SLIDER=ON", "SYSTEMCOLOR=OFF", "PX=0",
                   "PY=0", "TOPPAD=OFF", "ICONPAD=OFF", "CONTROLPAD=OFF", "INTERVAL=3",
                   "ALARMSET=OFF", "ALARMHOUR=7", "ALARMMINUTE=0", "MEDIAKEYS=ON", "[BUTTON]", "BT_FILE=ON",
                   "BT_CD=ON", "BT_SNF=ON", "BT_EDIT=ON", "BT_COPY=ON", "BT_UNDO=ON",
                   "BT_INITLOAD=ON", "BT_INTERVAL=ON", "BT_WPSET=ON", "BT_SHUFFLE=ON",
                   "BT_SORT=ON", "BT_SAVEAVI=ON", "[FONT]", "FACENAME=FixedSys", "FONTSIZE=14",
                   "BOLD=400", "ITALIC=OFF", "CHARSET=128", "CHARNUM=8"}));

  // A moved frame writes X and Y (each only when it changed).
  Placement moved = start;
  moved.y = 7;
  WriteSettingsAtExit(&p, s, moved, start);
  EXPECT_EQ(p.Read("CONFIG", "X", "none", 80), "none");
  EXPECT_EQ(p.Read("CONFIG", "Y", "", 80), "7");
}

TEST(AppSettings, EndSaveOffKeepsTheOldOptions) {
  Profile p(Lines({"[VERSION]", "VERSION=119", "[CONFIG]", "REPEAT1=ON", "W=1", "ENDSAVE=ON",
                   "VX=1", "[FONT]", "FACENAME=Gothic"}));
  Settings s = Start(&p);
  s.endSave = false;
  s.repeat1 = false;
  s.faceName = "Mincho";
  s.vx = 44;
  s.directory = "e:\\songs";
  WriteSettingsAtExit(&p, s, {100, 100, 640, 480}, {100, 100, 1, 400});
  EXPECT_EQ(p.Read("CONFIG", "REPEAT1", "", 80), "ON");
  EXPECT_EQ(p.Read("FONT", "FACENAME", "", 80), "Gothic");
  EXPECT_EQ(p.Read("CONFIG", "ENDSAVE", "", 80), "OFF");
  EXPECT_EQ(p.Read("CONFIG", "W", "", 80), "640");
  EXPECT_EQ(p.Read("CONFIG", "H", "", 80), "480");
  EXPECT_EQ(p.Read("CONFIG", "VX", "", 80), "44");
  EXPECT_EQ(p.Read("CONFIG", "DIRECTORY", "", 80), "e:\\songs");
  EXPECT_EQ(p.Read("CONFIG", "NOSOUND", "none", 80), "none");
}

TEST(AppSettings, BarsAtFirstPaintHideOnlyForExactlyOff) {
  Profile p(Lines({"[VERSION]", "VERSION=119", "[CONFIG]", "CONTROLBAR=off", "STATUSBAR=OFF"}));
  BarVisibility v = ReadBarsAtFirstPaint(p);
  EXPECT_FALSE(v.hideToolBar);
  EXPECT_TRUE(v.hideStatusBar);
  Settings s = Start(&p);
  EXPECT_FALSE(s.controlBar);  // the main window's switch is on only for "ON"
}

TEST(AppSettings, MenuChecksFollowTheSwitches) {
  Settings s;
  s.repeat2 = true;
  s.iconPad = true;
  std::map<uint16_t, bool> checks;
  for (auto& c : MenuChecks(s)) checks[c.first] = c.second;
  EXPECT_EQ(checks.size(), 16u);
  EXPECT_TRUE(checks[CM_REPEAT2]);
  EXPECT_TRUE(checks[CM_ICONPAD]);
  EXPECT_TRUE(checks[CM_ENDSAVE]);
  EXPECT_FALSE(checks[CM_REPEAT1]);
  EXPECT_FALSE(checks[CM_TOPMOST]);
  EXPECT_TRUE(checks[CM_MEDIAKEYS]);
}

TEST(AppSettings, OptionTogglesFlipTheirOwnCheckMark) {
  const std::map<uint16_t, OptionToggle> toggles = {
      {CM_TOPMOST, OptionToggle::kTopmost},   {CM_MINIMIZE, OptionToggle::kFlipped},
      {CM_WPCHANGE, OptionToggle::kFlipped},  {CM_AUTOWP, OptionToggle::kFlipped},
      {CM_ENDSAVE, OptionToggle::kFlipped},   {CM_MEDIAKEYS, OptionToggle::kMediaKeys},
  };
  auto checks = [](const Settings& s) {
    std::map<uint16_t, bool> m;
    for (auto& c : MenuChecks(s)) m[c.first] = c.second;
    return m;
  };
  for (const auto& t : toggles) {
    Settings s;
    const auto before = checks(s);
    EXPECT_EQ(ToggleOption(t.first, &s), t.second) << t.first;
    auto after = checks(s);
    EXPECT_NE(after[t.first], before.at(t.first)) << t.first;
    after[t.first] = before.at(t.first);
    EXPECT_EQ(after, before) << t.first << " flips another option too";
    ToggleOption(t.first, &s);
    EXPECT_EQ(checks(s), before) << t.first;
  }
  // The player's and the pod's toggles and plain commands are not the window's.
  for (uint16_t id : {CM_REPEAT1, CM_RANDOMPLAY, CM_AVIDISP, CM_CONTROLPAD, CM_PLAY}) {
    Settings s;
    const auto before = checks(s);
    EXPECT_EQ(ToggleOption(id, &s), OptionToggle::kNotAToggle) << id;
    EXPECT_EQ(checks(s), before) << id;
  }
}

TEST(AppSettings, MediaKeysDefaultOnAndOffOnlyWhenSaidSo) {
  Profile old(Lines({"[VERSION]", "VERSION=119", "[CONFIG]", "ENDSAVE=ON"}));
  EXPECT_TRUE(Start(&old).mediaKeys);
  Profile off(Lines({"[VERSION]", "VERSION=119", "[CONFIG]", "MEDIAKEYS=OFF", "ENDSAVE=ON"}));
  EXPECT_FALSE(Start(&off).mediaKeys);
}

TEST(AppSettings, FontAndListMetrics) {
  EXPECT_EQ(FontHeight(96, 14), -19);
  EXPECT_EQ(FontHeight(120, 10), -17);
  EXPECT_EQ(FontHeight(96, 0), 0);
  Settings s;
  s.faceName = "Nothing";
  s.fontSize = 99;
  s.italic = true;
  s.bold = 700;
  s.charset = 0;
  ApplyFontFallback(&s);
  EXPECT_EQ(s.faceName, "FixedSys");
  EXPECT_EQ(s.fontSize, 14);
  EXPECT_FALSE(s.italic);
  EXPECT_EQ(s.bold, 400);
  EXPECT_EQ(s.charset, 0);

  EXPECT_EQ(MetricsSampleText(8, 0), "3333wwwwwwww33");
  EXPECT_EQ(MetricsSampleText(3, 1), "3333WWW33");
  EXPECT_EQ(MetricsSampleText(3, 2), "3333Www33");
  EXPECT_EQ(MetricsSampleText(3, 5), "333333");
  EXPECT_EQ(MetricsSampleText(0, 2), "333333");
  EXPECT_EQ(MetricsSampleText(-4, 0), "333333");
  EXPECT_EQ(CellExtent(10), 14);
  EXPECT_EQ(CellExtent(-20), 1);
}

TEST(AppSettingsFile, WindowsDirectoryWhenWritableElseUserCopy) {
  AppFakeFiles fs;
  fs.directories = {"c:\\windows", "c:\\users\\me\\appdata"};
  SettingsLocation loc = LocateSettingsFile(fs, "c:\\windows\\", "c:\\users\\me\\appdata");
  EXPECT_EQ(loc.readPath, "c:\\windows\\corvella.ini");
  EXPECT_EQ(loc.writePath, "c:\\windows\\corvella.ini");
  EXPECT_TRUE(fs.files.empty());  // the probe file is gone again

  // Not writable, an old file there: read it, write the user copy.
  fs.readOnlyDirectories.insert("c:\\windows");
  fs.files["c:\\windows\\corvella.ini"] = "[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nW=640\r\n";
  loc = LocateSettingsFile(fs, "c:\\windows", "c:\\users\\me\\appdata");
  EXPECT_EQ(loc.readPath, "c:\\windows\\corvella.ini");
  EXPECT_EQ(loc.writePath, "c:\\users\\me\\appdata\\Corvella\\corvella.ini");
  SettingsFile file(fs, loc);
  file.Load();
  EXPECT_EQ(file.profile().Read("CONFIG", "W", "", 80), "640");
  Settings s;
  s.endSave = false;
  EXPECT_EQ(SaveSettingsAtExit(&file, s, {100, 100, 700, 400}, {100, 100, 640, 400}),
            platform::WriteResult::kOk);
  EXPECT_EQ(fs.files["c:\\users\\me\\appdata\\Corvella\\corvella.ini"].substr(0, 43),
            "[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nW=700\r\nH=");
  // From now on the user copy wins, even if the Windows directory becomes writable.
  fs.readOnlyDirectories.clear();
  loc = LocateSettingsFile(fs, "c:\\windows", "c:\\users\\me\\appdata");
  EXPECT_EQ(loc.readPath, "c:\\users\\me\\appdata\\Corvella\\corvella.ini");
  EXPECT_EQ(loc.writePath, loc.readPath);

  // A read-only file in a writable directory also sends us to the user copy.
  AppFakeFiles ro;
  ro.directories = {"c:\\windows", "c:\\appdata"};
  ro.files["c:\\windows\\corvella.ini"] = "";
  ro.attributes["c:\\windows\\corvella.ini"] = platform::kAttrReadOnly;
  loc = LocateSettingsFile(ro, "c:\\windows", "c:\\appdata");
  EXPECT_EQ(loc.writePath, "c:\\appdata\\Corvella\\corvella.ini");
  // Without a per-user folder the Windows directory is all there is.
  loc = LocateSettingsFile(ro, "c:\\windows", "");
  EXPECT_EQ(loc.writePath, "c:\\windows\\corvella.ini");
}

TEST(AppSettingsFile, MissingOrOversizedFileReadsAsDefaults) {
  AppFakeFiles fs;
  fs.directories = {"c:\\windows"};
  SettingsFile file(fs, LocateSettingsFile(fs, "c:\\windows", ""));
  file.Load();
  EXPECT_TRUE(file.profile().Empty());
  fs.files["c:\\windows\\corvella.ini"] =
      "[CONFIG]\r\nW=1\r\n" + std::string(SettingsFile::kMaxFileBytes, '\n') + "[CONFIG]\r\nH=2\r\n";
  file.Load();
  EXPECT_EQ(file.profile().Read("CONFIG", "W", "", 80), "1");
  EXPECT_EQ(file.profile().Read("CONFIG", "H", "none", 80), "none");
}

// A settings file that is there but cannot be read (held open without
// sharing, access denied) must never be replaced by the defaults.
TEST(AppSettingsFile, UnreadableFileIsNeverWrittenAndSaidOnce) {
  const std::string ini = "c:\\windows\\corvella.ini";
  const std::string kept = Lines({"[VERSION]", "VERSION=119", "[CONFIG]", "REPEAT1=ON"});
  AppFakeFiles fs;
  fs.directories = {"c:\\windows"};
  fs.files[ini] = kept;
  fs.unreadable.insert(ini);
  SettingsFile file(fs, LocateSettingsFile(fs, "c:\\windows", ""));
  file.Load();
  EXPECT_EQ(file.UnreadablePath(), ini);
  Settings s = Start(&file.profile());
  EXPECT_FALSE(s.repeat1);  // the defaults
  EXPECT_NE(file.Save(), platform::WriteResult::kOk);  // as after the version check
  FakeNotifier notifier;
  ReportUnreadableSettings(file, notifier);
  ASSERT_EQ(notifier.boxes.size(), 1u);
  EXPECT_EQ(notifier.boxes[0].text, "設定ファイル c:\\windows\\corvella.ini を読み込めませんでした。"
                                    "初期設定で起動します。このファイルは書き換えずにそのまま残します。");
  EXPECT_EQ(notifier.boxes[0].caption, "設定ファイルエラー");
  // Still locked at exit, or readable again: the file is left as it was.
  SaveSettingsAtExit(&file, s, {1, 2, 3, 4}, {1, 2, 3, 4});
  fs.unreadable.clear();
  SaveSettingsAtExit(&file, s, {1, 2, 3, 4}, {1, 2, 3, 4});
  EXPECT_EQ(fs.files[ini], kept);

  // A file that became unreadable only by the exit is not wiped either.
  SettingsFile fresh(fs, LocateSettingsFile(fs, "c:\\windows", ""));
  fresh.Load();
  EXPECT_EQ(fresh.UnreadablePath(), "");
  fs.unreadable.insert(ini);
  s.endSave = false;
  SaveSettingsAtExit(&fresh, s, {1, 2, 3, 4}, {1, 2, 3, 4});
  EXPECT_EQ(fs.files[ini], kept);

  // A missing file is simply written.
  AppFakeFiles none;
  none.directories = {"c:\\windows"};
  SettingsFile created(none, LocateSettingsFile(none, "c:\\windows", ""));
  created.Load();
  FakeNotifier quiet;
  ReportUnreadableSettings(created, quiet);
  EXPECT_TRUE(quiet.boxes.empty());
  SaveSettingsAtExit(&created, s, {1, 2, 3, 4}, {1, 2, 3, 4});
  EXPECT_NE(none.files[ini].find("ENDSAVE=OFF"), std::string::npos);
}
