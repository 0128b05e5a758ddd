// Linux and the like: iconv.
#include <iconv.h>

#include <cerrno>

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

}  // namespace

void AppendCp932AsUtf8(std::string& Out, std::string_view Cp932) { Convert("UTF-8", "CP932", Cp932, Out, "?"); }

bool Utf8ToCp932(std::string_view Utf8, std::string& Out) {
  std::string out;
  if (!Convert("CP932", "UTF-8", Utf8, out, nullptr)) return false;
  Out = std::move(out);
  return true;
}
