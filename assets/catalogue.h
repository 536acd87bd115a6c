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

// The art keys: the names the window description gives the art, and the
// composition draws by.
namespace keys {
inline constexpr std::array<std::string_view, 10> kSymbol{
    "symbol0", "symbol1", "symbol2", "symbol3", "symbol4",
    "symbol5", "symbol6", "symbol7", "symbol8", "symbol9"};
inline constexpr std::string_view kSpin1 = "spin1";
inline constexpr std::string_view kSpin2 = "spin2";
inline constexpr std::string_view kFlash = "flash";
inline constexpr std::string_view kTitle = "title";
inline constexpr std::string_view kLogoMaker = "logo.maker";
inline constexpr std::string_view kLogoSecond = "logo.second";
inline constexpr std::string_view kBurst = "burst";
inline constexpr std::string_view kIcon = "icon";
inline constexpr std::string_view kPointerWindow = "pointer.window";
inline constexpr std::string_view kPointerButton = "pointer.button";
inline constexpr std::string_view kPointerCoin = "pointer.coin";
}  // namespace keys

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
    {keys::kSymbol[0], kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "gold ring on blue ripples"},
    {keys::kSymbol[1], kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "BAR plate on blue ripples"},
    {keys::kSymbol[2], kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "swirl emblem on blue ripples"},
    {keys::kSymbol[3], kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "Tivo, the small creature in a cap"},
    {keys::kSymbol[4], kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "Velsi, the pink character"},
    {keys::kSymbol[5], kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "Drognar, the red character"},
    {keys::kSymbol[6], kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "Lirven, the orange character"},
    {keys::kSymbol[7], kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "Brimon, the blue mascot"},
    {keys::kSymbol[8], kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "the brand word on blue ripples"},
    {keys::kSymbol[9], kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "green gem on blue ripples"},
    {keys::kSpin1, 3 * kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "spinning reels: ring, gem, BAR, swirl, Tivo"},
    {keys::kSpin2, 3 * kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "spinning reels: the four characters, brand"},
    {keys::kFlash, 3 * kStripWidth, kStripHeight, ArtForm::Bitmap, false, 0, 0,
     "win flash: confetti bursts"},
    {keys::kTitle, 397, 332, ArtForm::Bitmap, false, 0, 0, "HAPPY NEW YEAR with the characters"},
    {keys::kLogoMaker, 270, 161, ArtForm::Bitmap, false, 0, 0, "maker logo KESTRANO"},
    {keys::kLogoSecond, 126, 55, ArtForm::Bitmap, false, 0, 0, "second maker logo"},
    {keys::kBurst, 75, 75, ArtForm::Bitmap, false, 0, 0, "white light over blue ripples"},
    {keys::kIcon, 48, 48, ArtForm::Icon, false, 0, 0, "window icon: Brimon with stars"},
    {keys::kPointerWindow, 32, 32, ArtForm::Cursor, true, 0, 0, "hand pointing up and left"},
    {keys::kPointerButton, 32, 32, ArtForm::Cursor, true, 13, 1, "hand pointing up, with a cuff"},
    {keys::kPointerCoin, 48, 48, ArtForm::Icon, true, 24, 24, "right half of a gold coin"},
}};

constexpr const ArtInfo* findArt(std::string_view key) {
  for (const ArtInfo& a : kArt)
    if (a.key == key) return &a;
  return nullptr;
}

}  // namespace assets
