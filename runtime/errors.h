// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace rt {

// A run-time error raised by a handler: a strict number reading of a text that
// is no number, or a floating-point fault in the arithmetic. No handler traps
// it; it unwinds to the event delivery, which reports it and ends the program.
class RuntimeError : public std::runtime_error {
 public:
  // The numbers are those the player sees in the error message
  // ("Run-time error '13': Type mismatch"), the runtime's own numbering.
  enum class Code : int {
    InvalidOperation = 5,  // a floating-point result that is no number (NaN)
    Overflow = 6,          // a result, or a number read strictly, beyond a double
    TypeMismatch = 13,     // a strict number reading of a text that is no number
  };

  explicit RuntimeError(Code code);

  Code code() const { return code_; }

 private:
  Code code_;
};

}  // namespace rt
