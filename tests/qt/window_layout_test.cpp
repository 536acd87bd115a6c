// SPDX-License-Identifier: GPL-3.0-or-later
// What the player sees: the window rendered, and pixels that prove the
// layout and the stacking of its controls.
#include <gtest/gtest.h>

#include "tests/qt/window_bench.h"

namespace {

const QColor kBackground(128, 128, 255);
const QColor kPanel(0, 0, 192);
const QColor kField(192, 192, 255);
const QColor kPlate(224, 224, 224);
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kPrizeTable(255, 192, 128);

QColor at(const QImage& image, int x, int y) {
  return image.pixelColor(x, y);
}

// The reel window is made of these images, all with their top-left at (8, 8).
const QRect kReelWindow(8, 8, 385, 225);

TEST(WindowLayout, WelcomePanelFramedByTheWindowBackground) {
  bench::Bench b;
  const QImage shot = b.render();
  bench::keep(shot, "window-start.png");
  ASSERT_EQ(QSize(676, 527), shot.size());

  struct Probe {
    int x, y;
    bool background;
    const char* where;
  };
  // Frame4 spans x 8..672 and y 8..520: 8 px of background left and top,
  // 3 px right, 6 px at the bottom.
  const Probe probes[] = {
      {0, 0, true, "top-left corner"},         {7, 300, true, "left margin"},
      {8, 300, false, "panel's left edge"},    {300, 7, true, "top margin"},
      {300, 8, false, "panel's top edge"},     {673, 300, true, "right margin"},
      {672, 300, false, "panel's right edge"}, {675, 526, true, "bottom-right corner"},
      {300, 521, true, "bottom margin"},       {300, 520, false, "panel's bottom edge"},
  };
  for (const Probe& p : probes) {
    EXPECT_EQ(p.background, at(shot, p.x, p.y) == kBackground) << p.where;
  }
  EXPECT_EQ(kPanel, at(shot, 12, 300)) << "the panel's own fill";
  EXPECT_EQ(QColor(0, 0, 255), at(shot, 660, 380)) << "the welcome text's background";
}

TEST(WindowLayout, WelcomePanelHidesEverythingBeneathIt) {
  bench::Bench b;
  const QRect panel = b.rectOf("Frame4");
  const QImage before = b.render();
  // Change, beneath the panel, most of what the game can show.
  b.f.ImageEmpty.setVisible(true);
  b.f.ImageNumber2.setVisible(false);
  b.f.Label1.setVisible(false);
  b.f.LabelCredit.setCaption("Game Over!");
  b.f.LabelPrize.setCaption("500");
  b.repaint();
  const QImage after = b.render();
  EXPECT_EQ(bench::region(before, panel), bench::region(after, panel));
  // Not a single black pixel of the coin slot shows through.
  const QRect slot = b.rectOf("LabelInsertCoin");
  for (int y = slot.top(); y <= slot.bottom(); ++y)
    for (int x = slot.left(); x <= slot.right(); ++x) ASSERT_NE(kBlack, at(after, x, y));
}

TEST(WindowLayout, AfterTheWelcomeButtonTheGameShows) {
  bench::Bench b;
  b.dismissWelcome();
  ASSERT_FALSE(b.f.Frame4.visible());
  const QImage shot = b.render();
  bench::keep(shot, "window-game.png");

  // Each reel shows its start picture, symbol 7 stretched to 129 x 225; reel
  // 2 covers reel 1's last column and reel 3 reel 2's.
  const QImage reel = b.art("symbol7", {129, 225});
  EXPECT_EQ(reel.copy(0, 0, 128, 225), bench::region(shot, {8, 8, 128, 225}));
  EXPECT_EQ(reel.copy(0, 0, 128, 225), bench::region(shot, {136, 8, 128, 225}));
  EXPECT_EQ(reel, bench::region(shot, {264, 8, 129, 225}));

  struct Probe {
    int x, y;
    QColor color;
    const char* what;
  };
  const Probe probes[] = {
      {308, 288, kBlack, "the coin slot"},
      {304, 264, kBlack, "the slot's top-left pixel"},
      {300, 288, kPlate, "the plate inside the inner rectangle"},
      {296, 288, kBlack, "the inner rectangle's left side"},
      {292, 288, kPlate, "the plate between the borders"},
      {288, 300, kBlack, "the plate's outer left edge"},
      {328, 300, kBlack, "the plate's outer right edge"},
      {292, 252, kBlack, "the top-left diagonal"},
      {200, 316, kField, "the money field"},
      {200, 268, kField, "the prize field"},
      {300, 460, kField, "the rules field"},
      {340, 515, kPrizeTable, "the prize table's last blank lines"},
      {600, 240, kBackground, "the uncovered strip of the symbol cover"},
      {3, 300, kBackground, "the window's background"},
  };
  for (const Probe& p : probes) EXPECT_EQ(p.color, at(shot, p.x, p.y)) << p.what;

  // "100" in the money field: text pixels at its left, none at its right.
  const QRect credit = b.rectOf("LabelCredit");
  int ink = 0;
  for (int y = credit.top(); y <= credit.bottom(); ++y)
    for (int x = credit.left(); x < credit.left() + 30; ++x) ink += at(shot, x, y) != kField;
  EXPECT_GT(ink, 20);
}

TEST(WindowLayout, TitleStripCoversTheHeadingWhileShown) {
  bench::Bench b;
  b.dismissWelcome();
  const QRect strip = b.rectOf("Label1");
  ASSERT_EQ(QRect(400, 8, 273, 33), strip);
  QImage white(strip.size(), QImage::Format_RGB32);
  white.fill(kWhite);
  EXPECT_EQ(white, bench::region(b.render(), strip));

  b.advance(250);  // the first tick hides the strip
  ASSERT_FALSE(b.f.Label1.visible());
  const QImage title = b.art("title", {273, 225});
  const QImage shown = bench::region(b.render(), strip);
  EXPECT_EQ(title.copy(0, 0, 273, 33), shown);
  EXPECT_NE(white, shown) << "the heading itself is not white";

  b.advance(250);
  EXPECT_EQ(white, bench::region(b.render(), strip));
}

TEST(WindowLayout, ReelWindowShowsTheTopmostVisibleLayer) {
  bench::Bench b;
  b.dismissWelcome();
  struct Step {
    const char* control;
    bool visible;
    const char* art;  // what the whole reel window then shows
  };
  // Hide the reels: spin picture 2; hide that too: spin picture 1; the win
  // flash covers whatever lies beneath.
  const Step steps[] = {
      {"ImageNumber1", false, nullptr}, {"ImageNumber2", false, nullptr},
      {"ImageNumber3", false, "spin2"}, {"ImageRotate2", false, "spin1"},
      {"ImageEmpty", true, "flash"},    {"ImageRotate2", true, "flash"},
      {"ImageEmpty", false, "spin2"},
  };
  for (const Step& s : steps) {
    b.f.control(s.control).setVisible(s.visible);
    b.repaint();
    if (!s.art) continue;
    const QImage shot = b.render();
    if (std::string_view(s.art) == "flash") bench::keep(shot, "window-flash.png");
    EXPECT_EQ(b.art(s.art, kReelWindow.size()), bench::region(shot, kReelWindow))
        << s.control << " -> " << s.art;
  }
}

TEST(WindowLayout, SymbolPicturesAndGeneratorNeverShow) {
  bench::Bench b;
  b.dismissWelcome();
  const QImage before = b.render();
  b.f.LabelGenerator.setCaption("9");
  b.f.control("Image7").setVisible(false);
  b.repaint();
  EXPECT_EQ(before, b.render());
}

TEST(WindowLayout, AFrozenSpinAndAFinishedOneAsThePlayerSeesThem) {
  bench::Bench b;
  b.dismissWelcome();
  b.machine.random().rig(0.75f);  // 7, 5, 5: one Бримон pays two rings
  b.machine.random().rig(0.55f);
  b.machine.random().rig(0.55f);
  QTest::mouseClick(&b.window, Qt::LeftButton, {}, b.rectOf("LabelInsertCoin").center());
  b.advance(700);  // reel 1 stopped, reels 2 and 3 still spinning
  const QImage spinning = b.render();
  bench::keep(spinning, "window-spin.png");
  const QImage reel = b.art("symbol7", {129, 225});
  EXPECT_EQ(reel.copy(0, 0, 128, 225), bench::region(spinning, {8, 8, 128, 225}));
  EXPECT_NE(reel.copy(0, 0, 128, 225), bench::region(spinning, {136, 8, 128, 225}));

  b.advance(1000);  // all three stopped, evaluated, the transfer under way
  EXPECT_EQ("95", b.f.LabelCredit.caption());
  b.advance(300);  // the first ring moves, the flash comes up
  EXPECT_EQ("100", b.f.LabelCredit.caption());
  EXPECT_TRUE(b.f.ImageEmpty.visible());
  bench::keep(b.render(), "window-win.png");
  b.advance(1000);
  EXPECT_EQ("105", b.f.LabelCredit.caption());
  EXPECT_EQ("0", b.f.LabelPrize.caption());
  EXPECT_FALSE(b.f.ImageEmpty.visible());
}

}  // namespace
