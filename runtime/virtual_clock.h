// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "runtime/events.h"
#include "runtime/form.h"
#include "runtime/schedule.h"

namespace rt {

// Drives a form's timers on a deterministic clock in milliseconds, for tests
// and tools, on the timers' schedule (rt::Schedule). The clock starts at 0;
// every timer already on then gets its first tick one interval later. Ticks
// always come exactly when due, so none is ever missed. With parking on (the
// default) a timer whose tick changed nothing sleeps until something it read
// or wrote changes, which nothing can observe but the count of ticks and the speed of
// long waits.
class VirtualClock final : public TimerHost {
 public:
  static constexpr std::int64_t kNever = Schedule::kNever;

  VirtualClock(Form& form, Dispatcher& dispatcher,
               Schedule::Parking parking = Schedule::Parking::On);
  ~VirtualClock() override;
  VirtualClock(const VirtualClock&) = delete;
  VirtualClock& operator=(const VirtualClock&) = delete;

  std::int64_t now() const { return now_; }

  // When the next tick falls due, or kNever when no timer is on and awake.
  std::int64_t nextDue() const { return schedule_.nextDue(); }

  // Delivers the next tick if it falls due at or before `limit`, moving the
  // clock to its time. Returns the timer that ticked, or nullptr (the clock
  // then stays). Nothing is delivered once a run-time error has ended the run.
  // Always inline: the statistics mode's loop calls it for every tick.
  [[gnu::always_inline]] Control* step(std::int64_t limit) {
    return schedule_.deliverNext(
        limit, Schedule::kNeverLate, now_, dispatcher_,
        [this](Control& timer) { return dispatcher_.deliver(timer, Event::Timer); });
  }

  // Delivers every tick due in (now, now + ms], in order, and ends at now + ms.
  // Returns false when a run-time error ended the run (the clock then stands
  // at the failing tick).
  bool advance(std::int64_t ms);

  // Ticks delivered so far to the timer with this position in the description.
  std::uint64_t ticks(std::size_t timer) const { return schedule_.ticks(timer); }
  const Schedule& schedule() const { return schedule_; }

  void timerSwitched(Control& timer, bool on) override;
  void watchedChanged(Control& control, Property property) override;

 private:
  Form& form_;
  Dispatcher& dispatcher_;
  std::int64_t now_ = 0;
  Schedule schedule_;
};

}  // namespace rt
