// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/web_host.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "game/input.h"
#include "game/prize_table.h"
#include "game/script.h"
#include "game/snapshot.h"

namespace web {
namespace {

using game::jsonString;

constexpr int px(int twips) {
  return twips / rt::kTwipsPerPixel;
}

std::string colour(const rt::Rgb& c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
  return text;
}

// A font size in points as the window shows it: pixels at 96 dots per inch.
int pixelSize(float points) {
  return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

std::string font(const rt::Font& own, const rt::Font& windowDefault) {
  const rt::Font& f = own.points > 0 ? own : windowDefault;
  return "{\"px\":" + std::to_string(pixelSize(f.points)) +
         ",\"bold\":" + (f.bold ? "true" : "false") + "}";
}

const char* kindName(rt::Kind kind) {
  switch (kind) {
    case rt::Kind::Label:
      return "Label";
    case rt::Kind::Image:
      return "Image";
    case rt::Kind::Frame:
      return "Frame";
    case rt::Kind::CommandButton:
      return "CommandButton";
    case rt::Kind::Timer:
      return "Timer";
    case rt::Kind::Shape:
      return "Shape";
    case rt::Kind::Line:
      return "Line";
  }
  return "Label";
}

const char* flag(bool b) {
  return b ? "true" : "false";
}

std::string keyOf(const rt::PictureRef& picture) {
  return jsonString(picture ? std::string_view(picture->key()) : std::string_view());
}

// A caption as a reader should say it: the runs of blanks that break the
// drawn text into lines become line breaks, and the blanks around each line go.
std::vector<std::string> spokenLines(std::string_view caption) {
  std::vector<std::string> lines;
  std::string line;
  auto flush = [&] {
    while (!line.empty() && line.back() == ' ') line.pop_back();
    const std::size_t first = line.find_first_not_of(' ');
    if (first != std::string::npos) lines.push_back(line.substr(first));
    line.clear();
  };
  for (std::size_t i = 0; i < caption.size(); ++i) {
    const char c = caption[i];
    if (c == '\n' || (c == ' ' && i + 1 < caption.size() && caption[i + 1] == ' ')) {
      while (i + 1 < caption.size() && (caption[i + 1] == ' ' || caption[i + 1] == '\n')) ++i;
      flush();
    } else {
      line += c;
    }
  }
  flush();
  return lines;
}

// Short descriptions of the pictures a player sees, by their art.
std::string pictureDescription(std::string_view art, const std::array<std::string, 10>& symbols) {
  if (art == "title")
    return "Новогодняя картинка: " + symbols[4] + ", " + symbols[5] + ", " + symbols[6] + " и " +
           symbols[7] + " в праздничных костюмах, с подарком, у их ног двое " + symbols[3];
  if (art == "logo.maker") return "Логотип KESTRANO";
  if (art == "logo.second") return "Логотип SNEGIR";
  if (art == "burst") return "Сияние на голубом фоне";
  for (int d = 0; d < 10; ++d)
    if (art == "symbol" + std::to_string(d)) return symbols[static_cast<std::size_t>(d)];
  return "Картинка";
}

}  // namespace

std::array<std::string, 10> symbolNames(std::string_view prizeTableText) {
  std::array<std::string, 10> names;
  for (int d = 0; d < 10; ++d) names[static_cast<std::size_t>(d)] = std::to_string(d);
  // "Name Name Name = х<rings>", with the Cyrillic х.
  constexpr std::string_view kTimes = " = х";
  for (const std::string& line : spokenLines(prizeTableText)) {
    const std::size_t eq = line.find(kTimes);
    if (eq == std::string::npos) continue;
    const std::string_view combination = std::string_view(line).substr(0, eq);
    const std::string_view digits = std::string_view(line).substr(eq + kTimes.size());
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    const std::size_t blank = combination.find(' ');
    if (blank == std::string_view::npos || blank == 0) continue;
    const std::string name(combination.substr(0, blank));
    if (combination != name + " " + name + " " + name) continue;
    const int rings = std::stoi(std::string(digits));
    for (const game::PrizeRule& rule : game::kPrizeTable)
      if (rule.combination == game::PrizeRule::Combination::AllThree && rule.award == rings)
        names[static_cast<std::size_t>(rule.symbol)] = name;
  }
  return names;
}

WebHost::WebHost(const rt::SeedClock& clock)
    : machine_(clock), schedule_(machine_.form(), rt::Schedule::Parking::On) {
  machine_.dispatcher().setErrorReporter(this);
  machine_.form().setTimerHost(this);
  machine_.load();
  if (!machine_.dispatcher().halted()) recording_.begin(machine_.random().seedValue());
}

WebHost::~WebHost() {
  machine_.form().setTimerHost(nullptr);
  machine_.form().watch({});
  machine_.dispatcher().setErrorReporter(nullptr);
}

std::string WebHost::describe() {
  game::Form1& f = machine_.form();
  const rt::FormSpec& s = f.stored();
  const std::array<std::string, 10> symbols = symbolNames(f.control("Label4").caption());
  std::string out = "{\"name\":" + jsonString(s.name) + ",\"caption\":" + jsonString(s.caption) +
                    ",\"width\":" + std::to_string(px(s.clientWidth)) +
                    ",\"height\":" + std::to_string(px(s.clientHeight)) + ",\"back\":\"" +
                    colour(s.backColor) + "\",\"font\":" + font(s.font, s.font) +
                    ",\"icon\":" + jsonString(s.icon) + ",\"pointer\":" + jsonString(s.mouseIcon) +
                    ",\"symbols\":[";
  for (std::size_t d = 0; d < symbols.size(); ++d) out += (d ? "," : "") + jsonString(symbols[d]);
  out += "],\"controls\":[";
  // The rank of each control in its container's stacking order, top first.
  std::vector<int> rank(f.controls().size(), 0);
  {
    std::vector<int> seen(f.controls().size() + 1, 0);
    for (const rt::Control& c : f.controls()) {
      const std::size_t container =
          c.container() ? static_cast<std::size_t>(c.container()->index()) : f.controls().size();
      rank[static_cast<std::size_t>(c.index())] = seen[container]++;
    }
  }
  bool first = true;
  for (const rt::Control& c : f.controls()) {
    const rt::ControlSpec& cs = c.stored();
    if (!first) out += ",";
    first = false;
    out += "{\"name\":" + jsonString(cs.name) + ",\"kind\":\"" + kindName(cs.kind) +
           "\",\"container\":" + std::to_string(c.container() ? c.container()->index() : -1) +
           ",\"rank\":" + std::to_string(rank[static_cast<std::size_t>(c.index())]) +
           ",\"left\":" + std::to_string(px(cs.left)) + ",\"top\":" + std::to_string(px(cs.top)) +
           ",\"width\":" + std::to_string(px(cs.width)) +
           ",\"height\":" + std::to_string(px(cs.height)) +
           ",\"caption\":" + jsonString(c.caption()) + ",\"visible\":" + flag(c.visible()) +
           ",\"enabled\":" + flag(c.enabled()) + ",\"picture\":" + keyOf(c.picture()) +
           ",\"pointer\":" + keyOf(c.mouseIcon()) + ",\"tab\":" + std::to_string(cs.tabIndex) +
           ",\"font\":" + font(cs.font, s.font);
    if (cs.backColor) out += ",\"back\":\"" + colour(*cs.backColor) + "\"";
    if (cs.foreColor) out += ",\"fore\":\"" + colour(*cs.foreColor) + "\"";
    // What a screen reader finds, as in the window: the money and prize fields
    // named by their frames, the coin slot as a button, the reels by symbol,
    // texts by their words, the pictures by a short description.
    std::string role, name, description;
    if (&c == &f.LabelCredit || &c == &f.LabelPrize) {
      role = "field";
      name = c.container()->caption();
    } else if (&c == &f.LabelInsertCoin) {
      role = "coinslot";
      name = "Кольцеприёмник";
      description = "Опустить кольцо за 5 $ и запустить барабаны";
    } else if (&c == &f.ImageNumber1 || &c == &f.ImageNumber2 || &c == &f.ImageNumber3) {
      role = "reel";
      description = "Барабан " + std::to_string(&c == &f.ImageNumber1   ? 1
                                                : &c == &f.ImageNumber2 ? 2
                                                                        : 3);
    } else if (cs.kind == rt::Kind::Label && !spokenLines(c.caption()).empty()) {
      role = "text";
    } else if (cs.kind == rt::Kind::Image && c.picture() && &c != &f.ImageRotate2 &&
               &c != &f.ImageEmpty && cs.name != "ImageRotate1") {
      role = "picture";
      name = pictureDescription(c.picture()->key(), symbols);
    }
    out += ",\"a11y\":{\"role\":" + jsonString(role) + ",\"name\":" + jsonString(name) +
           ",\"description\":" + jsonString(description) + "}}";
  }
  out += "]}";
  machine_.form().takeChanges();  // described as they are now
  return out;
}

std::int64_t WebHost::heldNow(double now) const {
  // After the last tick delivered, before the next one due: a tick the page
  // has not yet delivered comes after this event, as on the virtual clock.
  const std::int64_t due = schedule_.nextDue();
  std::int64_t t = std::max(static_cast<std::int64_t>(std::floor(now)), now_);
  if (due != rt::Schedule::kNever) t = std::min(t, std::max(due - 1, now_));
  return t;
}

std::string WebHost::deliver(int index, rt::Event event, double now) {
  game::Form1& f = machine_.form();
  const auto controls = f.controls();
  if (event == rt::Event::Timer || index < 0 ||
      static_cast<std::size_t>(index) >= controls.size() || machine_.dispatcher().halted())
    return answer();
  rt::Control& control = controls[static_cast<std::size_t>(index)];
  now_ = heldNow(now);
  recording_.input(f, control, event, now_);
  machine_.deliver(control, event);
  return answer();
}

std::string WebHost::tick(double now) {
  // Every tick due by the browser's time goes out in the schedule's order,
  // each at its due time; a tick can switch on or wake one due at once.
  const auto real = static_cast<std::int64_t>(std::floor(now));
  const auto deliver = [this](rt::Control& timer) {
    recording_.tick(timer, now_);
    return machine_.deliver(timer, rt::Event::Timer);
  };
  while (schedule_.deliverNext(real, real, now_, machine_.dispatcher(), deliver) != nullptr) {
  }
  return answer();
}

double WebHost::nextDue() const {
  if (error_) return -1;
  const std::int64_t due = schedule_.nextDue();
  return due == rt::Schedule::kNever ? -1.0 : static_cast<double>(due);
}

void WebHost::timerSwitched(rt::Control& timer, bool on) {
  schedule_.switched(timer, on, now_);
}

void WebHost::watchedChanged(rt::Control& control, rt::Property property) {
  schedule_.watchedChanged(control, property, now_);
}

void WebHost::runtimeError(const rt::RuntimeError& error) {
  error_ = error.what();
}

std::string WebHost::show() {
  return game::Snapshot::of(machine_.form()).json(recording_.until());
}

std::string WebHost::answer() {
  std::string out = "{\"changes\":[";
  bool first = true;
  for (const rt::Form::Change& change : machine_.form().takeChanges()) {
    const rt::Control& c = *change.control;
    if (c.kind() == rt::Kind::Timer) continue;
    if (!first) out += ",";
    first = false;
    out += "{\"i\":" + std::to_string(c.index());
    if (change.properties & rt::kCaption) out += ",\"caption\":" + jsonString(c.caption());
    if (change.properties & rt::kVisible) out += std::string(",\"visible\":") + flag(c.visible());
    if (change.properties & rt::kEnabled) out += std::string(",\"enabled\":") + flag(c.enabled());
    if (change.properties & rt::kPicture) out += ",\"picture\":" + keyOf(c.picture());
    if (change.properties & rt::kMouseIcon) out += ",\"pointer\":" + keyOf(c.mouseIcon());
    out += "}";
  }
  out += "],\"due\":";
  const double due = nextDue();
  out += due < 0 ? std::string("-1") : std::to_string(static_cast<std::int64_t>(due));
  if (error_) out += ",\"error\":" + jsonString(*error_);
  out += "}";
  return out;
}

}  // namespace web
