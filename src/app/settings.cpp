#include "app/settings.h"

#include "app/command_ids.h"
#include "text/sjis.h"

namespace app {

const char* const kButtonKeys[kButtonGroupCount] = {
    "BT_FILE", "BT_CD",    "BT_SNF",   "BT_EDIT",    "BT_COPY",  "BT_UNDO",
    "BT_INITLOAD", "BT_INTERVAL", "BT_WPSET", "BT_SHUFFLE", "BT_SORT", "BT_SAVEAVI"};

namespace {

constexpr const char* kConfig = "CONFIG";
constexpr const char* kButton = "BUTTON";
constexpr const char* kFont = "FONT";
constexpr const char* kVersion = "VERSION";

bool Switch(const Profile& p, const char* section, const char* key, const char* def,
            size_t limit = 80) {
  return p.Read(section, key, def, limit) == "ON";
}

int32_t Number(const Profile& p, const char* section, const char* key, const char* def,
               size_t limit = 80) {
  return static_cast<int32_t>(text::ReadNumber(p.Read(section, key, def, limit)));
}

std::string Directory(const Profile& p, const char* key, const std::string& current) {
  std::string d = p.Read(kConfig, key, ".", 260);
  return d == "." ? current : d;
}

int32_t InRange(int32_t v, int32_t lo, int32_t hi, int32_t otherwise) {
  return v >= lo && v <= hi ? v : otherwise;
}

const char* OnOff(bool on) { return on ? "ON" : "OFF"; }

void PutSwitch(Profile* p, const char* section, const char* key, bool on) {
  p->Write(section, key, OnOff(on));
}

void PutNumber(Profile* p, const char* section, const char* key, int32_t v) {
  p->Write(section, key, std::to_string(v));
}

}  // namespace

// A saved placement goes onto the monitor it belongs to (or the nearest).
static void PlaceInArea(int32_t* x, int32_t* y, int32_t w, int32_t h, const Areas& areas) {
  const Rect& a = AreaFor(*x, *y, w, h, areas);
  *x = ClampIntoArea(*x, w, a.left, a.right);
  *y = ClampIntoArea(*y, h, a.top, a.bottom);
}

void ReadApplicationSettings(const Profile& p, const StartupInfo& info, const Areas& areas,
                             Settings* s) {
  if (info.hasSize) {
    s->w = info.width;
    s->h = info.height;
  } else {
    s->h = Number(p, kConfig, "H", "400");
    s->w = Number(p, kConfig, "W", "500");
  }
  if (info.hasPosition) {
    s->x = info.x;
    s->y = info.y;
  } else {
    s->x = Number(p, kConfig, "X", "100");
    s->y = Number(p, kConfig, "Y", "100");
    PlaceInArea(&s->x, &s->y, s->w, s->h, areas);
  }
  s->topmost = Switch(p, kConfig, "TOPMOST", "OFF");
  for (int i = 0; i < kButtonGroupCount; ++i) s->buttons[i] = Switch(p, kButton, kButtonKeys[i], "ON");
}

bool CheckSettingsVersion(Profile* p) {
  if (Number(*p, kVersion, "VERSION", "0") >= kMinimumVersion) return false;
  p->Clear();
  PutNumber(p, kVersion, "VERSION", kSettingsVersion);
  return true;
}

void ReadWindowSettings(const Profile& p, const std::string& currentDirectory,
                        const Areas& areas, Settings* s) {
  s->version = Number(p, kVersion, "VERSION", "0");
  s->directory = Directory(p, "DIRECTORY", currentDirectory);
  s->snfDirectory = Directory(p, "SNFDIRECTORY", currentDirectory);
  s->wpDirectory = Directory(p, "WPDIRECTORY", currentDirectory);
  s->aviDirectory = Directory(p, "AVIDIRECTORY", currentDirectory);
  s->filterIndex = Number(p, kConfig, "FILTERINDEX", "1", 3);
  s->repeat1 = Switch(p, kConfig, "REPEAT1", "OFF");
  s->repeat2 = Switch(p, kConfig, "REPEAT2", "OFF");
  s->initLoad = Switch(p, kConfig, "INITLOAD", "OFF");
  s->initShuffle = Switch(p, kConfig, "INITSHUFFLE", "OFF");
  s->initPlay = Switch(p, kConfig, "INITPLAY", "OFF");
  s->initLoadFile = p.Read(kConfig, "INITLOADFILE", "", 80);
  if (s->initLoadFile.empty()) s->initLoad = false;
  s->topmost = Switch(p, kConfig, "TOPMOST", "OFF");
  s->minimize = Switch(p, kConfig, "MINIMIZE", "OFF");
  s->shuffle = Switch(p, kConfig, "SHUFFLE", "OFF");
  s->wpChange = Switch(p, kConfig, "WPCHANGE", "OFF");
  s->autoWp = Switch(p, kConfig, "AUTOWP", "OFF");
  s->strupr = Number(p, kConfig, "STRUPR", "OFF");
  s->resetOn = Switch(p, kConfig, "RESETON", "ON");
  s->resetGs = Switch(p, kConfig, "RESETGS", "ON");
  s->deviceId = InRange(Number(p, kConfig, "DEVICEID", "17", 3), 1, 32, 17);
  s->aviDisp = Switch(p, kConfig, "AVIDISP", "OFF");
  s->aviSize = Switch(p, kConfig, "AVISIZE", "OFF");
  s->aviCenter = Switch(p, kConfig, "AVICENTER", "OFF");
  s->aviAllDisp = Switch(p, kConfig, "AVIALLDISP", "OFF");
  s->menuBar = Switch(p, kConfig, "MENUBAR", "ON");
  s->controlBar = Switch(p, kConfig, "CONTROLBAR", "ON");
  s->statusBar = Switch(p, kConfig, "STATUSBAR", "ON");
  s->slider = Switch(p, kConfig, "SLIDER", "ON");
  s->systemColor = Switch(p, kConfig, "SYSTEMCOLOR", "OFF");
  s->faceName = p.Read(kFont, "FACENAME", "FixedSys", 80);
  s->fontSize = Number(p, kFont, "FONTSIZE", "14", 5);
  s->bold = Number(p, kFont, "BOLD", "400", 4);
  s->italic = Switch(p, kFont, "ITALIC", "OFF");
  s->charset = Number(p, kFont, "CHARSET", "128", 4);
  s->charNum = Number(p, kFont, "CHARNUM", "8", 4);
  s->interval = Number(p, kConfig, "INTERVAL", "3", 6);
  s->alarmSet = Switch(p, kConfig, "ALARMSET", "OFF", 6);
  s->alarmHour = Number(p, kConfig, "ALARMHOUR", "7", 6);
  s->alarmMinute = Number(p, kConfig, "ALARMMINUTE", "0", 6);
  s->vh = Number(p, kConfig, "VH", "240");
  s->vw = Number(p, kConfig, "VW", "320");
  s->vx = Number(p, kConfig, "VX", "100");
  s->vy = Number(p, kConfig, "VY", "100");
  PlaceInArea(&s->vx, &s->vy, s->vw, s->vh, areas);
  s->r = InRange(Number(p, kConfig, "R", "255", 4), 0, 255, 255);
  s->g = InRange(Number(p, kConfig, "G", "255", 4), 0, 255, 255);
  s->b = InRange(Number(p, kConfig, "B", "232", 4), 0, 255, 232);
  s->px = Number(p, kConfig, "PX", "0");
  s->py = Number(p, kConfig, "PY", "0");
  s->topPad = Switch(p, kConfig, "TOPPAD", "OFF");
  s->iconPad = Switch(p, kConfig, "ICONPAD", "OFF");
  s->controlPad = Switch(p, kConfig, "CONTROLPAD", "OFF");
  s->endSave = Switch(p, kConfig, "ENDSAVE", "ON");
  s->mediaKeys = Switch(p, kConfig, "MEDIAKEYS", "ON");
}

BarVisibility ReadBarsAtFirstPaint(const Profile& p) {
  BarVisibility v;
  v.hideToolBar = p.Read(kConfig, "CONTROLBAR", "ON", 80) == "OFF";
  v.hideStatusBar = p.Read(kConfig, "STATUSBAR", "ON", 80) == "OFF";
  return v;
}

void WriteSettingsAtExit(Profile* p, const Settings& s, const Placement& normal,
                         const Placement& start) {
  if (normal.x != start.x) PutNumber(p, kConfig, "X", normal.x);
  if (normal.y != start.y) PutNumber(p, kConfig, "Y", normal.y);
  PutNumber(p, kConfig, "W", normal.w);
  PutNumber(p, kConfig, "H", normal.h);
  PutNumber(p, kConfig, "VX", s.vx);
  PutNumber(p, kConfig, "VY", s.vy);
  PutNumber(p, kConfig, "VW", s.vw);
  PutNumber(p, kConfig, "VH", s.vh);
  PutNumber(p, kConfig, "R", s.r);
  PutNumber(p, kConfig, "G", s.g);
  PutNumber(p, kConfig, "B", s.b);
  PutNumber(p, kVersion, "VERSION", kSettingsVersion);
  p->Write(kConfig, "DIRECTORY", s.directory);
  p->Write(kConfig, "SNFDIRECTORY", s.snfDirectory);
  p->Write(kConfig, "WPDIRECTORY", s.wpDirectory);
  p->Write(kConfig, "AVIDIRECTORY", s.aviDirectory);
  PutNumber(p, kConfig, "FILTERINDEX", s.filterIndex);
  if (!s.endSave) {
    PutSwitch(p, kConfig, "ENDSAVE", false);
    return;
  }
  PutSwitch(p, kConfig, "ENDSAVE", true);
  PutSwitch(p, kConfig, "REPEAT1", s.repeat1);
  PutSwitch(p, kConfig, "REPEAT2", s.repeat2);
  PutSwitch(p, kConfig, "INITLOAD", s.initLoad);
  PutSwitch(p, kConfig, "INITSHUFFLE", s.initShuffle);
  PutSwitch(p, kConfig, "INITPLAY", s.initPlay);
  p->Write(kConfig, "INITLOADFILE", s.initLoadFile);
  PutSwitch(p, kConfig, "TOPMOST", s.topmost);
  PutSwitch(p, kConfig, "MINIMIZE", s.minimize);
  PutSwitch(p, kConfig, "SHUFFLE", s.shuffle);
  PutSwitch(p, kConfig, "WPCHANGE", s.wpChange);
  PutSwitch(p, kConfig, "AUTOWP", s.autoWp);
  PutNumber(p, kConfig, "STRUPR", s.strupr);
  PutSwitch(p, kConfig, "RESETON", s.resetOn);
  PutSwitch(p, kConfig, "RESETGS", s.resetGs);
  PutNumber(p, kConfig, "DEVICEID", s.deviceId);
  PutSwitch(p, kConfig, "AVIDISP", s.aviDisp);
  PutSwitch(p, kConfig, "AVISIZE", s.aviSize);
  PutSwitch(p, kConfig, "AVICENTER", s.aviCenter);
  PutSwitch(p, kConfig, "AVIALLDISP", s.aviAllDisp);
  PutSwitch(p, kConfig, "NOSOUND", false);
  for (int i = 0; i < kButtonGroupCount; ++i) PutSwitch(p, kButton, kButtonKeys[i], s.buttons[i]);
  PutSwitch(p, kConfig, "MENUBAR", s.menuBar);
  PutSwitch(p, kConfig, "CONTROLBAR", s.controlBar);
  PutSwitch(p, kConfig, "STATUSBAR", s.statusBar);
  PutSwitch(p, kConfig, "SLIDER", s.slider);
  PutSwitch(p, kConfig, "SYSTEMCOLOR", s.systemColor);
  PutNumber(p, kConfig, "PX", s.px);
  PutNumber(p, kConfig, "PY", s.py);
  PutSwitch(p, kConfig, "TOPPAD", s.topPad);
  PutSwitch(p, kConfig, "ICONPAD", s.iconPad);
  PutSwitch(p, kConfig, "CONTROLPAD", s.controlPad);
  p->Write(kFont, "FACENAME", s.faceName);
  PutNumber(p, kFont, "FONTSIZE", s.fontSize);
  PutNumber(p, kFont, "BOLD", s.bold);
  PutSwitch(p, kFont, "ITALIC", s.italic);
  PutNumber(p, kFont, "CHARSET", s.charset);
  PutNumber(p, kFont, "CHARNUM", s.charNum);
  PutNumber(p, kConfig, "INTERVAL", s.interval);
  PutSwitch(p, kConfig, "ALARMSET", s.alarmSet);
  PutNumber(p, kConfig, "ALARMHOUR", s.alarmHour);
  PutNumber(p, kConfig, "ALARMMINUTE", s.alarmMinute);
  // Newer than every other key, so written last where older files end.
  PutSwitch(p, kConfig, "MEDIAKEYS", s.mediaKeys);
}

std::vector<std::pair<uint16_t, bool>> MenuChecks(const Settings& s) {
  return {
      {CM_TOPMOST, s.topmost},       {CM_MINIMIZE, s.minimize},   {CM_RANDOMPLAY, s.shuffle},
      {CM_WPCHANGE, s.wpChange},     {CM_ENDSAVE, s.endSave},     {CM_REPEAT1, s.repeat1},
      {CM_REPEAT2, s.repeat2},       {CM_AVIDISP, s.aviDisp},     {CM_AVISIZE, s.aviSize},
      {CM_AUTOWP, s.autoWp},         {CM_AVICENTER, s.aviCenter}, {CM_AVIALLDISP, s.aviAllDisp},
      {CM_CONTROLPAD, s.controlPad}, {CM_TOPPAD, s.topPad},       {CM_ICONPAD, s.iconPad},
      {CM_MEDIAKEYS, s.mediaKeys},
  };
}

OptionToggle ToggleOption(uint16_t id, Settings* s) {
  bool* field = nullptr;
  OptionToggle result = OptionToggle::kFlipped;
  switch (id) {
    case CM_TOPMOST: field = &s->topmost; result = OptionToggle::kTopmost; break;
    case CM_MINIMIZE: field = &s->minimize; break;
    case CM_WPCHANGE: field = &s->wpChange; break;
    case CM_AUTOWP: field = &s->autoWp; break;
    case CM_ENDSAVE: field = &s->endSave; break;
    case CM_MEDIAKEYS: field = &s->mediaKeys; result = OptionToggle::kMediaKeys; break;
    default: return OptionToggle::kNotAToggle;
  }
  *field = !*field;
  return result;
}

int32_t FontHeight(int32_t dpi, int32_t fontSize) {
  int64_t v = (static_cast<int64_t>(dpi) * fontSize * -10 / 72 - 5) / 10;
  if (v < INT32_MIN) return INT32_MIN;
  if (v > INT32_MAX) return INT32_MAX;
  return static_cast<int32_t>(v);
}

void ApplyFontFallback(Settings* s) {
  s->faceName = "FixedSys";
  s->fontSize = 14;
  s->italic = false;
  s->bold = 400;
}

std::string MetricsSampleText(int32_t charNum, int32_t strupr) {
  std::string t = "3333";
  if (charNum > 0) {
    if (strupr == 0) {
      t.append(static_cast<size_t>(charNum), 'w');
    } else if (strupr == 1) {
      t.append(static_cast<size_t>(charNum), 'W');
    } else if (strupr == 2) {
      t += 'W';
      t.append(static_cast<size_t>(charNum - 1), 'w');
    }
  }
  return t + "33";
}

int32_t CellExtent(int32_t measured) {
  int64_t v = static_cast<int64_t>(measured) + 4;
  return v < 1 ? 1 : static_cast<int32_t>(v > INT32_MAX ? INT32_MAX : v);
}

bool IsMinimizedShowState(int showState) {
  return showState == 2 || showState == 6 || showState == 7;
}


namespace {

// Can the file in the Windows directory be replaced? The write goes through a
// temporary file in that directory, so that is what is tried.
bool WindowsDirectoryWritable(platform::FileSystem& fs, const std::string& windowsDirectory,
                              const std::string& primary) {
  uint32_t attributes = 0;
  if (fs.GetAttributes(primary, &attributes) && (attributes & platform::kAttrReadOnly)) return false;
  std::string probe = text::WithBackslash(windowsDirectory) + "corvella.$$$";
  if (!fs.Create(probe)) return false;
  fs.DeleteFile(probe);
  return true;
}

}  // namespace

SettingsLocation LocateSettingsFile(platform::FileSystem& fs, const std::string& windowsDirectory,
                                    const std::string& appDataDirectory) {
  std::string primary = text::WithBackslash(windowsDirectory) + "corvella.ini";
  if (appDataDirectory.empty()) return {primary, primary, ""};
  std::string userDir = text::WithBackslash(appDataDirectory) + "Corvella";
  std::string user = userDir + "\\corvella.ini";
  if (fs.Exists(user)) return {user, user, ""};
  if (WindowsDirectoryWritable(fs, windowsDirectory, primary)) return {primary, primary, ""};
  return {fs.Exists(primary) ? primary : user, user, userDir};
}

void SettingsFile::Load() {
  std::string data;
  auto read = [&](const std::string& path) {
    data.clear();
    if (fs_.ReadWholeFile(path, &data, kMaxFileBytes)) return true;
    data.clear();
    if (fs_.Exists(path) && unreadablePath_.empty()) unreadablePath_ = path;
    return false;
  };
  if (!read(location_.writePath) && location_.readPath != location_.writePath) {
    read(location_.readPath);
  }
  profile_.Parse(data);
}

platform::WriteResult SettingsFile::Save() {
  if (!unreadablePath_.empty()) return platform::WriteResult::kWriteError;
  if (!location_.createDirectory.empty() && !fs_.IsDirectory(location_.createDirectory)) {
    fs_.CreateDirectory(location_.createDirectory);
  }
  return fs_.WriteWholeFile(location_.writePath, profile_.Serialize());
}

void ReportUnreadableSettings(const SettingsFile& file, platform::Notifier& notifier) {
  if (file.UnreadablePath().empty()) return;
  notifier.MessageBox("設定ファイル " + file.UnreadablePath() +
                          " を読み込めませんでした。初期設定で起動します。"
                          "このファイルは書き換えずにそのまま残します。",
                      "設定ファイルエラー", platform::kMbOk | platform::kMbIconExclamation);
}

platform::WriteResult SaveSettingsAtExit(SettingsFile* file, const Settings& s,
                                         const Placement& normal, const Placement& start) {
  file->Load();
  WriteSettingsAtExit(&file->profile(), s, normal, start);
  return file->Save();
}

}  // namespace app
