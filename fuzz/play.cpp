#include "fuzz/play.h"

#include <array>
#include <cmath>
#include <cstdio>

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

}  // namespace

std::string rigText(float r) {
  // Every single in [0, 1) has a finite decimal expansion; write all of it.
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.40f", static_cast<double>(r));
  std::string s = buffer;
  while (s.size() > 1 && s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

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
      case 15:
        program.commands.push_back({Kind::Coin});
        break;
      case 3:
        program.commands.push_back({Kind::Press});
        break;
      case 4:
        program.commands.push_back({Kind::Release});
        break;
      case 5:
        program.commands.push_back({Kind::NewGame});
        break;
      case 6:
        program.commands.push_back({Kind::Welcome});
        break;
      case 7:
      case 8:
        program.commands.push_back({Kind::Wait, kWaits[in.byte() % kWaits.size()]});
        break;
      case 9:
        program.commands.push_back({Kind::Wait, in.word() % 5001});
        break;
      case 10:
        program.commands.push_back({Kind::WaitForTick, in.byte() % 3 - 1});
        break;
      case 11:
      case 12:
        program.commands.push_back({Kind::Rig, 0, static_cast<float>(in.word()) / 65536.0f});
        break;
      case 13:
        program.commands.push_back({Kind::Rig, 0, kEdgeDraws[in.byte() % kEdgeDraws.size()]});
        break;
      case 14:
        // A run of draws for one spin, each symbol from one byte.
        for (int n = 0; n < 3; ++n) {
          const float r = (static_cast<float>(in.byte() % 10) + 0.5f) / 10.0f;
          program.commands.push_back({Kind::Rig, 0, r});
        }
        break;
    }
  }
  return program;
}

Outcome play(const Program& program) {
  using Kind = Command::Kind;
  rt::FixedSeedClock seeds{0};
  game::Machine machine(seeds);
  rt::VirtualClock clock(machine.form(), machine.dispatcher());
  game::Form1& f = machine.form();
  machine.load();
  machine.random().seed(program.seed);
  Outcome outcome;
  std::string& script = outcome.script;
  script = "seed " + std::to_string(program.seed) + "\n";
  if (program.money != 100) {
    f.LabelCredit.setCaption(std::to_string(program.money));
    script += "set LabelCredit.Caption " + std::to_string(program.money) + "\n";
  }
  Ledger ledger(f);
  std::uint64_t ticks = 0;
  bool bounded = false;

  // The state before each event, for counting the kinds of step.
  int before = 0;
  std::string money, prize;
  auto look = [&] {
    before = stateClass(f);
    money = f.LabelCredit.caption();
    prize = f.LabelPrize.caption();
  };
  auto count = [&](Action action) {
    const bool paid = money != f.LabelCredit.caption() || prize != f.LabelPrize.caption();
    const auto step =
        (static_cast<std::size_t>(action) * 256 + static_cast<std::size_t>(before)) * 2 + paid;
    if (outcome.steps[step] < 255) ++outcome.steps[step];
  };
  auto check = [&]() -> bool {
    if (const auto& error = machine.dispatcher().error()) {
      outcome.violation = "a run-time error: " + std::string(error->what());
    } else if (ledger.violation()) {
      outcome.violation = ledger.violation();
    }
    return !outcome.violation;
  };
  auto deliver = [&](rt::Control& control, rt::Event event, Action action) {
    look();
    machine.deliver(control, event);
    ledger.observe(action, f, clock.now());
    count(action);
    return check();
  };
  auto wait = [&](std::int64_t ms) {
    ms = std::min(ms, kMaxVirtualMs - clock.now());
    script += "wait " + std::to_string(ms) + "\n";
    const std::int64_t end = clock.now() + ms;
    for (look(); rt::Control* timer = clock.step(end); look()) {
      ledger.observe(tickOf(f, *timer), f, clock.now());
      count(tickOf(f, *timer));
      if (!check()) return false;
      if (++ticks >= kMaxTicks) {
        bounded = true;
        return true;
      }
    }
    clock.advance(end - clock.now());
    ledger.idle(clock.now());
    if (clock.now() >= kMaxVirtualMs) bounded = true;
    return check();
  };

  for (const Command& c : program.commands) {
    bool ok = true;
    switch (c.kind) {
      case Kind::Coin:
      case Kind::Press:
      case Kind::Release: {
        const bool coin = c.kind == Kind::Coin;
        script += coin ? "coin\n" : c.kind == Kind::Press ? "press\n" : "release\n";
        // The welcome panel covers the coin slot while it is shown.
        if (f.Frame4.visible()) break;
        const rt::Event event = coin                    ? rt::Event::Click
                                : c.kind == Kind::Press ? rt::Event::MouseDown
                                                        : rt::Event::MouseUp;
        const Action action = coin                    ? Action::Coin
                              : c.kind == Kind::Press ? Action::Press
                                                      : Action::Release;
        ok = deliver(f.LabelInsertCoin, event, action);
        break;
      }
      case Kind::NewGame:
        script += "newgame\n";
        ok = deliver(f.Command1, rt::Event::Click, Action::NewGame);
        break;
      case Kind::Welcome:
        script += "welcome\n";
        if (f.Frame4.visible()) ok = deliver(f.Command2, rt::Event::Click, Action::Welcome);
        break;
      case Kind::Wait:
        ok = wait(c.ms);
        break;
      case Kind::WaitForTick: {
        const std::int64_t due = clock.nextDue();
        const std::int64_t ms = due == rt::VirtualClock::kNever ? 1000 : due - clock.now() + c.ms;
        ok = wait(std::max<std::int64_t>(ms, 0));
        break;
      }
      case Kind::Rig:
        script += "rig " + rigText(c.r) + "\n";
        machine.random().rig(c.r);
        ledger.expectDraw(c.r);
        break;
    }
    if (!ok || bounded) break;
  }
  outcome.finalState = game::Snapshot::of(f).json(clock.now());
  script += "show\n";
  outcome.events = ledger.events();
  outcome.virtualMs = clock.now();
  outcome.bounded = bounded;
  return outcome;
}

}  // namespace fuzz
