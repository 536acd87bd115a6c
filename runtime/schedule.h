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
//  - Parking (the quiet-run rule of rt::Dispatcher): a timer whose tick left
//    the form as it found it sleeps until a property its handler read in that
//    tick changes, and then resumes at the next point of its grid, as if it
//    had ticked all along. A point it shares with the tick that woke it comes
//    after that tick only if the timer is listed after that tick's timer, as
//    it would have.
// The host (the form's rt::TimerHost) passes timerSwitched() and
// watchedChanged() on to it, with its time.
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

  // The timer whose tick falls due next, at or before `limit`; nullptr when
  // none does. Parked timers are skipped.
  Control* next(std::int64_t limit) const {
    return ordered_ != 0 && due_[order_[0]] <= limit ? slots_[order_[0]].timer : nullptr;
  }
  // When the next tick falls due, or kNever.
  std::int64_t nextDue() const { return ordered_ == 0 ? kNever : due_[order_[0]]; }
  // When timer t's next tick falls due, or kNever (off or parked).
  std::int64_t due(std::size_t t) const { return due_[t]; }

  // Call just before delivering the tick of `timer` returned by next(), at
  // `now` (its due time or later), with the dispatcher's handler runs so far:
  // moves its due time on. Returns the time the tick fell due.
  std::int64_t beginTick(Control& timer, std::int64_t now, std::uint64_t runsSoFar) {
    const auto s = static_cast<std::size_t>(slotOf(timer));
    Slot& slot = slots_[s];
    const std::int64_t dueAt = due_[s];
    current_ = static_cast<std::ptrdiff_t>(s);
    runBefore_ = runsSoFar;
    ++slot.ticks;
    // If the handler switches the timer off, or off and on, the switch sets
    // the due time anew.
    std::int64_t next = dueAt + slot.interval;
    if (next + kLeeway <= now) [[unlikely]]
      next = skipMissed(slot, next, now);
    due_[s] = next;
    moveOn(s);
    return dueAt;
  }
  // The virtual clock's whole tick: if the next tick falls due at or before
  // `limit`, moves the clock (`now`) to its due time, delivers it through
  // `dispatcher` and parks its timer if the run was quiet; as next(),
  // beginTick(), the delivery and endTick() would, for a host that is never
  // late. Returns the timer that ticked, or nullptr. Always inline, as
  // VirtualClock::step(): left to itself the compiler keeps it inline or not
  // by small changes far away, and a call a tick costs 4% of a spin.
  [[gnu::always_inline]] Control* deliverNext(std::int64_t limit, Dispatcher& dispatcher,
                                              std::int64_t& now) {
    if (ordered_ == 0) return nullptr;
    const std::uint32_t s = order_[0];
    const std::int64_t dueAt = due_[s];
    if (dueAt > limit) return nullptr;
    Slot& slot = slots_[s];
    now = dueAt;
    current_ = static_cast<std::ptrdiff_t>(s);  // for a timer its handler wakes
    ++slot.ticks;
    due_[s] = dueAt + slot.interval;
    sink(0);
    Control& timer = *slot.timer;
    // Delivered, the run was this tick's own: parked if it was quiet.
    const bool handled = dispatcher.deliver(timer, Event::Timer) == Dispatcher::Outcome::Handled;
    current_ = -1;
    if (handled) parkIfQuiet(s, dispatcher.lastRun());
    return &timer;
  }
  // Call once the tick has been delivered (or dropped): parks the timer if
  // its handler's run was quiet.
  void endTick(const Dispatcher::Footprint& run) {
    if (current_ < 0) return;
    const auto s = static_cast<std::size_t>(current_);
    current_ = -1;
    const bool thisTick =
        run.run == runBefore_ + 1 && run.control == slots_[s].timer && run.event == Event::Timer;
    if (thisTick) parkIfQuiet(s, run);
  }

  // Moves every tick still due `by` ms later, counting as ticked the
  // `by / interval` ticks each such timer passes over. Exact only when the
  // caller knows that the form comes back to the same state every `by` ms
  // (a whole number of each awake timer's intervals) with nothing else
  // happening: then the form after the jump is the form those ticks would
  // have left.
  void jump(std::int64_t by) {
    for (std::size_t i = 0; i < ordered_; ++i) {
      const std::uint32_t s = order_[i];
      due_[s] += by;
      slots_[s].ticks += static_cast<std::uint64_t>(by / slots_[s].interval);
    }
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
  // Puts slot s, whose due time has just moved later, back in its place in
  // the order: usually a step or two, one timer past another.
  void moveOn(std::size_t s) {
    const std::size_t n = ordered_;
    std::size_t i = 0;
    while (i < n && order_[i] != s) ++i;
    if (i == n) [[unlikely]] {
      place(s);
      return;
    }
    sink(i);
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
  // The tick being delivered: its slot, and the handler runs before it.
  std::ptrdiff_t current_ = -1;
  std::uint64_t runBefore_ = 0;
};

}  // namespace rt
