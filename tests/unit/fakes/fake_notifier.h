// Records message boxes and beeps; answers with a scripted result.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/notify.h"

struct FakeNotifier : platform::Notifier {
  struct Box {
    std::string text, caption;
    unsigned style;
    bool owned;
  };
  std::vector<Box> boxes;
  std::vector<unsigned> beeps;
  std::deque<int> answers;  // next results; kIdOk (or kIdYes) when empty
  std::function<void()> whileShown;  // what happens while a box is up

  int MessageBox(const std::string& text, const std::string& caption, unsigned style,
                 bool owned) override {
    boxes.push_back({text, caption, style, owned});
    if (whileShown) whileShown();
    if (!answers.empty()) {
      int a = answers.front();
      answers.pop_front();
      return a;
    }
    return (style & 0x0F) == platform::kMbYesNo ? platform::kIdYes : platform::kIdOk;
  }
  void Beep(unsigned kind) override { beeps.push_back(kind); }
};
