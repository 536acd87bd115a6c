// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/statistics.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "game/handlers.h"
#include "game/machine.h"
#include "game/prize_table.h"
#include "game/snapshot.h"
#include "runtime/convert.h"
#include "runtime/number_chars.h"
#include "runtime/virtual_clock.h"

namespace game {
namespace {

constexpr std::size_t kRules = 14;  // rules 1 to 13, then 13a
constexpr std::size_t kRule13aIndex = 13;

std::string_view ruleName(std::size_t r) {
  return r < kPrizeTable.size() ? kPrizeTable[r].name : kRule13a.name;
}

// The rules that paid for a spin whose reels show `symbols`, counted in
// `byRule`; returns whether the spin won.
bool countRules(const int (&symbols)[3], std::uint64_t (&byRule)[kRules]) {
  const Evaluation paid =
      evaluate([&symbols](int reel, int symbol) { return symbols[reel - 1] == symbol; });
  if (paid.rule == nullptr) return false;
  ++byRule[static_cast<std::size_t>(paid.rule - kPrizeTable.data())];
  if (paid.bonus) ++byRule[kRule13aIndex];
  return true;
}

// What each of the 1000 symbol triples pays, by the table, worked out once:
// the statistics count the rules of every spin.
struct Paid {
  std::int8_t rule = -1;  // index in byRule, or -1 for a loss
  bool bonus = false;     // 13a paid too
};

const std::array<Paid, 1000>& paidByTriple() {
  static const std::array<Paid, 1000> table = [] {
    std::array<Paid, 1000> paid{};
    for (int t = 0; t < 1000; ++t) {
      const int symbols[3] = {t / 100, t / 10 % 10, t % 10};
      std::uint64_t byRule[kRules] = {};
      if (!countRules(symbols, byRule)) continue;
      for (std::size_t r = 0; r < kRule13aIndex; ++r) {
        if (byRule[r] != 0) paid[static_cast<std::size_t>(t)].rule = static_cast<std::int8_t>(r);
      }
      paid[static_cast<std::size_t>(t)].bonus = byRule[kRule13aIndex] != 0;
    }
    return paid;
  }();
  return table;
}

// countRules() for a spin, by the table when every reel shows a symbol.
bool countSpin(const int (&symbols)[3], std::uint64_t (&byRule)[kRules]) {
  for (int s : symbols) {
    if (s < 0 || s > 9) return countRules(symbols, byRule);
  }
  const Paid& paid =
      paidByTriple()[static_cast<std::size_t>(symbols[0] * 100 + symbols[1] * 10 + symbols[2])];
  if (paid.rule < 0) return false;
  ++byRule[static_cast<std::size_t>(paid.rule)];
  if (paid.bonus) ++byRule[kRule13aIndex];
  return true;
}

std::string ruleObject(const std::uint64_t (&counts)[kRules]) {
  std::string j = "{";
  for (std::size_t r = 0; r < kRules; ++r) {
    j += (r > 0 ? "," : "") + jsonString(ruleName(r)) + ":" + std::to_string(counts[r]);
  }
  return j + "}";
}

// The shortest decimal text that reads back as the same double.
std::string shortest(double value) {
  std::array<char, 32> buf{};
  const std::size_t n = rt::writeShortest(buf.data(), buf.size(), value);
  return n != 0 ? std::string(buf.data(), n) : std::string("null");
}

}  // namespace

Statistics& Statistics::operator+=(const Statistics& later) {
  spins += later.spins;
  wins += later.wins;
  rings += later.rings;
  for (std::size_t r = 0; r < kRules; ++r) byRule[r] += later.byRule[r];
  for (std::size_t reel = 0; reel < 3; ++reel) {
    for (std::size_t d = 0; d < 10; ++d) symbols[reel][d] += later.symbols[reel][d];
  }
  newGames += later.newGames;
  virtualMs += later.virtualMs;
  if (!error) error = later.error;
  return *this;
}

std::uint64_t blockSeed(std::uint64_t seed, std::uint64_t block) {
  std::uint64_t z = seed + (block + 1) * 0x9E3779B97F4A7C15ULL;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

Statistics playBlock(std::uint64_t spins, std::uint64_t seed, std::atomic<std::uint64_t>* done) {
  Statistics stats;
  rt::FixedSeedClock seedClock(seed);
  Machine machine(seedClock);
  rt::VirtualClock clock(machine.form(), machine.dispatcher());
  Form1& f = machine.form();
  machine.load();  // seeds the generator with `seed`
  // The evaluations are counted by Timer3's ticks, found by its place among
  // the timers.
  const auto timers = f.timers();
  const auto timer3 =
      static_cast<std::size_t>(std::find(timers.begin(), timers.end(), &f.Timer3) - timers.begin());

  auto failed = [&] {
    if (!machine.dispatcher().halted()) return false;
    stats.error = machine.dispatcher().error()->what();
    return true;
  };
  // Progress is told in small steps, so that a counter shared by the threads
  // is touched rarely.
  constexpr std::uint64_t kTellEvery = 1024;
  std::uint64_t untold = 0;

  machine.deliver(f.Command2, rt::Event::Click);
  for (std::uint64_t i = 0; i < spins && !failed(); ++i) {
    if (f.LabelCredit.caption() == kGameOver) {
      machine.deliver(f.Command1, rt::Event::Click);
      ++stats.newGames;
    }
    machine.deliver(f.LabelInsertCoin, rt::Event::Click);
    if (!f.Timer2.enabled()) {
      stats.error = "the coin was refused";
      break;
    }
    const std::uint64_t evaluations = clock.ticks(timer3);
    while (clock.ticks(timer3) == evaluations && clock.step(rt::VirtualClock::kNever) != nullptr) {
    }
    if (failed()) break;
    ++stats.spins;
    int symbols[3];
    for (int n = 1; n <= 3; ++n) {
      symbols[n - 1] = f.reelSymbol(n);
      if (symbols[n - 1] >= 0) ++stats.symbols[n - 1][symbols[n - 1]];
    }
    // The prize field was empty before this evaluation, so it holds the award.
    stats.rings += static_cast<std::uint64_t>(rt::leadingNumber(f.LabelPrize.caption()));
    if (countSpin(symbols, stats.byRule)) ++stats.wins;
    while (f.Timer4.enabled() && clock.step(rt::VirtualClock::kNever) != nullptr) {
    }
    if (done != nullptr && ++untold == kTellEvery) {
      done->fetch_add(untold, std::memory_order_relaxed);
      untold = 0;
    }
  }
  failed();
  if (done != nullptr) done->fetch_add(untold, std::memory_order_relaxed);
  stats.virtualMs = clock.now();
  return stats;
}

Statistics playStatistics(std::uint64_t spins, std::uint64_t seed, unsigned threads,
                          std::atomic<std::uint64_t>* done) {
  // Counted without adding first, which would wrap for the largest counts.
  const std::uint64_t blocks = spins / kBlockSpins + (spins % kBlockSpins != 0 ? 1 : 0);
  auto spinsOf = [&](std::uint64_t block) {
    return std::min(kBlockSpins, spins - block * kBlockSpins);
  };
  threads = static_cast<unsigned>(
      std::clamp<std::uint64_t>(threads, 1, std::max<std::uint64_t>(blocks, 1)));

  // Each thread takes the next block not yet taken; finished blocks are summed
  // in their order as soon as all blocks before them are in.
  std::mutex mutex;
  Statistics total;
  std::uint64_t nextToTake = 0;
  std::uint64_t nextToSum = 0;
  std::map<std::uint64_t, Statistics> finished;
  bool stop = false;  // a block failed: no later block counts

  auto work = [&] {
    for (;;) {
      std::uint64_t block;
      {
        std::lock_guard lock(mutex);
        if (stop || nextToTake == blocks) return;
        block = nextToTake++;
      }
      Statistics s = playBlock(spinsOf(block), blockSeed(seed, block), done);
      std::lock_guard lock(mutex);
      finished.emplace(block, std::move(s));
      while (!stop && !finished.empty() && finished.begin()->first == nextToSum) {
        total += finished.begin()->second;
        stop = total.error.has_value();
        finished.erase(finished.begin());
        ++nextToSum;
      }
    }
  };

  std::vector<std::thread> others;
  others.reserve(threads - 1);
  for (unsigned t = 1; t < threads; ++t) others.emplace_back(work);
  work();
  for (std::thread& t : others) t.join();
  return total;
}

std::string statisticsJson(const Statistics& s) {
  std::string j = "{\"spins\":" + std::to_string(s.spins) + ",\"wins\":" + std::to_string(s.wins) +
                  ",\"rings\":" + std::to_string(s.rings) + ",\"byRule\":" + ruleObject(s.byRule);
  j += ",\"symbols\":[";
  for (std::size_t reel = 0; reel < 3; ++reel) {
    j += reel > 0 ? ",[" : "[";
    for (std::size_t d = 0; d < 10; ++d)
      j += (d > 0 ? "," : "") + std::to_string(s.symbols[reel][d]);
    j += "]";
  }
  j += "],\"newGames\":" + std::to_string(s.newGames) +
       ",\"virtualMs\":" + std::to_string(s.virtualMs) + "}";
  return j;
}

double Odds::hitFrequency() const {
  return static_cast<double>(wins) / static_cast<double>(triples);
}

double Odds::ringsPerSpin() const {
  return static_cast<double>(rings) / static_cast<double>(triples);
}

double Odds::returnToPlayer() const {
  constexpr double kDollarsPerRing = 5, kDollarsPerSpin = 5;
  return static_cast<double>(rings) * kDollarsPerRing /
         (static_cast<double>(triples) * kDollarsPerSpin);
}

double Odds::ringsVariance() const {
  // Exact in integers first: n * sum(x^2) - sum(x)^2, over n^2.
  const double n = static_cast<double>(triples);
  const double spread = n * static_cast<double>(ringsSquared) -
                        static_cast<double>(rings) * static_cast<double>(rings);
  return spread / (n * n);
}

Odds exactOdds() {
  Odds odds;
  rt::FixedSeedClock seedClock(0);
  Machine machine(seedClock);
  Form1& f = machine.form();
  machine.load();
  for (int a = 0; a < 10; ++a) {
    for (int b = 0; b < 10; ++b) {
      for (int c = 0; c < 10; ++c) {
        const int symbols[3] = {a, b, c};
        // The reels as the reel stops leave them, then one evaluation tick.
        for (int n = 1; n <= 3; ++n) f.reel(n).setPicture(f.symbolImage(symbols[n - 1]).picture());
        f.LabelCredit.setCaption("100");
        f.LabelPrize.setCaption("0");
        f.Timer4.setEnabled(false);
        f.Timer3.setEnabled(true);
        machine.deliver(f.Timer3, rt::Event::Timer);
        const auto rings = static_cast<std::uint64_t>(rt::leadingNumber(f.LabelPrize.caption()));
        ++odds.triples;
        odds.rings += rings;
        odds.ringsSquared += rings * rings;
        std::uint64_t paid[kRules] = {};
        if (countRules(symbols, paid)) ++odds.wins;
        for (std::size_t r = 0; r < kRules; ++r) {
          odds.byRule[r] += paid[r];
          if (paid[r] != 0) {
            const auto award = r < kPrizeTable.size() ? kPrizeTable[r].award : kRule13a.award;
            odds.ringsByRule[r] += static_cast<std::uint64_t>(award);
          }
        }
      }
    }
  }
  return odds;
}

std::string oddsJson(const Odds& odds) {
  return "{\"triples\":" + std::to_string(odds.triples) + ",\"wins\":" + std::to_string(odds.wins) +
         ",\"rings\":" + std::to_string(odds.rings) + ",\"byRule\":" + ruleObject(odds.byRule) +
         ",\"ringsByRule\":" + ruleObject(odds.ringsByRule) +
         ",\"hitFrequency\":" + shortest(odds.hitFrequency()) +
         ",\"ringsPerSpin\":" + shortest(odds.ringsPerSpin()) +
         ",\"returnToPlayer\":" + shortest(odds.returnToPlayer()) +
         ",\"ringsVariance\":" + shortest(odds.ringsVariance()) + "}";
}

}  // namespace game
