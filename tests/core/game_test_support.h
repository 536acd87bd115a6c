// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "game/machine.h"
#include "runtime/virtual_clock.h"

namespace testing_support {

// The game machine loaded and on a virtual clock, welcome panel still up.
struct LoadedGame {
  rt::FixedSeedClock seeds{1};
  game::Machine machine{seeds};
  rt::VirtualClock clock{machine.form(), machine.dispatcher()};
  game::Form1& f = machine.form();

  LoadedGame() { machine.load(); }

  void click(rt::Control& c) { machine.deliver(c, rt::Event::Click); }
  void coin() { click(f.LabelInsertCoin); }
  void rig(std::initializer_list<float> values) {
    for (float r : values) machine.random().rig(r);
  }
  // r whose draw gives symbol d
  static float drawing(int d) { return (static_cast<float>(d) + 0.5f) / 10.0f; }
  void rigSymbols(int a, int b, int c) { rig({drawing(a), drawing(b), drawing(c)}); }
};

}  // namespace testing_support
