// Conversions between UTF-16 and the ANSI code page in use (Shift-JIS,
// code page 932, on the systems that Orveline serves).
#pragma once

#include <string>

std::wstring AnsiToWide(const std::string& Ansi);
// Characters that the code page lacks become its default character.
std::string WideToAnsi(const std::wstring& Wide);
