#pragma once

// The catalogue of the game's pictures: every piece of stored art with its
// pixel size, its form and, for pointers, its hot spot; and every picture
// property of the window with the art it is made from and the size at which
// the window shows it.
//
// Plain data with no Qt types, so that the build-time renderer (assets/render)
// and the picture service read one and the same table.

#include <array>
#include <string_view>

namespace window {

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
    {"symbol0", 85, 169, ArtForm::Bitmap, false, 0, 0, "gold ring on blue ripples"},
    {"symbol1", 85, 169, ArtForm::Bitmap, false, 0, 0, "BAR plate on blue ripples"},
    {"symbol2", 85, 169, ArtForm::Bitmap, false, 0, 0, "swirl emblem on blue ripples"},
    {"symbol3", 85, 169, ArtForm::Bitmap, false, 0, 0, "Tivo, the small creature in a cap"},
    {"symbol4", 85, 169, ArtForm::Bitmap, false, 0, 0, "Velsi, the pink character"},
    {"symbol5", 85, 169, ArtForm::Bitmap, false, 0, 0, "Drognar, the red character"},
    {"symbol6", 85, 169, ArtForm::Bitmap, false, 0, 0, "Lirven, the orange character"},
    {"symbol7", 85, 169, ArtForm::Bitmap, false, 0, 0, "Brimon, the blue mascot"},
    {"symbol8", 85, 169, ArtForm::Bitmap, false, 0, 0, "the brand word on blue ripples"},
    {"symbol9", 85, 169, ArtForm::Bitmap, false, 0, 0, "green gem on blue ripples"},
    {"spin1", 255, 169, ArtForm::Bitmap, false, 0, 0,
     "spinning reels: ring, gem, BAR, swirl, Tivo"},
    {"spin2", 255, 169, ArtForm::Bitmap, false, 0, 0, "spinning reels: the four characters, brand"},
    {"flash", 255, 169, ArtForm::Bitmap, false, 0, 0, "win flash: confetti bursts"},
    {"title", 397, 332, ArtForm::Bitmap, false, 0, 0, "HAPPY NEW YEAR with the characters"},
    {"logo.maker", 270, 161, ArtForm::Bitmap, false, 0, 0, "maker logo KESTRANO"},
    {"logo.second", 126, 55, ArtForm::Bitmap, false, 0, 0, "second maker logo"},
    {"burst", 75, 75, ArtForm::Bitmap, false, 0, 0, "white light over blue ripples"},
    {"icon", 48, 48, ArtForm::Icon, false, 0, 0, "window icon: Brimon with stars"},
    {"pointer.window", 32, 32, ArtForm::Cursor, true, 0, 0, "hand pointing up and left"},
    {"pointer.button", 32, 32, ArtForm::Cursor, true, 13, 1, "hand pointing up, with a cuff"},
    {"pointer.coin", 48, 48, ArtForm::Icon, true, 24, 24, "right half of a gold coin"},
}};

// A picture property of the window and the art it holds at start.
struct ArtHolder {
  std::string_view property;  // control and property, e.g. "ImageNumber1.Picture"
  std::string_view key;       // art key
  int shown_width;            // the size at which the window shows it
  int shown_height;
};

inline constexpr std::array<ArtHolder, 25> kHolders{{
    {"Image0.Picture", "symbol0", 17, 25},
    {"Image1.Picture", "symbol1", 17, 25},
    {"Image2.Picture", "symbol2", 17, 25},
    {"Image3.Picture", "symbol3", 17, 25},
    {"Image4.Picture", "symbol4", 17, 25},
    {"Image5.Picture", "symbol5", 17, 25},
    {"Image6.Picture", "symbol6", 17, 25},
    {"Image7.Picture", "symbol7", 17, 25},
    {"Image8.Picture", "symbol8", 17, 25},
    {"Image9.Picture", "symbol9", 17, 25},
    {"ImageNumber1.Picture", "symbol7", 129, 225},
    {"ImageNumber2.Picture", "symbol7", 129, 225},
    {"ImageNumber3.Picture", "symbol7", 129, 225},
    {"ImageRotate1.Picture", "spin1", 385, 225},
    {"ImageRotate2.Picture", "spin2", 385, 225},
    {"ImageEmpty.Picture", "flash", 385, 225},
    {"Image10.Picture", "logo.second", 121, 57},
    {"Image11.Picture", "logo.maker", 121, 65},
    {"Image12.Picture", "title", 273, 225},
    {"Image13.Picture", "burst", 121, 105},
    {"Form1.Icon", "icon", 32, 32},
    {"Form1.MouseIcon", "pointer.window", 32, 32},
    {"Command1.MouseIcon", "pointer.button", 32, 32},
    {"Command2.MouseIcon", "pointer.button", 32, 32},
    {"LabelInsertCoin.MouseIcon", "pointer.coin", 48, 48},
}};

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

constexpr const ArtInfo* findArt(std::string_view key) {
  for (const ArtInfo& a : kArt)
    if (a.key == key) return &a;
  return nullptr;
}

}  // namespace window
