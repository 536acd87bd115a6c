// SPDX-License-Identifier: GPL-3.0-or-later
// Mouse, keyboard and pointers: input reaches only the topmost control that
// takes it, and becomes events for the game.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMouseEvent>

#include "tests/qt/window_bench.h"

namespace {

using bench::Delivered;
using rt::Event;

void click(bench::Bench& b, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
  // The widget under the point takes the click, as on screen.
  QWidget* target = b.window.childAt(pos);
  if (target == nullptr) target = &b.window;
  QTest::mouseClick(target, button, {}, target->mapFrom(&b.window, pos));
}

QPoint centre(bench::Bench& b, std::string_view name) {
  return b.rectOf(name).center();
}

TEST(WindowInput, WhileTheWelcomePanelIsUpOnlyItsButtonAnswers) {
  bench::Bench b;
  b.f.LabelCredit.setCaption("50");  // "Новая игра" would put back 100
  b.repaint();
  for (std::string_view name : {"LabelInsertCoin", "Command1", "Label4", "Image12"}) {
    click(b, centre(b, name));
    EXPECT_TRUE(b.delivered.empty()) << name;
  }
  EXPECT_EQ("50", b.f.LabelCredit.caption());
  EXPECT_TRUE(b.f.LabelInsertCoin.enabled());

  click(b, centre(b, "Command2"));
  EXPECT_EQ(std::vector<Delivered>({{"Command2", Event::Click}}), b.delivered);
  EXPECT_FALSE(b.f.Frame4.visible());
  EXPECT_FALSE(b.window.widgetOf(b.f.Frame4)->isVisible());
}

TEST(WindowInput, ClicksOnTheGame) {
  bench::Bench b;
  b.dismissWelcome();
  struct Case {
    const char* what;
    QPoint pos;
    Qt::MouseButton button;
    std::vector<Delivered> expected;
    const char* money;  // afterwards
  };
  const std::vector<Delivered> none;
  const std::vector<Case> cases = {
      // Controls without handlers get their events, and nothing happens.
      {"the plate around the slot",
       {292, 288},
       Qt::LeftButton,
       {{"Label3", Event::MouseDown}, {"Label3", Event::MouseUp}, {"Label3", Event::Click}},
       "100"},
      {"the plate inside the inner rectangle: the shape takes no mouse",
       {300, 288},
       Qt::LeftButton,
       {{"Label3", Event::MouseDown}, {"Label3", Event::MouseUp}, {"Label3", Event::Click}},
       "100"},
      {"the prize table over the generator label",
       {455, 260},
       Qt::LeftButton,
       {{"Label4", Event::MouseDown}, {"Label4", Event::MouseUp}, {"Label4", Event::Click}},
       "100"},
      {"the title strip over the title",
       {500, 20},
       Qt::LeftButton,
       {{"Label1", Event::MouseDown}, {"Label1", Event::MouseUp}, {"Label1", Event::Click}},
       "100"},
      {"the money field", {100, 312}, Qt::LeftButton, none, "100"},
      {"the slot, right button: no click",
       {308, 288},
       Qt::RightButton,
       {{"LabelInsertCoin", Event::MouseDown}, {"LabelInsertCoin", Event::MouseUp}},
       "100"},
      {"the open slot: a coin",
       {308, 288},
       Qt::LeftButton,
       {{"LabelInsertCoin", Event::MouseDown},
        {"LabelInsertCoin", Event::MouseUp},
        {"LabelInsertCoin", Event::Click}},
       "95"},
      {"the closed slot takes nothing", {308, 288}, Qt::LeftButton, none, "95"},
      {"Новая игра", centre(b, "Command1"), Qt::LeftButton, {{"Command1", Event::Click}}, "100"},
  };
  for (const Case& c : cases) {
    b.delivered.clear();
    click(b, c.pos, c.button);
    EXPECT_EQ(c.expected, b.delivered) << c.what;
    EXPECT_EQ(c.money, b.f.LabelCredit.caption()) << c.what;
  }
}

TEST(WindowInput, PressOnTheSlotAndReleaseElsewhereIsNoCoin) {
  bench::Bench b;
  b.dismissWelcome();
  QTest::mousePress(&b.window, Qt::LeftButton, {}, {308, 288});
  QTest::mouseRelease(&b.window, Qt::LeftButton, {}, {292, 288});
  EXPECT_EQ(std::vector<Delivered>(
                {{"LabelInsertCoin", Event::MouseDown}, {"LabelInsertCoin", Event::MouseUp}}),
            b.delivered);
  EXPECT_EQ("100", b.f.LabelCredit.caption());
  EXPECT_TRUE(b.f.LabelInsertCoin.enabled());
}

TEST(WindowInput, KeyboardFocusAndActivation) {
  bench::Bench b;
  QWidget* command1 = b.window.widgetOf(b.f.Command1);
  QWidget* command2 = b.window.widgetOf(b.f.Command2);
  // The focus starts on "Новая игра", hidden under the panel.
  EXPECT_EQ(command1, QApplication::focusWidget());
  struct Step {
    int key;
    QWidget* focusAfter;
  };
  for (const Step& s : {Step{Qt::Key_Tab, command2}, Step{Qt::Key_Tab, command1},
                        Step{Qt::Key_Backtab, command2}, Step{Qt::Key_Backtab, command1}}) {
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(s.key));
    EXPECT_EQ(s.focusAfter, QApplication::focusWidget());
  }

