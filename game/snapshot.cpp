// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/snapshot.h"

#include <cstddef>
#include <cstdio>

namespace game {
namespace {

const char* boolText(bool b) {
  return b ? "true" : "false";
}

std::string flagAndTag(bool visible, const std::string& tag) {
  return "{\"visible\":" + std::string(boolText(visible)) + ",\"tag\":" + jsonString(tag) + "}";
}

}  // namespace

std::string errorJson(std::string_view message) {
  return "{\"error\": " + jsonString(message) + "}";
}

std::string jsonString(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out.push_back('"');
  for (char c : text) {
    auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (u < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      out += buf;
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
  return out;
}

Snapshot Snapshot::of(const Form1& f) {
  Snapshot s;
  s.money = f.LabelCredit.caption();
  s.prize = f.LabelPrize.caption();
  s.generator = f.LabelGenerator.caption();
  for (std::size_t n = 0; n < 3; ++n) {
    const int reel = static_cast<int>(n) + 1;
    const rt::Control& control = f.reel(reel);
    s.reelTag[n] = control.tag();
    s.reelPicture[n] = control.picture().get();
    s.reelSymbol[n] = f.reelSymbol(reel);
    s.reelShown[n] = control.visible();
  }
  // The window describes its timers in order, Timer1 to Timer5.
  const auto timers = f.timers();
  for (std::size_t i = 0; i < s.timerOn.size() && i < timers.size(); ++i) {
    s.timerOn[i] = timers[i]->enabled();
  }
  s.coinSlot = f.LabelInsertCoin.enabled();
  s.coinPointer = f.LabelInsertCoin.mouseIcon().get();
  s.spinTag = f.ImageRotate2.tag();
  s.flashTag = f.ImageEmpty.tag();
  s.stripTag = f.Label1.tag();
  s.spinShown = f.ImageRotate2.visible();
  s.flashShown = f.ImageEmpty.visible();
  s.stripShown = f.Label1.visible();
  s.welcome = f.Frame4.visible();
  return s;
}

std::string Snapshot::json(std::int64_t t) const {
  std::string j = "{\"t\":" + std::to_string(t);
  j += ",\"money\":" + jsonString(money);
  j += ",\"prize\":" + jsonString(prize);
  j += ",\"reels\":[";
  for (std::size_t n = 0; n < 3; ++n) {
    const int d = reelSymbol[n];
    j += (n > 0 ? "," : "") + (d < 0 ? std::string("null") : std::to_string(d));
  }
  j += "],\"reelShown\":[";
  for (std::size_t n = 0; n < 3; ++n) j += std::string(n > 0 ? "," : "") + boolText(reelShown[n]);
  j += "],\"reelTags\":[";
  for (std::size_t n = 0; n < 3; ++n) j += (n > 0 ? "," : "") + jsonString(reelTag[n]);
  j += "],\"generator\":" + jsonString(generator);
  j += ",\"coinSlot\":" + std::string(boolText(coinSlot));
  j += ",\"timers\":[";
  for (std::size_t i = 0; i < timerOn.size(); ++i) {
    j += std::string(i > 0 ? "," : "") + boolText(timerOn[i]);
  }
  j += "],\"rotate2\":" + flagAndTag(spinShown, spinTag);
  j += ",\"flash\":" + flagAndTag(flashShown, flashTag);
  j += ",\"strip\":" + flagAndTag(stripShown, stripTag);
  j += ",\"welcome\":" + std::string(boolText(welcome)) + "}";
  return j;
}

}  // namespace game
