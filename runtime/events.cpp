// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/events.h"

namespace rt {

Dispatcher::Dispatcher(Form& form)
    : form_(form),
      handlers_(form.controls().size() * kEventCount),
      held_(form.controls().size() * kEventCount) {}

void Dispatcher::hold(Bound& bound, Handler& held, Handler handler, Purity purity) {
  // The std::function never moves (its list is made once, at full size), so
  // the entry can point to it.
  held = std::move(handler);
  bound.purity = purity;
  if (!held) {
    bound.call = nullptr;
    bound.context = nullptr;
    return;
  }
  bound.call = [](void* h) { (*static_cast<Handler*>(h))(); };
  bound.context = &held;
}

void Dispatcher::bind(const Control& control, Event event, Handler handler, Purity purity) {
  hold(entry(control, event), heldFor(control, event), std::move(handler), purity);
}

void Dispatcher::bind(const Control& control, Event event, Call call, void* context,
                      Purity purity) {
  Bound& bound = entry(control, event);
  heldFor(control, event) = nullptr;
  bound.call = call;
  bound.context = context;
  bound.purity = purity;
}

void Dispatcher::failed(const RuntimeError& error) {
  error_ = error;
  if (reporter_ != nullptr) reporter_->runtimeError(error);
}

}  // namespace rt
