// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzz/ledger.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace fuzz {
namespace {

constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kStake = 5;  // $ a coin, and $ a ring
constexpr std::string_view kGameOver = "Game Over!";

// Awards of three of a kind, by symbol number.
constexpr std::array<int, 10> kTriple{7, 10, 20, 30, 50, 100, 150, 200, 300, 500};

// A whole number written the game's way: "0", or digits without a leading
// zero after an optional "-".
std::optional<std::int64_t> numberValue(std::string_view text) {
  std::string_view digits = text.substr(!text.empty() && text.front() == '-' ? 1 : 0);
  if (digits.empty() || digits.size() > 15 || (digits.front() == '0' && text.size() > 1)) {
    return std::nullopt;
  }
  std::int64_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

std::string text(std::int64_t value) {
  return std::to_string(value);
}

// The phase counters that run 0, 1, 2 store only 0 and 1: a 2 is reset to 0
// in the tick that reaches it.
bool isTwoPhase(std::string_view tag) {
  return tag == "0" || tag == "1";
}

// The timer (0 to 4) whose tick the action is, or -1.
int timerOf(Action action) {
  return action >= Action::Tick1 ? static_cast<int>(action) - static_cast<int>(Action::Tick1) : -1;
}

}  // namespace

std::string_view actionName(Action action) {
  switch (action) {
    case Action::Coin:
    case Action::Press:
    case Action::Release:
    case Action::NewGame:
    case Action::Welcome:
      return game::inputName(static_cast<game::Input>(action));
    case Action::Tick1:
      return "Timer1 tick";
    case Action::Tick2:
      return "Timer2 tick";
    case Action::Tick3:
      return "Timer3 tick";
    case Action::Tick4:
      return "Timer4 tick";
    case Action::Tick5:
      return "Timer5 tick";
  }
  return "?";
}

Action actionOf(game::Input input) {
  static_assert(static_cast<int>(Action::Welcome) == static_cast<int>(game::Input::Welcome) &&
                static_cast<int>(Action::Coin) == static_cast<int>(game::Input::Coin) &&
                game::kInputs.size() == static_cast<std::size_t>(Action::Tick1));
  return static_cast<Action>(input);
}

Action tickOf(const game::Form1& f, const rt::Control& timer) {
  const auto timers = f.timers();
  for (std::size_t i = 0; i + 1 < timers.size() && i < 4; ++i) {
    if (timers[i] == &timer) return static_cast<Action>(static_cast<int>(Action::Tick1) + i);
  }
  return Action::Tick5;
}

int prizeFor(int a, int b, int c) {
  if (a == b && b == c && a >= 0 && a <= 9) return kTriple[static_cast<std::size_t>(a)];
  const int sevens = (a == 7) + (b == 7) + (c == 7);
  const int zeros = (a == 0) + (b == 0) + (c == 0);
  if (sevens >= 2) return 5;
  if (zeros >= 2) return 3;
  if (sevens == 1) return zeros == 1 ? 2 + 1 : 2;  // a lone 0 beside a lone 7: one more
  return 0;
}

Ledger::Ledger(const game::Form1& f, Options options) : options_(options) {
  for (int d = 0; d < 10; ++d) symbols_[d] = f.symbolImage(d).picture().get();
  const auto timers = f.timers();
  for (std::size_t i = 0; i < interval_.size() && i < timers.size(); ++i) {
    interval_[i] = timers[i]->interval();
  }
  last_ = Snapshot::of(f);
  for (std::size_t n = 0; n < 3; ++n) {
    if (symbolOf(last_.reelPicture[n]) >= 0) {
      stopped_[n] = true;
    } else {
      startCopies_[n] = last_.reelPicture[n];
    }
  }
  for (std::size_t i = 0; i < 5; ++i) {
    on_[i] = last_.timerOn[i];
    due_[i] = on_[i] ? options_.start + interval_[i] : kNever;
    start_[i] = options_.start;
  }
  const std::optional<std::int64_t> money = numberValue(last_.money);
  opening_ = last_.money == kGameOver ? 0 : money.value_or(0);
  if (!money && last_.money != kGameOver) fail("the money field reads " + quoted(last_.money));
  if (last_.prize != "0") fail("the prize field reads " + quoted(last_.prize) + ", not \"0\"");
  if (!violation_) checkFields(last_);
}

std::int64_t Ledger::money() const {
  return opening_ - kStake * coins_ + kStake * moved_;
}

void Ledger::fail(std::string what) {
  if (violation_) return;
  const std::string when = "t=" + text(now_);
  const std::string events = text(static_cast<std::int64_t>(events_));
  const std::string context =
      events_ == 0 ? "at the start"
      : idle_      ? "at " + when + ", after event " + events
                   : "event " + events + " (" + std::string(actionName(action_)) + ") at " + when;
  violation_ = context + ": " + what;
}

int Ledger::symbolOf(const rt::Picture* picture) const {
  for (int d = 0; d < 10; ++d) {
    if (picture != nullptr && picture == symbols_[d]) return d;
  }
  return -1;
}

void Ledger::idle(std::int64_t now) {
  if (violation_) return;
  now_ = now;
  idle_ = true;
  for (std::size_t i = 0; i < 5; ++i) {
    if (!on_[i] || asleep_[i]) continue;
    const bool overdue = options_.exactTiming ? due_[i] <= now : due_[i] + options_.lateness < now;
    if (overdue) fail("Timer" + text(i + 1) + " missed its tick due at " + text(due_[i]));
  }
}

void Ledger::checkTiming(Action action, std::int64_t now) {
  const int ticked = timerOf(action);
  if (ticked >= 0) {
    const auto i = static_cast<std::size_t>(ticked);
    if (!on_[i]) {
      fail("Timer" + text(ticked + 1) + " ticked while off" +
           (stoppedByNewGame_[i] ? " (stopped by \"Новая игра\")" : ""));
      return;
    }
    // A sleeping timer wakes on a point of its grid, not before it is due.
    const bool onTime =
        asleep_[i] ? now >= due_[i] && (now - start_[i]) % interval_[i] == 0 : now == due_[i];
    if (options_.exactTiming && !onTime) {
      fail("Timer" + text(ticked + 1) + " ticked at " + text(now) + ", due at " + text(due_[i]) +
           (asleep_[i] ? " or a later multiple of its interval from " + text(start_[i]) : ""));
      return;
    }
  }
  for (std::size_t j = 0; j < 5; ++j) {
    if (!on_[j] || asleep_[j] || static_cast<int>(j) == ticked) continue;
    // Ticks due at the same moment go in timer order; a click comes after
    // every tick due at or before its moment.
    const bool overdue =
        options_.exactTiming
            ? due_[j] < now || (due_[j] == now && (ticked < 0 || static_cast<int>(j) < ticked))
            : due_[j] + options_.lateness < now;
    if (overdue) {
      fail("Timer" + text(j + 1) + " missed its tick due at " + text(due_[j]));
      return;
    }
  }
}

void Ledger::observe(Action action, const game::Form1& f, std::int64_t now) {
  if (violation_) return;
  ++events_;
  now_ = now;
  action_ = action;
  idle_ = false;
  checkTiming(action, now);
  if (!violation_) checkSymbolPictures(f);
  if (violation_) return;
  const Snapshot after = Snapshot::of(f);
  const Snapshot expected = expectedAfter(action, last_, after);
  if (!violation_) checkFields(after);
  if (!violation_) checkReels(after);
  if (!violation_) compare(expected, after);
  if (violation_) return;
  followTimers(action, after, now);
  // A tick that changed nothing may be followed by a sleep: the timer's next
  // ticks, each of which would change nothing again, need not come.
  if (const int ticked = timerOf(action); ticked >= 0 && after.timerOn[ticked]) {
    asleep_[static_cast<std::size_t>(ticked)] = after == last_;
  }
  last_ = after;
}

void Ledger::checkSymbolPictures(const game::Form1& f) {
  for (int d = 0; d < 10; ++d) {
    if (f.symbolImage(d).picture().get() != symbols_[d]) {
      fail("Image" + text(d) + " no longer holds its symbol picture");
      return;
    }
  }
}

Snapshot Ledger::expectedAfter(Action action, const Snapshot& before, const Snapshot& after) {
  Snapshot expected = before;
  switch (action) {
    case Action::Coin:
      // A closed slot drops the click.
      if (before.coinSlot) expectCoin(before, after, expected);
      break;
    case Action::Press:
    case Action::Release:
      break;  // the pointer is applied anew: the same object
    case Action::Welcome:
      expected.welcome = false;
      break;
    case Action::NewGame:
      expectNewGame(expected);
      break;
    case Action::Tick1: {
      const bool shown = before.spinTag == "0";  // 0 -> 1 shows, 1 -> 2 -> 0 hides
      expected.spinTag = shown ? "1" : "0";
      expected.spinShown = shown;
      break;
    }
    case Action::Tick2:
      expectStop(after, expected);
      break;
    case Action::Tick3:
      expectEvaluation(before, expected);
      break;
    case Action::Tick4:
      expectTransfer(before, expected);
      break;
    case Action::Tick5: {
      const bool hide = before.stripTag == "0";
      expected.stripTag = hide ? "1" : "0";
      expected.stripShown = !hide;
      break;
    }
  }
  return expected;
}

void Ledger::expectNewGame(Snapshot& expected) {
  opening_ = 100;
  coins_ = awarded_ = moved_ = 0;
  spin_ = {};
  expected.money = "100";
  expected.prize = "0";
  expected.coinSlot = true;
  for (std::size_t i = 0; i < 4; ++i) {
    expected.timerOn[i] = false;
    stoppedByNewGame_[i] = true;
  }
  expected.flashShown = false;
}

void Ledger::followTimers(Action action, const Snapshot& after, std::int64_t now) {
  // A timer switched on, or one that has just ticked, falls due one interval on.
  const int ticked = timerOf(action);
  for (std::size_t i = 0; i < 5; ++i) {
    if (after.timerOn[i] && (!on_[i] || static_cast<int>(i) == ticked)) {
      due_[i] = now + interval_[i];
    }
    if (after.timerOn[i] != on_[i]) {
      start_[i] = now;
      asleep_[i] = false;
    }
    if (!on_[i] && after.timerOn[i]) stoppedByNewGame_[i] = false;
    if (!after.timerOn[i]) due_[i] = kNever;
    on_[i] = after.timerOn[i];
  }
}

void Ledger::expectCoin(const Snapshot& before, const Snapshot& after, Snapshot& expected) {
  const bool payable = money() >= kStake;
  const bool accepted = !(after == before);
  if (accepted && spin_.active) {
    fail("a coin was accepted while a spin is under way (coin at t=" + text(spin_.coinAt) + ", " +
         text(spin_.stops) + " reels stopped)");
    return;
  }
  if (accepted && !payable) {
    fail("a coin was accepted with the money at " + text(money()) + ", below 5");
    return;
  }
  if (!accepted) {
    if (payable && !spin_.active) {
      fail("a coin was refused with the slot open, the money at " + text(money()) +
           " and no spin under way");
    }
    return;
  }
  ++coins_;
  spin_ = {true, now_, 0};
  for (std::size_t n = 0; n < 3; ++n) {
    expected.reelShown[n] = false;
    expected.reelTag[n] = "0";
  }
  expected.timerOn[0] = true;
  expected.timerOn[1] = true;
  expected.timerOn[2] = false;
  expected.coinSlot = false;
  expected.money = text(money());
}

void Ledger::expectStop(const Snapshot& after, Snapshot& expected) {
  if (!spin_.active || spin_.stops >= 3) {
    fail("Timer2 ticked with no reel left to stop");
    return;
  }
  const int k = ++spin_.stops;
  const auto n = static_cast<std::size_t>(k - 1);
  for (std::string& tag : expected.reelTag) tag = text(k);
  const int d = symbolOf(after.reelPicture[n]);
  if (d < 0) {
    fail("reel " + text(k) + " stopped on a picture that is not the very object of any of Image0 " +
         "to Image9");
    return;
  }
  if (!rigged_.empty()) {
    const float r = rigged_.front();
    rigged_.pop_front();
    // The product is taken in double precision, as the draw does.
    const int drawn = static_cast<int>(std::floor(static_cast<double>(r) * 10.0));
    if (d != drawn) {
      fail("reel " + text(k) + " shows symbol " + text(d) + ", but the rigged draw gives " +
           text(drawn));
      return;
    }
  }
  stopped_[n] = true;
  expected.reelPicture[n] = after.reelPicture[n];
  expected.reelShown[n] = true;
  expected.generator = text(d);
  if (k == 3) {
    expected.timerOn[0] = false;
    expected.timerOn[1] = false;
    expected.coinSlot = true;
    expected.timerOn[2] = true;
  }
}

void Ledger::expectEvaluation(const Snapshot& before, Snapshot& expected) {
  if (spin_.active) {
    if (spin_.stops != 3) {
      fail("an evaluation came with " + text(spin_.stops) + " of 3 reels stopped");
      return;
    }
    spin_.active = false;  // the first evaluation of this spin
  }
  if (money() == 0) {
    expected.money = std::string(kGameOver);
    expected.coinSlot = false;
  }
  const int award = prizeFor(symbolOf(before.reelPicture[0]), symbolOf(before.reelPicture[1]),
                             symbolOf(before.reelPicture[2]));
  if (award == 0) return;  // a loss: the evaluation goes on repeating
  awarded_ += award;
  expected.prize = text(rings());
  expected.timerOn[2] = false;
  expected.timerOn[3] = true;
  expected.coinSlot = false;
}

void Ledger::expectTransfer(const Snapshot& before, Snapshot& expected) {
  expected.coinSlot = true;
  if (rings() <= 0) {
    expected.prize = "0";
    expected.flashShown = false;
    expected.timerOn[3] = false;
    return;
  }
  ++moved_;
  expected.prize = text(rings());
  expected.money = text(money());
  // The flash counter runs 1, then 2 and at once 0: shown, then hidden.
  const bool shown = before.flashTag == "0";
  expected.flashTag = shown ? "1" : "0";
  expected.flashShown = shown;
}

void Ledger::checkFields(const Snapshot& s) {
  const std::optional<std::int64_t> money = numberValue(s.money);
  if (s.money != kGameOver && (!money || *money < 0)) {
    fail("the money field reads " + quoted(s.money));
    return;
  }
  const std::int64_t shown = money.value_or(0);  // "Game Over!" counts as 0
  if (shown != this->money()) {
    fail("the money field reads " + quoted(s.money) + "; the ledger says " + text(this->money()) +
         " (opening " + text(opening_) + ", " + text(coins_) + " coins, " + text(moved_) +
         " rings moved)");
    return;
  }
  const std::optional<std::int64_t> prize = numberValue(s.prize);
  if (!prize || *prize < 0) {
    fail("the prize field reads " + quoted(s.prize));
    return;
  }
  if (*prize != rings()) {
    fail("the prize field reads " + quoted(s.prize) + "; the ledger says " + text(rings()) + " (" +
         text(awarded_) + " rings awarded, " + text(moved_) + " moved)");
    return;
  }
  for (std::size_t n = 0; n < 3; ++n) {
    const std::optional<std::int64_t> tag = numberValue(s.reelTag[n]);
    if (!tag || *tag < 0 || *tag > 3) {
      fail("reel " + text(n + 1) + "'s counter reads " + quoted(s.reelTag[n]));
      return;
    }
  }
  const std::pair<const char*, const std::string*> counters[] = {
      {"ImageRotate2", &s.spinTag}, {"ImageEmpty", &s.flashTag}, {"Label1", &s.stripTag}};
  for (const auto& [name, tag] : counters) {
    if (!isTwoPhase(*tag)) {
      fail(std::string(name) + "'s counter reads " + quoted(*tag));
      return;
    }
  }
  if (!s.timerOn[4]) fail("Timer5 is off");
}

void Ledger::checkReels(const Snapshot& s) {
  for (std::size_t n = 0; n < 3; ++n) {
    const rt::Picture* picture = s.reelPicture[n];
    if (symbolOf(picture) >= 0) continue;
    if (stopped_[n]) {
      fail("reel " + text(n + 1) + " has stopped, yet holds no symbol picture object");
      return;
    }
    if (picture != startCopies_[n]) {
      fail("reel " + text(n + 1) + " holds a picture that is neither a symbol's nor its own");
      return;
    }
  }
}

void Ledger::compare(const Snapshot& expected, const Snapshot& after) {
  // Names are put together only for a field that differs.
  auto name = [](const char* what, int number, const char* rest) {
    return std::string(what) + (number > 0 ? text(number) : "") + rest;
  };
  auto texts = [&](const std::string& want, const std::string& got, const char* what,
                   int number = 0, const char* rest = "") {
    if (want != got && !violation_) {
      fail(name(what, number, rest) + " reads " + quoted(got) + ", expected " + quoted(want));
    }
  };
  auto flags = [&](bool want, bool got, const char* what, int number = 0, const char* rest = "") {
    auto flag = [](bool b) { return std::string(b ? "True" : "False"); };
    if (want != got && !violation_) {
      fail(name(what, number, rest) + " is " + flag(got) + ", expected " + flag(want));
    }
  };
  texts(expected.money, after.money, "the money field");
  texts(expected.prize, after.prize, "the prize field");
  texts(expected.generator, after.generator, "LabelGenerator");
  for (std::size_t n = 0; n < 3; ++n) {
    const int reel = static_cast<int>(n) + 1;
    texts(expected.reelTag[n], after.reelTag[n], "reel ", reel, "'s counter");
    flags(expected.reelShown[n], after.reelShown[n], "reel ", reel, ".Visible");
    if (expected.reelPicture[n] != after.reelPicture[n]) {
      fail(name("reel ", reel, "'s picture changed"));
    }
  }
  for (std::size_t i = 0; i < 5; ++i) {
    flags(expected.timerOn[i], after.timerOn[i], "Timer", static_cast<int>(i) + 1, ".Enabled");
  }
  flags(expected.coinSlot, after.coinSlot, "the coin slot's Enabled");
  if (expected.coinPointer != after.coinPointer) fail("the coin slot's pointer changed");
  texts(expected.spinTag, after.spinTag, "ImageRotate2's counter");
  flags(expected.spinShown, after.spinShown, "ImageRotate2.Visible");
  texts(expected.flashTag, after.flashTag, "ImageEmpty's counter");
  flags(expected.flashShown, after.flashShown, "ImageEmpty.Visible");
  texts(expected.stripTag, after.stripTag, "Label1's counter");
  flags(expected.stripShown, after.stripShown, "Label1.Visible");
  flags(expected.welcome, after.welcome, "Frame4.Visible");
}

}  // namespace fuzz
