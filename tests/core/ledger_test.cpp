// SPDX-License-Identifier: GPL-3.0-or-later
// The ledger that watches the game from outside: its own prize table, quiet
// on correct play, and a report for each kind of broken rule fed to it. And
// the fuzz player: its scripts replay in the driver to the same state.
#include "fuzz/ledger.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>

#include "fuzz/play.h"
#include "game/driver.h"
#include "game/prize_table.h"
#include "game_test_support.h"
#include "prize_cases.h"
#include "runtime/convert.h"

namespace {

using fuzz::Action;
using ::testing::HasSubstr;
using testing_support::LoadedGame;

TEST(LedgerPrizeTable, PaysTheWrittenAwards) {
  for (const testing_support::PrizeCase& c : testing_support::kPrizeCases) {
    EXPECT_EQ(c.rings, fuzz::prizeFor(c.a, c.b, c.c)) << c.a << "-" << c.b << "-" << c.c;
  }
  // A reel that shows none of the ten symbols (-1) matches no symbol.
  const testing_support::PrizeCase noSymbol[] = {
      {-1, -1, -1, 0},
      {7, -1, -1, 2},
      {-1, 0, -1, 0},
  };
  for (const testing_support::PrizeCase& c : noSymbol) {
    EXPECT_EQ(c.rings, fuzz::prizeFor(c.a, c.b, c.c)) << c.a << "-" << c.b << "-" << c.c;
  }
}

TEST(LedgerPrizeTable, AgreesWithTheGameOnEveryTriple) {
  int wins = 0, rings = 0;
  for (int a = 0; a < 10; ++a) {
    for (int b = 0; b < 10; ++b) {
      for (int c = 0; c < 10; ++c) {
        const int symbols[] = {a, b, c};
        auto shows = [&](int reel, int d) { return symbols[reel - 1] == d; };
        int game = 0;
        if (const game::PrizeRule* rule = game::firstMatch(shows)) {
          game = rule->award;
          if (rule->bonus != nullptr && game::matches(*rule->bonus, shows)) {
            game += rule->bonus->award;
          }
        }
        const int ledger = fuzz::prizeFor(a, b, c);
        EXPECT_EQ(game, ledger) << a << "-" << b << "-" << c;
        wins += ledger > 0;
        rings += ledger;
      }
    }
  }
  EXPECT_EQ(testing_support::kWinningTriples, wins);
  EXPECT_EQ(testing_support::kRingsOverAllTriples, rings);
}

// The game on the virtual clock with a ledger reporting every event.
struct Watched {
  LoadedGame g;
  std::optional<fuzz::Ledger> ledger;

  Watched() { ledger.emplace(g.f); }
  // Starts a fresh ledger on the state as it now is.
  void restart() { ledger.emplace(g.f, fuzz::Ledger::Options{.start = g.clock.now()}); }

