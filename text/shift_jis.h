// Shift-JIS (code page 932) byte strings: which bytes start a double-byte
// character, and searches that never take a trail byte for an ASCII one.
// The trail byte of a double-byte character may be 0x40-0x7E, so it can look
// like "\" (0x5C, as in 表 0x95 0x5C), "|" or a letter.
#pragma once

#include <cstddef>
#include <string_view>

// True for the first byte of a double-byte character (0x81-0x9F, 0xE0-0xFC).
// Half-width katakana (0xA1-0xDF) are single bytes.
constexpr bool IsShiftJisLeadByte(unsigned char Byte) {
  return (Byte >= 0x81 && Byte <= 0x9F) || (Byte >= 0xE0 && Byte <= 0xFC);
}

// Bytes of the character at Pos: 2 for a lead byte with a byte after it, else 1.
constexpr std::size_t ShiftJisCharSize(std::string_view Text, std::size_t Pos) {
  return IsShiftJisLeadByte(static_cast<unsigned char>(Text[Pos])) && Pos + 1 < Text.size() ? 2 : 1;
}

// Index of the last single-byte character of Text that is one of Bytes, or
// npos.
constexpr std::size_t FindLastShiftJisOf(std::string_view Text, std::string_view Bytes) {
  std::size_t found = std::string_view::npos;
  for (std::size_t i = 0; i < Text.size(); i += ShiftJisCharSize(Text, i))
    if (Bytes.find(Text[i]) != std::string_view::npos && !IsShiftJisLeadByte(static_cast<unsigned char>(Text[i])))
      found = i;
  return found;
}
