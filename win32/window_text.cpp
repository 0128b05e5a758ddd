#include "win32/window_text.h"

#include <cstring>
#include <vector>

std::string ReadWindowText(HWND Window) {
  const LRESULT n = SendMessageA(Window, WM_GETTEXTLENGTH, 0, 0);
  if (n <= 0) return {};
  // Room for twice the count: a length that the platform gives in UTF-16
  // units still leaves space for the double-byte characters.
  const std::size_t size = (static_cast<std::size_t>(n) + 1) * 2;
  std::vector<char> buffer(size, '\0');
  SendMessageA(Window, WM_GETTEXT, size, reinterpret_cast<LPARAM>(buffer.data()));
  // Up to the first zero byte; a full buffer without one is taken whole.
  return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}
