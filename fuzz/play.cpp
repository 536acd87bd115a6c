// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzz/play.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <utility>

#include "fuzz/ledger.h"
#include "game/driver.h"
#include "game/machine.h"
#include "game/snapshot.h"
#include "runtime/convert.h"
#include "runtime/virtual_clock.h"

namespace fuzz {
namespace {

// Waits around the timers' intervals and a spin's landmarks: 125 (flicker),
// 250 (title strip), 300 (ring), 500/1000/1500 (reel stops), 1501 (first
// evaluation), 1800 (first ring of a win).
constexpr std::array<std::int64_t, 30> kWaits{
    0,   1,    2,    124,  125,  126,  249,  250,  251,  299,  300,  301,  499,  500,  501,
    999, 1000, 1001, 1499, 1500, 1501, 1502, 1799, 1800, 1801, 2100, 3000, 4501, 6000, 9000};

// Draws at the edges: 0, each tenth as a single (0.7 lies just below 0.7 and
// gives 6), and the largest single below 1.
const std::array<float, 12> kEdgeDraws{0.0f, 0.1f, 0.2f, 0.3f, 0.4f,  0.5f,
                                       0.6f, 0.7f, 0.8f, 0.9f, 0.05f, std::nextafter(1.0f, 0.0f)};

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> data) : data_(data) {}
  bool empty() const { return at_ >= data_.size(); }
  std::uint8_t byte() { return at_ < data_.size() ? data_[at_++] : 0; }
  std::uint16_t word() { return static_cast<std::uint16_t>(byte() << 8 | byte()); }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t at_ = 0;
};

Command input(game::Input input) {
  return {.kind = Command::Kind::Input, .input = input};
}
Command waitFor(std::int64_t ms) {
  return {.kind = Command::Kind::Wait, .ms = ms};
}
Command rigTo(float r) {
  return {.kind = Command::Kind::Rig, .r = r};
}

}  // namespace

int stateClass(const game::Form1& f) {
  const double money = rt::leadingNumber(f.LabelCredit.caption());
  const int moneyClass = money <= 0 ? 0 : money <= 5 ? 1 : money < 100 ? 2 : 3;
  return f.Timer1.enabled() | f.Timer2.enabled() << 1 | f.Timer3.enabled() << 2 |
         f.Timer4.enabled() << 3 | f.LabelInsertCoin.enabled() << 4 |
         (rt::leadingNumber(f.LabelPrize.caption()) > 0) << 5 | moneyClass << 6;
}

Program decode(std::span<const std::uint8_t> data) {
  using Kind = Command::Kind;
  Reader in(data);
  Program program;
  program.seed = in.word();
  constexpr std::array<int, 8> kOpeningMoney{100, 100, 100, 100, 5, 10, 15, 20};
  program.money = kOpeningMoney[in.byte() % kOpeningMoney.size()];
  while (!in.empty() && program.commands.size() < kMaxCommands) {
    const std::uint8_t op = in.byte();
    switch (op % 16) {
      case 0:
      case 1:
      case 2:
        program.commands.push_back(input(game::Input::Coin));
        break;
      case 15: {
        // A `set` of an odd text, where the player cannot reach.
        const std::uint8_t b = in.byte();
        program.commands.push_back({.kind = Kind::Set,
                                    .target = static_cast<std::uint8_t>(b % kSetTargets.size()),
                                    .text = kSetTexts[b / kSetTargets.size() % kSetTexts.size()]});
        break;
      }
      case 3:
        program.commands.push_back(input(game::Input::Press));
        break;
      case 4:
        program.commands.push_back(input(game::Input::Release));
        break;
      case 5:
        program.commands.push_back(input(game::Input::NewGame));
        break;
      case 6:
        program.commands.push_back(input(game::Input::Welcome));
        break;
      case 7:
      case 8:
        program.commands.push_back(waitFor(kWaits[in.byte() % kWaits.size()]));
        break;
      case 9:
        program.commands.push_back(waitFor(in.word() % 5001));
        break;
      case 10:
        program.commands.push_back({.kind = Kind::WaitForTick, .ms = in.byte() % 3 - 1});
        break;
      case 11:
      case 12:
        program.commands.push_back(rigTo(static_cast<float>(in.word()) / 65536.0f));
        break;
      case 13:
        program.commands.push_back(rigTo(kEdgeDraws[in.byte() % kEdgeDraws.size()]));
        break;
      case 14:
        // A run of draws for one spin, each symbol from one byte.
        for (int n = 0; n < 3; ++n) {
          const float r = (static_cast<float>(in.byte() % 10) + 0.5f) / 10.0f;
          program.commands.push_back(rigTo(r));
        }
        break;
    }
  }
  return program;
}

