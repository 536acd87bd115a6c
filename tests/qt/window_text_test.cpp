// SPDX-License-Identifier: GPL-3.0-or-later
// The embedded typeface and the four texts whose look depends on it.
#include <gtest/gtest.h>

#include <QFontMetricsF>

#include "description/form1.h"
#include "game/form1.h"
#include "window/qt/fonts.h"

namespace {

const rt::FormSpec& form() {
  return description::form1Spec();
}

const rt::ControlSpec& stored(std::string_view name) {
  for (const rt::ControlSpec& c : description::form1Controls())
    if (c.name == name) return c;
  throw std::out_of_range(std::string(name));
}

QString caption(const rt::ControlSpec& c) {
  return QString::fromUtf8(c.caption.data(), static_cast<qsizetype>(c.caption.size()));
}

QFont fontOf(const rt::ControlSpec& c) {
  return window::gameFont(c.font, form().font);
}

QRect rectOf(const rt::ControlSpec& c) {
  return QRect(c.left / 15, c.top / 15, c.width / 15, c.height / 15);
}

std::vector<window::WrappedLine> wrapped(const rt::ControlSpec& c) {
  return window::wrapText(caption(c), fontOf(c), rectOf(c).width());
}

TEST(WindowText, EmbeddedTypefaceAndPixelSizes) {
  EXPECT_EQ("Liberation Sans", window::gameFontFamily());
  const std::pair<float, int> sizes[] = {{8.25f, 11}, {18.0f, 24}, {24.0f, 32}};
  for (auto [points, pixels] : sizes) EXPECT_EQ(pixels, window::pixelSize(points)) << points;
  const QFont f = window::gameFont({24.0f, true}, form().font);
  EXPECT_EQ(32, f.pixelSize());
  EXPECT_TRUE(f.bold());
  EXPECT_EQ(11, window::gameFont({}, form().font).pixelSize()) << "the window's default font";
  // Cyrillic letters come from the face itself.
  EXPECT_TRUE(QFontMetricsF(f).inFontUcs4(U'ё'));
  EXPECT_TRUE(QFontMetricsF(f).inFontUcs4(U'Ж'));
}

TEST(WindowText, PrizeTableShowsOneCombinationPerLine) {
  const rt::ControlSpec& label = stored("Label4");
  const char* expected[] = {
      "ТАБЛИЦА ВЫИГРЫШЕЙ",
      "Изумруд Изумруд Изумруд = х500",
      "Зента Зента Зента = х300",
      "Бримон Бримон Бримон = х200",
      "Лирвен Лирвен Лирвен = х150",
      "Дрогнар Дрогнар Дрогнар = х100",
      "Велси Велси Велси = х50",
      "Тиво Тиво Тиво = х30",
      "Spin Spin Spin = х20",
      "Bar Bar Bar = х10",
      "Кольцо Кольцо Кольцо = х7",
      "Бримон Бримон = х5",
      "Кольцо Кольцо = х3",
      "Бримон = х2",
      "Кольцо = х1",
  };
  const auto lines = wrapped(label);
  ASSERT_EQ(std::size(expected), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(QString::fromUtf8(expected[i]), lines[i].text.trimmed()) << "line " << i + 1;
    EXPECT_LE(lines[i].inkWidth, rectOf(label).width()) << "line " << i + 1;
  }
  EXPECT_LE(lines.back().y + lines.back().height, rectOf(label).height());
}

TEST(WindowText, WelcomeTextLeavesTheGapWhereTheAddressShows) {
  const rt::ControlSpec& text = stored("Label2");
  const rt::ControlSpec& address = stored("Label10");
  // Label10 in Label2's own coordinates (both lie in Frame4).
  const QRect gap = rectOf(address).translated(-rectOf(text).topLeft());
  const auto lines = wrapped(text);
  const auto line = std::find_if(lines.begin(), lines.end(),
                                 [](const auto& l) { return l.text.startsWith("адресу "); });
  ASSERT_NE(lines.end(), line);
  const QFontMetricsF fm(fontOf(text));
  // The word ends before the address starts; "!!!!!" starts after it ends.
  EXPECT_LE(fm.horizontalAdvance("адресу"), gap.left());
  const int bangs = line->text.indexOf("!!!!!");
  ASSERT_GT(bangs, 0);
  EXPECT_GE(fm.horizontalAdvance(line->text.left(bangs)), gap.right() + 1);
  // The address stands on that line, not across the one above.
  EXPECT_LE(line->y, gap.top());
  EXPECT_LE(gap.bottom(), line->y + line->height + 1) << "at most the next line's top row";
  const auto above = std::prev(line);
  EXPECT_LE(above->y + above->height, gap.top());
  // The whole text ends above the welcome button.
  const QRect button = rectOf(stored("Command2")).translated(-rectOf(text).topLeft());
  EXPECT_LE(lines.back().y + lines.back().height, button.top());
  EXPECT_TRUE(lines.back().text.endsWith("ГОДОМ!!!!!"));
}

// Label10's address reads as a word of the welcome text's line: on the same
// baseline, with no more than a few word spaces either side of it.
TEST(WindowText, WelcomeAddressReadsAsPartOfItsLine) {
  const rt::ControlSpec& text = stored("Label2");
  const rt::ControlSpec& address = stored("Label10");
  const QRectF label = rectOf(address).translated(-rectOf(text).topLeft());
  const auto lines = wrapped(text);
  const auto line = std::find_if(lines.begin(), lines.end(),
                                 [](const auto& l) { return l.text.startsWith("адресу "); });
  ASSERT_NE(lines.end(), line);
  const QFontMetricsF fm(fontOf(text));
  const QFontMetricsF bold(fontOf(address));
  const qreal space = fm.horizontalAdvance(' ');

  const qreal lineBaseline = line->y + fm.ascent();
  const qreal addressBaseline = label.top() + bold.ascent();
  EXPECT_NEAR(lineBaseline, addressBaseline, 1.0);

  const qreal wordEnd = fm.horizontalAdvance("адресу");
  const qreal addressStart = label.left();
  const qreal addressEnd = addressStart + bold.horizontalAdvance(caption(address));
  const int bangs = line->text.indexOf("!!!!!");
  ASSERT_GT(bangs, 0);
  const qreal bangsStart = fm.horizontalAdvance(line->text.left(bangs));
  struct Gap {
    const char* where;
    qreal from, to;
  };
  for (const Gap& g : {Gap{"before the address", wordEnd, addressStart},
                       Gap{"after the address", addressEnd, bangsStart}}) {
    SCOPED_TRACE(g.where);
    EXPECT_GE(g.to - g.from, space * 0.5) << "the words do not touch";
    EXPECT_LE(g.to - g.from, space * 3) << "no hole wider than a few word spaces";
  }
  // The address label ends before "!!!!!", so its ground hides none of it.
  EXPECT_LE(label.left() + label.width(), bangsStart);
}

TEST(WindowText, RulesEndWhereTheAddressContinuesThem) {
  const rt::ControlSpec& rules = stored("Label6");
  const QRect address = rectOf(stored("Label11")).translated(-rectOf(rules).topLeft());
  const auto lines = wrapped(rules);
  const auto& last = lines.back();
  EXPECT_TRUE(last.text.endsWith("посетить "));
  EXPECT_LE(last.inkWidth, address.left()) << "the last words stay clear of the address";
  EXPECT_LE(last.y, address.top());
  EXPECT_GT(last.y + last.height, address.top()) << "the address continues the last line";
  for (const auto& l : lines) EXPECT_LE(l.inkWidth, rectOf(rules).width());
}

TEST(WindowText, ShortTextsFitTheirLabels) {
  struct Case {
    std::string_view label;
    QString text;
    int lines;
  };
  const Case cases[] = {
      {"Label9", caption(stored("Label9")), 2},
      {"Label10", QString::fromUtf8(description::kFanSite.data()), 1},
      {"Label11", QString::fromUtf8(description::kFanSite.data()), 1},
      {"LabelCredit", "Game Over!", 1},
      {"LabelCredit", "-99999999", 1},
      {"Label8", "    $", 1},
      {"Label7", "колец", 1},
  };
  for (const Case& c : cases) {
    const rt::ControlSpec& label = stored(c.label);
    const auto lines = window::wrapText(c.text, fontOf(label), rectOf(label).width());
    ASSERT_EQ(static_cast<std::size_t>(c.lines), lines.size()) << c.label;
    for (const auto& l : lines) EXPECT_LE(l.inkWidth, rectOf(label).width()) << c.label;
    // The letters of the last line stand inside the label (the line's empty
    // space below them may be cut off).
    const QFontMetricsF fm(fontOf(label));
    const qreal inkBottom = fm.tightBoundingRect(lines.back().text).bottom();
    EXPECT_LE(lines.back().y + fm.ascent() + inkBottom, rectOf(label).height()) << c.label;
  }
  // The credit line puts the date on a line of its own.
  const auto credit = wrapped(stored("Label9"));
  EXPECT_EQ("Вердолин,", credit[0].text.trimmed());
  EXPECT_EQ("18 декабря 2004 года.", credit[1].text);
}

}  // namespace
