// SPDX-License-Identifier: GPL-3.0-or-later
#include "assets/embedded.h"

#include <QString>
#include <array>

#include "assets/catalogue.h"

namespace assets {
namespace {

constexpr std::array<const char*, 2> kTypefaceFiles{
    ":/fonts/LiberationSans-Regular.ttf",
    ":/fonts/LiberationSans-Bold.ttf",
};

constexpr std::array<const char*, 2> kLetteringFiles{
    ":/fonts/DejaVuSans.ttf",
    ":/fonts/DejaVuSans-Bold.ttf",
};

}  // namespace

QImage storedPicture(std::string_view key) {
  const ArtInfo* a = findArt(key);
  if (!a) return {};
  // The renderer writes each picture as <key>.png; the build embeds them under :/art.
  const QString path = QStringLiteral(":/art/") +
                       QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())) +
                       QStringLiteral(".png");
  QImage img(path);
  if (img.isNull() || img.width() != a->width || img.height() != a->height) return {};
  return img;
}

std::span<const char* const> typefaceFiles() {
  return kTypefaceFiles;
}

const char* figuresDir() {
  return ":/figures";
}

std::span<const char* const> letteringFiles() {
  return kLetteringFiles;
}

}  // namespace assets
