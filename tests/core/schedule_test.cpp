// SPDX-License-Identifier: GPL-3.0-or-later
// The timers' schedule: parking after a quiet tick, waking on what the tick
// read, resuming on the grid in the right place among ticks due together,
// and a late host's missed points.
#include "runtime/schedule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/virtual_clock.h"

namespace {

constexpr rt::FormSpec kForm{.name = "W"};
constexpr rt::ControlSpec kControls[] = {
    {.name = "Money", .kind = rt::Kind::Label, .container = "W"},
    {.name = "Strip", .kind = rt::Kind::Label, .container = "W"},
    {.name = "Early", .kind = rt::Kind::Timer, .container = "W", .enabled = false, .interval = 10},
    {.name = "Waker", .kind = rt::Kind::Timer, .container = "W", .enabled = false, .interval = 50},
    {.name = "Late", .kind = rt::Kind::Timer, .container = "W", .enabled = false, .interval = 10},
};

// Early and Late read Money and change nothing (a lost spin's evaluation);
// Waker changes whatever the test says at its ticks.
struct Rig {
  rt::Form form{kForm, kControls};
  rt::Random random;
  rt::Dispatcher dispatcher{form};
  rt::VirtualClock clock;
  rt::Control& money = form.control("Money");
  rt::Control& strip = form.control("Strip");
  rt::Control& early = form.control("Early");
  rt::Control& waker = form.control("Waker");
  rt::Control& late = form.control("Late");
  std::vector<std::string> log;

