// SPDX-License-Identifier: GPL-3.0-or-later
// What the program's command line and its seed variable ask for, read before
// anything needs a display: --help and --version answer on a machine without
// one, and a mistyped option ends the program before a window opens.
#pragma once

#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>

namespace app {

// The exit status of a command line (or ZRNV_SEED) the program cannot use.
inline constexpr int kExitUsage = 2;

struct CommandLine {
  // False when the program ends here: after --help or --version (status 0),
  // or on a mistake (kExitUsage); `output` and `errors` hold what it prints.
  bool play = true;
  int status = 0;
  std::string output;  // for standard output
  std::string errors;  // for standard error
  // The reels' seed, from --seed or else ZRNV_SEED; none: from the clock.
  std::optional<std::uint64_t> seed;
};

// Reads `arguments` (the program's name first, as in argv) and the value of
// ZRNV_SEED (nullptr when it is not set). --seed wins over ZRNV_SEED, which
// is then not read at all.
CommandLine readCommandLine(const QStringList& arguments, const char* seedVariable);

}  // namespace app
