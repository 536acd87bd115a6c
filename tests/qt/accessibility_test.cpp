// SPDX-License-Identifier: GPL-3.0-or-later
// The game as a screen reader finds it through Qt's accessibility interfaces:
// what is there to read, what it says, the coin slot's press, and the events
// that tell a reader what a handler changed.
#include "window/qt/accessibility.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <array>

#include "description/form1.h"
#include "window/qt/host.h"

// Texts in failure messages as text, not as code units.
inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

QString q(const char* utf8) {
  return QString::fromUtf8(utf8);
}

struct ReadGame {
  rt::FixedSeedClock seed{20041218};
  window::PictureService pictures;
  window::Host host{seed, pictures};
  game::Form1& f = host.machine().form();
  std::vector<std::pair<std::string, rt::Event>> delivered;

  ReadGame() {
    host.setObserver([this](rt::Control& c, rt::Event e) { delivered.emplace_back(c.name(), e); });
    host.start();
    (void)QTest::qWaitForWindowExposed(&host.window());
    host.timers().stopAll();  // only the events sent here
  }

  QAccessibleInterface* window() { return QAccessible::queryAccessibleInterface(&host.window()); }
  void dismissWelcome() {
    host.deliver(f.Command2, rt::Event::Click);
    delivered.clear();
  }
  void rig(std::initializer_list<float> draws) {
    for (float r : draws) host.machine().random().rig(r);
  }

  // Everything a reader can reach from the window, depth first.
  std::vector<QAccessibleInterface*> all() {
    std::vector<QAccessibleInterface*> found;
    std::vector<QAccessibleInterface*> open{window()};
    while (!open.empty()) {
      QAccessibleInterface* node = open.back();
      open.pop_back();
      found.push_back(node);
      for (int i = node->childCount() - 1; i >= 0; --i) open.push_back(node->child(i));
    }
    return found;
  }
  QAccessibleInterface* find(QAccessible::Role role, const QString& name) {
    for (QAccessibleInterface* node : all())
      if (node->role() == role && node->text(QAccessible::Name) == name) return node;
    return nullptr;
  }
  QAccessibleInterface* field(const char* name) { return find(QAccessible::EditableText, q(name)); }
  QAccessibleInterface* slot() { return find(QAccessible::Button, q("Кольцеприёмник")); }
  QAccessibleInterface* reel(int n) {
    for (QAccessibleInterface* node : all())
      if (node->text(QAccessible::Description) == QStringLiteral("Барабан %1").arg(n)) return node;
    return nullptr;
  }
  QStringList reelNames() {
    QStringList names;
    for (int n = 1; n <= 3; ++n) names << (reel(n) ? reel(n)->text(QAccessible::Name) : "(none)");
    return names;
  }
  QString textOf(QAccessibleInterface* node) {
    QAccessibleTextInterface* text = node ? node->textInterface() : nullptr;
    return text ? text->text(0, text->characterCount()) : QString("(no text)");
  }
  bool press() {
    QAccessibleInterface* s = slot();
    if (s == nullptr) return false;
    s->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    return true;
  }
};

