// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The prize table as cases, shared by the tests of the game's evaluation and
// of the ledger's own table, so that both are held to the same awards.
namespace testing_support {

struct PrizeCase {
  int a, b, c;  // the symbols of reels 1 to 3
  int rings;
};

inline constexpr PrizeCase kPrizeCases[] = {
    // three of a kind
    {0, 0, 0, 7},
    {1, 1, 1, 10},
    {2, 2, 2, 20},
    {3, 3, 3, 30},
    {4, 4, 4, 50},
    {5, 5, 5, 100},
    {6, 6, 6, 150},
    {7, 7, 7, 200},
    {8, 8, 8, 300},
    {9, 9, 9, 500},
    // two 7s, wherever they stand, before two 0s
    {7, 7, 0, 5},
    {7, 3, 7, 5},
    {2, 7, 7, 5},
    {0, 7, 7, 5},
    // two 0s, also beside a 7
    {7, 0, 0, 3},
    {0, 4, 0, 3},
    {0, 3, 0, 3},
    // one 7 with one 0: one ring more
    {7, 0, 5, 3},
    {5, 0, 7, 3},
    // one 7
    {7, 3, 5, 2},
    {3, 5, 7, 2},
    // losses: a lone 0, nothing, a pair that is neither 7 nor 0
    {0, 3, 5, 0},
    {1, 2, 3, 0},
    {9, 9, 8, 0},
};

// Over all 1000 triples of symbols: the winning ones and the rings they pay.
inline constexpr int kWinningTriples = 304;
inline constexpr int kRingsOverAllTriples = 2111;

}  // namespace testing_support
