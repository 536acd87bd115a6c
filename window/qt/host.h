// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The game played in its window: the machine with its handlers, the window
// that shows its controls and the timers on Qt's event loop.
//
// Every event takes one road: the window or a timer hands it to deliver(),
// the machine runs its handler to the end, and only then the window repaints
// what the handler changed. A run-time error stops the timers and every
// further event, is shown in a message box naming it, and ends the program
// with a non-zero status.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>

#include "game/machine.h"
#include "game/recording.h"
#include "runtime/qt/qt_timer_host.h"
#include "window/qt/accessibility.h"
#include "window/qt/destroy_watch.h"
#include "window/qt/form_window.h"
#include "window/qt/pictures.h"
#include "window/qt/trace.h"

namespace window {

class Host final : public QObject, public rt::ErrorReporter {
  Q_OBJECT

 public:
  // The program's exit status after a run-time error.
  static constexpr int kRuntimeErrorStatus = 3;

  Host(const rt::SeedClock& clock, PictureService& pictures, QObject* parent = nullptr);
  ~Host() override;

  game::Machine& machine() { return machine_; }
  FormWindow& window() { return *window_; }
  rt::QtTimerHost& timers() { return *timers_; }
  Accessibility& accessibility() { return *accessibility_; }

  // Raises Form_Load, shows the window with the focus on the first button
  // and starts the timers that are on.
  void start();

  // Runs the handler of one event, then repaints what it changed; returns
  // what the dispatcher did with it (Dropped once the game is over).
  rt::Dispatcher::Outcome deliver(rt::Control& control, rt::Event event);

  // How a run-time error is shown to the player; by default a message box
  // over the window. Returns when the player has read it.
  using ErrorBox = std::function<void(QWidget* window, const QString& message)>;
  void setErrorBox(ErrorBox box) { errorBox_ = std::move(box); }

  // Told of every event that reached the machine, once its handler has run
  // and the window has been repainted; for a watcher that keeps its own
  // accounts of the game (the soak). Events after the end are not told.
  using Observer = std::function<void(rt::Control& control, rt::Event event)>;
  void setObserver(Observer observer) { observer_ = std::move(observer); }

  void runtimeError(const rt::RuntimeError& error) override;

  // Records ticks, frames and answers to clicks in `trace` (see trace.h);
  // set before start(). Without one, nothing is measured.
  void setTrace(Trace* trace) { trace_ = trace; }

  // Records what the game is given as a zarnovik-sim script to `out` (see
  // recording.h). Set before start(); without it, nothing is recorded.
  void setRecording(std::ostream* out);
  game::Recording* recording() { return recording_.get(); }
  // Rigs the next draw of the game's generator, and records it.
  void rig(float r);
  // The game's time of the last event recorded, where the script ends.
  std::int64_t recordedUntil() const { return recording_ ? recording_->until() : 0; }
  // True while the timers have missed no tick, so that the virtual clock
  // delivers the very ticks the window did.
  bool recordingExact() const { return timers_->missed() == 0; }

 signals:
  // The program is over and should end with this status: 0 when the player
  // closed the window or another program destroyed it, kRuntimeErrorStatus
  // after a run-time error.
  void finished(int status);

 private:
  // The window is gone, closed by the player or destroyed from outside.
  void windowGone();
  void repaintChanges();
  rt::Dispatcher::Outcome deliverTraced(rt::Control& control, rt::Event event);
  void reportError(const QString& message);

  game::Machine machine_;
  std::unique_ptr<FormWindow> window_;
  std::unique_ptr<rt::QtTimerHost> timers_;
  // What screen readers find in the window; goes before the window does.
  std::unique_ptr<Accessibility> accessibility_;
  std::unique_ptr<DestroyWatch> destroyWatch_;
  ErrorBox errorBox_;
  Trace* trace_ = nullptr;
  Observer observer_;
  std::unique_ptr<game::Recording> recording_;
  bool over_ = false;
};

}  // namespace window
