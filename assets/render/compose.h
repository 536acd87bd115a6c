#pragma once

// Builds each of the game's pictures, at its exact stored size, from the
// figures in assets/figures.

#include <QImage>
#include <string_view>

#include "figures.h"

namespace art {

// The picture for art key `key` (see window/qt/picture_catalogue.h).
// Throws std::runtime_error for a key the catalogue does not know.
QImage compose(std::string_view key, Figures& figures);

// Grey level of the reel drum's band in row y of an 85 x 169 strip.
int bandLevel(int y);

}  // namespace art
