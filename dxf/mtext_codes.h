// Cleaning of TEXT and MTEXT content: removal of a fixed set of inline format
// codes. All matching is on characters of code page 932: the trail byte of a
// double-byte character is never taken for a backslash or a letter.
#pragma once

#include <string>
#include <string_view>

// Removes "\P", "\O", "\o", "\L", "\l" (each code in turn, also where a
// removal brings a new one together) and then "\T...;" and "\C...;" (from the
// code up to and including the first ";" after it; a code without a ";"
// after it stays, with everything that follows it).
std::string StripMTextCodes(std::string_view Text);

// The content of a text's group 1: StripMTextCodes, then the first "\U+03C6"
// replaced by "φ". Out is overwritten; its storage is reused.
void CleanTextContent(std::string_view Text, std::string& Out);
