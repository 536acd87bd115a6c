// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/script.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <istream>
#include <ostream>
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

// The longest line a script may hold, and how much of a bad line an error
// message echoes.
constexpr std::size_t kMaxLine = std::size_t{1} << 20;
constexpr std::size_t kEchoedBytes = 200;

// Reads one line without its newline; one longer than kMaxLine is read only
// so far (one byte more, to tell it), so that no input can fill the memory.
bool readLine(std::istream& in, std::string& line) {
  line.clear();
  std::streambuf* buffer = in.rdbuf();
  for (;;) {
    int c = 0;
    try {
      c = buffer->sbumpc();
    } catch (const std::ios_base::failure&) {
      in.setstate(std::ios::badbit);  // the input could not be read
      return false;
    }
    if (c == std::char_traits<char>::eof()) {
      in.setstate(std::ios::eofbit);
      return !line.empty();
    }
    if (c == '\n') return true;
    line.push_back(static_cast<char>(c));
    if (line.size() > kMaxLine) return true;
  }
}

// A decimal number below 1 that rounds to 1 as a single.
bool roundsToOne(std::string_view word) {
  double exact = 0;
  float single = 0;
  return rt::isFixedDecimal(word) && rt::readDecimal(word, exact) && exact < 1.0 &&
         rt::readDecimal(word, single) && single == 1.0f;
}

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

std::optional<std::uint64_t> parseWhole(std::string_view word) {
  std::uint64_t value = 0;
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc() || end != word.data() + word.size()) return std::nullopt;
  return value;
}

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

std::string printable(std::string_view text, std::size_t limit) {
  if (text.size() > limit) {
    // Cut where a character starts, and say how much is not shown.
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0u) == 0x80u) --cut;
    return printable(text.substr(0, cut)) + "... (" + std::to_string(text.size() - cut) +
           " more bytes not shown)";
  }
  return printable(text);
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

std::optional<int> ScriptDriver::malformed(const std::string& why) {
  err_ << "zarnovik-sim: line " << lineNumber_ << ": " << why << ": "
       << printable(line_, kEchoedBytes) << "\n";
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
    if (!r && roundsToOne(words_[i])) {
      return malformed(
          "a rig value below 1 that rounds to 1 in single precision cannot be drawn (the largest "
          "is " +
          rigText(std::nextafter(1.0f, 0.0f)) + ")");
    }
    if (!r) return malformed("rig values are decimal numbers r with 0 <= r < 1");
    values.push_back(*r);
  }
  for (float r : values) machine_.random().rig(r);
  return std::nullopt;
}

std::optional<int> ScriptDriver::seed() {
  const std::optional<std::uint64_t> n = words_.size() == 2 ? parseWhole(words_[1]) : std::nullopt;
  if (!n) return malformed("seed needs one whole number from 0 to 18446744073709551615");
  machine_.random().seed(*n);
  return std::nullopt;
}

std::optional<int> ScriptDriver::wait() {
  // Digits only: no sign, not even on zero.
  const std::optional<std::uint64_t> ms = words_.size() == 2 ? parseWhole(words_[1]) : std::nullopt;
  if (!ms || *ms > kMaxWait) {
    return malformed("wait needs one whole number of milliseconds from 0 to 4503599627370496");
  }
  const auto step = static_cast<std::int64_t>(*ms);
  if (clock_.now() > kLatest - step) {
    return malformed("wait would take the clock past 4611686018427387904 ms");
  }
  const std::int64_t end = clock_.now() + step;
  jumpTitleBlink(end);
  clock_.advance(end - clock_.now());
  return afterDelivery();
}

bool ScriptDriver::onlyTitleBlinkAwake() const {
  const rt::Schedule& s = clock_.schedule();
  for (std::size_t t = 0; t < s.size(); ++t) {
    const bool awake = s.due(t) != rt::VirtualClock::kNever;
    if (awake != (&s.timer(t) == &machine_.form().Timer5)) return false;
  }
  return true;
}

// A stretch in which only the title strip blinks repeats every two of
// Timer5's ticks: its tick reads and writes nothing but Label1's Tag and
// Visible. Two ticks played one by one that bring the strip back to where
// it was, with no other timer awake, woken or ticked, prove it; the whole
// periods left are then jumped at once, so that the longest wait costs no
// more than a short one.
void ScriptDriver::jumpTitleBlink(std::int64_t end) {
  const Form1& f = machine_.form();
  const std::int64_t period = 2 * static_cast<std::int64_t>(f.Timer5.interval());
  if (period <= 0) return;
  const rt::Schedule& s = clock_.schedule();
  struct State {
    std::string tag;
    bool visible;
    std::int64_t dueIn;
    std::vector<std::uint64_t> ticks;
    bool operator==(const State&) const = default;
  };
  const auto state = [&] {
    State now{f.Label1.tag(), f.Label1.visible(), 0, {}};
    for (std::size_t t = 0; t < s.size(); ++t) {
      if (&s.timer(t) == &f.Timer5) {
        now.dueIn = s.due(t) - clock_.now();
      } else {
        now.ticks.push_back(s.ticks(t));
      }
    }
    return now;
  };
  // Played a period at a time until a probe succeeds; a probe and a jump
  // need three periods, and a shorter stretch is played to its end.
  while (end - clock_.now() >= 3 * period) {
    // With no timer awake nothing happens: the clock moves on at once.
    if (clock_.nextDue() == rt::VirtualClock::kNever) return;
    const bool quiet = onlyTitleBlinkAwake();
    const State before = state();
    if (!clock_.advance(period)) return;  // a run-time error, told by the caller
    if (quiet && state() == before && onlyTitleBlinkAwake()) {
      clock_.jump((end - clock_.now()) / period * period - period);
      return;
    }
  }
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
  while (readLine(in, line)) {
    if (line.size() > kMaxLine) {
      err_ << "zarnovik-sim: line " << lineNumber_ + 1 << ": a line may hold at most " << kMaxLine
           << " bytes: " << printable(std::string_view(line).substr(0, kEchoedBytes))
           << "... (the rest not shown)\n";
      return kExitMalformed;
    }
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

}  // namespace game
