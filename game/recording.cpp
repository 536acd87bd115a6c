// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/recording.h"

#include <optional>
#include <ostream>

#include "game/input.h"
#include "game/script.h"
#include "game/snapshot.h"

namespace game {

void Recording::begin(std::uint64_t seed) {
  write("seed " + std::to_string(seed) + "\n");
}

void Recording::tick(const rt::Control& timer, std::int64_t at) {
  std::string lines;
  waitUntil(lines, at);
  lines += "# ";
  lines += timer.name();
  lines += "\n";
  write(lines);
}

void Recording::input(const Form1& f, const rt::Control& control, rt::Event event,
                      std::int64_t at) {
  const std::optional<Input> input = inputOf(f, control, event);
  if (!input) return;
  std::string lines;
  waitUntil(lines, at);
  lines += inputName(*input);
  lines += "\n";
  write(lines);
}

void Recording::rig(float r, std::int64_t at) {
  std::string lines;
  waitUntil(lines, at);
  write(lines + "rig " + rigText(r) + "\n");
}

std::string Recording::endLine(const Form1& f) const {
  return "# complete: " + Snapshot::of(f).json(until_) + "\n";
}

void Recording::waitUntil(std::string& lines, std::int64_t at) {
  if (at > until_) lines += "wait " + std::to_string(at - until_) + "\n";
  if (at > until_) until_ = at;
}

void Recording::write(const std::string& lines) {
  // One event's lines go out together, at once.
  out_ << lines << std::flush;
}

}  // namespace game
