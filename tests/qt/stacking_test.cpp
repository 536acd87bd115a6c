// SPDX-License-Identifier: GPL-3.0-or-later
// Which control hides which, as the painter, the drawing ahead and the
// screen reader all take it.
#include "window/qt/stacking.h"

#include <gtest/gtest.h>

#include "game/form1.h"

namespace {

TEST(Stacking, WhatLiesAboveAndWhatHides) {
  game::Form1 f;
  struct Case {
    const char* upper;
    const char* lower;
    bool above;  // `upper` lies above `lower`
    bool hides;  // `upper`, shown, hides what lies beneath it
  };
  const Case cases[] = {
      {"Frame4", "Command1", true, true},            // the welcome panel over the button
      {"Command1", "Frame3", false, true},           // listed later: beneath
      {"Frame3", "Image13", true, true},             // a widget over a painted control
      {"Label5", "Image7", true, true},              // a label over the symbol pictures
      {"ImageEmpty", "ImageNumber1", true, true},    // the win flash over a reel: opaque
      {"ImageNumber1", "ImageRotate1", true, true},  // a reel over the spin picture
      {"Shape1", "Line23", true, false},             // outlines hide nothing
      {"Label4", "Label4", false, true},             // nothing lies above itself
  };
  for (const Case& c : cases) {
    const rt::Control& upper = f.control(c.upper);
    EXPECT_EQ(c.above, window::liesAbove(upper, f.control(c.lower))) << c.upper << " " << c.lower;
    EXPECT_EQ(c.hides, window::hidesBeneath(upper)) << c.upper;
  }
  // A control in a frame never lies above one on the window.
  EXPECT_FALSE(window::liesAbove(f.control("LabelCredit"), f.control("Image13")));
  // An image hides only while its picture has no transparency.
  f.ImageNumber1.setPicture(f.LabelInsertCoin.mouseIcon());
  EXPECT_FALSE(window::hidesBeneath(f.ImageNumber1)) << "a picture with a transparent mask";
  f.ImageNumber1.setPicture(nullptr);
  EXPECT_FALSE(window::hidesBeneath(f.ImageNumber1)) << "no picture";
}

}  // namespace
