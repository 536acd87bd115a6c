// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose.h"

#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "assets/catalogue.h"

namespace art {
namespace {

constexpr double kPi = 3.14159265358979323846;

QImage blank(int w, int h, const QColor& fill) {
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(fill);
  return img;
}

void setupPainter(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.setRenderHint(QPainter::TextAntialiasing);
}

// Every picture is drawn in its stored pixels; a painter on a picture made at
// another size is scaled to it, width and height independently, so that the
// figures come out at the finer size and not as enlarged pixels.
void drawInStoredPixels(QPainter& p, QSize device, QSizeF stored) {
  if (device.width() != stored.width() || device.height() != stored.height())
    p.scale(device.width() / stored.width(), device.height() / stored.height());
}

// The device pixel where stored coordinate `v` falls, at `scale` device
// pixels per stored pixel.
int at(double v, double scale) {
  return static_cast<int>(std::lround(v * scale));
}

// A picture made of figures each filling the whole of it, drawn in order.
QImage filled(Figures& f, QSize device, QSize stored, const QColor& background,
              std::initializer_list<const char*> figures) {
  QImage img = blank(device.width(), device.height(), background);
  QPainter p(&img);
  setupPainter(p);
  drawInStoredPixels(p, device, stored);
  for (const char* figure : figures) f.fill(p, figure, QRectF(QPointF(0, 0), stored));
  return img;
}

// --- Figures made of several drawings -------------------------------------

// Tivo, the small round creature, wears the festive cap wherever he appears.
void drawTivo(QPainter& p, Figures& f, const QRectF& r) {
  f.draw(p, "creature", r);
  const double w = r.width(), h = r.height();
  p.save();
  p.translate(r.left() + w * 0.50, r.top() + h * 0.20);
  p.rotate(-12);
  f.draw(p, "cap", QRectF(-w * 0.30, -h * 0.26, w * 0.60, h * 0.36));
  p.restore();
}

// Where the festive cap sits on each character's head, as fractions of the
// head's square: centre x, centre y, width, tilt in degrees.
struct CapSeat {
  const char* head;
  double cx, cy, w, tilt;
};
constexpr std::array<CapSeat, 4> kCapSeats{{
    {"velsi", 0.50, 0.14, 0.56, -14},
    {"drognar", 0.50, 0.12, 0.50, 10},
    {"lirven", 0.48, 0.14, 0.50, -10},
    {"brimon", 0.50, 0.13, 0.54, 12},
}};

void drawCap(QPainter& p, Figures& f, const QString& head, const QRectF& r) {
  for (const CapSeat& s : kCapSeats) {
    if (head != s.head) continue;
    p.save();
    p.translate(r.left() + r.width() * s.cx, r.top() + r.height() * s.cy);
    p.rotate(s.tilt);
    const double w = r.width() * s.w;
    f.draw(p, "cap", QRectF(-w / 2, -w * 0.55, w, w * 0.78));
    p.restore();
  }
}

// --- Tiles -----------------------------------------------------------------

// Tiles are drawn in the tile's own 75 x 75 stored pixels, at `device` pixels.
constexpr int kTile = assets::kTileSize;

// A tile of the non-character symbols: the figure on the blue ripples.
QImage rippleTile(Figures& f, const QString& figure, QSize device, double inset = 0.08) {
  const int size = kTile;
  QImage img = blank(device.width(), device.height(), Qt::black);
  QPainter p(&img);
  setupPainter(p);
  drawInStoredPixels(p, device, QSizeF(size, size));
  f.fill(p, "ripple", QRectF(0, 0, size, size));
  const double m = size * inset;
  f.draw(p, figure, QRectF(m, m, size - 2 * m, size - 2 * m));
  return img;
}

// A portrait tile: a character's head on the portrait backdrop.
QImage portraitTile(Figures& f, const QString& head, QSize device) {
  const int size = kTile;
  QImage img = blank(device.width(), device.height(), Qt::black);
  QPainter p(&img);
  setupPainter(p);
  drawInStoredPixels(p, device, QSizeF(size, size));
  f.fill(p, "portrait", QRectF(0, 0, size, size));
  if (head == "creature")
    drawTivo(p, f, QRectF(size * 0.10, size * 0.12, size * 0.80, size * 0.84));
  else
    f.draw(p, head, QRectF(size * 0.04, size * 0.06, size * 0.92, size * 0.92));
  return img;
}

QImage symbolTile(Figures& f, int d, QSize size) {
  switch (d) {
    case 0:
      return rippleTile(f, "ring", size);
    case 1:
      return rippleTile(f, "bar", size, 0.04);
    case 2:
      return rippleTile(f, "swirl", size);
    case 3:
      return portraitTile(f, "creature", size);
    case 4:
      return portraitTile(f, "velsi", size);
    case 5:
      return portraitTile(f, "drognar", size);
    case 6:
      return portraitTile(f, "lirven", size);
    case 7:
      return portraitTile(f, "brimon", size);
    case 8:
      return rippleTile(f, "brand", size, 0.02);
    case 9:
      return rippleTile(f, "gem", size);
  }
  throw std::runtime_error("no symbol " + std::to_string(d));
}

// --- The reel drum -------------------------------------------------------------

// Grey level of the band at stored row y, which may fall between rows.
int bandLevelAt(double y) {
  const double t = std::sin(kPi * y / (assets::kStripHeight - 1));
  return static_cast<int>(
      std::lround(assets::kStripDarkLevel + (255 - assets::kStripDarkLevel) * t));
}

// The empty drum at `device` pixels: the black outline, one stored pixel
// wide, and the grey band, lit in the middle row.
QImage drum(QSize device) {
  const int w = device.width(), h = device.height();
  const double sx = w / double(assets::kStripWidth), sy = h / double(assets::kStripHeight);
  const int ox = std::max(1, at(1, sx)), oy = std::max(1, at(1, sy));
  QImage img = blank(w, h, Qt::black);
  for (int y = oy; y < h - oy; ++y) {
    // The level of the stored row under the middle of this device row.
    const int v = bandLevelAt((y + 0.5) / sy - 0.5);
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    std::fill(line + ox, line + w - ox, qRgb(v, v, v));
  }
  return img;
}

// Where a stored rectangle falls on a picture of `device` pixels that is
// stored at `stored`: each edge on the nearest device pixel.
QRect deviceRect(const QRect& r, QSize device, QSize stored) {
  const double sx = device.width() / double(stored.width());
  const double sy = device.height() / double(stored.height());
  const int x0 = at(r.left(), sx), y0 = at(r.top(), sy);
  return QRect(x0, y0, at(r.left() + r.width(), sx) - x0, at(r.top() + r.height(), sy) - y0);
}

const QSize kStripSize(assets::kStripWidth, assets::kStripHeight);

// A symbol's reel strip at `device` pixels: the drum with the tile in front.
QImage reelStrip(Figures& f, int d, QSize device) {
  QImage img = drum(device);
  const QRect tile =
      deviceRect(QRect(assets::kTileLeft, assets::kTileTop, assets::kTileSize, assets::kTileSize),
                 device, kStripSize);
  QPainter p(&img);
  p.drawImage(tile.topLeft(), symbolTile(f, d, tile.size()));
  return img;
}

// Cheap deterministic noise for the streaks, the same on every machine.
double hashNoise(int a, int b) {
  std::uint32_t h =
      static_cast<std::uint32_t>(a) * 73856093u ^ static_cast<std::uint32_t>(b) * 19349663u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return (h & 0xffff) / 65535.0;
}

// Smears an opaque image along its columns, as a fast-turning drum does: each
// pixel becomes the mean of the `radius` pixels above and below it and itself
// (fewer at the ends), `passes` times over.
void verticalBlur(QImage& img, int radius, int passes) {
  const int w = img.width(), h = img.height();
  std::vector<std::array<int, 3>> col(h);
  for (int pass = 0; pass < passes; ++pass) {
    for (int x = 0; x < w; ++x) {
      for (int y = 0; y < h; ++y) {
        const QRgb c = reinterpret_cast<const QRgb*>(img.constScanLine(y))[x];
        col[y] = {qRed(c), qGreen(c), qBlue(c)};
      }
      // A running sum over the window [y - radius, y + radius].
      std::array<int, 3> sum{0, 0, 0};
      for (int k = 0; k <= std::min(h - 1, radius); ++k)
        for (int c = 0; c < 3; ++c) sum[c] += col[k][c];
      for (int y = 0; y < h; ++y) {
        const int n = std::min(h - 1, y + radius) - std::max(0, y - radius) + 1;
        reinterpret_cast<QRgb*>(img.scanLine(y))[x] = qRgb(sum[0] / n, sum[1] / n, sum[2] / n);
        if (y + radius + 1 < h)
          for (int c = 0; c < 3; ++c) sum[c] += col[y + radius + 1][c];
        if (y - radius >= 0)
          for (int c = 0; c < 3; ++c) sum[c] -= col[y - radius][c];
      }
    }
  }
}

// One 85 px column of a spin picture at `device` pixels: the drum's sides, and
// between them a strip of tiles wrapped round the drum, smeared and streaked
// by the motion.
// The symbol tiles of one picture by symbol and size: the three columns of a
// spin picture show the same tiles, drawn once.
using Tiles = std::map<std::tuple<int, int, int>, QImage>;

QImage spinColumn(Figures& f, const std::array<int, 5>& symbols, int seed, QSize device,
                  Tiles& tiles) {
  const double sx = device.width() / double(assets::kStripWidth);
  const double sy = device.height() / double(assets::kStripHeight);
  const int left = at(assets::kStripSide, sx);
  const int inner = at(assets::kStripWidth - assets::kStripSide, sx) - left;  // 75 stored
  const int h = device.height();
  const QSize tileSize(inner, at(assets::kTileSize, sy));
  QImage strip = blank(inner, h, Qt::black);
  {
    QPainter p(&strip);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // Tile k covers the drum's angles k/5 to (k+1)/5 of a half turn, so the
    // middle tile faces the player and the outer ones are foreshortened.
    for (int k = 0; k < 5; ++k) {
      const double y0 = h / 2.0 * (1 - std::cos(kPi * k / 5));
      const double y1 = h / 2.0 * (1 - std::cos(kPi * (k + 1) / 5));
      QImage& tile = tiles[{symbols[k], tileSize.width(), tileSize.height()}];
      if (tile.isNull()) tile = symbolTile(f, symbols[k], tileSize);
      p.drawImage(QRectF(0, y0, inner, y1 - y0), tile);
    }
  }
  verticalBlur(strip, std::max(1, at(4, sy)), 2);
  // Streaks: each stored pixel column a little lighter or darker, a few bright.
  const double columnsPerPixel = (assets::kStripWidth - 2 * assets::kStripSide) / double(inner);
  for (int x = 0; x < inner; ++x) {
    const int column = static_cast<int>((x + 0.5) * columnsPerPixel);
    double gain = 0.86 + 0.24 * hashNoise(column, seed);
    if (hashNoise(column + 101, seed) > 0.9) gain += 0.35;
    for (int y = 0; y < h; ++y) {
      const double light = 0.45 + 0.55 * std::sin(kPi * (y + 0.5) / h);
      QRgb& px = reinterpret_cast<QRgb*>(strip.scanLine(y))[x];
      auto ch = [&](int v) { return std::clamp(static_cast<int>(v * gain * light + 0.5), 0, 255); };
      px = qRgb(ch(qRed(px)), ch(qGreen(px)), ch(qBlue(px)));
    }
  }
  QImage img = drum(device);
  QPainter p(&img);
  p.drawImage(QPoint(left, 0), strip);
  return img;
}

// Three reel columns side by side at `device` pixels, column i drawn by
// `column(i, its device size)`.
template <typename Column>
QImage threeColumns(QSize device, Column column) {
  const double sx = device.width() / double(3 * assets::kStripWidth);
  QImage img = blank(device.width(), device.height(), Qt::black);
  QPainter p(&img);
  for (int i = 0; i < 3; ++i) {
    const int x0 = at(i * assets::kStripWidth, sx), x1 = at((i + 1) * assets::kStripWidth, sx);
    p.drawImage(QPoint(x0, 0), column(i, QSize(x1 - x0, device.height())));
  }
  return img;
}

// --- Masks -------------------------------------------------------------------

// A one-bit transparency mask, as icons and cursors carry.
void hardMask(QImage& img) {
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QRgb c = img.pixel(x, y);  // pixel() gives unpremultiplied colour
      if (qAlpha(c) < 128)
        img.setPixel(x, y, qRgba(0, 0, 0, 0));
      else
        img.setPixel(x, y, qRgba(qRed(c), qGreen(c), qBlue(c), 255));
    }
}

// Two colours, black and white, as a cursor carries.
void twoColours(QImage& img) {
  hardMask(img);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QRgb c = img.pixel(x, y);
      if (qAlpha(c) == 0) continue;
      const int lum = (qRed(c) * 30 + qGreen(c) * 59 + qBlue(c) * 11) / 100;
      img.setPixel(x, y, lum < 140 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }
}

// --- The pictures -----------------------------------------------------------

QImage title(Figures& f, QSize device, QSize stored) {
  const int w = stored.width(), h = stored.height(), top = assets::kTitleHeadingRows;
  QImage img = blank(device.width(), device.height(), Qt::white);
  QPainter p(&img);
  setupPainter(p);
  drawInStoredPixels(p, device, stored);
  f.fill(p, "title-backdrop", QRectF(0, top, w, h - top));
  // The heading, with its caps, stays clear of the strip's lower edge.
  p.save();
  p.setClipRect(QRect(0, 0, w, top - 2));
  f.draw(p, "heading", QRectF(4, 1, w - 8, top - 4));
  // Small festive caps on the first letters of the words and on the last.
  struct LetterCap {
    double x, top, tilt;
  };
  const std::array<LetterCap, 4> letterCaps{
      {{40, 16, -5}, {183, 14, 4}, {281, 16, -5}, {358, 15, 5}}};
  for (const LetterCap& c : letterCaps) {
    p.save();
    p.translate(c.x, c.top);
    p.rotate(c.tilt);
    f.draw(p, "cap", QRectF(-13, -14, 26, 20));
    p.restore();
  }
  p.restore();
  p.setClipRect(QRect(0, top, w, h - top));

  // The four characters in festive dress, left to right, a little overlapped.
  struct Dressed {
    const char* head;
    const char* body;
    double x, y, size;
    bool scarf, present;
  };
  const std::array<Dressed, 4> cast{{
      {"velsi", "coat", 4, 112, 98, false, false},
      {"drognar", "green-top", 100, 94, 104, true, false},
      {"lirven", "coat", 198, 104, 100, false, true},
      {"brimon", "coat", 294, 96, 104, true, false},
  }};
  for (const Dressed& c : cast) {
    const double s = c.size;
    f.draw(p, c.body, QRectF(c.x + s * 0.05, c.y + s * 0.62, s * 0.9, s * 1.05));
    if (c.scarf) f.draw(p, "scarf", QRectF(c.x + s * 0.18, c.y + s * 0.72, s * 0.64, s * 0.62));
    const QRectF headRect(c.x, c.y - s * 0.22, s, s);
    f.draw(p, c.head, headRect);
    drawCap(p, f, c.head, headRect);
    if (c.present) f.draw(p, "present", QRectF(c.x + s * 0.26, c.y + s * 0.98, s * 0.5, s * 0.5));
  }
  // Two of the small creatures at their feet.
  drawTivo(p, f, QRectF(84, 262, 66, 66));
  drawTivo(p, f, QRectF(262, 264, 64, 64));
  return img;
}

QImage icon(Figures& f, QSize device, QSize stored) {
  QImage img = blank(device.width(), device.height(), Qt::transparent);
  {
    QPainter p(&img);
    setupPainter(p);
    drawInStoredPixels(p, device, stored);
    drawIcon(p, f);
  }
  hardMask(img);
  return img;
}

QImage buttonPointer(Figures& f, QSize device, QSize stored) {
  QImage img = blank(device.width(), device.height(), Qt::transparent);
  {
    QPainter p(&img);
    setupPainter(p);
    drawInStoredPixels(p, device, stored);
    f.fill(p, "hand", QRectF(0, 0, 32, 32));
  }
  twoColours(img);
  return img;
}

QImage windowPointer(Figures& f, QSize device, QSize stored) {
  QImage img = blank(device.width(), device.height(), Qt::transparent);
  {
    QPainter p(&img);
    setupPainter(p);
    drawInStoredPixels(p, device, stored);
    // The same hand, turned so that the fingertip (13, 1 in the drawing)
    // points up and to the left and lands about 4 px inside the corner.
    p.translate(4, 4);
    p.rotate(-32);
    p.scale(0.92, 0.92);
    p.translate(-13, -1);
    // Without the cuff, which the turn would cut off at the image's edge.
    p.setClipRect(QRectF(0, 0, 32, 26), Qt::IntersectClip);
    f.fill(p, "hand", QRectF(0, 0, 32, 32));
  }
  twoColours(img);
  return img;
}

QImage coinPointer(Figures& f, QSize device, QSize stored) {
  QImage img = blank(device.width(), device.height(), Qt::transparent);
  {
    QPainter p(&img);
    setupPainter(p);
    drawInStoredPixels(p, device, stored);
    // The coin's centre sits one pixel left of the image centre, and only
    // the half right of its vertical diameter is kept.
    p.setClipRect(QRect(23, 0, 25, 48));
    f.fill(p, "coin", QRectF(-1, 0, 48, 48));
  }
  hardMask(img);
  return img;
}

}  // namespace

