#include "game/driver.h"

#include <charconv>
#include <istream>
#include <ostream>
#include <vector>

#include "game/prize_table.h"
#include "runtime/convert.h"

namespace game {
namespace {

using Outcome = rt::Dispatcher::Outcome;

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

std::vector<std::string_view> words(std::string_view line) {
  std::vector<std::string_view> result;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isBlank(line[i])) ++i;
    std::size_t start = i;
    while (i < line.size() && !isBlank(line[i])) ++i;
    if (i > start) result.push_back(line.substr(start, i - start));
  }
  return result;
}

template <typename T>
std::optional<T> parseWhole(std::string_view word) {
  T value{};
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc() || end != word.data() + word.size()) return std::nullopt;
  return value;
}

// A rigged value: a decimal number rounded to single precision, in [0, 1).
std::optional<float> parseRig(std::string_view word) {
  float value = 0;
  auto [end, ec] =
      std::from_chars(word.data(), word.data() + word.size(), value, std::chars_format::fixed);
  if (ec != std::errc() || end != word.data() + word.size()) return std::nullopt;
  if (!(value >= 0.0f && value < 1.0f)) return std::nullopt;
  return value;
}

// The longest wait a script may ask for, so that the clock cannot overflow.
constexpr std::int64_t kMaxWait = std::int64_t{1} << 52;

}  // namespace

ScriptDriver::ScriptDriver(const rt::SeedClock& seedClock, std::ostream& out, std::ostream& err)
    : out_(out), err_(err), machine_(seedClock), clock_(machine_.form(), machine_.dispatcher()) {
  // Form_Load runs before anything else; the clock starts at 0 after it.
  machine_.load();
}

std::optional<int> ScriptDriver::malformed(std::string_view line, std::string_view why) {
  err_ << "zarnovik-sim: line " << lineNumber_ << ": " << why << ": " << line << "\n";
  return kExitMalformed;
}

std::optional<int> ScriptDriver::afterDelivery() {
  const auto& error = machine_.dispatcher().error();
  if (!error) return std::nullopt;
  out_ << "{\"error\": " << jsonString(error->what()) << "}\n";
  return kExitRuntimeError;
}

std::optional<int> ScriptDriver::set(std::string_view line, std::string_view target,
                                     std::string_view text) {
  auto dot = target.find('.');
  if (dot == std::string_view::npos) return malformed(line, "expected NAME.Caption or NAME.Tag");
  rt::Control* control = machine_.form().find(target.substr(0, dot));
  if (control == nullptr) return malformed(line, "no such control");
  std::string_view property = target.substr(dot + 1);
  if (property == "Caption") {
    control->setCaption(text);
  } else if (property == "Tag") {
    control->setTag(text);
  } else {
    return malformed(line, "only Caption and Tag can be set");
  }
  return std::nullopt;
}

std::optional<int> ScriptDriver::runLine(std::string_view line) {
  ++lineNumber_;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const std::vector<std::string_view> w = words(line);
  if (w.empty() || w[0].front() == '#') return std::nullopt;
  const std::string_view command = w[0];
  Form1& f = machine_.form();

  if (command == "set") {
    if (w.size() < 2) return malformed(line, "set needs NAME.Caption or NAME.Tag");
    // The text is the rest of the line after one blank following the target.
    std::size_t after = static_cast<std::size_t>(w[1].data() - line.data()) + w[1].size();
    std::string_view text = after < line.size() ? line.substr(after + 1) : std::string_view{};
    return set(line, w[1], text);
  }
  if (command == "rig") {
    if (w.size() < 2) return malformed(line, "rig needs at least one value");
    std::vector<float> values;
    for (std::size_t i = 1; i < w.size(); ++i) {
      std::optional<float> r = parseRig(w[i]);
      if (!r) return malformed(line, "rig values are decimal numbers r with 0 <= r < 1");
      values.push_back(*r);
    }
    for (float r : values) machine_.random().rig(r);
    return std::nullopt;
  }

  const std::size_t arguments = w.size() - 1;
  if (command == "seed") {
    std::optional<std::int64_t> n = arguments == 1 ? parseWhole<std::int64_t>(w[1]) : std::nullopt;
    if (!n) return malformed(line, "seed needs one whole number");
    machine_.random().seed(static_cast<std::uint64_t>(*n));
    return std::nullopt;
  }
  if (command == "wait") {
    std::optional<std::int64_t> ms = arguments == 1 ? parseWhole<std::int64_t>(w[1]) : std::nullopt;
    if (!ms || *ms < 0 || *ms > kMaxWait || clock_.now() > kMaxWait) {
      return malformed(line, "wait needs one whole number of milliseconds >= 0");
    }
    clock_.advance(*ms);
    return afterDelivery();
  }
  if (arguments != 0) return malformed(line, "unexpected words after the command");
  if (command == "show") {
    out_ << Snapshot::of(f).json(clock_.now()) << "\n";
    return std::nullopt;
  }
  if (command == "coin" || command == "press" || command == "release") {
    // The welcome panel covers the coin slot while it is shown.
    if (f.Frame4.visible()) return std::nullopt;
    rt::Event event = command == "coin"    ? rt::Event::Click
                      : command == "press" ? rt::Event::MouseDown
                                           : rt::Event::MouseUp;
    machine_.deliver(f.LabelInsertCoin, event);
    return afterDelivery();
  }
  if (command == "newgame") {
    // The keyboard reaches the focused button even under the welcome panel.
    machine_.deliver(f.Command1, rt::Event::Click);
    return afterDelivery();
  }
  if (command == "welcome") {
    if (!f.Frame4.visible()) return std::nullopt;
    machine_.deliver(f.Command2, rt::Event::Click);
    return afterDelivery();
  }
  return malformed(line, "unknown command");
}

