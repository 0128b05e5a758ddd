#include "dxf/conversions.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "dxf/dxf_errors.h"

namespace {

TEST(ConvertInteger, AcceptsLeadingBlanksAndSign) {
  const struct {
    const char* text;
    std::int32_t value;
  } cases[] = {
      {"0", 0},
      {"  0", 0},
      {" 62", 62},
      {"-5", -5},
      {"+7", 7},
      {"\t10", 10},
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ConvertInteger(c.text), c.value);
  }
}

TEST(ConvertInteger, RefusesAnythingElseNamingTheText) {
  for (const char* text : {"", " ", "1 ", "A", "1.0", "0x10", "2147483648", "-2147483649", "- 1", "+"}) {
    SCOPED_TRACE(text);
    try {
      ConvertInteger(text);
      ADD_FAILURE() << "accepted";
    } catch (const TConvertError& e) {
      // '%s' は整数ではありません
      EXPECT_EQ(std::string(e.what()), std::string("'") + text +
                                           "' \x82\xcd\x90\xae\x90\x94\x82\xc5\x82\xcd\x82\xa0"
                                           "\x82\xe8\x82\xdc\x82\xb9\x82\xf1");
    }
  }
}

TEST(ConvertReal, AcceptsDecimalNumbersWithFullStop) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"1.5", 1.5},
      {" 1.5 ", 1.5},
      {"\t-2\t", -2.0},
      {"+2", 2.0},
      {"-.5", -0.5},
      {"5.", 5.0},
      {"1e3", 1000.0},
      {"1E-3", 0.001},
      {"2.5e+2", 250.0},
      {"0.1", 0.1},
      {"1e-400", 0.0},
      {"1.7976931348623157e308", 1.7976931348623157e308},
      {"123456789012345678901234567890", 1.2345678901234568e29},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ConvertReal(c.text), c.value);
  }
}

// The inline conversion must give exactly what the full one gives, also for
// the long mantissas (16 to 19 digits) a CAD program writes for computed
// points, and for values that fall exactly halfway between two doubles.
TEST(ConvertReal, LongDecimalsAreCorrectlyRounded) {
  const char* const fixed[] = {
      "11192.324614602585",
      "32345.11193283274",
      "-0.30000000000000004",
      "9007199254740993",
      "9007199254740995",
      "9223372036854775807",
      "1844674407370955161.5",
      "0.1000000000000000055511151231257827",
      "4503599627370496.5",
      "4503599627370497.5",
      "1.00000000000000011102230246251565",
      "-0.0",
      "0.0000000000000000001",
      "99999999999999999.99",
  };
  std::uint64_t state = 88172645463325252ULL;
  auto next = [&state] {
    state ^= state << 13, state ^= state >> 7, state ^= state << 17;
    return state;
  };
  std::vector<std::string> texts(std::begin(fixed), std::end(fixed));
  for (int i = 0; i < 20000; ++i) {
    const std::size_t digits = 16 + next() % 4;
    const std::size_t point = next() % (digits + 1);
    std::string text = next() % 2 ? "-" : "";
    for (std::size_t k = 0; k < digits; ++k) {
      if (k == point) text.push_back('.');
      text.push_back(static_cast<char>('0' + next() % 10));
    }
    if (point == digits) text.push_back('.');
    texts.push_back(text);
  }
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    double expected = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), expected);
    const double value = ConvertReal(text);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(expected));
  }
}

TEST(ConvertReal, RefusesNonNumbersAndInfinities) {
  for (const char* text : {"", " ", ".", "e3", "1e", "1e+", "1.2.3", "1,5", "inf", "-inf", "nan", "INF", "1e400",
                           "-1e309", "0x10", "1 2", "--1", "1.5x", "1d3"}) {
    SCOPED_TRACE(text);
    try {
      ConvertReal(text);
      ADD_FAILURE() << "accepted";
    } catch (const TConvertError& e) {
      // '%s' は浮動小数点数ではありません
      EXPECT_EQ(std::string(e.what()), std::string("'") + text +
                                           "' \x82\xcd\x95\x82\x93\xae\x8f\xac\x90\x94\x93\x5f\x90\x94\x82\xc5\x82\xcd"
                                           "\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1");
    }
  }
}

}  // namespace
