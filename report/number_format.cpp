#include "report/number_format.h"

#include <charconv>
#include <cmath>

namespace {

constexpr std::size_t kWidth = 10;
constexpr int kDecimals = 3;

void AppendPadded(std::string& Out, const char* Text, std::size_t Length) {
  if (Length < kWidth) Out.append(kWidth - Length, ' ');
  Out.append(Text, Length);
}

}  // namespace

void AppendMeasure(std::string& Out, double Value) {
  if (std::isnan(Value)) return AppendPadded(Out, "NAN", 3);
  if (std::isinf(Value)) return Value < 0 ? AppendPadded(Out, "-INF", 4) : AppendPadded(Out, "INF", 3);

  // 18 significant digits: d.ddddddddddddddddde[+-]x
  char sci[40];
  const char* end = std::to_chars(sci, sci + sizeof sci, Value, std::chars_format::scientific, 17).ptr;
  const char* p = sci;
  const bool negative = *p == '-';
  if (negative) ++p;
  char digits[24];
  int digitCount = 0;
  for (; *p != 'e'; ++p)
    if (*p != '.') digits[digitCount++] = *p;
  int exponent = 0;
  std::from_chars(p + 1 + (p[1] == '+'), end, exponent);

  // A guard digit for the carry, the integer digits, then the decimals and
  // one more for the rounding. Doubles have at most 309 integer digits.
  char fixed[340];
  const int intCount = exponent + 1;  // may be 0 or negative
  const int intLength = intCount <= 0 ? 1 : intCount;
  const int length = 1 + intLength + kDecimals + 1;
  for (int k = 0; k < length; ++k) {
    // Position k - 1 of the digit string that starts at the first integer digit.
    const int fromFirst = k - 1 - (intLength - intCount);
    fixed[k] = fromFirst >= 0 && fromFirst < digitCount ? digits[fromFirst] : '0';
  }
  if (fixed[length - 1] >= '5') {
    int k = length - 2;
    while (fixed[k] == '9') fixed[k--] = '0';
    ++fixed[k];
  }
  // Drop the guard digit unless the carry reached it.
  const int first = fixed[0] == '0' ? 1 : 0;
  char text[350];
  std::size_t n = 0;
  bool zero = true;
  for (int k = first; k < length - 1; ++k) zero = zero && fixed[k] == '0';
  if (negative && !zero) text[n++] = '-';
  for (int k = first; k < 1 + intLength; ++k) text[n++] = fixed[k];
  text[n++] = '.';
  for (int k = 1 + intLength; k < length - 1; ++k) text[n++] = fixed[k];
  AppendPadded(Out, text, n);
}

std::string FormatMeasure(double Value) {
  std::string text;
  AppendMeasure(text, Value);
  return text;
}
