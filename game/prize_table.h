// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string_view>

namespace game {

// One rule of the prize table: a combination of one symbol on the three reels.
struct PrizeRule {
  enum class Combination {
    AllThree,    // all three reels show the symbol
    AtLeastTwo,  // at least two reels show it
    AtLeastOne,  // at least one reel shows it
  };

  std::string_view name;  // "1" to "13", "13a"
  Combination combination;
  int symbol;
  int award;  // rings
  // A rule tried only after this one has paid (13a after 13), or nullptr.
  const PrizeRule* bonus = nullptr;
};

// The bonus rule 13a: a lone 0 beside a lone 7 pays one ring more.
inline constexpr PrizeRule kRule13a{"13a", PrizeRule::Combination::AtLeastOne, 0, 1};

// Rules 1 to 13 in the order they are tried; the first that matches pays.
inline constexpr std::array<PrizeRule, 13> kPrizeTable{{
    {"1", PrizeRule::Combination::AllThree, 0, 7},     // ring
    {"2", PrizeRule::Combination::AllThree, 1, 10},    // BAR
    {"3", PrizeRule::Combination::AllThree, 2, 20},    // swirl
    {"4", PrizeRule::Combination::AllThree, 3, 30},    // Тиво
    {"5", PrizeRule::Combination::AllThree, 4, 50},    // Велси
    {"6", PrizeRule::Combination::AllThree, 5, 100},   // Дрогнар
    {"7", PrizeRule::Combination::AllThree, 6, 150},   // Лирвен
    {"8", PrizeRule::Combination::AllThree, 7, 200},   // Бримон
    {"9", PrizeRule::Combination::AllThree, 8, 300},   // Зента
    {"10", PrizeRule::Combination::AllThree, 9, 500},  // emerald
    {"11", PrizeRule::Combination::AtLeastTwo, 7, 5},  // two Бримоны
    {"12", PrizeRule::Combination::AtLeastTwo, 0, 3},  // two rings
    {"13", PrizeRule::Combination::AtLeastOne, 7, 2, &kRule13a},
}};

// Whether a rule's combination holds, given `shows(reel, symbol)` for reels 1
// to 3. Every comparison of the rule is made; none is skipped once the
// outcome is settled: all three reels are always looked at, and & and | are
// used on purpose instead of && and ||, so that every rule costs the same
// number of picture comparisons whichever reels match.
// Inline into the evaluation, where the table is tried on every spin.
template <typename Shows>
[[gnu::always_inline]] inline bool matches(const PrizeRule& rule, Shows&& shows) {
  const int d = rule.symbol;
  const bool r1 = shows(1, d);
  const bool r2 = shows(2, d);
  const bool r3 = shows(3, d);
  switch (rule.combination) {
    case PrizeRule::Combination::AllThree:
      return r1 & r2 & r3;
    case PrizeRule::Combination::AtLeastTwo:
      return (r1 & r2) | (r1 & r3) | (r2 & r3);
    case PrizeRule::Combination::AtLeastOne:
      return r1 | r2 | r3;
  }
  return false;
}

// The first rule of the table that matches, or nullptr for a loss.
template <typename Shows>
const PrizeRule* firstMatch(Shows&& shows) {
  for (const PrizeRule& rule : kPrizeTable) {
    if (matches(rule, shows)) return &rule;
  }
  return nullptr;
}

}  // namespace game
