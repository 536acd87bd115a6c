// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>

namespace rt {

// The source of the seed taken "from the clock". The real program reads the
// system time; tests and tools substitute a fixed value.
class SeedClock {
 public:
  virtual ~SeedClock() = default;
  virtual std::uint64_t seedNow() const = 0;
};

// Reads the system clock (nanoseconds since the epoch).
class SystemSeedClock final : public SeedClock {
 public:
  std::uint64_t seedNow() const override;
};

// Always gives the same seed: a game that plays the same on every run, for
// tests, tools and replays.
class FixedSeedClock final : public SeedClock {
 public:
  explicit FixedSeedClock(std::uint64_t seed) : seed_(seed) {}
  std::uint64_t seedNow() const override { return seed_; }

 private:
  std::uint64_t seed_;
};

// The game's random generator: uniform single-precision values r with
// 0 <= r < 1, each a multiple of 2^-24. Seeded once at start-up; tests and
// the driver may seed it with a chosen number, or rig the next values.
class Random {
 public:
  Random() { seed(0); }

  void seed(std::uint64_t seed);
  void seedFrom(const SeedClock& clock) { seed(clock.seedNow()); }

  // Queues a value that the next draw returns instead of a generated one.
  // The value must lie in [0, 1); the caller checks it.
  void rig(float r) { rigged_.push_back(r); }
  std::size_t rigged() const { return rigged_.size(); }

  // The next value: the oldest rigged one if any, otherwise a generated one.
  // Inline: a draw stops every reel.
  float next() {
    ++draws_;
    if (!rigged_.empty()) [[unlikely]]
      return nextRigged();
    // The top 24 bits give every multiple of 2^-24 in [0, 1) with equal
    // chance, all exactly representable as a single.
    return static_cast<float>(nextBits() >> 8) * 0x1p-24f;
  }

  // How many values have been drawn so far.
  std::uint64_t draws() const { return draws_; }
  // The count itself, for the dispatcher, which compares it before and after
  // every handler run.
  const std::uint64_t& drawCount() const { return draws_; }
  // The seed last given, by seed() or seedFrom().
  std::uint64_t seedValue() const { return seed_; }

 private:
  // PCG32 (permuted congruential generator, XSH-RR output): small, fast and
  // of good statistical quality.
  std::uint32_t nextBits() {
    const std::uint64_t old = state_;
    state_ = old * 6364136223846793005ULL + increment_;
    const auto xorshifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rot = static_cast<std::uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
  }
  float nextRigged();

  std::uint64_t state_ = 0;
  std::uint64_t increment_ = 0;
  std::deque<float> rigged_;
  std::uint64_t draws_ = 0;
  std::uint64_t seed_ = 0;
};

}  // namespace rt
