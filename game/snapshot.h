// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "game/form1.h"
#include "runtime/picture.h"

namespace game {

// The observable state of the game's window: what a player can see, and the
// counters and switches that carry the game from one event to the next. The
// driver prints it (`show`); the bookkeeper that checks the rules of play and
// the soak compare it from one event to the next.
struct Snapshot {
  std::string money, prize, generator;  // LabelCredit, LabelPrize, LabelGenerator
  std::array<std::string, 3> reelTag;
  std::array<const rt::Picture*, 3> reelPicture{};
  // The symbol each reel shows, 0 to 9, or -1 (Form1::reelSymbol). Derived
  // from the pictures; a checker that must not trust the game's reading of
  // its own reels compares the pictures instead.
  std::array<int, 3> reelSymbol{};
  std::array<bool, 3> reelShown{};
  std::array<bool, 5> timerOn{};  // Timer1 to Timer5
  bool coinSlot = false;
  const rt::Picture* coinPointer = nullptr;
  std::string spinTag, flashTag, stripTag;  // ImageRotate2, ImageEmpty, Label1
  bool spinShown = false, flashShown = false, stripShown = false;
  bool welcome = false;  // Frame4

  static Snapshot of(const Form1& f);
  bool operator==(const Snapshot&) const = default;

  // One line of JSON at clock time `t` (ms), with the keys in their fixed
  // order, as the driver's `show` prints it.
  std::string json(std::int64_t t) const;
};

// Quotes a text as a JSON string.
std::string jsonString(std::string_view text);

// The line that reports a run-time error that ended the game, as the driver
// prints it in place of the state: {"error": "..."}.
std::string errorJson(std::string_view message);

}  // namespace game
