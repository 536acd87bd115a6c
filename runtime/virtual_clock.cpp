#include "runtime/virtual_clock.h"

namespace rt {
namespace {

// A timer with no interval never ticks.
std::int64_t dueAfter(std::int64_t now, const Control& timer) {
  return timer.interval() > 0 ? now + timer.interval() : VirtualClock::kNever;
}

}  // namespace

VirtualClock::VirtualClock(Form& form, Dispatcher& dispatcher)
    : form_(form), dispatcher_(dispatcher) {
  for (Control* timer : form.timers()) {
    slots_.push_back({timer, timer->enabled() ? dueAfter(0, *timer) : kNever, 0});
  }
  form_.setTimerHost(this);
}

VirtualClock::~VirtualClock() {
  if (form_.timerHost() == this) form_.setTimerHost(nullptr);
}

void VirtualClock::timerSwitched(Control& timer, bool on) {
  for (Slot& slot : slots_) {
    if (slot.timer == &timer) slot.due = on ? dueAfter(now_, timer) : kNever;
  }
}

std::int64_t VirtualClock::nextDue() const {
  std::int64_t due = kNever;
  for (const Slot& slot : slots_) {
    if (slot.timer->enabled() && slot.due < due) due = slot.due;
  }
  return due;
}

Control* VirtualClock::step(std::int64_t limit) {
  if (dispatcher_.halted()) return nullptr;
  Slot* next = nullptr;
  for (Slot& slot : slots_) {
    // Strictly earlier wins, so ties go to the timer listed first.
    if (slot.timer->enabled() && slot.due != kNever && slot.due <= limit &&
        (next == nullptr || slot.due < next->due)) {
      next = &slot;
    }
  }
  if (next == nullptr) return nullptr;
  now_ = next->due;
  // The next tick is due one interval on; if the handler switches the timer
  // off, or off and on again, the switch sets it anew.
  next->due = dueAfter(next->due, *next->timer);
  ++next->ticks;
  dispatcher_.deliver(*next->timer, Event::Timer);
  return next->timer;
}

bool VirtualClock::advance(std::int64_t ms) {
  const std::int64_t end = now_ + ms;
  while (step(end) != nullptr) {
  }
  if (dispatcher_.halted()) return false;
  now_ = end;
  return true;
}

}  // namespace rt
