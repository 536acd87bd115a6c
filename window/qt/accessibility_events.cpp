// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include "window/qt/accessibility.h"

// Telling the readers what changed: after every handler, what is presented
// is compared with what was last told.

namespace window {
namespace {

// The properties that change what a reader is told.
constexpr std::uint8_t kPresented = rt::kCaption | rt::kVisible | rt::kEnabled | rt::kPicture;

}  // namespace

void Accessibility::changed(std::span<const rt::Form::Change> changes) {
  const bool relevant = std::any_of(changes.begin(), changes.end(), [](const auto& change) {
    return change.control->kind() != rt::Kind::Timer && (change.properties & kPresented);
  });
  if (!relevant || !listening()) return;

  for (auto& [control, shown] : widgets_) {
    const bool now = seen(*control);
    if (now == shown) continue;
    shown = now;
    QWidget* widget = window_.widgetOf(*control);
    QAccessibleEvent event(widget, now ? QAccessible::ObjectShow : QAccessible::ObjectHide);
    send(event);
    if (now) {
      QAccessibleEvent added(widget, QAccessible::ObjectCreated);
      send(added);
    }
    // The window's description holds the welcome text while its panel shows.
    if (control == &form_.Frame4) {
      QAccessibleEvent described(&window_, QAccessible::DescriptionChanged);
      send(described);
    }
  }
  for (std::size_t i = 0; i < items_.size(); ++i) {
    Told is = now(items_[i]);
    if (is == told_[i]) continue;
    tell(items_[i], told_[i], is);
    told_[i] = std::move(is);
  }
  describeButtons();
  gatherNews();
}

void Accessibility::setListener(Listener listener) {
  listener_ = std::move(listener);
  remember();
}

void Accessibility::accessibilityActiveChanged(bool active) {
  if (active) remember();
}

void Accessibility::remember() {
  for (std::size_t i = 0; i < items_.size(); ++i) told_[i] = now(items_[i]);
  for (auto& [control, shown] : widgets_) shown = seen(*control);
  heard_ = scene();
  pending_.clear();
}

void Accessibility::send(QAccessibleEvent& event) {
  if (listener_) {
    listener_(&event);
  } else {
    QAccessible::updateAccessibility(&event);
  }
}

void Accessibility::tell(const Item& item, const Told& was, const Told& is) {
  QAccessibleInterface* iface = interfaceOf(item);
  if (was.shown != is.shown) {
    // Come into view, or gone from it: the reader reads it afresh next time.
    QAccessibleEvent event(iface, is.shown ? QAccessible::ObjectShow : QAccessible::ObjectHide);
    send(event);
    QAccessibleEvent tree(iface,
                          is.shown ? QAccessible::ObjectCreated : QAccessible::ObjectDestroyed);
    send(tree);
    return;
  }
  if (!is.shown) return;
  if (was.text != is.text) {
    if (!was.text.isEmpty()) {
      QAccessibleTextRemoveEvent removed(iface, 0, was.text);
      send(removed);
    }
    if (!is.text.isEmpty()) {
      QAccessibleTextInsertEvent inserted(iface, 0, is.text);
      send(inserted);
    }
  }
  if (was.name != is.name) {
    QAccessibleEvent event(iface, QAccessible::NameChanged);
    send(event);
  }
  if (was.enabled != is.enabled || was.busy != is.busy) {
    QAccessible::State states;
    states.disabled = was.enabled != is.enabled;
    states.busy = was.busy != is.busy;
    QAccessibleStateChangeEvent event(iface, states);
    send(event);
  }
}

}  // namespace window
