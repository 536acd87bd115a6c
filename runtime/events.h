// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "runtime/errors.h"
#include "runtime/form.h"
#include "runtime/random.h"

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
//
// The quiet-run rule. A handler bound as Pure is a function of the control
// properties it reads and of the random generator, and of nothing else (no
// clock, no file, no state of its own). A run of such a handler that changed
// no property, drew no random number and raised no error leaves the form as
// it found it; run again on the same properties it does the same nothing. So
// a timer whose tick was quiet may sleep (rt::Schedule parks it, and says
// until when and why that is exact). A handler that reads anything else must
// be bound as Impure: its ticks are never taken as quiet.
class Dispatcher {
 public:
  using Handler = std::function<void()>;
  // A handler as a plain function and what it works on: the game's own
  // handlers, called straight, without std::function's indirection, on every
  // tick.
  using Call = void (*)(void* context);
  enum class Purity : std::uint8_t { Pure, Impure };

  explicit Dispatcher(Form& form);
  Dispatcher(const Dispatcher&) = delete;
  Dispatcher& operator=(const Dispatcher&) = delete;

  // The generator whose draws count as changes (see the quiet-run rule).
  void watchGenerator(const Random& random) { draws_ = &random.drawCount(); }

  void bind(const Control& control, Event event, Handler handler, Purity purity = Purity::Impure);
  void bind(const Control& control, Event event, Call call, void* context,
            Purity purity = Purity::Impure);
  void bindLoad(Handler handler) { hold(load_, loadHeld_, std::move(handler), Purity::Impure); }
  void setErrorReporter(ErrorReporter* reporter) { reporter_ = reporter; }

  enum class Outcome { Handled, Dropped, Failed };

  // Raises the window's Load event.
  Outcome load() { return run(load_, nullptr, Event::Click); }
  // Delivers one event to a control.
  Outcome deliver(Control& control, Event event) {
    // A closed coin slot takes no click, and a timer switched off gets no
    // tick, not even one that fell due before it was switched off.
    if (!control.enabledForDelivery()) return Outcome::Dropped;
    return run(entry(control, event), &control, event);
  }

  // True once a run-time error has been reported.
  bool halted() const { return error_.has_value(); }
  const std::optional<RuntimeError>& error() const { return error_; }

  // What the last handler run did, for the timer hosts.
  struct Footprint {
    std::uint64_t run = 0;             // handler runs so far, this one included
    const Control* control = nullptr;  // nullptr for the window's Load
    Event event = Event::Click;
    // A Pure handler that changed no property, drew nothing and raised no error.
    bool quiet = false;
    // The properties it read, or wrote with the value they had, by control
    // index; only if quiet (after a run that was not, it still holds an
    // earlier run's).
    std::vector<std::uint8_t> reads;
  };
  const Footprint& lastRun() const { return last_; }

 private:
  // Small, for one is looked up on every delivery; a handler bound as a
  // std::function is kept apart (held_), and `context` points to it.
  struct Bound {
    Call call = nullptr;  // nullptr: nothing bound
    void* context = nullptr;
    Purity purity = Purity::Impure;
  };
  // Binds a std::function, kept in `held`: called through a plain function
  // that calls it.
  static void hold(Bound& bound, Handler& held, Handler handler, Purity purity);
  // Where the std::function bound to `event` of `control` is kept.
  Handler& heldFor(const Control& control, Event event) { return held_[place(control, event)]; }
  // What is bound to `event` of `control`.
  Bound& entry(const Control& control, Event event) { return handlers_[place(control, event)]; }
  // The place of `event` of `control` in handlers_ and held_.
  static std::size_t place(const Control& control, Event event) {
    return static_cast<std::size_t>(control.index()) * kEventCount +
           static_cast<std::size_t>(event);
  }
  // Inline, for it wraps every tick of every timer.
  Outcome run(const Bound& bound, const Control* control, Event event) {
    if (halted() || bound.call == nullptr) [[unlikely]]
      return Outcome::Dropped;
    const std::uint64_t changes = form_.changeCount();
    const std::uint64_t draws = *draws_;
    form_.forgetReads();
    last_.run += 1;
    last_.control = control;
    last_.event = event;
    last_.quiet = false;
    try {
      bound.call(bound.context);
    } catch (const RuntimeError& e) {
      failed(e);
      return Outcome::Failed;
    }
    last_.quiet =
        form_.changeCount() == changes && *draws_ == draws && bound.purity == Purity::Pure;
    if (last_.quiet) [[unlikely]]
      form_.takeReads(last_.reads);
    return Outcome::Handled;
  }
  // Records and reports the run-time error that ended the program.
  void failed(const RuntimeError& error);

  Form& form_;
  // The watched generator's count of draws; with none watched, a count that
  // stays 0.
  static constexpr std::uint64_t kNoDraws = 0;
  const std::uint64_t* draws_ = &kNoDraws;
  Bound load_;
  Handler loadHeld_;
  std::vector<Bound> handlers_;  // by control index and event
  std::vector<Handler> held_;    // by control index and event, made once at full size
  Footprint last_;
  ErrorReporter* reporter_ = nullptr;
  std::optional<RuntimeError> error_;
};

}  // namespace rt
