// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "game/form1.h"
#include "game/input.h"

// A fuzz input played as a player would: its bytes become coins, presses and
// releases on the coin slot, "Новая игра", the welcome button, waits of every
// length (exact tick times among them) and rigged draws, delivered to the game
// on the virtual clock with the ledger checking after every event, and to a
// twin whose timers never sleep, which must show the same state after every
// event of the first. Everything
// played is also written as a zarnovik-sim script, so that a broken rule can
// be replayed and kept as a scenario.
namespace fuzz {

struct Command {
  enum class Kind : std::uint8_t {
    Input,        // the player's `input`
    Wait,         // `ms` milliseconds
    WaitForTick,  // until the next tick falls due, shifted by `ms` (-1, 0 or +1)
    Rig,          // the next draw gives `r`
    Set,          // `set` of property `target` (see kSetTargets) to `text`
  };
  Kind kind;
  game::Input input = game::Input::Coin;
  std::int64_t ms = 0;
  float r = 0;
  std::uint8_t target = 0;
  std::string_view text = {};
};

// What a `set` may write: captions and tags that the handlers read and
// write, each as "Control.Property", and odd texts for them; one byte picks
// both. After a `set` the ledger's accounts no longer hold, so it stops
// checking; the twin with parking off goes on, and a run-time error ends the
// input once both games have met the same one.
inline constexpr std::array<std::string_view, 8> kSetTargets{
    "LabelCredit.Caption", "LabelPrize.Caption", "Timer3.Tag",       "ImageNumber1.Tag",
    "ImageNumber3.Tag",    "ImageEmpty.Tag",     "ImageRotate2.Tag", "Label1.Tag"};
inline constexpr std::array<std::string_view, 8> kSetTexts{
    "", "0", "-2", "1", "5", "Game Over!", "99999999999999999999", "x"};

struct Program {
  std::uint64_t seed = 0;
  int money = 100;  // the money field at the start, for quick ways to the last coins
  std::vector<Command> commands;
};

// Bounds of one input. The twin with parking off ticks Timer3 every
// millisecond while it repeats an evaluation, so long waits cost it many
// ticks; past kMaxTicks of either game the input is cut short.
inline constexpr std::size_t kMaxCommands = 200;
inline constexpr std::int64_t kMaxVirtualMs = 10 * 60 * 1000;
inline constexpr std::uint64_t kMaxTicks = 20000;

// Reads a program from fuzz input bytes; every input makes some program.
Program decode(std::span<const std::uint8_t> data);

struct Outcome {
  std::optional<std::string> violation;  // the first broken rule
  std::string script;                    // the zarnovik-sim lines played, then `show`
  std::string finalState;                // the `show` line at the end
  std::uint64_t events = 0;              // events the ledger checked
  std::int64_t virtualMs = 0;
  bool bounded = false;  // cut short by the input's bounds
  // How often each kind of step was taken, saturating at 255: an event of
  // one kind (see Action, then a `set` of each target), from one coarse state
  // (see stateClass), paying or charging money or rings or not. The fuzzer
  // takes them as coverage, so that it seeks out such steps as a win while an
  // earlier win is being paid, or a `set` while two timers run.
  static constexpr std::size_t kSteps = (10 + kSetTargets.size()) * 256 * 2;
  std::array<std::uint8_t, kSteps> steps{};
};

// A coarse class of the game's state, 0 to 255: which of Timer1 to Timer4
// run, whether the coin slot is open, rings waiting, and the money as "Game
// Over!" or 0, 5, 10 to 95, or 100 and more.
int stateClass(const game::Form1& f);

// Plays a program on a fresh game with the ledger watching. Stops at the
// first broken rule, or quietly when the input's bounds are reached.
Outcome play(const Program& program);

}  // namespace fuzz
