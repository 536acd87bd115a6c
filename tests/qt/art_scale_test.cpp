// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures at the screen's own pixels: drawn afresh from the figures at the
// size they are shown, laid on the window's pixels exactly, and the pointers
// and icon at the screen's scale.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCursor>
#include <QIcon>
#include <QPainter>
#include <cmath>

#include "assets/embedded.h"
#include "tests/qt/window_bench.h"
#include "window/qt/pictures.h"

namespace {

using window::PictureService;

QImage rgb(const QImage& img) {
  return img.convertToFormat(QImage::Format_RGB32);
}

// Mean difference per colour channel of two images of one size, 0 to 255.
double meanDifference(const QImage& a, const QImage& b) {
  const QImage x = rgb(a), y = rgb(b);
  double sum = 0;
  for (int row = 0; row < x.height(); ++row)
    for (int col = 0; col < x.width(); ++col) {
      const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
             std::abs(qBlue(p) - qBlue(q));
    }
  return sum / (3.0 * x.width() * x.height());
}

// How much the picture changes from one pixel to the next across `r`: sharp
// drawing has steep edges, an enlarged bitmap soft ones.
double edgeEnergy(const QImage& img, const QRect& r) {
  const QImage x = rgb(img);
  double sum = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int col = r.left(); col < r.right(); ++col) {
      const int d = qGray(x.pixel(col + 1, y)) - qGray(x.pixel(col, y));
      sum += d * d;
    }
  return sum;
}

TEST(ArtScale, DrawnAtTheStoredSizeIsTheStoredPicture) {
  // The program draws with the same figures and lettering as the build: at
  // the stored size it gives the embedded picture, pixel for pixel.
  PictureService pictures;
  for (const assets::ArtInfo& a : PictureService::catalogue()) {
    SCOPED_TRACE(std::string(a.key));
    const QImage drawn = pictures.scaled(a.key, QSize(a.width, a.height)).toImage();
    const QImage stored = pictures.image(a.key);
    ASSERT_FALSE(stored.isNull());
    const QImage::Format f =
        a.form == assets::ArtForm::Bitmap ? QImage::Format_RGB32 : QImage::Format_ARGB32;
    EXPECT_EQ(drawn.convertToFormat(f), stored.convertToFormat(f));
  }
}

