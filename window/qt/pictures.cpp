#include "window/qt/pictures.h"

#include <QString>

#include "assets/embedded.h"

namespace window {

QImage PictureService::image(std::string_view key) const {
  if (!info(key)) return {};
  auto it = images_.find(key);
  if (it != images_.end()) return it->second;
  return images_.emplace(std::string(key), assets::storedPicture(key)).first->second;
}

QPixmap PictureService::scaled(std::string_view key, QSize size) {
  if (size.isEmpty()) return {};
  const auto id = std::make_pair(std::string(key), std::make_pair(size.width(), size.height()));
  auto it = scaled_.find(id);
  if (it != scaled_.end()) return it->second;
  // Only the copy on screen is kept: the stored picture is decoded for it
  // and let go, unless a pointer or the icon holds it already.
  auto stored = images_.find(key);
  QImage src = stored != images_.end() ? stored->second : assets::storedPicture(key);
  if (src.isNull()) return {};
  if (src.size() != size) src = src.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return scaled_.emplace(id, QPixmap::fromImage(std::move(src))).first->second;
}

QCursor PictureService::cursor(std::string_view key) const {
  const assets::ArtInfo* a = info(key);
  if (!a || !a->pointer) return QCursor(Qt::ArrowCursor);
  // One cursor per pointer, shared by every widget that shows it.
  auto it = cursors_.find(key);
  if (it != cursors_.end()) return it->second;
  const QImage img = image(key);
  const QCursor cursor = img.isNull() ? QCursor(Qt::ArrowCursor)
                                      : QCursor(QPixmap::fromImage(img), a->hot_x, a->hot_y);
  return cursors_.emplace(std::string(key), cursor).first->second;
}

QIcon PictureService::icon() const {
  if (icon_) return *icon_;
  const QImage img = image("icon");
  QIcon icon;
  if (!img.isNull()) {
    icon.addPixmap(QPixmap::fromImage(img));
    for (int s : {16, 24, 32})
      icon.addPixmap(
          QPixmap::fromImage(img.scaled(s, s, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
  }
  icon_ = icon;
  return icon;
}

}  // namespace window
