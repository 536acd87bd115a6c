// SPDX-License-Identifier: GPL-3.0-or-later
// The rules of play, handler by handler, on the real window state.
#include "game/handlers.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "game/animations.h"
#include "game/prize_table.h"
#include "game_test_support.h"
#include "prize_cases.h"
#include "runtime/convert.h"
#include "runtime/errors.h"

namespace {

using testing_support::LoadedGame;

// --- The coin -------------------------------------------------------------

TEST(Coin, TakesFiveAndStartsASpin) {
  LoadedGame g;
  g.click(g.f.Command2);
  g.f.LabelPrize.setCaption("4");
  g.f.Timer4.setEnabled(true);
  const auto generator = g.f.LabelGenerator.caption();
  g.coin();
  EXPECT_EQ("95", g.f.LabelCredit.caption());
  for (int n = 1; n <= 3; ++n) {
    EXPECT_FALSE(g.f.reel(n).visible());
    EXPECT_EQ("0", g.f.reel(n).tag());
    EXPECT_EQ(-1, g.f.reelSymbol(n));  // pictures untouched
  }
  EXPECT_TRUE(g.f.Timer1.enabled());
  EXPECT_TRUE(g.f.Timer2.enabled());
  EXPECT_FALSE(g.f.Timer3.enabled());
  EXPECT_FALSE(g.f.LabelInsertCoin.enabled());
  // Neither the prize, its transfer nor the generator is touched.
  EXPECT_EQ("4", g.f.LabelPrize.caption());
  EXPECT_TRUE(g.f.Timer4.enabled());
  EXPECT_EQ(generator, g.f.LabelGenerator.caption());
}

TEST(Coin, IsAcceptedOnlyWhenTheMoneyCoversIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"100", "95"},
      {"5", "0"},
      {"6", "1"},
      {"4", nullptr},
      {"0", nullptr},
      {"-5", nullptr},
      {"Game Over!", nullptr},
      {"", nullptr},
      {"abc", nullptr},
      {"5$", "0"},
  };
  for (const auto& [money, after] : cases) {
    LoadedGame g;
    g.f.LabelCredit.setCaption(money);
    game::LabelInsertCoin_Click(g.f);
    if (after != nullptr) {
      EXPECT_EQ(after, g.f.LabelCredit.caption()) << money;
      EXPECT_TRUE(g.f.Timer2.enabled()) << money;
    } else {
      // A refused coin changes nothing at all.
      EXPECT_EQ(money, g.f.LabelCredit.caption());
      EXPECT_FALSE(g.f.Timer2.enabled()) << money;
      EXPECT_TRUE(g.f.LabelInsertCoin.enabled()) << money;
      EXPECT_TRUE(g.f.ImageNumber1.visible()) << money;
    }
  }
}

TEST(Coin, IsRefusedWhileAPaidSpinAwaitsItsEvaluation) {
  LoadedGame g;
  g.click(g.f.Command2);
  g.rigSymbols(3, 4, 5);
  g.coin();
  // A prize transfer reopens the slot during the spin: the coin is refused.
  g.clock.advance(600);
  g.f.LabelInsertCoin.setEnabled(true);
  game::LabelInsertCoin_Click(g.f);
  EXPECT_EQ("95", g.f.LabelCredit.caption());
  EXPECT_EQ("1", g.f.ImageNumber1.tag());
  // After the third stop the slot is open, but the evaluation has not run.
  g.clock.advance(900);
  ASSERT_TRUE(g.f.LabelInsertCoin.enabled());
  ASSERT_TRUE(g.f.Timer3.enabled());
  g.coin();
  EXPECT_EQ("95", g.f.LabelCredit.caption());
  EXPECT_TRUE(g.f.Timer3.enabled());
  // Once it has run (a loss), the next coin is taken and stops the evaluation.
  g.clock.advance(1);
  g.coin();
  EXPECT_EQ("90", g.f.LabelCredit.caption());
  EXPECT_FALSE(g.f.Timer3.enabled());
}

