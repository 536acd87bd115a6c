#include "runtime/random.h"

#include <chrono>

namespace rt {

std::uint64_t SystemSeedClock::seedNow() const {
  auto now = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

// PCG32 (permuted congruential generator, XSH-RR output): small, fast and of
// good statistical quality. The seed picks both the start state and the stream.
void Random::seed(std::uint64_t seed) {
  seed_ = seed;
  state_ = 0;
  increment_ = (seed << 1u) | 1u;
  nextBits();
  state_ += seed ^ 0x853c49e6748fea9bULL;
  nextBits();
}

std::uint32_t Random::nextBits() {
  std::uint64_t old = state_;
  state_ = old * 6364136223846793005ULL + increment_;
  auto xorshifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
  auto rot = static_cast<std::uint32_t>(old >> 59u);
  return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

float Random::next() {
  ++draws_;
  if (!rigged_.empty()) {
    float r = rigged_.front();
    rigged_.pop_front();
    return r;
  }
  // The top 24 bits give every multiple of 2^-24 in [0, 1) with equal chance,
  // all exactly representable as a single.
  return static_cast<float>(nextBits() >> 8) * 0x1p-24f;
}

}  // namespace rt