TEST(Accessibility, SymbolNamesComeFromThePrizeTableText) {
  std::string_view table;
  for (const rt::ControlSpec& c : description::form1Controls())
    if (c.name == "Label4") table = c.caption;
  const std::array<QString, 10> names = window::symbolNames(table);
  EXPECT_THAT(names, ElementsAre(q("Кольцо"), "Bar", "Spin", q("Тиво"), q("Велси"), q("Дрогнар"),
                                 q("Лирвен"), q("Бримон"), q("Зента"), q("Изумруд")));

  struct Case {
    const char* text;
    int symbol;
    const char* name;
  };
  const Case cases[] = {
      // A line pays by its award: x500 is the three of a kind of symbol 9.
      {"Камень Камень Камень = х500", 9, "Камень"},
      // Lines that are no three of a kind, or pay what no rule pays, name nothing.
      {"Камень Камень = х500", 9, "9"},
      {"Камень Камень Кольцо = х500", 9, "9"},
      {"Камень Камень Камень = х999", 9, "9"},
      {"Камень Камень Камень = x500", 9, "9"},  // a Latin x
      {"", 0, "0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(q(c.name), window::symbolNames(c.text)[static_cast<std::size_t>(c.symbol)]) << c.text;
  }
}

TEST(Accessibility, CaptionsAreSpokenLineByLine) {
  struct Case {
    const char* caption;
    const char* spoken;
  };
  const Case cases[] = {
      {"100", "100"},
      {"Game Over!", "Game Over!"},
      {"    $", "$"},
      {"Вердолин,     18 декабря 2004 года.", "Вердолин,\n18 декабря 2004 года."},
      {"ТАБЛИЦА ВЫИГРЫШЕЙ    Кольцо = х1", "ТАБЛИЦА ВЫИГРЫШЕЙ\nКольцо = х1"},
      {"по\nадресу      !!!!! KESTRANO", "по\nадресу\n!!!!! KESTRANO"},
      {"посетить ", "посетить"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(q(c.spoken), window::spokenText(c.caption)) << c.caption;
}

TEST(Accessibility, UnderTheWelcomePanelOnlyThePanelIsThere) {
  ReadGame g;
  QAccessibleInterface* w = g.window();
  EXPECT_EQ(QAccessible::Window, w->role());
  EXPECT_EQ(q("Zarnovik (ZRNV) v. 1.0"), w->text(QAccessible::Name));
  // The panel, and "Новая игра" beneath it only because it has the keyboard
  // focus: a key press presses it, and a reader says so.
  ASSERT_EQ(2, w->childCount());
  QAccessibleInterface* panel = g.find(QAccessible::Pane, QString());
  ASSERT_NE(nullptr, panel);
  QAccessibleInterface* newGame = g.find(QAccessible::Button, q("Новая игра"));
  ASSERT_NE(nullptr, newGame);
  EXPECT_TRUE(newGame->text(QAccessible::Description).contains(q("Пробел")))
      << newGame->text(QAccessible::Description).toStdString();
  // The window says the welcome text and the keys.
  EXPECT_TRUE(w->text(QAccessible::Description).startsWith(q("Приветствуем!")));
  EXPECT_TRUE(w->text(QAccessible::Description).contains(q("Клавиша C")));
  QStringList inside;
  for (int i = 0; i < panel->childCount(); ++i) inside << panel->child(i)->text(QAccessible::Name);
  ASSERT_EQ(3, inside.size());
  EXPECT_TRUE(inside[0].startsWith(q("Приветствуем!"))) << inside[0].toStdString();
  EXPECT_EQ(q("brimonfan.ru"), inside[1]);
  EXPECT_TRUE(inside[2].startsWith(q("Я буду рад"))) << inside[2].toStdString();

  EXPECT_EQ(nullptr, g.field("Деньги"));
  EXPECT_EQ(nullptr, g.slot());
  // The keyboard focus stays where the game puts it, on "Новая игра".
  EXPECT_EQ(g.host.window().widgetOf(g.f.Command1), QApplication::focusWidget());
  // Nor can the slot be pressed through a stale reference.
  EXPECT_FALSE(g.host.accessibility().pressCoinSlot());
  EXPECT_THAT(g.delivered, IsEmpty());
}

TEST(Accessibility, WhatASightedPlayerSeesAndNothingElse) {
  ReadGame g;
  g.dismissWelcome();
  std::map<QAccessible::Role, QStringList> byRole;
  for (QAccessibleInterface* node : g.all()) {
    if (node == g.window()) continue;
    byRole[node->role()] << node->text(QAccessible::Name).section('\n', 0, 0);
    // Every child knows its parent, and the parent its child.
    QAccessibleInterface* parent = node->parent();
    ASSERT_NE(nullptr, parent) << node->text(QAccessible::Name).toStdString();
    const int index = parent->indexOfChild(node);
    ASSERT_GE(index, 0) << node->text(QAccessible::Name).toStdString();
    EXPECT_EQ(node, parent->child(index));
    EXPECT_FALSE(node->state().invisible) << node->text(QAccessible::Name).toStdString();
    EXPECT_TRUE(g.window()->rect().contains(node->rect()))
        << node->text(QAccessible::Name).toStdString();
  }
  EXPECT_THAT(byRole[QAccessible::Grouping],
              ElementsAre(q("Выигрыш"), q("Деньги"), q("Правила игры")));
  EXPECT_THAT(byRole[QAccessible::EditableText], ElementsAre(q("Выигрыш"), q("Деньги")));
  EXPECT_THAT(byRole[QAccessible::Button], ElementsAre(q("Кольцеприёмник"), q("Новая игра")));
  // The three reels, then the title picture and the logos down the right.
  EXPECT_THAT(byRole[QAccessible::Graphic],
              ElementsAre(q("Бримон"), q("Бримон"), q("Бримон"),
                          q("Новогодняя картинка: Велси, Дрогнар, Лирвен и Бримон в праздничных "
                            "костюмах, с подарком, у их ног двое Тиво"),
                          q("Логотип KESTRANO"), q("Логотип SNEGIR"), q("Сияние на голубом фоне")));
  // The units beside the fields, the rules with the address that ends them,
  // the prize table and the credit line; not the generator label beneath
  // the prize table, nor the welcome texts.
  const QStringList texts = byRole[QAccessible::StaticText];
  ASSERT_EQ(6, texts.size()) << texts.join(" | ").toStdString();
  EXPECT_EQ(q("колец"), texts[0]);
  EXPECT_EQ(q("$"), texts[1]);
  EXPECT_TRUE(texts[2].startsWith(q("Опускайте кольца"))) << texts[2].toStdString();
  EXPECT_TRUE(texts[2].endsWith(q("не забудьте посетить"))) << texts[2].toStdString();
  EXPECT_EQ((QStringList{q("brimonfan.ru"), q("ТАБЛИЦА ВЫИГРЫШЕЙ"), q("Вердолин,")}), texts.mid(3));
  EXPECT_EQ(q("100"), g.textOf(g.field("Деньги")));
  EXPECT_EQ(q("0"), g.textOf(g.field("Выигрыш")));
  EXPECT_TRUE(g.field("Деньги")->state().readOnly);
}

TEST(Accessibility, ReelsAreNamedByWhatTheyShowAndSpinInBetween) {
  struct Case {
    float r1, r2, r3;
    QStringList names;
  };
  const Case cases[] = {
      {0.05f, 0.15f, 0.25f, {q("Кольцо"), "Bar", "Spin"}},
      {0.35f, 0.45f, 0.55f, {q("Тиво"), q("Велси"), q("Дрогнар")}},
      {0.65f, 0.85f, 0.95f, {q("Лирвен"), q("Зента"), q("Изумруд")}},
      {0.75f, 0.75f, 0.75f, {q("Бримон"), q("Бримон"), q("Бримон")}},
  };
  for (const Case& c : cases) {
    ReadGame g;
    g.dismissWelcome();
    g.rig({c.r1, c.r2, c.r3});
    ASSERT_TRUE(g.press());
    EXPECT_EQ((QStringList{q("Вращается"), q("Вращается"), q("Вращается")}), g.reelNames());
    EXPECT_TRUE(g.reel(1)->state().busy);
    for (int n = 1; n <= 3; ++n) {
      g.host.deliver(g.f.Timer2, rt::Event::Timer);
      QStringList expected = c.names.mid(0, n);
      while (expected.size() < 3) expected << q("Вращается");
      EXPECT_EQ(expected, g.reelNames()) << "after stop " << n;
    }
    EXPECT_FALSE(g.reel(3)->state().busy);
  }
}

TEST(Accessibility, TheCoinSlotIsPressedLikeAMouseClick) {
  ReadGame g;
  g.dismissWelcome();
  QAccessibleInterface* slot = g.slot();
  ASSERT_NE(nullptr, slot);
  EXPECT_EQ(QStringList{QAccessibleActionInterface::pressAction()},
            slot->actionInterface()->actionNames());
  EXPECT_FALSE(slot->state().focusable);
  EXPECT_FALSE(slot->state().disabled);

  ASSERT_TRUE(g.press());
  const std::vector<std::pair<std::string, rt::Event>> click{
      {"LabelInsertCoin", rt::Event::MouseDown},
      {"LabelInsertCoin", rt::Event::MouseUp},
      {"LabelInsertCoin", rt::Event::Click}};
  EXPECT_EQ(click, g.delivered);
  EXPECT_EQ(q("95"), g.textOf(g.field("Деньги")));

  // Closed while the reels turn: the slot says so, and a press does nothing.
  EXPECT_TRUE(slot->state().disabled);
  g.delivered.clear();
  ASSERT_TRUE(g.press());
  EXPECT_THAT(g.delivered, IsEmpty());
  EXPECT_EQ(q("95"), g.textOf(g.field("Деньги")));

  // Open again after the third stop.
  for (int n = 0; n < 3; ++n) g.host.deliver(g.f.Timer2, rt::Event::Timer);
  EXPECT_FALSE(slot->state().disabled);
}

TEST(Accessibility, GameOverIsReadAndClosesTheSlot) {
  ReadGame g;
  g.dismissWelcome();
  g.f.LabelCredit.setCaption("0");
  g.f.Timer3.setEnabled(true);
  g.host.deliver(g.f.Timer3, rt::Event::Timer);
  EXPECT_EQ(q("Game Over!"), g.textOf(g.field("Деньги")));
  EXPECT_TRUE(g.slot()->state().disabled);
  g.host.deliver(g.f.Command1, rt::Event::Click);
  EXPECT_EQ(q("100"), g.textOf(g.field("Деньги")));
  EXPECT_FALSE(g.slot()->state().disabled);
}

// What a reader is told, one line an event: "name: what".
class Told {
 public:
  explicit Told(window::Accessibility& a) {
    a.setListener([this](QAccessibleEvent* event) { record(event); });
  }
  // The events since the last call.
  QStringList take() { return std::exchange(heard_, {}); }

 private:
  void record(QAccessibleEvent* event) {
    QAccessibleInterface* iface = event->accessibleInterface();
    ASSERT_NE(nullptr, iface);
    const QString name = iface->text(QAccessible::Name).section('\n', 0, 0);
    switch (event->type()) {
      case QAccessible::TextInserted:
        heard_ << name + ": +" + static_cast<QAccessibleTextInsertEvent*>(event)->textInserted();
        break;
      case QAccessible::TextRemoved:
        heard_ << name + ": -" + static_cast<QAccessibleTextRemoveEvent*>(event)->textRemoved();
        break;
      case QAccessible::NameChanged:
        heard_ << iface->text(QAccessible::Description) + ": " + name;
        break;
      case QAccessible::StateChanged:
        if (static_cast<QAccessibleStateChangeEvent*>(event)->changedStates().disabled)
          heard_ << name + (iface->state().disabled ? ": closed" : ": open");
        break;
      case QAccessible::ObjectShow:
        heard_ << name + ": shown";
        break;
      case QAccessible::ObjectHide:
        heard_ << name + ": hidden";
        break;
      default:
        break;
    }
  }
  QStringList heard_;
};

TEST(Accessibility, ReadersAreToldWhatEachHandlerChanged) {
  ReadGame g;
  Told told(g.host.accessibility());
  g.dismissWelcome();
  const QStringList shown = told.take();
  // The panel goes; the game beneath it comes into view.
  EXPECT_TRUE(shown.contains(": hidden")) << shown.join(" | ").toStdString();
  for (const char* appears : {"Бримон: shown", "Выигрыш: shown", "Деньги: shown",
                              "Кольцеприёмник: shown", "Новая игра: shown"})
    EXPECT_TRUE(shown.contains(q(appears))) << appears;
  EXPECT_EQ(3, shown.count(q("Бримон: shown")));

  g.rig({0.75f, 0.75f, 0.05f});  // two Бримоны: 5 rings
  g.press();
  EXPECT_EQ(
      (QStringList{q("Барабан 1: Вращается"), q("Барабан 2: Вращается"), q("Барабан 3: Вращается"),
                   q("Кольцеприёмник: closed"), q("Деньги: -100"), q("Деньги: +95")}),
      told.take());

  // The blink of the title strip and the spin flicker change nothing a
  // reader is told.
  g.f.Timer1.setEnabled(true);
  g.host.deliver(g.f.Timer1, rt::Event::Timer);
  g.host.deliver(g.f.Timer5, rt::Event::Timer);
  EXPECT_THAT(told.take(), IsEmpty());

  g.host.deliver(g.f.Timer2, rt::Event::Timer);
  g.host.deliver(g.f.Timer2, rt::Event::Timer);
  EXPECT_EQ((QStringList{q("Барабан 1: Бримон"), q("Барабан 2: Бримон")}), told.take());
  g.host.deliver(g.f.Timer2, rt::Event::Timer);
  EXPECT_EQ((QStringList{q("Барабан 3: Кольцо"), q("Кольцеприёмник: open")}), told.take());
  g.host.deliver(g.f.Timer3, rt::Event::Timer);
  EXPECT_EQ((QStringList{q("Выигрыш: -0"), q("Выигрыш: +5"), q("Кольцеприёмник: closed")}),
            told.take());

  // The win flash shows over the reels: they stay, and nothing is told of it.
  g.host.deliver(g.f.Timer4, rt::Event::Timer);
  ASSERT_TRUE(g.f.ImageEmpty.visible());
  EXPECT_EQ((QStringList{q("Выигрыш: -5"), q("Выигрыш: +4"), q("Кольцеприёмник: open"),
                         q("Деньги: -95"), q("Деньги: +100")}),
            told.take());
  EXPECT_EQ((QStringList{q("Бримон"), q("Бримон"), q("Кольцо")}), g.reelNames());
}

TEST(Accessibility, AReaderThatComesLateHearsOnlyWhatChangesAfterwards) {
  ReadGame g;
  g.dismissWelcome();
  g.rig({0.35f, 0.45f, 0.55f});
  g.press();  // nobody listens: nothing is compared or told
  Told told(g.host.accessibility());
  EXPECT_THAT(told.take(), IsEmpty());
  g.host.deliver(g.f.Timer2, rt::Event::Timer);
  EXPECT_EQ(QStringList{q("Барабан 1: Тиво")}, told.take());
}

}  // namespace

TEST(Accessibility, NewsIsWhatAPlayerMustHearOfEachMoment) {
  using window::Scene;
  const auto scene = [](const char* money, const char* prize, std::array<bool, 3> spinning,
                        bool shown = true) {
    Scene s{shown, q(money), q(prize), {q("Бримон"), q("Бримон"), q("Кольцо")}, spinning};
    for (std::size_t i = 0; i < 3; ++i)
      if (spinning[i]) s.reels[i] = q("Вращается");
    return s;
  };
  constexpr std::array<bool, 3> still{}, lastSpins{false, false, true}, all{true, true, true};
  struct Case {
    const char* moment;
    Scene was, is;
    QStringList news;
  };
  const Case cases[] = {
      {"a coin", scene("100", "0", still), scene("95", "0", all), {q("Деньги: 95")}},
      {"a reel stops, others spin", scene("95", "0", all), scene("95", "0", lastSpins), {}},
      {"the last reel stops",
       scene("95", "0", lastSpins),
       scene("95", "0", still),
       {q("Барабаны: Бримон, Бримон, Кольцо")}},
      {"a prize", scene("95", "0", still), scene("95", "5", still), {q("Выигрыш: 5")}},
      {"a ring counted", scene("95", "5", still), scene("100", "4", still), {}},
      {"a coin while rings are counted", scene("100", "4", still), scene("95", "4", all), {}},
      {"the last ring", scene("115", "1", still), scene("120", "0", still), {q("Деньги: 120")}},
      {"the money down to nothing", scene("5", "0", still), scene("0", "0", all), {q("Деньги: 0")}},
      {"the game over", scene("0", "0", still), scene("Game Over!", "0", still), {q("Game Over!")}},
      {"Новая игра", scene("Game Over!", "0", still), scene("100", "0", still), {q("Деньги: 100")}},
      {"behind the welcome panel",
       scene("20", "0", still, false),
       scene("100", "0", still, false),
       {}},
      {"the game coming into view", scene("100", "0", still, false), scene("100", "0", still), {}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.news, window::newsBetween(c.was, c.is)) << c.moment;
}

TEST(Accessibility, TheCoinKeyPlaysASpinAndItsNewsIsToldAsANotification) {
  ReadGame g;
  Told told(g.host.accessibility());
  // The news of a moment is gathered for a short while, then told: the next
  // message, and whether it went out as a notification shown.
  const auto news = [&] {
    const QString before = g.host.accessibility().news();
    (void)QTest::qWaitFor([&] { return g.host.accessibility().news() != before; }, 5000);
    const QString told_ = g.host.accessibility().news();
    return told.take().contains(told_ + ": shown") ? told_ : QString("(not shown) ") + told_;
  };
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_C);  // beneath the welcome panel
  EXPECT_THAT(g.delivered, IsEmpty());
  g.dismissWelcome();

  g.rig({0.75f, 0.75f, 0.05f});  // two Бримоны: 5 rings
  {
    // The same key on a Russian layout: Cyrillic С.
    QKeyEvent es(QEvent::KeyPress, 0x0421, Qt::NoModifier, QString(QChar(0x0421)));
    QApplication::sendEvent(QApplication::focusWidget(), &es);
  }
  using E = rt::Event;
  EXPECT_EQ((std::vector<std::pair<std::string, E>>{{"LabelInsertCoin", E::MouseDown},
                                                    {"LabelInsertCoin", E::MouseUp},
                                                    {"LabelInsertCoin", E::Click}}),
            g.delivered);
  EXPECT_EQ(q("Деньги: 95"), news());
  // The slot is shut while the reels spin: the key drops nothing.
  g.delivered.clear();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_C);
  EXPECT_THAT(g.delivered, IsEmpty());

  for (int stop = 0; stop < 3; ++stop) g.host.deliver(g.f.Timer2, rt::Event::Timer);
  g.host.deliver(g.f.Timer3, rt::Event::Timer);
  EXPECT_EQ(q("Барабаны: Бримон, Бримон, Кольцо. Выигрыш: 5"), news());
  for (int ring = 0; ring < 6; ++ring) g.host.deliver(g.f.Timer4, rt::Event::Timer);
  EXPECT_EQ(q("Деньги: 120"), news());
  // A reader reviewing the window reads a reel's text afresh: one width,
  // whatever the symbol.
  EXPECT_EQ(g.textOf(g.reel(1)).size(), g.textOf(g.reel(3)).size());
  EXPECT_EQ(q("Кольцо"), g.textOf(g.reel(3)).trimmed());
}
