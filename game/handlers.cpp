// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/handlers.h"

#include <cmath>
#include <string_view>

#include "game/prize_table.h"
#include "runtime/convert.h"

namespace game {
namespace {

using rt::leadingNumber;
using rt::numberText;
using rt::strictNumber;

constexpr int kCoin = 5;  // $ a spin, and $ a ring

// Timer3.Tag marks the evaluation of a finished spin: "0" from the third
// reel's stop until the first evaluation has run, "1" after it.
constexpr std::string_view kEvaluationDue = "0";
constexpr std::string_view kEvaluated = "1";

// Stops one reel on a freshly drawn symbol: the reel is given the very
// picture object of that symbol's Image control, and shown.
void stopReel(Form1& f, rt::Control& reel, rt::Random& random) {
  const float r = random.next();
  // The product stays a double, so floor gives 0 to 9 for every r below 1.
  const double s = std::floor(rt::mul(static_cast<double>(r), 10.0));
  f.LabelGenerator.setCaption(numberText(static_cast<float>(s)));
  // The reel shows the symbol whose digit text "0" to "9" the caption is;
  // a caption that is none of them leaves its picture as it is.
  const int drawn = symbolOfCaption(f.LabelGenerator.caption());
  if (drawn >= 0) reel.setPicture(f.symbolImage(drawn).picture());
  reel.setVisible(true);
}

// Two picture references show the same symbol only when they are one object
// (one object, one handle: the pointers are compared, not the handles read).
bool samePicture(const rt::Picture* a, const rt::Picture* b) {
  return a != nullptr && a == b;
}

void payAward(Form1& f, int rings) {
  f.LabelPrize.addToCaption(rings);
  f.Timer3.setEnabled(false);
  f.Timer4.setEnabled(true);
  f.LabelInsertCoin.setEnabled(false);
}

}  // namespace

void Form_Load(rt::Random& random, const rt::SeedClock& clock) {
  random.seedFrom(clock);
}

void Command1_Click(Form1& f) {
  f.LabelPrize.setCaption("0");
  f.LabelCredit.setCaption("100");
  f.LabelInsertCoin.setEnabled(true);
  f.Timer1.setEnabled(false);
  f.Timer2.setEnabled(false);
  f.Timer3.setEnabled(false);
  f.Timer4.setEnabled(false);
  // A win flash showing now would otherwise cover the reels of every later spin.
  f.ImageEmpty.setVisible(false);
}

void LabelInsertCoin_Click(Form1& f) {
  // The slot takes no coin the player cannot pay for: without this the money
  // would go negative and play on credit would never reach "Game Over!".
  // The money read here is the money the payment takes the coin from:
  // nothing before the payment writes it.
  const double credit = leadingNumber(f.LabelCredit.caption());
  if (credit < kCoin) return;
  // Nor a coin that would restart or cancel a paid spin before it is evaluated.
  const bool spinUnderWay =
      f.Timer2.enabled() || (f.Timer3.enabled() && f.Timer3.tag() == kEvaluationDue);
  if (spinUnderWay) return;

  f.ImageNumber1.setVisible(false);
  f.ImageNumber2.setVisible(false);
  f.ImageNumber3.setVisible(false);
  f.ImageNumber1.setTag(numberText(kZero));
  f.ImageNumber2.setTag(numberText(kZero));
  f.ImageNumber3.setTag(numberText(kZero));
  f.Timer1.setEnabled(true);
  f.LabelInsertCoin.setEnabled(false);
  f.Timer2.setEnabled(true);
  f.Timer3.setEnabled(false);  // after a loss the evaluation still repeats
  f.LabelCredit.addToCaption(-kCoin);
}

void Timer2_Timer(Form1& f, rt::Random& random) {
  // Count the tick on every reel; reel n stops when its count reaches n.
  for (int n = 1; n <= 3; ++n) f.reel(n).incrementTag();
  if (strictNumber(f.ImageNumber1.tag()) == 1) stopReel(f, f.ImageNumber1, random);
  if (strictNumber(f.ImageNumber2.tag()) == 2) stopReel(f, f.ImageNumber2, random);
  if (strictNumber(f.ImageNumber3.tag()) == 3) {
    stopReel(f, f.ImageNumber3, random);
    f.Timer1.setEnabled(false);
    f.Timer2.setEnabled(false);
    f.LabelInsertCoin.setEnabled(true);
    f.Timer3.setTag(kEvaluationDue);
    f.Timer3.setEnabled(true);
  }
}

void Timer3_Timer(Form1& f) {
  f.Timer3.setTag(kEvaluated);
  if (rt::leadingNumberIsZero(f.LabelCredit.caption())) {
    f.LabelInsertCoin.setEnabled(false);
    f.LabelCredit.setCaption("Game Over!");
  }
  // Each reel's picture is read once: nothing in the evaluation changes it.
  const rt::Picture* const shown[3] = {f.ImageNumber1.picture().get(),
                                       f.ImageNumber2.picture().get(),
                                       f.ImageNumber3.picture().get()};
  auto shows = [&f, &shown](int reel, int symbol) {
    return samePicture(shown[reel - 1], f.symbolImage(symbol).picture().get());
  };
  const PrizeRule* rule = firstMatch(shows);
  if (rule == nullptr) return;  // a loss: the evaluation keeps repeating
  payAward(f, rule->award);
  if (rule->bonus != nullptr && matches(*rule->bonus, shows)) payAward(f, rule->bonus->award);
}

void Timer4_Timer(Form1& f) {
  f.LabelInsertCoin.setEnabled(true);
  // Each field is read afresh after each write to it; the prize is read for
  // the test and again as a ring is taken from it.
  const double prize = leadingNumber(f.LabelPrize.caption());
  if (prize > 0) {
    f.LabelPrize.addToCaption(-1);
    f.LabelCredit.addToCaption(kCoin);
    // The win flash: shown on the ticks that leave its counter at 1, hidden
    // on those that bring it round to 0.
    f.ImageEmpty.incrementTag();
    double flash = strictNumber(f.ImageEmpty.tag());
    if (flash == 1) f.ImageEmpty.setVisible(true);
    if (flash == 2) {
      f.ImageEmpty.setTag(numberText(kZero));
      flash = strictNumber(f.ImageEmpty.tag());
    }
    if (flash == 0) f.ImageEmpty.setVisible(false);
    return;
  }
  f.LabelPrize.setCaption("0");
  f.ImageEmpty.setVisible(false);
  f.Timer4.setEnabled(false);
  f.LabelInsertCoin.setEnabled(true);
}

}  // namespace game
