// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/form1.h"

#include <string>

#include "description/form1.h"

namespace game {

Form1::Form1()
    : rt::Form(description::form1Spec(), description::form1Controls()),
      LabelCredit(control("LabelCredit")),
      LabelPrize(control("LabelPrize")),
      LabelInsertCoin(control("LabelInsertCoin")),
      LabelGenerator(control("LabelGenerator")),
      ImageNumber1(control("ImageNumber1")),
      ImageNumber2(control("ImageNumber2")),
      ImageNumber3(control("ImageNumber3")),
      ImageRotate2(control("ImageRotate2")),
      ImageEmpty(control("ImageEmpty")),
      Label1(control("Label1")),
      Frame4(control("Frame4")),
      Command1(control("Command1")),
      Command2(control("Command2")),
      Timer1(control("Timer1")),
      Timer2(control("Timer2")),
      Timer3(control("Timer3")),
      Timer4(control("Timer4")),
      Timer5(control("Timer5")),
      reels_{&ImageNumber1, &ImageNumber2, &ImageNumber3} {
  for (int d = 0; d < 10; ++d) {
    symbolImages_[static_cast<std::size_t>(d)] = &control("Image" + std::to_string(d));
  }
}

int Form1::reelSymbol(int n) const {
  const rt::PictureRef& shown = reel(n).picture();
  for (int d = 0; d < 10; ++d) {
    if (shown == symbolImage(d).picture()) return d;
  }
  return -1;
}

}  // namespace game
