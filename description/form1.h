// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string_view>

#include "runtime/description.h"

// The description of the game's one window, Form1: the window's own
// properties and its 56 controls with everything they start with.
namespace description {

const rt::FormSpec& form1Spec();
std::span<const rt::ControlSpec> form1Controls();

// The fan-site address shown by Label10 and Label11 and named on Command2.
inline constexpr std::string_view kFanSite = "brimonfan.ru";

}  // namespace description
