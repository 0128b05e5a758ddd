#include "cli/console_text.h"

#ifdef _WIN32
#include <windows.h>

namespace {

std::string Convert(const std::string& Text, UINT From) {
  if (Text.empty()) return Text;
  const int wide = MultiByteToWideChar(From, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
  if (wide <= 0) return Text;
  std::wstring utf16(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(From, 0, Text.data(), static_cast<int>(Text.size()), utf16.data(), wide);
  UINT to = GetConsoleOutputCP();
  if (to == 0) to = GetACP();  // no console: the ANSI code page
  const int bytes = WideCharToMultiByte(to, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return Text;
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(to, 0, utf16.data(), wide, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace

std::string MessageForTerminal(const std::string& Cp932) { return Convert(Cp932, 932); }
std::string PathForTerminal(const std::string& Path) { return Convert(Path, CP_ACP); }

#else
#include "text/cp932_convert.h"

// A byte that is no character of code page 932 is shown as "?".
std::string MessageForTerminal(const std::string& Cp932) { return Cp932ToUtf8(Cp932); }

// File names on Linux are passed through as the terminal gave them.
std::string PathForTerminal(const std::string& Path) { return Path; }
#endif
