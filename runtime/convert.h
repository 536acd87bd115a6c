// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

// The text and number conversions of the forms runtime. The game keeps every
// number as text in a control property and converts on each read and write.
namespace rt {

// The blanks of number texts and of the driver's script lines: space and tab.
inline bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

namespace detail {

// The texts the game writes and reads most by far are short whole numbers
// ("0", "95", "-5"). They are read here, inline, without the general scan;
// any other text (blanks, a plus sign, a fraction, more digits) returns false
// and takes the general scan, which reads the same value.
inline bool shortWhole(std::string_view text, double& value) {
  // One digit, as every phase counter holds, before all else.
  if (text.size() == 1) {
    const auto digit = static_cast<unsigned>(static_cast<unsigned char>(text[0]) - '0');
    value = digit;
    return digit <= 9;
  }
  const std::size_t sign = (!text.empty() && text[0] == '-') ? 1 : 0;
  if (text.size() <= sign || text.size() > 9) return false;
  std::uint32_t whole = 0;
  for (std::size_t i = sign; i < text.size(); ++i) {
    const auto digit = static_cast<std::uint32_t>(static_cast<unsigned char>(text[i]) - '0');
    if (digit > 9) return false;
    whole = whole * 10 + digit;
  }
  value = sign != 0 ? -static_cast<double>(whole) : static_cast<double>(whole);
  return true;
}

double leadingNumberScanned(std::string_view text);
double strictNumberScanned(std::string_view text);
[[noreturn]] void raiseFloatingPointError(double result);

}  // namespace detail

// Leading-number reading: the value of the longest leading part of the text
// that forms a decimal number (blanks before it skipped, an optional sign,
// digits, an optional fraction and exponent). A text with no leading number
// reads as 0, so "Game Over!" and "" read as 0. Never fails; a number too
// large for a double reads as an infinity, which the next checked operation
// reports as an overflow.
inline double leadingNumber(std::string_view text) {
  double value;
  return detail::shortWhole(text, value) ? value : detail::leadingNumberScanned(text);
}

// Whether the leading number of a text is 0 (see leadingNumber). Plain
// digits led by 1 to 9 are a whole number of at least 1, settled without
// working out its value; any other text (an exponent, for one, may take a
// number below the smallest double to 0) is read in full.
inline bool leadingNumberIsZero(std::string_view text) {
  if (!text.empty() && static_cast<unsigned>(static_cast<unsigned char>(text[0]) - '1') <= 8) {
    std::size_t i = 1;
    while (i < text.size() &&
           static_cast<unsigned>(static_cast<unsigned char>(text[i]) - '0') <= 9) {
      ++i;
    }
    if (i == text.size()) return false;
  }
  return leadingNumber(text) == 0;
}

// Strict number reading: the text must be a decimal number, blanks around it
// allowed. Anything else raises the type-mismatch run-time error; a number
// beyond the range of a double raises the overflow run-time error.
inline double strictNumber(std::string_view text) {
  double value;
  return detail::shortWhole(text, value) ? value : detail::strictNumberScanned(text);
}

// Number text: a whole number as its decimal digits, "-" before a negative
// one, no blank, no decimal point ("95", "-5", "0"). Other values (fractions,
// 15 digits and more) are written with up to 15 significant digits, with an
// exponent where needed ("0.5", "1E+20").
//
// The text is held in place, not on the heap: it is written into a property
// at once, many times a spin.
class NumberText {
 public:
  // Room for the longest text: 15 significant digits, sign, point, exponent.
  static constexpr std::size_t kCapacity = 32;
  // "00" to "99", for writing digits two at a time.
  static constexpr char kDigitPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";

  explicit NumberText(std::string_view text) {
    const std::size_t n = text.size() < kCapacity ? text.size() : kCapacity;
    start_ = static_cast<std::uint8_t>(kCapacity - n);
    std::memcpy(text_ + start_, text.data(), n);
  }

  // The digits of a whole number, "-" before a negative one, written in
  // place from the last digit backwards.
  static NumberText whole(std::int64_t value) {
    NumberText t;
    if (value >= 0 && value < 10) {  // the counters' and reels' own texts
      t.text_[kCapacity - 1] = static_cast<char>('0' + value);
      t.start_ = kCapacity - 1;
      return t;
    }
    char* p = t.text_ + kCapacity;
    // Negated as unsigned, so that the most negative number has its digits too.
    std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    // Two digits a step: the money runs to six digits over a long session.
    while (magnitude >= 100) {
      const auto pair = static_cast<std::size_t>(magnitude % 100) * 2;
      magnitude /= 100;
      *--p = kDigitPairs[pair + 1];
      *--p = kDigitPairs[pair];
    }
    if (magnitude >= 10) {
      const auto pair = static_cast<std::size_t>(magnitude) * 2;
      *--p = kDigitPairs[pair + 1];
      *--p = kDigitPairs[pair];
    } else {
      *--p = static_cast<char>('0' + magnitude);
    }
    if (value < 0) *--p = '-';
    t.start_ = static_cast<std::uint8_t>(p - t.text_);
    return t;
  }

