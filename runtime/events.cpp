#include "runtime/events.h"

namespace rt {

Dispatcher::Dispatcher(Form& form) : handlers_(form.controls().size() * kEventCount) {}

void Dispatcher::bind(const Control& control, Event event, Handler handler) {
  handlers_[static_cast<std::size_t>(control.index()) * kEventCount +
            static_cast<std::size_t>(event)] = std::move(handler);
}

Dispatcher::Outcome Dispatcher::load() {
  return run(load_);
}

Dispatcher::Outcome Dispatcher::deliver(Control& control, Event event) {
  // A closed coin slot takes no click, and a timer switched off gets no tick,
  // not even one that fell due before it was switched off.
  if (!control.enabled()) return Outcome::Dropped;
  const Handler& handler = handlers_[static_cast<std::size_t>(control.index()) * kEventCount +
                                     static_cast<std::size_t>(event)];
  return run(handler);
}

Dispatcher::Outcome Dispatcher::run(const Handler& handler) {
  if (halted() || !handler) return Outcome::Dropped;
  try {
    handler();
  } catch (const RuntimeError& e) {
    error_ = e;
    if (reporter_ != nullptr) reporter_->runtimeError(e);
    return Outcome::Failed;
  }
  return Outcome::Handled;
}

}  // namespace rt
