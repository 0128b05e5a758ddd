#include "acadlink/command_transport.h"

#include <algorithm>
#include <array>

#include "acadlink/ansi_text.h"
#include "acadlink/window_discovery.h"
#include "win32/window_text.h"

namespace {

// One payload: 255 units or bytes of text and the terminating zero.
constexpr std::size_t kPayloadChars = 255;
constexpr ULONG_PTR kCommandInputId = 1;

const char kNotAnswering[] =
    "CAD \x82\xaa\x89\x9e\x93\x9a\x82\xb5\x82\xdc\x82\xb9\x82\xf1\x81\x42";  // CAD が応答しません。

// SendMessageA within the bound. A window that is gone answers 0, as to a
// plain send; a live one that does not answer in time is not answering.
LRESULT SendBounded(HWND wnd, UINT message, WPARAM w, LPARAM l) {
  DWORD_PTR result = 0;
  if (SendMessageTimeoutA(wnd, message, w, l, SMTO_ABORTIFHUNG, kCadAnswerTimeoutMs, &result) == 0) {
    if (!IsLive(wnd)) return 0;
    throw TCadNotAnswering();
  }
  return static_cast<LRESULT>(result);
}

// Hands one payload to the main window and posts the WM_NULL that follows
// every copy-data message.
void DeliverPayload(HWND wnd, const void* payload, DWORD byteCount) {
  COPYDATASTRUCT record{};
  record.dwData = kCommandInputId;
  record.cbData = byteCount;
  record.lpData = const_cast<void*>(payload);
  SendBounded(wnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record));
  PostMessageA(wnd, WM_NULL, 0, 0);
}

// End of the longest piece from `begin` that fits one payload and does not
// cut a surrogate pair.
std::size_t WidePieceEnd(const std::wstring& text, std::size_t begin) {
  std::size_t end = begin + kPayloadChars;
  if (end >= text.size()) return text.size();
  if (IS_HIGH_SURROGATE(text[end - 1]) && IS_LOW_SURROGATE(text[end])) --end;
  return end;
}

// Same for ANSI bytes: never between the lead and the trail byte of a
// double-byte character.
std::size_t AnsiPieceEnd(const std::string& text, std::size_t begin) {
  std::size_t p = begin;
  while (p < text.size()) {
    const std::size_t width = IsDBCSLeadByte(static_cast<BYTE>(text[p])) && p + 1 < text.size() ? 2 : 1;
    if (p + width - begin > kPayloadChars) break;
    p += width;
  }
  return p;
}

}  // namespace

TCadNotAnswering::TCadNotAnswering() : std::runtime_error(kNotAnswering) {}

bool SendCopyDataW(const std::wstring& text) {
  const HWND wnd = AcadLinkState().AcadWnd;
  if (!IsLive(wnd)) return false;
  // The text goes through the ANSI code page and back, so the payload holds
  // only characters that the code page can represent.
  const std::wstring payload = AnsiToWide(WideToAnsi(text));
  std::array<wchar_t, kPayloadChars + 1> buffer{};
  if (text.size() <= kPayloadChars) {
    const std::size_t n = text.size();
    payload.copy(buffer.data(), std::min(n, payload.size()));
    DeliverPayload(wnd, buffer.data(), static_cast<DWORD>((n + 1) * sizeof(wchar_t)));
    return true;
  }
  for (std::size_t begin = 0; begin < payload.size();) {
    const std::size_t end = WidePieceEnd(payload, begin);
    buffer.fill(L'\0');
    payload.copy(buffer.data(), end - begin, begin);
    DeliverPayload(wnd, buffer.data(), static_cast<DWORD>((end - begin + 1) * sizeof(wchar_t)));
    begin = end;
  }
  return true;
}

bool SendCopyDataA(const std::wstring& text) {
  const HWND wnd = FindAcadWindow();
  if (!IsLive(wnd)) return false;
  std::string bytes = WideToAnsi(text);
  // Like a C string, the text ends at its first zero.
  bytes.resize(std::min(bytes.size(), bytes.find('\0')));
  std::array<char, kPayloadChars + 1> buffer{};
  std::size_t begin = 0;
  do {
    const std::size_t end = AnsiPieceEnd(bytes, begin);
    buffer.fill('\0');
    bytes.copy(buffer.data(), end - begin, begin);
    DeliverPayload(wnd, buffer.data(), static_cast<DWORD>(end - begin + 1));
    begin = end;
  } while (begin < bytes.size());
  return true;
}

bool SendCommandTextAs(const std::wstring& text, bool unicode) {
  if (!IsLive(FindAcadWindow())) return false;
  return unicode ? SendCopyDataW(text) : SendCopyDataA(text);
}

bool SendCommandText(const std::wstring& text) {
  const HWND wnd = FindAcadWindow();
  return SendCommandTextAs(text, IsLive(wnd) && IsWindowUnicode(wnd) != FALSE);
}

std::string ReadCommandLine() {
  const HWND pane = FindCommandInputPane();
  std::string text;
  if (!ReadWindowTextWithin(pane, kCadAnswerTimeoutMs, text) && IsLive(pane)) throw TCadNotAnswering();
  return text;
}
