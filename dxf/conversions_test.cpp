#include "dxf/conversions.h"

#include <gtest/gtest.h>

#include <cmath>

#include "dxf/dxf_errors.h"

namespace {

TEST(ConvertInteger, AcceptsLeadingBlanksAndSign) {
  const struct { const char* text; std::int32_t value; } cases[] = {
      {"0", 0}, {"  0", 0}, {" 62", 62}, {"-5", -5}, {"+7", 7}, {"\t10", 10}, {"007", 7},
      {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
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
  const struct { const char* text; double value; } cases[] = {
      {"1.5", 1.5},       {" 1.5 ", 1.5},   {"\t-2\t", -2.0}, {"+2", 2.0},  {"-.5", -0.5},
      {"5.", 5.0},        {"1e3", 1000.0},  {"1E-3", 0.001},  {"2.5e+2", 250.0},
      {"0.1", 0.1},       {"1e-400", 0.0},  {"1.7976931348623157e308", 1.7976931348623157e308},
      {"123456789012345678901234567890", 1.2345678901234568e29},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ConvertReal(c.text), c.value);
  }
}

TEST(ConvertReal, RefusesNonNumbersAndInfinities) {
  for (const char* text : {"", " ", ".", "e3", "1e", "1e+", "1.2.3", "1,5", "inf", "-inf", "nan",
                           "INF", "1e400", "-1e309", "0x10", "1 2", "--1", "1.5x", "1d3"}) {
    SCOPED_TRACE(text);
    try {
      ConvertReal(text);
      ADD_FAILURE() << "accepted";
    } catch (const TConvertError& e) {
      // '%s' は浮動小数点数ではありません
      EXPECT_EQ(std::string(e.what()),
                std::string("'") + text +
                    "' \x82\xcd\x95\x82\x93\xae\x8f\xac\x90\x94\x93\x5f\x90\x94\x82\xc5\x82\xcd"
                    "\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1");
    }
  }
}

}  // namespace
