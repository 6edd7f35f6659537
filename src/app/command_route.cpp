#include "app/command_route.h"

namespace app {

intptr_t CommandRoute::Submit(const RoutedMessage& m) {
  if (depth_ > 0 || !queue_.empty()) {
    queue_.push_back(m);
    if (depth_ == 0) Drain();
    return 0;
  }
  intptr_t r;
  {
    Scope s(*this);
    r = carry_(m);
  }
  return r;
}

void CommandRoute::Leave() {
  if (--depth_ == 0) Drain();
}

void CommandRoute::CarryQueuedNow() {
  while (!queue_.empty()) {
    if (holds_ && holds_(queue_.front())) return;
    RoutedMessage m = queue_.front();
    queue_.pop_front();
    Scope s(*this);
    carry_(m);
  }
}

void CommandRoute::Drain() {
  // Each message runs under the route's depth, so what arrives while it runs
  // queues behind the rest.
  while (!queue_.empty() && depth_ == 0) {
    RoutedMessage m = queue_.front();
    queue_.pop_front();
    ++depth_;
    carry_(m);
    --depth_;
  }
}

}  // namespace app
