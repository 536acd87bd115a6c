// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The game as a host played it (the window, the web page), written as a
// zarnovik-sim script: the seed Form_Load played, then every tick at its due
// time on the schedule (a wait to it, and the timer's name as a comment) and
// every click, press, release and rigged draw at its time between them. Played by zarnovik-sim,
// followed by `show`, the script ends in the host's own state, provided no
// tick was missed. Each event's lines are written and flushed as it happens,
// so that a game ended by a signal or a lost display keeps all it played.

#include <cstdint>
#include <iosfwd>
#include <string>

#include "game/form1.h"
#include "runtime/events.h"

namespace game {

class Recording {
 public:
  explicit Recording(std::ostream& out) : out_(out) {}

  // The seed Form_Load played; the script's first line.
  void begin(std::uint64_t seed);
  // A tick of `timer` at its due time `at` (ms of the game's clock).
  void tick(const rt::Control& timer, std::int64_t at);
  // An event of a control at `at`; those the script has no word for (a
  // click on a control without a handler) change nothing and are left out.
  void input(const Form1& f, const rt::Control& control, rt::Event event, std::int64_t at);
  // A rigged draw at `at`.
  void rig(float r, std::int64_t at);

  // The game's time of the last event recorded, where the script ends.
  std::int64_t until() const { return until_; }

  // The comment line that ends a complete recording: it says so, with the
  // state the window showed at its end (as `show` prints it), so that a cut
  // recording can be told apart and a replay checked against the window.
  std::string endLine(const Form1& f) const;

 private:
  // The wait from the last event to `at`, if any time passed.
  void waitUntil(std::string& lines, std::int64_t at);
  void write(const std::string& lines);

  std::ostream& out_;
  std::int64_t until_ = 0;
};

}  // namespace game
