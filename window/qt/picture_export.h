// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Writing the game's pictures out as files, to look at them or hand them to
// an artist: one PNG per picture property, the pointers' hot spots, and a
// contact sheet of everything.

#include <QImage>
#include <QSize>
#include <QString>
#include <vector>

#include "window/qt/pictures.h"

namespace window {

// A picture property of the window: the art it holds at start and the size
// at which the window shows it.
struct PictureProperty {
  QString name;  // control and property, e.g. "ImageNumber1.Picture"
  const assets::ArtInfo* art;
  QSize shown;
};

// Every picture property of the window description, grouped by art in the
// catalogue's order.
std::vector<PictureProperty> pictureProperties();

// Writes into `dir` (created if needed):
//  - <Control>.<Property>.png for each picture property of the window, at
//    the picture's stored size (Image0.Picture.png, Form1.Icon.png, ...);
//  - pointers.json: for each pointer property, its art, size and hot spot;
//  - sheet.png: contactSheet().
// Returns false and sets *error on the first file that cannot be written or
// picture that is missing.
bool exportPictures(PictureService& pictures, const QString& dir, QString* error);

// Every picture property's picture at its stored size and, beside it, at
// the size the window shows it, each labelled; pointers on a checkerboard
// with their hot spot marked, and also enlarged.
QImage contactSheet(PictureService& pictures);

}  // namespace window
