// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/virtual_clock.h"

namespace rt {

VirtualClock::VirtualClock(Form& form, Dispatcher& dispatcher, Schedule::Parking parking)
    : form_(form), dispatcher_(dispatcher), schedule_(form, parking) {
  form_.setTimerHost(this);
}

VirtualClock::~VirtualClock() {
  if (form_.timerHost() == this) form_.setTimerHost(nullptr);
  form_.watch({});
}

void VirtualClock::timerSwitched(Control& timer, bool on) {
  schedule_.switched(timer, on, now_);
}

void VirtualClock::watchedChanged(Control& control, Property property) {
  schedule_.watchedChanged(control, property, now_);
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
