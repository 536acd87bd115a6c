// SPDX-License-Identifier: GPL-3.0-or-later
// zarnovik-sim: the game machine without a window, on a virtual clock.
#include <unistd.h>

#include <iostream>

#include "game/driver.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  return game::simMain(argc, argv, std::cin, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}
