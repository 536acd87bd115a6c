// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which control hides which: the one rule the painter, the drawing ahead and
// the screen reader all go by.
//
// Within one container, frames and buttons are widgets of their own and lie
// above every painted control (labels, images, the shape and the lines);
// among the widgets, and among the painted controls, the description lists
// them top first. A shown control hides what lies beneath it within its
// rectangle when it fills that rectangle: a widget and a label always, an
// image when its picture has no transparency. The shape and the lines are
// outlines and hide nothing.

#include "runtime/control.h"

namespace window {

// A frame or a button: a widget of its own.
inline bool isWidget(rt::Kind kind) {
  return kind == rt::Kind::Frame || kind == rt::Kind::CommandButton;
}

// Painted on its container by the window itself.
inline bool isPainted(rt::Kind kind) {
  return kind == rt::Kind::Label || kind == rt::Kind::Image || kind == rt::Kind::Shape ||
         kind == rt::Kind::Line;
}

// Whether `upper` lies above `lower`: both in one container, and `upper` a
// widget over a painted control, or of the same sort and listed first.
inline bool liesAbove(const rt::Control& upper, const rt::Control& lower) {
  if (&upper == &lower || upper.container() != lower.container()) return false;
  const bool upperWidget = isWidget(upper.kind());
  if (upperWidget != isWidget(lower.kind())) return upperWidget;
  return upper.index() < lower.index();
}

// Whether the control, as it now is, hides all that lies beneath it within
// its rectangle while it is shown (its Visible aside).
bool hidesBeneath(const rt::Control& control);

// Whether the control can ever hide what lies beneath it: a widget, a label
// or an image (whose picture may be replaced by an opaque one).
inline bool mayHide(const rt::Control& control) {
  return isWidget(control.kind()) || control.kind() == rt::Kind::Label ||
         control.kind() == rt::Kind::Image;
}

}  // namespace window
