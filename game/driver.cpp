// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/driver.h"

#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <istream>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

#include "runtime/convert.h"
#include "runtime/number_chars.h"

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
// A number too small for a single rounds to zero, which is in range.
std::optional<float> parseRig(std::string_view word) {
  if (!rt::isFixedDecimal(word)) return std::nullopt;
  float value = 0;
  const bool inRange = rt::readDecimal(word, value);
  // A number below zero is out of range, even one that rounds to -0.
  const bool negative = word.front() == '-';
  if (negative && word.find_first_of("123456789") != std::string_view::npos) return std::nullopt;
  if (!inRange) {
    // Without an exponent, a number out of range with no digit other than 0
    // before its point is too small, not too large.
    const std::string_view whole = word.substr(negative ? 1 : 0, word.find('.'));
    if (whole.find_first_not_of('0', negative ? 1 : 0) != std::string_view::npos) {
      return std::nullopt;
    }
    value = negative ? -0.0f : 0.0f;
  }
  if (!(value >= 0.0f && value < 1.0f)) return std::nullopt;
  return value;
}

// The longest wait a script may ask for at once, and the latest time the
// clock may reach, so that it can never overflow.
constexpr std::uint64_t kMaxWait = std::uint64_t{1} << 52;
constexpr std::int64_t kLatest = std::int64_t{1} << 62;

// The length of the well-formed UTF-8 sequence at the start of `text`, with
// its code point, or 0 when the text does not start with one.
std::size_t utf8Sequence(std::string_view text, char32_t& codePoint) {
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  char32_t min = 0;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, min = 0x80, codePoint = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, min = 0x800, codePoint = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, min = 0x10000, codePoint = lead & 0x07u;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0u) != 0x80u) return 0;
    codePoint = (codePoint << 6) | (byte(i) & 0x3Fu);
  }
  const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
  if (codePoint < min || codePoint > 0x10FFFF || surrogate) return 0;
  return length;
}

void appendHexEscape(std::string& out, unsigned value) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "\\x%02x", value);
  out += buf;
}

}  // namespace

bool validUtf8(std::string_view text) {
  char32_t codePoint = 0;
  while (!text.empty()) {
    const std::size_t length = utf8Sequence(text, codePoint);
    if (length == 0) return false;
    text.remove_prefix(length);
  }
  return true;
}

std::string rigText(float r) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.40f", static_cast<double>(r));
  std::string s = buffer;
  while (s.size() > 1 && s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

std::string printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  char32_t codePoint = 0;
  while (!text.empty()) {
    const std::size_t length = utf8Sequence(text, codePoint);
    if (length == 0) {
      appendHexEscape(out, static_cast<unsigned char>(text.front()));
      text.remove_prefix(1);
      continue;
    }
    // C0 and C1 controls and DEL; a tab too, so that the echo stays one
    // visible run of text.
    const bool control = codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
    if (control) {
      for (std::size_t i = 0; i < length; ++i) {
        appendHexEscape(out, static_cast<unsigned char>(text[i]));
      }
    } else if (codePoint == '\\') {
      out += "\\\\";
    } else {
      out.append(text.substr(0, length));
    }
    text.remove_prefix(length);
  }
  return out;
}

ScriptDriver::ScriptDriver(const rt::SeedClock& seedClock, std::ostream& out, std::ostream& err)
    : out_(out), err_(err), machine_(seedClock), clock_(machine_.form(), machine_.dispatcher()) {
  // Form_Load runs before anything else; the clock starts at 0 after it.
  machine_.load();
}

std::optional<int> ScriptDriver::malformed(std::string_view why) {
  err_ << "zarnovik-sim: line " << lineNumber_ << ": " << why << ": " << printable(line_) << "\n";
  return kExitMalformed;
}

// A line that cannot be written ends the run: nothing printed is ever lost
// without a word.
std::optional<int> ScriptDriver::written() {
  if (out_) return std::nullopt;
  err_ << "zarnovik-sim: cannot write to the standard output\n";
  return kExitIoError;
}