TEST(Coin, TwentyLosingCoinsEndTheGameAndOnlyNewGameRestoresIt) {
  LoadedGame g;
  g.click(g.f.Command2);
  for (int spin = 0; spin < 20; ++spin) {
    g.rigSymbols(3, 4, 5);
    g.coin();
    g.clock.advance(1501);
  }
  EXPECT_EQ("Game Over!", g.f.LabelCredit.caption());
  EXPECT_FALSE(g.f.LabelInsertCoin.enabled());
  g.clock.advance(50);  // the evaluation repeats and writes it again
  EXPECT_EQ("Game Over!", g.f.LabelCredit.caption());
  g.coin();
  EXPECT_FALSE(g.f.Timer2.enabled());
  g.click(g.f.Command1);
  EXPECT_EQ("100", g.f.LabelCredit.caption());
  EXPECT_FALSE(g.f.Timer3.enabled());
  g.coin();
  EXPECT_EQ("95", g.f.LabelCredit.caption());
}

// --- "Новая игра" ---------------------------------------------------------

TEST(NewGame, ResetsMoneyAndPrizeStopsTimersAndTakesTheFlashAway) {
  LoadedGame g;
  g.click(g.f.Command2);
  g.rigSymbols(7, 7, 7);
  g.coin();
  g.clock.advance(1501 + 300);  // first ring moved, flash showing
  ASSERT_TRUE(g.f.ImageEmpty.visible());
  g.click(g.f.Command1);
  EXPECT_EQ("0", g.f.LabelPrize.caption());
  EXPECT_EQ("100", g.f.LabelCredit.caption());
  EXPECT_TRUE(g.f.LabelInsertCoin.enabled());
  for (rt::Control* t : {&g.f.Timer1, &g.f.Timer2, &g.f.Timer3, &g.f.Timer4})
    EXPECT_FALSE(t->enabled());
  EXPECT_TRUE(g.f.Timer5.enabled());
  EXPECT_FALSE(g.f.ImageEmpty.visible());
  EXPECT_EQ("1", g.f.ImageEmpty.tag());  // the flash keeps its phase
  EXPECT_EQ(7, g.f.reelSymbol(1));       // the reels stay as they are
}

TEST(NewGame, StopsASpinMidwayAndTwiceIsLikeOnce) {
  LoadedGame g;
  g.click(g.f.Command2);
  g.rigSymbols(2, 3, 4);
  g.coin();
  g.clock.advance(700);
  g.click(g.f.Command1);
  const std::string after = g.f.LabelCredit.caption() + g.f.ImageRotate2.tag();
  g.click(g.f.Command1);
  EXPECT_EQ(after, g.f.LabelCredit.caption() + g.f.ImageRotate2.tag());
  g.clock.advance(5000);
  EXPECT_TRUE(g.f.ImageNumber1.visible());
  EXPECT_EQ(2, g.f.reelSymbol(1));
  EXPECT_FALSE(g.f.ImageNumber2.visible());
  EXPECT_FALSE(g.f.ImageNumber3.visible());
  EXPECT_EQ("1", g.f.ImageNumber3.tag());
  EXPECT_EQ(0u, g.clock.ticks(2));  // no evaluation
}

// --- Reel stops -----------------------------------------------------------

TEST(ReelStops, StopOneReelEveryHalfSecondThenHandOver) {
  LoadedGame g;
  g.click(g.f.Command2);
  g.rigSymbols(1, 8, 3);
  g.coin();
  const int expected[] = {1, 8, 3};
  for (int n = 1; n <= 3; ++n) {
    g.clock.advance(499);
    EXPECT_FALSE(g.f.reel(n).visible()) << n;
    g.clock.advance(1);
    EXPECT_TRUE(g.f.reel(n).visible()) << n;
    EXPECT_EQ(expected[n - 1], g.f.reelSymbol(n));
    EXPECT_EQ(std::to_string(n), g.f.ImageNumber1.tag());
  }
  EXPECT_EQ("3", g.f.LabelGenerator.caption());
  EXPECT_FALSE(g.f.Timer1.enabled());
  EXPECT_FALSE(g.f.Timer2.enabled());
  EXPECT_TRUE(g.f.LabelInsertCoin.enabled());
  EXPECT_TRUE(g.f.Timer3.enabled());
  g.clock.advance(10000);
  EXPECT_EQ(3u, g.clock.ticks(1));
  EXPECT_EQ("3", g.f.ImageNumber3.tag());
}

