// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include "runtime/form.h"

namespace game {

// Counters and switches are set from 16-bit integers, not from doubles: they
// only ever hold small whole numbers, and the number text of a 16-bit integer
// is plain digits ("0", "1"), the very text the handlers count with.
inline constexpr std::int16_t kZero = 0;
inline constexpr std::int16_t kOne = 1;

// The game's window with its controls by name, as the handlers use them.
class Form1 : public rt::Form {
 public:
  Form1();

  rt::Control& LabelCredit;      // money field
  rt::Control& LabelPrize;       // prize field (rings)
  rt::Control& LabelInsertCoin;  // the coin slot
  rt::Control& LabelGenerator;   // last drawn symbol number
  rt::Control& ImageNumber1;     // reels 1 to 3
  rt::Control& ImageNumber2;
  rt::Control& ImageNumber3;
  rt::Control& ImageRotate2;  // the flickering spin picture
  rt::Control& ImageEmpty;    // the win flash
  rt::Control& Label1;        // the title strip
  rt::Control& Frame4;        // the welcome panel
  rt::Control& Command1;      // "Новая игра"
  rt::Control& Command2;      // the welcome panel's button
  rt::Control& Timer1;        // spin flicker
  rt::Control& Timer2;        // reel stops
  rt::Control& Timer3;        // evaluation
  rt::Control& Timer4;        // prize transfer
  rt::Control& Timer5;        // title strip blink

  // The symbol pictures' holders: symbol d is Image<d>.Picture.
  rt::Control& symbolImage(int d) const { return *symbolImages_[static_cast<std::size_t>(d)]; }
  // Reel n, 1 to 3.
  rt::Control& reel(int n) const { return *reels_[static_cast<std::size_t>(n - 1)]; }

  // The symbol number that reel n shows: d when its picture is the very
  // object of Image<d>, otherwise -1 (as for the reels' start copies).
  int reelSymbol(int n) const;

 private:
  std::array<rt::Control*, 10> symbolImages_;
  std::array<rt::Control*, 3> reels_;
};

}  // namespace game
