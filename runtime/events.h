#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "runtime/errors.h"
#include "runtime/form.h"

namespace rt {

enum class Event : std::uint8_t { Click, MouseDown, MouseUp, Timer };
inline constexpr int kEventCount = 4;

// Where a run-time error is reported: a message box in the window, an error
// line in the driver. The report ends the program.
class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  virtual void runtimeError(const RuntimeError& error) = 0;
};

// Delivers events to the handlers bound to them, one at a time and each to
// its end. It decides at delivery whether an event reaches its handler:
//  - a click, mouse press or release reaches only an enabled control;
//  - a tick reaches only a timer that is still on;
//  - nothing is delivered once a run-time error has ended the program.
// A run-time error that leaves a handler is caught here and reported; what the
// handler did before it stays done.
class Dispatcher {
 public:
  using Handler = std::function<void()>;

  explicit Dispatcher(Form& form);

  void bind(const Control& control, Event event, Handler handler);
  void bindLoad(Handler handler) { load_ = std::move(handler); }
  void setErrorReporter(ErrorReporter* reporter) { reporter_ = reporter; }

  enum class Outcome { Handled, Dropped, Failed };

  // Raises the window's Load event.
  Outcome load();
  // Delivers one event to a control.
  Outcome deliver(Control& control, Event event);

  // True once a run-time error has been reported.
  bool halted() const { return error_.has_value(); }
  const std::optional<RuntimeError>& error() const { return error_; }

 private:
  Outcome run(const Handler& handler);

  Handler load_;
  std::vector<Handler> handlers_;  // by control index and event
  ErrorReporter* reporter_ = nullptr;
  std::optional<RuntimeError> error_;
};

}  // namespace rt
