// SPDX-License-Identifier: GPL-3.0-or-later
#include <QPointer>
#include <QRegularExpression>
#include <algorithm>

#include "window/qt/accessibility.h"
#include "window/qt/accessibility_parts.h"

// The news a player hears without asking, told as a notification shown.

namespace window {
namespace {

// The number a field's text begins with; 0 for a text such as "Game Over!".
double leadingNumber(const QString& text) {
  static const QRegularExpression number(QStringLiteral("^\\s*-?\\d+(\\.\\d+)?"));
  const QRegularExpressionMatch m = number.match(text);
  return m.hasMatch() ? m.captured(0).toDouble() : 0.0;
}

// The notification that carries the news: not part of the window's tree
// (nothing of it is drawn), shown each time there is news, its name the
// news itself.
class NewsNode final : public QAccessibleInterface {
 public:
  explicit NewsNode(Accessibility& game) : game_(&game) {}

  bool isValid() const override { return !game_.isNull(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return game_ ? game_->window().windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override {
    return game_ ? QAccessible::queryAccessibleInterface(&game_->window()) : nullptr;
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override {
    return game_ && t == QAccessible::Name ? game_->news() : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override { return {}; }
  QAccessible::Role role() const override { return QAccessible::Notification; }
  QAccessible::State state() const override {
    QAccessible::State s;
    s.invalid = game_.isNull();
    return s;
  }

 private:
  QPointer<Accessibility> game_;
};

}  // namespace

QStringList newsBetween(const Scene& was, const Scene& is) {
  QStringList news;
  // Nothing is news behind the welcome panel, nor the game coming into view.
  if (!was.shown || !is.shown) return news;
  const auto spinning = [](const Scene& s) {
    return std::find(s.spinning.begin(), s.spinning.end(), true) != s.spinning.end();
  };
  if (spinning(was) && !spinning(is))
    news << QStringLiteral("Барабаны: %1, %2, %3").arg(is.reels[0], is.reels[1], is.reels[2]);
  const double rings = leadingNumber(is.prize);
  if (rings > leadingNumber(was.prize)) news << QStringLiteral("Выигрыш: %1").arg(is.prize);
  // While rings are still counted into the money, the money is not news
  // until the last one: the transfer is heard once, at its end.
  if (is.money != was.money && rings <= 0) {
    const bool amount = leadingNumber(is.money) != 0 || is.money.trimmed().startsWith(u'0');
    news << (amount ? QStringLiteral("Деньги: %1").arg(is.money) : is.money);
  }
  return news;
}

Scene Accessibility::scene() const {
  Scene s;
  s.shown = seen(form_.LabelCredit);
  s.money = fromUtf8(form_.LabelCredit.caption());
  s.prize = fromUtf8(form_.LabelPrize.caption());
  for (const Item& item : items_) {
    if (item.kind != Item::Kind::Reel) continue;
    const auto n = static_cast<std::size_t>(item.reel - 1);
    const Told t = now(item);
    s.reels[n] = t.name;
    s.spinning[n] = t.busy;
  }
  return s;
}

void Accessibility::gatherNews() {
  Scene is = scene();
  if (is == heard_) return;
  pending_ << newsBetween(heard_, is);
  heard_ = std::move(is);
  // The moments of a spin come close together (the last reel stops and the
  // prize is found a tick later): what comes within a short while is told
  // as one message, so that none cuts another short.
  if (!pending_.isEmpty() && !newsTimer_.isActive()) newsTimer_.start(kNewsGatherMs);
}

void Accessibility::tellNews() {
  if (pending_.isEmpty()) return;
  news_ = pending_.join(QStringLiteral(". "));
  pending_.clear();
  if (newsId_ == 0) newsId_ = QAccessible::registerAccessibleInterface(new NewsNode(*this));
  QAccessibleEvent shown(QAccessible::accessibleInterface(newsId_), QAccessible::ObjectShow);
  send(shown);
}

}  // namespace window