namespace {

// One program played on a fresh game on the virtual clock, with the ledger
// checking every event and the script written as it goes. A twin game plays
// the same program beside it with parking off, every timer ticking on every
// point of its grid: after every event of the first, the twin is brought to
// the same event and must show the very same state.
class Session {
 public:
  explicit Session(const Program& program)
      : machine_(seeds_),
        clock_(machine_.form(), machine_.dispatcher()),
        f_(machine_.form()),
        twin_(seeds_),
        twinClock_(twin_.form(), twin_.dispatcher(), rt::Schedule::Parking::Off) {
    for (game::Machine* m : {&machine_, &twin_}) {
      m->load();
      m->random().seed(program.seed);
      if (program.money != 100) m->form().LabelCredit.setCaption(std::to_string(program.money));
    }
    outcome_.script = "seed " + std::to_string(program.seed) + "\n";
    if (program.money != 100) {
      outcome_.script += "set LabelCredit.Caption " + std::to_string(program.money) + "\n";
    }
    ledger_.emplace(f_);
  }

  Outcome play(const Program& program) {
    for (const Command& c : program.commands) {
      if (!run(c) || bounded_) break;
    }
    // A run-time error (met after a `set`) ends the game as it ends a replay.
    const auto& error = machine_.dispatcher().error();
    outcome_.finalState =
        error ? game::errorJson(error->what()) : game::Snapshot::of(f_).json(clock_.now());
    outcome_.script += "show\n";
    outcome_.events = ledger_->events();
    outcome_.virtualMs = clock_.now();
    outcome_.bounded = bounded_;
    return std::move(outcome_);
  }

 private:
  // Plays one command; false once a rule is broken.
  bool run(const Command& c) {
    switch (c.kind) {
      case Command::Kind::Input:
        outcome_.script += std::string(game::inputName(c.input)) + "\n";
        if (!game::reachable(f_, c.input)) return true;
        return deliver(c.input);
      case Command::Kind::Wait:
        return wait(c.ms);
      case Command::Kind::WaitForTick: {
        const std::int64_t due = clock_.nextDue();
        const std::int64_t ms = due == rt::VirtualClock::kNever ? 1000 : due - clock_.now() + c.ms;
        return wait(std::max<std::int64_t>(ms, 0));
      }
      case Command::Kind::Rig:
        outcome_.script += "rig " + game::rigText(c.r) + "\n";
        machine_.random().rig(c.r);
        twin_.random().rig(c.r);
        ledger_->expectDraw(c.r);
        return true;
      case Command::Kind::Set:
        look();
        if (!set(kSetTargets[c.target], c.text)) return false;
        count(10 + c.target);
        return true;
    }
    return true;
  }

  bool deliver(game::Input input) {
    look();
    machine_.deliver(game::controlOf(f_, input), game::eventOf(input));
    twin_.deliver(game::controlOf(twin_.form(), input), game::eventOf(input));
    if (ledgerChecks_) ledger_->observe(actionOf(input), f_, clock_.now());
    count(static_cast<std::size_t>(actionOf(input)));
    return check() && sameAsTwin(game::inputName(input));
  }

  // Writes a caption or tag in both games, as the driver's `set` does.
  bool set(std::string_view target, std::string_view text) {
    outcome_.script += "set " + std::string(target) + " " + std::string(text) + "\n";
    const std::size_t dot = target.find('.');
    for (game::Machine* m : {&machine_, &twin_}) {
      rt::Control& control = m->form().control(target.substr(0, dot));
      if (target.substr(dot + 1) == "Caption") {
        control.setCaption(text);
      } else {
        control.setTag(text);
      }
    }
    ledgerChecks_ = false;
    return sameAsTwin("the set");
  }

