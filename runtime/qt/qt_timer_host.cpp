// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/qt/qt_timer_host.h"

#include <algorithm>
#include <thread>

namespace rt {
namespace {

class SteadyClock final : public QtTimerHost::RealClock {
 public:
  std::chrono::steady_clock::time_point now() const override {
    return std::chrono::steady_clock::now();
  }
  void sleepUntil(std::chrono::steady_clock::time_point t) override {
    std::this_thread::sleep_until(t);
  }
};

SteadyClock steadyClock;

}  // namespace

QtTimerHost::QtTimerHost(Form& form, Dispatcher& dispatcher, Deliver deliver, QObject* parent)
    : QObject(parent),
      form_(form),
      dispatcher_(dispatcher),
      deliver_(std::move(deliver)),
      schedule_(form, Schedule::Parking::On),
      clock_(&steadyClock) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] { deliverDue(); });
  form_.setTimerHost(this);
}

QtTimerHost::~QtTimerHost() {
  if (form_.timerHost() == this) form_.setTimerHost(nullptr);
  form_.watch({});
}

std::int64_t QtTimerHost::realNow() const {
  if (!started_) return 0;
  return std::chrono::duration_cast<std::chrono::milliseconds>(clock_->now() - epoch_).count();
}

void QtTimerHost::start() {
  epoch_ = clock_->now();
  started_ = true;
  now_ = 0;
  running_ = true;
  arm();
}

void QtTimerHost::stopAll() {
  running_ = false;
  timer_.stop();
}

std::int64_t QtTimerHost::heldNow() const {
  // After the last tick delivered, before the next one due: a tick Qt has
  // not yet delivered comes after this event, as on the virtual clock.
  const std::int64_t due = schedule_.nextDue();
  std::int64_t t = std::max(realNow(), now_);
  if (due != Schedule::kNever) t = std::min(t, std::max(due - 1, now_));
  return t;
}

std::int64_t QtTimerHost::beginEvent() {
  now_ = heldNow();
  inEvent_ = true;
  return now_;
}

std::uint64_t QtTimerHost::missed() const {
  std::uint64_t n = 0;
  for (std::size_t t = 0; t < schedule_.size(); ++t) n += schedule_.missed(t);
  return n;
}

void QtTimerHost::timerSwitched(Control& timer, bool on) {
  if (!inEvent_) now_ = heldNow();
  schedule_.switched(timer, on, now_);
  if (!firing_) arm();
}

void QtTimerHost::watchedChanged(Control& control, Property property) {
  if (!inEvent_) now_ = heldNow();
  schedule_.watchedChanged(control, property, now_);
  if (!firing_) arm();
}

void QtTimerHost::arm() {
  if (!running_) return;
  const std::int64_t due = schedule_.nextDue();
  if (due == Schedule::kNever) {
    timer_.stop();
    return;
  }
  // Qt waits whole milliseconds and rounds up: armed for the whole
  // milliseconds left, it wakes within a millisecond of the due time, before
  // or after it; deliverDue() sleeps out what is left.
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      epoch_ + std::chrono::milliseconds(due) - clock_->now());
  timer_.start(static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, 1 << 30)));
}

void QtTimerHost::deliverDue() {
  // Everything due by now goes out in the schedule's order before Qt gets
  // the next event; a tick can switch on or wake one due at once. A tick due
  // within a millisecond (Qt woke us early, or the evaluation 1 ms after a
  // reel's stop) is slept for and delivered in the same round, so that the
  // frame in between does not make it late, while the round has held the
  // event loop for less than kHold.
  const auto began = clock_->now();
  firing_ = true;
  while (running_ && !dispatcher_.halted()) {
    const std::int64_t due = schedule_.nextDue();
    if (due == Schedule::kNever) break;
    const auto at = epoch_ + std::chrono::milliseconds(due);
    const auto wait = at - clock_->now();
    if (wait > std::chrono::milliseconds(0)) {
      if (wait > std::chrono::milliseconds(1) || at - began > kHold) break;
      clock_->sleepUntil(at);
    }
    const std::int64_t real = realNow();
    while (running_ && schedule_.deliverNext(real, real, now_, dispatcher_, [this](Control& timer) {
      inEvent_ = true;
      const Dispatcher::Outcome outcome = deliver_(timer);
      inEvent_ = false;
      return outcome;
    })) {
    }
  }
  firing_ = false;
  arm();
}

}  // namespace rt