TEST(ArtScale, DrawnLargerKeepsTheLayoutAndGainsDetail) {
  // Each picture at the size its control covers at the display scales,
  // against the stored picture: shrunk back it matches the layout (nothing
  // moved or rescaled wrongly), and it is sharper than the stored picture
  // enlarged to the same size.
  PictureService pictures;
  struct Case {
    const char* key;
    QSize shown;   // window pixels
    QRect detail;  // a part with fine drawing, in stored pixels
  };
  const Case cases[] = {
      {"symbol7", {129, 225}, {5, 46, 75, 75}},    {"symbol1", {129, 225}, {5, 46, 75, 75}},
      {"spin2", {385, 225}, {90, 40, 70, 90}},     {"flash", {385, 225}, {5, 46, 75, 75}},
      {"title", {273, 225}, {0, 0, 397, 48}},      {"logo.maker", {121, 65}, {0, 0, 270, 161}},
      {"logo.second", {121, 57}, {0, 0, 126, 55}}, {"burst", {121, 105}, {0, 0, 75, 75}},
  };
  for (const Case& c : cases)
    for (double dpr : {1.25, 1.5, 2.0}) {
      SCOPED_TRACE(std::string(c.key) + " at " + std::to_string(dpr));
      const QSize device(std::lround(c.shown.width() * dpr), std::lround(c.shown.height() * dpr));
      const QImage drawn = pictures.scaled(c.key, device).toImage();
      ASSERT_EQ(device, drawn.size());
      const QImage stored = pictures.image(c.key);
      const QImage back =
          drawn.scaled(stored.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      EXPECT_LT(meanDifference(back, stored), 14.0) << "the layout of the stored picture";

      const QImage enlarged =
          stored.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      const double sx = device.width() / double(stored.width());
      const double sy = device.height() / double(stored.height());
      const QRect part(std::lround(c.detail.left() * sx), std::lround(c.detail.top() * sy),
                       std::lround(c.detail.width() * sx) - 1,
                       std::lround(c.detail.height() * sy) - 1);
      EXPECT_GT(edgeEnergy(drawn, part), 1.2 * edgeEnergy(enlarged, part))
          << "finer than the stored picture enlarged";
    }
}

TEST(ArtScale, TheReelDrumAtEveryScale) {
  // The drum's outline stays closed and its band lit in the middle at any
  // size, and the tile sits where the stored layout has it.
  PictureService pictures;
  for (double dpr : {1.0, 1.25, 1.5, 2.0}) {
    SCOPED_TRACE(dpr);
    const QSize device(std::lround(129 * dpr), std::lround(225 * dpr));
    const QImage reel = rgb(pictures.scaled("symbol3", device).toImage());
    const int w = reel.width(), h = reel.height();
    for (int x = 0; x < w; ++x) {
      ASSERT_EQ(qRgb(0, 0, 0), reel.pixel(x, 0)) << x;
      ASSERT_EQ(qRgb(0, 0, 0), reel.pixel(x, h - 1)) << x;
    }
    for (int y = 0; y < h; ++y) {
      ASSERT_EQ(qRgb(0, 0, 0), reel.pixel(0, y)) << y;
      ASSERT_EQ(qRgb(0, 0, 0), reel.pixel(w - 1, y)) << y;
    }
    // The band beside the tile: white in the middle, darkest at the ends.
    const int side = std::lround(3 * w / 85.0);
    EXPECT_GE(qGray(reel.pixel(side, h / 2)), 250);
    EXPECT_LE(qGray(reel.pixel(side, std::lround(2 * h / 169.0))), 140);
    EXPECT_LT(qGray(reel.pixel(side, h / 4)), qGray(reel.pixel(side, h / 2)));
    // Above and below the tile only the band shows; inside it, the tile.
    const int tileTop = std::lround(46 * h / 169.0), tileBottom = std::lround(121 * h / 169.0);
    const QRgb above = reel.pixel(w / 2, tileTop - 2), inside = reel.pixel(w / 2, tileTop + 2);
    EXPECT_EQ(qRed(above), qBlue(above)) << "grey band";
    EXPECT_NE(qRed(inside), qBlue(inside)) << "the tile's colours";
    const QRgb below = reel.pixel(w / 2, tileBottom + 1);
    EXPECT_EQ(qRed(below), qBlue(below)) << "grey band";
  }
}

TEST(ArtScale, TheWindowLaysEachPictureOnTheScreenPixels) {
  // Painted at the screen's scale (ctest runs this again under
  // QT_SCALE_FACTOR 1.25, 1.5 and 2), the window shows each picture exactly
  // as drawn for the screen pixels its rectangle covers: not resampled, not
  // shifted.
  bench::Bench b;
  b.dismissWelcome();
  const qreal dpr = b.window.devicePixelRatioF();
  QImage screen = rgb(b.window.grab().toImage());
  ASSERT_EQ(QSize(std::lround(676 * dpr), std::lround(527 * dpr)), screen.size());
  struct Shown {
    const char* control;
    const char* key;
  };
  // Reel 3 lies on top of its neighbours; nothing lies on the burst.
  for (const Shown& s : {Shown{"ImageNumber3", "symbol7"}, Shown{"Image13", "burst"}}) {
    SCOPED_TRACE(std::string(s.control) + " at " + std::to_string(dpr));
    const QRect r = b.rectOf(s.control);
    const QRect px(
        QPoint(std::lround(r.left() * dpr), std::lround(r.top() * dpr)),
        QPoint(std::lround((r.right() + 1) * dpr) - 1, std::lround((r.bottom() + 1) * dpr) - 1));
    const QImage drawn = rgb(b.pictures.scaled(s.key, px.size()).toImage());
    const QImage shown = screen.copy(px);
    ASSERT_EQ(drawn.size(), shown.size());
    int differ = 0;
    for (int y = 0; y < shown.height(); ++y)
      for (int x = 0; x < shown.width(); ++x) differ += drawn.pixel(x, y) != shown.pixel(x, y);
    EXPECT_EQ(0, differ) << "pixels unlike the drawing, of " << shown.width() * shown.height();
  }
}

TEST(ArtScale, TheWindowHasItsPicturesDrawnAheadInTwoSteps) {
  // While the welcome panel is up, only what shows the moment it goes is
  // drawn ahead; once it has gone, the spin pictures, every symbol at the
  // reels' size and the win flash, before the first coin needs them.
  bench::Bench b;
  const qreal dpr = b.window.devicePixelRatioF();
  auto at = [&](int w, int h) { return QSize(std::lround(w * dpr), std::lround(h * dpr)); };
  const QSize reel = at(129, 225), strip = at(385, 225);
  b.pictures.waitPrepared();
  for (const char* key : {"symbol7"}) EXPECT_TRUE(b.pictures.drawn(key, reel)) << key;
  EXPECT_TRUE(b.pictures.drawn("title", at(273, 225)));
  EXPECT_TRUE(b.pictures.drawn("burst", at(121, 105)));
  EXPECT_FALSE(b.pictures.drawn("spin2", strip)) << "not yet: hidden beneath the reels";
  EXPECT_FALSE(b.pictures.drawn("symbol0", reel));
  EXPECT_FALSE(b.pictures.drawn("symbol0", at(17, 25))) << "the symbol images never show";

  b.dismissWelcome();
  // The second step is queued once the game's first frame is painted.
  b.window.repaint();
  QCoreApplication::processEvents();
  b.pictures.waitPrepared();
  for (const char* key : {"spin1", "spin2", "flash"})
    EXPECT_TRUE(b.pictures.drawn(key, strip)) << key;
  for (int d = 0; d < 10; ++d) {
    const std::string key = "symbol" + std::to_string(d);
    EXPECT_TRUE(b.pictures.drawn(key, reel)) << key;
    EXPECT_FALSE(b.pictures.drawn(key, at(17, 25))) << key;
  }
}

TEST(ArtScale, PointersAndIconAtTheScreensScale) {
  PictureService pictures;
  struct Case {
    const char* key;
    int size;
    QPoint hot;
  };
  for (const Case& c : {Case{"pointer.window", 32, {0, 0}}, Case{"pointer.button", 32, {13, 1}},
                        Case{"pointer.coin", 48, {24, 24}}})
    for (double dpr : {1.0, 1.5, 2.0}) {
      SCOPED_TRACE(std::string(c.key) + " at " + std::to_string(dpr));
      const QCursor cursor = pictures.cursor(c.key, dpr);
      const QPixmap pixmap = cursor.pixmap();
      EXPECT_EQ(QSize(std::lround(c.size * dpr), std::lround(c.size * dpr)), pixmap.size());
      EXPECT_EQ(dpr, pixmap.devicePixelRatio());
      // The hot spot is in the pointer's own pixels; on the pixmap it lands
      // on the drawing (or, for the window pointer, on the clear corner).
      EXPECT_EQ(c.hot, cursor.hotSpot());
      const QImage img = pixmap.toImage();
      const QPoint at(std::lround(c.hot.x() * dpr), std::lround(c.hot.y() * dpr));
      const bool drawn =
          qAlpha(img.pixel(at)) == 255 || qAlpha(img.pixel(at + QPoint(1, 1))) == 255;
      EXPECT_EQ(c.hot != QPoint(0, 0), drawn);
      // One bit of transparency, as pointers have.
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
          const int a = qAlpha(img.pixel(x, y));
          ASSERT_TRUE(a == 0 || a == 255) << x << "," << y;
        }
    }
  const QList<QSize> sizes = pictures.icon(2.0).availableSizes();
  for (int s : {16, 32, 48, 64, 96}) EXPECT_TRUE(sizes.contains(QSize(s, s))) << s;
}

TEST(ArtScale, PreparedAheadIsWhatWouldBeDrawnThen) {
  // What the service's own thread drew is handed over unchanged, once; what
  // it cannot draw (unknown, empty) is left out without harm.
  PictureService ahead, now;
  const QSize reel(258, 450), spin(770, 450);
  ahead.prepare({{"symbol5", reel}, {"spin1", spin}, {"no-such-art", reel}, {"title", {0, 0}}});
  ahead.waitPrepared();
  const QPixmap first = ahead.scaled("symbol5", reel);
  EXPECT_EQ(first.toImage(), now.scaled("symbol5", reel).toImage());
  EXPECT_EQ(ahead.scaled("spin1", spin).toImage(), now.scaled("spin1", spin).toImage());
  EXPECT_EQ(first.cacheKey(), ahead.scaled("symbol5", reel).cacheKey()) << "kept, not redrawn";
  EXPECT_TRUE(ahead.scaled("no-such-art", reel).isNull());
  // A second batch replaces what is left of the first; the service can be
  // let go with drawing still queued.
  PictureService busy;
  busy.prepare({{"spin1", spin}, {"spin2", spin}, {"flash", spin}});
  busy.prepare({{"burst", {242, 210}}});
}

}  // namespace
