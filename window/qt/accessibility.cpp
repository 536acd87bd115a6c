// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/qt/accessibility.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QRegion>
#include <QRegularExpression>
#include <algorithm>
#include <map>

#include "game/prize_table.h"

namespace window {
namespace {

QString fromUtf8(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The properties that change what a reader is told.
constexpr std::uint8_t kPresented = rt::kCaption | rt::kVisible | rt::kEnabled | rt::kPicture;

bool isWindowed(rt::Kind kind) {
  return kind == rt::Kind::Frame || kind == rt::Kind::CommandButton;
}

// What a reel says while the spin pictures show in its place.
const QString& spinningName() {
  static const QString name = QStringLiteral("Вращается");
  return name;
}

// Short descriptions of the pictures a player sees, by their art.
QString pictureDescription(std::string_view art, const std::array<QString, 10>& symbols) {
  if (art == "title")
    return QStringLiteral(
               "Новогодняя картинка: %1, %2, %3 и %4 в праздничных костюмах, "
               "с подарком, у их ног двое %5")
        .arg(symbols[4], symbols[5], symbols[6], symbols[7], symbols[3]);
  if (art == "logo.maker") return QStringLiteral("Логотип KESTRANO");
  if (art == "logo.second") return QStringLiteral("Логотип SNEGIR");
  if (art == "burst") return QStringLiteral("Сияние на голубом фоне");
  for (int d = 0; d < 10; ++d)
    if (art == "symbol" + std::to_string(d)) return symbols[static_cast<std::size_t>(d)];
  return QStringLiteral("Картинка");
}

// The registry of the game windows and their accessibility, for the factory
// and the interfaces, which Qt hands only a widget.
std::map<const QWidget*, Accessibility*>& registry() {
  static std::map<const QWidget*, Accessibility*> windows;
  return windows;
}

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
    const bool hasText =
        kind == Accessibility::Item::Kind::Field || kind == Accessibility::Item::Kind::Text;
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
  QString content() const { return game_ ? game_->now(item()).text : QString(); }

  QPointer<Accessibility> game_;
  std::size_t index_;
};

// Qt asks this for every object's interface, most derived class first; it
// answers for the game window and its frames and leaves the buttons to Qt.
QAccessibleInterface* gameInterfaces(const QString&, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget == nullptr) return nullptr;
  auto* window = qobject_cast<FormWindow*>(widget->window());
  if (window == nullptr) return nullptr;
  if (widget == window) return new ContainerNode(widget, true);
  if (qobject_cast<QAbstractButton*>(widget) != nullptr) return nullptr;
  return new ContainerNode(widget, false);
}

}  // namespace

std::array<QString, 10> symbolNames(std::string_view prizeTableText) {
  std::array<QString, 10> names;
  for (int d = 0; d < 10; ++d) names[static_cast<std::size_t>(d)] = QString::number(d);
  // "Name Name Name = х<rings>", with the Cyrillic х.
  static const QRegularExpression threeOfAKind(QStringLiteral("^(\\S+) \\1 \\1 = х(\\d+)$"),
                                               QRegularExpression::UseUnicodePropertiesOption);
  for (const QString& line : spokenText(prizeTableText).split(QLatin1Char('\n'))) {
    const QRegularExpressionMatch m = threeOfAKind.match(line);
    if (!m.hasMatch()) continue;
    const int rings = m.captured(2).toInt();
    for (const game::PrizeRule& rule : game::kPrizeTable) {
      if (rule.combination == game::PrizeRule::Combination::AllThree && rule.award == rings)
        names[static_cast<std::size_t>(rule.symbol)] = m.captured(1);
    }
  }
  return names;
}

QString spokenText(std::string_view caption) {
  static const QRegularExpression lineBreaks(QStringLiteral("\\s*\\n\\s*| {2,}"));
  QStringList lines;
  for (const QString& line : fromUtf8(caption).split(lineBreaks)) {
    const QString trimmed = line.trimmed();
    if (!trimmed.isEmpty()) lines.push_back(trimmed);
  }
  return lines.join(QLatin1Char('\n'));
}

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
  told_.resize(items_.size());
  ids_.resize(items_.size(), 0);
  remember();
  registry()[&window_] = this;
  QAccessible::installActivationObserver(this);
}

Accessibility::~Accessibility() {
  QAccessible::removeActivationObserver(this);
  registry().erase(&window_);
  for (QAccessible::Id id : ids_)
    if (id != 0) QAccessible::deleteAccessibleInterface(id);
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
    if (control->container() != frame || !seen(*control)) continue;
    if (QAccessibleInterface* iface =
            QAccessible::queryAccessibleInterface(window_.widgetOf(*control)))
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
    ids_[index] = QAccessible::registerAccessibleInterface(new ItemNode(*this, index));
  return QAccessible::accessibleInterface(ids_[index]);
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
  }
  for (std::size_t i = 0; i < items_.size(); ++i) {
    Told is = now(items_[i]);
    if (is == told_[i]) continue;
    tell(items_[i], told_[i], is);
    told_[i] = std::move(is);
  }
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