  // Brings the twin to the tick the first game has just had: it delivers
  // every tick due before it (those the first game slept through), then that
  // very tick.
  bool twinTicks(const rt::Control& timer) {
    const std::int64_t now = clock_.now();
    const std::size_t position = timerPosition(f_, timer);
    while (rt::Control* t = twinClock_.step(now)) {
      if (++twinTicks_ >= kMaxTicks) bounded_ = true;
      if (twinClock_.now() == now && timerPosition(twin_.form(), *t) == position) return true;
    }
    outcome_.violation = "at t=" + std::to_string(now) + ": " + std::string(timer.name()) +
                         " ticked, and never with parking off";
    return false;
  }

  // False, with the violation set, when the two games differ.
  bool sameAsTwin(std::string_view after) {
    if (outcome_.violation) return false;
    const std::string mine = game::Snapshot::of(f_).json(clock_.now());
    const std::string twins = game::Snapshot::of(twin_.form()).json(twinClock_.now());
    if (mine == twins && !twin_.dispatcher().halted()) return true;
    outcome_.violation = "after " + std::string(after) + " at t=" + std::to_string(clock_.now()) +
                         ", parked and unparked timers differ: " + mine + " against " + twins;
    return false;
  }

  static std::size_t timerPosition(const game::Form1& f, const rt::Control& timer) {
    const auto timers = f.timers();
    for (std::size_t i = 0; i < timers.size(); ++i) {
      if (timers[i]->index() == timer.index()) return i;
    }
    return timers.size();
  }

  bool wait(std::int64_t ms) {
    ms = std::min(ms, kMaxVirtualMs - clock_.now());
    outcome_.script += "wait " + std::to_string(ms) + "\n";
    const std::int64_t end = clock_.now() + ms;
    for (look(); rt::Control* timer = clock_.step(end); look()) {
      if (ledgerChecks_) ledger_->observe(tickOf(f_, *timer), f_, clock_.now());
      count(static_cast<std::size_t>(tickOf(f_, *timer)));
      if (!twinTicks(*timer) || !check() || !sameAsTwin(timer->name())) return false;
      if (++ticks_ >= kMaxTicks || bounded_) {
        bounded_ = true;
        return true;
      }
    }
    clock_.advance(end - clock_.now());
    // The twin's ticks after the first game's last one change nothing either;
    // past the bound they are left out (the first game's clock stops too).
    while (twinClock_.step(end) != nullptr) {
      if (++twinTicks_ >= kMaxTicks) {
        bounded_ = true;
        return true;
      }
    }
    twinClock_.advance(end - twinClock_.now());
    if (ledgerChecks_) ledger_->idle(clock_.now());
    if (clock_.now() >= kMaxVirtualMs) bounded_ = true;
    return check() && sameAsTwin("the wait");
  }

  // The state before each event, for counting the kinds of step.
  void look() {
    before_ = stateClass(f_);
    money_ = f_.LabelCredit.caption();
    prize_ = f_.LabelPrize.caption();
  }

  // Counts a step of one kind: an Action, or 10 + a `set` target.
  void count(std::size_t kind) {
    const bool paid = money_ != f_.LabelCredit.caption() || prize_ != f_.LabelPrize.caption();
    const auto step = (kind * 256 + static_cast<std::size_t>(before_)) * 2 + paid;
    if (outcome_.steps[step] < 255) ++outcome_.steps[step];
  }

  // False once a run-time error or a broken rule has been seen. After a
  // `set` a run-time error may be the game's answer to the text: it ends
  // the input, and only breaks a rule if the twin did not meet it too.
  bool check() {
    if (const auto& error = machine_.dispatcher().error()) {
      const auto& twins = twin_.dispatcher().error();
      if (ledgerChecks_ || !twins || std::string_view(twins->what()) != error->what()) {
        outcome_.violation = "a run-time error: " + std::string(error->what());
      }
      return false;
    }
    if (ledgerChecks_ && ledger_->violation()) outcome_.violation = ledger_->violation();
    return !outcome_.violation;
  }

  rt::FixedSeedClock seeds_{0};
  game::Machine machine_;
  rt::VirtualClock clock_;
  game::Form1& f_;
  game::Machine twin_;
  rt::VirtualClock twinClock_;
  std::optional<Ledger> ledger_;  // started once the opening money is set
  bool ledgerChecks_ = true;      // until the first `set`
  Outcome outcome_;
  std::uint64_t ticks_ = 0;
  std::uint64_t twinTicks_ = 0;
  bool bounded_ = false;
  int before_ = 0;
  std::string money_, prize_;
};

}  // namespace

Outcome play(const Program& program) {
  return Session(program).play(program);
}

}  // namespace fuzz
