// Rules of the option dialogs of the main window (window and tool bar
// customisation, auto-play settings, about box) and of the auto-repeat
// "+"/"-" button, kept apart from the Windows controls that show them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/settings.h"
#include "platform/file_dialog.h"
#include "platform/notify.h"

namespace ui {

// ---- window customisation ----

// Check boxes 501..505, in this order.
struct WindowOptions {
  bool menuBar = true, controlBar = true, statusBar = true, slider = true, systemColor = false;
};
WindowOptions WindowOptionsOf(const app::Settings& s);
void StoreWindowOptions(const WindowOptions& o, app::Settings* s);

// What the main window does after the dialog, beyond showing or hiding the
// three bars (always applied from the current settings).
struct WindowRelayout {
  bool resizeVideoToClient = false;  // the slider came or went under a video
  bool repaintWindow = false;        // the slider is placed or hidden again
  bool fitVideo = false;             // a video kept at its own size (or maximised)
  bool repaintList = false;          // the list's colours changed
};
WindowRelayout WindowRelayoutAfter(const WindowOptions& before, const WindowOptions& after,
                                   bool videoInMain, bool videoOwnSize, bool frameMaximized);

// ---- tool bar customisation ----

// The group of [BUTTON] behind check box 501 + index (the dialog's order is
// not the file's).
constexpr int kToolBarChecks = app::kButtonGroupCount;
app::ButtonGroup ToolBarCheckGroup(int index);
// Stores the twelve flags; true when any changed, so the bar must be rebuilt.
bool StoreToolBarGroups(const bool (&checks)[kToolBarChecks], app::Settings* s);

// ---- auto-play settings ----

// The song-name file as the dialog shows it.
std::string InitLoadFileText(const std::string& storedName, int32_t caseMode);

// A song-name file chosen in the dialog: the case-converted path, or the
// refusal shown when its extension is not ".snf".
struct SnfChoice {
  bool accepted = false;
  std::string path;     // accepted: the name to keep
  std::string message;  // refused: the message box text
};
SnfChoice CheckSnfChoice(const std::string& chosen, int32_t caseMode);
constexpr char kSnfRefusedCaption[] = "エラーメッセージ";
// Runs the open-file dialog for the song-name file (in the current directory).
// True when a file was chosen and accepted: *file is then the new name. A
// refused choice is reported and leaves *file as it was.
bool ChooseInitLoadFile(platform::FileDialog& dialog, platform::Notifier& notifier,
                        int32_t caseMode, bool explorerStyle, std::string* file);

// The alarm as the dialog's fields hold it.
struct AlarmFields {
  bool pm = false;
  int32_t hour = 0;  // 0..11
  int32_t minute = 0;
};
AlarmFields AlarmFieldsOf(int32_t alarmHour, int32_t alarmMinute);
// Text of an hour or minute field.
std::string AlarmNumberText(int32_t value);
// An edit's text as a number: at most 3 characters, unreadable as 0.
int32_t ReadAlarmField(std::string_view text);
// "+"/"-" on the hour (0..11) and the minute (0..59), wrapping around.
int32_t StepHour(int32_t hour, bool up);
int32_t StepMinute(int32_t minute, bool up);

// The auto-play dialog's values after OK.
struct AutoPlayInput {
  bool initLoad = false, initShuffle = false, initPlay = false;
  std::string initLoadFile;
  bool alarmSet = false, pm = false;
  std::string hourText, minuteText;
};
// Stores the start-up values, then the alarm when it is valid; an invalid
// alarm is reported (beep and message) and keeps its old values.
void StoreAutoPlay(const AutoPlayInput& in, platform::Notifier& notifier, app::Settings* s);

// ---- the auto-repeat "+"/"-" button ----

// Fed by the button's mouse and 100 ms timer; says when to post its command.
class UpDownRepeat {
 public:
  void Press();
  void Move(bool inside) { inside_ = inside; }
  // A timer tick; true when the command is to be posted now.
  bool Tick();
  // The button released; true when the command is to be posted now.
  bool Release();
  bool Pressed() const { return pressed_; }
  bool PushedIn() const { return pressed_ && inside_; }

 private:
  bool pressed_ = false, inside_ = false, fired_ = false;
  int32_t ticks_ = 0, ticks2_ = 0;
};
constexpr uint32_t kUpDownTimerMs = 100;

// ---- about box ----

struct AboutLayout {
  int32_t left, top, right, bottom;  // the sunken frame around the texts
};
AboutLayout AboutTextArea(int32_t width, int32_t height);
constexpr char kAboutProduct[] = "CORVELLA";
constexpr char kAboutVersion[] = "Version 1.19";
// The two lines under the version; short enough for one line of the box.
constexpr char kAboutLine2[] = "Copyright (C) 2026 Corvella Project";
constexpr char kAboutLine3[] = "MIDI / WAV / MP3 / Video Player";

}  // namespace ui
