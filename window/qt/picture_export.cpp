// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/qt/picture_export.h"

#include <QDir>
#include <QFont>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "description/form1.h"

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
  const PictureProperty* property;
  QSize size;  // the cell's size on the sheet
};

constexpr int kSheetWidth = 1400;
constexpr int kPad = 10;
constexpr int kLabel = 30;
constexpr int kHeading = 40;
constexpr int kZoom = 3;

QSize cellSize(const PictureProperty& property) {
  const assets::ArtInfo& a = *property.art;
  int w = a.width + kPad + property.shown.width();
  int h = std::max(a.height, property.shown.height());
  if (a.pointer) {
    w += kPad + a.width * kZoom;
    h = std::max(h, a.height * kZoom);
  }
  return {std::max(w, 170), h + kLabel};
}

// The cells in rows, left to right, each row no wider than the sheet.
std::vector<std::vector<Cell>> layOut(const std::vector<PictureProperty>& properties) {
  std::vector<std::vector<Cell>> rows(1);
  int x = kPad;
  for (const PictureProperty& property : properties) {
    const QSize s = cellSize(property);
    if (x + s.width() + kPad > kSheetWidth && !rows.back().empty()) {
      rows.emplace_back();
      x = kPad;
    }
    rows.back().push_back({&property, s});
    x += s.width() + 2 * kPad;
  }
  return rows;
}

int rowHeight(const std::vector<Cell>& row) {
  int h = 0;
  for (const Cell& c : row) h = std::max(h, c.size.height());
  return h;
}

// One cell: the labels, the picture at its stored size and as the window
// shows it, and for a pointer an enlarged copy with its hot spot marked.
void drawCell(QPainter& p, PictureService& pictures, const Cell& c, QPoint at) {
  const assets::ArtInfo& a = *c.property->art;
  const QSize shownSize = c.property->shown;
  p.fillRect(QRect(at - QPoint(4, 4), c.size + QSize(8, 8)), QColor(96, 96, 200));
  p.setFont(QFont("DejaVu Sans", 8));
  p.setPen(Qt::white);
  p.drawText(at + QPoint(0, 11), c.property->name + "  (" + qs(a.key) + ")");
  p.drawText(at + QPoint(0, 23), QString("%1 x %2, shown %3 x %4")
                                     .arg(a.width)
                                     .arg(a.height)
                                     .arg(shownSize.width())
                                     .arg(shownSize.height()));
  const int top = at.y() + kLabel;
  const QRect stored(at.x(), top, a.width, a.height);
  const QRect shown(QPoint(stored.right() + 1 + kPad, top), shownSize);
  if (a.form != assets::ArtForm::Bitmap) {
    checkerboard(p, stored);
    checkerboard(p, shown);
  }
  p.drawImage(stored.topLeft(), pictures.image(a.key));
  p.drawPixmap(shown.topLeft(), pictures.scaled(a.key, shownSize));
  if (a.pointer) {
    const QRect big(shown.right() + 1 + kPad, top, a.width * kZoom, a.height * kZoom);
    checkerboard(p, big);
    p.drawImage(big, pictures.image(a.key));
    hotSpotMark(p, stored.topLeft() + QPoint(a.hot_x, a.hot_y), 0);
    hotSpotMark(p, big.topLeft() + QPoint(a.hot_x * kZoom, a.hot_y * kZoom), kZoom);
  }
}

// Where a picture property shows its art: an image control at its own
// rectangle, a pointer at its stored size, the window icon in the title bar.
constexpr int kTitleBarIcon = 32;

std::optional<PictureProperty> property(std::string_view owner, std::string_view which,
                                        std::string_view key, QSize shown) {
  const assets::ArtInfo* art = assets::findArt(key);
  if (key.empty() || art == nullptr) return std::nullopt;
  if (shown.isEmpty()) shown = QSize(art->width, art->height);
  return PictureProperty{qs(owner) + "." + qs(which), art, shown};
}

}  // namespace

std::vector<PictureProperty> pictureProperties() {
  const rt::FormSpec& form = description::form1Spec();
  std::vector<std::optional<PictureProperty>> found{
      property(form.name, "Icon", form.icon, QSize(kTitleBarIcon, kTitleBarIcon)),
      property(form.name, "MouseIcon", form.mouseIcon, {})};
  for (const rt::ControlSpec& c : description::form1Controls()) {
    const QSize rect(c.width / rt::kTwipsPerPixel, c.height / rt::kTwipsPerPixel);
    found.push_back(property(c.name, "Picture", c.picture, rect));
    found.push_back(property(c.name, "MouseIcon", c.mouseIcon, {}));
  }
  std::vector<PictureProperty> properties;
  for (auto& p : found)
    if (p) properties.push_back(std::move(*p));
  // Grouped by art, in the catalogue's order, each group by property name.
  std::sort(properties.begin(), properties.end(), [](const auto& a, const auto& b) {
    return std::make_pair(a.art, a.name) < std::make_pair(b.art, b.name);
  });
  return properties;
}

QImage contactSheet(PictureService& pictures) {
  const std::vector<PictureProperty> properties = pictureProperties();
  const std::vector<std::vector<Cell>> rows = layOut(properties);
  int height = kPad + kHeading;
  for (const auto& row : rows) height += rowHeight(row) + 2 * kPad;

  QImage sheet(kSheetWidth, height, QImage::Format_RGB32);
  sheet.fill(QColor(128, 128, 255));  // the window's own background
  QPainter p(&sheet);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setFont(QFont("DejaVu Sans", 14, QFont::Bold));
  p.setPen(Qt::white);
  p.drawText(QPoint(kPad, kPad + 22),
             "Zarnovik: every picture property, at its stored size and as the window shows it");
  int y = kPad + kHeading;
  for (const auto& row : rows) {
    int x = kPad;
    for (const Cell& c : row) {
      drawCell(p, pictures, c, QPoint(x, y));
      x += c.size.width() + 2 * kPad;
    }
    y += rowHeight(row) + 2 * kPad;
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
  for (const PictureProperty& property : pictureProperties()) {
    const assets::ArtInfo& a = *property.art;
    const QImage img = pictures.image(a.key);
    if (img.isNull()) return fail("no picture for " + property.name);
    const QString file = out.filePath(property.name + ".png");
    if (!img.save(file, "PNG")) return fail("cannot write " + file);
    if (a.pointer) {
      QJsonObject o;
      o["art"] = qs(a.key);
      o["width"] = a.width;
      o["height"] = a.height;
      o["hotspot"] = QJsonArray{a.hot_x, a.hot_y};
      pointers[property.name] = o;
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
