// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/number_chars.h"

#include <algorithm>
#include <cmath>
#include <ios>
#include <locale>
#include <sstream>
#include <string>

namespace rt {

namespace {

template <typename T>
bool read(std::string_view number, T& value) {
  std::istringstream in{std::string(number)};
  in.imbue(std::locale::classic());
  in >> value;
  // A value out of range fails the stream in one standard library; in
  // another a tiny one comes back as a subnormal number or as zero. Zero is
  // in range only for a number whose digits are all zeros.
  if (in.fail()) return false;
  if (value == 0)
    return number.substr(0, number.find_first_of("eE")).find_first_of("123456789") ==
           std::string_view::npos;
  return std::isnormal(value);
}

bool allDigits(std::string_view text) {
  return text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

bool readDecimal(std::string_view number, double& value) {
  return read(number, value);
}

bool readDecimal(std::string_view number, float& value) {
  return read(number, value);
}

bool isFixedDecimal(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  const std::size_t point = text.find('.');
  if (point == std::string_view::npos) return !text.empty() && allDigits(text);
  return text.size() > 1 && allDigits(text.substr(0, point)) && allDigits(text.substr(point + 1));
}

std::size_t writeGeneral(char* out, std::size_t size, double value, int precision) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text.setf(std::ios::uppercase);
  text.precision(precision);
  text << value;
  const std::string s = std::move(text).str();
  if (s.size() > size) return 0;
  s.copy(out, s.size());
  return s.size();
}

std::size_t writeShortest(char* out, std::size_t size, double value) {
  std::string text;
  if (std::isnan(value)) {
    text = "nan";
  } else if (std::isinf(value)) {
    text = value < 0 ? "-inf" : "inf";
  } else {
    // The fewest significant digits that read back as the value; then the
    // shorter of that many digits in scientific and in fixed notation.
    std::string scientific;
    int digits = 1;
    for (; digits <= 17; ++digits) {
      std::ostringstream s;
      s.imbue(std::locale::classic());
      s << std::scientific;
      s.precision(digits - 1);
      s << value;
      scientific = std::move(s).str();
      // A subnormal value counts as out of range in one standard library,
      // but reads back the same; a text beyond the largest double reads as
      // the largest in another, and does not count.
      double back = 0;
      std::istringstream in(scientific);
      in.imbue(std::locale::classic());
      in >> back;
      if (back == value && (!in.fail() || std::fpclassify(value) == FP_SUBNORMAL)) break;
    }
    const std::size_t e = scientific.find('e');
    const int exponent = std::stoi(scientific.substr(e + 1));
    std::ostringstream f;
    f.imbue(std::locale::classic());
    f << std::fixed;
    f.precision(std::max(0, digits - 1 - exponent));
    f << value;
    const std::string fixed = std::move(f).str();
    text = fixed.size() <= scientific.size() ? fixed : scientific;
  }
  if (text.size() > size) return 0;
  text.copy(out, text.size());
  return text.size();
}

}  // namespace rt