TEST(ReelStops, DrawsMapEveryValueToOneOfTenSymbols) {
  const std::pair<float, int> cases[] = {
      {0.0f, 0},        {0.0999999f, 0}, {0.1f, 1},
      {0.75f, 7},       {0.7f, 6},  // 0.7 as a single is below 0.7
      {0.99999994f, 9},             // just below 1
  };
  for (const auto& [r, symbol] : cases) {
    LoadedGame g;
    g.rig({r});
    g.f.ImageNumber1.setTag("0");
    game::Timer2_Timer(g.f, g.machine.random());
    EXPECT_EQ(symbol, g.f.reelSymbol(1)) << r;
    EXPECT_EQ(std::to_string(symbol), g.f.LabelGenerator.caption());
  }
}

// The symbol a reel stop takes from the generator's caption is the one whose
// digit text the caption equals, compared with each of "0" to "9" in turn.
TEST(ReelStops, TheCaptionGivesTheSymbolWhoseDigitTextItIs) {
  const std::array<std::string, 10> digitText{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
  std::vector<std::string> captions = {"",   " ",   "10",  "00", "05", " 5",      "5 ",        "-1",
                                       "+1", "1.0", "9E0", "09", "٣",  "Ge ner.", "Game Over!"};
  // A digit with a nul after or before it.
  captions.emplace_back("7\0", 2);
  captions.emplace_back(
      "\0"
      "7",
      2);
  // And every character on its own, the ten digits among them.
  for (int c = 0; c < 256; ++c) captions.emplace_back(1, static_cast<char>(c));
  int named = 0;
  for (const std::string& caption : captions) {
    int compared = -1;
    for (int d = 0; d < 10; ++d) {
      if (caption == digitText[static_cast<std::size_t>(d)]) compared = d;
    }
    EXPECT_EQ(compared, game::symbolOfCaption(caption)) << '"' << caption << '"';
    if (compared >= 0) ++named;
  }
  EXPECT_EQ(10, named);
}

TEST(ReelStops, ThreeEqualDrawsShareOnePictureObject) {
  LoadedGame g;
  g.click(g.f.Command2);
  g.rigSymbols(7, 7, 7);
  g.coin();
  g.clock.advance(1500);
  const rt::Picture* seven = g.f.symbolImage(7).picture().get();
  for (int n = 1; n <= 3; ++n) EXPECT_EQ(seven, g.f.reel(n).picture().get());
}

TEST(ReelStops, ACounterThatIsNoNumberRaisesARunTimeErrorKeepingEarlierSteps) {
  LoadedGame g;
  g.f.ImageNumber2.setTag("x");
  EXPECT_THROW(game::Timer2_Timer(g.f, g.machine.random()), rt::RuntimeError);
  EXPECT_EQ("1", g.f.ImageNumber1.tag());
  EXPECT_EQ("x", g.f.ImageNumber2.tag());
}

// --- Evaluation -----------------------------------------------------------

struct Evaluated {
  int rings;
  bool won;
};

Evaluated evaluate(LoadedGame& g, int a, int b, int c) {
  g.f.ImageNumber1.setPicture(g.f.symbolImage(a).picture());
  g.f.ImageNumber2.setPicture(g.f.symbolImage(b).picture());
  g.f.ImageNumber3.setPicture(g.f.symbolImage(c).picture());
  g.f.LabelPrize.setCaption("0");
  g.f.Timer4.setEnabled(false);
  g.f.Timer3.setEnabled(true);
  g.f.LabelInsertCoin.setEnabled(true);
  game::Timer3_Timer(g.f);
  return {static_cast<int>(rt::leadingNumber(g.f.LabelPrize.caption())), g.f.Timer4.enabled()};
}

TEST(Evaluation, PaysTheFirstMatchingRuleAndThirteenAAfterThirteen) {
  LoadedGame g;
  for (const testing_support::PrizeCase& c : testing_support::kPrizeCases) {
    const Evaluated e = evaluate(g, c.a, c.b, c.c);
    EXPECT_EQ(c.rings, e.rings) << c.a << c.b << c.c;
    EXPECT_EQ(c.rings > 0, e.won) << c.a << c.b << c.c;
    EXPECT_EQ(c.rings == 0, g.f.Timer3.enabled()) << c.a << c.b << c.c;
    EXPECT_EQ(c.rings == 0, g.f.LabelInsertCoin.enabled()) << c.a << c.b << c.c;
  }
}

TEST(Evaluation, AllThousandTriplesPay2111RingsIn304Wins) {
  LoadedGame g;
  int wins = 0, rings = 0, loneZeroLosses = 0;
  for (int a = 0; a < 10; ++a) {
    for (int b = 0; b < 10; ++b) {
      for (int c = 0; c < 10; ++c) {
        const Evaluated e = evaluate(g, a, b, c);
        wins += e.won;
        rings += e.rings;
        loneZeroLosses += !e.won && (a == 0) + (b == 0) + (c == 0) == 1;
      }
    }
  }
  EXPECT_EQ(testing_support::kWinningTriples, wins);
  EXPECT_EQ(testing_support::kRingsOverAllTriples, rings);
  EXPECT_EQ(192, loneZeroLosses);
}

TEST(Evaluation, StartPicturesMatchNoRule) {
  LoadedGame g;
  g.f.Timer3.setEnabled(true);
  game::Timer3_Timer(g.f);
  EXPECT_EQ("0", g.f.LabelPrize.caption());
  EXPECT_TRUE(g.f.Timer3.enabled());
}

TEST(Evaluation, MoneyAtZeroIsGameOverEvenWhenTheSpinWins) {
  LoadedGame g;
  g.f.LabelCredit.setCaption("0");
  const Evaluated e = evaluate(g, 7, 3, 3);
  EXPECT_EQ("Game Over!", g.f.LabelCredit.caption());
  EXPECT_EQ(2, e.rings);
  // The transfer counts the money up from 0 and reopens the slot.
  game::Timer4_Timer(g.f);
  EXPECT_EQ("5", g.f.LabelCredit.caption());
  EXPECT_TRUE(g.f.LabelInsertCoin.enabled());
}

TEST(Evaluation, OnlyExactlyZeroEndsTheGame) {
  for (const char* money : {"-5", "5", "0.5"}) {
    LoadedGame g;
    g.f.LabelCredit.setCaption(money);
    evaluate(g, 1, 2, 3);
    EXPECT_EQ(money, g.f.LabelCredit.caption());
    EXPECT_TRUE(g.f.LabelInsertCoin.enabled());
  }
}

TEST(Evaluation, AWinAddsToRingsStillBeingTransferred) {
  LoadedGame g;
  g.f.ImageNumber1.setPicture(g.f.symbolImage(0).picture());
  g.f.ImageNumber2.setPicture(g.f.symbolImage(0).picture());
  g.f.ImageNumber3.setPicture(g.f.symbolImage(0).picture());
  g.f.LabelPrize.setCaption("4");
  g.f.Timer4.setEnabled(true);
  game::Timer3_Timer(g.f);
  EXPECT_EQ("11", g.f.LabelPrize.caption());
}

// --- Prize transfer -------------------------------------------------------

TEST(Transfer, MovesOneRingATickWithTheFlashAndCarriesItsPhase) {
  LoadedGame g;
  g.f.LabelPrize.setCaption("7");
  g.f.Timer4.setEnabled(true);
  const bool shownAfter[] = {true, false, true, false, true, false, true};
  for (int tick = 1; tick <= 7; ++tick) {
    game::Timer4_Timer(g.f);
    EXPECT_EQ(std::to_string(7 - tick), g.f.LabelPrize.caption());
    EXPECT_EQ(std::to_string(100 + 5 * tick), g.f.LabelCredit.caption());
    EXPECT_EQ(shownAfter[tick - 1], g.f.ImageEmpty.visible()) << tick;
  }
  game::Timer4_Timer(g.f);
  EXPECT_EQ("0", g.f.LabelPrize.caption());
  EXPECT_FALSE(g.f.ImageEmpty.visible());
  EXPECT_FALSE(g.f.Timer4.enabled());
  EXPECT_EQ("1", g.f.ImageEmpty.tag());
  // The next transfer of 3 first hides, then shows on its second ring.
  g.f.LabelPrize.setCaption("3");
  g.f.Timer4.setEnabled(true);
  const bool next[] = {false, true, false};
  for (bool shown : next) {
    game::Timer4_Timer(g.f);
    EXPECT_EQ(shown, g.f.ImageEmpty.visible());
  }
  game::Timer4_Timer(g.f);
  EXPECT_EQ("0", g.f.ImageEmpty.tag());
  EXPECT_FALSE(g.f.Timer4.enabled());
}

TEST(Transfer, EndsAtOnceWhenNoRingIsLeft) {
  for (const char* prize : {"0", "", "-3", "Game Over!"}) {
    LoadedGame g;
    g.f.LabelPrize.setCaption(prize);
    g.f.LabelInsertCoin.setEnabled(false);
    g.f.ImageEmpty.setVisible(true);
    g.f.Timer4.setEnabled(true);
    game::Timer4_Timer(g.f);
    EXPECT_EQ("0", g.f.LabelPrize.caption()) << prize;
    EXPECT_EQ("100", g.f.LabelCredit.caption()) << prize;
    EXPECT_FALSE(g.f.ImageEmpty.visible()) << prize;
    EXPECT_FALSE(g.f.Timer4.enabled()) << prize;
    EXPECT_TRUE(g.f.LabelInsertCoin.enabled()) << prize;
  }
}

TEST(Transfer, RunsBesideANewSpinAndLosesNoMoney) {
  LoadedGame g;
  g.click(g.f.Command2);
  g.rigSymbols(7, 7, 0);  // 5 rings
  g.coin();
  g.clock.advance(1501);
  EXPECT_EQ("5", g.f.LabelPrize.caption());
  g.clock.advance(300);  // first ring: slot open again
  EXPECT_EQ("100", g.f.LabelCredit.caption());
  g.rigSymbols(3, 4, 5);
  g.coin();
  EXPECT_EQ("95", g.f.LabelCredit.caption());
  g.clock.advance(1600);
  EXPECT_EQ("0", g.f.LabelPrize.caption());
  EXPECT_EQ("115", g.f.LabelCredit.caption());  // 100 - 5 - 5 + 5 x 5
  EXPECT_FALSE(g.f.Timer4.enabled());
}

// --- The window's small handlers ------------------------------------------

TEST(Animations, SpinFlickerAlternatesAfterTwoShownIntervals) {
  LoadedGame g;
  const bool shown[] = {true, false, true, false, true};
  for (bool s : shown) {
    game::Timer1_Timer(g.f);
    EXPECT_EQ(s, g.f.ImageRotate2.visible());
  }
  EXPECT_EQ("1", g.f.ImageRotate2.tag());
}

TEST(Animations, TitleStripBlinksEveryQuarterSecond) {
  LoadedGame g;
  const std::pair<int, bool> moments[] = {
      {249, true}, {250, false}, {499, false}, {500, true}, {750, false}};
  for (const auto& [t, visible] : moments) {
    g.clock.advance(t - g.clock.now());
    EXPECT_EQ(visible, g.f.Label1.visible()) << t;
    EXPECT_EQ(visible ? "0" : "1", g.f.Label1.tag()) << t;
  }
}

TEST(Animations, PointerRefreshAndWelcomeChangeNothingElse) {
  LoadedGame g;
  const rt::Picture* coin = g.f.LabelInsertCoin.mouseIcon().get();
  g.machine.deliver(g.f.LabelInsertCoin, rt::Event::MouseDown);
  g.machine.deliver(g.f.LabelInsertCoin, rt::Event::MouseUp);
  EXPECT_EQ(coin, g.f.LabelInsertCoin.mouseIcon().get());
  g.click(g.f.Command2);
  EXPECT_FALSE(g.f.Frame4.visible());
  const auto changes = g.f.takeChanges();
  ASSERT_EQ(2u, changes.size());
  EXPECT_EQ(rt::kMouseIcon, changes[0].properties);
  EXPECT_EQ(&g.f.Frame4, changes[1].control);
}

}  // namespace
