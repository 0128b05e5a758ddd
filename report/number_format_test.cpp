#include "report/number_format.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(FormatMeasure, TenWideThreeDecimalsHalfAwayFromZero) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0.0, "     0.000"},
      {5.0, "     5.000"},
      {2.0625, "     2.063"},  // the half rounds up, not to even
      {2.0624999, "     2.062"},
      {-2.0625, "    -2.063"},
      {0.0625, "     0.063"},
      {0.0005, "     0.001"},
      {15.707963267948966, "    15.708"},
      {0.30000000000000004, "     0.300"},
      // Rounded to 18 significant digits first: the doubles nearest 0.0195 and
      // 0.1245 lie just below them, yet they print as the decimals written.
      {0.0195, "     0.020"},
      {0.1245, "     0.125"},
      {999.9995, "  1000.000"},  // the carry runs into a new digit
      {99999.9999, "100000.000"},
      {1234567.0, "1234567.000"},  // wider than ten: nothing cut
      {1e20, "100000000000000000000.000"},
      {1e-7, "     0.000"},
      {-0.0001, "     0.000"},  // no minus sign on a zero
      {-0.0, "     0.000"},
      {std::numeric_limits<double>::infinity(), "       INF"},
      {-std::numeric_limits<double>::infinity(), "      -INF"},
      {std::numeric_limits<double>::quiet_NaN(), "       NAN"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatMeasure(c.value), c.text);
  }
  EXPECT_EQ(FormatMeasure(1.7976931348623157e308).size(), 309u + 4u);
}

}  // namespace
