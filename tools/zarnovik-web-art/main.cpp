// SPDX-License-Identifier: GPL-3.0-or-later
// zarnovik-web-art DIR
//
// Draws the pictures the web page shows, with the window's own picture
// service, into DIR: each picture at each size an image of the window shows
// it (a reel shows every symbol at the reel's size), at 1x and 2x
// (<key>-<w>x<h>.png and <key>-<w>x<h>@2x.png); the pointers and the icon the
// same way (<key>.png, <key>@2x.png), the icon also at 192 x 192
// (icon-192.png); and art.json, the list of them with the pointers' hot spots.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <cstdio>
#include <set>
#include <string>
#include <utility>

#include "description/form1.h"
#include "window/qt/pictures.h"

namespace {

QString qs(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

bool writePng(const QImage& image, const QString& path) {
  QSaveFile file(path);
  return !image.isNull() && file.open(QIODevice::WriteOnly) && image.save(&file, "PNG", 0) &&
         file.commit();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: zarnovik-web-art DIR\n");
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(dir.path())) {
    std::fprintf(stderr, "zarnovik-web-art: cannot make %s\n", argv[1]);
    return 1;
  }
  window::PictureService pictures;
  bool ok = true;
  QString failed;
  // Draws `key` at `w` x `h` window pixels at each scale, as `name`.
  auto drawAtScales = [&](std::string_view key, int w, int h, const QString& name) {
    for (const int scale : {1, 2}) {
      const QString file = name + (scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png"));
      const QImage image = pictures.scaled(key, QSize(w * scale, h * scale), scale).toImage();
      if (!writePng(image, dir.filePath(file))) {
        ok = false;
        failed = file;
      }
    }
  };

  // Every picture an image may show, at that image's size: its own, and any
  // of the same stored size (the handlers hand a reel a symbol's picture).
  std::set<std::pair<std::string, std::pair<int, int>>> wanted;
  for (const rt::ControlSpec& c : description::form1Controls()) {
    if (c.kind != rt::Kind::Image || c.picture.empty()) continue;
    const assets::ArtInfo* own = window::PictureService::info(c.picture);
    if (!own) continue;
    const std::pair<int, int> size{c.width / rt::kTwipsPerPixel, c.height / rt::kTwipsPerPixel};
    for (const assets::ArtInfo& a : window::PictureService::catalogue())
      if (!a.pointer && a.form == assets::ArtForm::Bitmap && a.width == own->width &&
          a.height == own->height)
        wanted.insert({std::string(a.key), size});
  }
  QJsonArray pictureList;
  for (const auto& [key, size] : wanted) {
    const QString name = QStringLiteral("%1-%2x%3").arg(qs(key)).arg(size.first).arg(size.second);
    drawAtScales(key, size.first, size.second, name);
    pictureList.append(name);
  }

  // The pointers with their hot spots, and the icon.
  QJsonObject pointers;
  for (const assets::ArtInfo& a : window::PictureService::catalogue()) {
    if (!a.pointer && a.key != "icon") continue;
    drawAtScales(a.key, a.width, a.height, qs(a.key));
    if (a.pointer) pointers.insert(qs(a.key), QJsonObject{{"x", a.hot_x}, {"y", a.hot_y}});
  }
  // A bigger icon for home screens.
  if (!writePng(pictures.scaled("icon", QSize(192, 192)).toImage(), dir.filePath("icon-192.png"))) {
    ok = false;
    failed = QStringLiteral("icon-192.png");
  }

  QSaveFile manifest(dir.filePath(QStringLiteral("art.json")));
  const QByteArray json =
      QJsonDocument(QJsonObject{{"pictures", pictureList}, {"pointers", pointers}})
          .toJson(QJsonDocument::Compact);
  if (!ok || !manifest.open(QIODevice::WriteOnly) || manifest.write(json) != json.size() ||
      !manifest.commit()) {
    std::fprintf(stderr, "zarnovik-web-art: cannot write %s\n",
                 qPrintable(failed.isEmpty() ? QStringLiteral("art.json") : failed));
    return 1;
  }
  return 0;
}
