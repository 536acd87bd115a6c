// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The figure library: every figure of the game's art is one SVG file in
// assets/figures, loaded once and drawn into whatever rectangle a picture
// gives it, so that one drawing serves every picture that shows it.

#include <QPainter>
#include <QRectF>
#include <QString>
#include <map>
#include <memory>

class QSvgRenderer;

namespace art {

class Figures {
 public:
  explicit Figures(QString dir);
  ~Figures();

  // Draws figure `name` (the file name without ".svg") into `rect`, keeping
  // its proportions and centring it. Throws std::runtime_error when the file
  // is missing or is not a valid SVG drawing.
  void draw(QPainter& p, const QString& name, const QRectF& rect);
  // The same, stretched to fill `rect` exactly.
  void fill(QPainter& p, const QString& name, const QRectF& rect);

 private:
  QSvgRenderer& renderer(const QString& name);

  QString dir_;
  std::map<QString, std::unique_ptr<QSvgRenderer>> loaded_;
};

}  // namespace art
