#include "game/machine.h"

#include "game/animations.h"
#include "game/handlers.h"

namespace game {

Machine::Machine(const rt::SeedClock& clock) : dispatcher_(form_) {
  using rt::Event;
  // Every handler but Form_Load reads nothing but control properties and the
  // generator: a timer whose tick changed nothing may sleep (see
  // rt::Dispatcher). Form_Load reads the clock.
  constexpr auto kPure = rt::Dispatcher::Purity::Pure;
  Form1& f = form_;
  dispatcher_.watchGenerator(random_);
  dispatcher_.bindLoad([this, &clock] { Form_Load(random_, clock); });
  dispatcher_.bind(
      f.Command1, Event::Click, [&f] { Command1_Click(f); }, kPure);
  dispatcher_.bind(
      f.Command2, Event::Click, [&f] { Command2_Click(f); }, kPure);
  dispatcher_.bind(
      f.LabelInsertCoin, Event::Click, [&f] { LabelInsertCoin_Click(f); }, kPure);
  dispatcher_.bind(
      f.LabelInsertCoin, Event::MouseDown, [&f] { LabelInsertCoin_MouseDown(f); }, kPure);
  dispatcher_.bind(
      f.LabelInsertCoin, Event::MouseUp, [&f] { LabelInsertCoin_MouseUp(f); }, kPure);
  dispatcher_.bind(
      f.Timer1, Event::Timer, [&f] { Timer1_Timer(f); }, kPure);
  dispatcher_.bind(
      f.Timer2, Event::Timer, [this, &f] { Timer2_Timer(f, random_); }, kPure);
  dispatcher_.bind(
      f.Timer3, Event::Timer, [&f] { Timer3_Timer(f); }, kPure);
  dispatcher_.bind(
      f.Timer4, Event::Timer, [&f] { Timer4_Timer(f); }, kPure);
  dispatcher_.bind(
      f.Timer5, Event::Timer, [&f] { Timer5_Timer(f); }, kPure);
}

}  // namespace game
