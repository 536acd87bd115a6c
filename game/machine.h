// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game/form1.h"
#include "runtime/events.h"
#include "runtime/random.h"

namespace game {

// The whole game machine without a host: the window's state, the random
// generator, and the dispatcher with all eleven handlers bound to their
// events. A host (the Qt window, or the virtual clock in tests and tools)
// drives it by delivering events through the dispatcher.
class Machine {
 public:
  explicit Machine(const rt::SeedClock& clock);
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  Form1& form() { return form_; }
  const Form1& form() const { return form_; }
  rt::Random& random() { return random_; }
  rt::Dispatcher& dispatcher() { return dispatcher_; }

  // Raises Form_Load. Call once, before any other event.
  rt::Dispatcher::Outcome load() { return dispatcher_.load(); }

  // Delivers an event to a control; see rt::Dispatcher::deliver.
  rt::Dispatcher::Outcome deliver(rt::Control& control, rt::Event event) {
    return dispatcher_.deliver(control, event);
  }

 private:
  // Timer2's handler as bound: it needs the generator as well as the form.
  static void timer2(void* machine);

  Form1 form_;
  rt::Random random_;
  rt::Dispatcher dispatcher_;
};

}  // namespace game
