#include "ui/option_dialogs.h"

#include "playback/interval.h"
#include "songlist/media.h"
#include "text/sjis.h"

namespace ui {

WindowOptions WindowOptionsOf(const app::Settings& s) {
  return {s.menuBar, s.controlBar, s.statusBar, s.slider, s.systemColor};
}

void StoreWindowOptions(const WindowOptions& o, app::Settings* s) {
  s->menuBar = o.menuBar;
  s->controlBar = o.controlBar;
  s->statusBar = o.statusBar;
  s->slider = o.slider;
  s->systemColor = o.systemColor;
}

WindowRelayout WindowRelayoutAfter(const WindowOptions& before, const WindowOptions& after,
                                   bool videoInMain, bool videoOwnSize, bool frameMaximized) {
  WindowRelayout r;
  if (before.slider != after.slider) {
    r.resizeVideoToClient = videoInMain;
    r.repaintWindow = true;
  }
  if (videoInMain && (videoOwnSize || frameMaximized)) {
    r.fitVideo = true;
  } else if (before.systemColor != after.systemColor) {
    r.repaintList = true;
  }
  return r;
}

app::ButtonGroup ToolBarCheckGroup(int index) {
  static const app::ButtonGroup kOrder[kToolBarChecks] = {
      app::kBtFile, app::kBtCd, app::kBtSnf, app::kBtEdit, app::kBtUndo, app::kBtInitLoad,
      app::kBtInterval, app::kBtWpSet, app::kBtShuffle, app::kBtSort, app::kBtCopy,
      app::kBtSaveAvi};
  return kOrder[index];
}

bool StoreToolBarGroups(const bool (&checks)[kToolBarChecks], app::Settings* s) {
  bool changed = false;
  for (int i = 0; i < kToolBarChecks; ++i) {
    bool& flag = s->buttons[ToolBarCheckGroup(i)];
    if (flag != checks[i]) changed = true;
    flag = checks[i];
  }
  return changed;
}

std::string InitLoadFileText(const std::string& storedName, int32_t caseMode) {
  if (storedName.empty()) return "なし";
  const std::string path = text::WithCase(storedName, caseMode);
  if (path.size() <= 30) return "ファイル：" + path;
  text::PathParts parts = text::SplitPath(path);
  if (parts.name.size() < 27) return "ファイル：" + parts.name + parts.ext;
  if (parts.name.size() < 37) return parts.name + parts.ext;
  return text::CutBytes(parts.name, 35) + "~" + parts.ext;
}

SnfChoice CheckSnfChoice(const std::string& chosen, int32_t caseMode) {
  SnfChoice c;
  std::string path = text::WithCase(chosen, caseMode);
  text::PathParts parts = text::SplitPath(path);
  if (!text::EqualNoCase(parts.ext, ".snf")) {
    c.message = parts.name + parts.ext + "は、拡張子が違うため設定できません。";
  } else if (songlist::IsForeignName(chosen)) {
    // Stored, the lossy name would make every later start fail to load it.
    c.message = songlist::ForeignNameMessage(chosen, "設定できません。");
  } else {
    c.accepted = true;
    c.path = path;
  }
  return c;
}

bool ChooseInitLoadFile(platform::FileDialog& dialog, platform::Notifier& notifier,
                        int32_t caseMode, bool explorerStyle, std::string* file) {
  platform::FileDialogRequest req;
  req.title = "曲名ファイルの選択";
  req.filter = "曲名ファイル (*.snf)|*.snf|";
  req.defaultExt = "snf";
  req.flags = platform::kDlgFileMustExist | platform::kDlgHideReadOnly |
              (explorerStyle ? platform::kDlgExplorer : 0u);
  platform::FileDialogResult result;
  if (!dialog.Run(req, &result)) return false;
  std::string chosen = result.buffer.substr(0, result.buffer.find('\0'));
  if (chosen.empty()) return false;
  SnfChoice c = CheckSnfChoice(chosen, caseMode);
  if (!c.accepted) {
    notifier.MessageBox(c.message, kSnfRefusedCaption, platform::kMbOk | platform::kMbIconExclamation);
    return false;
  }
  *file = c.path;
  return true;
}

AlarmFields AlarmFieldsOf(int32_t alarmHour, int32_t alarmMinute) {
  AlarmFields f;
  f.pm = alarmHour > 11;
  f.hour = f.pm ? alarmHour - 12 : alarmHour;
  f.minute = alarmMinute;
  return f;
}

std::string AlarmNumberText(int32_t value) { return std::to_string(value); }

int32_t ReadAlarmField(std::string_view text) { return playback::ReadField(std::string(text)); }

static int32_t Wrap(int32_t v, bool up, int32_t max) {
  if (up) return v >= max || v < 0 ? 0 : v + 1;
  return v <= 0 || v > max ? max : v - 1;
}

int32_t StepHour(int32_t hour, bool up) { return Wrap(hour, up, 11); }
int32_t StepMinute(int32_t minute, bool up) { return Wrap(minute, up, 59); }

void StoreAutoPlay(const AutoPlayInput& in, platform::Notifier& notifier, app::Settings* s) {
  s->initLoad = in.initLoad;
  s->initShuffle = in.initShuffle;
  s->initPlay = in.initPlay;
  s->initLoadFile = in.initLoadFile;

  // The alarm fields are checked and stored as the interval dialog does it.
  playback::ApplyAlarmFields(notifier, in.alarmSet, in.hourText, in.minuteText, in.pm,
                             &s->alarmSet, &s->alarmHour, &s->alarmMinute);
}

void UpDownRepeat::Press() {
  pressed_ = true;
  inside_ = true;
  fired_ = false;
  ticks_ = 0;
  ticks2_ = 0;
}

bool UpDownRepeat::Tick() {
  if (!pressed_) {
    ticks_ = 0;
    ticks2_ = 0;
    return false;
  }
  if (!inside_) return false;
  bool post = false;
  // Held on: one step at 200 ms, then after a pause one every 200 ms.
  if (ticks_ > 5 && ++ticks2_ >= 2) {
    ticks2_ = 0;
    post = true;
  }
  if (++ticks_ == 2) post = true;
  if (post) fired_ = true;
  return post;
}

bool UpDownRepeat::Release() {
  bool wasPressed = pressed_;
  pressed_ = false;
  // A quick click posts once, on release.
  return wasPressed && !fired_;
}

AboutLayout AboutTextArea(int32_t width, int32_t height) {
  return {width * 45 / 183, height * 6 / 89, width * 175 / 183, height * 64 / 89};
}

}  // namespace ui
