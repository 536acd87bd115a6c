#include "runtime/qt/qt_timer_host.h"

#include <algorithm>

namespace rt {

int QtTimerHost::realInterval(const Control& timer) {
  return timer.interval() > 0 ? std::max(timer.interval(), kShortestInterval) : timer.interval();
}

QtTimerHost::QtTimerHost(Form& form, Deliver deliver, QObject* parent)
    : QObject(parent), form_(form), deliver_(std::move(deliver)) {
  for (Control* timer : form.timers()) {
    auto* qtimer = new QTimer(this);
    qtimer->setTimerType(Qt::PreciseTimer);
    qtimer->setInterval(realInterval(*timer));
    connect(qtimer, &QTimer::timeout, this, [this, timer] {
      // A tick can only come from a running QTimer, and the control is
      // switched off together with it; this guards the order of teardown.
      if (running_ && timer->enabled()) deliver_(*timer);
    });
    slots_.push_back({timer, qtimer});
  }
  form_.setTimerHost(this);
}

QtTimerHost::~QtTimerHost() {
  if (form_.timerHost() == this) form_.setTimerHost(nullptr);
}

void QtTimerHost::start() {
  running_ = true;
  for (Slot& slot : slots_) {
    if (slot.timer->enabled() && slot.timer->interval() > 0) slot.qtimer->start();
  }
}

void QtTimerHost::stopAll() {
  running_ = false;
  for (Slot& slot : slots_) slot.qtimer->stop();
}

void QtTimerHost::timerSwitched(Control& timer, bool on) {
  if (!running_) return;
  for (Slot& slot : slots_) {
    if (slot.timer != &timer) continue;
    if (on && timer.interval() > 0) {
      slot.qtimer->start();
    } else {
      slot.qtimer->stop();
    }
  }
}

}  // namespace rt
