// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/input.h"

namespace game {
namespace {

// Form1 holds its controls by reference, so a const window still hands out
// controls that events can be delivered to.
struct Binding {
  Input input;
  std::string_view name;
  rt::Control& (*control)(const Form1&);
  rt::Event event;
};

rt::Control& coinSlot(const Form1& f) {
  return f.LabelInsertCoin;
}
rt::Control& newGameButton(const Form1& f) {
  return f.Command1;
}
rt::Control& welcomeButton(const Form1& f) {
  return f.Command2;
}

constexpr std::array<Binding, 5> kBindings{{
    {Input::Coin, "coin", coinSlot, rt::Event::Click},
    {Input::Press, "press", coinSlot, rt::Event::MouseDown},
    {Input::Release, "release", coinSlot, rt::Event::MouseUp},
    {Input::NewGame, "newgame", newGameButton, rt::Event::Click},
    {Input::Welcome, "welcome", welcomeButton, rt::Event::Click},
}};

const Binding& bindingOf(Input input) {
  return kBindings[static_cast<std::size_t>(input)];
}

}  // namespace

std::string_view inputName(Input input) {
  return bindingOf(input).name;
}

std::optional<Input> inputNamed(std::string_view name) {
  for (const Binding& b : kBindings) {
    if (b.name == name) return b.input;
  }
  return std::nullopt;
}

rt::Control& controlOf(Form1& f, Input input) {
  return bindingOf(input).control(f);
}

rt::Event eventOf(Input input) {
  return bindingOf(input).event;
}

std::optional<Input> inputOf(const Form1& f, const rt::Control& control, rt::Event event) {
  for (const Binding& b : kBindings) {
    if (&b.control(f) == &control && b.event == event) return b.input;
  }
  return std::nullopt;
}

bool reachable(const Form1& f, Input input) {
  switch (input) {
    case Input::Coin:
    case Input::Press:
    case Input::Release:
      return !f.Frame4.visible();
    case Input::Welcome:
      return f.Frame4.visible();
    case Input::NewGame:
      return true;
  }
  return false;
}

}  // namespace game