  // Space presses the focused button, though nobody can see it.
  b.f.LabelCredit.setCaption("20");
  QTest::keyClick(command1, Qt::Key_Space);
  EXPECT_EQ(std::vector<Delivered>({{"Command1", Event::Click}}), b.delivered);
  EXPECT_EQ("100", b.f.LabelCredit.caption());

  // Enter presses it too; the panel goes and the focus stays on the one
  // button left.
  QTest::keyClick(command1, Qt::Key_Tab);
  b.delivered.clear();
  QTest::keyClick(command2, Qt::Key_Return);
  EXPECT_EQ(std::vector<Delivered>({{"Command2", Event::Click}}), b.delivered);
  EXPECT_FALSE(b.f.Frame4.visible());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(command1, QApplication::focusWidget());
  QTest::keyClick(command1, Qt::Key_Tab);
  EXPECT_EQ(command1, QApplication::focusWidget());
}

// The pointer the window shows at `pos` once the mouse has moved there.
QPoint hotSpotAt(bench::Bench& b, QPoint pos) {
  QWidget* w = b.window.childAt(pos);
  if (w == nullptr) {
    QMouseEvent move(QEvent::MouseMove, pos, b.window.mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&b.window, &move);
    w = &b.window;
  }
  return w->cursor().hotSpot();
}

TEST(WindowInput, PointersFollowTheControlUnderThem) {
  bench::Bench b;
  const QPoint window(0, 0), button(13, 1), coin(24, 24);
  EXPECT_EQ(button, hotSpotAt(b, centre(b, "Command2")));
  EXPECT_EQ(window, hotSpotAt(b, centre(b, "Label2"))) << "the panel";
  EXPECT_EQ(window, hotSpotAt(b, {3, 3})) << "the margin";
  b.dismissWelcome();

  struct Case {
    const char* what;
    QPoint pos;
    QPoint hotSpot;
  };
  const Case open[] = {
      {"the open coin slot", {308, 288}, coin},
      {"the plate", {292, 288}, window},
      {"Новая игра", centre(b, "Command1"), button},
      {"a frame", centre(b, "Frame3"), window},
      {"the reels", {100, 100}, window},
      {"the slot's corner", {312, 312}, coin},
  };
  for (const Case& c : open) EXPECT_EQ(c.hotSpot, hotSpotAt(b, c.pos)) << c.what;

  // A closed slot takes no mouse input and shows the window's pointer.
  b.f.LabelInsertCoin.setEnabled(false);
  b.repaint();
  EXPECT_EQ(window, hotSpotAt(b, {308, 288}));
  b.f.LabelInsertCoin.setEnabled(true);
  b.repaint();
  EXPECT_EQ(coin, hotSpotAt(b, {308, 288}));
}

}  // namespace

namespace {

// The pointer follows a change under a mouse that does not move: the slot
// closing and opening beneath it, and nothing once the mouse has left.
TEST(WindowInput, PointerFollowsTheSlotUnderAStillMouse) {
  bench::Bench b;
  b.dismissWelcome();
  const QPoint window(0, 0), coin(24, 24), slot(308, 288);
  ASSERT_EQ(coin, hotSpotAt(b, slot));

  struct Step {
    const char* what;
    bool open;
    bool left;
    QPoint hotSpot;
  };
  const Step steps[] = {
      {"the slot closes", false, false, window},
      {"the slot opens", true, false, coin},
      {"the mouse leaves, the slot closes", false, true, window},
      {"the slot opens behind the gone mouse", true, true, window},
  };
  for (const Step& s : steps) {
    if (s.left) {
      QEvent leave(QEvent::Leave);
      QApplication::sendEvent(&b.window, &leave);
    }
    b.f.LabelInsertCoin.setEnabled(s.open);
    b.repaint();
    EXPECT_EQ(s.hotSpot, b.window.cursor().hotSpot()) << s.what;
  }
}

}  // namespace

