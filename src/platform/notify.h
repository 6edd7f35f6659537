// Message boxes and beeps. Style and result values are the platform's own,
// so the Windows side passes them through unchanged.
#pragma once

#include <string>

namespace platform {

enum : unsigned {
  kMbOk = 0x0000,
  kMbOkCancel = 0x0001,
  kMbYesNoCancel = 0x0003,
  kMbYesNo = 0x0004,
  kMbIconStop = 0x0010,
  kMbIconQuestion = 0x0020,
  kMbIconExclamation = 0x0030,
  kMbIconInformation = 0x0040,
  kMbDefButton2 = 0x0100,
};

enum : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

// Beep kinds (the platform's MessageBeep values).
enum : unsigned { kBeepDefault = 0, kBeepWarning = 0x30, kBeepQuestion = 0x20, kBeepInformation = 0x40 };

class Notifier {
 public:
  virtual ~Notifier() = default;
  // Shows a modal message box. owned = false: no owner window (start-up errors).
  virtual int MessageBox(const std::string& text, const std::string& caption,
                         unsigned style, bool owned = true) = 0;
  virtual void Beep(unsigned kind) = 0;
};

}  // namespace platform
