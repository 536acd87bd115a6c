// SPDX-License-Identifier: GPL-3.0-or-later
// zarnovik-art DIR
//
// Writes every picture of the game into DIR as a PNG at its stored size,
// named after the property that holds it, with pointers.json (each
// pointer's hot spot) and sheet.png (a contact sheet of them all).

#include <QGuiApplication>
#include <cstdio>

#include "window/qt/picture_export.h"

int main(int argc, char** argv) {
  // A file-writing tool: it never opens a window, so it needs no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: zarnovik-art DIR\n");
    return 2;
  }
  window::PictureService pictures;
  QString error;
  if (!window::exportPictures(pictures, QString::fromLocal8Bit(argv[1]), &error)) {
    std::fprintf(stderr, "zarnovik-art: %s\n", qPrintable(error));
    return 1;
  }
  return 0;
}
