// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "runtime/events.h"
#include "runtime/form.h"

namespace rt {

// When each of a form's timers ticks next, for every host: the virtual clock
// of the tests and tools, and the window's timers on Qt's event loop. It reads
// no clock of its own; the host tells it the time, in whole milliseconds.
//  - A timer switched on starts a fresh interval at `now`; its ticks fall due
//    on its grid, one interval apart from the switch.
//  - A timer switched off has no tick due, at once, also inside its handler.
//  - Ticks due together go in the order of the description.
//  - A tick delivered late moves the timer to the next point of its grid.
//    A host that fell behind by less than kLeeway ms still delivers the
//    following points, one by one; further behind, the points passed are
//    missed and not made up (at most one tick of each timer waits).
//  - Parking: a timer whose tick was quiet (rt::Dispatcher's quiet run: a
//    pure handler that changed no property, drew nothing and raised no error)
//    sleeps until a property its handler read or wrote in that tick changes,
//    and then resumes at the next point of its grid, as if it had ticked all
//    along. A point it shares with the tick that woke it comes after that
//    tick only if the timer is listed after that tick's timer, as it would
//    have.
//    Why this is exact: the handler is a function of the properties it reads.
//    While none of them changes, it takes the same path on every tick, reads
//    the same properties and writes the same values to the same properties.
//    In the quiet tick each of those writes found its value already there;
//    while none of the written properties changes either, each write would
//    find it there again, and every skipped tick would have been quiet too.
//    A property the handler wrote is therefore watched like one it read (a
//    write that changes nothing counts as a read, rt::Control), and the
//    first change to any of them wakes the timer before its next point.
// The host (the form's rt::TimerHost) passes timerSwitched() and
// watchedChanged() on to it, with its time, and delivers every tick through
// deliverNext().
class Schedule {
 public:
  static constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
  static constexpr std::int64_t kLeeway = 10;

  enum class Parking : std::uint8_t { On, Off };

  // Timers already on start their grid at 0.
  Schedule(Form& form, Parking parking);

  Form& form() const { return form_; }

  // The timer with this position in the description.
  Control& timer(std::size_t t) const { return *slots_[t].timer; }
  std::size_t size() const { return slots_.size(); }

  // A timer was switched on or off at `now`. Inline: a spin switches timers
  // about seven times.
  void switched(const Control& timer, bool on, std::int64_t now) {
    const std::ptrdiff_t s = slotOf(timer);
    if (s < 0) return;
    const auto slot = static_cast<std::size_t>(s);
    Slot& it = slots_[slot];
    const bool wasParked = it.parked;
    it.on = on;
    it.start = now;
    // A slot is in the order exactly while it has a tick due: one switched on
    // was off or parked, and only enters; one switched off only leaves.
    std::int64_t& due = due_[slot];
    const bool ordered = due != kNever;
    due = on && it.interval > 0 ? now + it.interval : kNever;
    if (ordered) {
      if (due == kNever) {
        leave(slot);
      } else {
        place(slot);
      }
    } else if (due != kNever) {
      enter(slot);
    }
    if (wasParked) [[unlikely]] {
      // Only a parked slot keeps reads.
      it.parked = false;
      it.reads.clear();
      rewatch();
    }
  }
  // A watched property changed at `now`: wakes the timers that read it.
  void watchedChanged(const Control& control, Property property, std::int64_t now);

  // When the next tick falls due, or kNever.
  std::int64_t nextDue() const { return ordered_ == 0 ? kNever : due_[order_[0]]; }
  // When timer t's next tick falls due, or kNever (off or parked).
  std::int64_t due(std::size_t t) const { return due_[t]; }

  // A host that is never late: its ticks come exactly when due.
  static constexpr std::int64_t kNeverLate = std::numeric_limits<std::int64_t>::min();

  // The one tick routine of every host. If the next tick falls due at or
  // before `limit` and no run-time error has ended the program, it:
  //  - sets `now`, the game's time, to the tick's due time: a tick happens on
  //    the schedule, however late the host delivers it;
  //  - moves the timer's next tick one interval on, or, when the host's own
  //    time `real` is already kLeeway or more past that point, to the first
  //    point after `real` (the points passed are missed);
  //  - hands the timer to `deliver`, which gives its Timer event to
  //    `dispatcher` (with whatever the host does around it) and returns the
  //    dispatcher's outcome;
  //  - parks the timer if its handler ran and the run was quiet (the
  //    parking rule above).
  // Returns the timer that ticked, or nullptr. The virtual clock passes
  // kNeverLate as `real`; the window's host passes its clock's time as both
  // `limit` and `real`. Always inline: the statistics mode's loop calls it on
  // every tick.
  template <class Deliver>
  [[gnu::always_inline]] Control* deliverNext(std::int64_t limit, std::int64_t real,
                                              std::int64_t& now, const Dispatcher& dispatcher,
                                              Deliver&& deliver) {
    if (ordered_ == 0 || dispatcher.halted()) return nullptr;
    const std::uint32_t s = order_[0];
    const std::int64_t dueAt = due_[s];
    if (dueAt > limit) return nullptr;
    Slot& slot = slots_[s];
    now = dueAt;
    ++slot.ticks;
    // If the handler switches the timer off, or off and on, the switch sets
    // the due time anew.
    std::int64_t next = dueAt + slot.interval;
    if (next + kLeeway <= real) [[unlikely]]
      next = skipMissed(slot, next, real);
    due_[s] = next;
    sink(0);
    Control& timer = *slot.timer;
    current_ = static_cast<std::ptrdiff_t>(s);  // for a timer its handler wakes
    const bool handled = deliver(timer) == Dispatcher::Outcome::Handled;
    current_ = -1;
    // Handled, the dispatcher's last run was this tick's own.
    if (handled) parkIfQuiet(s, dispatcher.lastRun());
    return &timer;
  }

