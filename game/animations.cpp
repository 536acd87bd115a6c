// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/animations.h"

#include "runtime/convert.h"

namespace game {
namespace {

void refreshCoinPointer(game::Form1& f) {
  f.LabelInsertCoin.setMouseIcon(f.LabelInsertCoin.mouseIcon());
}

}  // namespace

void Timer1_Timer(game::Form1& f) {
  rt::Control& spin = f.ImageRotate2;
  spin.incrementTag();
  // The counter is read afresh after each write to it: a counter just reset
  // to 0 hides the picture in the same tick.
  double counter = rt::strictNumber(spin.tag());
  if (counter == 2) {
    spin.setTag(rt::numberText(kZero));
    counter = rt::strictNumber(spin.tag());
  }
  if (counter == 1) spin.setVisible(true);
  if (counter == 0) spin.setVisible(false);
}

void Timer5_Timer(game::Form1& f) {
  if (rt::strictNumber(f.Label1.tag()) == 0) {
    f.Label1.setVisible(false);
    f.Label1.setTag(rt::numberText(kOne));
  } else {
    f.Label1.setVisible(true);
    f.Label1.setTag(rt::numberText(kZero));
  }
}

void LabelInsertCoin_MouseDown(game::Form1& f) {
  refreshCoinPointer(f);
}

void LabelInsertCoin_MouseUp(game::Form1& f) {
  refreshCoinPointer(f);
}

void Command2_Click(game::Form1& f) {
  f.Frame4.setVisible(false);
}

}  // namespace game
