// The timer delivery rules on Qt's event loop. Only lower bounds on time are
// asserted: a slow machine may deliver late, never early or in a burst.
#include "runtime/qt/qt_timer_host.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <array>
#include <vector>

#include "runtime/events.h"

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
  rt::QtTimerHost host{form, [this](rt::Control& t) { dispatcher.deliver(t, rt::Event::Timer); }};
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

TEST(QtTimerHost, AOneMillisecondTimerTicksEveryTenMilliseconds) {
  static constexpr rt::FormSpec kFastForm{.name = "Fast", .caption = "timers"};
  static constexpr std::array<rt::ControlSpec, 1> kFast{{
      {.name = "TimerF",
       .kind = rt::Kind::Timer,
       .container = "Fast",
       .enabled = false,
       .interval = 1},
  }};
  rt::Form form{kFastForm, kFast};
  rt::Dispatcher dispatcher{form};
  rt::QtTimerHost host{form, [&](rt::Control& t) { dispatcher.deliver(t, rt::Event::Timer); }};
  rt::Control& f = form.control("TimerF");
  EXPECT_EQ(rt::QtTimerHost::realInterval(f), rt::QtTimerHost::kShortestInterval);
  QElapsedTimer clock;
  std::vector<qint64> ticks;
  dispatcher.bind(f, rt::Event::Timer, [&] { ticks.push_back(clock.elapsed()); });
  host.start();
  clock.start();
  f.setEnabled(true);
  QTest::qWait(200);
  f.setEnabled(false);
  ASSERT_FALSE(ticks.empty()) << "the short timer still ticks";
  EXPECT_GE(ticks.front(), 9);
  EXPECT_LE(ticks.size(), 21u) << "200 ms hold at most 20 ticks of 10 ms";
  for (std::size_t i = 1; i < ticks.size(); ++i) EXPECT_GE(ticks[i] - ticks[i - 1], 9) << i;
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

}  // namespace
