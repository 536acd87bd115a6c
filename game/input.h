// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "game/form1.h"
#include "runtime/events.h"

namespace game {

// What a player can do to the game, and the event each one is on the window:
// a coin is a click on the coin slot, a press and a release are the mouse
// going down and up on it, "Новая игра" and the welcome panel's button are
// clicks on Command1 and Command2.
enum class Input : std::uint8_t {
  Coin,
  Press,
  Release,
  NewGame,
  Welcome,
};

inline constexpr std::array<Input, 5> kInputs{Input::Coin, Input::Press, Input::Release,
                                              Input::NewGame, Input::Welcome};

// The input's name: "coin", "press", "release", "newgame", "welcome", as a
// driver script writes it.
std::string_view inputName(Input input);
// The input of that name, or nothing.
std::optional<Input> inputNamed(std::string_view name);

// The control the input goes to, and its event.
rt::Control& controlOf(Form1& f, Input input);
rt::Event eventOf(Input input);

// The input that an event on a control is, or nothing for an event no input
// makes (a timer's tick, a click on a reel).
std::optional<Input> inputOf(const Form1& f, const rt::Control& control, rt::Event event);

// Whether the input can reach its control now. While the welcome panel is
// shown it covers the coin slot; its button is there only while it is shown.
// "Новая игра" is always reachable: the keyboard reaches the focused button
// even under the welcome panel.
bool reachable(const Form1& f, Input input);

}  // namespace game
