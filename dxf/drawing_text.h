// The text values of a drawing as the tables hold them: code-page-932 bytes,
// whatever the drawing was written in. Its header says which encoding that
// is: a drawing of version AC1021 or later ($ACADVER) stores UTF-8, an older
// one the code page that $DWGCODEPAGE names (ANSI_1252 is code page 1252).
// The header also states the unit the drawing is drawn in ($INSUNITS), which
// is kept here too, since these are the header's only pairs that are read.
// Internal to the dxf library.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "text/cp932_convert.h"

class TDrawingText {
 public:
  // True up to the file's first (0, ENDSEC): the pairs that HeaderPair looks at.
  bool InHeader() const { return inHeader_; }
  void HeaderPair(std::int32_t Code, std::string_view Value);
  // What the header said: UTF-8, else the code page (0 for none or 932).
  bool Utf8() const { return utf8_; }
  std::uint32_t CodePage() const { return codePage_; }
  // The code of $INSUNITS [70]; 0 when the header states none or the value
  // is not a whole number.
  std::int32_t Units() const { return units_; }

  // False for a drawing whose bytes are kept: Cp932 gives Value itself.
  bool Converting() const { return converter_ != nullptr; }
  // Value in code page 932: Value itself for a drawing in code page 932, in
  // no declared code page or in one that this system does not know; else the
  // converted text, in a buffer that the next call reuses.
  std::string_view Cp932(std::string_view Value) {
    if (!converter_ || converter_->Keeps(Value)) return Value;
    converter_->Convert(Value, converted_);
    return converted_;
  }

 private:
  void Choose();

  bool inHeader_ = true;
  enum class TNext : std::uint8_t { Other, Version, CodePage, Units };
  TNext next_ = TNext::Other;  // what the value of the next pair is
  bool versionSeen_ = false, codePageSeen_ = false, unitsSeen_ = false;
  bool utf8_ = false;                           // $ACADVER is AC1021 or later
  std::uint32_t codePage_ = 0;                  // of $DWGCODEPAGE; 0 for none or 932
  std::int32_t units_ = 0;                      // of $INSUNITS; 0 for none
  std::unique_ptr<TCp932Converter> converter_;  // none: the bytes are kept
  std::string converted_;
};
