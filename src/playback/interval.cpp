#include "playback/interval.h"

#include <cstdio>

#include "text/sjis.h"

namespace playback {

Hms SplitSeconds(int32_t t) {
  if (t < 0) t = 0;
  return Hms{t / 3600, (t % 3600) / 60, t % 60};
}

int32_t TotalSeconds(const Hms& v) {
  int64_t t = int64_t{v.hours} * 3600 + int64_t{v.minutes} * 60 + v.seconds;
  if (t > INT32_MAX) return INT32_MAX;
  if (t < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(t);
}

int32_t ReadField(const std::string& text) {
  return static_cast<int32_t>(text::ReadNumber(text::CutBytes(text, 3)));
}

std::string IntervalText(const Hms& v) {
  std::string s;
  char buf[32];
  if (v.hours > 0) {
    std::snprintf(buf, sizeof buf, "%d時間", static_cast<int>(v.hours));
    s += buf;
  }
  if (v.minutes > 0) {
    std::snprintf(buf, sizeof buf, "%d分", static_cast<int>(v.minutes));
    s += buf;
  }
  if (v.seconds > 0) {
    std::snprintf(buf, sizeof buf, "%d秒", static_cast<int>(v.seconds));
    s += buf;
  }
  if (v.hours == 0 && v.minutes == 0 && v.seconds == 0) s = "なし";
  return s;
}

int32_t IntervalButton(int32_t t, int32_t id) {
  auto clampHigh = [](int32_t v) { return v > kMaxInterval ? kMaxInterval : v; };
  switch (id) {
    case kHourUp: t = clampHigh(t + 3600); return t < 0 ? 3600 : t;
    case kHourDown: return clampHigh(t >= 3600 ? t - 3600 : t);
    case kMinuteUp: t = clampHigh(t + 60); return t < 0 ? 60 : t;
    case kMinuteDown: return clampHigh(t >= 60 ? t - 60 : t);
    case kSecondUp: t = clampHigh(t + 1); return t < 0 ? 1 : t;
    case kSecondDown: t = clampHigh(t - 1); return t < 0 ? 0 : t;
    default: return t;
  }
}

int32_t IntervalOnOk(const Hms& v) {
  int32_t t = TotalSeconds(v);
  if (t < 0) return 0;
  return t > kMaxInterval ? kMaxInterval : t;
}

bool ApplyAlarmFields(platform::Notifier& notifier, bool checked, const std::string& hourText,
                      const std::string& minuteText, bool afternoon, bool* alarmSet,
                      int32_t* alarmHour, int32_t* alarmMinute) {
  const int32_t hour = ReadField(hourText);
  const int32_t minute = ReadField(minuteText);
  const char* error = nullptr;
  if (hour < 0) {
    error = "０時よりも小さな時刻は設定できません。\n目覚し時刻の設定は行われません。";
  } else if (hour > 11) {
    error = "１１時よりも大きな時刻は設定できません。\n目覚し時刻の設定は行われません。";
  } else if (minute < 0) {
    error = "０分よりも小さな時刻は設定できません。\n目覚し時刻の設定は行われません。";
  } else if (minute > 59) {
    error = "５９分よりも大きな時刻は設定できません。\n目覚し時刻の設定は行われません。";
  }
  if (error) {
    notifier.Beep(platform::kBeepWarning);
    notifier.MessageBox(error, "設定エラー", platform::kMbOk | platform::kMbIconExclamation);
    return false;
  }
  *alarmSet = checked;
  *alarmHour = afternoon ? hour + 12 : hour;
  *alarmMinute = minute;
  return true;
}

}  // namespace playback
