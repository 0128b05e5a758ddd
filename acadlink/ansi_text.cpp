#include "acadlink/ansi_text.h"

#include <windows.h>

std::wstring AnsiToWide(const std::string& Ansi) {
  if (Ansi.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, Ansi.data(), static_cast<int>(Ansi.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, Ansi.data(), static_cast<int>(Ansi.size()), out.data(), n);
  return out;
}

std::string WideToAnsi(const std::wstring& Wide) {
  if (Wide.empty()) return {};
  const int n =
      WideCharToMultiByte(CP_ACP, 0, Wide.data(), static_cast<int>(Wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, Wide.data(), static_cast<int>(Wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}
