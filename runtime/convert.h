#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The text and number conversions of the forms runtime. The game keeps every
// number as text in a control property and converts on each read and write.
namespace rt {

// The blanks of number texts and of the driver's script lines: space and tab.
inline bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

// Leading-number reading: the value of the longest leading part of the text
// that forms a decimal number (blanks before it skipped, an optional sign,
// digits, an optional fraction and exponent). A text with no leading number
// reads as 0, so "Game Over!" and "" read as 0. Never fails; a number too
// large for a double reads as an infinity, which the next checked operation
// reports as an overflow.
double leadingNumber(std::string_view text);

// Strict number reading: the text must be a decimal number, blanks around it
// allowed. Anything else raises the type-mismatch run-time error; a number
// beyond the range of a double raises the overflow run-time error.
double strictNumber(std::string_view text);

// Number text: a whole number as its decimal digits, "-" before a negative
// one, no blank, no decimal point ("95", "-5", "0"). Other values (fractions,
// 15 digits and more) are written with up to 15 significant digits, with an
// exponent where needed ("0.5", "1E+20").
std::string numberText(double value);
// The same for a single-precision value (up to 7 significant digits).
std::string numberText(float value);
// The same for a 16-bit integer: the counters and phase tags the handlers
// reset, which only ever hold small whole numbers.
std::string numberText(std::int16_t value);

// Arithmetic with the floating-point check the runtime makes after every
// addition, subtraction and multiplication: an overflow or an invalid
// operation raises a run-time error.
double checked(double result);
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