  explicit Rig(rt::Schedule::Parking parking = rt::Schedule::Parking::On,
               rt::Dispatcher::Purity purity = rt::Dispatcher::Purity::Pure)
      : clock(form, dispatcher, parking) {
    dispatcher.watchGenerator(random);
    for (rt::Control* t : {&early, &late}) {
      dispatcher.bind(
          *t, rt::Event::Timer,
          [this, t] {
            (void)money.caption();
            log.push_back(std::string(t->name()) + "@" + std::to_string(clock.now()));
          },
          purity);
    }
  }
  void wakeWith(rt::Control& control, bool caption) {
    dispatcher.bind(
        waker, rt::Event::Timer,
        [this, &control, caption] {
          log.push_back("Waker@" + std::to_string(clock.now()));
          if (caption) control.setCaption("changed at " + std::to_string(clock.now()));
          if (!caption) control.setVisible(!control.visible());
        },
        rt::Dispatcher::Purity::Pure);
  }
};

TEST(Schedule, AQuietTickSleepsAndWakesOnItsGridInTheOrderItWouldHaveHad) {
  // Early (listed before Waker) and Late (after it) both fall due at 50 with
  // Waker. Asleep since 20, each wakes on Waker's change of Money: Early's
  // point at 50 came before Waker's tick, so it next ticks at 60; Late's
  // comes after it, at 50.
  Rig rig;
  rig.wakeWith(rig.money, true);
  rig.early.setEnabled(true);
  rig.late.setEnabled(true);
  rig.waker.setEnabled(true);
  rig.clock.advance(60);
  EXPECT_EQ((std::vector<std::string>{"Early@10", "Late@10", "Waker@50", "Late@50", "Early@60"}),
            rig.log);
  EXPECT_TRUE(rig.clock.schedule().parked(0));
  EXPECT_TRUE(rig.clock.schedule().parked(2));
}

TEST(Schedule, WhatWakesATimerAndWhatDoesNot) {
  struct Case {
    const char* what;
    rt::Schedule::Parking parking;
    rt::Dispatcher::Purity purity;
    bool wakeMoney;          // Waker changes Money (read), else Strip (not read)
    std::size_t earlyTicks;  // in 100 ms
  };
  const Case cases[] = {
      {"parked, woken by what it read", rt::Schedule::Parking::On, rt::Dispatcher::Purity::Pure,
       true, 3},  // 10, then 60 and 110 after Waker's 50 and 100
      {"parked, something else changes", rt::Schedule::Parking::On, rt::Dispatcher::Purity::Pure,
       false, 1},
      {"parking off", rt::Schedule::Parking::Off, rt::Dispatcher::Purity::Pure, false, 11},
      {"a handler that may read the clock", rt::Schedule::Parking::On,
       rt::Dispatcher::Purity::Impure, false, 11},
  };
  for (const Case& c : cases) {
    Rig rig(c.parking, c.purity);
    rig.wakeWith(c.wakeMoney ? rig.money : rig.strip, c.wakeMoney);
    rig.early.setEnabled(true);
    rig.waker.setEnabled(true);
    rig.clock.advance(110);
    EXPECT_EQ(c.earlyTicks, rig.clock.ticks(0)) << c.what;
  }
}

TEST(Schedule, AChangeFromOutsideWakesOnTheNextPointAndSwitchingClearsTheSleep) {
  Rig rig;
  rig.early.setEnabled(true);
  rig.clock.advance(35);  // ticks at 10, asleep since
  rig.money.setCaption("set by hand at 35");
  rig.clock.advance(10);  // wakes at 40
  EXPECT_EQ((std::vector<std::string>{"Early@10", "Early@40"}), rig.log);
  rig.early.setEnabled(false);
  rig.clock.advance(2);
  rig.early.setEnabled(true);  // a fresh interval from 47
  EXPECT_FALSE(rig.clock.schedule().parked(0));
  EXPECT_EQ(57, rig.clock.nextDue());
}

TEST(Schedule, ADrawIsAChange) {
  Rig rig;
  rig.dispatcher.bind(
      rig.early, rt::Event::Timer, [&rig] { (void)rig.random.next(); },
      rt::Dispatcher::Purity::Pure);
  rig.early.setEnabled(true);
  rig.clock.advance(100);
  EXPECT_EQ(10u, rig.clock.ticks(0));
  EXPECT_EQ(10u, rig.random.draws());
}

TEST(Schedule, AHostBehindByLessThanTheLeewayCatchesUpAndFurtherBehindMissesPoints) {
  rt::Form form{kForm, kControls};
  rt::Dispatcher dispatcher{form};
  rt::Schedule schedule(form, rt::Schedule::Parking::Off);
  rt::Control& early = form.control("Early");
  schedule.switched(early, true, 0);  // due at 10, 20, 30, ...
  // The next point is kept unless it is itself kLeeway or more overdue when
  // the late tick is delivered.
  const struct {
    std::int64_t real, ticksAt, nextDue;
  } steps[] = {{10, 10, 20},
               {25, 20, 30},
               {49, 30, 40} /* 40 is 9 ms overdue: kept */,
               {95, 40, 100} /* 50 is 45 ms overdue */};
  std::int64_t now = 0;
  for (const auto& step : steps) {
    EXPECT_EQ(&early, schedule.deliverNext(step.real, step.real, now, dispatcher, [](rt::Control&) {
      return rt::Dispatcher::Outcome::Handled;
    }));
    EXPECT_EQ(step.ticksAt, now);
    EXPECT_EQ(step.nextDue, schedule.due(0));
  }
  EXPECT_EQ(5u, schedule.missed(0));  // 50, 60, 70, 80, 90
  EXPECT_EQ(4u, schedule.ticks(0));
}

// The order the schedule keeps, checked tick by tick against a plain search
// of every timer's due time, while the handlers switch timers on and off,
// change what parked ones read, and change nothing (and park).
TEST(Schedule, TheTimerDueFirstIsTheEarliestOfAllAndTheFirstListedOfATie) {
  static constexpr rt::ControlSpec kMany[] = {
      {.name = "Money", .kind = rt::Kind::Label, .container = "W"},
      {.name = "T0", .kind = rt::Kind::Timer, .container = "W", .enabled = true, .interval = 3},
      {.name = "T1", .kind = rt::Kind::Timer, .container = "W", .enabled = true, .interval = 5},
      {.name = "T2", .kind = rt::Kind::Timer, .container = "W", .enabled = false, .interval = 5},
      {.name = "T3", .kind = rt::Kind::Timer, .container = "W", .enabled = true, .interval = 15},
      {.name = "T4", .kind = rt::Kind::Timer, .container = "W", .enabled = false, .interval = 1},
  };
  for (const auto parking : {rt::Schedule::Parking::On, rt::Schedule::Parking::Off}) {
    rt::Form form{kForm, kMany};
    rt::Dispatcher dispatcher{form};
    rt::VirtualClock clock(form, dispatcher, parking);
    std::uint32_t state = 12345;  // a small fixed generator, so the run is the same every time
    auto roll = [&state](std::uint32_t n) {
      state = state * 1103515245u + 12345u;
      return (state >> 16) % n;
    };
    for (std::size_t t = 0; t < form.timers().size(); ++t) {
      dispatcher.bind(
          *form.timers()[t], rt::Event::Timer,
          [&form, &roll] {
            rt::Control& money = form.control("Money");
            (void)money.caption();
            const std::uint32_t what = roll(8);
            if (what == 0) {
              rt::Control& other = *form.timers()[roll(5)];
              other.setEnabled(!other.enabled());
            } else if (what < 6) {
              money.setCaption(std::to_string(roll(1000)));
            }  // else quiet: parks when parking is on
          },
          rt::Dispatcher::Purity::Pure);
    }
    std::size_t ticks = 0;
    for (int i = 0; i < 3000; ++i) {
      const rt::Schedule& schedule = clock.schedule();
      std::size_t first = schedule.size();
      for (std::size_t t = 0; t < schedule.size(); ++t) {
        if (schedule.due(t) != rt::Schedule::kNever &&
            (first == schedule.size() || schedule.due(t) < schedule.due(first))) {
          first = t;
        }
      }
      if (first == schedule.size()) {
        // Everything off or asleep: a change from outside starts it again.
        EXPECT_EQ(rt::Schedule::kNever, clock.nextDue());
        form.timers()[roll(5)]->setEnabled(true);
        form.control("Money").setCaption("woken");
        continue;
      }
      const std::int64_t due = schedule.due(first);
      ASSERT_EQ(due, clock.nextDue()) << "at tick " << ticks;
      ASSERT_EQ(&schedule.timer(first), clock.step(rt::Schedule::kNever)) << "at tick " << ticks;
      EXPECT_EQ(due, clock.now());
      ++ticks;
    }
    EXPECT_GT(ticks, 1500u);
  }
}

}  // namespace