  std::string_view view() const { return {text_ + start_, kCapacity - start_}; }
  operator std::string_view() const { return view(); }
  std::string str() const { return std::string(view()); }

  friend bool operator==(const NumberText& a, std::string_view b) { return a.view() == b; }
  friend std::ostream& operator<<(std::ostream& out, const NumberText& t) {
    return out << t.view();
  }

 private:
  NumberText() = default;

  char text_[kCapacity];
  std::uint8_t start_ = kCapacity;
};

NumberText numberTextOfAnyDouble(double value);
inline NumberText numberText(double value) {
  // The common case inline: a whole number well within 32 bits (-0 too).
  if (value > -1e9 && value < 1e9) {
    const auto whole = static_cast<std::int32_t>(value);
    if (static_cast<double>(whole) == value) return NumberText::whole(whole);
  }
  return numberTextOfAnyDouble(value);
}
// The same for a single-precision value (up to 7 significant digits).
NumberText numberTextOfAnySingle(float value);
inline NumberText numberText(float value) {
  if (value > -1e7f && value < 1e7f) {
    const auto whole = static_cast<std::int32_t>(value);
    if (static_cast<float>(whole) == value) return NumberText::whole(whole);
  }
  return numberTextOfAnySingle(value);
}
// The same for a 16-bit integer: the counters and phase tags the handlers
// reset, which only ever hold small whole numbers.
inline NumberText numberText(std::int16_t value) {
  return NumberText::whole(value);
}

// Adds a one-digit amount (-9 to 9, not 0) to a number text in place, when
// that text is a whole number's plain digits ("7", "95", "100000": no sign,
// blank, point or leading zero, up to 15 digits) and the sum has as many
// digits. It reads the same number as leadingNumber() and strictNumber()
// and leaves the sum's number text: numberText(value + amount), always
// another text. Returns false, the text untouched, for any other amount,
// text or sum (a carry into a new digit, a sum below 0 or with a leading
// zero), which the caller works out in general. The money and the prize
// move by 1 and 5 on most ticks.
inline bool addDigitInPlace(char* text, std::size_t n, int amount) {
  if (amount == 0 || amount < -9 || amount > 9) return false;
  if (n == 0 || n > 15) return false;
  if (n > 1 && text[0] == '0') return false;
  for (std::size_t i = 0; i < n; ++i) {
    if (static_cast<unsigned>(static_cast<unsigned char>(text[i]) - '0') > 9) return false;
  }
  const std::size_t last = n - 1;
  const int sum = (text[last] - '0') + amount;
  if (sum >= 0 && sum <= 9) {
    text[last] = static_cast<char>('0' + sum);
    return true;
  }
  // A carry (a digit past 9) or a borrow (below 0) into the digits before:
  // it runs over the 9s (or 0s) before the last digit to the first that takes it.
  const bool carry = sum > 9;
  const char runs = carry ? '9' : '0';
  std::size_t j = last;
  while (j > 0 && text[j - 1] == runs) --j;
  if (j == 0) return false;  // a new digit, or a sum below 0
  const std::size_t takes = j - 1;
  // A borrow that leaves the leading digit 0 shortens the text.
  if (!carry && takes == 0 && text[0] == '1') return false;
  text[takes] = static_cast<char>(text[takes] + (carry ? 1 : -1));
  for (std::size_t i = j; i < last; ++i) text[i] = carry ? '0' : '9';
  text[last] = static_cast<char>('0' + (carry ? sum - 10 : sum + 10));
  return true;
}

// Arithmetic with the floating-point check the runtime makes after every
// addition, subtraction and multiplication: an overflow or an invalid
// operation raises a run-time error.
inline double checked(double result) {
  // Both faults leave a result that is not finite.
  if (result - result != 0) [[unlikely]]
    detail::raiseFloatingPointError(result);
  return result;
}
inline double add(double a, double b) {
  return checked(a + b);
}
inline double sub(double a, double b) {
  return checked(a - b);
}
inline double mul(double a, double b) {
  return checked(a * b);
}

}  // namespace rt
