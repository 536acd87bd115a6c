#include "compose.h"

#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <string>
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

// A picture made of figures each filling the whole of it, drawn in order.
QImage filled(Figures& f, QSize size, const QColor& background,
              std::initializer_list<const char*> figures) {
  const int w = size.width(), h = size.height();
  QImage img = blank(w, h, background);
  QPainter p(&img);
  setupPainter(p);
  for (const char* figure : figures) f.fill(p, figure, QRectF(0, 0, w, h));
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

// A tile of the non-character symbols: the figure on the blue ripples.
QImage rippleTile(Figures& f, const QString& figure, int size, double inset = 0.08) {
  QImage img = blank(size, size, Qt::black);
  QPainter p(&img);
  setupPainter(p);
  f.fill(p, "ripple", QRectF(0, 0, size, size));
  const double m = size * inset;
  f.draw(p, figure, QRectF(m, m, size - 2 * m, size - 2 * m));
  return img;
}

// A portrait tile: a character's head on the portrait backdrop.
QImage portraitTile(Figures& f, const QString& head, int size) {
  QImage img = blank(size, size, Qt::black);
  QPainter p(&img);
  setupPainter(p);
  f.fill(p, "portrait", QRectF(0, 0, size, size));
  if (head == "creature")
    drawTivo(p, f, QRectF(size * 0.10, size * 0.12, size * 0.80, size * 0.84));
  else
    f.draw(p, head, QRectF(size * 0.04, size * 0.06, size * 0.92, size * 0.92));
  return img;
}

QImage symbolTile(Figures& f, int d, int size) {
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

// The empty drum: black outline and the grey band, lit in the middle row.
QImage drum() {
  QImage img = blank(assets::kStripWidth, assets::kStripHeight, Qt::black);
  for (int y = 1; y < assets::kStripHeight - 1; ++y) {
    const int v = bandLevel(y);
    for (int x = 1; x < assets::kStripWidth - 1; ++x) img.setPixel(x, y, qRgb(v, v, v));
  }
  return img;
}

QImage reelStrip(const QImage& tile) {
  QImage img = drum();
  QPainter p(&img);
  p.drawImage(QPoint(assets::kTileLeft, assets::kTileTop), tile);
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

// Smears an image along its columns, as a fast-turning drum does.
void verticalBlur(QImage& img, int radius, int passes) {
  const int w = img.width(), h = img.height();
  std::vector<std::array<int, 3>> col(h);
  for (int pass = 0; pass < passes; ++pass) {
    for (int x = 0; x < w; ++x) {
      for (int y = 0; y < h; ++y) {
        const QRgb c = img.pixel(x, y);
        col[y] = {qRed(c), qGreen(c), qBlue(c)};
      }
      for (int y = 0; y < h; ++y) {
        std::array<int, 3> sum{0, 0, 0};
        int n = 0;
        for (int k = std::max(0, y - radius); k <= std::min(h - 1, y + radius); ++k, ++n)
          for (int c = 0; c < 3; ++c) sum[c] += col[k][c];
        img.setPixel(x, y, qRgb(sum[0] / n, sum[1] / n, sum[2] / n));
      }
    }
  }
}

// One 85 px column of a spin picture: the drum's sides, and between them a
// strip of tiles wrapped round the drum, smeared and streaked by the motion.
QImage spinColumn(Figures& f, const std::array<int, 5>& symbols, int seed) {
  const int inner = assets::kStripWidth - 2 * assets::kStripSide;  // 75
  const int h = assets::kStripHeight;
  QImage strip = blank(inner, h, Qt::black);
  {
    QPainter p(&strip);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // Tile k covers the drum's angles k/5 to (k+1)/5 of a half turn, so the
    // middle tile faces the player and the outer ones are foreshortened.
    for (int k = 0; k < 5; ++k) {
      const double y0 = h / 2.0 * (1 - std::cos(kPi * k / 5));
      const double y1 = h / 2.0 * (1 - std::cos(kPi * (k + 1) / 5));
      const QImage tile = symbolTile(f, symbols[k], inner);
      p.drawImage(QRectF(0, y0, inner, y1 - y0), tile);
    }
  }
  verticalBlur(strip, 4, 2);
  // Streaks: each pixel column a little lighter or darker, a few bright.
  for (int x = 0; x < inner; ++x) {
    double gain = 0.86 + 0.24 * hashNoise(x, seed);
    if (hashNoise(x + 101, seed) > 0.9) gain += 0.35;
    for (int y = 0; y < h; ++y) {
      const double light = 0.45 + 0.55 * std::sin(kPi * (y + 0.5) / h);
      const QRgb c = strip.pixel(x, y);
      auto ch = [&](int v) { return std::clamp(static_cast<int>(v * gain * light + 0.5), 0, 255); };
      strip.setPixel(x, y, qRgb(ch(qRed(c)), ch(qGreen(c)), ch(qBlue(c))));
    }
  }
  QImage img = drum();
  QPainter p(&img);
  p.drawImage(QPoint(assets::kStripSide, 0), strip);
  return img;
}

QImage threeColumns(const std::array<QImage, 3>& cols) {
  QImage img = blank(3 * assets::kStripWidth, assets::kStripHeight, Qt::black);
  QPainter p(&img);
  for (int i = 0; i < 3; ++i) p.drawImage(QPoint(i * assets::kStripWidth, 0), cols[i]);
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

QImage title(Figures& f, QSize size) {
  const int w = size.width(), h = size.height(), top = assets::kTitleHeadingRows;
  QImage img = blank(w, h, Qt::white);
  QPainter p(&img);
  setupPainter(p);
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

QImage icon(Figures& f, QSize size) {
  QImage img = blank(size.width(), size.height(), Qt::transparent);
  {
    QPainter p(&img);
    setupPainter(p);
    drawIcon(p, f);
  }
  hardMask(img);
  return img;
}

QImage buttonPointer(Figures& f, QSize size) {
  QImage img = blank(size.width(), size.height(), Qt::transparent);
  {
    QPainter p(&img);
    setupPainter(p);
    f.fill(p, "hand", QRectF(0, 0, 32, 32));
  }
  twoColours(img);
  return img;
}

QImage windowPointer(Figures& f, QSize size) {
  QImage img = blank(size.width(), size.height(), Qt::transparent);
  {
    QPainter p(&img);
    setupPainter(p);
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

QImage coinPointer(Figures& f, QSize size) {
  QImage img = blank(size.width(), size.height(), Qt::transparent);
  {
    QPainter p(&img);
    setupPainter(p);
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
  const double t = std::sin(kPi * y / (assets::kStripHeight - 1));
  return static_cast<int>(
      std::lround(assets::kStripDarkLevel + (255 - assets::kStripDarkLevel) * t));
}

QImage compose(const assets::ArtInfo& art, Figures& f) {
  const std::string_view key = art.key;
  const QSize size(art.width, art.height);
  if (key.size() == 7 && key.substr(0, 6) == "symbol" && key[6] >= '0' && key[6] <= '9')
    return reelStrip(symbolTile(f, key[6] - '0', assets::kTileSize));
  if (key == "spin1") {
    const std::array<int, 5> s{0, 9, 1, 2, 3};
    return threeColumns({spinColumn(f, s, 1), spinColumn(f, s, 2), spinColumn(f, s, 3)});
  }
  if (key == "spin2") {
    const std::array<int, 5> s{7, 4, 6, 5, 8};
    return threeColumns({spinColumn(f, s, 4), spinColumn(f, s, 5), spinColumn(f, s, 6)});
  }
  if (key == "flash") {
    const QImage col = reelStrip(rippleTile(f, "confetti", assets::kTileSize, 0.0));
    return threeColumns({col, col, col});
  }
  if (key == "title") return title(f, size);
  if (key == "logo.maker") return filled(f, size, Qt::white, {"kestrano"});
  if (key == "logo.second") return filled(f, size, Qt::black, {"second-logo"});
  if (key == "burst") return filled(f, size, Qt::black, {"ripple", "glow"});
  if (key == "icon") return icon(f, size);
  if (key == "pointer.window") return windowPointer(f, size);
  if (key == "pointer.button") return buttonPointer(f, size);
  if (key == "pointer.coin") return coinPointer(f, size);
  throw std::runtime_error("no picture for art key " + std::string(key));
}

}  // namespace art
