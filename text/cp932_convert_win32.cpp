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

static_assert(sizeof(wchar_t) == sizeof(char16_t));

const wchar_t* Wide(const char16_t* Units) { return reinterpret_cast<const wchar_t*>(Units); }

// Decodes Text with MB_ERR_INVALID_CHARS into Units (resized to fit); the
// number of units, 0 when some byte sequence does not decode.
std::size_t Decode(UINT CodePage, std::string_view Text, std::u16string& Units) {
  if (Units.size() < Text.size() + 8) Units.resize(Text.size() + 8);
  const int n = MultiByteToWideChar(CodePage, MB_ERR_INVALID_CHARS, Text.data(), static_cast<int>(Text.size()),
                                    reinterpret_cast<wchar_t*>(Units.data()), static_cast<int>(Units.size()));
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

// The pseudo code pages that stand for the system's settings, not for one
// encoding: the ANSI, OEM and Macintosh code pages of the system and of the
// thread, and the symbol font's.
bool IsPseudoCodePage(std::uint32_t CodePage) { return CodePage <= 3 || CodePage == 42; }

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

TCp932Converter::TCp932Converter(std::uint32_t From) : from_(From) {
  // A code page whose conversion takes no MB_ERR_INVALID_CHARS (UTF-7, the
  // ISO-2022 ones) fails already on "A".
  known_ = !IsPseudoCodePage(From) && IsValidCodePage(From) && Decode(From, "A", units_) == 1;
  if (known_) asciiSame_ = KeepsAscii();
}

TCp932Converter::~TCp932Converter() = default;

void TCp932Converter::ConvertSlowly(std::string_view Text, std::string& Out) {
  Out.clear();
  if (Text.empty()) return;
  std::size_t units = Decode(from_, Text, units_);
  if (units > 0) {
    AppendUnits(units_.data(), units, Out);
    return;
  }
  // Some byte sequence does not decode: character by character, each the
  // shortest run of bytes that decodes; a byte where none does is kept.
  CPINFO info;
  const std::size_t longest = GetCPInfo(from_, &info) && info.MaxCharSize > 0 ? info.MaxCharSize : 4;
  std::u16string& run = run_;
  run.clear();
  for (std::size_t i = 0; i < Text.size();) {
    std::size_t size = 0;
    for (std::size_t n = 1; n <= longest && i + n <= Text.size(); ++n) {
      units = Decode(from_, Text.substr(i, n), units_);
      if (units > 0) {
        size = n;
        break;
      }
    }
    if (size == 0) {
      AppendUnits(run.data(), run.size(), Out);
      run.clear();
      Out.push_back(Text[i]);
      ++i;
      continue;
    }
    run.append(units_.data(), units);
    i += size;
  }
  AppendUnits(run.data(), run.size(), Out);
}

bool TCp932Converter::AppendExact(const char16_t* Units, std::size_t Count, std::string& Out) {
  const std::size_t at = Out.size();
  Out.resize(at + 2 * Count + 8);
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, Wide(Units), static_cast<int>(Count), Out.data() + at,
                                    static_cast<int>(Out.size() - at), nullptr, &usedDefault);
  if (n <= 0 || usedDefault) {
    Out.resize(at);
    return false;
  }
  Out.resize(at + static_cast<std::size_t>(n));
  return true;
}
