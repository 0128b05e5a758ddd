#include "standin/transcript.h"

#include <cstdio>

std::string EscapeTranscriptText(const std::string& Text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(Text.size());
  for (char ch : Text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7f || c == '<') {
      out += '<';
      out += kHex[c >> 4];
      out += kHex[c & 15];
      out += '>';
    } else {
      out += ch;
    }
  }
  return out;
}

void AppendTranscriptLine(const std::string& Path, const std::string& Line) {
  if (Path.empty()) return;
  if (std::FILE* f = std::fopen(Path.c_str(), "ab")) {
    const std::string text = EscapeTranscriptText(Line) + "\r\n";
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
}
