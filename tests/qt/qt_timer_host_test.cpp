// SPDX-License-Identifier: GPL-3.0-or-later
// The timer delivery rules on Qt's event loop. Only lower bounds on time are
// asserted: a slow machine may deliver late, never early or in a burst.
#include "runtime/qt/qt_timer_host.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <array>
#include <chrono>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "game/input.h"
#include "game/machine.h"
#include "game/snapshot.h"
#include "runtime/events.h"
#include "runtime/virtual_clock.h"

namespace {

constexpr rt::FormSpec kForm{.name = "Test", .caption = "timers"};
constexpr std::array<rt::ControlSpec, 2> kTimers{{
    {.name = "TimerA",
     .kind = rt::Kind::Timer,
     .container = "Test",
     .enabled = false,
     .interval = 100},
    {.name = "TimerB",
     .kind = rt::Kind::Timer,
     .container = "Test",
     .enabled = false,
     .interval = 10},
}};

struct Rig {
  rt::Form form{kForm, kTimers};
  rt::Dispatcher dispatcher{form};
  rt::QtTimerHost host{form, dispatcher,
                       [this](rt::Control& t) { return dispatcher.deliver(t, rt::Event::Timer); }};
  rt::Control& a = form.control("TimerA");
  rt::Control& b = form.control("TimerB");
  QElapsedTimer clock;
  std::vector<qint64> ticksA, ticksB;

  Rig() {
    dispatcher.bind(a, rt::Event::Timer, [this] { ticksA.push_back(clock.elapsed()); });
    dispatcher.bind(b, rt::Event::Timer, [this] { ticksB.push_back(clock.elapsed()); });
    host.start();
    clock.start();
  }
};

TEST(QtTimerHost, SwitchingOnStartsAFreshInterval) {
  Rig rig;
  rig.a.setEnabled(true);
  QTest::qWait(150);  // one tick at about 100 ms, the next would be due at 200
  rig.a.setEnabled(false);
  rig.a.setEnabled(true);  // still off-then-on: a fresh 100 ms from here
  const qint64 switchedOn = rig.clock.elapsed();
  const std::size_t before = rig.ticksA.size();
  ASSERT_TRUE(QTest::qWaitFor([&] { return rig.ticksA.size() > before; }, 2000));
  EXPECT_GE(rig.ticksA.back() - switchedOn, 99);
  EXPECT_GE(rig.ticksA.front(), 99);
}

TEST(QtTimerHost, SwitchingOnATimerThatIsOnChangesNothing) {
  Rig rig;
  rig.a.setEnabled(true);
  QTest::qWait(60);
  rig.a.setEnabled(true);  // no change: the tick stays due at about 100 ms
  ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.ticksA.empty(); }, 2000));
  EXPECT_GE(rig.ticksA.front(), 99);
}

TEST(QtTimerHost, NoTickAfterAHandlerSwitchesItsTimerOff) {
  Rig rig;
  rig.dispatcher.bind(rig.b, rt::Event::Timer, [&rig] {
    rig.ticksB.push_back(rig.clock.elapsed());
    rig.b.setEnabled(false);
  });
  rig.b.setEnabled(true);
  QTest::qWait(120);
  EXPECT_EQ(1u, rig.ticksB.size());
}

TEST(QtTimerHost, NoTickAfterAnotherHandlerSwitchesTheTimerOff) {
  Rig rig;
  // B's first tick (due long before A's) stays busy until A's tick is
  // overdue, then switches A off: that tick must not be delivered.
  rig.dispatcher.bind(rig.b, rt::Event::Timer, [&rig] {
    rig.ticksB.push_back(rig.clock.elapsed());
    while (rig.clock.elapsed() < 150) QThread::msleep(5);
    rig.a.setEnabled(false);
    rig.b.setEnabled(false);
  });
  rig.a.setEnabled(true);
  rig.b.setEnabled(true);
  QTest::qWait(300);
  EXPECT_EQ(1u, rig.ticksB.size());
  EXPECT_TRUE(rig.ticksA.empty()) << "first tick of A at " << rig.ticksA.front() << " ms";
}

TEST(QtTimerHost, MissedTicksAreNotMadeUp) {
  Rig rig;
  qint64 busyEnded = -1;
  rig.dispatcher.bind(rig.b, rt::Event::Timer, [&] {
    rig.ticksB.push_back(rig.clock.elapsed());
    if (rig.ticksB.size() == 1) {
      QThread::msleep(100);  // ten intervals of B pass while this handler runs
      busyEnded = rig.clock.elapsed();
    }
  });
  rig.b.setEnabled(true);
  QTest::qWait(200);
  rig.b.setEnabled(false);
  ASSERT_GE(busyEnded, 0);
  // At most one tick waited for the busy handler; the rest follow one interval apart.
  std::size_t soonAfter = 0;
  for (qint64 t : rig.ticksB) {
    if (t >= busyEnded && t < busyEnded + 5) ++soonAfter;
  }
  EXPECT_LE(soonAfter, 1u);
  // Without the busy tick's ten lost intervals, 200 ms hold at most 20 ticks.
  EXPECT_LE(rig.ticksB.size(), 12u);
}

