#pragma once

// Builds each of the game's pictures, at its exact stored size, from the
// figures in assets/figures.

#include <QImage>
#include <string_view>

#include "assets/catalogue.h"
#include "figures.h"

namespace art {

// The picture for one entry of the art catalogue, at its stored size.
// Throws std::runtime_error for an entry no drawing is known for.
QImage compose(const assets::ArtInfo& art, Figures& figures);

// The window icon's drawing on a 48 x 48 grid, without the window icon's
// one-bit mask: scale the painter to draw it at any size, or into a vector
// device. compose("icon") is this at 48 x 48, masked.
void drawIcon(QPainter& p, Figures& figures);

// Grey level of the reel drum's band in row y of an 85 x 169 strip.
int bandLevel(int y);

}  // namespace art
