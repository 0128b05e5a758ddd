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
LRESULT SendBounded(HWND Wnd, UINT Message, WPARAM W, LPARAM L) {
  DWORD_PTR result = 0;
  if (SendMessageTimeoutA(Wnd, Message, W, L, SMTO_ABORTIFHUNG, kCadAnswerTimeoutMs, &result) == 0) {
    if (!IsLive(Wnd)) return 0;
    throw TCadNotAnswering();
  }
  return static_cast<LRESULT>(result);
}

// Hands one payload to the main window and posts the WM_NULL that follows
// every copy-data message.
void DeliverPayload(HWND Wnd, const void* Payload, DWORD ByteCount) {
  COPYDATASTRUCT record{};
  record.dwData = kCommandInputId;
  record.cbData = ByteCount;
  record.lpData = const_cast<void*>(Payload);
  SendBounded(Wnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record));
  PostMessageA(Wnd, WM_NULL, 0, 0);
}

// End of the longest piece from `begin` that fits one payload and does not
// cut a surrogate pair.
std::size_t WidePieceEnd(const std::wstring& Text, std::size_t Begin) {
  std::size_t end = Begin + kPayloadChars;
  if (end >= Text.size()) return Text.size();
  if (IS_HIGH_SURROGATE(Text[end - 1]) && IS_LOW_SURROGATE(Text[end])) --end;
  return end;
}

// Same for ANSI bytes: never between the lead and the trail byte of a
// double-byte character.
std::size_t AnsiPieceEnd(const std::string& Text, std::size_t Begin) {
  std::size_t p = Begin;
  while (p < Text.size()) {
    const std::size_t width = IsDBCSLeadByte(static_cast<BYTE>(Text[p])) && p + 1 < Text.size() ? 2 : 1;
    if (p + width - Begin > kPayloadChars) break;
    p += width;
  }
  return p;
}

}  // namespace

TCadNotAnswering::TCadNotAnswering() : std::runtime_error(kNotAnswering) {}

bool SendCopyDataW(const std::wstring& Text) {
  const HWND wnd = AcadLinkState().AcadWnd;
  if (!IsLive(wnd)) return false;
  // The text goes through the ANSI code page and back, so the payload holds
  // only characters that the code page can represent.
  const std::wstring payload = AnsiToWide(WideToAnsi(Text));
  std::array<wchar_t, kPayloadChars + 1> buffer{};
  if (Text.size() <= kPayloadChars) {
    const std::size_t n = Text.size();
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

bool SendCopyDataA(const std::wstring& Text) {
  const HWND wnd = FindAcadWindow();
  if (!IsLive(wnd)) return false;
  std::string bytes = WideToAnsi(Text);
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

bool SendCommandTextAs(const std::wstring& Text, bool Unicode) {
  if (!IsLive(FindAcadWindow())) return false;
  return Unicode ? SendCopyDataW(Text) : SendCopyDataA(Text);
}

bool SendCommandText(const std::wstring& Text) {
  const HWND wnd = FindAcadWindow();
  return SendCommandTextAs(Text, IsLive(wnd) && IsWindowUnicode(wnd) != FALSE);
}

std::string ReadCommandLine() {
  const HWND pane = FindCommandInputPane();
  std::string text;
  if (!ReadWindowTextWithin(pane, kCadAnswerTimeoutMs, text) && IsLive(pane)) throw TCadNotAnswering();
  return text;
}
