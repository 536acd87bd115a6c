// SPDX-License-Identifier: GPL-3.0-or-later
#include "assets/embedded.h"

#include <array>

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
