#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "runtime/control.h"
#include "runtime/description.h"
#include "runtime/picture.h"

namespace rt {

// Told when a timer control is switched on or off, so that it can start a
// fresh interval or drop the pending tick at once.
class TimerHost {
 public:
  virtual ~TimerHost() = default;
  virtual void timerSwitched(Control& timer, bool on) = 0;
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

 private:
  friend class Control;
  // Records a change; inline, for it follows every property write. Only a
  // control's first change since the last takeChanges() is listed.
  void noteChange(const Control& control, Property property) {
    std::uint8_t& mask = changed_[static_cast<std::size_t>(control.index())];
    if (mask == 0) [[unlikely]]
      listFirstChange(control);
    mask |= property;
  }
  void listFirstChange(const Control& control);

  const FormSpec& stored_;
  PictureFactory pictures_;
  std::vector<Control> controls_;
  std::vector<Control*> timers_;
  PictureRef icon_;
  PictureRef mouseIcon_;
  TimerHost* timerHost_ = nullptr;
  std::vector<std::uint8_t> changed_;
  std::vector<int> changedOrder_;
};

}  // namespace rt
