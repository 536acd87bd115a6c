// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/control.h"

#include "runtime/convert.h"
#include "runtime/form.h"

namespace rt {

Control::Control(Form& form, int index, const ControlSpec& stored, Control* container,
                 PictureRef picture, PictureRef mouseIcon)
    : form_(&form),
      stored_(&stored),
      index_(index),
      container_(container),
      caption_(stored.caption),
      tag_(stored.tag),
      visible_(stored.visible),
      enabled_(stored.enabled),
      picture_(std::move(picture)),
      mouseIcon_(std::move(mouseIcon)),
      readMask_(&form.reads_[static_cast<std::size_t>(index)]),
      changeMarks_(&form.changed_[static_cast<std::size_t>(index)]) {}

void Control::writeTextOfOtherLength(std::string& held, std::string_view text, Property property) {
  held.assign(text);
  form_->noteChange(*this, property);
}

void Control::incrementTagInGeneral() {
  setTag(numberText(add(strictNumber(tag()), 1)));
}

void Control::addToCaptionInGeneral(int amount) {
  setCaption(numberText(add(leadingNumber(caption()), amount)));
}

void Control::tellTimerHost(bool on) {
  if (form_->timerHost() != nullptr) form_->timerHost()->timerSwitched(*this, on);
}

void Control::replacePicture(const PictureRef& picture) {
  picture_ = picture;
  form_->noteChange(*this, kPicture);
}

void Control::setMouseIcon(PictureRef picture) {
  // Assigning a pointer, even the same one, applies it anew.
  mouseIcon_ = std::move(picture);
  form_->noteChange(*this, kMouseIcon);
}

}  // namespace rt
