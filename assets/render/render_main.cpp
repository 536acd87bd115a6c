// SPDX-License-Identifier: GPL-3.0-or-later
// zarnovik-render FIGURES_DIR OUT_DIR
//
// Build-time renderer: draws every picture of the catalogue from the figures
// and writes OUT_DIR/<key>.png at its exact stored size, for the build to
// embed.
//
// zarnovik-render --icons FIGURES_DIR OUT_DIR SIZE...
//
// The window icon for the desktop's icon theme (see icon_theme.h).

#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <exception>

#include "assets/catalogue.h"
#include "compose.h"
#include "icon_theme.h"

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc >= 2 && std::strcmp(argv[1], "--icons") == 0)
    return art::renderIconTheme(argc - 2, argv + 2);
  if (argc != 3) {
    std::fprintf(stderr, "usage: zarnovik-render FIGURES_DIR OUT_DIR\n");
    return 2;
  }
  // The lettering is set in DejaVu; another font would silently change the
  // pictures, so refuse to render without it.
  if (!QFontDatabase::families().contains("DejaVu Sans")) {
    std::fprintf(stderr, "zarnovik-render: the DejaVu Sans font is not installed\n");
    return 1;
  }
  const QString figures = QString::fromLocal8Bit(argv[1]);
  const QString out = QString::fromLocal8Bit(argv[2]);
  if (!QDir().mkpath(out)) {
    std::fprintf(stderr, "zarnovik-render: cannot create %s\n", argv[2]);
    return 1;
  }
  art::Figures lib(figures);
  try {
    for (const assets::ArtInfo& a : assets::kArt) {
      QImage img = art::compose(a, lib);
      if (img.width() != a.width || img.height() != a.height) {
        std::fprintf(stderr, "zarnovik-render: %s came out %dx%d\n", a.key.data(), img.width(),
                     img.height());
        return 1;
      }
      img = img.convertToFormat(a.form == assets::ArtForm::Bitmap ? QImage::Format_RGB32
                                                                  : QImage::Format_ARGB32);
      const QString name = QString::fromUtf8(a.key.data(), a.key.size()) + ".png";
      if (!img.save(out + "/" + name, "PNG")) {
        std::fprintf(stderr, "zarnovik-render: cannot write %s\n", qPrintable(out + "/" + name));
        return 1;
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zarnovik-render: %s\n", e.what());
    return 1;
  }
  return 0;
}