// A form of its own: a 1 ms timer, and two that fall due together.
constexpr rt::FormSpec kFastForm{.name = "Fast", .caption = "timers"};
constexpr std::array<rt::ControlSpec, 4> kFast{{
    {.name = "Label", .kind = rt::Kind::Label, .container = "Fast"},
    {.name = "TimerF",
     .kind = rt::Kind::Timer,
     .container = "Fast",
     .enabled = false,
     .interval = 1},
    {.name = "TimerP",
     .kind = rt::Kind::Timer,
     .container = "Fast",
     .enabled = false,
     .interval = 25},
    {.name = "TimerQ",
     .kind = rt::Kind::Timer,
     .container = "Fast",
     .enabled = false,
     .interval = 50},
}};

struct FastRig {
  rt::Form form{kFastForm, kFast};
  rt::Dispatcher dispatcher{form};
  rt::QtTimerHost host{form, dispatcher,
                       [this](rt::Control& t) { return dispatcher.deliver(t, rt::Event::Timer); }};
  rt::Control& label = form.control("Label");
  rt::Control& f = form.control("TimerF");
  rt::Control& p = form.control("TimerP");
  rt::Control& q = form.control("TimerQ");
  std::vector<std::pair<std::string, std::int64_t>> log;  // timer, game time

  FastRig() {
    for (rt::Control* t : {&f, &p, &q}) {
      dispatcher.bind(*t, rt::Event::Timer,
                      [this, t] { log.emplace_back(std::string(t->name()), host.now()); });
    }
    host.start();
  }
};

TEST(QtTimerHost, AOneMillisecondTimerTicksEveryMillisecondOfItsGrid) {
  FastRig rig;
  rig.f.setEnabled(true);
  const std::int64_t on = rig.host.now();
  QTest::qWait(100);
  rig.f.setEnabled(false);
  ASSERT_GE(rig.log.size(), 2u);
  // Each tick at its own due time: one after the switch, then one a
  // millisecond apart; a host further behind than the leeway misses points.
  EXPECT_EQ(on + 1, rig.log.front().second);
  std::int64_t last = rig.log.front().second;
  for (std::size_t i = 1; i < rig.log.size(); ++i) {
    EXPECT_GT(rig.log[i].second, last);
    last = rig.log[i].second;
  }
  EXPECT_EQ(rig.log.size() + rig.host.missed(), static_cast<std::size_t>(last - on));
  EXPECT_GE(rig.log.size(), 50u) << "not floored at 10 ms";
}

TEST(QtTimerHost, TicksDueTogetherGoInDescriptionOrder) {
  FastRig rig;
  rig.q.setEnabled(true);
  rig.p.setEnabled(true);  // switched in the same millisecond, or the next
  QTest::qWait(230);
  rig.p.setEnabled(false);
  rig.q.setEnabled(false);
  int together = 0;
  for (std::size_t i = 1; i < rig.log.size(); ++i) {
    if (rig.log[i].second == rig.log[i - 1].second) {
      ++together;
      EXPECT_EQ("TimerP", rig.log[i - 1].first);
      EXPECT_EQ("TimerQ", rig.log[i].first);
    }
  }
  if (rig.log.size() >= 2 && rig.host.missed() == 0 && rig.log.front().second % 25 == 0) {
    EXPECT_GT(together, 0);
  }
}

TEST(QtTimerHost, AQuietTickSleepsUntilWhatItReadChanges) {
  FastRig rig;
  // TimerF reads the label's caption and changes nothing: it ticks once,
  // sleeps, and wakes when the caption changes, on its grid.
  rig.dispatcher.bind(
      rig.f, rt::Event::Timer,
      [&rig] { rig.log.emplace_back(std::string(rig.label.caption()), rig.host.now()); },
      rt::Dispatcher::Purity::Pure);
  rig.f.setEnabled(true);
  QTest::qWait(60);
  ASSERT_EQ(1u, rig.log.size());
  EXPECT_TRUE(rig.host.schedule().parked(0));
  rig.label.setVisible(false);  // not read: it sleeps on
  QTest::qWait(20);
  EXPECT_EQ(1u, rig.log.size());
  rig.label.setCaption("changed");
  ASSERT_TRUE(QTest::qWaitFor([&] { return rig.log.size() == 2; }, 2000));
  EXPECT_EQ("changed", rig.log.back().first);
  EXPECT_EQ(1u, rig.log.size() - 1);
  QTest::qWait(20);
  EXPECT_EQ(2u, rig.log.size()) << "asleep again after the quiet tick";
}

