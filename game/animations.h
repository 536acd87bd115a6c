// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game/form1.h"

// The window's small handlers: the spin flicker, the blinking title strip,
// the coin slot's pointer refresh and the welcome panel's button. None of
// them touches the money, the prize, the reels or a timer.
namespace game {

// Spin flicker: spin picture 2 shown and hidden in turn over spin picture 1.
void Timer1_Timer(game::Form1& f);

// Title strip: the white bar over the title's heading hidden and shown in turn.
void Timer5_Timer(game::Form1& f);

// A mouse button pressed or released over the coin slot applies its coin
// pointer anew.
void LabelInsertCoin_MouseDown(game::Form1& f);
void LabelInsertCoin_MouseUp(game::Form1& f);

// The welcome panel's button: the panel goes, for the rest of the run.
void Command2_Click(game::Form1& f);

}  // namespace game
