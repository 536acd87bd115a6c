// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/description.h"
#include "runtime/picture.h"

namespace rt {

class Form;

// The properties whose changes the window needs to know about.
enum Property : std::uint8_t {
  kCaption = 1u << 0,
  kTag = 1u << 1,
  kVisible = 1u << 2,
  kEnabled = 1u << 3,
  kPicture = 1u << 4,
  kMouseIcon = 1u << 5,
};

// A set of Property bits in the form's records of what was read, changed or
// watched. A type of its own rather than a plain byte: the compiler must take
// a write to a plain byte as a possible write to any other data, and reload
// control fields after each property read.
enum class Marks : std::uint8_t {};
constexpr Marks operator|(Marks marks, std::uint8_t properties) {
  return static_cast<Marks>(static_cast<std::uint8_t>(marks) | properties);
}
constexpr std::uint8_t bitsOf(Marks marks) {
  return static_cast<std::uint8_t>(marks);
}

// A control's entry in the form's record of changes: what changed since the
// window last took the changes, and what the timer host watches.
struct ChangeMarks {
  Marks changed{};
  Marks watched{};
  // The properties whose change needs more than its mark and count: every
  // one while the control has no change listed (its first is listed), and
  // those watched. One test on each write then settles the usual case.
  Marks attention = kEveryProperty;

  static constexpr Marks kEveryProperty = static_cast<Marks>(0xFF);
  // Sets `attention` anew from the other two.
  void settle() { attention = changed == Marks{} ? kEveryProperty : watched; }
};

// One control of a window. Its run-time properties start from the
// description and are changed only by event handlers; every change is
// recorded by the owning form (for redrawing) and a timer's Enabled switch is
// passed on to the timer host.
class Control {
 public:
  Control(Form& form, int index, const ControlSpec& stored, Control* container, PictureRef picture,
          PictureRef mouseIcon);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  // Movable only so that a form can build its controls in place.
  Control(Control&&) = default;

  // The properties the control was built with, from the window description.
  const ControlSpec& stored() const { return *stored_; }
  std::string_view name() const { return stored_->name; }
  Kind kind() const { return stored_->kind; }
  int index() const { return index_; }
  // The frame that holds this control, or nullptr when it lies on the window.
  Control* container() const { return container_; }

  // Every getter marks its property as read (see takeReads()), and so does
  // every setter that leaves the value as it was: a timer whose tick changed
  // nothing sleeps until something it read or wrote changes (rt::Schedule).
  const std::string& caption() const {
    noteRead(kCaption);
    return caption_;
  }
  inline void setCaption(std::string_view text);

  const std::string& tag() const {
    noteRead(kTag);
    return tag_;
  }
  inline void setTag(std::string_view text);
  // Tag = Tag + 1: the tag read as a strict number (a text that is not one
  // raises the type-mismatch or overflow run-time error, as strictNumber
  // does), 1 added with the check of every addition, and the sum's number
  // text written back; read and, when it differs, changed, like tag() and
  // setTag(). A counter's one digit below 9 is counted in place, inline.
  inline void incrementTag();
  // Caption = Caption + amount, the caption read by its leading number (a
  // text with none reads 0; see leadingNumber), the sum checked and its
  // number text written back; read and, when it differs, changed, like
  // caption() and setCaption(). Plain digits moved by one digit's amount are
  // worked out in place, inline.
  inline void addToCaption(int amount);

  bool visible() const {
    noteRead(kVisible);
    return visible_;
  }
  inline void setVisible(bool visible);

  bool enabled() const {
    noteRead(kEnabled);
    return enabled_;
  }
  inline void setEnabled(bool enabled);
  // Enabled, as the runtime's own gates see it (whether a click or a tick is
  // delivered): no handler's read, so not marked as one.
  bool enabledForDelivery() const { return enabled_; }

  const PictureRef& picture() const {
    noteRead(kPicture);
    return picture_;
  }
  void setPicture(const PictureRef& picture) {
    if (picture_ != picture) {
      replacePicture(picture);
    } else {
      noteRead(kPicture);
    }
  }

  const PictureRef& mouseIcon() const {
    noteRead(kMouseIcon);
    return mouseIcon_;
  }
  void setMouseIcon(PictureRef picture);

  int interval() const { return stored_->interval; }

 private:
  friend class Form;

  // Writes a text property: in place when the length is the same, which is
  // nearly always (a counter "0" to "1", money "95" to "90"); the change is
  // recorded only when the text differs.
  inline void writeText(std::string& held, std::string_view text, Property property);
  void writeTextOfOtherLength(std::string& held, std::string_view text, Property property);
  // Tag = Tag + 1 for any tag but one digit below 9.
  void incrementTagInGeneral();
  // Caption = Caption + amount for any caption and amount.
  void addToCaptionInGeneral(int amount);
  void replacePicture(const PictureRef& picture);
  // Tells the timer host that this timer was switched.
  void tellTimerHost(bool on);

  Form* form_;
  const ControlSpec* stored_;
  int index_;
  Control* container_;
  std::string caption_;
  std::string tag_;
  bool visible_;
  bool enabled_;
  PictureRef picture_;
  PictureRef mouseIcon_;
  // Marks a property as read in the form's record of reads: one OR, for it
  // follows every property read.
  void noteRead(std::uint8_t property) const { *readMask_ = *readMask_ | property; }

  Marks* readMask_;  // this control's entry in the form's record of reads
  // Its entry in the form's record of changes and of what is watched,
  // reached from the control itself: a property write then needs no index
  // into the form's lists, and finds both marks through one pointer.
  ChangeMarks* changeMarks_;
};

}  // namespace rt
