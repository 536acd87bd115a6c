// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/zarnovik-sim/command_line.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>

#include "game/script.h"
#include "game/statistics.h"
#include "runtime/random.h"
#include "tools/zarnovik-sim/progress_line.h"

namespace sim {

using game::kExitIoError;
using game::kExitMalformed;
using game::kExitOk;
using game::kExitRuntimeError;

namespace {

constexpr const char* kUsage =
    "usage: zarnovik-sim                                   (script on standard input)\n"
    "       zarnovik-sim --spins N [--seed S] [--threads T] (statistics)\n"
    "       zarnovik-sim --odds                             (the exact odds)\n"
    "       zarnovik-sim --help | --version\n";

constexpr const char* kHelp =
    "\n"
    "Plays the game machine without a window, on a virtual clock in milliseconds.\n"
    "\n"
    "A script holds one command a line; blank lines and lines that start with #\n"
    "are skipped:\n"
    "  coin | press | release    a click, a press or a release on the coin slot\n"
    "  newgame | welcome         a click on \"Новая игра\" or on the welcome panel\n"
    "  wait MS                   lets MS milliseconds pass (0 to 4503599627370496)\n"
    "  show                      prints the game's state as one line of JSON\n"
    "  set NAME.Caption TEXT     sets a label's, frame's or button's caption\n"
    "  set NAME.Tag TEXT         sets a control's tag\n"
    "  seed S                    seeds the generator (0 to 18446744073709551615)\n"
    "  rig R...                  the next draws, decimal numbers 0 <= R < 1\n"
    "\n"
    "--spins N plays N spins (at most 1000000000000) and prints their figures;\n"
    "without --seed the seed is taken from the clock and told on standard error.\n"
    "--threads T plays on T threads (1 to 1024; by default one a core).\n"
    "\n"
    "Exit status: 0 done, 2 a malformed script or command line, 3 a run-time\n"
    "error of the game, 4 the script could not be read or the output written.";

// The most spins a run may ask for: more would take weeks on any machine,
// and the figures' sums (the game's time above all) could no longer be
// counted exactly.
constexpr std::uint64_t kMaxSpins = 1'000'000'000'000;
constexpr std::uint64_t kMaxThreads = 1024;

// Writes the run's one line; a line that cannot be written is an error.
int finish(std::ostream& out, std::ostream& err, const std::string& line, int status) {
  out << line << "\n" << std::flush;
  if (!out) {
    err << "zarnovik-sim: cannot write to the standard output\n";
    return kExitIoError;
  }
  return status;
}

int refuse(std::ostream& err, const std::string& why) {
  err << "zarnovik-sim: " << why << "\n" << kUsage;
  return kExitMalformed;
}

}  // namespace

int simMain(int argc, const char* const* argv, std::istream& in, std::ostream& out,
            std::ostream& err, bool errIsTerminal) {
  rt::SystemSeedClock systemClock;
  if (argc <= 1) {
    game::ScriptDriver driver(systemClock, out, err);
    return driver.run(in);
  }
  const std::string_view first = argv[1];
  if (argc == 2 && first == "--help") return finish(out, err, kUsage + std::string(kHelp), kExitOk);
  if (argc == 2 && first == "--version") {
    return finish(out, err, "zarnovik-sim " ZRNV_VERSION, kExitOk);
  }
  if (argc == 2 && first == "--odds") {
    return finish(out, err, game::oddsJson(game::exactOdds()), kExitOk);
  }
  std::optional<std::uint64_t> spins;
  std::optional<std::uint64_t> seed;
  std::optional<std::uint64_t> threads;
  // Each option is followed by its value.
  for (int i = 1; i < argc; i += 2) {
    const std::string arg = argv[i];
    std::optional<std::uint64_t>* target = arg == "--spins"     ? &spins
                                           : arg == "--seed"    ? &seed
                                           : arg == "--threads" ? &threads
                                                                : nullptr;
    const std::string shown = game::printable(arg, 100);
    if (target == nullptr) {
      const bool alone = arg == "--odds" || arg == "--help" || arg == "--version";
      return refuse(err, alone ? shown + " goes alone" : "unknown option " + shown);
    }
    if (target->has_value()) return refuse(err, shown + " is given twice");
    if (i + 1 >= argc) return refuse(err, shown + " needs a value");
    const std::optional<std::uint64_t> value = game::parseWhole(argv[i + 1]);
    if (!value) {
      return refuse(err, shown + " needs a whole number, not " + game::printable(argv[i + 1], 100));
    }
    *target = value;
  }
  if (!spins) return refuse(err, "--spins N is required with --seed and --threads");
  if (*spins > kMaxSpins) {
    return refuse(err, "--spins needs a whole number from 0 to " + std::to_string(kMaxSpins));
  }
  if (threads && (*threads == 0 || *threads > kMaxThreads)) {
    return refuse(err, "--threads needs a whole number from 1 to " + std::to_string(kMaxThreads));
  }
  if (!seed) {
    // Told, so that the run can be repeated.
    seed = systemClock.seedNow();
    err << "zarnovik-sim: --seed " << *seed << "\n" << std::flush;
  }
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  std::atomic<std::uint64_t> done{0};
  game::Statistics stats;
  {
    std::optional<ProgressLine> progress;
    if (errIsTerminal) progress.emplace(err, *spins, done);
    stats = game::playStatistics(*spins, *seed, threads ? static_cast<unsigned>(*threads) : cores,
                                 &done);
  }
  if (stats.error) {
    return finish(out, err, game::errorJson(*stats.error), kExitRuntimeError);
  }
  return finish(out, err, game::statisticsJson(stats), kExitOk);
}

}  // namespace sim
