// SPDX-License-Identifier: GPL-3.0-or-later
// The window as built from its description: controls, containers, initial
// state, picture identity, and the record of changes the window redraws from.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "description/form1.h"
#include "game/form1.h"
#include "runtime/convert.h"
#include "runtime/errors.h"

namespace {

using rt::Kind;

TEST(Description, HasTheFiftySixControlsOfTheWindow) {
  game::Form1 f;
  std::map<Kind, int> kinds;
  for (const rt::Control& c : f.controls()) ++kinds[c.kind()];
  EXPECT_EQ(56u, f.controls().size());
  EXPECT_EQ(15, kinds[Kind::Label]);
  EXPECT_EQ(20, kinds[Kind::Image]);
  EXPECT_EQ(4, kinds[Kind::Frame]);
  EXPECT_EQ(2, kinds[Kind::CommandButton]);
  EXPECT_EQ(5, kinds[Kind::Timer]);
  EXPECT_EQ(1, kinds[Kind::Shape]);
  EXPECT_EQ(9, kinds[Kind::Line]);
}

TEST(Description, FramesHoldTheirControls) {
  game::Form1 f;
  const std::map<std::string, std::set<std::string>> expected = {
      {"Frame4", {"Command2", "Label10", "Label2"}},
      {"Frame3", {"Label11", "Label6"}},
      {"Frame2", {"Label8", "LabelCredit"}},
      {"Frame1", {"Label7", "LabelPrize"}},
  };
  std::map<std::string, std::set<std::string>> actual;
  for (const rt::Control& c : f.controls()) {
    if (c.container() != nullptr)
      actual[std::string(c.container()->name())].insert(std::string(c.name()));
  }
  EXPECT_EQ(expected, actual);
}

TEST(Description, StartsWithTheInitialState) {
  game::Form1 f;
  EXPECT_EQ("100", f.LabelCredit.caption());
  EXPECT_EQ("0", f.LabelPrize.caption());
  EXPECT_EQ("Ge ner.", f.LabelGenerator.caption());
  EXPECT_TRUE(f.LabelInsertCoin.enabled());
  EXPECT_TRUE(f.Frame4.visible());
  EXPECT_FALSE(f.ImageEmpty.visible());
  const std::set<std::string> zeroTags = {"Label1",       "ImageEmpty",   "ImageNumber1",
                                          "ImageNumber2", "ImageNumber3", "ImageRotate1",
                                          "ImageRotate2"};
  for (const rt::Control& c : f.controls()) {
    const std::string name(c.name());
    EXPECT_EQ(zeroTags.count(name) ? "0" : "", c.tag()) << name;
    const bool hidden = name == "ImageEmpty";
    EXPECT_EQ(!hidden, c.visible()) << name;
  }
  const std::pair<rt::Control*, int> timers[] = {
      {&f.Timer1, 125}, {&f.Timer2, 500}, {&f.Timer3, 1}, {&f.Timer4, 300}, {&f.Timer5, 250}};
  for (const auto& [timer, interval] : timers) {
    EXPECT_EQ(interval, timer->interval()) << timer->name();
    EXPECT_EQ(timer == &f.Timer5, timer->enabled()) << timer->name();
  }
}

// The words of a text with every run of blanks and line breaks made one blank.
std::string words(const std::string& text) {
  std::string out;
  for (char c : text) {
    const bool blank = c == ' ' || c == '\n';
    if (blank && (out.empty() || out.back() == ' ')) continue;
    out.push_back(blank ? ' ' : c);
  }
  return out;
}

TEST(Description, TextsReadAsWrittenWithTheirGapsForTheAddress) {
  game::Form1 f;
  // The runs of blanks are fitted to the window's font; the words are fixed.
  const std::string welcome = f.control("Label2").caption();
  EXPECT_TRUE(
      words(welcome).starts_with("Приветствуем! Вы открыли замечательную игру - рулетку \"ZRNV\""));
  const auto gap = welcome.find("адресу");
  ASSERT_NE(std::string::npos, gap);
  EXPECT_EQ(welcome.find_first_not_of(' ', gap + std::string("адресу").size()),
            welcome.find("!!!!! KESTRANO"));
  EXPECT_GE(welcome.find("!!!!! KESTRANO") - gap, std::string("адресу").size() + 20);
  EXPECT_EQ(description::kFanSite, f.control("Label10").caption());
  EXPECT_EQ(description::kFanSite, f.control("Label11").caption());
  EXPECT_EQ("Я буду рад зайти на сайт " + std::string(description::kFanSite) +
                ", а пока я хочу поиграть в Zarnovik!",
            f.Command2.caption());
  EXPECT_EQ("    $", f.control("Label8").caption());
  EXPECT_TRUE(f.control("Label6").caption().ends_with("не забудьте посетить "));
  EXPECT_EQ("Вердолин, 18 декабря 2004 года.", words(f.control("Label9").caption()));
  EXPECT_EQ(
      "ТАБЛИЦА ВЫИГРЫШЕЙ Изумруд Изумруд Изумруд = х500 Зента Зента Зента = х300 "
      "Бримон Бримон Бримон = х200 Лирвен Лирвен Лирвен = х150 Дрогнар Дрогнар Дрогнар = х100 "
      "Велси Велси Велси = х50 Тиво Тиво Тиво = х30 Spin Spin Spin = х20 Bar Bar Bar = х10 "
      "Кольцо Кольцо Кольцо = х7 Бримон Бримон = х5 Кольцо Кольцо = х3 Бримон = х2 Кольцо = х1",
      words(f.control("Label4").caption()));
}

TEST(Pictures, EveryPropertyHasItsOwnObject) {
  game::Form1 f;
  std::set<std::uint32_t> handles;
  std::size_t pictures = 0;
  for (const rt::Control& c : f.controls()) {
    for (const rt::PictureRef& p : {c.picture(), c.mouseIcon()}) {
      if (!p) continue;
      ++pictures;
      handles.insert(p->handle());
    }
  }
  EXPECT_EQ(pictures, handles.size());
  // Each reel starts with a copy of symbol 7 that is no symbol picture.
  for (int n = 1; n <= 3; ++n) {
    EXPECT_EQ("symbol7", f.reel(n).picture()->key());
    EXPECT_NE(f.symbolImage(7).picture(), f.reel(n).picture());
    EXPECT_EQ(-1, f.reelSymbol(n));
  }
  EXPECT_NE(f.Command1.mouseIcon(), f.Command2.mouseIcon());
  EXPECT_EQ(f.Command1.mouseIcon()->key(), f.Command2.mouseIcon()->key());
  ASSERT_TRUE(f.icon());
  EXPECT_EQ("pointer.window", f.mouseIcon()->key());
}

TEST(Pictures, AssignmentSharesTheObject) {
  game::Form1 f;
  f.ImageNumber2.setPicture(f.symbolImage(4).picture());
  EXPECT_EQ(f.symbolImage(4).picture().get(), f.ImageNumber2.picture().get());
  EXPECT_EQ(4, f.reelSymbol(2));
}

TEST(Changes, RecordsEachChangedControlOnceWithItsProperties) {
  game::Form1 f;
  EXPECT_FALSE(f.hasChanges());
  f.LabelCredit.setCaption("95");
  f.ImageNumber1.setVisible(false);
  f.LabelCredit.setCaption("90");
  f.LabelPrize.setCaption("0");  // unchanged value: nothing to redraw
  const auto changes = f.takeChanges();
  ASSERT_EQ(2u, changes.size());
  EXPECT_EQ(&f.LabelCredit, changes[0].control);
  EXPECT_EQ(rt::kCaption, changes[0].properties);
  EXPECT_EQ(&f.ImageNumber1, changes[1].control);
  EXPECT_EQ(rt::kVisible, changes[1].properties);
  EXPECT_TRUE(f.takeChanges().empty());
  // Applying a pointer anew counts even when it is the same one.
  f.LabelInsertCoin.setMouseIcon(f.LabelInsertCoin.mouseIcon());
  EXPECT_EQ(1u, f.takeChanges().size());
}

// A watched property is told to the timer host on every change, whether the
// control's first since the changes were taken or a later one; the others
// only marked. Each step: a write, then what the host heard and what
// takeChanges() gives for the field.
TEST(Changes, WatchedPropertiesAreToldOnEveryChangeTheOthersOnlyMarked) {
  game::Form1 f;
  struct Host : rt::TimerHost {
    std::vector<std::uint8_t> told;
    void timerSwitched(rt::Control&, bool) override {}
    void watchedChanged(rt::Control&, rt::Property property) override { told.push_back(property); }
  } host;
  f.setTimerHost(&host);
  std::vector<std::uint8_t> masks(f.controls().size(), 0);
  masks[static_cast<std::size_t>(f.LabelCredit.index())] = rt::kTag;
  struct Step {
    const char* caption;
    const char* tag;
    bool take;  // the changes taken after the step
    std::vector<std::uint8_t> told;
    std::uint8_t taken;  // the field's properties taken, if taken
  };
  const Step steps[] = {
      {"95", nullptr, false, {}, 0},         // first change, not watched
      {nullptr, "a", false, {rt::kTag}, 0},  // a later one, watched
      {"90", "b", true, {rt::kTag}, rt::kCaption | rt::kTag},
      {nullptr, "c", true, {rt::kTag}, rt::kTag},  // first again, watched
      {"85", nullptr, true, {}, rt::kCaption},
  };
  f.LabelCredit.setTag("");
  f.takeChanges();
  f.watch(masks);
  for (const Step& step : steps) {
    host.told.clear();
    if (step.caption != nullptr) f.LabelCredit.setCaption(step.caption);
    if (step.tag != nullptr) f.LabelCredit.setTag(step.tag);
    EXPECT_EQ(step.told, host.told) << step.caption << "/" << step.tag;
    if (!step.take) continue;
    const auto changes = f.takeChanges();
    ASSERT_EQ(1u, changes.size());
    EXPECT_EQ(step.taken, changes[0].properties);
  }
  f.watch({});
  host.told.clear();
  f.LabelCredit.setTag("d");
  EXPECT_TRUE(host.told.empty());
  f.setTimerHost(nullptr);
}

// A text property's arithmetic as one operation (Tag = Tag + 1, Caption =
// Caption + amount), against the same written out: what it leaves behind.
struct Counted {
  std::string text;
  std::optional<rt::RuntimeError::Code> error;
  std::vector<std::uint8_t> reads;
  std::vector<std::pair<int, std::uint8_t>> changes;  // by control index
  std::uint64_t changeCount = 0;
  int watchedReports = 0;  // changes of the watched property reported to the host

