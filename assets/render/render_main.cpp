// SPDX-License-Identifier: GPL-3.0-or-later
// zarnovik-render --icons FIGURES_DIR OUT_DIR SIZE...
//
// Build-time renderer: the window icon for the desktop's icon theme (see
// icon_theme.h). The game's own pictures are drawn by the program itself,
// from the same figures; `zarnovik-art` writes them out as files.

#include <QGuiApplication>
#include <cstdio>
#include <cstring>

#include "icon_theme.h"

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc >= 2 && std::strcmp(argv[1], "--icons") == 0)
    return art::renderIconTheme(argc - 2, argv + 2);
  std::fprintf(stderr, "usage: zarnovik-render --icons FIGURES_DIR OUT_DIR SIZE...\n");
  return 2;
}
