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

int simMain(int argc, const char* const* argv, std::istream& in, std::ostream& out,
            std::ostream& err, bool errIsTerminal) {
  rt::SystemSeedClock systemClock;
  if (argc <= 1) {
    game::ScriptDriver driver(systemClock, out, err);
    return driver.run(in);
  }
  if (argc == 2 && std::string_view(argv[1]) == "--odds") {
    return finish(out, err, game::oddsJson(game::exactOdds()), kExitOk);
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
        (target != nullptr && i + 1 < argc) ? game::parseWhole(argv[i + 1]) : std::nullopt;
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
  game::Statistics stats;
  {
    std::optional<ProgressLine> progress;
    if (errIsTerminal) progress.emplace(err, *spins, done);
    stats = game::playStatistics(*spins, seed ? *seed : systemClock.seedNow(),
                                 threads ? static_cast<unsigned>(*threads) : cores, &done);
  }
  if (stats.error) {
    return finish(out, err, "{\"error\": " + game::jsonString(*stats.error) + "}",
                  kExitRuntimeError);
  }
  return finish(out, err, game::statisticsJson(stats), kExitOk);
}

}  // namespace sim
