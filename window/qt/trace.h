// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// An opt-in record of how quickly the program answers, for measuring it from
// outside. Off unless the environment variable ZRNV_TRACE names a file; then
// the program writes one line per event to it:
//
//   first-frame REALTIME_US CPU_US the first frame is on screen (wall clock),
//                                  after CPU_US of the process's CPU time
//   frame US AREA CHANGED CAUSES [X,Y,WxH] @END
//                                  one repaint: its time, the pixels painted,
//                                  the pixels of the controls that changed,
//                                  the events handled since the last frame
//                                  ("pointer" and "focus": a button drawn
//                                  anew as they come and go, its pixels
//                                  counted as changed),
//                                  the bounds of what was painted beyond
//                                  those controls, if anything, and when it
//                                  ended (steady clock, microseconds)
//   tick NAME LATE_US MISSED       a timer tick against its ideal schedule
//   answer NAME US                 from a click to the end of the frame that
//                                  completes showing what its handler changed
//
// Times are microseconds. A frame is one pass of the window's backing store:
// every widget painted in it and the copy to the screen. Nothing here changes
// what the game does; with ZRNV_TRACE unset no Trace exists at all.

#include <QEvent>
#include <QObject>
#include <QRegion>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace window {

class Trace final : public QObject {
 public:
  using Clock = std::chrono::steady_clock;

  // The trace ZRNV_TRACE asks for, or nullptr when it is unset or empty.
  // Ends the program with a message if the file cannot be written.
  static std::unique_ptr<Trace> fromEnvironment();

  explicit Trace(std::FILE* out);
  ~Trace() override;

  // Watches a shown top-level window and every widget in it.
  void watch(QWidget* window);

  // A timer was switched on at `at`: its ideal ticks fall one interval apart
  // from then on.
  void timerOn(std::string_view name, int intervalMs, Clock::time_point at);
  // A tick of a timer arrived at `at`.
  void tick(std::string_view name, Clock::time_point at);
  // A tick of a timer that fell due at `due` on its host's schedule (after a
  // sleep, at a point of the timer's grid) arrived at `at`. The host counts
  // the points it missed; this line counts none.
  void tick(std::string_view name, Clock::time_point at, Clock::time_point due);
  // An event was handled, having begun at `began`; `changed` is the area (in
  // the window's coordinates) of the controls it changed. A click waits for
  // the frame that covers that area.
  void handled(std::string_view name, bool click, Clock::time_point began, const QRegion& changed);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Schedule {
    Clock::time_point start;
    Clock::duration interval;
    Clock::time_point due;
  };
  struct PendingClick {
    std::string name;
    Clock::time_point began;
    QRegion changed;
  };

  // The pointer or the focus came to, left or pressed a button in the
  // window: it redraws itself, and the next frame names why.
  void pointerOrFocus(QObject* watched, QEvent::Type type);
  // Names `cause` in the next frame's line, once.
  void noteCause(std::string_view cause);
  // Runs one frame (the event that paints and copies it to the screen) and
  // writes its line.
  bool frame(QObject* watched, QEvent* event);

  std::FILE* out_;
  QWidget* window_ = nullptr;
  std::map<std::string, Schedule, std::less<>> schedules_;
  int frameDepth_ = 0;
  QRegion painted_;
  QRegion changed_;
  std::vector<std::string> causes_;
  std::unique_ptr<PendingClick> click_;
  bool firstFrameSeen_ = false;
};

}  // namespace window
