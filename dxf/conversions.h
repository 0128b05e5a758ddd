// Conversions of DXF value lines. The decimal mark is always the full stop:
// DXF files write one whatever the user's locale.
#pragma once

#include <cstddef>
#include <cstdint>
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
// at most one full stop, 15 digits at most. Mantissa and power of ten are then
// exact doubles, so one division gives the correctly rounded value. False
// when the text is of another form (it may still be a number).
inline bool TryConvertPlainDecimal(std::string_view Text, double& Value) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const char* p = Text.data();
  const char* end = p + Text.size();
  const bool negative = p < end && *p == '-';
  p += negative;
  std::uint64_t mantissa = 0;
  const char* digits = p;
  while (p < end && static_cast<unsigned char>(*p - '0') <= 9) mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
  std::ptrdiff_t count = p - digits, decimals = 0;
  if (p < end && *p == '.') {
    const char* fraction = ++p;
    while (p < end && static_cast<unsigned char>(*p - '0') <= 9) mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
    decimals = p - fraction;
    count += decimals;
  }
  if (p != end || count == 0 || count > 15) return false;
  // At most 15 digits: the signed conversion is exact.
  const double v = static_cast<double>(static_cast<std::int64_t>(mantissa)) / kPowers[decimals];
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
