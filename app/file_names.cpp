#include "app/file_names.h"

#include <cstdio>

#include "text/shift_jis.h"

std::string ChangeFileExt(const std::string& FileName, const std::string& Ext) {
  const std::string::size_type i = FindLastShiftJisOf(FileName, ".\\:");
  if (i == std::string::npos || FileName[i] != '.') return FileName + Ext;
  return FileName.substr(0, i) + Ext;
}

std::string ExtractFileName(const std::string& Path) {
  const std::string::size_type i = FindLastShiftJisOf(Path, "\\:");
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
