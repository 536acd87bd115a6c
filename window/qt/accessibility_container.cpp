// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractButton>
#include <QAccessibleWidget>
#include <algorithm>

#include "window/qt/accessibility.h"
#include "window/qt/accessibility_parts.h"

namespace window {
namespace {

// The window or one of its frames: the painted controls it holds become its
// children beside its widgets.
class ContainerNode final : public QAccessibleWidget {
 public:
  ContainerNode(QWidget* widget, bool isWindow)
      : QAccessibleWidget(widget, isWindow ? QAccessible::Window : QAccessible::Grouping),
        isWindow_(isWindow) {}

  QAccessible::Role role() const override {
    if (isWindow_) return QAccessible::Window;
    // The welcome panel has no caption: a plain pane around its text.
    const rt::Control* frame = this->frame();
    return frame && frame->caption().empty() ? QAccessible::Pane : QAccessible::Grouping;
  }

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Description && isWindow_)
      if (Accessibility* a = game()) return a->windowDescription();
    if (t == QAccessible::Name) {
      if (isWindow_) return widget()->windowTitle();
      if (const rt::Control* frame = this->frame()) return fromUtf8(frame->caption());
    }
    return QAccessibleWidget::text(t);
  }

  int childCount() const override {
    if (!game()) return QAccessibleWidget::childCount();
    return static_cast<int>(kids().size());
  }

  QAccessibleInterface* child(int index) const override {
    if (!game()) return QAccessibleWidget::child(index);
    const std::vector<QAccessibleInterface*> all = kids();
    if (index < 0 || index >= static_cast<int>(all.size())) return nullptr;
    return all[static_cast<std::size_t>(index)];
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    if (!game()) return QAccessibleWidget::indexOfChild(child);
    const std::vector<QAccessibleInterface*> all = kids();
    const auto it = std::find(all.begin(), all.end(), child);
    return it == all.end() ? -1 : static_cast<int>(it - all.begin());
  }

  // Where children overlap (a label over the text it completes), the
  // smallest one under the point is the one a player points at.
  QAccessibleInterface* childAt(int x, int y) const override {
    if (!game()) return QAccessibleWidget::childAt(x, y);
    QAccessibleInterface* best = nullptr;
    qint64 bestArea = 0;
    for (QAccessibleInterface* child : kids()) {
      const QRect r = child->rect();
      if (!r.contains(x, y)) continue;
      const qint64 area = qint64(r.width()) * r.height();
      if (best == nullptr || area < bestArea) {
        best = child;
        bestArea = area;
      }
    }
    return best;
  }

 private:
  Accessibility* game() const { return Accessibility::of(widget()->window()); }
  const rt::Control* frame() const {
    Accessibility* a = game();
    return a && !isWindow_ ? a->controlOf(widget()) : nullptr;
  }
  std::vector<QAccessibleInterface*> kids() const {
    Accessibility* a = game();
    if (a == nullptr) return {};
    if (!isWindow_ && frame() == nullptr) return {};
    return a->children(frame());
  }

  bool isWindow_;
};

}  // namespace

QAccessibleInterface* gameInterfaces(const QString&, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget == nullptr) return nullptr;
  auto* window = qobject_cast<FormWindow*>(widget->window());
  if (window == nullptr) return nullptr;
  if (widget == window) return new ContainerNode(widget, true);
  if (qobject_cast<QAbstractButton*>(widget) != nullptr) return nullptr;
  return new ContainerNode(widget, false);
}

}  // namespace window
