// zarnovik-sim: the game machine without a window, on a virtual clock.
#include <unistd.h>

#include <iostream>

#include "tools/zarnovik-sim/command_line.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  return sim::simMain(argc, argv, std::cin, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}
