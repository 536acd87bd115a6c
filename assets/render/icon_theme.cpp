// SPDX-License-Identifier: GPL-3.0-or-later
#include "icon_theme.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <exception>
#include <vector>

#include "compose.h"
#include "figures.h"

namespace art {
namespace {

// The grid the icon is drawn on (see drawIcon).
constexpr int kGrid = 48;
constexpr int kMinSize = 8;
constexpr int kMaxSize = 1024;

bool parseSize(const char* text, int& size) {
  const char* end = text + std::strlen(text);
  const auto [stop, error] = std::from_chars(text, end, size);
  return error == std::errc() && stop == end && stop != text && size >= kMinSize &&
         size <= kMaxSize;
}

QImage iconAt(Figures& figures, int size) {
  QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.scale(double(size) / kGrid, double(size) / kGrid);
    drawIcon(p, figures);
  }
  return img.convertToFormat(QImage::Format_ARGB32);
}

bool writePng(const QImage& img, const QString& path) {
  QSaveFile f(path);
  return f.open(QIODevice::WriteOnly) && img.save(&f, "PNG") && f.commit();
}

// The same drawing recorded as vector paths: the figures are drawn through
// the SVG generator instead of onto pixels, so nothing is rasterised.
bool writeSvg(Figures& figures, const QString& path) {
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return false;
  QSvgGenerator svg;
  svg.setOutputDevice(&f);
  svg.setSize(QSize(kGrid, kGrid));
  svg.setViewBox(QRect(0, 0, kGrid, kGrid));
  svg.setTitle(QStringLiteral("Zarnovik"));
  svg.setDescription(QStringLiteral("Brimon among twinkling stars"));
  QPainter p;
  if (!p.begin(&svg)) return false;
  p.setRenderHint(QPainter::Antialiasing);
  drawIcon(p, figures);
  if (!p.end()) return false;
  return f.commit();
}

}  // namespace

int renderIconTheme(int argc, char** args) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: zarnovik-render --icons FIGURES_DIR OUT_DIR SIZE...\n");
    return 2;
  }
  std::vector<int> sizes;
  for (int i = 2; i < argc; ++i) {
    int size = 0;
    if (!parseSize(args[i], size)) {
      std::fprintf(stderr,
                   "zarnovik-render: icon size \"%s\" is not a whole number from %d to %d\n",
                   args[i], kMinSize, kMaxSize);
      return 2;
    }
    sizes.push_back(size);
  }
  const QString out = QString::fromLocal8Bit(args[1]);
  if (!QDir().mkpath(out)) {
    std::fprintf(stderr, "zarnovik-render: cannot create %s\n", args[1]);
    return 1;
  }
  Figures figures(QString::fromLocal8Bit(args[0]));
  try {
    for (int size : sizes) {
      const QString path = out + QStringLiteral("/%1.png").arg(size);
      if (!writePng(iconAt(figures, size), path)) {
        std::fprintf(stderr, "zarnovik-render: cannot write %s\n", qPrintable(path));
        return 1;
      }
    }
    if (!writeSvg(figures, out + "/scalable.svg")) {
      std::fprintf(stderr, "zarnovik-render: cannot write %s/scalable.svg\n", args[1]);
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zarnovik-render: %s\n", e.what());
    return 1;
  }
  return 0;
}

}  // namespace art
