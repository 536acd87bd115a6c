#include "runtime/events.h"

namespace rt {

Dispatcher::Dispatcher(Form& form) : form_(form), handlers_(form.controls().size() * kEventCount) {}

void Dispatcher::bind(const Control& control, Event event, Handler handler, Purity purity) {
  handlers_[static_cast<std::size_t>(control.index()) * kEventCount +
            static_cast<std::size_t>(event)] = {std::move(handler), purity};
}

void Dispatcher::failed(const RuntimeError& error) {
  error_ = error;
  if (reporter_ != nullptr) reporter_->runtimeError(error);
}

}  // namespace rt
