// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the build embeds in the program: every picture of the art catalogue,
// rendered from its figures at its stored size, and the game's typeface. The
// game needs no files beside it.

#include <QImage>
#include <span>
#include <string_view>

namespace assets {

// The embedded picture of art `key`, decoded. Null when the catalogue does
// not know the key, or the picture is missing or not at its stored size: a
// picture of another size would upset the reels' layout, so nothing is shown
// rather than something wrong.
QImage storedPicture(std::string_view key);

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
