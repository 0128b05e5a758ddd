// Conversions of DXF value lines. The decimal mark is always the full stop:
// DXF files write one whatever the user's locale.
#pragma once

#include <cstddef>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

// Leading blanks, an optional sign, decimal digits and nothing after them;
// the value must fit a signed 32-bit integer. Throws TConvertError
// ("'%s' は整数ではありません").
std::int32_t ConvertInteger(std::string_view Text);

// Blanks before and after, an optional sign, digits with at most one full
// stop, an optional exponent introduced by E or e. A value too large for a
// double (it would be infinite) is refused; one too small becomes zero.
// Throws TConvertError ("'%s' は浮動小数点数ではありません").
double ConvertReal(std::string_view Text);

// The common case of ConvertReal read inline: an optional minus, digits with
// at most one full stop, 19 digits at most. Up to 2^53 the mantissa is an
// exact double and so is the power of ten, so one division gives the
// correctly rounded value. A larger mantissa is divided in extended precision
// where the platform has it (64 mantissa bits: mantissa and power exact, the
// quotient rounded once); rounding that quotient to a double again gives the
// correctly rounded value unless it lies exactly halfway between two doubles,
// which is left to the full conversion. False when the text is of another
// form (it may still be a number) or is such a halfway case.
inline bool TryConvertPlainDecimal(std::string_view Text, double& Value) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                       1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};
  const char* p = Text.data();
  const char* end = p + Text.size();
  const bool negative = p < end && *p == '-';
  p += negative;
  std::uint64_t mantissa = 0;
  const char* digits = p;
  while (p < end && static_cast<unsigned char>(*p - '0') <= 9)
    mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
  std::ptrdiff_t count = p - digits, decimals = 0;
  if (p < end && *p == '.') {
    const char* fraction = ++p;
    while (p < end && static_cast<unsigned char>(*p - '0') <= 9)
      mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
    decimals = p - fraction;
    count += decimals;
  }
  // 19 digits never overflow 64 bits.
  if (p != end || count == 0 || count > 19) return false;
  double v;
  if (mantissa <= (std::uint64_t{1} << 53)) {
    v = static_cast<double>(mantissa) / kPowers[decimals];
  } else if constexpr (std::numeric_limits<long double>::digits >= 64) {
    // 10^19 needs 45 mantissa bits: exact.
    static constexpr long double kLongPowers[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,
                                                  1e10L, 1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L};
    const long double q = static_cast<long double>(mantissa) / kLongPowers[decimals];
    v = static_cast<double>(q);
    if (static_cast<long double>(v) != q) {
      const double other = std::nextafter(v, static_cast<long double>(v) < q ? HUGE_VAL : -HUGE_VAL);
      // The midpoint of two neighbouring doubles is exact in 64 bits.
      if ((static_cast<long double>(v) + other) / 2 == q) return false;
    }
  } else {
    return false;
  }
  Value = negative ? -v : v;
  return true;
}

// ConvertReal with the common case inline.
inline double ConvertRealFast(std::string_view Text) {
  double value;
  return TryConvertPlainDecimal(Text, value) ? value : ConvertReal(Text);
}

// The same checks without the exception; false when the text is refused.
bool TryConvertInteger(std::string_view Text, std::int32_t& Value);
bool TryConvertReal(std::string_view Text, double& Value);
