// The parts of the conversion to code page 932 that are the same on every
// platform.
#include "text/cp932_convert.h"

bool TCp932Converter::KeepsAscii() {
  char ascii[0x7f];
  for (int i = 0; i < 0x7f; ++i) ascii[i] = static_cast<char>(i + 1);
  std::string out;
  ConvertSlowly(std::string_view(ascii, sizeof ascii), out);
  return out == std::string_view(ascii, sizeof ascii);
}

void TCp932Converter::AppendUnits(const char16_t* Units, std::size_t Count, std::string& Out) {
  if (Count == 0 || AppendExact(Units, Count, Out)) return;
  // One character at a time: a surrogate pair is one character.
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (std::size_t i = 0; i < Count;) {
    const bool pair =
        Units[i] >= 0xD800 && Units[i] < 0xDC00 && i + 1 < Count && Units[i + 1] >= 0xDC00 && Units[i + 1] < 0xE000;
    const std::size_t n = pair ? 2 : 1;
    if (!AppendExact(Units + i, n, Out)) {
      for (std::size_t k = i; k < i + n; ++k) {
        Out.append("\\U+");
        for (int shift = 12; shift >= 0; shift -= 4) Out.push_back(kHex[(Units[k] >> shift) & 15]);
      }
    }
    i += n;
  }
}
