// Linux and the like: iconv.
#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>

#include "text/cp932_convert.h"

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

constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);
constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

iconv_t Open(const char* To, const char* From) {
  const iconv_t cd = iconv_open(To, From);
  return cd == kNoConverter ? nullptr : cd;
}

// Converts all of In with Cd, appending to Out; false (Out cut back) at the
// first input that does not convert.
bool ConvertAll(iconv_t Cd, const char* In, std::size_t Size, std::string& Out) {
  iconv(Cd, nullptr, nullptr, nullptr, nullptr);
  const std::size_t start = Out.size();
  char* src = const_cast<char*>(In);  // iconv does not write through it
  std::size_t left = Size;
  while (left > 0) {
    const std::size_t at = Out.size();
    Out.resize(at + 2 * left + 16);
    char* dst = Out.data() + at;
    std::size_t room = Out.size() - at;
    const std::size_t r = iconv(Cd, &src, &left, &dst, &room);
    Out.resize(static_cast<std::size_t>(dst - Out.data()));
    if (r == kFailed && errno != E2BIG) {
      Out.resize(start);
      return false;
    }
  }
  return true;
}

}  // namespace

void AppendCp932AsUtf8(std::string& Out, std::string_view Cp932) { Convert("UTF-8", "CP932", Cp932, Out, "?"); }

bool Utf8ToCp932(std::string_view Utf8, std::string& Out) {
  std::string out;
  if (!Convert("CP932", "UTF-8", Utf8, out, nullptr)) return false;
  Out = std::move(out);
  return true;
}

TCp932Converter::TCp932Converter(std::uint32_t From) : from_(From) {
  const std::string name = From == kUtf8CodePage ? "UTF-8" : "CP" + std::to_string(From);
  decoder_ = Open(kUtf16, name.c_str());
  encoder_ = Open("CP932", kUtf16);
  back_ = Open(kUtf16, "CP932");
  known_ = decoder_ && encoder_ && back_;
  if (known_) asciiSame_ = KeepsAscii();
}

TCp932Converter::~TCp932Converter() {
  for (void* cd : {decoder_, encoder_, back_})
    if (cd) iconv_close(static_cast<iconv_t>(cd));
}

void TCp932Converter::ConvertSlowly(std::string_view Text, std::string& Out) {
  Out.clear();
  const iconv_t decoder = static_cast<iconv_t>(decoder_);
  iconv(decoder, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(Text.data());  // iconv does not write through it
  std::size_t left = Text.size();
  while (left > 0) {
    // Decodes as far as the input decodes; a byte where it stops is kept.
    units_.resize(left + 8);
    char* dst = reinterpret_cast<char*>(units_.data());
    std::size_t room = units_.size() * sizeof(char16_t);
    const std::size_t r = iconv(decoder, &src, &left, &dst, &room);
    const std::size_t units = static_cast<std::size_t>(dst - reinterpret_cast<char*>(units_.data())) / sizeof(char16_t);
    AppendUnits(units_.data(), units, Out);
    if (r == kFailed && errno != E2BIG) {
      Out.push_back(*src);
      ++src;
      --left;
      iconv(decoder, nullptr, nullptr, nullptr, nullptr);
    }
  }
}

bool TCp932Converter::AppendExact(const char16_t* Units, std::size_t Count, std::string& Out) {
  // Bytes that do not decode back to the same units are a nearest fit (the
  // backslash byte for a yen sign), not a character of code page 932.
  const std::size_t at = Out.size();
  if (!ConvertAll(static_cast<iconv_t>(encoder_), reinterpret_cast<const char*>(Units), Count * sizeof(char16_t), Out))
    return false;
  check_.clear();
  if (ConvertAll(static_cast<iconv_t>(back_), Out.data() + at, Out.size() - at, check_) &&
      check_.size() == Count * sizeof(char16_t) && std::memcmp(check_.data(), Units, check_.size()) == 0)
    return true;
  Out.resize(at);
  return false;
}
