// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/qt/fonts.h"

#include <QFontDatabase>
#include <QPainter>
#include <QResource>
#include <QTextLayout>
#include <cmath>

#include "assets/embedded.h"

#ifdef ZRNV_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace window {

FontConfigPreload::FontConfigPreload() {
#ifdef ZRNV_HAVE_FONTCONFIG
  // The configuration is the process's own, loaded once whichever thread
  // asks first; Qt's font database asks for it only after wait().
  thread_ = std::thread([] { FcInit(); });
#endif
}

FontConfigPreload::~FontConfigPreload() {
  wait();
}

void FontConfigPreload::wait() {
  if (thread_.joinable()) thread_.join();
}

QString gameFontFamily() {
  static const QString family = [] {
    QString name;
    for (const char* file : assets::typefaceFiles()) {
      // The faces are stored uncompressed, so the font database can read
      // them where the program holds them instead of from a copy on the heap.
      const QResource resource(QString::fromLatin1(file));
      const int id =
          resource.isValid() && resource.compressionAlgorithm() == QResource::NoCompression
              ? QFontDatabase::addApplicationFontFromData(QByteArray::fromRawData(
                    reinterpret_cast<const char*>(resource.data()), resource.size()))
              : QFontDatabase::addApplicationFont(QString::fromLatin1(file));
      const QStringList families = QFontDatabase::applicationFontFamilies(id);
      if (name.isEmpty() && !families.isEmpty()) name = families.front();
    }
    // Without the embedded face (a broken build) the system's sans-serif
    // still shows every text, only with other line breaks.
    return name.isEmpty() ? QStringLiteral("sans-serif") : name;
  }();
  return family;
}

int pixelSize(float points) {
  return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

QFont gameFont(const rt::Font& own, const rt::Font& windowDefault) {
  const rt::Font& f = own.points > 0 ? own : windowDefault;
  QFont font(gameFontFamily());
  font.setPixelSize(pixelSize(f.points));
  font.setBold(f.bold);
  font.setItalic(false);
  font.setHintingPreference(QFont::PreferVerticalHinting);
  // Another face filling in for a missing letter would change the widths.
  font.setStyleStrategy(QFont::NoFontMerging);
  return font;
}

namespace {

// Lays the text out in `layout`: word wrap at `width`, a line break where the
// text has one.
void layOut(QTextLayout& layout, int width) {
  QTextOption option(Qt::AlignLeft | Qt::AlignTop);
  option.setWrapMode(QTextOption::WordWrap);
  layout.setTextOption(option);
  layout.beginLayout();
  qreal y = 0;
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    line.setPosition(QPointF(0, y));
    y += line.height();
  }
  layout.endLayout();
}

QString withLineBreaks(QString text) {
  return text.replace(QLatin1Char('\n'), QChar::LineSeparator);
}

}  // namespace

std::vector<WrappedLine> wrapText(const QString& text, const QFont& font, int width) {
  const QString shown = withLineBreaks(text);
  QTextLayout layout(shown, font);
  layOut(layout, width);
  std::vector<WrappedLine> lines;
  for (int i = 0; i < layout.lineCount(); ++i) {
    const QTextLine line = layout.lineAt(i);
    lines.push_back({shown.mid(line.textStart(), line.textLength()), line.y(), line.height(),
                     line.naturalTextWidth()});
  }
  return lines;
}

void drawWrapped(QPainter& painter, const QRect& rect, const QString& text, const QFont& font,
                 const QColor& color) {
  if (text.isEmpty()) return;
  QTextLayout layout(withLineBreaks(text), font);
  layOut(layout, rect.width());
  painter.save();
  painter.setClipRect(rect, Qt::IntersectClip);
  painter.setPen(color);
  layout.draw(&painter, rect.topLeft());
  painter.restore();
}

}  // namespace window
