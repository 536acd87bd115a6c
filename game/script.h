// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/input.h"
#include "game/machine.h"
#include "game/snapshot.h"
#include "runtime/virtual_clock.h"

// The headless driver: the whole game machine on a virtual clock, played by
// a script of commands, one a line.
namespace game {

// Exit statuses of the driver.
inline constexpr int kExitOk = 0;
inline constexpr int kExitMalformed = 2;
inline constexpr int kExitRuntimeError = 3;
// The script could not be read, or the output could not be written.
inline constexpr int kExitIoError = 4;

// Plays a script, one command a line (see the driver's usage text).
class ScriptDriver {
 public:
  ScriptDriver(const rt::SeedClock& seedClock, std::ostream& out, std::ostream& err);

  // Runs one line. Returns the exit status when the run must end here.
  std::optional<int> runLine(std::string_view line);

  // Runs every line of the input; returns the exit status.
  int run(std::istream& in);

  Machine& machine() { return machine_; }
  rt::VirtualClock& clock() { return clock_; }

 private:
  struct Command;
  static const Command kCommands[];

  std::optional<int> malformed(const std::string& why);
  std::optional<int> written();
  std::optional<int> afterDelivery();
  // The commands, each on the words of the current line.
  std::optional<int> set();
  std::optional<int> rig();
  std::optional<int> seed();
  std::optional<int> wait();
  bool onlyTitleBlinkAwake() const;
  // Jumps the whole periods of a stretch to `end` in which only the title
  // strip blinks.
  void jumpTitleBlink(std::int64_t end);
  std::optional<int> show();
  std::optional<int> play(Input input);

  std::ostream& out_;
  std::ostream& err_;
  Machine machine_;
  rt::VirtualClock clock_;
  int lineNumber_ = 0;
  std::string_view line_;                // the line being run
  std::vector<std::string_view> words_;  // its words
};

// A script's text as it may be echoed to a terminal: control characters,
// bytes that are not UTF-8 and the backslash are written as escapes (\x1b,
// \xff, \\), so that no script can send a terminal its control sequences.
std::string printable(std::string_view text);
// The same, of at most the first `limit` bytes of the text, with how many
// more were not shown.
std::string printable(std::string_view text, std::size_t limit);

// A rigged draw as a script's `rig` writes it: in full, so that the driver
// reads back the very same single (every single in [0, 1) has a finite
// decimal expansion).
std::string rigText(float r);

// A whole number of digits only (no sign, no blank), as scripts and the
// command line write counts and seeds; nothing when it does not fit 64 bits.
std::optional<std::uint64_t> parseWhole(std::string_view word);

// Whether the text is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing beyond U+10FFFF).
bool validUtf8(std::string_view text);

}  // namespace game
