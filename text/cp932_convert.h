// Code-page-932 byte strings to and from UTF-8, for outputs read by programs
// that do not read Shift-JIS (the UTF-8 and JSON lists, the terminal on
// Linux). The converter of the platform does the work: iconv on Linux, the
// wide-character API on Windows.
#pragma once

#include <string>
#include <string_view>

// Appends Cp932 as UTF-8 to Out. A byte that starts no character of code
// page 932 becomes "?" (Linux) or the system's default character (Windows).
void AppendCp932AsUtf8(std::string& Out, std::string_view Cp932);

inline std::string Cp932ToUtf8(std::string_view Cp932) {
  std::string out;
  AppendCp932AsUtf8(out, Cp932);
  return out;
}

// Utf8 as code-page-932 bytes in Out; false (Out untouched) when Utf8 is not
// valid UTF-8 or holds a character that code page 932 lacks.
bool Utf8ToCp932(std::string_view Utf8, std::string& Out);