std::optional<int> ScriptDriver::afterDelivery() {
  const auto& error = machine_.dispatcher().error();
  if (!error) return std::nullopt;
  out_ << errorJson(error->what()) << "\n" << std::flush;
  if (std::optional<int> failed = written()) return failed;
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
  if (property != "Caption" && property != "Tag")
    return malformed("only Caption and Tag can be set");
  // Only labels, frames and buttons show a caption.
  const rt::Kind kind = control->kind();
  const bool hasCaption =
      kind == rt::Kind::Label || kind == rt::Kind::Frame || kind == rt::Kind::CommandButton;
  if (property == "Caption" && !hasCaption) return malformed("this control has no Caption");
  // Every text is shown, or printed by show, as UTF-8.
  if (!validUtf8(text)) return malformed("the text is not UTF-8");
  if (property == "Caption") {
    control->setCaption(text);
  } else {
    control->setTag(text);
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
  const std::optional<std::uint64_t> n =
      words_.size() == 2 ? parseWhole<std::uint64_t>(words_[1]) : std::nullopt;
  if (!n) return malformed("seed needs one whole number from 0 to 18446744073709551615");
  machine_.random().seed(*n);
  return std::nullopt;
}

std::optional<int> ScriptDriver::wait() {
  // Digits only: no sign, not even on zero.
  const std::optional<std::uint64_t> ms =
      words_.size() == 2 ? parseWhole<std::uint64_t>(words_[1]) : std::nullopt;
  if (!ms || *ms > kMaxWait) {
    return malformed("wait needs one whole number of milliseconds from 0 to 4503599627370496");
  }
  const auto step = static_cast<std::int64_t>(*ms);
  if (clock_.now() > kLatest - step) {
    return malformed("wait would take the clock past 4611686018427387904 ms");
  }
  clock_.advance(step);
  return afterDelivery();
}

std::optional<int> ScriptDriver::show() {
  out_ << Snapshot::of(machine_.form()).json(clock_.now()) << "\n";
  return written();
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
  if (in.bad()) {
    err_ << "zarnovik-sim: cannot read the script from the standard input\n";
    return kExitIoError;
  }
  out_.flush();
  if (std::optional<int> failed = written()) return *failed;
  return kExitOk;
}

namespace {

constexpr const char* kUsage =
    "usage: zarnovik-sim                                   (script on standard input)\n"
    "       zarnovik-sim --spins N [--seed S] [--threads T] (statistics)\n"
    "       zarnovik-sim --odds                             (the exact odds)\n";

// Writes the run's one line; a line that cannot be written is an error.
int finish(std::ostream& out, std::ostream& err, const std::string& line, int status) {
  out << line << "\n" << std::flush;
  if (!out) {
    err << "zarnovik-sim: cannot write to the standard output\n";
    return kExitIoError;
  }
  return status;
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& err, std::uint64_t total,
                           const std::atomic<std::uint64_t>& done, std::chrono::milliseconds quiet,
                           std::chrono::milliseconds period)
    : err_(err), total_(total), done_(done), quiet_(quiet), period_(period), thread_([this] {
        show();
      }) {}

ProgressLine::~ProgressLine() {
  {
    std::lock_guard lock(mutex_);
    over_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void ProgressLine::show() {
  using namespace std::chrono;
  const auto start = steady_clock::now();
  std::unique_lock lock(mutex_);
  if (wake_.wait_for(lock, quiet_, [this] { return over_; })) return;
  do {
    const std::uint64_t done = done_.load(std::memory_order_relaxed);
    const double seconds = duration<double>(steady_clock::now() - start).count();
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    const double left = rate > 0 ? static_cast<double>(total_ - done) / rate : 0;
    char line[160];
    std::snprintf(line, sizeof line, "\r%llu of %llu spins, %.0f spins/s, %.0f s left\x1b[K",
                  static_cast<unsigned long long>(done), static_cast<unsigned long long>(total_),
                  rate, left);
    err_ << line << std::flush;
  } while (!wake_.wait_for(lock, period_, [this] { return over_; }));
  err_ << "\r\x1b[K" << std::flush;
}

int simMain(int argc, const char* const* argv, std::istream& in, std::ostream& out,
            std::ostream& err, bool errIsTerminal) {
  rt::SystemSeedClock systemClock;
  if (argc <= 1) {
    ScriptDriver driver(systemClock, out, err);
    return driver.run(in);
  }
  if (argc == 2 && std::string_view(argv[1]) == "--odds") {
    return finish(out, err, oddsJson(exactOdds()), kExitOk);
  }
  std::optional<std::uint64_t> spins;
  std::optional<std::uint64_t> seed;
  std::optional<std::uint64_t> threads;
  // Each option is followed by its value.
  for (int i = 1; i < argc; i += 2) {
    std::string_view arg = argv[i];
    std::optional<std::uint64_t>* target = arg == "--spins"     ? &spins
                                           : arg == "--seed"    ? &seed
                                           : arg == "--threads" ? &threads
                                                                : nullptr;
    std::optional<std::uint64_t> value =
        (target != nullptr && i + 1 < argc) ? parseWhole<std::uint64_t>(argv[i + 1]) : std::nullopt;
    if (target == nullptr || !value || target->has_value()) {
      err << kUsage;
      return kExitMalformed;
    }
    *target = value;
  }
  if (!spins) {
    err << "zarnovik-sim: --spins N is required with --seed and --threads\n";
    return kExitMalformed;
  }
  constexpr std::uint64_t kMaxThreads = 1024;
  if (threads && (*threads == 0 || *threads > kMaxThreads)) {
    err << "zarnovik-sim: --threads needs a whole number from 1 to " << kMaxThreads << "\n";
    return kExitMalformed;
  }
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  std::atomic<std::uint64_t> done{0};
  Statistics stats;
  {
    std::optional<ProgressLine> progress;
    if (errIsTerminal) progress.emplace(err, *spins, done);
    stats = playStatistics(*spins, seed ? *seed : systemClock.seedNow(),
                           threads ? static_cast<unsigned>(*threads) : cores, &done);
  }
  if (stats.error) {
    return finish(out, err, errorJson(*stats.error), kExitRuntimeError);
  }
  return finish(out, err, statisticsJson(stats), kExitOk);
}

}  // namespace game