void drawIcon(QPainter& p, Figures& f) {
  f.draw(p, "brimon", QRectF(5, 7, 38, 38));
  f.draw(p, "star", QRectF(0, 0, 15, 15));
  f.draw(p, "star", QRectF(36, 2, 11, 11));
  f.draw(p, "star", QRectF(38, 34, 10, 10));
}

int bandLevel(int y) {
  return bandLevelAt(y);
}

QImage compose(const assets::ArtInfo& art, Figures& f) {
  return compose(art, f, QSize(art.width, art.height));
}

QImage compose(const assets::ArtInfo& art, Figures& f, QSize device) {
  const std::string_view key = art.key;
  const QSize stored(art.width, art.height);
  const bool symbol =
      key.size() == 7 && key.substr(0, 6) == "symbol" && key[6] >= '0' && key[6] <= '9';
  const bool known = symbol || key == "spin1" || key == "spin2" || key == "flash" ||
                     key == "title" || key == "logo.maker" || key == "logo.second" ||
                     key == "burst" || key == "icon" || key.substr(0, 8) == "pointer.";
  if (!known) throw std::runtime_error("no picture for art key " + std::string(key));
  if (device.isEmpty()) return {};
  if (symbol) return reelStrip(f, key[6] - '0', device);
  if (key == "spin1" || key == "spin2") {
    const std::array<int, 5> s =
        key == "spin1" ? std::array<int, 5>{0, 9, 1, 2, 3} : std::array<int, 5>{7, 4, 6, 5, 8};
    const int firstSeed = key == "spin1" ? 1 : 4;
    Tiles tiles;
    return threeColumns(device, [&](int i, QSize column) {
      return spinColumn(f, s, firstSeed + i, column, tiles);
    });
  }
  if (key == "flash") {
    // The three columns are one drawing; columns of equal width share it.
    std::map<int, QImage> columns;
    return threeColumns(device, [&](int, QSize column) {
      QImage& c = columns[column.width()];
      if (c.isNull()) {
        c = drum(column);
        const QRect tile = deviceRect(
            QRect(assets::kTileLeft, assets::kTileTop, assets::kTileSize, assets::kTileSize),
            column, kStripSize);
        QPainter p(&c);
        p.drawImage(tile.topLeft(), rippleTile(f, "confetti", tile.size(), 0.0));
      }
      return c;
    });
  }
  if (key == "title") return title(f, device, stored);
  if (key == "logo.maker") return filled(f, device, stored, Qt::white, {"kestrano"});
  if (key == "logo.second") return filled(f, device, stored, Qt::black, {"second-logo"});
  if (key == "burst") return filled(f, device, stored, Qt::black, {"ripple", "glow"});
  if (key == "icon") return icon(f, device, stored);
  if (key == "pointer.window") return windowPointer(f, device, stored);
  if (key == "pointer.button") return buttonPointer(f, device, stored);
  if (key == "pointer.coin") return coinPointer(f, device, stored);
  throw std::runtime_error("no picture for art key " + std::string(key));
}

}  // namespace art
