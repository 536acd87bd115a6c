// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the build embeds in the program: the figures every picture is drawn
// from, their lettering's typeface and the game's own typeface. The game
// needs no files beside it.

#include <span>
#include <string_view>

namespace assets {

// The embedded typeface's faces (regular, bold) as resource paths. They are
// stored uncompressed, so that the font database can read them in place.
std::span<const char* const> typefaceFiles();

// Where the figures the pictures are drawn from lie among the resources, for
// drawing a picture afresh at the size the screen shows it.
const char* figuresDir();

// The typeface of the figures' lettering (regular, bold), as resource paths,
// stored uncompressed like the game's own.
std::span<const char* const> letteringFiles();

}  // namespace assets
