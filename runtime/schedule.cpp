// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/schedule.h"

#include <algorithm>
#include <span>

namespace rt {

Schedule::Schedule(Form& form, Parking parking)
    : form_(form),
      parking_(parking),
      order_(form.timers().size(), 0),
      slotOfControl_(form.controls().size(), -1),
      watched_(form.controls().size(), 0) {
  for (Control* timer : form.timers()) {
    slotOfControl_[static_cast<std::size_t>(timer->index())] =
        static_cast<std::ptrdiff_t>(slots_.size());
    Slot slot;
    slot.timer = timer;
    slot.interval = timer->interval();
    slot.on = timer->enabled();
    due_.push_back(slot.on && slot.interval > 0 ? slot.interval : kNever);
    slots_.push_back(std::move(slot));
  }
  form_.forgetReads();  // enabled() above is the schedule's read, no handler's
  for (std::size_t s = 0; s < slots_.size(); ++s) place(s);
}

void Schedule::place(std::size_t s) {
  // Moved by swaps to its place among the ordered, one step at a time, for
  // the order is a handful of timers and a switch moves one a step or two. A
  // slot with no tick due leaves the order, those after it moving up a place.
  const auto slot = static_cast<std::uint32_t>(s);
  std::size_t i = 0;
  while (i < ordered_ && order_[i] != slot) ++i;
  if (i == ordered_) {
    if (due_[s] != kNever) enter(s);
  } else if (due_[s] == kNever) {
    removeAt(i);
  } else {
    sink(rise(i));
  }
}

void Schedule::leave(std::size_t s) {
  std::size_t i = 0;
  while (order_[i] != s) ++i;
  removeAt(i);
}

void Schedule::enter(std::size_t s) {
  order_[ordered_] = static_cast<std::uint32_t>(s);
  rise(ordered_++);
}

std::int64_t Schedule::gridFrom(const Slot& slot, std::int64_t t) {
  if (t <= slot.start) return slot.start + slot.interval;
  const std::int64_t k = (t - slot.start + slot.interval - 1) / slot.interval;
  return slot.start + k * slot.interval;
}

void Schedule::watchedChanged(const Control& control, Property property, std::int64_t now) {
  const auto i = static_cast<std::size_t>(control.index());
  bool woke = false;
  for (std::size_t s = 0; s < slots_.size(); ++s) {
    const Slot& slot = slots_[s];
    if (slot.parked && i < slot.reads.size() && (slot.reads[i] & property) != 0) {
      unpark(s, now);
      woke = true;
    }
  }
  if (!woke) return;
  rewatch();
}

void Schedule::unpark(std::size_t s, std::int64_t now) {
  Slot& slot = slots_[s];
  slot.parked = false;
  slot.reads.clear();
  std::int64_t due = gridFrom(slot, now);
  // The point it shares with the tick being delivered came before that tick
  // if the timer is listed first; after it otherwise.
  const auto position = static_cast<std::ptrdiff_t>(s);
  if (due == now && !(current_ >= 0 && current_ < position)) due += slot.interval;
  due_[s] = due;
  place(s);
}

void Schedule::rewatch() {
  std::fill(watched_.begin(), watched_.end(), 0);
  bool any = false;
  for (const Slot& slot : slots_) {
    if (!slot.parked) continue;
    any = true;
    for (std::size_t i = 0; i < watched_.size() && i < slot.reads.size(); ++i) {
      watched_[i] |= slot.reads[i];
    }
  }
  form_.watch(any ? std::span<const std::uint8_t>(watched_) : std::span<const std::uint8_t>());
}

std::int64_t Schedule::skipMissed(Slot& slot, std::int64_t next, std::int64_t now) {
  const std::int64_t resumed = gridFrom(slot, now + 1);
  slot.missed += static_cast<std::uint64_t>((resumed - next) / slot.interval);
  return resumed;
}

void Schedule::park(std::size_t s, const Dispatcher::Footprint& run) {
  Slot& slot = slots_[s];
  slot.parked = true;
  slot.reads = run.reads;
  due_[s] = kNever;
  place(s);
  rewatch();
}

}  // namespace rt
