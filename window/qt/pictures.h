// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The picture service: turns the window's picture objects into pixels.
//
// Every picture of the game is drawn at build time at its stored size and
// embedded in the program (under :/art), and the figures it is drawn from
// travel with it (under :/figures). A picture object (rt::Picture) only
// carries an art key such as "symbol7" or "pointer.coin"; the service looks
// that key up in the catalogue (assets/catalogue.h) and gives
//  - image():   the picture at its exact stored size,
//  - scaled():  the picture drawn afresh from its figures at the size in
//               screen pixels of the rectangle that shows it (stretched,
//               width and height independently), made once per key and
//               size and kept, so painting never draws a picture twice and
//               never enlarges a smaller bitmap,
//  - prepare(): draws pictures the window is about to show on a thread of
//               its own, so that no click waits for a drawing,
//  - cursor():  a mouse pointer with its hot spot, at the screen's scale,
//  - icon():    the window icon, at the system's sizes and the screen's scale.
// Objects made from the same key share the pixels but stay distinct
// objects: identity lives in rt::Picture, never here.
//
// A key the catalogue does not know gives a null image, a null pixmap and
// the ordinary arrow pointer, and is never an error at paint time.
// scaled(), prepare(), cursor() and icon() need a QGuiApplication; image()
// does not. The service is used from the GUI thread only.

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "assets/catalogue.h"
#include "runtime/picture.h"

namespace art {
class Figures;
}

namespace window {

class PictureService {
 public:
  PictureService();
  ~PictureService();
  PictureService(const PictureService&) = delete;
  PictureService& operator=(const PictureService&) = delete;

  // Every piece of stored art.
  static std::span<const assets::ArtInfo> catalogue() { return assets::kArt; }
  // The catalogue entry for `key`, or nullptr.
  static const assets::ArtInfo* info(std::string_view key) { return assets::findArt(key); }
  // Whether the art for `key` has no transparency: it hides all beneath it.
  static bool opaque(std::string_view key) {
    const assets::ArtInfo* a = info(key);
    return a != nullptr && a->form == assets::ArtForm::Bitmap;
  }

  QImage image(std::string_view key) const;
  QImage image(const rt::Picture& picture) const { return image(picture.key()); }

  // The picture drawn at `size` pixels, its device pixel ratio set to `dpr`
  // (the pixmap covers size / dpr of the window). Null for an unknown key or
  // an empty size.
  QPixmap scaled(std::string_view key, QSize size, qreal dpr = 1.0);
  QPixmap scaled(const rt::Picture& picture, QSize size, qreal dpr = 1.0) {
    return scaled(picture.key(), size, dpr);
  }

  // A picture at a size in screen pixels, as scaled() takes them.
  struct Wanted {
    std::string key;
    QSize size;
    bool operator==(const Wanted&) const = default;
  };
  // Draws `wanted` in order on the service's own thread, skipping what is
  // drawn already; scaled() then only hands the result over. Replaces what
  // an earlier call left undrawn.
  void prepare(std::vector<Wanted> wanted);
  // Waits until everything prepare() was given is drawn (for tests and
  // measurements; the window never waits).
  void waitPrepared();
  // Whether `key` at `size` is drawn already, by scaled() or ahead.
  bool drawn(std::string_view key, QSize size) const;

  // The pointer for a pointer key, with its hot spot, at `dpr` screen
  // pixels per window pixel; the arrow otherwise.
  QCursor cursor(std::string_view key, qreal dpr = 1.0) const;
  QCursor cursor(const rt::Picture& picture, qreal dpr = 1.0) const {
    return cursor(picture.key(), dpr);
  }

  // The window icon at its stored 48 x 48 and at smaller system sizes, each
  // also at `dpr` screen pixels per window pixel.
  QIcon icon(qreal dpr = 1.0) const;

 private:
  class Painter;
  // Draws `key` at `size` on the calling (GUI) thread.
  QImage draw(std::string_view key, QSize size) const;

  mutable std::map<std::string, QImage, std::less<>> images_;
  mutable std::map<std::pair<std::string, qreal>, QCursor, std::less<>> cursors_;
  mutable std::map<qreal, QIcon> icons_;
  std::map<std::pair<std::string, std::pair<int, int>>, QPixmap> scaled_;
  // The figures, loaded on first use, for drawing on the GUI thread.
  mutable std::unique_ptr<art::Figures> figures_;
  std::unique_ptr<Painter> painter_;
};

}  // namespace window
