#include "game/driver.h"

#include <charconv>
#include <istream>
#include <ostream>
#include <vector>

#include "game/prize_table.h"
#include "runtime/convert.h"

namespace game {
namespace {

std::vector<std::string_view> words(std::string_view line) {
  std::vector<std::string_view> result;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && rt::isBlank(line[i])) ++i;
    std::size_t start = i;
    while (i < line.size() && !rt::isBlank(line[i])) ++i;
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

std::optional<int> ScriptDriver::malformed(std::string_view why) {
  err_ << "zarnovik-sim: line " << lineNumber_ << ": " << why << ": " << line_ << "\n";
  return kExitMalformed;
}

std::optional<int> ScriptDriver::afterDelivery() {
  const auto& error = machine_.dispatcher().error();
  if (!error) return std::nullopt;
  out_ << "{\"error\": " << jsonString(error->what()) << "}\n";
  return kExitRuntimeError;
}

// The commands by name. Those that take no words after their name are
// refused with a word after it before they are looked at.
struct ScriptDriver::Command {
  std::string_view name;
  std::optional<int> (ScriptDriver::*run)();
  bool takesWords;
};

const ScriptDriver::Command ScriptDriver::kCommands[] = {
    {"set", &ScriptDriver::set, true},    {"rig", &ScriptDriver::rig, true},
    {"seed", &ScriptDriver::seed, true},  {"wait", &ScriptDriver::wait, true},
    {"show", &ScriptDriver::show, false},
};

std::optional<int> ScriptDriver::runLine(std::string_view line) {
  ++lineNumber_;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  line_ = line;
  words_ = words(line);
  if (words_.empty() || words_[0].front() == '#') return std::nullopt;
  const std::string_view name = words_[0];
  const Command* command = nullptr;
  for (const Command& c : kCommands) {
    if (c.name == name) command = &c;
  }
  if (command != nullptr && command->takesWords) return (this->*command->run)();
  if (words_.size() > 1) return malformed("unexpected words after the command");
  if (command != nullptr) return (this->*command->run)();
  if (const std::optional<Input> input = inputNamed(name)) return play(*input);
  return malformed("unknown command");
}

std::optional<int> ScriptDriver::set() {
  if (words_.size() < 2) return malformed("set needs NAME.Caption or NAME.Tag");
  const std::string_view target = words_[1];
  // The text is the rest of the line after one blank following the target.
  const std::size_t after = static_cast<std::size_t>(target.data() - line_.data()) + target.size();
  const std::string_view text = after < line_.size() ? line_.substr(after + 1) : std::string_view{};
  const auto dot = target.find('.');
  if (dot == std::string_view::npos) return malformed("expected NAME.Caption or NAME.Tag");
  rt::Control* control = machine_.form().find(target.substr(0, dot));
  if (control == nullptr) return malformed("no such control");
  const std::string_view property = target.substr(dot + 1);
  if (property == "Caption") {
    control->setCaption(text);
  } else if (property == "Tag") {
    control->setTag(text);
  } else {
    return malformed("only Caption and Tag can be set");
  }
  return std::nullopt;
}

std::optional<int> ScriptDriver::rig() {
  if (words_.size() < 2) return malformed("rig needs at least one value");
  // Every value is read before any is rigged: a bad line rigs nothing.
  std::vector<float> values;
  for (std::size_t i = 1; i < words_.size(); ++i) {
    const std::optional<float> r = parseRig(words_[i]);
    if (!r) return malformed("rig values are decimal numbers r with 0 <= r < 1");
    values.push_back(*r);
  }
  for (float r : values) machine_.random().rig(r);
  return std::nullopt;
}

std::optional<int> ScriptDriver::seed() {
  const std::optional<std::int64_t> n =
      words_.size() == 2 ? parseWhole<std::int64_t>(words_[1]) : std::nullopt;
  if (!n) return malformed("seed needs one whole number");
  machine_.random().seed(static_cast<std::uint64_t>(*n));
  return std::nullopt;
}

std::optional<int> ScriptDriver::wait() {
  const std::optional<std::int64_t> ms =
      words_.size() == 2 ? parseWhole<std::int64_t>(words_[1]) : std::nullopt;
  if (!ms || *ms < 0 || *ms > kMaxWait || clock_.now() > kMaxWait) {
    return malformed("wait needs one whole number of milliseconds >= 0");
  }
  clock_.advance(*ms);
  return afterDelivery();
}

std::optional<int> ScriptDriver::show() {
  out_ << Snapshot::of(machine_.form()).json(clock_.now()) << "\n";
  return std::nullopt;
}

std::optional<int> ScriptDriver::play(Input input) {
  Form1& f = machine_.form();
  if (!reachable(f, input)) return std::nullopt;
  machine_.deliver(controlOf(f, input), eventOf(input));
  return afterDelivery();
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
