// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The game's typeface. Every text of the window is set in one sans-serif with
// Cyrillic letters that travels inside the program, so that the wrapped texts
// (the prize table, the welcome text, the rules, the credit line) break at the
// same words on every machine.

#include <QFont>
#include <QString>
#include <QStringList>
#include <thread>
#include <vector>

class QPainter;

#include "runtime/description.h"

namespace window {

// Reads the system's font configuration on a thread of its own while the
// program starts Qt and connects to the display: the first font the window
// asks for then finds it loaded, instead of the first frame waiting for it.
// Make one before the QApplication and wait() before the first font; the
// destructor waits too. Built without fontconfig, it does nothing.
class FontConfigPreload {
 public:
  FontConfigPreload();
  ~FontConfigPreload();
  FontConfigPreload(const FontConfigPreload&) = delete;
  FontConfigPreload& operator=(const FontConfigPreload&) = delete;

  void wait();

 private:
  std::thread thread_;
};

// Registers the embedded typeface with Qt (once) and returns its family name.
// Needs a QGuiApplication.
QString gameFontFamily();

// A font size in points as the window shows it: pixels at 96 dots per inch
// (8.25 pt is 11 px, 18 pt is 24 px, 24 pt is 32 px).
int pixelSize(float points);

// The font for a control: its own when it has one, the window's default
// otherwise. Horizontal metrics stay unhinted so that text widths, and with
// them the line breaks, do not depend on the screen's hinting settings.
QFont gameFont(const rt::Font& own, const rt::Font& windowDefault);

// Word-wraps `text` at `width` pixels as a label draws it: left aligned, from
// the label's top-left corner, breaking at blanks; blanks at the end of a line
// hang beyond it and never start the next one. Returns the text of each line.
struct WrappedLine {
  QString text;    // the line's characters, trailing blanks included
  qreal y;         // top of the line
  qreal height;    // height of the line
  qreal inkWidth;  // width of the line without its trailing blanks
};
std::vector<WrappedLine> wrapText(const QString& text, const QFont& font, int width);

// Draws `text` wrapped as wrapText() lays it out, into `rect`, cut off at the
// rectangle's edges.
void drawWrapped(QPainter& painter, const QRect& rect, const QString& text, const QFont& font,
                 const QColor& color);

}  // namespace window
