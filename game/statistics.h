// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

// The game's figures: many spins played by a steady player, on every core,
// and the exact odds of the prize table over all 1000 symbol triples.
namespace game {

// The figures of a statistics run.
struct Statistics {
  std::uint64_t spins = 0;
  std::uint64_t wins = 0;
  std::uint64_t rings = 0;
  std::uint64_t byRule[14] = {};  // rules 1 to 13, then 13a
  std::uint64_t symbols[3][10] = {};
  std::uint64_t newGames = 0;
  std::int64_t virtualMs = 0;
  std::optional<std::string> error;  // a run-time error that ended the run

  // Adds the figures of a later part of the run.
  Statistics& operator+=(const Statistics& later);
};

// The spins are played in blocks of this many, each by a fresh player.
inline constexpr std::uint64_t kBlockSpins = 65536;

// The seed of block `block` of a run seeded with `seed`: output number
// block + 1 of a SplitMix64 generator started at `seed`, that is the SplitMix64
// finalizer applied to seed + (block + 1) * 0x9E3779B97F4A7C15 (mod 2^64).
std::uint64_t blockSeed(std::uint64_t seed, std::uint64_t block);

// Plays `spins` spins as a steady player on a fresh machine whose generator is
// seeded with `seed`: dismiss the welcome panel, then for each spin press
// "Новая игра" if the game is over, insert a coin, and wait until the spin has
// been evaluated and any prize transfer has ended. Adds to `done`, if given, as
// the spins are played.
Statistics playBlock(std::uint64_t spins, std::uint64_t seed,
                     std::atomic<std::uint64_t>* done = nullptr);

// Plays `spins` spins in blocks of kBlockSpins (the last one may be shorter),
// block b seeded with blockSeed(seed, b), on `threads` threads (at least one).
// The blocks are summed in their order, so the figures depend on the seed and
// the number of spins only, never on the threads. A run-time error in a block
// ends the run there: the figures are those of the blocks before it and of
// the failing block up to the error. `done` counts the spins played so far.
Statistics playStatistics(std::uint64_t spins, std::uint64_t seed, unsigned threads = 1,
                          std::atomic<std::uint64_t>* done = nullptr);

// One line of JSON: spins, wins, rings, byRule, symbols, newGames, virtualMs.
std::string statisticsJson(const Statistics& s);

// The exact odds of the prize table: every one of the 1000 symbol triples, all
// equally likely, evaluated by the game's own evaluation handler.
struct Odds {
  std::uint64_t triples = 0;
  std::uint64_t wins = 0;
  std::uint64_t rings = 0;
  std::uint64_t byRule[14] = {};       // triples paid by rules 1 to 13, then 13a
  std::uint64_t ringsByRule[14] = {};  // the rings those rules pay
  std::uint64_t ringsSquared = 0;      // the sum over the triples of their rings squared

  double hitFrequency() const;  // wins a spin
  double ringsPerSpin() const;
  // Money paid out per money staked: 5 $ a ring against 5 $ a spin.
  double returnToPlayer() const;
  // The variance of the rings of one spin.
  double ringsVariance() const;
};

Odds exactOdds();

// One line of JSON: triples, wins, rings, byRule, ringsByRule, hitFrequency,
// ringsPerSpin, returnToPlayer, ringsVariance.
std::string oddsJson(const Odds& odds);

}  // namespace game
