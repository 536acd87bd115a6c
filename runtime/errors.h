#pragma once

#include <stdexcept>
#include <string>

namespace rt {

// A run-time error raised by a handler: a strict number reading of a text that
// is no number, or a floating-point fault in the arithmetic. No handler traps
// it; it unwinds to the event delivery, which reports it and ends the program.
class RuntimeError : public std::runtime_error {
 public:
  enum class Code : int {
    Overflow = 6,
    DivisionByZero = 11,
    TypeMismatch = 13,
    InvalidOperation = 5,
  };

  explicit RuntimeError(Code code);

  Code code() const { return code_; }

 private:
  Code code_;
};

}  // namespace rt
