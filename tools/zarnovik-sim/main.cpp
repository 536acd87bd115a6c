// SPDX-License-Identifier: GPL-3.0-or-later
// zarnovik-sim: the game machine without a window, on a virtual clock.
#include <unistd.h>

#include <csignal>
#include <iostream>

#include "tools/zarnovik-sim/command_line.h"

namespace {

// A run interrupted from the terminal leaves no progress line behind: the
// line is cleared, then the signal ends the program as it would have.
void clearLineAndEnd(int signal) {
  static const char kClear[] = "\r\x1b[K";
  (void)!write(STDERR_FILENO, kClear, sizeof kClear - 1);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const bool errIsTerminal = isatty(STDERR_FILENO) == 1;
  if (errIsTerminal) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
      std::signal(signal, clearLineAndEnd);
  }
  return sim::simMain(argc, argv, std::cin, std::cout, std::cerr, errIsTerminal);
}
