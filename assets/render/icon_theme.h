// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window icon for the desktop's icon theme: drawn from the figures at each
// size a desktop asks for, and once as a scalable vector drawing.

namespace art {

// zarnovik-render --icons FIGURES_DIR OUT_DIR SIZE...
// Writes OUT_DIR/<SIZE>.png (SIZE x SIZE, smooth transparency) for each size
// and OUT_DIR/scalable.svg. Sizes are whole numbers of pixels from 8 to 1024.
// `args` are the arguments after "--icons". Returns the program's exit
// status: 0, 1 when a figure or a file fails, 2 for bad arguments.
int renderIconTheme(int argc, char** args);

}  // namespace art
