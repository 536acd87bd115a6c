#include "runtime/events.h"

namespace rt {

Dispatcher::Dispatcher(Form& form) : form_(form), handlers_(form.controls().size() * kEventCount) {}

void Dispatcher::hold(Bound& bound, Handler handler, Purity purity) {
  // The bound entry never moves (the list is made once, at full size), so it
  // can point to its own std::function.
  bound.held = std::move(handler);
  bound.purity = purity;
  if (!bound.held) {
    bound.call = nullptr;
    bound.context = nullptr;
    return;
  }
  bound.call = [](void* held) { (*static_cast<Handler*>(held))(); };
  bound.context = &bound.held;
}

void Dispatcher::bind(const Control& control, Event event, Handler handler, Purity purity) {
  hold(entry(control, event), std::move(handler), purity);
}

void Dispatcher::bind(const Control& control, Event event, Call call, void* context,
                      Purity purity) {
  Bound& bound = entry(control, event);
  bound.held = nullptr;
  bound.call = call;
  bound.context = context;
  bound.purity = purity;
}

void Dispatcher::failed(const RuntimeError& error) {
  error_ = error;
  if (reporter_ != nullptr) reporter_->runtimeError(error);
}

}  // namespace rt
