// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/convert.h"
#include "runtime/number_chars.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "runtime/errors.h"

namespace {

using rt::RuntimeError;

struct Reading {
  const char* text;
  double value;
};

TEST(LeadingNumber, ReadsTheLongestLeadingNumber) {
  const Reading cases[] = {
      {"100", 100},      {"95", 95},
      {"0", 0},          {"-5", -5},
      {"Game Over!", 0}, {"", 0},
      {"-", 0},          {"12abc", 12},
      {"  7", 7},        {"3.5", 3.5},
      {"-0.25x", -0.25}, {".5", 0.5},
      {"1e3", 1000},     {"2e", 2},
      {"2e+", 2},        {"+8", 8},
      {"5 5", 5},        {"--5", 0},
      {"0005", 5},       {"1.2.3", 1.2},
      {"-Game", 0},      {"99999999999", 99999999999.0},
  };
  for (const Reading& c : cases) {
    EXPECT_EQ(c.value, rt::leadingNumber(c.text)) << '"' << c.text << '"';
  }
}

TEST(LeadingNumber, HugeNumbersReadAsInfinityAndTinyAsZero) {
  EXPECT_EQ(std::numeric_limits<double>::infinity(), rt::leadingNumber("1e999"));
  EXPECT_EQ(-std::numeric_limits<double>::infinity(), rt::leadingNumber("-1e999 $"));
  EXPECT_EQ(0.0, rt::leadingNumber("1e-999"));
  EXPECT_EQ(0.0, rt::leadingNumber("2.5e-310"));  // below the normal numbers, as small as zero
  // The next checked operation reports the overflow.
  EXPECT_THROW(rt::sub(rt::leadingNumber("1e999"), 5), RuntimeError);
}

TEST(StrictNumber, ReadsNumberTexts) {
  const Reading cases[] = {{"0", 0}, {"3", 3}, {"-5", -5}, {" 2 ", 2}, {"1.5", 1.5}, {"1e2", 100}};
  for (const Reading& c : cases) {
    EXPECT_EQ(c.value, rt::strictNumber(c.text)) << '"' << c.text << '"';
  }
}

TEST(StrictNumber, RaisesTypeMismatchOnAnythingElse) {
  for (const char* text : {"", " ", "x", "1x", "Game Over!", "-", "1 2", "e5", "0x10"}) {
    try {
      rt::strictNumber(text);
      ADD_FAILURE() << "no error for \"" << text << '"';
    } catch (const RuntimeError& e) {
      EXPECT_EQ(RuntimeError::Code::TypeMismatch, e.code()) << '"' << text << '"';
      EXPECT_STREQ("Run-time error '13': Type mismatch", e.what());
    }
  }
}

TEST(StrictNumber, RaisesOverflowBeyondADouble) {
  try {
    rt::strictNumber("1e400");
    ADD_FAILURE() << "no error";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(RuntimeError::Code::Overflow, e.code());
  }
}

TEST(NumberText, WritesWholeNumbersAsPlainDigits) {
  const std::pair<double, const char*> cases[] = {
      {95, "95"},
      {-5, "-5"},
      {0, "0"},
      {-0.0, "0"},
      {7, "7"},
      {10, "10"},
      {-10, "-10"},
      {99, "99"},
      {100, "100"},
      {366125, "366125"},
      {1000001, "1000001"},
      {999999999999999, "999999999999999"},
      {-123456789, "-123456789"},
      {1e15, "1E+15"},
      {1e20, "1E+20"},
      {0.5, "0.5"},
      {-2.25, "-2.25"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(text, rt::numberText(value)) << value;
  EXPECT_EQ("9", rt::numberText(9.0f));
  EXPECT_EQ("0", rt::numberText(0.0f));
  EXPECT_EQ("0", rt::numberText(std::int16_t{0}));
  EXPECT_EQ("1", rt::numberText(std::int16_t{1}));
  EXPECT_EQ("-32768", rt::numberText(std::int16_t{-32768}));
  // Digits two at a time down to the sign, at both ends of the range.
  EXPECT_EQ("-9223372036854775808",
            rt::NumberText::whole(std::numeric_limits<std::int64_t>::min()).view());
  EXPECT_EQ("9223372036854775807",
            rt::NumberText::whole(std::numeric_limits<std::int64_t>::max()).view());
}

TEST(NumberText, RoundTripsThroughBothReadings) {
  for (const char* text : {"0", "5", "95", "100", "-5", "-10", "2111", "123456789012345"}) {
    EXPECT_EQ(text, rt::numberText(rt::leadingNumber(text)));
    EXPECT_EQ(text, rt::numberText(rt::strictNumber(text)));
  }
}

TEST(NumberReading, WholeNumbersReadTheSameWithOrWithoutBlanksSignsAndTails) {
  // Plain digits take the short way; with a blank, a plus sign or a tail the
  // same number goes through the general scan and must read the same.
  for (const char* text :
       {"0", "5", "95", "100", "-5", "123456789", "-999999999", "9999999999", "12345678901"}) {
    const double plain = rt::leadingNumber(text);
    EXPECT_EQ(plain, rt::strictNumber(text)) << text;
    EXPECT_EQ(plain, rt::leadingNumber(std::string(" ") + text)) << text;
    EXPECT_EQ(plain, rt::leadingNumber(std::string(text) + "$")) << text;
    EXPECT_EQ(plain, rt::strictNumber(std::string("\t") + text + " ")) << text;
    if (text[0] != '-') {
      EXPECT_EQ(plain, rt::strictNumber(std::string("+") + text)) << text;
    }
  }
}

TEST(RuntimeError, EachCodeHasItsNumberAndMessage) {
  const std::pair<RuntimeError::Code, const char*> cases[] = {
      {RuntimeError::Code::InvalidOperation,
       "Run-time error '5': Invalid floating-point operation"},
      {RuntimeError::Code::Overflow, "Run-time error '6': Overflow"},
      {RuntimeError::Code::TypeMismatch, "Run-time error '13': Type mismatch"},
  };
  for (const auto& [code, message] : cases) {
    const RuntimeError e(code);
    EXPECT_EQ(code, e.code());
    EXPECT_STREQ(message, e.what());
  }
}

TEST(CheckedArithmetic, RaisesOnOverflowAndInvalidOperations) {
  const double big = std::numeric_limits<double>::max();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(10.0, rt::add(4, 6));
  EXPECT_EQ(-5.0, rt::sub(0, 5));
  EXPECT_EQ(9.5, rt::mul(0.95, 10));
  const auto codeOf = [](auto&& f) {
    try {
      f();
    } catch (const RuntimeError& e) {
      return static_cast<int>(e.code());
    }
    return 0;
  };
  EXPECT_EQ(6, codeOf([&] { rt::add(big, big); }));
  EXPECT_EQ(6, codeOf([&] { rt::mul(big, 2); }));
  EXPECT_EQ(5, codeOf([&] { rt::sub(inf, inf); }));
}

TEST(LeadingNumber, IsZeroExactlyWhenItReadsAsZero) {
  const std::pair<const char*, bool> cases[] = {
      {"0", true},
      {"00", true},
      {"-0", true},
      {"0.0", true},
      {" 0", true},
      {"", true},
      {"Game Over!", true},
      {".0", true},
      {"1e-999", true},
      {"15e-400", true},
      {"1E-5", false},
      {"5", false},
      {"1", false},
      {"9", false},
      {"100000", false},
      {"360125", false},
      {"5 ", false},
      {" 5", false},
      {"9.", false},
      {"1a", false},
      {"+1", false},
      {"-1", false},
      {"0.5", false},
      {"٣", true},
      {"99999999999999999999999", false},
      {"1e999", false},
  };
  for (const auto& [text, zero] : cases) {
    EXPECT_EQ(rt::leadingNumber(text) == 0, zero) << '"' << text << '"';
    EXPECT_EQ(zero, rt::leadingNumberIsZero(text)) << '"' << text << '"';
  }
}

// A one-digit amount added to a number text in place gives the text of the
// sum read and written in general, whenever it is taken; it is taken for
// every plain whole number whose sum keeps its count of digits, and leaves
// any other text as it was.
TEST(AddDigitInPlace, GivesTheNumberTextOfTheSumOrLeavesTheText) {
  std::vector<std::string> texts;
  for (int v = 0; v <= 1200; ++v) texts.push_back(std::to_string(v));
  std::uint64_t power = 10;
  for (int digits = 2; digits <= 16; ++digits, power *= 10) {
    for (std::uint64_t v = power - 12; v <= power + 12; ++v) texts.push_back(std::to_string(v));
    texts.push_back(std::to_string(power / 10 * 5 + 3));  // a middle one
  }
  for (const char* odd :
       {"",   " ",  "-",   "-5",  "-10",        "+5", "05", "00", "0.5", "5.", " 5",
        "5 ", "5$", "1E3", "1e3", "Game Over!", "x9", "9x", ":",  "/",   "٣"}) {
    texts.emplace_back(odd);
  }
  int taken = 0;
  for (const std::string& text : texts) {
    const bool plain = !text.empty() && text.size() <= 15 &&
                       text.find_first_not_of("0123456789") == std::string::npos &&
                       (text.size() == 1 || text[0] != '0');
    for (int amount = -12; amount <= 12; ++amount) {
      const std::string sum(rt::numberText(rt::add(rt::leadingNumber(text), amount)).view());
      std::string inPlace = text;
      const bool done = rt::detail::addDigitInPlace(inPlace.data(), inPlace.size(), amount);
      const std::string name = '"' + text + "\" + " + std::to_string(amount);
      EXPECT_EQ(done ? sum : text, inPlace) << name;
      const bool oneDigit = amount != 0 && amount >= -9 && amount <= 9;
      const bool sameLength = sum.size() == text.size() && sum[0] != '-';
      EXPECT_EQ(oneDigit && plain && sameLength, done) << name;
      if (done) ++taken;
    }
  }
  EXPECT_GT(taken, 20000);
}

}  // namespace

TEST(ShortestText, FewestDigitsThatReadBackInTheShorterNotation) {
  const std::pair<double, const char*> cases[] = {
      {0, "0"},
      {-0.0, "-0"},
      {2111, "2111"},
      {0.304, "0.304"},
      {414.110679, "414.110679"},
      {1e20, "1e+20"},
      {1e-4, "1e-04"},
      {123456, "123456"},
      {1e5, "1e+05"},
      {-2.5, "-2.5"},
      {0.1 + 0.2, "0.30000000000000004"},
      {5e-324, "5e-324"},
      {1.7976931348623157e308, "1.7976931348623157e+308"},
  };
  for (const auto& [value, text] : cases) {
    char buf[32];
    const std::size_t n = rt::writeShortest(buf, sizeof buf, value);
    EXPECT_EQ(text, std::string_view(buf, n)) << value;
  }
}
