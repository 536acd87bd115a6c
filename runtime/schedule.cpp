#include "runtime/schedule.h"

namespace rt {

Schedule::Schedule(Form& form, Parking parking) : form_(form), parking_(parking) {
  for (Control* timer : form.timers()) {
    Slot slot;
    slot.timer = timer;
    slot.interval = timer->interval();
    slot.on = timer->enabled();
    slot.due = slot.on && slot.interval > 0 ? slot.interval : kNever;
    slots_.push_back(std::move(slot));
  }
  form_.forgetReads();  // enabled() above is the schedule's read, no handler's
}

Schedule::Slot* Schedule::slotOf(const Control& timer) {
  for (Slot& slot : slots_) {
    if (slot.timer == &timer) return &slot;
  }
  return nullptr;
}

std::int64_t Schedule::gridFrom(const Slot& slot, std::int64_t t) {
  if (t <= slot.start) return slot.start + slot.interval;
  const std::int64_t k = (t - slot.start + slot.interval - 1) / slot.interval;
  return slot.start + k * slot.interval;
}

void Schedule::switched(const Control& timer, bool on, std::int64_t now) {
  Slot* slot = slotOf(timer);
  if (slot == nullptr) return;
  const bool wasParked = slot->parked;
  slot->on = on;
  slot->start = now;
  slot->parked = false;
  slot->reads.clear();
  slot->due = on && slot->interval > 0 ? now + slot->interval : kNever;
  if (wasParked) rewatch();
}

void Schedule::watchedChanged(const Control& control, Property property, std::int64_t now) {
  const auto i = static_cast<std::size_t>(control.index());
  bool woke = false;
  for (Slot& slot : slots_) {
    if (slot.parked && i < slot.reads.size() && (slot.reads[i] & property) != 0) {
      unpark(slot, now);
      woke = true;
    }
  }
  if (woke) rewatch();
}

void Schedule::unpark(Slot& slot, std::int64_t now) {
  slot.parked = false;
  slot.reads.clear();
  std::int64_t due = gridFrom(slot, now);
  // The point it shares with the tick being delivered came before that tick
  // if the timer is listed first; after it otherwise.
  const auto position = &slot - slots_.data();
  if (due == now && !(current_ >= 0 && current_ < position)) due += slot.interval;
  slot.due = due;
}

void Schedule::rewatch() {
  std::vector<std::uint8_t> masks;
  for (const Slot& slot : slots_) {
    if (!slot.parked) continue;
    if (masks.empty()) masks.assign(slot.reads.size(), 0);
    for (std::size_t i = 0; i < masks.size() && i < slot.reads.size(); ++i) {
      masks[i] |= slot.reads[i];
    }
  }
  form_.watch(std::move(masks));
}

Control* Schedule::next(std::int64_t limit) const {
  const Slot* next = nullptr;
  for (const Slot& slot : slots_) {
    // Strictly earlier wins, so ties go to the timer listed first.
    if (slot.due != kNever && !slot.parked && slot.due <= limit &&
        (next == nullptr || slot.due < next->due)) {
      next = &slot;
    }
  }
  return next == nullptr ? nullptr : next->timer;
}

std::int64_t Schedule::nextDue() const {
  std::int64_t due = kNever;
  for (const Slot& slot : slots_) {
    if (!slot.parked && slot.due < due) due = slot.due;
  }
  return due;
}

std::int64_t Schedule::due(std::size_t t) const {
  return slots_[t].parked ? kNever : slots_[t].due;
}

std::int64_t Schedule::beginTick(Control& timer, std::int64_t now, std::uint64_t runsSoFar) {
  Slot& slot = *slotOf(timer);
  const std::int64_t dueAt = slot.due;
  current_ = &slot - slots_.data();
  currentDue_ = dueAt;
  runBefore_ = runsSoFar;
  ++slot.ticks;
  // If the handler switches the timer off, or off and on, the switch sets the
  // due time anew.
  std::int64_t next = dueAt + slot.interval;
  if (next + kLeeway <= now) {
    const std::int64_t resumed = gridFrom(slot, now + 1);
    slot.missed += static_cast<std::uint64_t>((resumed - next) / slot.interval);
    next = resumed;
  }
  slot.due = next;
  return dueAt;
}

void Schedule::endTick(const Dispatcher::Footprint& run) {
  if (current_ < 0) return;
  Slot& slot = slots_[static_cast<std::size_t>(current_)];
  current_ = -1;
  const bool thisTick =
      run.run == runBefore_ + 1 && run.control == slot.timer && run.event == Event::Timer;
  if (parking_ == Parking::Off || !thisTick || !run.quiet || !slot.on) return;
  slot.parked = true;
  slot.reads = run.reads;
  rewatch();
}

}  // namespace rt