TEST(QtTimerHost, ATickDueAMillisecondLaterComesBeforeWhatTheHandlerPosted) {
  // The reel's stop switches on the 1 ms evaluation and asks for a repaint;
  // the evaluation goes out first, so that both are painted in one frame.
  FastRig rig;
  std::vector<std::string> order;
  rig.dispatcher.bind(rig.p, rt::Event::Timer, [&] {
    order.emplace_back("P");
    rig.p.setEnabled(false);
    rig.f.setEnabled(true);
    QTimer::singleShot(0, [&] { order.emplace_back("posted"); });
  });
  rig.dispatcher.bind(rig.f, rt::Event::Timer, [&] {
    order.emplace_back("F");
    rig.f.setEnabled(false);
  });
  rig.p.setEnabled(true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 3; }, 2000));
  EXPECT_EQ((std::vector<std::string>{"P", "F", "posted"}), order);
}

TEST(QtTimerHost, StopAllSilencesEveryTimer) {
  Rig rig;
  rig.a.setEnabled(true);
  rig.b.setEnabled(true);
  rig.host.stopAll();
  QTest::qWait(150);
  EXPECT_TRUE(rig.ticksA.empty());
  EXPECT_TRUE(rig.ticksB.empty());
}

// The window's host and the virtual clock deliver every tick through the
// schedule's one tick routine. Two games given the same random inputs, one
// on each host, must stay in the same state after every step. The window's
// host runs on a clock of the test's own and is a little late on every tick
// (less than the leeway, so that it misses none), as Qt is.
class TestClock final : public rt::QtTimerHost::RealClock {
 public:
  std::chrono::steady_clock::time_point now() const override { return t; }
  void sleepUntil(std::chrono::steady_clock::time_point until) override { t = std::max(t, until); }
  std::chrono::steady_clock::time_point t{std::chrono::hours(1)};
};

TEST(QtTimerHost, PlaysTheSameGameAsTheVirtualClock) {
  rt::FixedSeedClock seeds{15};
  game::Machine onClock(seeds), onHost(seeds);
  rt::VirtualClock clock(onClock.form(), onClock.dispatcher());
  TestClock real;
  rt::QtTimerHost host(onHost.form(), onHost.dispatcher(), [&onHost](rt::Control& timer) {
    return onHost.deliver(timer, rt::Event::Timer);
  });
  host.setClock(real);
  onClock.load();
  onHost.load();
  host.start();
  const auto epoch = real.t;
  const auto ms = [](std::int64_t n) { return std::chrono::milliseconds(n); };

  std::mt19937 roll(2026);
  constexpr std::int64_t kWaits[] = {0, 1, 2, 124, 300, 499, 500, 1500, 1501, 1502, 2000, 4000};
  for (int step = 0; step < 600; ++step) {
    std::int64_t until = clock.now() + kWaits[roll() % std::size(kWaits)];
    // The window's host: each tick delivered up to 9 ms after it fell due;
    // one slept for in the same round may take it past `until`, and the
    // input then comes after it on both hosts.
    while (host.schedule().nextDue() <= until) {
      const std::int64_t late =
          std::min<std::int64_t>(roll() % 10, until - host.schedule().nextDue());
      real.t = std::max(real.t, epoch + ms(host.schedule().nextDue() + late));
      host.deliverDue();
      until = std::max(until, host.realNow());
    }
    real.t = epoch + ms(until);
    clock.advance(until - clock.now());

    const game::Input input = game::kInputs[roll() % game::kInputs.size()];
    if (game::reachable(onClock.form(), input)) {
      onClock.deliver(game::controlOf(onClock.form(), input), game::eventOf(input));
      host.beginEvent();
      onHost.deliver(game::controlOf(onHost.form(), input), game::eventOf(input));
      host.endEvent();
    }
    ASSERT_EQ(game::Snapshot::of(onClock.form()).json(clock.now()),
              game::Snapshot::of(onHost.form()).json(clock.now()))
        << "at step " << step << ", t=" << clock.now();
    for (std::size_t t = 0; t < clock.schedule().size(); ++t)
      ASSERT_EQ(clock.ticks(t), host.schedule().ticks(t)) << "timer " << t << " at step " << step;
  }
  EXPECT_EQ(0u, host.missed());
}

}  // namespace
