// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string_view>

// The floating-point conversions under the runtime's number readings and
// number texts, in the C locale whatever locale the program runs in, through
// the standard streams: every standard library the game is built with
// (the desktop's and the web page's) has them, and rounds them correctly.
namespace rt {

// Reads a decimal number as the runtime scans one: optional minus sign,
// digits with an optional fraction, an optional exponent. Returns false when
// its value lies beyond a double's normal range (too large, or so small that
// it is not a normal number); `value` is then unspecified.
bool readDecimal(std::string_view number, double& value);
// The same, rounded once, straight to single precision.
bool readDecimal(std::string_view number, float& value);

// Whether `text` is a decimal number in fixed notation: an optional minus
// sign, then digits with an optional fraction, at least one digit in all.
bool isFixedDecimal(std::string_view text);

// Writes `value` (finite) as printf's "%.<precision>G" would in the C locale
// ("1E+20", "0.5"), into `out`, of `size` characters. Returns the length, or
// 0 when it does not fit.
std::size_t writeGeneral(char* out, std::size_t size, double value, int precision);

// Writes `value` in the fewest digits that read back as the same double, as
// std::to_chars without a format does: scientific ("1e+20", "2.5e-07") where
// that is shorter than fixed ("0.304", "2111"), fixed on a tie; "inf", "-inf"
// and "nan" for the others. Returns the length, or 0 when it does not fit.
std::size_t writeShortest(char* out, std::size_t size, double value);

}  // namespace rt
