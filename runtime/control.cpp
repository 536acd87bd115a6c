#include "runtime/control.h"

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
      readLog_(&form.readLog_) {}

void Control::setCaption(std::string_view text) {
  if (caption_ == text) return;
  caption_.assign(text);
  form_->noteChange(*this, kCaption);
}

void Control::setTag(std::string_view text) {
  if (tag_ == text) return;
  tag_.assign(text);
  form_->noteChange(*this, kTag);
}

void Control::setVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  form_->noteChange(*this, kVisible);
}

void Control::setEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  form_->noteChange(*this, kEnabled);
  if (stored_->kind == Kind::Timer && form_->timerHost() != nullptr) {
    form_->timerHost()->timerSwitched(*this, enabled);
  }
}

void Control::setPicture(PictureRef picture) {
  if (picture_ == picture) return;
  picture_ = std::move(picture);
  form_->noteChange(*this, kPicture);
}

void Control::setMouseIcon(PictureRef picture) {
  // Assigning a pointer, even the same one, applies it anew.
  mouseIcon_ = std::move(picture);
  form_->noteChange(*this, kMouseIcon);
}

}  // namespace rt
