// Code-page-932 byte strings to and from other encodings: to UTF-8 for
// outputs read by programs that do not read Shift-JIS (the UTF-8 and JSON
// lists, the terminal on Linux), and from UTF-8 or another Windows code page
// for drawings written elsewhere than on a Japanese system. The converter of
// the platform does the work: iconv on Linux, the wide-character API on
// Windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Appends Cp932 as UTF-8 to Out. A byte that starts no character of code
// page 932 becomes "?" (Linux) or the system's default character (Windows).
void AppendCp932AsUtf8(std::string& Out, std::string_view Cp932);

inline std::string Cp932ToUtf8(std::string_view Cp932) {
  std::string out;
  AppendCp932AsUtf8(out, Cp932);
  return out;
}

// Utf8 as code-page-932 bytes in Out; false (Out untouched) when Utf8 is not
// valid UTF-8 or holds a character that code page 932 lacks.
bool Utf8ToCp932(std::string_view Utf8, std::string& Out);

// The Windows code page number of UTF-8.
constexpr std::uint32_t kUtf8CodePage = 65001;

// Text of one encoding turned into code-page-932 bytes, with the platform's
// converter opened once for many texts.
class TCp932Converter {
 public:
  // From: a Windows code page number (kUtf8CodePage for UTF-8).
  explicit TCp932Converter(std::uint32_t From);
  ~TCp932Converter();
  TCp932Converter(const TCp932Converter&) = delete;
  TCp932Converter& operator=(const TCp932Converter&) = delete;

  // False when the platform does not know the code page; Convert then keeps
  // the bytes as they are.
  bool Known() const { return known_; }
  std::uint32_t From() const { return from_; }

  // Text in code page 932 into Out, which is overwritten (its storage is
  // reused). A character that code page 932 lacks becomes "\U+XXXX", four
  // upper-case hexadecimal digits for each of its UTF-16 units; a byte
  // sequence that does not decode is kept as it is.
  void Convert(std::string_view Text, std::string& Out) {
    if (Keeps(Text))
      Out.assign(Text);
    else
      ConvertSlowly(Text, Out);
  }
  // Whether Convert gives Text back as it is, known without converting: an
  // unknown code page, or ASCII text of an encoding that ASCII is part of.
  bool Keeps(std::string_view Text) const { return !known_ || (asciiSame_ && IsAscii(Text)); }

 private:
  static bool IsAscii(std::string_view Text) {
    for (const char c : Text)
      if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
  }
  // Convert without the short way for ASCII text.
  void ConvertSlowly(std::string_view Text, std::string& Out);
  // Whether ConvertSlowly gives the bytes 0x01 to 0x7F back unchanged.
  bool KeepsAscii();
  // Appends Units in code page 932 to Out.
  void AppendUnits(const char16_t* Units, std::size_t Count, std::string& Out);
  // Appends Units in code page 932 to Out; false (Out as it was) when one of
  // them has no exact form there (a best fit is no exact form).
  bool AppendExact(const char16_t* Units, std::size_t Count, std::string& Out);

  std::uint32_t from_;
  bool known_ = false;
  bool asciiSame_ = false;  // the bytes 0x01 to 0x7F stand for themselves
  // iconv (Linux): From to UTF-16, UTF-16 to code page 932, and back to
  // UTF-16 to find answers that are only the nearest fit.
  void* decoder_ = nullptr;
  void* encoder_ = nullptr;
  void* back_ = nullptr;
  // Reused from text to text.
  std::u16string units_, run_;
  std::string check_;
};
