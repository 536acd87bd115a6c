// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "runtime/control.h"
#include "runtime/convert.h"
#include "runtime/description.h"
#include "runtime/picture.h"

namespace rt {

// Told when a timer control is switched on or off, so that it can start a
// fresh interval or drop the pending tick at once; and when a property that
// the host is watching changes (see Form::watch()).
class TimerHost {
 public:
  virtual ~TimerHost() = default;
  virtual void timerSwitched(Control& timer, bool on) = 0;
  virtual void watchedChanged(Control& control, Property property) {
    (void)control;
    (void)property;
  }
};

// A window and all its controls, built from a description. It owns every
// control and every picture object for its whole life; nothing is created or
// released while it runs.
class Form {
 public:
  Form(const FormSpec& stored, std::span<const ControlSpec> controls);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // The window's own stored properties.
  const FormSpec& stored() const { return stored_; }

  // The control of that name; throws std::out_of_range when there is none.
  Control& control(std::string_view name);
  // The control of that name, or nullptr.
  Control* find(std::string_view name);

  std::span<Control> controls() { return {controls_.data(), controls_.size()}; }
  std::span<const Control> controls() const { return {controls_.data(), controls_.size()}; }
  // The timer controls in the order of the description.
  std::span<Control* const> timers() const { return {timers_.data(), timers_.size()}; }

  const PictureRef& icon() const { return icon_; }
  const PictureRef& mouseIcon() const { return mouseIcon_; }

  void setTimerHost(TimerHost* host) { timerHost_ = host; }
  TimerHost* timerHost() const { return timerHost_; }

  // The controls changed since the last call, with the properties that
  // changed (a mask of Property bits), in the order of their first change.
  struct Change {
    Control* control;
    std::uint8_t properties;
  };
  std::vector<Change> takeChanges();
  bool hasChanges() const { return !changedOrder_.empty(); }

  // How many property changes there have been so far: equal before and
  // after a handler run when the run changed nothing.
  std::uint64_t changeCount() const { return changeCount_; }

  // The properties read since the reads were last taken or forgotten, by
  // control index (a mask of Property bits each), into `reads`; then forgets
  // them. Fills `reads` in place, so that a caller that keeps it allocates once.
  void takeReads(std::vector<std::uint8_t>& reads);
  // Clears the record of reads.
  void forgetReads() {
    // Cleared whole, without looking at which were set: a form of up to 64
    // controls in a fixed few stores, before every handler run.
    if (readsHeldInForm_) [[likely]] {
      readsHeld_.fill(Marks{});
    } else {
      std::fill(readsOfMore_.begin(), readsOfMore_.end(), Marks{});
    }
  }

  // The properties the timer host watches, by control index: a change to
  // any of them calls TimerHost::watchedChanged() right after it is made.
  // Controls past the end of `masks`, and all of them for an empty list, are
  // not watched.
  void watch(std::span<const std::uint8_t> masks);

 private:
  friend class Control;
  // Records a change; inline, for it follows every property write. Only a
  // control's first change since the last takeChanges() is listed.
  void noteChange(Control& control, Property property) {
    ChangeMarks& marks = *control.changeMarks_;
    ++changeCount_;
    if ((bitsOf(marks.attention) & property) != 0) [[unlikely]] {
      noteChangeNeedingAttention(control, property);
      return;
    }
    marks.changed = marks.changed | property;
  }
  // A control's first change since the changes were last taken, or a change
  // to a watched property: listed, marked, and told to the timer host.
  void noteChangeNeedingAttention(Control& control, Property property);

  const FormSpec& stored_;
  PictureFactory pictures_;
  std::vector<Control> controls_;
  std::vector<Control*> timers_;
  PictureRef icon_;
  PictureRef mouseIcon_;
  TimerHost* timerHost_ = nullptr;
  // What changed and what is watched, by control index (see ChangeMarks).
  std::vector<ChangeMarks> changed_;
  std::vector<int> changedOrder_;
  std::uint64_t changeCount_ = 0;
  // The properties read since the reads were last taken, by control index: in
  // the form itself for up to 64 controls, cleared in a few fixed stores;
  // otherwise in readsOfMore_.
  std::array<Marks, 64> readsHeld_{};
  std::vector<Marks> readsOfMore_;
  std::span<Marks> reads_;  // the one in use
  bool readsHeldInForm_;    // readsOfMore_ is empty: one flag tested, not two pointers
};

// The setters follow every handler's writes, so they are inline, here where
// the form that records their changes is known.

inline void Control::writeText(std::string& held, std::string_view text, Property property) {
  const std::size_t n = text.size();
  if (n != held.size()) [[unlikely]] {
    writeTextOfOtherLength(held, text, property);
    return;
  }
  // Compared and copied in place, not by the general string routines: the
  // texts are a few characters. Copied forwards, which is right also when the
  // text is a part of what is held: a part never starts before the start.
  char* to = held.data();
  std::size_t i = 0;
  while (i < n && to[i] == text[i]) ++i;
  if (i == n) {
    noteRead(property);  // the same text: a write that changes nothing reads it
    return;
  }
  for (; i < n; ++i) to[i] = text[i];
  form_->noteChange(*this, property);
}

inline void Control::setCaption(std::string_view text) {
  writeText(caption_, text, kCaption);
}

inline void Control::setTag(std::string_view text) {
  writeText(tag_, text, kTag);
}

inline void Control::incrementTag() {
  noteRead(kTag);
  if (tag_.size() == 1) {
    const auto digit = static_cast<unsigned>(static_cast<unsigned char>(tag_[0]) - '0');
    // "0" to "8" reads as that digit, and the sum's text is the next digit,
    // one character in place of one: always a change.
    if (digit < 9) [[likely]] {
      tag_[0] = static_cast<char>('1' + digit);
      form_->noteChange(*this, kTag);
      return;
    }
  }
  incrementTagInGeneral();
}

[[gnu::always_inline]] inline void Control::addToCaption(int amount) {
  noteRead(kCaption);
  if (addDigitInPlace(caption_.data(), caption_.size(), amount)) {
    form_->noteChange(*this, kCaption);  // another number: another text
    return;
  }
  addToCaptionInGeneral(amount);
}

inline void Control::setVisible(bool visible) {
  if (visible_ == visible) {
    noteRead(kVisible);
    return;
  }
  visible_ = visible;
  form_->noteChange(*this, kVisible);
}

inline void Control::setEnabled(bool enabled) {
  if (enabled_ == enabled) {
    noteRead(kEnabled);
    return;
  }
  enabled_ = enabled;
  form_->noteChange(*this, kEnabled);
  if (stored_->kind == Kind::Timer) tellTimerHost(enabled);
}

}  // namespace rt
