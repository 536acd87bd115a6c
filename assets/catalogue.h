// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The catalogue of the game's pictures: every piece of stored art with its
// pixel size, its form and, for pointers, its hot spot. Which control shows
// which art, and at what size, is the window description's to say.
//
// Plain data with no Qt types, so that the build-time renderer (assets/render)
// and the window's picture service read one and the same table.

#include <array>
#include <string_view>

namespace assets {

// The reel-strip layout shared by the symbol pictures and each third of the
// win flash: a one-pixel black outline, a grey band lit like a drum (darkest
// in the top and bottom rows, white in the middle row) and the symbol's tile.
inline constexpr int kStripWidth = 85;
inline constexpr int kStripHeight = 169;
inline constexpr int kStripMiddleRow = 84;
inline constexpr int kStripDarkLevel = 120;
inline constexpr int kTileLeft = 5;
inline constexpr int kTileTop = 46;
inline constexpr int kTileSize = 75;
// Width of the drum's lit side at either edge of a column, outline included.
inline constexpr int kStripSide = 5;
// The title picture's heading stays inside this many top rows, which the
// window's white title strip covers.
inline constexpr int kTitleHeadingRows = 48;

// How a picture is stored, which decides its transparency.
enum class ArtForm {
  Bitmap,  // opaque, full colour
  Icon,    // full colour with a one-bit transparency mask
  Cursor,  // two colours (black and white) with a one-bit transparency mask
};

struct ArtInfo {
  std::string_view key;  // the art key the window description uses
  int width;             // stored size in pixels
  int height;
  ArtForm form;
  bool pointer;  // used as a mouse pointer; then hot_x/hot_y hold its hot spot
  int hot_x;
  int hot_y;
  std::string_view what;  // one line on what the picture shows
};

inline constexpr std::array<ArtInfo, 21> kArt{{
    {"symbol0", kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "gold ring on blue ripples"},
    {"symbol1", kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "BAR plate on blue ripples"},
    {"symbol2", kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "swirl emblem on blue ripples"},
    {"symbol3", kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "Tivo, the small creature in a cap"},
    {"symbol4", kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "Velsi, the pink character"},
    {"symbol5", kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "Drognar, the red character"},
    {"symbol6", kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "Lirven, the orange character"},
    {"symbol7", kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0, "Brimon, the blue mascot"},
    {"symbol8", kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "the brand word on blue ripples"},
    {"symbol9", kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "green gem on blue ripples"},
    {"spin1", 3 * kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "spinning reels: ring, gem, BAR, swirl, Tivo"},
    {"spin2", 3 * kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "spinning reels: the four characters, brand"},
    {"flash", 3 * kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "win flash: confetti bursts"},
    {"title", 397, 332, ArtForm::Bitmap, false, 0, 0, "HAPPY NEW YEAR with the characters"},
    {"logo.maker", 270, 161, ArtForm::Bitmap, false, 0, 0, "maker logo KESTRANO"},
    {"logo.second", 126, 55, ArtForm::Bitmap, false, 0, 0, "second maker logo"},
    {"burst", 75, 75, ArtForm::Bitmap, false, 0, 0, "white light over blue ripples"},
    {"icon", 48, 48, ArtForm::Icon, false, 0, 0, "window icon: Brimon with stars"},
    {"pointer.window", 32, 32, ArtForm::Cursor, true, 0, 0, "hand pointing up and left"},
    {"pointer.button", 32, 32, ArtForm::Cursor, true, 13, 1, "hand pointing up, with a cuff"},
    {"pointer.coin", 48, 48, ArtForm::Icon, true, 24, 24, "right half of a gold coin"},
}};

constexpr const ArtInfo* findArt(std::string_view key) {
  for (const ArtInfo& a : kArt)
    if (a.key == key) return &a;
  return nullptr;
}

}  // namespace assets
