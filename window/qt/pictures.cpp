#include "window/qt/pictures.h"

#include <QString>

// The embedded pictures live in the zarnovik_assets static library; naming
// its initialiser here makes the linker keep it.
static void initArtResources() {
  static const bool done = [] {
    Q_INIT_RESOURCE(zarnovik_art);
    return true;
  }();
  (void)done;
}

namespace window {

PictureService::PictureService() {
  initArtResources();
}

std::vector<std::pair<std::string, rt::PictureRef>> PictureService::makeObjects(
    rt::PictureFactory& factory) {
  std::vector<std::pair<std::string, rt::PictureRef>> objects;
  objects.reserve(kHolders.size());
  for (const ArtHolder& h : kHolders)
    objects.emplace_back(std::string(h.property), factory.make(h.key));
  return objects;
}

QImage PictureService::image(std::string_view key) const {
  const ArtInfo* a = info(key);
  if (!a) return {};
  auto it = images_.find(key);
  if (it != images_.end()) return it->second;
  const QString path =
      QStringLiteral(":/art/") + QString::fromUtf8(key.data(), key.size()) + QStringLiteral(".png");
  QImage img(path);
  // A picture that did not load, or not at its stored size, would upset the
  // reels' layout; show nothing rather than something wrong.
  if (img.isNull() || img.width() != a->width || img.height() != a->height) img = QImage();
  images_.emplace(std::string(key), img);
  return img;
}

QPixmap PictureService::scaled(std::string_view key, QSize size) {
  if (size.isEmpty()) return {};
  const auto id = std::make_pair(std::string(key), std::make_pair(size.width(), size.height()));
  auto it = scaled_.find(id);
  if (it != scaled_.end()) return it->second;
  const QImage src = image(key);
  if (src.isNull()) return {};
  QPixmap pm = QPixmap::fromImage(
      src.size() == size ? src : src.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  scaled_.emplace(id, pm);
  return pm;
}

QCursor PictureService::cursor(std::string_view key) const {
  const ArtInfo* a = info(key);
  if (!a || !a->pointer) return QCursor(Qt::ArrowCursor);
  const QImage img = image(key);
  if (img.isNull()) return QCursor(Qt::ArrowCursor);
  return QCursor(QPixmap::fromImage(img), a->hot_x, a->hot_y);
}

QIcon PictureService::icon() const {
  const QImage img = image("icon");
  QIcon icon;
  if (img.isNull()) return icon;
  icon.addPixmap(QPixmap::fromImage(img));
  for (int s : {16, 24, 32})
    icon.addPixmap(
        QPixmap::fromImage(img.scaled(s, s, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
  return icon;
}

}  // namespace window
