// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/qt/stacking.h"

#include "window/qt/pictures.h"

namespace window {

bool hidesBeneath(const rt::Control& control) {
  if (isWidget(control.kind()) || control.kind() == rt::Kind::Label) return true;
  return control.kind() == rt::Kind::Image && control.picture() &&
         PictureService::opaque(control.picture()->key());
}

}  // namespace window
