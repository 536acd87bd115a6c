// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/machine.h"

#include "game/animations.h"
#include "game/handlers.h"

namespace game {
namespace {

// The handlers bound as plain functions: those that work on the form alone
// get the form, the reel stops the whole machine (the form and the generator).
template <void (*Handler)(Form1&)>
void onForm(void* form) {
  Handler(*static_cast<Form1*>(form));
}

}  // namespace

void Machine::timer2(void* machine) {
  auto& m = *static_cast<Machine*>(machine);
  Timer2_Timer(m.form_, m.random_);
}

Machine::Machine(const rt::SeedClock& clock) : dispatcher_(form_) {
  using rt::Event;
  // Every handler but Form_Load reads nothing but control properties and the
  // generator: a timer whose tick changed nothing may sleep (see
  // rt::Dispatcher). Form_Load reads the clock.
  constexpr auto kPure = rt::Dispatcher::Purity::Pure;
  Form1& f = form_;
  rt::Dispatcher& d = dispatcher_;
  d.watchGenerator(random_);
  d.bindLoad([this, &clock] { Form_Load(random_, clock); });
  d.bind(f.Command1, Event::Click, &onForm<Command1_Click>, &f, kPure);
  d.bind(f.Command2, Event::Click, &onForm<Command2_Click>, &f, kPure);
  d.bind(f.LabelInsertCoin, Event::Click, &onForm<LabelInsertCoin_Click>, &f, kPure);
  d.bind(f.LabelInsertCoin, Event::MouseDown, &onForm<LabelInsertCoin_MouseDown>, &f, kPure);
  d.bind(f.LabelInsertCoin, Event::MouseUp, &onForm<LabelInsertCoin_MouseUp>, &f, kPure);
  d.bind(f.Timer1, Event::Timer, &onForm<Timer1_Timer>, &f, kPure);
  d.bind(f.Timer2, Event::Timer, &timer2, this, kPure);
  d.bind(f.Timer3, Event::Timer, &onForm<Timer3_Timer>, &f, kPure);
  d.bind(f.Timer4, Event::Timer, &onForm<Timer4_Timer>, &f, kPure);
  d.bind(f.Timer5, Event::Timer, &onForm<Timer5_Timer>, &f, kPure);
}

}  // namespace game
