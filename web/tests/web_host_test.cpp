// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/web_host.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "game/script.h"

namespace {

// The page's host driven as a browser drives it: woken `late` ms after each
// tick falls due, the player's inputs at the browser's own (fractional) times.
struct Browser {
  web::WebHost host;
  double late;
  double now = 0;
  int wakeups = 0;

  Browser(std::uint64_t seed, double late) : host(rt::FixedSeedClock(seed)), late(late) {}

  void runUntil(double t) {
    for (double due = host.nextDue(); due >= 0 && due + late <= t; due = host.nextDue()) {
      now = due + late;
      host.tick(now);
      ++wakeups;
    }
    now = t;
  }
  void input(const char* control, rt::Event event) {
    host.deliver(host.machine().form().control(control).index(), event, now);
  }
  void click(const char* control) {
    input(control, rt::Event::MouseDown);
    input(control, rt::Event::MouseUp);
    input(control, rt::Event::Click);
  }
};

std::string replayed(const std::string& script) {
  rt::FixedSeedClock seeds{0};
  std::ostringstream out, err;
  std::istringstream in(script + "show\n");
  game::ScriptDriver driver(seeds, out, err);
  EXPECT_EQ(0, driver.run(in)) << err.str();
  std::string last = out.str();
  last.pop_back();
  return last.substr(last.rfind('\n') + 1);
}

TEST(WebHost, ItsRecordingReplaysToItsStateWhileTheBrowserWakesWithinTheLeeway) {
  // Seed 15's first spin wins 5 rings (evaluated at 2501); a coin 1.5 ms
  // after the transfer's first tick falls due, which opens the closed slot:
  // a browser that has not yet woken for the tick takes the coin before it,
  // on the slot still closed, and so must the recording. Then a coin in the
  // transfer.
  for (const double late : {0.0, 0.4, 3.0, 9.6}) {
    Browser b(15, late);
    b.runUntil(300.5);
    b.input("Command2", rt::Event::Click);
    b.runUntil(1000.25);
    b.click("LabelInsertCoin");
    b.runUntil(2802.5);
    b.click("LabelInsertCoin");
    b.runUntil(3100.75);
    b.click("LabelInsertCoin");
    b.runUntil(7000.0);
    EXPECT_EQ(replayed(b.host.recording()), b.host.show()) << "late " << late;
  }
}

TEST(WebHost, AnIdlePageAfterALossWakesOnlyForTheTitleStrip) {
  Browser b(254, 1.0);
  b.input("Command2", rt::Event::Click);
  b.click("LabelInsertCoin");
  b.runUntil(2000.0);
  const int before = b.wakeups;
  b.runUntil(12000.0);
  // The title strip blinks 4 times a second; the lost spin's evaluation sleeps.
  EXPECT_LE(b.wakeups - before, 41);
  EXPECT_NE(std::string::npos, b.host.show().find("\"money\":\"95\""));
}

}  // namespace