  bool parked(std::size_t t) const { return slots_[t].parked; }
  std::uint64_t ticks(std::size_t t) const { return slots_[t].ticks; }
  // Grid points passed over because the host fell too far behind.
  std::uint64_t missed(std::size_t t) const { return slots_[t].missed; }

 private:
  struct Slot {
    Control* timer = nullptr;
    std::int64_t interval = 0;  // <= 0: never ticks
    bool on = false;
    std::int64_t start = 0;  // when it was switched on
    bool parked = false;
    std::vector<std::uint8_t> reads;  // what its last (quiet) tick read; empty unless parked
    std::uint64_t ticks = 0;
    std::uint64_t missed = 0;
  };

  // The slot of a timer control, or -1 for any other control.
  std::ptrdiff_t slotOf(const Control& timer) const {
    return slotOfControl_[static_cast<std::size_t>(timer.index())];
  }
  // The first point of the slot's grid at or after `t`.
  static std::int64_t gridFrom(const Slot& slot, std::int64_t t);
  void unpark(std::size_t s, std::int64_t now);
  void park(std::size_t s, const Dispatcher::Footprint& run);
  // The parking rule: a timer still on whose own tick's run (`run`) was
  // quiet sleeps, when parking is on.
  void parkIfQuiet(std::size_t s, const Dispatcher::Footprint& run) {
    if (run.quiet && parking_ == Parking::On && slots_[s].on) [[unlikely]]
      park(s, run);
  }
  // A tick delivered `now`, so late that the slot's next point (`next`) is
  // already past by kLeeway: the next point after now, the points passed
  // counted as missed.
  std::int64_t skipMissed(Slot& slot, std::int64_t next, std::int64_t now);
  void rewatch();
  // Whether slot a's tick comes before slot b's: it is due earlier, or at
  // the same time and a is listed first.
  bool before(std::uint32_t a, std::uint32_t b) const {
    return due_[a] < due_[b] || (due_[a] == due_[b] && a < b);
  }
  // Moves the slot at position i of the order back past those now due
  // before it: usually one or none.
  void sink(std::size_t i) {
    for (const std::size_t n = ordered_; i + 1 < n && before(order_[i + 1], order_[i]); ++i)
      std::swap(order_[i], order_[i + 1]);
  }
  // Puts slot s in its place in the order, or out of it, after it was
  // switched on, parked or woken.
  void place(std::size_t s);
  // Puts slot s, not in the order and now with a tick due, in its place.
  void enter(std::size_t s);
  // Takes slot s, in the order and now with no tick due, out of it.
  void leave(std::size_t s);
  // Moves the slot at position i of the order forward past those now due
  // after it; returns its new position.
  std::size_t rise(std::size_t i) {
    for (; i > 0 && before(order_[i], order_[i - 1]); --i) std::swap(order_[i], order_[i - 1]);
    return i;
  }
  // Takes the slot at position i out of the order, those after it moving up.
  void removeAt(std::size_t i) {
    for (; i + 1 < ordered_; ++i) order_[i] = order_[i + 1];
    --ordered_;
  }

  Form& form_;
  Parking parking_;
  std::vector<Slot> slots_;
  // When each slot's next tick falls due: kNever while it is off or parked.
  // Apart from the slots, so that the search for the earliest reads one line.
  std::vector<std::int64_t> due_;
  // The slots with a tick due (on and not parked), in the order their ticks
  // come: by due time, ties in the order of the description. The first
  // ordered_ entries are in use; room for every slot is made once.
  std::vector<std::uint32_t> order_;
  std::size_t ordered_ = 0;
  std::vector<std::ptrdiff_t> slotOfControl_;
  std::vector<std::uint8_t> watched_;  // what the parked timers read, together
  // The slot whose tick is being delivered, or -1.
  std::ptrdiff_t current_ = -1;
};

}  // namespace rt
