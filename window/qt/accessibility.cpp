// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/qt/accessibility.h"

#include <QRegion>
#include <algorithm>
#include <map>

#include "window/qt/accessibility_parts.h"
#include "window/qt/keys.h"

// The tree a reader finds: which painted controls are presented, where, in
// what order, and whether a player could see them now.

namespace window {
namespace {

bool isWindowed(rt::Kind kind) {
  return kind == rt::Kind::Frame || kind == rt::Kind::CommandButton;
}

// The registry of the game windows and their accessibility, for the factory
// and the interfaces, which Qt hands only a widget.
std::map<const QWidget*, Accessibility*>& registry() {
  static std::map<const QWidget*, Accessibility*> windows;
  return windows;
}

}  // namespace

void Accessibility::install() {
  static const bool installed = [] {
    QAccessible::installFactory(gameInterfaces);
    return true;
  }();
  (void)installed;
}

Accessibility* Accessibility::of(const QWidget* window) {
  const auto it = registry().find(window);
  return it == registry().end() ? nullptr : it->second;
}

Accessibility::Accessibility(FormWindow& window, game::Form1& form, FormWindow::Deliver deliver)
    : QObject(nullptr), window_(window), form_(form), deliver_(std::move(deliver)) {
  install();
  symbolNames_ = symbolNames(form_.control("Label4").caption());
  rightColumn_ = window_.windowRect(form_.control("Label4")).left();

  findCovers();

  // The spin pictures and the win flash belong to the reels' places.
  spinPicture1_ = &form_.control("ImageRotate1");
  const auto inReelWindow = [this](const rt::Control& c) {
    return &c == spinPicture1_ || &c == &form_.ImageRotate2 || &c == &form_.ImageEmpty;
  };
  for (rt::Control& c : form_.controls()) {
    if (isWindowed(c.kind())) {
      widgets_.emplace_back(&c, false);
      continue;
    }
    using Kind = Item::Kind;
    if (&c == &form_.LabelCredit || &c == &form_.LabelPrize) {
      items_.push_back({Kind::Field, &c, 0, fromUtf8(c.container()->caption())});
    } else if (&c == &form_.LabelInsertCoin) {
      items_.push_back({Kind::CoinSlot, &c, 0, QStringLiteral("Кольцеприёмник")});
    } else if (&c == &form_.ImageNumber1 || &c == &form_.ImageNumber2 ||
               &c == &form_.ImageNumber3) {
      const int n = &c == &form_.ImageNumber1 ? 1 : &c == &form_.ImageNumber2 ? 2 : 3;
      items_.push_back({Kind::Reel, &c, n, {}});
    } else if (c.kind() == rt::Kind::Label && !spokenText(c.caption()).isEmpty()) {
      items_.push_back({Kind::Text, &c, 0, {}});
    } else if (c.kind() == rt::Kind::Image && c.picture() && !inReelWindow(c)) {
      items_.push_back(
          {Kind::Picture, &c, 0, pictureDescription(c.picture()->key(), symbolNames_)});
    }
  }
  // Told in reading order, so that a coin is heard reel 1 first.
  std::stable_sort(items_.begin(), items_.end(), [this](const Item& a, const Item& b) {
    return readingKey(*a.control) < readingKey(*b.control);
  });
  for (const QString& name : symbolNames_) reelWidth_ = std::max(reelWidth_, name.size());
  reelWidth_ = std::max(reelWidth_, spinningName().size());
  newsTimer_.setSingleShot(true);
  connect(&newsTimer_, &QTimer::timeout, this, &Accessibility::tellNews);
  told_.resize(items_.size());
  ids_.resize(items_.size(), 0);
  remember();
  registry()[&window_] = this;
  QAccessible::installActivationObserver(this);
  describeButtons();
}

Accessibility::~Accessibility() {
  QAccessible::removeActivationObserver(this);
  registry().erase(&window_);
  for (QAccessible::Id id : ids_)
    if (id != 0) QAccessible::deleteAccessibleInterface(id);
  if (newsId_ != 0) QAccessible::deleteAccessibleInterface(newsId_);
}

const rt::Control* Accessibility::controlOf(const QWidget* widget) const {
  for (const auto& [control, shown] : widgets_)
    if (window_.widgetOf(*control) == widget) return control;
  return nullptr;
}

void Accessibility::findCovers() {
  const std::span<rt::Control> controls = form_.controls();
  rects_.resize(controls.size());
  covers_.resize(controls.size());
  for (const rt::Control& c : controls)
    rects_[static_cast<std::size_t>(c.index())] = window_.windowRect(c);
  // The description lists each container's controls top first. Frames and
  // buttons lie above every painted control of their container, and of the
  // painted ones only labels hide what is beneath them. Nothing moves, so who
  // may cover whom is found once; whether it does depends on Visible.
  for (const rt::Control& control : controls) {
    if (control.kind() == rt::Kind::Timer) continue;
    const bool windowed = isWindowed(control.kind());
    const QRect& rect = rects_[static_cast<std::size_t>(control.index())];
    bool above = true;
    for (const rt::Control& other : controls) {
      if (&other == &control) {
        above = false;
        continue;
      }
      if (other.container() != control.container()) continue;
      const bool covers = isWindowed(other.kind())
                              ? (!windowed || above)
                              : (!windowed && above && other.kind() == rt::Kind::Label);
      if (covers && rects_[static_cast<std::size_t>(other.index())].intersects(rect))
        covers_[static_cast<std::size_t>(control.index())].push_back(&other);
    }
  }
}

bool Accessibility::uncovered(const rt::Control& control) const {
  const rt::Control* holder = control.container();
  if (holder != nullptr && !seen(*holder)) return false;
  const auto index = static_cast<std::size_t>(control.index());
  QRegion open;
  bool whole = true;  // `open` not made until something covers a part
  for (const rt::Control* cover : covers_[index]) {
    if (!cover->visible()) continue;
    if (whole) {
      open = QRegion(rects_[index]);
      whole = false;
    }
    open -= rects_[static_cast<std::size_t>(cover->index())];
  }
  return whole ? !rects_[index].isEmpty() : !open.isEmpty();
}

bool Accessibility::seen(const Item& item) const {
  if (item.kind != Item::Kind::Reel) return seen(*item.control);
  // A hidden reel still has its place: the spin pictures show there.
  const bool filled =
      item.control->visible() || spinPicture1_->visible() || form_.ImageRotate2.visible();
  return filled && uncovered(*item.control);
}

int Accessibility::shownSymbol(const rt::Control& reel) const {
  const rt::PictureRef& shown = reel.picture();
  if (!shown) return -1;
  for (int d = 0; d < 10; ++d)
    if (shown == form_.symbolImage(d).picture()) return d;
  for (int d = 0; d < 10; ++d) {
    const rt::PictureRef& symbol = form_.symbolImage(d).picture();
    if (symbol && symbol->key() == shown->key()) return d;
  }
  return -1;
}

Accessibility::Told Accessibility::now(const Item& item) const {
  Told t;
  t.shown = seen(item);
  switch (item.kind) {
    case Item::Kind::Field:
      t.name = item.name;
      t.text = spoken(item);
      break;
    case Item::Kind::Text:
      t.text = spoken(item);
      t.name = t.text;
      break;
    case Item::Kind::Picture:
      t.name = item.name;
      break;
    case Item::Kind::Reel: {
      t.busy = !item.control->visible();
      const int d = shownSymbol(*item.control);
      t.name = t.busy   ? spinningName()
               : d >= 0 ? symbolNames_[static_cast<std::size_t>(d)]
                        : QString();
      break;
    }
    case Item::Kind::CoinSlot:
      t.name = item.name;
      t.enabled = item.control->enabled();
      break;
  }
  return t;
}

const QString& Accessibility::spoken(const Item& item) const {
  if (item.spokenFrom != item.control->caption()) {
    item.spokenFrom = item.control->caption();
    item.spoken = spokenText(*item.spokenFrom);
  }
  return item.spoken;
}

std::tuple<int, int, int> Accessibility::readingKey(const rt::Control& control) const {
  const QRect r = window_.windowRect(control);
  return {r.left() >= rightColumn_ ? 1 : 0, r.top(), r.left()};
}

std::vector<QAccessibleInterface*> Accessibility::children(const rt::Control* frame) {
  std::vector<std::pair<std::tuple<int, int, int>, QAccessibleInterface*>> found;
  for (const auto& [control, shown] : widgets_) {
    if (control->container() != frame) continue;
    // The button with the keyboard focus is there even beneath the welcome
    // panel: a key press presses it, and a reader must be able to say so.
    QWidget* widget = window_.widgetOf(*control);
    if (!seen(*control) && !(control->visible() && widget->hasFocus())) continue;
    if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget))
      found.emplace_back(readingKey(*control), iface);
  }
  for (const Item& item : items_) {
    if (item.control->container() != frame || !seen(item)) continue;
    found.emplace_back(readingKey(*item.control), interfaceOf(item));
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<QAccessibleInterface*> result;
  result.reserve(found.size());
  for (const auto& entry : found) result.push_back(entry.second);
  return result;
}

