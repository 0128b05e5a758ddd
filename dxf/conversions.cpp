#include "dxf/conversions.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "dxf/dxf_errors.h"

namespace {

bool IsBlank(char C) { return C == ' ' || C == '\t'; }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }

}  // namespace

bool TryConvertInteger(std::string_view Text, std::int32_t& Value) {
  const char* p = Text.data();
  const char* end = p + Text.size();
  while (p < end && IsBlank(*p)) ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  if (p == end) return false;
  // Accumulated as a negative number so that the smallest value fits.
  std::int64_t v = 0;
  for (; p < end; ++p) {
    if (!IsDigit(*p)) return false;
    v = v * 10 - (*p - '0');
    if (v < -2147483648LL) return false;
  }
  if (!negative) {
    if (v < -2147483647LL) return false;
    v = -v;
  }
  Value = static_cast<std::int32_t>(v);
  return true;
}

bool TryConvertReal(std::string_view Text, double& Value) {
  if (TryConvertPlainDecimal(Text, Value)) return true;
  const char* p = Text.data();
  const char* end = p + Text.size();
  while (p < end && IsBlank(*p)) ++p;
  while (end > p && IsBlank(end[-1])) --end;

  const char* number = p;  // from_chars takes '-' but not '+'
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
    if (!negative) number = p;
  }
  // Check the whole syntax first: from_chars alone would take "inf", "nan"
  // and stop quietly before trailing garbage.
  const char* q = p;
  std::size_t digits = 0;
  std::int64_t intDigits = 0;  // significant digits before the full stop
  bool significant = false;
  while (q < end && IsDigit(*q)) {
    if (*q != '0') significant = true;
    if (significant) ++intDigits;
    ++q, ++digits;
  }
  std::int64_t leadingFractionZeros = 0;
  if (q < end && *q == '.') {
    ++q;
    while (q < end && IsDigit(*q)) {
      if (*q != '0') significant = true;
      if (!significant) ++leadingFractionZeros;
      ++q, ++digits;
    }
  }
  if (digits == 0) return false;
  std::int64_t exponent = 0;
  if (q < end && (*q == 'e' || *q == 'E')) {
    ++q;
    bool negativeExponent = false;
    if (q < end && (*q == '+' || *q == '-')) negativeExponent = *q++ == '-';
    if (q == end) return false;
    for (; q < end; ++q) {
      if (!IsDigit(*q)) return false;
      if (exponent < 100000000) exponent = exponent * 10 + (*q - '0');
    }
    if (negativeExponent) exponent = -exponent;
  }
  if (q != end) return false;

  double v = 0.0;
  const auto result = std::from_chars(number, end, v, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    // Out of range either way: too large is refused, too small is zero.
    const std::int64_t magnitude = intDigits > 0 ? intDigits + exponent : exponent - leadingFractionZeros;
    if (magnitude > 0) return false;
    v = negative ? -0.0 : 0.0;
  } else if (result.ec != std::errc() || result.ptr != end) {
    return false;
  }
  if (!std::isfinite(v)) return false;
  Value = v;
  return true;
}

std::int32_t ConvertInteger(std::string_view Text) {
  std::int32_t value = 0;
  if (!TryConvertInteger(Text, value)) throw NotAnIntegerError(Text);
  return value;
}

double ConvertReal(std::string_view Text) {
  double value = 0.0;
  if (!TryConvertReal(Text, value)) throw NotARealError(Text);
  return value;
}
