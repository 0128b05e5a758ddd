#include "report/number_format.h"

#include <charconv>
#include <cmath>

namespace {

constexpr std::size_t kWidth = 10;
constexpr int kDecimals = 3;

std::string PadLeft(std::string Text) {
  if (Text.size() < kWidth) Text.insert(0, kWidth - Text.size(), ' ');
  return Text;
}

}  // namespace

std::string FormatMeasure(double Value) {
  if (std::isnan(Value)) return PadLeft("NAN");
  if (std::isinf(Value)) return PadLeft(Value < 0 ? "-INF" : "INF");

  // 18 significant digits: d.ddddddddddddddddde[+-]x
  char sci[40];
  const auto end = std::to_chars(sci, sci + sizeof sci, Value, std::chars_format::scientific, 17).ptr;
  const char* p = sci;
  const bool negative = *p == '-';
  if (negative) ++p;
  std::string digits;
  for (; *p != 'e'; ++p)
    if (*p != '.') digits.push_back(*p);
  int exponent = 0;
  std::from_chars(p + 1 + (p[1] == '+'), end, exponent);

  // The digits before the full stop and as many after it as rounding needs.
  const int intCount = exponent + 1;  // may be 0 or negative
  std::string fixed;                  // integer digits followed by kDecimals + 1 decimals
  if (intCount <= 0) {
    fixed.assign(static_cast<std::size_t>(1 - intCount), '0');
    fixed.append(digits);
  } else {
    fixed = digits;
    if (fixed.size() < static_cast<std::size_t>(intCount)) fixed.append(intCount - fixed.size(), '0');
  }
  const std::size_t intLength = intCount <= 0 ? 1 : static_cast<std::size_t>(intCount);
  fixed.resize(intLength + kDecimals + 1, '0');

  const bool roundUp = fixed.back() >= '5';
  fixed.pop_back();
  if (roundUp) {
    std::size_t i = fixed.size();
    while (i > 0 && fixed[i - 1] == '9') fixed[--i] = '0';
    if (i == 0) {
      fixed.insert(0, 1, '1');
    } else {
      ++fixed[i - 1];
    }
  }
  const std::size_t intDigits = fixed.size() - kDecimals;
  std::string text = fixed.substr(0, intDigits) + "." + fixed.substr(intDigits);
  if (negative && fixed.find_first_not_of('0') != std::string::npos) text.insert(0, 1, '-');
  return PadLeft(std::move(text));
}