QAccessibleInterface* Accessibility::interfaceOf(const Item& item) {
  const auto index = static_cast<std::size_t>(&item - items_.data());
  if (ids_[index] == 0)
    ids_[index] = QAccessible::registerAccessibleInterface(newItemNode(*this, index));
  return QAccessible::accessibleInterface(ids_[index]);
}

QString Accessibility::textOf(const Item& item) const {
  if (item.kind != Item::Kind::Reel) return now(item).text;
  // Padded with blanks to the longest name, so that the text keeps one length.
  return now(item).name.leftJustified(reelWidth_);
}

QString Accessibility::windowDescription() const {
  QStringList parts;
  if (seen(form_.Frame4))
    for (const Item& item : items_)
      if (item.kind == Item::Kind::Text && item.control->container() == &form_.Frame4 && seen(item))
        parts << spoken(item);
  parts << keysHelp();
  return parts.join(QLatin1Char('\n'));
}

void Accessibility::describeButtons() {
  for (const auto& [control, shown] : widgets_) {
    if (control->kind() != rt::Kind::CommandButton) continue;
    QWidget* button = window_.widgetOf(*control);
    const QString description =
        control->visible() && !uncovered(*control)
            ? QStringLiteral("Кнопка скрыта под приветствием, но Пробел или Ввод нажимают её")
            : QString();
    if (button->accessibleDescription() != description)
      button->setAccessibleDescription(description);
  }
}

bool Accessibility::pressCoinSlot() {
  rt::Control& slot = form_.LabelInsertCoin;
  // Only a click a sighted player could make: on the slot in view and open.
  if (!seen(slot) || !slot.enabled()) return false;
  deliver_(slot, rt::Event::MouseDown);
  deliver_(slot, rt::Event::MouseUp);
  deliver_(slot, rt::Event::Click);
  return true;
}

}  // namespace window
