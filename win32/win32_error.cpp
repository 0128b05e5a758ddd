#include "win32/win32_error.h"

namespace {

std::string Describe(const std::string& Call, DWORD Code) {
  if (Code == ERROR_SUCCESS) return Call + " failed";
  const std::string text = SystemMessage(Code);
  return Call + ": " + (text.empty() ? "error" : text) + " (" + std::to_string(Code) + ")";
}

}  // namespace

std::string SystemMessage(DWORD Code) {
  char* buffer = nullptr;
  const DWORD n =
      FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, Code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text(buffer != nullptr ? buffer : "", n);
  if (buffer != nullptr) LocalFree(buffer);
  // The system ends its texts with CR LF (and sometimes a space before).
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

TWin32Error::TWin32Error(const std::string& Call, DWORD Code) : std::runtime_error(Describe(Call, Code)), code_(Code) {}

void ThrowLastError(const std::string& Call) { throw TWin32Error(Call, GetLastError()); }
