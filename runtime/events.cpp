#include "runtime/events.h"

namespace rt {

Dispatcher::Dispatcher(Form& form) : form_(form), handlers_(form.controls().size() * kEventCount) {}

void Dispatcher::bind(const Control& control, Event event, Handler handler, Purity purity) {
  handlers_[static_cast<std::size_t>(control.index()) * kEventCount +
            static_cast<std::size_t>(event)] = {std::move(handler), purity};
}

Dispatcher::Outcome Dispatcher::load() {
  return run(load_, nullptr, Event::Click);
}

Dispatcher::Outcome Dispatcher::deliver(Control& control, Event event) {
  // A closed coin slot takes no click, and a timer switched off gets no tick,
  // not even one that fell due before it was switched off.
  if (!control.enabled()) return Outcome::Dropped;
  const Bound& bound = handlers_[static_cast<std::size_t>(control.index()) * kEventCount +
                                 static_cast<std::size_t>(event)];
  return run(bound, &control, event);
}

Dispatcher::Outcome Dispatcher::run(const Bound& bound, const Control* control, Event event) {
  if (halted() || !bound.handler) return Outcome::Dropped;
  const std::uint64_t changes = form_.changeCount();
  const std::uint64_t draws = random_ != nullptr ? random_->draws() : 0;
  form_.forgetReads();
  last_.run += 1;
  last_.control = control;
  last_.event = event;
  last_.quiet = false;
  last_.reads.clear();
  try {
    bound.handler();
  } catch (const RuntimeError& e) {
    error_ = e;
    if (reporter_ != nullptr) reporter_->runtimeError(e);
    return Outcome::Failed;
  }
  last_.quiet = bound.purity == Purity::Pure && form_.changeCount() == changes &&
                (random_ == nullptr || random_->draws() == draws);
  if (last_.quiet) form_.takeReads(last_.reads);
  return Outcome::Handled;
}

}  // namespace rt
