// SPDX-License-Identifier: GPL-3.0-or-later
// The embedded pictures themselves: sizes, transparency, the reel-strip
// layout, the spin strips and the title's heading rows.

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "window/qt/picture_export.h"
#include "window/qt/pictures.h"

namespace {

using assets::ArtForm;
using window::PictureService;

int chroma(QRgb c) {
  return std::max({qRed(c), qGreen(c), qBlue(c)}) - std::min({qRed(c), qGreen(c), qBlue(c)});
}
bool isGrey(QRgb c) {
  return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c);
}

// Written out from the game's picture list, not read from the catalogue, so
// that a wrong size in the catalogue is caught too.
struct Expected {
  const char* key;
  int width, height;
};
constexpr Expected kSizes[] = {
    {"symbol0", 85, 169},       {"symbol1", 85, 169},       {"symbol2", 85, 169},
    {"symbol3", 85, 169},       {"symbol4", 85, 169},       {"symbol5", 85, 169},
    {"symbol6", 85, 169},       {"symbol7", 85, 169},       {"symbol8", 85, 169},
    {"symbol9", 85, 169},       {"spin1", 255, 169},        {"spin2", 255, 169},
    {"flash", 255, 169},        {"title", 397, 332},        {"logo.maker", 270, 161},
    {"logo.second", 126, 55},   {"burst", 75, 75},          {"icon", 48, 48},
    {"pointer.window", 32, 32}, {"pointer.button", 32, 32}, {"pointer.coin", 48, 48},
};

TEST(ArtPictures, EveryPictureHasItsStoredSize) {
  PictureService pictures;
  ASSERT_EQ(PictureService::catalogue().size(), std::size(kSizes));
  for (const Expected& e : kSizes) {
    SCOPED_TRACE(e.key);
    const QImage img = pictures.image(e.key);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), QSize(e.width, e.height));
  }
}

TEST(ArtPictures, BitmapsAreOpaqueAndIconsAndPointersCarryAOneBitMask) {
  PictureService pictures;
  for (const assets::ArtInfo& a : PictureService::catalogue()) {
    SCOPED_TRACE(std::string(a.key));
    const QImage img = pictures.image(a.key).convertToFormat(QImage::Format_ARGB32);
    int transparent = 0, opaque = 0, other = 0, notBlackOrWhite = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        const QRgb c = img.pixel(x, y);
        if (qAlpha(c) == 0)
          ++transparent;
        else if (qAlpha(c) == 255)
          ++opaque;
        else
          ++other;
        if (qAlpha(c) == 255 && c != qRgb(0, 0, 0) && c != qRgb(255, 255, 255)) ++notBlackOrWhite;
      }
    if (a.form == ArtForm::Bitmap) {
      EXPECT_EQ(transparent + other, 0);
      continue;
    }
    EXPECT_EQ(other, 0) << "partly transparent pixels";
    // Transparent around the figure, with a figure of a fair size.
    for (QPoint corner : {QPoint(0, img.height() - 1), QPoint(img.width() - 1, img.height() - 1)}) {
      EXPECT_EQ(qAlpha(img.pixel(corner)), 0);
    }
    EXPECT_GT(transparent, img.width() * img.height() / 5);
    EXPECT_GT(opaque, img.width() * img.height() / 6);
    if (a.form == ArtForm::Cursor) {
      EXPECT_EQ(notBlackOrWhite, 0);
    }
  }
}

// Checks one 85 x 169 reel strip at column offset x0 of `img`. With
// `tile` true the tile must be in its place; without it (spin pictures)
// only the drum's sides are checked.
void expectReelStrip(const QImage& img, int x0, bool tile) {
  const int w = 85, h = 169;
  for (int x = 0; x < w; ++x) {
    if (tile) {
      EXPECT_EQ(img.pixel(x0 + x, 0), qRgb(0, 0, 0)) << "top outline, x " << x;
      EXPECT_EQ(img.pixel(x0 + x, h - 1), qRgb(0, 0, 0)) << "bottom outline, x " << x;
    }
  }
  for (int y = 0; y < h; ++y) {
    EXPECT_EQ(img.pixel(x0, y), qRgb(0, 0, 0)) << "left outline, y " << y;
    EXPECT_EQ(img.pixel(x0 + w - 1, y), qRgb(0, 0, 0)) << "right outline, y " << y;
  }
  // The band: grey, equal in every column of a row, about 120 in the top and
  // bottom rows, 255 in row 84, rising and falling smoothly in between.
  int prev = -1;
  for (int y = 1; y < h - 1; ++y) {
    const QRgb c = img.pixel(x0 + 1, y);
    ASSERT_TRUE(isGrey(c)) << "y " << y;
    const int v = qRed(c);
    for (int x : {2, 3, 4, 80, 81, 82, 83}) {
      ASSERT_EQ(img.pixel(x0 + x, y), c) << x << "," << y;
    }
    if (tile && (y < 46 || y > 120)) {
      for (int x = 5; x < 80; ++x) {
        ASSERT_EQ(img.pixel(x0 + x, y), c) << x << "," << y;
      }
    }
    if (prev >= 0) {
      if (y <= 84)
        EXPECT_GE(v, prev) << "y " << y;
      else
        EXPECT_LE(v, prev) << "y " << y;
      EXPECT_LE(std::abs(v - prev), 6) << "y " << y;
    }
    EXPECT_LE(std::abs(v - qRed(img.pixel(x0 + 1, h - 1 - y))), 1) << "symmetry, y " << y;
    prev = v;
  }
  EXPECT_NEAR(qRed(img.pixel(x0 + 1, 1)), 120, 6);
  EXPECT_NEAR(qRed(img.pixel(x0 + 1, h - 2)), 120, 6);
  EXPECT_EQ(qRed(img.pixel(x0 + 1, 84)), 255);
  if (!tile) return;
  // The tile fills x 5..79, y 46..120 up to its very edges: along its rim
  // hardly a pixel shows the band's grey of its row.
  int rim = 0, band = 0;
  for (int y = 46; y <= 120; ++y)
    for (int x = 5; x <= 79; ++x) {
      if (x != 5 && x != 79 && y != 46 && y != 120) continue;
      ++rim;
      band += img.pixel(x0 + x, y) == img.pixel(x0 + 1, y);
    }
  EXPECT_LT(band * 20, rim) << band << " of " << rim << " rim pixels are band grey";
}

