// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "game/form1.h"
#include "game/input.h"
#include "game/snapshot.h"
#include "runtime/picture.h"

// The ledger: an independent bookkeeper that watches the game from outside
// and says when a rule of play is broken. It keeps its own accounts (coins
// taken, rings awarded, rings moved, which timers run, how far each spin has
// got) and its own prize table, and compares them with what the window shows
// after every event. It never reads the game's own bookkeeping (the reels'
// symbol numbers, Timer3.Tag, the prize table in game/).
//
// Use:
//   game::Machine machine(seeds);  machine.load();
//   fuzz::Ledger ledger(machine.form(), {.exactTiming = true});
//   // after every event delivered to the game, in order, with the clock:
//   machine.deliver(f.LabelInsertCoin, rt::Event::Click);
//   ledger.observe(fuzz::Action::Coin, machine.form(), now);
//   // after every timer tick:
//   ledger.observe(fuzz::tickOf(machine.form(), timer), machine.form(), now);
//   // when time passes without an event (the end of a wait):
//   ledger.idle(now);
//   if (auto v = ledger.violation()) ... report *v
//
// A timer whose tick changed nothing may sleep (the runtime parks it until
// something its handler reads changes): its ticks may then stay away, and
// the next one comes on a point of its grid, one interval apart from when it
// was switched on.
//
// On the virtual clock keep the default exact timing. On a real-time host
// (the Qt window) pass {.exactTiming = false, .lateness = N, .start = now}:
// ticks may then come up to N ms after they fall due (Timer3's 1 ms included),
// and ties may go in any order.
//
// Report every event that reached the dispatcher, also clicks on the coin
// slot that it drops because the slot is closed (the ledger expects those to
// change nothing). Events the host never delivers (a click on the coin slot
// under the welcome panel) are not reported. Start the ledger when no spin is
// under way (at start-up, or right after "Новая игра"); it opens its money
// account with the money field as it then reads.
namespace fuzz {

// The events the ledger is told of: the player's inputs first, in the order
// of game::Input, then the timers' ticks.
enum class Action : std::uint8_t {
  Coin,     // a click delivered to the coin slot
  Press,    // a mouse press delivered to the coin slot
  Release,  // a mouse release delivered to the coin slot
  NewGame,  // "Новая игра"
  Welcome,  // the welcome panel's button
  Tick1,    // a tick of Timer1 ... Timer5
  Tick2,
  Tick3,
  Tick4,
  Tick5,
};

std::string_view actionName(Action action);

// The action of a player's input.
Action actionOf(game::Input input);

// The tick action of a timer control of the game's window.
Action tickOf(const game::Form1& f, const rt::Control& timer);

// Rings paid for reels showing symbols a, b, c (0 to 9; -1 for a reel that
// shows none of the ten symbols), by the prize table written out from the
// symbol numbers: three of a kind, then two 7s, two 0s, a 7 (one more ring
// with a 0 beside it).
int prizeFor(int a, int b, int c);

// What the ledger reads from the window after every event. It compares the
// reels by their picture objects and never reads their symbol numbers.
using game::Snapshot;

class Ledger {
 public:
  struct Options {
    // Ticks come exactly on time, as on the virtual clock: every tick one
    // interval after the switch or the tick before, ties in timer order.
    // Otherwise a tick may come late, but not later than `lateness` ms.
    bool exactTiming = true;
    std::int64_t lateness = 0;
    // The clock's time when the ledger starts watching.
    std::int64_t start = 0;
  };

  Ledger(const game::Form1& f, Options options);
  Ledger(const game::Form1& f) : Ledger(f, Options{}) {}

  // Checks the state after an event delivered at time `now` (ms).
  void observe(Action action, const game::Form1& f, std::int64_t now);
  // Checks that no tick is overdue at time `now`.
  void idle(std::int64_t now);
  // The value r that the next reel draw was rigged with: the reel it stops
  // must then show symbol floor(r x 10).
  void expectDraw(float r) { rigged_.push_back(r); }

  // The first rule found broken, with the event and the time; empty while
  // every rule holds. Nothing more is checked after it.
  const std::optional<std::string>& violation() const { return violation_; }

  // The ledger's accounts since the last "Новая игра".
  std::int64_t money() const;
  std::int64_t rings() const { return awarded_ - moved_; }
  std::int64_t coins() const { return coins_; }
  std::int64_t ringsAwarded() const { return awarded_; }
  std::int64_t ringsMoved() const { return moved_; }
  std::uint64_t events() const { return events_; }

 private:
  struct Spin {
    bool active = false;  // from the coin to its first evaluation
    std::int64_t coinAt = 0;
    int stops = 0;  // Timer2 ticks since the coin
  };

  void fail(std::string what);
  void checkFields(const Snapshot& s);
  void checkReels(const Snapshot& s);
  // The steps of observe(): the tick or click came when due, the symbol
  // pictures are untouched, the state the event should leave, the checks of
  // the state it left, and the timers' next ticks.
  void checkTiming(Action action, std::int64_t now);
  void checkSymbolPictures(const game::Form1& f);
  Snapshot expectedAfter(Action action, const Snapshot& before, const Snapshot& after);
  void expectNewGame(Snapshot& expected);
  void expectCoin(const Snapshot& before, const Snapshot& after, Snapshot& expected);
  void expectStop(const Snapshot& after, Snapshot& expected);
  void expectEvaluation(const Snapshot& before, Snapshot& expected);
  void expectTransfer(const Snapshot& before, Snapshot& expected);
  void compare(const Snapshot& expected, const Snapshot& after);
  void followTimers(Action action, const Snapshot& after, std::int64_t now);
  int symbolOf(const rt::Picture* picture) const;

  Options options_;
  std::array<const rt::Picture*, 10> symbols_{};
  std::array<const rt::Picture*, 3> startCopies_{};
  std::array<int, 5> interval_{};
  Snapshot last_;
  std::int64_t opening_ = 100;
  std::int64_t coins_ = 0, awarded_ = 0, moved_ = 0;
  Spin spin_;
  std::array<bool, 3> stopped_{};  // reels that have stopped at least once
  std::array<bool, 5> on_{};
  std::array<bool, 5> stoppedByNewGame_{};
  std::array<std::int64_t, 5> due_{};
  std::array<std::int64_t, 5> start_{};  // when each timer was switched on
  // Timers whose last tick changed nothing: they may sleep, and then tick
  // next on any later point of their grid.
  std::array<bool, 5> asleep_{};
  std::deque<float> rigged_;
  std::uint64_t events_ = 0;
  std::int64_t now_ = 0;
  Action action_ = Action::Coin;  // the event being checked
  bool idle_ = false;             // checking the time between events
  std::optional<std::string> violation_;
};

}  // namespace fuzz
