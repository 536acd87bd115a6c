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
// a script of commands or by a steady player for statistics.
namespace game {

// Exit statuses of the driver.
inline constexpr int kExitOk = 0;
inline constexpr int kExitMalformed = 2;
inline constexpr int kExitRuntimeError = 3;

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

// The figures of a statistics run.
struct Statistics {
  std::uint64_t spins = 0;
  std::uint64_t wins = 0;
  std::uint64_t rings = 0;
  std::uint64_t byRule[14] = {};  // rules 1 to 13, then 13a
  std::uint64_t symbols[3][10] = {};
  std::uint64_t newGames = 0;
  std::int64_t virtualMs = 0;
  std::optional<std::string> error;  // a run-time error that ended the run
};

// Plays `spins` spins as a steady player: dismiss the welcome panel, then for
// each spin press "Новая игра" if the game is over, insert a coin, and wait
// until the spin has been evaluated and any prize transfer has ended.
Statistics playStatistics(std::uint64_t spins, const rt::SeedClock& seedClock,
                          std::optional<std::uint64_t> seed);

std::string statisticsJson(const Statistics& s);

// The command line of zarnovik-sim; returns the exit status.
int simMain(int argc, const char* const* argv, std::istream& in, std::ostream& out,
            std::ostream& err);

}  // namespace game
