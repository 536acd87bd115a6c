// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAccessibleInterface>
#include <QPointer>
#include <QStringList>
#include <algorithm>

#include "window/qt/accessibility.h"
#include "window/qt/accessibility_parts.h"

namespace window {
namespace {

// One painted control as a reader finds it.
class ItemNode final : public QAccessibleInterface,
                       public QAccessibleTextInterface,
                       public QAccessibleActionInterface {
 public:
  ItemNode(Accessibility& game, std::size_t index) : game_(&game), index_(index) {}

  bool isValid() const override { return !game_.isNull(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return game_ ? game_->window().windowHandle() : nullptr; }

  QAccessibleInterface* parent() const override {
    if (!game_) return nullptr;
    const rt::Control* holder = item().control->container();
    QWidget* widget = holder ? game_->window().widgetOf(*holder) : &game_->window();
    return QAccessible::queryAccessibleInterface(widget);
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }

  QString text(QAccessible::Text t) const override {
    if (!game_) return {};
    const Accessibility::Item& it = item();
    switch (t) {
      case QAccessible::Name:
        return game_->now(it).name;
      case QAccessible::Value:
        return it.kind == Accessibility::Item::Kind::Field ? game_->now(it).text : QString();
      case QAccessible::Description:
        if (it.kind == Accessibility::Item::Kind::Reel)
          return QStringLiteral("Барабан %1").arg(it.reel);
        if (it.kind == Accessibility::Item::Kind::CoinSlot)
          return QStringLiteral("Опустить кольцо за 5 $ и запустить барабаны");
        return {};
      default:
        return {};
    }
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    if (!game_) return {};
    const QRect r = game_->window().windowRect(*item().control);
    return QRect(game_->window().mapToGlobal(r.topLeft()), r.size());
  }

  QAccessible::Role role() const override {
    if (!game_) return QAccessible::NoRole;
    switch (item().kind) {
      case Accessibility::Item::Kind::Field:
        return QAccessible::EditableText;  // read-only, see state()
      case Accessibility::Item::Kind::Text:
        return QAccessible::StaticText;
      case Accessibility::Item::Kind::CoinSlot:
        return QAccessible::Button;
      default:
        return QAccessible::Graphic;
    }
  }

  QAccessible::State state() const override {
    QAccessible::State s;
    if (!game_) {
      s.invalid = true;
      return s;
    }
    const Accessibility::Told now = game_->now(item());
    if (!now.shown) {
      s.invisible = true;
      s.offscreen = true;
    }
    switch (item().kind) {
      case Accessibility::Item::Kind::Field:
      case Accessibility::Item::Kind::Text:
        s.readOnly = true;
        break;
      case Accessibility::Item::Kind::Reel:
        s.busy = now.busy;
        s.animated = now.busy;
        break;
      case Accessibility::Item::Kind::CoinSlot:
        s.disabled = !now.enabled;
        break;
      default:
        break;
    }
    return s;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (!game_) return nullptr;
    const Accessibility::Item::Kind kind = item().kind;
    // A reel offers its name as text too: a reader reviewing the window
    // reads a text afresh each time, and so the reel's current symbol.
    const bool hasText = kind == Accessibility::Item::Kind::Field ||
                         kind == Accessibility::Item::Kind::Text ||
                         kind == Accessibility::Item::Kind::Reel;
    if (type == QAccessible::TextInterface && hasText)
      return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::ActionInterface && kind == Accessibility::Item::Kind::CoinSlot)
      return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
  }

  // The text: read-only, no caret to speak of, no selection.
  void selection(int, int* start, int* end) const override { *start = *end = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QString text(int start, int end) const override {
    const QString all = content();
    start = std::clamp(start, 0, static_cast<int>(all.size()));
    end = end < 0 ? static_cast<int>(all.size())
                  : std::clamp(end, start, static_cast<int>(all.size()));
    return all.mid(start, end - start);
  }
  int characterCount() const override { return static_cast<int>(content().size()); }
  // The label wraps its text as it is drawn; a reader learns only that each
  // character lies within the label.
  QRect characterRect(int offset) const override {
    return offset >= 0 && offset < characterCount() ? rect() : QRect();
  }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return {};
  }

  // The coin slot's one action: a click on it.
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction() && game_) game_->pressCoinSlot();
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  const Accessibility::Item& item() const { return game_->items()[index_]; }
  QString content() const { return game_ ? game_->textOf(item()) : QString(); }

  QPointer<Accessibility> game_;
  std::size_t index_;
};

}  // namespace

QAccessibleInterface* newItemNode(Accessibility& game, std::size_t index) {
  return new ItemNode(game, index);
}

}  // namespace window
