// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/random.h"

#include <chrono>

namespace rt {

std::uint64_t SystemSeedClock::seedNow() const {
  auto now = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

// PCG32: the seed picks both the start state and the stream.
void Random::seed(std::uint64_t seed) {
  seed_ = seed;
  state_ = 0;
  increment_ = (seed << 1u) | 1u;
  nextBits();
  state_ += seed ^ 0x853c49e6748fea9bULL;
  nextBits();
}

float Random::nextRigged() {
  const float r = rigged_.front();
  rigged_.pop_front();
  return r;
}

}  // namespace rt
