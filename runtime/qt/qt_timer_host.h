// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>

#include "runtime/events.h"
#include "runtime/form.h"
#include "runtime/schedule.h"

namespace rt {

// Drives a form's timers on Qt's event loop, on the same schedule as the
// virtual clock (rt::Schedule): one precise single-shot QTimer is armed for
// the next tick due, with no floor on intervals, and ticks due together are
// delivered in the order of the description. Parking is on: after a tick
// that changed nothing (a lost spin's repeated evaluation) the timer sleeps
// and the program wakes for nothing.
//
// The host keeps the game's time in whole milliseconds from start(): a tick
// happens at its due time on the schedule, however late Qt delivers it, and
// any other event (a click) at the real time, held between the last tick
// delivered and the next one due, so that the order of events is the order
// the virtual clock would give them. Switching a timer on inside a handler
// starts its interval at the time of that handler's event. A tick behind by
// more than Schedule::kLeeway ms moves its timer to the next point of its
// grid: the points passed are missed, not made up. Qt waits in whole
// milliseconds, rounded up; the host arms it for the whole milliseconds left
// and sleeps out the last fraction, so that a tick comes within a fraction
// of a millisecond of its due time, not a millisecond and more after it.
// A tick falling due within a millisecond of the one just delivered (the
// evaluation after a reel's stop) is slept for in the same round, before the
// window paints the first one's frame (see kHold).
class QtTimerHost final : public QObject, public TimerHost {
  Q_OBJECT

 public:
  // Gives a timer's tick to the dispatcher, with whatever the program does
  // around it, and returns the dispatcher's outcome.
  using Deliver = std::function<Dispatcher::Outcome(Control& timer)>;

  // The real time the host keeps the game's time by, and waits on: the
  // steady clock, unless a test gives a clock of its own.
  class RealClock {
   public:
    virtual ~RealClock() = default;
    virtual std::chrono::steady_clock::time_point now() const = 0;
    virtual void sleepUntil(std::chrono::steady_clock::time_point t) = 0;
  };

  QtTimerHost(Form& form, Dispatcher& dispatcher, Deliver deliver, QObject* parent = nullptr);
  ~QtTimerHost() override;

  // Uses `clock` instead of the steady clock; call before start().
  void setClock(RealClock& clock) { clock_ = &clock; }

  // Starts the clock and the timers that are on. Call once the window is up
  // and Form_Load has run; until then no tick is delivered.
  void start();
  // Stops every timer for good (the window is closing, or a run-time error
  // is being reported).
  void stopAll();

  // Fixes the time of an event other than a tick, about to be delivered,
  // and returns it; a timer it switches on starts its interval then.
  std::int64_t beginEvent();
  void endEvent() { inEvent_ = false; }

  // The game's time of the event being delivered, or of the last one.
  std::int64_t now() const { return now_; }
  // Milliseconds since start() on the real clock; when start() was called.
  std::int64_t realNow() const;
  std::chrono::steady_clock::time_point epoch() const { return epoch_; }

  const Schedule& schedule() const { return schedule_; }
  // Points of the timers' grids missed so far (see above).
  std::uint64_t missed() const;

  void timerSwitched(Control& timer, bool on) override;
  void watchedChanged(Control& control, Property property) override;

  // Delivers the ticks due by now, in order, then arms the timer for the
  // next; what the host's QTimer calls when it fires.
  void deliverDue();

 private:
  // How long one round of ticks may hold the event loop while it sleeps for
  // ticks due within a millisecond; later ones wait for Qt's timer.
  static constexpr std::chrono::milliseconds kHold{3};

  void arm();
  // The time for a change outside any event: now, held as for an event.
  std::int64_t heldNow() const;

  Form& form_;
  Dispatcher& dispatcher_;
  Deliver deliver_;
  Schedule schedule_;
  RealClock* clock_;
  QTimer timer_;
  std::chrono::steady_clock::time_point epoch_;
  std::int64_t now_ = 0;
  bool running_ = false;
  bool started_ = false;
  bool inEvent_ = false;
  bool firing_ = false;
};

}  // namespace rt
