// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/convert.h"

#include <array>
#include <cmath>
#include <limits>
#include <optional>

#include "runtime/errors.h"
#include "runtime/number_chars.h"

namespace rt {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// The extent of a decimal number at the start of `text`: optional sign,
// digits with an optional fraction (at least one digit in all), and an
// exponent only when at least one digit follows its letter.
struct NumberExtent {
  std::size_t length = 0;  // 0 when the text does not start with a number
  bool negative = false;
  int integerDigits = 0;  // significant digits before the decimal point
  long exponent = 0;      // written exponent, clamped
};

NumberExtent scanNumber(std::string_view text) {
  NumberExtent ext;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    ext.negative = text[i] == '-';
    ++i;
  }
  std::size_t digits = 0;
  bool leadingZeros = true;
  while (i < text.size() && isDigit(text[i])) {
    if (text[i] != '0') leadingZeros = false;
    if (!leadingZeros) ++ext.integerDigits;
    ++i;
    ++digits;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDigit(text[i])) {
      ++i;
      ++digits;
    }
  }
  if (digits == 0) return NumberExtent{};
  ext.length = i;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    bool expNegative = false;
    if (j < text.size() && (text[j] == '-' || text[j] == '+')) {
      expNegative = text[j] == '-';
      ++j;
    }
    if (j < text.size() && isDigit(text[j])) {
      long exponent = 0;
      while (j < text.size() && isDigit(text[j])) {
        if (exponent < 100000) exponent = exponent * 10 + (text[j] - '0');
        ++j;
      }
      ext.exponent = expNegative ? -exponent : exponent;
      ext.length = j;
    }
  }
  return ext;
}

// Converts a scanned number. Out-of-range values give nullopt when `strict`,
// and otherwise an infinity (too large) or zero (too small).
std::optional<double> convert(std::string_view number, const NumberExtent& ext, bool strict) {
  if (number[0] == '+') number.remove_prefix(1);
  double value = 0;
  if (readDecimal(number, value)) return value;
  // Out of range: decide between overflow and underflow from the magnitude.
  bool tooLarge = ext.integerDigits + ext.exponent > 0;
  if (!tooLarge) return ext.negative ? -0.0 : 0.0;
  if (strict) return std::nullopt;
  double inf = std::numeric_limits<double>::infinity();
  return ext.negative ? -inf : inf;
}

template <typename T>
NumberText toChars(T value, int precision) {
  char buf[NumberText::kCapacity];
  // The runtime writes exponents in capitals: 1E+20.
  const std::size_t n = writeGeneral(buf, sizeof buf, static_cast<double>(value), precision);
  if (n == 0) return NumberText("0");
  return NumberText(std::string_view(buf, n));
}

template <typename T>
NumberText floatingText(T value, int precision, T wholeLimit) {
  if (value == 0) return NumberText("0");  // also -0
  if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < wholeLimit) {
    return NumberText::whole(static_cast<std::int64_t>(value));
  }
  return toChars(value, precision);
}

}  // namespace

namespace detail {

double leadingNumberFallback(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && isBlank(text[start])) ++start;
  text.remove_prefix(start);
  NumberExtent ext = scanNumber(text);
  if (ext.length == 0) return 0;
  return *convert(text.substr(0, ext.length), ext, /*strict=*/false);
}

double strictNumberFallback(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  NumberExtent ext = scanNumber(text);
  if (ext.length == 0 || ext.length != text.size()) {
    throw RuntimeError(RuntimeError::Code::TypeMismatch);
  }
  std::optional<double> value = convert(text, ext, /*strict=*/true);
  if (!value) throw RuntimeError(RuntimeError::Code::Overflow);
  return *value;
}

void raiseFloatingPointError(double result) {
  if (std::isnan(result)) throw RuntimeError(RuntimeError::Code::InvalidOperation);
  throw RuntimeError(RuntimeError::Code::Overflow);
}

NumberText numberTextFallback(double value) {
  return floatingText(value, 15, 1e15);
}

NumberText numberTextFallback(float value) {
  return floatingText(value, 7, 1e7f);
}

}  // namespace detail

}  // namespace rt
