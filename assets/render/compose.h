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

// The window icon's drawing on a 48 x 48 grid, without the window icon's
// one-bit mask: scale the painter to draw it at any size, or into a vector
// device. compose("icon") is this at 48 x 48, masked.
void drawIcon(QPainter& p, Figures& figures);

// Grey level of the reel drum's band in row y of an 85 x 169 strip.
int bandLevel(int y);

}  // namespace art
