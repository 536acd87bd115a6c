// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The window description: the stored properties from which the runtime builds
// a window and its controls. Geometry is in twips (15 to a pixel).
namespace rt {

enum class Kind : std::uint8_t { Label, Image, Frame, CommandButton, Timer, Shape, Line };

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A font of a control's own; a control without one uses the window's default.
struct Font {
  float points = 0;  // 0: the window's default font
  bool bold = false;
};

// One control of the description. Within one container the controls are
// listed from the top of the stacking order to the bottom.
struct ControlSpec {
  std::string_view name;
  Kind kind = Kind::Label;
  std::string_view container;  // the window's name, or the name of a frame
  // Left, Top, Width, Height; for a line X1, Y1, X2, Y2.
  int left = 0, top = 0, width = 0, height = 0;
  std::string_view caption;
  std::string_view tag;
  bool visible = true;
  bool enabled = true;
  int interval = 0;              // timers, in ms
  std::string_view picture;      // art key of the Picture property
  std::string_view mouseIcon;    // art key of the MouseIcon property
  std::optional<Rgb> backColor;  // unset: the kind's system default
  std::optional<Rgb> foreColor;
  Font font;
  int tabIndex = -1;
};

struct FormSpec {
  std::string_view name;
  std::string_view caption;
  int clientWidth = 0, clientHeight = 0;  // twips
  Rgb backColor;
  std::string_view icon;       // art key
  std::string_view mouseIcon;  // art key
  Font font;                   // the default font
};

inline constexpr int kTwipsPerPixel = 15;

}  // namespace rt
