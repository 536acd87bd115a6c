// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Builds each of the game's pictures from the figures in assets/figures: at
// its exact stored size for the program to carry, or at the size in device
// pixels at which the window shows it, so that a picture enlarged on screen
// is drawn afresh at that size rather than from its smaller stored pixels.

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

// The same picture drawn at `device` pixels: the stored picture's layout
// stretched to that size, width and height independently, with every figure
// drawn at the finer size. At the stored size it is exactly compose(art, f).
// Null for an empty size; throws as compose() does.
QImage compose(const assets::ArtInfo& art, Figures& figures, QSize device);

// Grey level of the reel drum's band in row y of an 85 x 169 strip.
int bandLevel(int y);

}  // namespace art
