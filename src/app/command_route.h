// The one way in for every command and control message: carried out one at a
// time, in the order they arrived. Opening or closing a device waits on a
// system thread and meanwhile lets in messages sent by other threads and
// programs; such a message must not start or stop a song halfway through the
// work under way, so it waits in a queue and is carried out, in order, as
// soon as that work is over, or earlier when the work stops to wait for the
// user in a dialog or message box. Later arrivals queue behind it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>

namespace app {

// A message as the window received it (the shell's message number and words).
struct RoutedMessage {
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

class CommandRoute {
 public:
  using Carry = std::function<intptr_t(const RoutedMessage&)>;
  // Whether a message must wait for the work under way to end even while
  // that work waits for the user (one that changes the song list while a
  // list operation is halfway).
  using Holds = std::function<bool(const RoutedMessage&)>;
  explicit CommandRoute(Carry carry, Holds holds = nullptr)
      : carry_(std::move(carry)), holds_(std::move(holds)) {}

  // Carries m out now and returns its result; while other work is under way
  // or queued, queues m instead and returns 0.
  intptr_t Submit(const RoutedMessage& m);

  // Work that runs whenever it comes (timer ticks, device notices) but must
  // not be entered halfway either: arrivals wait for its end.
  class Scope {
   public:
    explicit Scope(CommandRoute& r) : r_(r) { ++r_.depth_; }
    ~Scope() { r_.Leave(); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    CommandRoute& r_;
  };

  // The work under way waits for the user (a dialog or a message box is
  // idle): what waits is carried out now, in order, up to the first message
  // that holds; that one and all behind it wait for the work's end.
  void CarryQueuedNow();

  bool Busy() const { return depth_ > 0; }
  size_t Pending() const { return queue_.size(); }
  // The window is going: what waits will never be carried out.
  void Discard() { queue_.clear(); }

 private:
  void Leave();
  void Drain();

  Carry carry_;
  Holds holds_;
  int depth_ = 0;
  std::deque<RoutedMessage> queue_;
};

}  // namespace app