// Presses and releases the left button at the exact window position `pos`,
// as a screen of fractional scale reports it.
void clickAt(bench::Bench& b, QPointF pos) {
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent e(type, pos, b.window.mapToGlobal(pos), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(&b.window, &e);
  }
}

TEST(WindowInput, ClicksLandOnTheDrawnPixelsAtAnyScale) {
  // Run again by ctest at the scales 1.25, 1.5 and 2: the coin slot takes
  // exactly the clicks on the screen pixels it is drawn on, and its plate
  // ends at its bevel's lines, as thick as a window pixel there.
  bench::Bench b;
  b.dismissWelcome();
  const qreal dpr = b.window.devicePixelRatioF();
  const QImage screen = b.window.grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QPoint mid(std::lround(centre(b, "LabelInsertCoin").x() * dpr),
                   std::lround(centre(b, "LabelInsertCoin").y() * dpr));
  const QRgb black = qRgb(0, 0, 0);
  ASSERT_EQ(black, screen.pixel(mid));
  // The slot's drawn pixels: the black run through its centre (the plate's
  // grey lies around it).
  QRect drawn(mid, mid);
  while (screen.pixel(drawn.left() - 1, mid.y()) == black) drawn.setLeft(drawn.left() - 1);
  while (screen.pixel(drawn.right() + 1, mid.y()) == black) drawn.setRight(drawn.right() + 1);
  while (screen.pixel(mid.x(), drawn.top() - 1) == black) drawn.setTop(drawn.top() - 1);
  while (screen.pixel(mid.x(), drawn.bottom() + 1) == black) drawn.setBottom(drawn.bottom() + 1);

  struct Case {
    QPoint pixel;
    bool coin;
  };
  const Case cases[] = {{drawn.topLeft(), true},
                        {drawn.bottomRight(), true},
                        {{drawn.left() - 1, mid.y()}, false},
                        {{drawn.right() + 1, mid.y()}, false},
                        {{mid.x(), drawn.top() - 1}, false},
                        {{mid.x(), drawn.bottom() + 1}, false}};
  for (const Case& c : cases) {
    // Anywhere within the screen pixel: its near edge and its far side.
    for (qreal within : {0.0, 0.9}) {
      b.f.LabelInsertCoin.setEnabled(true);
      b.delivered.clear();
      clickAt(b, (QPointF(c.pixel) + QPointF(within, within)) / dpr);
      const bool coin = !b.delivered.empty() && b.delivered.front().control == "LabelInsertCoin";
      EXPECT_EQ(c.coin, coin) << "screen pixel " << c.pixel.x() << "," << c.pixel.y() << " + "
                              << within << " at " << dpr;
    }
  }

  // "Новая игра" takes the clicks on its last column and row of pixels too.
  const QRect g = b.window.widgetOf(b.f.Command1)->geometry();
  const QPoint last(std::lround((g.right() + 1) * dpr) - 1,
                    std::lround((g.bottom() + 1) * dpr) - 1);
  const QPoint middle(std::lround(g.center().x() * dpr), std::lround(g.center().y() * dpr));
  for (const Case& c : {Case{{last.x(), middle.y()}, true}, Case{{middle.x(), last.y()}, true},
                        Case{{last.x() + 1, middle.y()}, false}}) {
    b.delivered.clear();
    clickAt(b, (QPointF(c.pixel) + QPointF(0.9, 0.9)) / dpr);
    EXPECT_EQ(c.coin, b.delivered == std::vector<Delivered>({{"Command1", Event::Click}}))
        << "screen pixel " << c.pixel.x() << "," << c.pixel.y() << " of Новая игра at " << dpr;
  }

  // The bevel's right line ends the plate: the last pixels before the
  // window's background are black, a whole window pixel of them.
  const QColor background(128, 128, 255);
  int x = drawn.right() + 1;
  while (screen.pixelColor(x, mid.y()) != background) ++x;
  int thick = 0;
  while (screen.pixel(x - 1 - thick, mid.y()) == black) ++thick;
  EXPECT_GE(thick, static_cast<int>(dpr)) << "the plate shows beyond its bevel, at " << dpr;
}