TEST(ArtPictures, SymbolsAndStartPicturesFollowTheReelStripLayout) {
  PictureService pictures;
  for (const window::PictureProperty& p : window::pictureProperties()) {
    const std::string property = p.name.toStdString();
    if (property.rfind("ImageNumber", 0) != 0 && p.art->key.substr(0, 6) != "symbol") continue;
    SCOPED_TRACE(property);
    const QImage img = pictures.image(p.art->key);
    ASSERT_EQ(img.size(), QSize(85, 169));
    expectReelStrip(img, 0, true);
  }
}

TEST(ArtPictures, TheTenSymbolsAreTenDifferentTiles) {
  PictureService pictures;
  for (int a = 0; a < 10; ++a)
    for (int b = a + 1; b < 10; ++b)
      EXPECT_NE(pictures.image("symbol" + std::to_string(a)),
                pictures.image("symbol" + std::to_string(b)))
          << a << " and " << b;
}

TEST(ArtPictures, WinFlashIsThreeReelStrips) {
  PictureService pictures;
  const QImage img = pictures.image("flash");
  for (int col = 0; col < 3; ++col) {
    SCOPED_TRACE(col);
    expectReelStrip(img, col * 85, true);
  }
}

TEST(ArtPictures, SpinPicturesKeepTheDrumSidesAndSmearTheirStrips) {
  PictureService pictures;
  const QImage spin1 = pictures.image("spin1");
  const QImage spin2 = pictures.image("spin2");
  for (const QImage* img : {&spin1, &spin2}) {
    for (int col = 0; col < 3; ++col) {
      SCOPED_TRACE(col);
      expectReelStrip(*img, col * 85, false);
      // Smeared by vertical streaks: neighbours down a column are far more
      // alike than neighbours along a row, and the strip is in colour.
      long along = 0, down = 0, colourful = 0;
      for (int y = 0; y < 168; ++y)
        for (int x = 5; x < 79; ++x) {
          const QRgb c = img->pixel(col * 85 + x, y);
          along += std::abs(qGray(c) - qGray(img->pixel(col * 85 + x + 1, y)));
          down += std::abs(qGray(c) - qGray(img->pixel(col * 85 + x, y + 1)));
          colourful += chroma(c) > 40;
        }
      EXPECT_LT(down * 2, along);
      EXPECT_GT(colourful, 74 * 168 / 2);
    }
  }
  // The flicker between the two must show a change on every column.
  for (int col = 0; col < 3; ++col) {
    long diff = 0;
    for (int y = 0; y < 169; ++y)
      for (int x = 5; x < 80; ++x)
        diff += std::abs(qGray(spin1.pixel(col * 85 + x, y)) - qGray(spin2.pixel(col * 85 + x, y)));
    EXPECT_GT(diff / (75 * 169), 20) << col;
  }
}

TEST(ArtPictures, TitleHeadingStaysInTheRowsTheTitleStripCovers) {
  PictureService pictures;
  const QImage img = pictures.image("title");
  ASSERT_EQ(img.size(), QSize(397, 332));
  // Rows 0..47: white and the heading, nothing else: no sky, no
  // character. The last two rows are plain white, so the heading never
  // touches the strip's edge as the window scales it.
  int letters = 0;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QRgb c = img.pixel(x, y);
      const bool white = c == qRgb(255, 255, 255);
      // The letters' reds, and the caps' white fur with its grey shading.
      const bool reddish = qRed(c) >= qGreen(c) && qRed(c) >= qBlue(c) &&
                           std::abs(qGreen(c) - qBlue(c)) < 40 && qRed(c) > 90;
      const bool heading = chroma(c) < 40 || reddish;
      if (y >= 46) {
        ASSERT_TRUE(white) << x << "," << y;
        continue;
      }
      ASSERT_TRUE(white || heading) << x << "," << y << ": " << std::hex << c;
      letters += qRed(c) > 180 && qGreen(c) < 80;
    }
  EXPECT_GT(letters, 1500) << "the heading's red letters";
  // From row 48 down the pale blue picture begins at once.
  for (int x : {0, 100, 200, 396}) {
    const QRgb c = img.pixel(x, 48);
    EXPECT_GT(qBlue(c), qRed(c) + 10) << x;
  }
}

}  // namespace
