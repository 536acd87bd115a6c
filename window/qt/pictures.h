#pragma once

// The picture service: turns the window's picture objects into pixels.
//
// Every picture of the game is drawn at build time and embedded in the
// program (under :/art); the service reads them from there, so the game needs
// no files beside it. A picture object (rt::Picture) only carries an art key
// such as "symbol7" or "pointer.coin"; the service looks that key up in the
// catalogue (assets/catalogue.h) and gives
//  - image():  the picture at its exact stored size,
//  - scaled(): a pixmap stretched to the size a control shows it at, made
//              once per key and size and kept, so painting never rescales,
//  - cursor(): a mouse pointer with its hot spot, for the pointer keys,
//  - icon():   the window icon.
// Objects made from the same key share the pixels but stay distinct
// objects: identity lives in rt::Picture, never here.
//
// A key the catalogue does not know gives a null image, a null pixmap and
// the ordinary arrow pointer, and is never an error at paint time.
// scaled(), cursor() and icon() need a QGuiApplication; image() does not.

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "assets/catalogue.h"
#include "runtime/picture.h"

namespace window {

class PictureService {
 public:
  // Every piece of stored art.
  static std::span<const assets::ArtInfo> catalogue() { return assets::kArt; }
  // The catalogue entry for `key`, or nullptr.
  static const assets::ArtInfo* info(std::string_view key) { return assets::findArt(key); }

  QImage image(std::string_view key) const;
  QImage image(const rt::Picture& picture) const { return image(picture.key()); }

  // Stretched to `size`, width and height independently. Null for an
  // unknown key or an empty size.
  QPixmap scaled(std::string_view key, QSize size);
  QPixmap scaled(const rt::Picture& picture, QSize size) { return scaled(picture.key(), size); }

  // The pointer for a pointer key, with its hot spot; the arrow otherwise.
  QCursor cursor(std::string_view key) const;
  QCursor cursor(const rt::Picture& picture) const { return cursor(picture.key()); }

  // The window icon at its stored 48 x 48 and at smaller system sizes.
  QIcon icon() const;

 private:
  mutable std::map<std::string, QImage, std::less<>> images_;
  mutable std::map<std::string, QCursor, std::less<>> cursors_;
  mutable std::optional<QIcon> icon_;
  std::map<std::pair<std::string, std::pair<int, int>>, QPixmap> scaled_;
};

}  // namespace window
