#include "window/qt/picture_export.h"

#include <QDir>
#include <QFont>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>
#include <vector>

namespace window {
namespace {

QString qs(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

void checkerboard(QPainter& p, const QRect& r) {
  p.save();
  p.setClipRect(r);
  const int c = 6;
  for (int y = r.top(); y <= r.bottom(); y += c)
    for (int x = r.left(); x <= r.right(); x += c)
      p.fillRect(x, y, c, c,
                 ((x - r.left()) / c + (y - r.top()) / c) % 2 ? QColor(200, 200, 200)
                                                              : QColor(250, 250, 250));
  p.restore();
}

void hotSpotMark(QPainter& p, QPoint at, int zoom) {
  p.save();
  p.setPen(QPen(QColor(230, 0, 120), 1));
  const int arm = 4 + zoom;
  p.drawLine(at.x() - arm, at.y(), at.x() - 2, at.y());
  p.drawLine(at.x() + 2 + zoom, at.y(), at.x() + arm + zoom, at.y());
  p.drawLine(at.x(), at.y() - arm, at.x(), at.y() - 2);
  p.drawLine(at.x(), at.y() + 2 + zoom, at.x(), at.y() + arm + zoom);
  p.restore();
}

struct Cell {
  const ArtHolder* holder;
  const ArtInfo* art;
  QSize size;  // the cell's size on the sheet
};

constexpr int kPad = 10;
constexpr int kLabel = 30;
constexpr int kZoom = 3;

QSize cellSize(const ArtHolder& h, const ArtInfo& a) {
  int w = a.width + kPad + h.shown_width;
  int ht = std::max(a.height, h.shown_height);
  if (a.pointer) {
    w += kPad + a.width * kZoom;
    ht = std::max(ht, a.height * kZoom);
  }
  return {std::max(w, 170), ht + kLabel};
}

}  // namespace

QImage contactSheet(PictureService& pictures) {
  const int sheetWidth = 1400;
  // Lay the cells out in rows, left to right.
  std::vector<std::vector<Cell>> rows(1);
  int x = kPad;
  for (const ArtHolder& h : PictureService::holders()) {
    const ArtInfo* a = PictureService::info(h.key);
    if (!a) continue;
    const QSize s = cellSize(h, *a);
    if (x + s.width() + kPad > sheetWidth && !rows.back().empty()) {
      rows.emplace_back();
      x = kPad;
    }
    rows.back().push_back({&h, a, s});
    x += s.width() + 2 * kPad;
  }
  int height = kPad + 40;
  for (const auto& row : rows) {
    int rh = 0;
    for (const Cell& c : row) rh = std::max(rh, c.size.height());
    height += rh + 2 * kPad;
  }

  QImage sheet(sheetWidth, height, QImage::Format_RGB32);
  sheet.fill(QColor(128, 128, 255));  // the window's own background
  QPainter p(&sheet);
  p.setRenderHint(QPainter::TextAntialiasing);
  QFont title("DejaVu Sans", 14, QFont::Bold);
  QFont small("DejaVu Sans", 8);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QPoint(kPad, kPad + 22),
             "Zarnovik: every picture property, at its stored size and as the window shows it");
  int y = kPad + 40;
  for (const auto& row : rows) {
    int rh = 0;
    x = kPad;
    for (const Cell& c : row) {
      const ArtInfo& a = *c.art;
      p.fillRect(QRect(x - 4, y - 4, c.size.width() + 8, c.size.height() + 8), QColor(96, 96, 200));
      p.setFont(small);
      p.setPen(Qt::white);
      p.drawText(QPoint(x, y + 11), qs(c.holder->property) + "  (" + qs(a.key) + ")");
      p.drawText(QPoint(x, y + 23), QString("%1 x %2, shown %3 x %4")
                                        .arg(a.width)
                                        .arg(a.height)
                                        .arg(c.holder->shown_width)
                                        .arg(c.holder->shown_height));
      const int top = y + kLabel;
      const QRect stored(x, top, a.width, a.height);
      const QRect shown(stored.right() + 1 + kPad, top, c.holder->shown_width,
                        c.holder->shown_height);
      const bool transparent = a.form != ArtForm::Bitmap;
      if (transparent) {
        checkerboard(p, stored);
        checkerboard(p, shown);
      }
      p.drawImage(stored.topLeft(), pictures.image(a.key));
      p.drawPixmap(shown.topLeft(),
                   pictures.scaled(a.key, QSize(c.holder->shown_width, c.holder->shown_height)));
      if (a.pointer) {
        const QRect big(shown.right() + 1 + kPad, top, a.width * kZoom, a.height * kZoom);
        checkerboard(p, big);
        p.drawImage(big, pictures.image(a.key));
        hotSpotMark(p, stored.topLeft() + QPoint(a.hot_x, a.hot_y), 0);
        hotSpotMark(p, big.topLeft() + QPoint(a.hot_x * kZoom, a.hot_y * kZoom), kZoom);
      }
      rh = std::max(rh, c.size.height());
      x += c.size.width() + 2 * kPad;
    }
    y += rh + 2 * kPad;
  }
  return sheet;
}

bool exportPictures(PictureService& pictures, const QString& dir, QString* error) {
  auto fail = [&](const QString& why) {
    if (error) *error = why;
    return false;
  };
  if (!QDir().mkpath(dir)) return fail("cannot create " + dir);
  const QDir out(dir);
  QJsonObject pointers;
  for (const ArtHolder& h : PictureService::holders()) {
    const QImage img = pictures.image(h.key);
    if (img.isNull()) return fail("no picture for " + qs(h.property));
    const QString file = out.filePath(qs(h.property) + ".png");
    if (!img.save(file, "PNG")) return fail("cannot write " + file);
    const ArtInfo* a = PictureService::info(h.key);
    if (a && a->pointer) {
      QJsonObject o;
      o["art"] = qs(a->key);
      o["width"] = a->width;
      o["height"] = a->height;
      o["hotspot"] = QJsonArray{a->hot_x, a->hot_y};
      pointers[qs(h.property)] = o;
    }
  }
  QSaveFile json(out.filePath("pointers.json"));
  const QByteArray text = QJsonDocument(pointers).toJson(QJsonDocument::Indented);
  if (!json.open(QIODevice::WriteOnly) || json.write(text) != text.size() || !json.commit())
    return fail("cannot write " + out.filePath("pointers.json"));
  if (!contactSheet(pictures).save(out.filePath("sheet.png"), "PNG"))
    return fail("cannot write " + out.filePath("sheet.png"));
  return true;
}

}  // namespace window
