// SPDX-License-Identifier: GPL-3.0-or-later
// The game in its window on Qt's event loop: the window's frame, what a tick
// repaints, a spin in real time, closing and run-time errors.
#include "window/qt/host.h"

#include <gtest/gtest.h>

#include <gmock/gmock.h>
#include <QAbstractEventDispatcher>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <sstream>
#include <string>

#include "game/driver.h"
#include "tests/qt/window_bench.h"

namespace {

struct HostedGame {
  rt::FixedSeedClock seed{20041218};
  window::PictureService pictures;
  window::Host host{seed, pictures};
  game::Form1& f = host.machine().form();
  std::vector<QString> errors;
  QSignalSpy finished{&host, &window::Host::finished};

  HostedGame() {
    host.setErrorBox([this](QWidget*, const QString& message) { errors.push_back(message); });
    host.start();
    (void)QTest::qWaitForWindowExposed(&host.window());
  }
  QRect rectOf(std::string_view name) { return host.window().windowRect(f.control(name)); }
};

TEST(WindowHost, FixedSizeWindowWithACloseButtonOnly) {
  HostedGame g;
  window::FormWindow& w = g.host.window();
  EXPECT_EQ(QSize(676, 527), w.size());
  EXPECT_EQ(w.minimumSize(), w.maximumSize());
  EXPECT_EQ(QString::fromUtf8("Zarnovik (ZRNV) v. 1.0"), w.windowTitle());
  const Qt::WindowFlags flags = w.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_TRUE(flags & Qt::WindowTitleHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  // The icon comes once the first frame is out.
  for (int i = 0; i < 100 && w.windowIcon().isNull(); ++i) QTest::qWait(10);
  EXPECT_FALSE(w.windowIcon().isNull());
  EXPECT_EQ(QPoint(0, 0), w.cursor().hotSpot());
}

TEST(WindowHost, ATickRepaintsOnlyWhatItChanged) {
  HostedGame g;
  g.host.deliver(g.f.Command2, rt::Event::Click);
  QTest::qWait(50);
  // While the panel was up its area was not repainted beneath it; now the
  // whole game shows.
  g.host.window().takePaintedRegion();
  g.host.timers().stopAll();  // only the ticks delivered here

  g.host.deliver(g.f.Timer5, rt::Event::Timer);
  QApplication::processEvents();
  EXPECT_EQ(QRegion(g.rectOf("Label1")), g.host.window().takePaintedRegion());

  // A tick that changes nothing drawn repaints nothing.
  g.f.Timer3.setEnabled(true);
  g.host.deliver(g.f.Timer3, rt::Event::Timer);
  QApplication::processEvents();
  EXPECT_TRUE(g.host.window().takePaintedRegion().isEmpty());

  // A coin hides the reels: the reel window is repainted, nothing else of the
  // window itself (the money field belongs to its frame).
  g.host.deliver(g.f.LabelInsertCoin, rt::Event::Click);
  QApplication::processEvents();
  EXPECT_EQ(QRegion(QRect(8, 8, 385, 225)), g.host.window().takePaintedRegion());
}

TEST(WindowHost, ASpinInRealTime) {
  HostedGame g;
  QTest::mouseClick(g.host.window().widgetOf(g.f.Command2), Qt::LeftButton);
  g.host.machine().random().rig(0.75f);  // 7, 5, 5: two rings
  g.host.machine().random().rig(0.55f);
  g.host.machine().random().rig(0.55f);
  QElapsedTimer clock;
  QTest::mouseClick(&g.host.window(), Qt::LeftButton, {}, g.rectOf("LabelInsertCoin").center());
  clock.start();
  EXPECT_EQ("95", g.f.LabelCredit.caption());

  // When each reel comes back into view.
  std::array<qint64, 3> stopped{-1, -1, -1};
  bool flashSeen = false;
  while (clock.elapsed() < 10000 && g.f.LabelCredit.caption() != "105") {
    QTest::qWait(5);
    for (int n = 1; n <= 3; ++n)
      if (stopped[n - 1] < 0 && g.f.reel(n).visible()) stopped[n - 1] = clock.elapsed();
    if (!flashSeen && g.f.ImageEmpty.visible()) {
      flashSeen = true;
      bench::keep(g.host.window().grab().toImage(), "window-host-flash.png");
    }
  }
  // Never before due, and in order; how late a busy machine is goes to the
  // benchmarks, not here.
  for (int n = 1; n <= 3; ++n) {
    EXPECT_GE(stopped[n - 1], 500 * n - 5) << "reel " << n;
    if (n > 1) {
      EXPECT_GT(stopped[n - 1], stopped[n - 2]) << "reel " << n;
    }
  }
  EXPECT_TRUE(flashSeen);
  EXPECT_EQ("105", g.f.LabelCredit.caption());
  EXPECT_TRUE(g.errors.empty());
  EXPECT_EQ(0, g.finished.count());
}

TEST(WindowHost, ClosingTheWindowEndsTheGameAtOnce) {
  HostedGame g;
  g.host.deliver(g.f.Command2, rt::Event::Click);
  g.host.deliver(g.f.LabelInsertCoin, rt::Event::Click);  // mid-spin
  g.host.window().close();
  ASSERT_EQ(1, g.finished.count());
  EXPECT_EQ(0, g.finished.at(0).at(0).toInt());
  const std::string tag = g.f.Label1.tag();
  QTest::qWait(600);
  EXPECT_EQ(tag, g.f.Label1.tag()) << "no title tick after closing";
  EXPECT_FALSE(g.f.ImageNumber1.visible()) << "no reel stop after closing";
}

// The X protocol's DestroyNotify event, as the window system sends it when
// another client destroys a window.
struct DestroyNotifyOnTheWire {
  std::uint8_t responseType = 17;
  std::uint8_t pad = 0;
  std::uint16_t sequence = 1;
  std::uint32_t event = 0;
  std::uint32_t window = 0;
  std::uint8_t rest[20] = {};
};

TEST(WindowHost, AWindowDestroyedFromOutsideEndsTheGame) {
  HostedGame g;
  g.host.deliver(g.f.Command2, rt::Event::Click);
  const auto own = static_cast<std::uint32_t>(g.host.window().internalWinId());
  ASSERT_NE(0u, own);
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  ASSERT_NE(nullptr, dispatcher);
  auto deliver = [&](const QByteArray& type, DestroyNotifyOnTheWire event) {
    qintptr result = 0;
    dispatcher->filterNativeEvent(type, &event, &result);
  };
  // Another window destroyed, another kind of event, another platform's
  // events: the game goes on.
  deliver("xcb_generic_event_t", {.event = own + 1, .window = own + 1});
  deliver("xcb_generic_event_t", {.responseType = 18, .event = own, .window = own});
  deliver("windows_generic_MSG", {.event = own, .window = own});
  EXPECT_EQ(0, g.finished.count());
  // Its own window destroyed, here by a client (the type's top bit set).
  deliver("xcb_generic_event_t", {.responseType = 17 | 0x80, .event = own, .window = own});
  ASSERT_EQ(1, g.finished.count());
  EXPECT_EQ(0, g.finished.at(0).at(0).toInt());
  deliver("xcb_generic_event_t", {.event = own, .window = own});
  EXPECT_EQ(1, g.finished.count()) << "the end is told once";
  const std::string tag = g.f.Label1.tag();
  QTest::qWait(600);
  EXPECT_EQ(tag, g.f.Label1.tag()) << "no title tick after the window is gone";
}

TEST(WindowHost, ARunTimeErrorIsShownAndEndsTheProgram) {
  HostedGame g;
  g.host.deliver(g.f.Command2, rt::Event::Click);
  g.f.Label1.setTag("x");  // the strict reading of the title tag fails
  g.host.deliver(g.f.Timer5, rt::Event::Timer);
  EXPECT_TRUE(g.host.machine().dispatcher().halted());
  // The box comes once the failed handler has unwound.
  EXPECT_TRUE(g.errors.empty());
  QTest::qWait(20);
  ASSERT_EQ(1u, g.errors.size());
  EXPECT_TRUE(g.errors[0].contains("Type mismatch")) << g.errors[0].toStdString();
  EXPECT_TRUE(g.errors[0].contains("13"));
  ASSERT_EQ(1, g.finished.count());
  EXPECT_EQ(window::Host::kRuntimeErrorStatus, g.finished.at(0).at(0).toInt());

  // Nothing runs any more: not the coin, not "Новая игра".
  QTest::mouseClick(&g.host.window(), Qt::LeftButton, {}, g.rectOf("LabelInsertCoin").center());
  QTest::mouseClick(g.host.window().widgetOf(g.f.Command1), Qt::LeftButton);
  EXPECT_EQ("100", g.f.LabelCredit.caption());
  EXPECT_TRUE(g.f.LabelInsertCoin.enabled());
  EXPECT_EQ(1u, g.errors.size());
}

TEST(WindowHost, TheObserverIsToldOfEveryEventAfterItsHandlerAndRepaint) {
  HostedGame g;
  struct Seen {
    std::string control;
    rt::Event event;
    std::string money;  // as the handler left it
    bool pending;       // changes not yet handed to the window
  };
  std::vector<Seen> seen;
  g.host.setObserver([&](rt::Control& c, rt::Event e) {
    seen.push_back({std::string(c.name()), e, g.f.LabelCredit.caption(), g.f.hasChanges()});
  });
  g.host.timers().stopAll();  // only the events sent here
  QTest::mouseClick(g.host.window().widgetOf(g.f.Command2), Qt::LeftButton);
  QTest::mouseClick(&g.host.window(), Qt::LeftButton, {}, g.rectOf("LabelInsertCoin").center());
  // The slot is closed now: the window takes this click to nothing.
  QTest::mouseClick(&g.host.window(), Qt::LeftButton, {}, g.rectOf("LabelInsertCoin").center());
  g.host.deliver(g.f.Timer2, rt::Event::Timer);

  const std::vector<std::pair<std::string, rt::Event>> expected{
      {"Command2", rt::Event::Click},
      {"LabelInsertCoin", rt::Event::MouseDown},
      {"LabelInsertCoin", rt::Event::MouseUp},
      {"LabelInsertCoin", rt::Event::Click},
      {"Timer2", rt::Event::Timer},
  };
  ASSERT_EQ(expected.size(), seen.size());
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(expected[i].first, seen[i].control) << i;
    EXPECT_EQ(expected[i].second, seen[i].event) << i;
    EXPECT_FALSE(seen[i].pending) << i << ": told before the repaint";
  }
  EXPECT_EQ("100", seen[2].money);
  EXPECT_EQ("95", seen[3].money) << "told after the coin's handler";

  // After the end nothing more is told.
  g.host.window().close();
  g.host.deliver(g.f.Timer5, rt::Event::Timer);
  EXPECT_EQ(expected.size(), seen.size());
}

TEST(WindowHost, ItsRecordingReplaysOnTheDriverToTheSameStateAndALossSleeps) {
  // Above 2^63: the script's seed is unsigned, as the clock's.
  rt::FixedSeedClock seed{9223372036874817026u};
  window::PictureService pictures;
  window::Host host{seed, pictures};
  std::ostringstream recording;
  host.setRecording(&recording);
  host.start();
  (void)QTest::qWaitForWindowExposed(&host.window());
  game::Form1& f = host.machine().form();
  QTest::mouseClick(host.window().widgetOf(f.Command2), Qt::LeftButton);
  for (const float r : {0.15f, 0.25f, 0.35f}) host.rig(r);  // 1, 2, 3: a loss
  QTest::mouseClick(&host.window(), Qt::LeftButton, {},
                    host.window().windowRect(f.LabelInsertCoin).center());
  QTest::qWait(2000);
  host.window().close();

  const std::string script = recording.str();
  EXPECT_EQ(0u, script.rfind("seed 9223372036874817026\n", 0)) << script;
  EXPECT_THAT(script, ::testing::HasSubstr("\nwelcome\n"));
  EXPECT_THAT(script, ::testing::HasSubstr("\nrig 0.1500000059604644775390625\n"));
  // The click's press, release and click, with the time passing between them.
  std::string inputs;
  std::istringstream lines(script);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("wait ", 0) != 0 && line.rfind("# ", 0) != 0) inputs += line + "\n";
  }
  EXPECT_THAT(inputs, ::testing::HasSubstr("\npress\nrelease\ncoin\n"));
  // The evaluation ran twice, the second time to no effect, then slept.
  if (host.recordingExact()) {
    std::size_t evaluations = 0;
    for (std::size_t at = script.find("# Timer3\n"); at != std::string::npos;
         at = script.find("# Timer3\n", at + 1)) {
      ++evaluations;
    }
    EXPECT_EQ(2u, evaluations);
  }

  // A tick missed by a host stalled past its grid (a loaded machine) cannot be
  // written as a script; what was recorded then is checked above only.
  if (!host.recordingExact()) GTEST_SKIP() << "ticks were missed: no exact replay";
  rt::FixedSeedClock unused(0);
  std::istringstream in(script + "show\n");
  std::ostringstream out, err;
  game::ScriptDriver driver(unused, out, err);
  EXPECT_EQ(game::kExitOk, driver.run(in)) << err.str();
  EXPECT_EQ(game::Snapshot::of(f).json(host.recordedUntil()) + "\n", out.str());
}

}  // namespace
