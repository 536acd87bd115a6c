// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/qt/host.h"

#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <ostream>
#include <string>

#include "game/input.h"
#include "window/qt/keys.h"

namespace window {

Host::Host(const rt::SeedClock& clock, PictureService& pictures, QObject* parent)
    : QObject(parent), machine_(clock) {
  machine_.dispatcher().setErrorReporter(this);
  // Before the window exists, so that a screen reader never sees it without.
  Accessibility::install();
  const FormWindow::Deliver toHost = [this](rt::Control& control, rt::Event event) {
    deliver(control, event);
  };
  window_ = std::make_unique<FormWindow>(machine_.form(), pictures, toHost);
  accessibility_ = std::make_unique<Accessibility>(*window_, machine_.form(), toHost);
  // A player without a mouse drops a coin with a key, down the very road of
  // a click on the slot.
  window_->setKeyClick(isCoinKey, machine_.form().LabelInsertCoin);
  timers_ = std::make_unique<rt::QtTimerHost>(
      machine_.form(), machine_.dispatcher(),
      [this](rt::Control& timer) { return deliver(timer, rt::Event::Timer); });
  errorBox_ = [](QWidget* window, const QString& message) {
    QMessageBox::critical(window, window->windowTitle(), message);
  };
  connect(window_.get(), &FormWindow::closed, this, [this] { windowGone(); });
  // Another client may destroy the window without closing it: the game ends
  // as if the player had closed it.
  destroyWatch_ = std::make_unique<DestroyWatch>(*window_, [this] { windowGone(); });
}

void Host::windowGone() {
  // Whatever runs stops here: no tick and no handler after the close.
  timers_->stopAll();
  if (!over_) {
    over_ = true;
    emit finished(0);
  }
}

Host::~Host() {
  destroyWatch_.reset();
  timers_->stopAll();
  machine_.dispatcher().setErrorReporter(nullptr);
}

void Host::start() {
  machine_.load();
  repaintChanges();
  if (machine_.dispatcher().halted()) return;  // Form_Load failed; the error box follows
  if (recording_) recording_->begin(machine_.random().seedValue());
  window_->show();
  window_->focusFirstButton();
  if (trace_) {
    trace_->watch(window_.get());
    const Trace::Clock::time_point now = Trace::Clock::now();
    for (const rt::Control* timer : machine_.form().timers())
      if (timer->enabled()) trace_->timerOn(timer->name(), timer->interval(), now);
  }
  timers_->start();
}

rt::Dispatcher::Outcome Host::deliver(rt::Control& control, rt::Event event) {
  if (over_) return rt::Dispatcher::Outcome::Dropped;
  // A tick happens at its due time; anything else at the time the timer
  // host gives it, between the ticks delivered and those still due.
  const bool tick = event == rt::Event::Timer;
  const std::int64_t at = tick ? timers_->now() : timers_->beginEvent();
  if (recording_) {
    if (tick) {
      recording_->tick(control, at);
    } else {
      recording_->input(machine_.form(), control, event, at);
    }
  }
  rt::Dispatcher::Outcome outcome;
  if (trace_) {
    outcome = deliverTraced(control, event);
  } else {
    outcome = machine_.deliver(control, event);
    repaintChanges();
  }
  if (!tick) timers_->endEvent();
  if (observer_) observer_(control, event);
  return outcome;
}

void Host::setRecording(std::ostream* out) {
  recording_ = out ? std::make_unique<game::Recording>(*out) : nullptr;
}

void Host::rig(float r) {
  machine_.random().rig(r);
  if (recording_) {
    const std::int64_t at = timers_->beginEvent();
    timers_->endEvent();
    recording_->rig(r, at);
  }
}

rt::Dispatcher::Outcome Host::deliverTraced(rt::Control& control, rt::Event event) {
  const Trace::Clock::time_point began = Trace::Clock::now();
  if (event == rt::Event::Timer) {
    trace_->tick(control.name(), began,
                 timers_->epoch() + std::chrono::milliseconds(timers_->now()));
  }
  const rt::Dispatcher::Outcome outcome = machine_.deliver(control, event);
  const std::vector<rt::Form::Change> changes = machine_.form().takeChanges();
  // A timer switched on in the handler started its interval in there.
  for (const rt::Form::Change& change : changes) {
    const rt::Control& c = *change.control;
    if (c.kind() == rt::Kind::Timer && (change.properties & rt::kEnabled) && c.enabled())
      trace_->timerOn(c.name(), c.interval(), began);
  }
  const QRegion changed = window_->applyChanges(changes);
  accessibility_->changed(changes);
  trace_->handled(control.name(), event == rt::Event::Click, began, changed);
  return outcome;
}

void Host::repaintChanges() {
  const std::vector<rt::Form::Change> changes = machine_.form().takeChanges();
  window_->applyChanges(changes);
  accessibility_->changed(changes);
}

void Host::runtimeError(const rt::RuntimeError& error) {
  // Called while the failed handler unwinds: stop the clock now, and show the
  // message once the handler's own changes have been drawn.
  timers_->stopAll();
  const QString message = QString::fromUtf8(error.what());
  QTimer::singleShot(0, this, [this, message] { reportError(message); });
}

void Host::reportError(const QString& message) {
  if (over_) return;
  over_ = true;
  errorBox_(window_.get(), message);
  emit finished(kRuntimeErrorStatus);
}

}  // namespace window
