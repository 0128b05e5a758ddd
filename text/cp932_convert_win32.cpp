// Windows: through UTF-16 with the wide-character API.
#include <windows.h>

#include "text/cp932_convert.h"

namespace {

std::wstring Widen(UINT CodePage, DWORD Flags, std::string_view Text, bool& Ok) {
  Ok = true;
  if (Text.empty()) return {};
  const int n = MultiByteToWideChar(CodePage, Flags, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
  if (n <= 0) {
    Ok = false;
    return {};
  }
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CodePage, Flags, Text.data(), static_cast<int>(Text.size()), wide.data(), n);
  return wide;
}

void AppendNarrowed(std::string& Out, UINT CodePage, const std::wstring& Wide, BOOL* Lossy) {
  if (Wide.empty()) return;
  const int n =
      WideCharToMultiByte(CodePage, 0, Wide.data(), static_cast<int>(Wide.size()), nullptr, 0, nullptr, Lossy);
  if (n <= 0) return;
  const std::size_t at = Out.size();
  Out.resize(at + static_cast<std::size_t>(n));
  WideCharToMultiByte(CodePage, 0, Wide.data(), static_cast<int>(Wide.size()), Out.data() + at, n, nullptr, nullptr);
}

}  // namespace

void AppendCp932AsUtf8(std::string& Out, std::string_view Cp932) {
  bool ok;
  AppendNarrowed(Out, CP_UTF8, Widen(932, 0, Cp932, ok), nullptr);
}

bool Utf8ToCp932(std::string_view Utf8, std::string& Out) {
  bool ok;
  const std::wstring wide = Widen(CP_UTF8, MB_ERR_INVALID_CHARS, Utf8, ok);
  if (!ok) return false;
  BOOL lossy = FALSE;
  std::string out;
  AppendNarrowed(out, 932, wide, &lossy);
  if (lossy) return false;
  Out = std::move(out);
  return true;
}
