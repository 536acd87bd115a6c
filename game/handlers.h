// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

#include "game/form1.h"
#include "runtime/random.h"

// The rules of play: the handlers of the window's load, the "Новая игра"
// button, the coin slot, the reel stops, the evaluation and the prize
// transfer. Each reads and writes only control properties, reading every
// field afresh where it needs it; none calls another.
namespace game {

// The symbol number whose text "0" to "9" a caption is, or -1 when it is
// none of them: a reel stop gives the reel that symbol's picture. One
// character settles it, for each digit's text is that one character.
inline int symbolOfCaption(std::string_view caption) {
  if (caption.size() != 1) return -1;
  const auto digit = static_cast<unsigned>(static_cast<unsigned char>(caption[0]) - '0');
  return digit <= 9 ? static_cast<int>(digit) : -1;
}

// Seeds the random generator from the clock, once, before anything else runs.
void Form_Load(rt::Random& random, const rt::SeedClock& clock);

// "Новая игра": money back to 100, prize to 0, coin slot open, the spin,
// evaluation and transfer timers stopped, and the win flash taken away.
void Command1_Click(Form1& f);

// A coin in the slot: 5 $ taken and a spin started. Refused, changing
// nothing, when the money reads below 5 or a paid spin has not yet been
// evaluated.
void LabelInsertCoin_Click(Form1& f);

// One reel stop per tick: reel n stops on tick n with a fresh draw; after
// reel 3 the spin ends and the evaluation starts.
void Timer2_Timer(Form1& f, rt::Random& random);

// The evaluation: "Game Over!" when the money reads 0, then the prize table.
void Timer3_Timer(Form1& f);

// The prize transfer: one ring into the money (5 $) per tick, with the win flash.
void Timer4_Timer(Form1& f);

}  // namespace game
