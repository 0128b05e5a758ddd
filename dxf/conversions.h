// Conversions of DXF value lines. The decimal mark is always the full stop:
// DXF files write one whatever the user's locale.
#pragma once

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

// The same checks without the exception; false when the text is refused.
bool TryConvertInteger(std::string_view Text, std::int32_t& Value);
bool TryConvertReal(std::string_view Text, double& Value);
