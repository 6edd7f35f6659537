#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_route.h"

using app::CommandRoute;
using app::RoutedMessage;

namespace {

// Records what was carried out; a message with wParam 'O' plays the part of
// opening a device, during which the next batch of messages comes in.
struct Rig {
  std::string done;
  std::vector<std::vector<RoutedMessage>> batches;
  CommandRoute route{[this](const RoutedMessage& m) { return Carry(m); }};

  intptr_t Carry(const RoutedMessage& m) {
    if (m.wParam == 'O' && !batches.empty()) {
      std::vector<RoutedMessage> now = batches.front();
      batches.erase(batches.begin());
      for (const RoutedMessage& a : now) EXPECT_EQ(route.Submit(a), 0);
    }
    done += static_cast<char>(m.wParam);
    return static_cast<intptr_t>(m.wParam) + 1000;
  }
  static RoutedMessage Char(char c) { return {0x400, static_cast<uintptr_t>(c), 100}; }
};

}  // namespace

TEST(AppCommandRoute, ArrivalsDuringWorkRunAfterItInTheOrderSent) {
  Rig r;
  EXPECT_EQ(r.route.Submit(Rig::Char('a')), 'a' + 1000);  // nothing under way: at once
  r.batches = {{Rig::Char('x'), Rig::Char('O'), Rig::Char('y')}, {Rig::Char('z')}};
  // The queued open lets in more; they queue behind what already waits.
  r.route.Submit(Rig::Char('O'));
  EXPECT_EQ(r.done, "aOxOyz");
  EXPECT_FALSE(r.route.Busy());
  EXPECT_EQ(r.route.Pending(), 0u);
}

TEST(AppCommandRoute, ScopedWorkHoldsArrivalsUntilTheOutermostEnds) {
  Rig r;
  {
    CommandRoute::Scope timer(r.route);
    EXPECT_TRUE(r.route.Busy());
    r.route.Submit(Rig::Char('p'));
    {
      CommandRoute::Scope nested(r.route);
      r.route.Submit(Rig::Char('q'));
    }
    EXPECT_EQ(r.done, "");  // the inner end is not the end of the work
    EXPECT_EQ(r.route.Pending(), 2u);
  }
  EXPECT_EQ(r.done, "pq");

  // Work that shows a dialog lets what waits through while the dialog idles;
  // what that lets in still goes behind.
  r.done.clear();
  r.batches = {{Rig::Char('b')}};
  {
    CommandRoute::Scope dialog(r.route);
    r.route.Submit(Rig::Char('O'));
    r.route.Submit(Rig::Char('a'));
    r.route.CarryQueuedNow();
    EXPECT_EQ(r.done, "Oab");
    EXPECT_TRUE(r.route.Busy());
  }

  // A window that goes drops what waits.
  {
    CommandRoute::Scope closing(r.route);
    r.route.Submit(Rig::Char('z'));
    r.route.Discard();
  }
  EXPECT_EQ(r.done, "Oab");
}

// A message that must wait for the work's end (a list change during a list
// operation) is not carried out while the work's box idles, and neither is
// anything behind it; all of it runs, in order, once the work is over.
TEST(AppCommandRoute, AHeldMessageWaitsForTheEndOfTheWorkWithWhatFollows) {
  bool listBusy = true;
  std::string done;
  CommandRoute route(
      [&](const RoutedMessage& m) {
        done += static_cast<char>(m.wParam);
        return intptr_t{0};
      },
      [&](const RoutedMessage& m) { return listBusy && m.wParam == 'L'; });
  {
    CommandRoute::Scope loading(route);
    route.Submit(Rig::Char('a'));
    route.Submit(Rig::Char('L'));
    route.Submit(Rig::Char('b'));
    route.CarryQueuedNow();  // the load's failure box is up
    EXPECT_EQ(done, "a");
    EXPECT_EQ(route.Pending(), 2u);
    listBusy = false;
  }
  EXPECT_EQ(done, "aLb");
}
