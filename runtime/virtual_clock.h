#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "runtime/events.h"
#include "runtime/form.h"

namespace rt {

// Drives a form's timers on a deterministic clock in milliseconds, for tests
// and tools. The clock starts at 0; every timer already on then gets its
// first tick one interval later.
//  - A timer switched on gets its first tick one interval after the switch,
//    then one every interval while it stays on; switching on a timer that is
//    already on changes nothing.
//  - A timer switched off loses its pending tick at once, also inside its own
//    handler.
//  - Ticks due at the same moment go in the order of the description.
class VirtualClock final : public TimerHost {
 public:
  static constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

  VirtualClock(Form& form, Dispatcher& dispatcher);
  ~VirtualClock() override;
  VirtualClock(const VirtualClock&) = delete;
  VirtualClock& operator=(const VirtualClock&) = delete;

  std::int64_t now() const { return now_; }

  // When the next tick falls due, or kNever when no timer is on.
  std::int64_t nextDue() const;

  // Delivers the next tick if it falls due at or before `limit`, moving the
  // clock to its time. Returns the timer that ticked, or nullptr (the clock
  // then stays). Nothing is delivered once a run-time error has ended the run.
  Control* step(std::int64_t limit);

  // Delivers every tick due in (now, now + ms], in order, and ends at now + ms.
  // Returns false when a run-time error ended the run (the clock then stands
  // at the failing tick).
  bool advance(std::int64_t ms);

  // Ticks delivered so far to the timer with this position in the description.
  std::uint64_t ticks(std::size_t timer) const { return slots_[timer].ticks; }

  void timerSwitched(Control& timer, bool on) override;

 private:
  struct Slot {
    Control* timer;
    std::int64_t due;
    std::uint64_t ticks;
  };

  Form& form_;
  Dispatcher& dispatcher_;
  std::int64_t now_ = 0;
  std::vector<Slot> slots_;
};

}  // namespace rt
