#include "text/cp932_convert.h"

#ifdef _WIN32
#include <windows.h>

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

#else
#include <iconv.h>

#include <cerrno>

namespace {

// Converts In, appending to Out; a byte that cannot be converted becomes
// Replacement, or ends the conversion with false when there is none.
bool Convert(const char* To, const char* From, std::string_view In, std::string& Out, const char* Replacement) {
  if (In.empty()) return true;
  iconv_t cd = iconv_open(To, From);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char* src = const_cast<char*>(In.data());  // iconv does not write through it
  std::size_t left = In.size();
  char chunk[4096];
  bool ok = true;
  while (left > 0) {
    char* dst = chunk;
    std::size_t room = sizeof chunk;
    const std::size_t r = iconv(cd, &src, &left, &dst, &room);
    Out.append(chunk, static_cast<std::size_t>(dst - chunk));
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
      if (!Replacement) {
        ok = false;
        break;
      }
      Out.append(Replacement);
      ++src;
      --left;
    }
  }
  iconv_close(cd);
  return ok;
}

}  // namespace

void AppendCp932AsUtf8(std::string& Out, std::string_view Cp932) { Convert("UTF-8", "CP932", Cp932, Out, "?"); }

bool Utf8ToCp932(std::string_view Utf8, std::string& Out) {
  std::string out;
  if (!Convert("CP932", "UTF-8", Utf8, out, nullptr)) return false;
  Out = std::move(out);
  return true;
}
#endif
