// SPDX-License-Identifier: GPL-3.0-or-later
// The timing trace behind the benchmarks: each tick's lateness against the
// ideal schedule, each frame with the area painted, and the answer to a click
// once everything its handler changed is on screen.
#include "window/qt/trace.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

using window::Trace;
using namespace std::chrono_literals;

// The trace's lines so far, each split into its words.
std::vector<std::vector<std::string>> lines(std::FILE* f) {
  std::fflush(f);
  std::rewind(f);
  std::vector<std::vector<std::string>> result;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, f)) {
    std::istringstream words(buffer);
    std::vector<std::string> line;
    for (std::string w; words >> w;) line.push_back(w);
    result.push_back(line);
  }
  std::fseek(f, 0, SEEK_END);
  return result;
}

std::vector<std::vector<std::string>> only(const std::vector<std::vector<std::string>>& all,
                                           const std::string& kind) {
  std::vector<std::vector<std::string>> result;
  for (const auto& line : all)
    if (!line.empty() && line[0] == kind) result.push_back(line);
  return result;
}

TEST(TraceTest, TicksAreMeasuredAgainstTheIdealScheduleWithoutMakingUpMissedOnes) {
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  Trace trace(f);
  const Trace::Clock::time_point t0{};
  trace.timerOn("T", 100, t0);

  struct Case {
    Trace::Clock::duration at;
    const char* late;
    const char* missed;
  };
  const Case cases[] = {
      {100ms, "0", "0"},        // on time
      {200400us, "400", "0"},   // a little late
      {350ms, "50000", "0"},    // half an interval late; the next is still due at 400
      {400100us, "100", "0"},   //
      {650ms, "150000", "1"},   // 500 passed, 600 passed unticked: due next at 700
      {700ms, "0", "0"},        //
      {799900us, "-100", "0"},  // early by a hair: the next is due at 900, not at 800
      {900ms, "0", "0"},        //
      {1250ms, "250000", "2"},  // 1000 and 1100 missed: due next at 1300
      {1300ms, "0", "0"},       //
  };
  for (const Case& c : cases) trace.tick("T", t0 + c.at);
  trace.tick("Unknown", t0 + 100ms);  // never switched on: nothing to measure against

  const auto ticks = only(lines(f), "tick");
  ASSERT_EQ(ticks.size(), std::size(cases));
  for (std::size_t i = 0; i < ticks.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(ticks[i], (std::vector<std::string>{"tick", "T", cases[i].late, cases[i].missed}));
  }

  // Switched on again: a fresh schedule from then.
  trace.timerOn("T", 100, t0 + 2000ms);
  trace.tick("T", t0 + 2100ms);
  EXPECT_EQ(only(lines(f), "tick").back(), (std::vector<std::string>{"tick", "T", "0", "0"}));

  // A tick the host says fell due at 5000 (the timer slept from 2100 to
  // then): late against that point only, and nothing missed.
  trace.tick("T", t0 + 5000300us, t0 + 5000ms);
  EXPECT_EQ(only(lines(f), "tick").back(), (std::vector<std::string>{"tick", "T", "300", "0"}));
}