int ScriptDriver::run(std::istream& in) {
  if (std::optional<int> status = afterDelivery()) return *status;  // Form_Load failed
  std::string line;
  while (std::getline(in, line)) {
    if (std::optional<int> status = runLine(line)) return *status;
  }
  return kExitOk;
}

Statistics playStatistics(std::uint64_t spins, const rt::SeedClock& seedClock,
                          std::optional<std::uint64_t> seed) {
  Statistics stats;
  Machine machine(seedClock);
  rt::VirtualClock clock(machine.form(), machine.dispatcher());
  Form1& f = machine.form();
  machine.load();
  if (seed) machine.random().seed(*seed);
  constexpr std::size_t kTimer3 = 2;

  auto failed = [&] {
    if (!machine.dispatcher().halted()) return false;
    stats.error = machine.dispatcher().error()->what();
    return true;
  };

  machine.deliver(f.Command2, rt::Event::Click);
  for (std::uint64_t i = 0; i < spins && !failed(); ++i) {
    if (f.LabelCredit.caption() == "Game Over!") {
      machine.deliver(f.Command1, rt::Event::Click);
      ++stats.newGames;
    }
    machine.deliver(f.LabelInsertCoin, rt::Event::Click);
    if (!f.Timer2.enabled()) {
      stats.error = "the coin was refused";
      break;
    }
    const std::uint64_t evaluations = clock.ticks(kTimer3);
    while (clock.ticks(kTimer3) == evaluations && clock.step(rt::VirtualClock::kNever) != nullptr) {
    }
    if (failed()) break;
    ++stats.spins;
    int symbols[3];
    for (int n = 1; n <= 3; ++n) {
      symbols[n - 1] = f.reelSymbol(n);
      ++stats.symbols[n - 1][symbols[n - 1]];
    }
    // The prize field was empty before this evaluation, so it holds the award.
    const auto award = static_cast<std::uint64_t>(rt::leadingNumber(f.LabelPrize.caption()));
    auto shows = [&symbols](int reel, int symbol) { return symbols[reel - 1] == symbol; };
    if (const PrizeRule* rule = firstMatch(shows)) {
      ++stats.wins;
      ++stats.byRule[rule - kPrizeTable.data()];
      if (rule->bonus != nullptr && matches(*rule->bonus, shows)) ++stats.byRule[13];
    }
    stats.rings += award;
    while (f.Timer4.enabled() && clock.step(rt::VirtualClock::kNever) != nullptr) {
    }
  }
  failed();
  stats.virtualMs = clock.now();
  return stats;
}

std::string statisticsJson(const Statistics& s) {
  std::string j = "{\"spins\":" + std::to_string(s.spins) + ",\"wins\":" + std::to_string(s.wins) +
                  ",\"rings\":" + std::to_string(s.rings) + ",\"byRule\":{";
  for (std::size_t r = 0; r < 14; ++r) {
    std::string_view name = r < 13 ? kPrizeTable[r].name : kRule13a.name;
    j += (r > 0 ? "," : "") + jsonString(name) + ":" + std::to_string(s.byRule[r]);
  }
  j += "},\"symbols\":[";
  for (std::size_t reel = 0; reel < 3; ++reel) {
    j += reel > 0 ? ",[" : "[";
    for (std::size_t d = 0; d < 10; ++d)
      j += (d > 0 ? "," : "") + std::to_string(s.symbols[reel][d]);
    j += "]";
  }
  j += "],\"newGames\":" + std::to_string(s.newGames) +
       ",\"virtualMs\":" + std::to_string(s.virtualMs) + "}";
  return j;
}

int simMain(int argc, const char* const* argv, std::istream& in, std::ostream& out,
            std::ostream& err) {
  rt::SystemSeedClock systemClock;
  if (argc <= 1) {
    ScriptDriver driver(systemClock, out, err);
    return driver.run(in);
  }
  std::optional<std::uint64_t> spins;
  std::optional<std::uint64_t> seed;
  // Each option is followed by its value.
  for (int i = 1; i < argc; i += 2) {
    std::string_view arg = argv[i];
    std::optional<std::uint64_t>* target = arg == "--spins"  ? &spins
                                           : arg == "--seed" ? &seed
                                                             : nullptr;
    std::optional<std::uint64_t> value =
        (target != nullptr && i + 1 < argc) ? parseWhole<std::uint64_t>(argv[i + 1]) : std::nullopt;
    if (target == nullptr || !value || target->has_value()) {
      err << "usage: zarnovik-sim                       (script on standard input)\n"
             "       zarnovik-sim --spins N [--seed S]  (statistics)\n";
      return kExitMalformed;
    }
    *target = value;
  }
  if (!spins) {
    err << "zarnovik-sim: --spins N is required with --seed\n";
    return kExitMalformed;
  }
  Statistics stats = playStatistics(*spins, systemClock, seed);
  if (stats.error) {
    out << "{\"error\": " << jsonString(*stats.error) << "}\n";
    return kExitRuntimeError;
  }
  out << statisticsJson(stats) << "\n";
  return kExitOk;
}

}  // namespace game
