// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/errors.h"

namespace rt {
namespace {

std::string describe(RuntimeError::Code code) {
  const char* what = "";
  switch (code) {
    case RuntimeError::Code::Overflow:
      what = "Overflow";
      break;
    case RuntimeError::Code::TypeMismatch:
      what = "Type mismatch";
      break;
    case RuntimeError::Code::InvalidOperation:
      what = "Invalid floating-point operation";
      break;
  }
  return "Run-time error '" + std::to_string(static_cast<int>(code)) + "': " + what;
}

}  // namespace

RuntimeError::RuntimeError(Code code) : std::runtime_error(describe(code)), code_(code) {}

}  // namespace rt