  void observe(Action action) { ledger->observe(action, g.f, g.clock.now()); }
  void click(rt::Control& c, Action action) {
    g.click(c);
    observe(action);
  }
  void welcome() { click(g.f.Command2, Action::Welcome); }
  void coin() { click(g.f.LabelInsertCoin, Action::Coin); }
  void newGame() { click(g.f.Command1, Action::NewGame); }
  // Delivers the next tick and returns its timer; `tamper` runs between the
  // handler and the ledger's look, as a faulty handler would.
  rt::Control* tick(const std::function<void(game::Form1&)>& tamper = {}) {
    rt::Control* timer = g.clock.step(rt::VirtualClock::kNever);
    if (timer == nullptr) return nullptr;
    if (tamper) tamper(g.f);
    observe(fuzz::tickOf(g.f, *timer));
    return timer;
  }
  // Ticks until `timer` has ticked.
  void tickUntil(const rt::Control& timer, const std::function<void(game::Form1&)>& tamper = {}) {
    while (rt::Control* t = g.clock.step(rt::VirtualClock::kNever)) {
      if (t == &timer && tamper) tamper(g.f);
      observe(fuzz::tickOf(g.f, *t));
      if (t == &timer) return;
    }
  }
  void wait(std::int64_t ms) {
    const std::int64_t end = g.clock.now() + ms;
    while (rt::Control* t = g.clock.step(end)) observe(fuzz::tickOf(g.f, *t));
    g.clock.advance(end - g.clock.now());
    ledger->idle(end);
  }
  void rigSymbols(int a, int b, int c) {
    g.rigSymbols(a, b, c);
    for (int d : {a, b, c}) ledger->expectDraw(LoadedGame::drawing(d));
  }
  std::string violation() const { return ledger->violation().value_or(""); }
};

// A coin handler that takes the coin whatever the money and the spin.
void takeCoinRegardless(game::Form1& f) {
  for (int n = 1; n <= 3; ++n) {
    f.reel(n).setVisible(false);
    f.reel(n).setTag("0");
  }
  f.Timer1.setEnabled(true);
  f.LabelInsertCoin.setEnabled(false);
  f.Timer2.setEnabled(true);
  f.Timer3.setEnabled(false);
  f.LabelCredit.setCaption(rt::numberText(rt::leadingNumber(f.LabelCredit.caption()) - 5.0));
}

TEST(Ledger, CorrectPlayBreaksNoRule) {
  const std::function<void(Watched&)> plays[] = {
      // A win of 3 rings, paid out ring by ring, then two more spins.
      [](Watched& w) {
        w.welcome();
        w.rigSymbols(7, 0, 5);
        w.coin();
        w.wait(2800);
        EXPECT_EQ(110, w.ledger->money());
        EXPECT_EQ(3, w.ledger->ringsMoved());
        w.coin();
        w.wait(5000);
      },
      // The last 5 $ lost, coins refused at "Game Over!", then "Новая игра".
      [](Watched& w) {
        w.welcome();
        w.g.f.LabelCredit.setCaption("5");
        w.restart();
        w.rigSymbols(3, 4, 5);
        w.coin();
        w.wait(1600);
        w.coin();
        w.newGame();
        w.coin();
        w.wait(100);
      },
      // "Новая игра" mid-spin and mid-transfer; a coin beside a transfer.
      [](Watched& w) {
        w.welcome();
        w.coin();
        w.wait(700);
        w.newGame();
        w.wait(2000);
        w.rigSymbols(9, 9, 9);
        w.coin();
        w.wait(1801);
        w.coin();
        w.wait(1000);
        w.newGame();
        w.coin();
        w.wait(3000);
      },
  };
  for (const auto& play : plays) {
    Watched w;
    play(w);
    EXPECT_EQ("", w.violation());
    EXPECT_GT(w.ledger->events(), 0u);
  }
}

TEST(Ledger, ReportsEachBrokenRule) {
  struct Case {
    const char* name;
    std::function<void(Watched&)> play;
    const char* report;
  };
  const Case cases[] = {
      {"a coin taken at 4 $",
       [](Watched& w) {
         w.welcome();
         w.g.f.LabelCredit.setCaption("4");
         w.restart();
         takeCoinRegardless(w.g.f);
         w.observe(Action::Coin);
       },
       "accepted with the money at 4, below 5"},
      {"a coin taken before the spin was evaluated",
       [](Watched& w) {
         w.welcome();
         w.coin();
         w.wait(1500);
         takeCoinRegardless(w.g.f);
         w.observe(Action::Coin);
       },
       "accepted while a spin is under way"},
      {"a payable coin refused",
       [](Watched& w) {
         w.welcome();
         w.observe(Action::Coin);
       },
       "refused with the slot open"},
      {"an evaluation paying 2 for 7-0-5",
       [](Watched& w) {
         w.welcome();
         w.rigSymbols(7, 0, 5);
         w.coin();
         w.tickUntil(w.g.f.Timer3, [](game::Form1& f) { f.LabelPrize.setCaption("2"); });
       },
       "the prize field reads \"2\"; the ledger says 3"},
      {"a ring moved without its 5 $",
       [](Watched& w) {
         w.welcome();
         w.rigSymbols(7, 7, 1);
         w.coin();
         w.tickUntil(w.g.f.Timer4, [](game::Form1& f) { f.LabelCredit.setCaption("95"); });
       },
       "the money field reads \"95\"; the ledger says 100"},
      {"a tick after \"Новая игра\"",
       [](Watched& w) {
         w.welcome();
         w.coin();
         w.wait(600);
         w.newGame();
         w.observe(Action::Tick2);
       },
       "Timer2 ticked while off (stopped by \"Новая игра\")"},
      {"\"Новая игра\" leaving the transfer on",
       [](Watched& w) {
         w.welcome();
         w.rigSymbols(9, 9, 9);
         w.coin();
         w.wait(1900);
         w.g.click(w.g.f.Command1);
         w.g.f.Timer4.setEnabled(true);
         w.observe(Action::NewGame);
       },
       "Timer4.Enabled is True, expected False"},
      {"a reel stopped on a look-alike copy",
       [](Watched& w) {
         w.welcome();
         w.coin();
         const rt::PictureRef copy = w.g.f.ImageNumber2.picture();
         w.tickUntil(w.g.f.Timer2, [&](game::Form1& f) { f.ImageNumber1.setPicture(copy); });
       },
       "reel 1 stopped on a picture that is not the very object"},
      {"a reel showing another symbol than its rigged draw",
       [](Watched& w) {
         w.welcome();
         w.ledger->expectDraw(0.75f);
         w.g.rig({0.15f});
         w.coin();
         w.tickUntil(w.g.f.Timer2);
       },
       "reel 1 shows symbol 1, but the rigged draw gives 7"},
      {"a money field below 0",
       [](Watched& w) {
         w.welcome();
         w.coin();
         w.g.f.LabelCredit.setCaption("-5");
         w.tick();
       },
       "the money field reads \"-5\""},
      {"a prize field that is no number",
       [](Watched& w) {
         w.g.f.LabelPrize.setCaption("0 rings");
         w.tick();
       },
       "the prize field reads \"0 rings\""},
      {"a flash counter left at 2",
       [](Watched& w) {
         w.welcome();
         w.rigSymbols(7, 7, 1);
         w.coin();
         w.tickUntil(w.g.f.Timer4);
         w.tickUntil(w.g.f.Timer4, [](game::Form1& f) { f.ImageEmpty.setTag("2"); });
       },
       "ImageEmpty's counter reads \"2\""},
      {"\"Game Over!\" not written at 0 $",
       [](Watched& w) {
         w.welcome();
         w.g.f.LabelCredit.setCaption("5");
         w.restart();
         w.rigSymbols(1, 2, 3);
         w.coin();
         w.tickUntil(w.g.f.Timer3, [](game::Form1& f) { f.LabelCredit.setCaption("0"); });
       },
       "the money field reads \"0\", expected \"Game Over!\""},
      {"the reels left turning after the third stop",
       [](Watched& w) {
         w.welcome();
         w.coin();
         w.wait(1000);
         w.tickUntil(w.g.f.Timer2, [](game::Form1& f) { f.Timer2.setEnabled(true); });
       },
       "Timer2.Enabled is True, expected False"},
      {"a stalled reel",
       [](Watched& w) {
         w.welcome();
         w.coin();
         w.ledger->idle(w.g.clock.now() + 600);
       },
       "Timer1 missed its tick due at 125"},
  };
  for (const Case& c : cases) {
    Watched w;
    c.play(w);
    EXPECT_THAT(w.violation(), HasSubstr(c.report)) << c.name << "\n  reported: " << w.violation();
  }
}

TEST(Ledger, RefusedCoinsAreNoViolation) {
  // The real game refuses a coin at 4 $ and during a spin: the ledger agrees.
  Watched w;
  w.welcome();
  w.g.f.LabelCredit.setCaption("4");
  w.restart();
  w.coin();
  w.newGame();
  w.coin();
  w.wait(1500);
  w.coin();
  w.wait(1);
  EXPECT_EQ("", w.violation());
  EXPECT_EQ(1, w.ledger->coins());
}

std::string lastLine(const std::string& text) {
  std::string line, last;
  std::istringstream in(text);
  while (std::getline(in, line)) last = line;
  return last;
}

// Plays the script through the driver, as zarnovik-sim would.
std::string replay(const std::string& script) {
  rt::FixedSeedClock seeds{1};
  std::ostringstream out, err;
  std::istringstream in(script);
  game::ScriptDriver driver(seeds, out, err);
  const int status = driver.run(in);
  const std::string last = lastLine(out.str());
  EXPECT_EQ(last.starts_with("{\"error\"") ? 3 : 0, status) << err.str();
  return last;
}

TEST(FuzzPlayer, RandomInputsBreakNoRuleAndTheirScriptsReplayExactly) {
  std::mt19937 bytes(20261209);
  int replayed = 0;
  for (int i = 0; i < 150; ++i) {
    std::vector<std::uint8_t> data(static_cast<std::size_t>(8 + bytes() % 120));
    for (auto& b : data) b = static_cast<std::uint8_t>(bytes());
    const fuzz::Outcome outcome = fuzz::play(fuzz::decode(data));
    ASSERT_FALSE(outcome.violation) << *outcome.violation << "\n" << outcome.script;
    if (outcome.bounded) continue;
    EXPECT_EQ(outcome.finalState, replay(outcome.script)) << outcome.script;
    ++replayed;
  }
  EXPECT_GT(replayed, 100);
}

TEST(FuzzPlayer, RiggedDrawsAreWrittenSoTheDriverReadsTheSameSingle) {
  for (float r : {0.0f, 0.7f, 0.1f, 1.0f / 65536.0f, std::nextafter(1.0f, 0.0f)}) {
    const std::string text = game::rigText(r);
    EXPECT_EQ(r, std::stof(text)) << text;
    EXPECT_EQ(std::string::npos, text.find_first_of("eE")) << text;
  }
}

TEST(FuzzPlayer, TheSeedCorpusBreaksNoRule) {
  std::size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ZRNV_FUZZ_CORPUS_DIR)) {
    std::ifstream file(entry.path(), std::ios::binary);
    const std::vector<std::uint8_t> data{std::istreambuf_iterator<char>(file), {}};
    const fuzz::Outcome outcome = fuzz::play(fuzz::decode(data));
    EXPECT_FALSE(outcome.violation) << entry.path().filename() << ": " << *outcome.violation;
    ++count;
  }
  EXPECT_GT(count, 0u);
}

}  // namespace