  bool operator==(const Counted&) const = default;
};

class ReportCounter : public rt::TimerHost {
 public:
  void timerSwitched(rt::Control&, bool) override {}
  void watchedChanged(rt::Control&, rt::Property property) override {
    if (property == watched) ++reports;
  }
  rt::Property watched;
  int reports = 0;
};

// Runs `step` on the flash's tag (kTag) or the money field's caption
// (kCaption), holding `text`, with that property watched.
template <typename Step>
Counted countOn(rt::Property property, const std::string& text, Step step) {
  game::Form1 f;
  rt::Control& control = property == rt::kTag ? f.ImageEmpty : f.LabelCredit;
  auto held = [&] { return property == rt::kTag ? control.tag() : control.caption(); };
  if (property == rt::kTag) {
    control.setTag(text);
  } else {
    control.setCaption(text);
  }
  ReportCounter host;
  host.watched = property;
  f.setTimerHost(&host);
  std::vector<std::uint8_t> watched(f.controls().size(), 0);
  watched[static_cast<std::size_t>(control.index())] = property;
  f.watch(watched);
  f.takeChanges();
  std::vector<std::uint8_t> reads;
  f.takeReads(reads);
  const std::uint64_t before = f.changeCount();

  Counted out;
  try {
    step(control);
  } catch (const rt::RuntimeError& e) {
    out.error = e.code();
  }
  out.changeCount = f.changeCount() - before;
  f.takeReads(out.reads);
  for (const rt::Form::Change& c : f.takeChanges())
    out.changes.emplace_back(c.control->index(), c.properties);
  out.watchedReports = host.reports;
  out.text = held();
  return out;
}

// Only `property` of the control that holds it read.
std::vector<std::uint8_t> onlyRead(rt::Property property) {
  game::Form1 f;
  std::vector<std::uint8_t> reads(f.controls().size(), 0);
  const rt::Control& control = property == rt::kTag ? f.ImageEmpty : f.LabelCredit;
  reads[static_cast<std::size_t>(control.index())] = property;
  return reads;
}

TEST(Changes, IncrementTagIsTagPlusOneReadAndWrittenAsText) {
  using Code = rt::RuntimeError::Code;
  struct Case {
    std::string tag;
    std::string counted;  // the tag after it, when no error is raised
    std::optional<Code> error;
  };
  const Case cases[] = {
      {"0", "1", {}},
      {"1", "2", {}},
      {"8", "9", {}},
      {"9", "10", {}},
      {"99", "100", {}},
      {"-1", "0", {}},
      {"-0", "1", {}},
      {"-7", "-6", {}},
      {" 5", "6", {}},
      {"5\t", "6", {}},
      {"+3", "4", {}},
      {"0.5", "1.5", {}},
      {"-0.25", "0.75", {}},
      {"1e3", "1001", {}},
      {"999999999", "1000000000", {}},
      {"1E+300", "1E+300", {}},  // 1 is lost in the sum: the same text, no change
      {"1.7976931348623157E308", "1.79769313486232E+308", {}},
      {"", "", Code::TypeMismatch},
      {" ", " ", Code::TypeMismatch},
      {"x", "x", Code::TypeMismatch},
      {"1x", "1x", Code::TypeMismatch},
      {":", ":", Code::TypeMismatch},  // the character after "9"
      {"/", "/", Code::TypeMismatch},  // and the one before "0"
      {"٣", "٣", Code::TypeMismatch},
      {"Game Over!", "Game Over!", Code::TypeMismatch},
      {"1e309", "1e309", Code::Overflow},
      {"-1E999", "-1E999", Code::Overflow},
  };
  for (const Case& c : cases) {
    const Counted general = countOn(rt::kTag, c.tag, [](rt::Control& control) {
      control.setTag(rt::numberText(rt::add(rt::strictNumber(control.tag()), 1)));
    });
    const Counted counted =
        countOn(rt::kTag, c.tag, [](rt::Control& control) { control.incrementTag(); });
    EXPECT_EQ(c.counted, counted.text) << '"' << c.tag << '"';
    EXPECT_EQ(c.error, counted.error) << '"' << c.tag << '"';
    EXPECT_TRUE(general == counted) << '"' << c.tag << '"';
    // The tag is read in every case, and nothing else.
    EXPECT_EQ(onlyRead(rt::kTag), counted.reads) << '"' << c.tag << '"';
    const bool changed = c.counted != c.tag;
    EXPECT_EQ(changed ? 1u : 0u, counted.changeCount) << '"' << c.tag << '"';
    EXPECT_EQ(changed ? 1 : 0, counted.watchedReports) << '"' << c.tag << '"';
  }
}

TEST(Changes, AddToCaptionIsTheLeadingNumberPlusTheAmountWrittenAsText) {
  using Code = rt::RuntimeError::Code;
  struct Case {
    std::string caption;
    int amount;
    std::string added;  // the caption after it, when no error is raised
    std::optional<Code> error;
  };
  const Case cases[] = {
      {"95", -5, "90", {}},
      {"100", -5, "95", {}},  // one digit fewer
      {"105", -5, "100", {}},
      {"5", -5, "0", {}},
      {"3", -5, "-2", {}},
      {"0", -1, "-1", {}},
      {"1", -1, "0", {}},
      {"10", -1, "9", {}},
      {"7", 5, "12", {}},
      {"96", 5, "101", {}},
      {"99995", 5, "100000", {}},  // one digit more
      {"360125", 5, "360130", {}},
      {"0", 5, "5", {}},
      {"Game Over!", 5, "5", {}},  // no leading number: 0
      {"", 5, "5", {}},
      {" 95", -5, "90", {}},
      {"095", 5, "100", {}},
      {"-5", 5, "0", {}},
      {"1.5", 5, "6.5", {}},
      {"95 $", -5, "90", {}},
      {"1E3", -1, "999", {}},
      {"7", 500, "507", {}},
      {"7", 0, "7", {}},  // the same text: no change
      {"999999999999999", 1, "1E+15", {}},
      {"1e309", 5, "1e309", Code::Overflow},
  };
  for (const Case& c : cases) {
    const std::string name = '"' + c.caption + "\" + " + std::to_string(c.amount);
    const Counted general = countOn(rt::kCaption, c.caption, [&c](rt::Control& control) {
      control.setCaption(rt::numberText(rt::add(rt::leadingNumber(control.caption()), c.amount)));
    });
    const Counted added = countOn(rt::kCaption, c.caption,
                                  [&c](rt::Control& control) { control.addToCaption(c.amount); });
    EXPECT_EQ(c.added, added.text) << name;
    EXPECT_EQ(c.error, added.error) << name;
    EXPECT_TRUE(general == added) << name;
    EXPECT_EQ(onlyRead(rt::kCaption), added.reads) << name;
    const bool changed = c.added != c.caption;
    EXPECT_EQ(changed ? 1u : 0u, added.changeCount) << name;
    EXPECT_EQ(changed ? 1 : 0, added.watchedReports) << name;
  }
}

TEST(Form, RejectsABrokenDescription) {
  constexpr rt::FormSpec form{.name = "W"};
  constexpr rt::ControlSpec twice[] = {{.name = "A"}, {.name = "A"}};
  constexpr rt::ControlSpec orphan[] = {{.name = "A", .container = "Nowhere"}};
  EXPECT_THROW(rt::Form(form, twice), std::invalid_argument);
  EXPECT_THROW(rt::Form(form, orphan), std::invalid_argument);
  constexpr rt::ControlSpec one[] = {{.name = "A", .container = "W"}};
  rt::Form ok(form, one);
  EXPECT_THROW(ok.control("B"), std::out_of_range);
}

}  // namespace
