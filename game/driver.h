// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <iosfwd>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "game/input.h"
#include "game/machine.h"
#include "game/snapshot.h"
#include "game/statistics.h"
#include "runtime/virtual_clock.h"

// The headless driver: the whole game machine on a virtual clock, played by
// a script of commands or by a steady player for statistics.
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

  std::optional<int> malformed(std::string_view why);
  std::optional<int> written();
  std::optional<int> afterDelivery();
  // The commands, each on the words of the current line.
  std::optional<int> set();
  std::optional<int> rig();
  std::optional<int> seed();
  std::optional<int> wait();
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

// Shows how far a statistics run has got, on a terminal: nothing while the
// run is young (`quiet`), then the spins done, the rate and the time left,
// rewritten in place every `period`, on one line that is cleared at the end
// (when this object is destroyed).
class ProgressLine {
 public:
  ProgressLine(std::ostream& err, std::uint64_t total, const std::atomic<std::uint64_t>& done,
               std::chrono::milliseconds quiet = std::chrono::seconds(1),
               std::chrono::milliseconds period = std::chrono::milliseconds(250));
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

 private:
  void show();

  std::ostream& err_;
  const std::uint64_t total_;
  const std::atomic<std::uint64_t>& done_;
  const std::chrono::milliseconds quiet_, period_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool over_ = false;
  std::thread thread_;  // last: it starts once everything it uses is made
};

// A script's text as it may be echoed to a terminal: control characters,
// bytes that are not UTF-8 and the backslash are written as escapes (\x1b,
// \xff, \\), so that no script can send a terminal its control sequences.
std::string printable(std::string_view text);

// A rigged draw as a script's `rig` writes it: in full, so that the driver
// reads back the very same single (every single in [0, 1) has a finite
// decimal expansion).
std::string rigText(float r);

// Whether the text is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing beyond U+10FFFF).
bool validUtf8(std::string_view text);

// The command line of zarnovik-sim; returns the exit status. With
// `errIsTerminal`, a statistics run that lasts longer than about a second
// shows its progress on `err`.
int simMain(int argc, const char* const* argv, std::istream& in, std::ostream& out,
            std::ostream& err, bool errIsTerminal = false);

}  // namespace game
