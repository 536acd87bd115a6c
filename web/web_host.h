// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The game played in a web page: the machine with its handlers, its timers
// on the browser's clock, and the record of what changed for the page to
// draw. The page (web/page/zarnovik.js) calls in with the browser's time in
// milliseconds since the page started; every answer is one line of JSON
// with the controls each handler changed and when the next tick falls due,
// so that the page sleeps until then (not at all while every timer is off
// or parked).
//
// The times follow the window's timer host: a tick happens at its due time
// on the schedule, however late the browser wakes the page; a click, press
// or release at the browser's time, held between the last tick delivered
// and the next one due. A tick behind by more than Schedule::kLeeway ms
// moves its timer to the next point of its grid.

#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "game/machine.h"
#include "game/recording.h"
#include "runtime/schedule.h"

namespace web {

class WebHost final : public rt::TimerHost, public rt::ErrorReporter {
 public:
  // Seeds the game from `clock`, raises Form_Load and starts the clock at 0.
  explicit WebHost(const rt::SeedClock& clock);
  ~WebHost() override;
  WebHost(const WebHost&) = delete;
  WebHost& operator=(const WebHost&) = delete;

  game::Machine& machine() { return machine_; }

  // The window for the page to build: the form's own properties and each
  // control with its place, stacking, colours, font, texts, flags, picture
  // and pointer, and what a screen reader is to call it.
  std::string describe();

  // One event from the page on the control at `index` (Click, MouseDown or
  // MouseUp), at `now`; returns what changed.
  std::string deliver(int index, rt::Event event, double now);
  // Delivers every tick due by `now`, in order; returns what changed.
  std::string tick(double now);

  // The game as zarnovik-sim's `show` prints it, at the last event's time.
  std::string show();
  // What the game was given, as a zarnovik-sim script (see Host::setRecording):
  // the seed, every tick at its due time and every click, press and release.
  std::string recording() const { return recordingText_.str(); }

  // When the next tick falls due, or -1 when none does.
  double nextDue() const;

  void timerSwitched(rt::Control& timer, bool on) override;
  void watchedChanged(rt::Control& control, rt::Property property) override;
  void runtimeError(const rt::RuntimeError& error) override;

 private:
  std::int64_t heldNow(double now) const;
  // The changes since the last answer, with the next due time and the
  // run-time error, if one ended the game.
  std::string answer();

  game::Machine machine_;
  rt::Schedule schedule_;
  std::int64_t now_ = 0;
  std::ostringstream recordingText_;
  game::Recording recording_{recordingText_};
  std::optional<std::string> error_;
};

// The symbols' names as the prize table text (Label4) gives them: the line
// "Изумруд Изумруд Изумруд = х500" names the symbol whose three of a kind pay
// 500 rings. A symbol the text does not name is called by its number.
std::array<std::string, 10> symbolNames(std::string_view prizeTableText);

}  // namespace web
