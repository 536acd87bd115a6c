// SPDX-License-Identifier: GPL-3.0-or-later
#include "figures.h"

#include <QFileInfo>
#include <QSvgRenderer>
#include <stdexcept>

namespace art {

Figures::Figures(QString dir) : dir_(std::move(dir)) {}
Figures::~Figures() = default;

QSvgRenderer& Figures::renderer(const QString& name) {
  auto it = loaded_.find(name);
  if (it != loaded_.end()) return *it->second;
  const QString path = dir_ + "/" + name + ".svg";
  if (!QFileInfo::exists(path)) throw std::runtime_error("missing figure: " + path.toStdString());
  auto r = std::make_unique<QSvgRenderer>(path);
  if (!r->isValid()) throw std::runtime_error("not a valid SVG drawing: " + path.toStdString());
  return *loaded_.emplace(name, std::move(r)).first->second;
}

void Figures::draw(QPainter& p, const QString& name, const QRectF& rect) {
  QSvgRenderer& r = renderer(name);
  r.setAspectRatioMode(Qt::KeepAspectRatio);
  r.render(&p, rect);
}

void Figures::fill(QPainter& p, const QString& name, const QRectF& rect) {
  QSvgRenderer& r = renderer(name);
  r.setAspectRatioMode(Qt::IgnoreAspectRatio);
  r.render(&p, rect);
}

}  // namespace art
