// A failed Win32 call as an exception: the call's name and the system's own
// text for the error code (FormatMessage, code page 932).
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

class TWin32Error : public std::runtime_error {
 public:
  // "<Call>: <the system's text> (<Code>)"; "<Call> failed" when the call
  // left no error code.
  TWin32Error(const std::string& Call, DWORD Code);
  DWORD Code() const noexcept { return code_; }

 private:
  DWORD code_;
};

// The system's text for an error code, without its line end; empty when the
// system has none.
std::string SystemMessage(DWORD Code);

// Throws TWin32Error for Call with GetLastError().
[[noreturn]] void ThrowLastError(const std::string& Call);

// Handle when the call gave one; throws for Call otherwise. For the create
// calls, at the call: `TPenHandle pen(CheckCreated(CreatePen(...), "CreatePen"));`
template <class THandle>
THandle CheckCreated(THandle Handle, const char* Call) {
  if (!Handle) ThrowLastError(Call);
  return Handle;
}
