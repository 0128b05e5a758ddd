#include "app/file_names.h"

#include <cstdio>
#include <cstring>

bool IsSjisLeadByte(unsigned char Byte) { return (Byte >= 0x81 && Byte <= 0x9F) || (Byte >= 0xE0 && Byte <= 0xFC); }

namespace {

// Index of the last byte of Text that is one of Delimiters, or npos. The trail
// byte of a double-byte character (it may be 0x5C, the code of "\") is skipped.
std::string::size_type LastDelimiter(const std::string& Text, const char* Delimiters) {
  std::string::size_type found = std::string::npos;
  for (std::string::size_type i = 0; i < Text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(Text[i]);
    if (IsSjisLeadByte(c))
      ++i;
    else if (c != 0 && std::strchr(Delimiters, c))
      found = i;
  }
  return found;
}

}  // namespace

std::string ChangeFileExt(const std::string& FileName, const std::string& Ext) {
  const std::string::size_type i = LastDelimiter(FileName, ".\\:");
  if (i == std::string::npos || FileName[i] != '.') return FileName + Ext;
  return FileName.substr(0, i) + Ext;
}

std::string ExtractFileName(const std::string& Path) {
  const std::string::size_type i = LastDelimiter(Path, "\\:");
  return i == std::string::npos ? Path : Path.substr(i + 1);
}

std::string CompletionNoticeText(const std::string& CsvPath) {
  return "\x8f\x57\x8c\x76\x8c\x8b\x89\xca\x82\xf0"                               // 集計結果を
         + CsvPath + "\x82\xd6\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd";  // へ保存しました
}

std::string FormatTimeStamp(int Year, int Month, int Day, int Hour, int Minute, int Second) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d%02d%02d%02d%02d%02d", Year % 100, Month, Day, Hour, Minute, Second);
  return text;
}
