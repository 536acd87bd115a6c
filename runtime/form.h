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
  // The most controls a form holds: its record of reads is a fixed array
  // in the form, cleared whole before every handler run.
  static constexpr std::size_t kMaxControls = 64;

  // Throws std::invalid_argument for more than kMaxControls controls, two
  // controls of one name, or a control in a frame not described before it.
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
  // Clears the record of reads: whole, without looking at which were set,
  // for it runs before every handler run.
  void forgetReads() { reads_.fill(Marks{}); }

  // The properties the timer host watches, by control index: a change to
  // any of them calls TimerHost::watchedChanged() right after it is made.
  // Controls past the end of `masks`, and all of them for an empty list, are
  // not watched.
  void watch(std::span<const std::uint8_t> masks);

 private:
  friend class Control;
  friend void noteChangeNeedingAttention(Form& form, Control& control, Property property);

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
  // The properties read since the reads were last taken, by control index,
  // held in the form itself (see kMaxControls).
  std::array<Marks, kMaxControls> reads_{};
};

}  // namespace rt
