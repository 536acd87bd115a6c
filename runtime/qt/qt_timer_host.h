#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <vector>

#include "runtime/form.h"

namespace rt {

// Drives a form's timers on Qt's event loop, one precise QTimer per timer
// control (Qt's coarse timers may drift by several percent).
//  - A timer switched on starts a fresh interval; its first tick comes one
//    interval later.
//  - A timer switched off is stopped at once, also inside its own handler: a
//    tick already due is not delivered.
//  - Ticks missed while a handler is busy are not made up; Qt schedules the
//    next one an interval after the late one.
//  - No timer ticks more often than every kShortestInterval ms. Timer3's
//    1 ms would wake the program a thousand times a second for as long as a
//    lost spin's evaluation repeats, each time to no effect; 10 ms still
//    evaluates a spin within one screen refresh of the last reel's stop.
// Every tick goes to `deliver`, which runs the handler and then redraws.
class QtTimerHost final : public QObject, public TimerHost {
  Q_OBJECT

 public:
  using Deliver = std::function<void(Control& timer)>;

  static constexpr int kShortestInterval = 10;

  // The interval at which `timer` really ticks.
  static int realInterval(const Control& timer);

  QtTimerHost(Form& form, Deliver deliver, QObject* parent = nullptr);
  ~QtTimerHost() override;

  // Starts the timers that are on. Call once the window is up and Form_Load
  // has run; until then no tick is delivered.
  void start();
  // Stops every timer for good (the window is closing, or a run-time error
  // is being reported).
  void stopAll();

  void timerSwitched(Control& timer, bool on) override;

 private:
  struct Slot {
    Control* timer;
    QTimer* qtimer;
  };

  Form& form_;
  Deliver deliver_;
  std::vector<Slot> slots_;
  bool running_ = false;
};

}  // namespace rt
