#include "runtime/control.h"

#include "runtime/form.h"

namespace rt {
namespace {

// Property texts are short ("0", "95", "Game Over!"), so they are compared
// and copied here in place, without the general string routines.
bool sameText(const std::string& held, std::string_view text) {
  if (held.size() != text.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (held[i] != text[i]) return false;
  }
  return true;
}

// A text of another length: the general replace, out of the way of the
// common case.
[[gnu::noinline]] void assignOtherLength(std::string& held, std::string_view text) {
  held.assign(text);
}

void assignText(std::string& held, std::string_view text) {
  const std::size_t n = text.size();
  if (n != held.size()) [[unlikely]] {
    assignOtherLength(held, text);
    return;
  }
  // Overwritten in place, copied forwards, which is right also when the text
  // is a part of what is held: a part never starts before the start.
  char* to = held.data();
  for (std::size_t i = 0; i < n; ++i) to[i] = text[i];
}

}  // namespace

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
      readWord_(&form.readWords_[static_cast<std::size_t>(index) / 64]),
      readBit_(std::uint64_t{1} << (index % 64)) {}

void Control::setCaption(std::string_view text) {
  if (sameText(caption_, text)) return;
  assignText(caption_, text);
  form_->noteChange(*this, kCaption);
}

void Control::setTag(std::string_view text) {
  if (sameText(tag_, text)) return;
  assignText(tag_, text);
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
