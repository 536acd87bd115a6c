// Until the window lands the program plays the game headless from a script.
#include <iostream>

#include "game/driver.h"

int main(int argc, char** argv) {
  return game::simMain(argc, argv, std::cin, std::cout, std::cerr);
}
