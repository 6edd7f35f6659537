// The rules of the interval dialog (the pause between songs as hours,
// minutes and seconds) and of the alarm fields of the auto-play dialog.
#pragma once

#include <cstdint>
#include <string>

#include "platform/notify.h"

namespace playback {

constexpr int32_t kMaxInterval = 86400;

struct Hms {
  int32_t hours = 0, minutes = 0, seconds = 0;
};

Hms SplitSeconds(int32_t t);
int32_t TotalSeconds(const Hms& v);
// An edit field's number (at most 3 characters are read).
int32_t ReadField(const std::string& text);
// "%d時間%d分%d秒" with the zero parts left out, "なし" for all zero.
std::string IntervalText(const Hms& v);
// The time dialog's + and - buttons (ids of its resource).
enum IntervalButtonId : int32_t {
  kHourUp = 401, kHourDown, kMinuteUp, kMinuteDown, kSecondUp, kSecondDown
};
// One of those buttons applied to t; other ids leave it.
int32_t IntervalButton(int32_t t, int32_t buttonId);
// OK: the value stored into INTERVAL.
int32_t IntervalOnOk(const Hms& v);

// The alarm fields of the auto-play dialog on OK: hour 0..11 with the
// afternoon choice, minute 0..59. Shows the first error found and leaves
// the alarm as it was; true when the fields were taken.
bool ApplyAlarmFields(platform::Notifier& notifier, bool checked, const std::string& hourText,
                      const std::string& minuteText, bool afternoon, bool* alarmSet,
                      int32_t* alarmHour, int32_t* alarmMinute);

}  // namespace playback