TEST(TraceTest, FramesGiveTheAreaPaintedAndAClickIsAnsweredWhenAllItChangedIsShown) {
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  Trace trace(f);
  QWidget window;
  window.setFixedSize(200, 100);
  auto* child = new QWidget(&window);
  child->setGeometry(50, 20, 40, 30);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  trace.watch(&window);

  auto waitForFrames = [&](std::size_t count) {
    QTRY_COMPARE_WITH_TIMEOUT(only(lines(f), "frame").size(), count, 2000);
  };

  // A click that changed the child and a corner of the window.
  const QRegion changed = QRegion(50, 20, 40, 30) + QRegion(0, 0, 10, 10);
  trace.handled("Coin", true, Trace::Clock::now(), changed);
  child->update();
  waitForFrames(1);
  auto all = lines(f);
  ASSERT_EQ(only(all, "first-frame").size(), 1u);
  ASSERT_EQ(only(all, "first-frame")[0].size(), 3u);
  EXPECT_GT(std::stoll(only(all, "first-frame")[0][2]), 0) << "the process's CPU time";
  EXPECT_EQ(only(all, "frame")[0][2], "1200");  // 40 x 30, painted in the child
  EXPECT_EQ(only(all, "frame")[0][3], "1300");  // both changes
  EXPECT_EQ(only(all, "frame")[0][4], "Coin");
  EXPECT_TRUE(only(all, "answer").empty()) << "the corner is not shown yet";

  // A tick between the two frames is named in the second.
  trace.handled("Tick", false, Trace::Clock::now(), QRegion(100, 50, 5, 5));
  window.update(0, 0, 10, 10);
  waitForFrames(2);
  all = lines(f);
  EXPECT_EQ(only(all, "frame")[1][2], "100");
  EXPECT_EQ(only(all, "frame")[1][4], "Tick");
  ASSERT_EQ(only(all, "answer").size(), 1u);
  EXPECT_EQ(only(all, "answer")[0][1], "Coin");
  EXPECT_GE(std::stoll(only(all, "answer")[0][2]), 0);

  // Later frames answer nothing more, and there is one first frame only.
  window.update(150, 0, 20, 20);
  waitForFrames(3);
  all = lines(f);
  EXPECT_EQ(only(all, "frame")[2][2], "400");
  EXPECT_EQ(only(all, "frame")[2][4], "-");
  EXPECT_EQ(only(all, "frame")[2][5], "150,0,20x20") << "painted beyond the changes";
  EXPECT_EQ(only(all, "answer").size(), 1u);
  EXPECT_EQ(only(all, "first-frame").size(), 1u);
}

// A button drawn anew as the pointer comes to it is the pointer's frame, not
// that of the ticks handled before it, whose changes lay hidden.
TEST(TraceTest, AButtonRedrawnForThePointerIsNamedAsSuch) {
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  Trace trace(f);
  QWidget window;
  window.setFixedSize(200, 100);
  auto* button = new QPushButton(QStringLiteral("Go"), &window);
  button->setGeometry(20, 40, 100, 30);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  trace.watch(&window);

  trace.handled("Tick", false, Trace::Clock::now(), QRegion(150, 0, 5, 5));
  QEnterEvent enter(QPointF(5, 5), QPointF(25, 45), QPointF(25, 45));
  QCoreApplication::sendEvent(button, &enter);
  button->update();
  QTRY_COMPARE_WITH_TIMEOUT(only(lines(f), "frame").size(), std::size_t{1}, 2000);
  const auto frame = only(lines(f), "frame")[0];
  ASSERT_GE(frame.size(), 6u);
  EXPECT_EQ(frame[2], "3000");  // the button's 100 x 30
  EXPECT_EQ(frame[3], "3025");  // the button and the tick's change
  EXPECT_EQ(frame[4], "Tick,pointer");
  EXPECT_EQ(frame[5][0], '@') << "nothing painted beyond the changes";
}

}  // namespace

namespace {

TEST(TraceTest, AStartWithoutADisplayLeavesAnEarlierTraceAsItWas) {
  const std::string path = testing::TempDir() + "zarnovik_earlier_trace";
  {
    std::FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(nullptr, f);
    std::fputs("first-frame 1\n", f);
    std::fclose(f);
  }
  // A display that does not exist: the program says so and ends with 1.
  const std::string command =
      "env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY=:4242 ZRNV_TRACE=" + path + " " +
      ZRNV_APP_PATH + " 2>/dev/null";
  const int raw = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(1, WEXITSTATUS(raw));
  std::FILE* f = std::fopen(path.c_str(), "r");
  ASSERT_NE(nullptr, f);
  char buffer[64] = {};
  EXPECT_NE(nullptr, std::fgets(buffer, sizeof buffer, f));
  std::fclose(f);
  EXPECT_STREQ("first-frame 1\n", buffer);
  std::remove(path.c_str());
}

}  // namespace
