#include "win32/window_text.h"

#include <cstring>
#include <vector>

namespace {

// WM_GETTEXTLENGTH then WM_GETTEXT through Send, which gives a message's
// answer or false when it was given up.
template <class TSend>
bool ReadThrough(HWND Window, TSend Send, std::string& Text) {
  Text.clear();
  LRESULT n = 0;
  if (!Send(Window, WM_GETTEXTLENGTH, 0, 0, n)) return false;
  if (n <= 0) return true;
  // Room for twice the count: a length that the platform gives in UTF-16
  // units still leaves space for the double-byte characters.
  const std::size_t size = (static_cast<std::size_t>(n) + 1) * 2;
  std::vector<char> buffer(size, '\0');
  LRESULT copied = 0;
  if (!Send(Window, WM_GETTEXT, size, reinterpret_cast<LPARAM>(buffer.data()), copied)) return false;
  // Up to the first zero byte; a full buffer without one is taken whole.
  Text.assign(buffer.data(), strnlen(buffer.data(), buffer.size()));
  return true;
}

}  // namespace

std::string ReadWindowText(HWND Window) {
  std::string text;
  ReadThrough(
      Window,
      [](HWND w, UINT message, WPARAM wp, LPARAM lp, LRESULT& result) {
        result = SendMessageA(w, message, wp, lp);
        return true;
      },
      text);
  return text;
}

bool ReadWindowTextWithin(HWND Window, UINT TimeoutMs, std::string& Text) {
  if (!IsLive(Window)) {
    Text.clear();
    return true;
  }
  return ReadThrough(
      Window,
      [TimeoutMs](HWND w, UINT message, WPARAM wp, LPARAM lp, LRESULT& result) {
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutA(w, message, wp, lp, SMTO_ABORTIFHUNG, TimeoutMs, &answer) == 0)
          return !IsLive(w);  // gone meanwhile: as a plain send to no window
        result = static_cast<LRESULT>(answer);
        return true;
      },
      Text);
}
