#include "text/cp932_convert.h"

#include <gtest/gtest.h>

namespace {

struct TCase {
  const char* Name;
  std::string Cp932;
  std::string Utf8;
};

// Double-byte characters, one whose trail byte is "\" (表), half-width
// katakana (single bytes) and ASCII.
const TCase kCases[] = {
    {"ascii", "Layer-1,A", "Layer-1,A"},
    {"kanji", "\x95\xc7", "\xe5\xa3\x81"},              // 壁
    {"trail byte 5C", "\x95\x5c\\", "\xe8\xa1\xa8\\"},  // 表\ .
    {"half-width katakana",
     "\xb1"
     "A",
     "\xef\xbd\xb1"
     "A"},  // ｱA
    {"empty", "", ""},
};

TEST(Cp932ConvertTest, BothWays) {
  for (const TCase& c : kCases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Cp932ToUtf8(c.Cp932), c.Utf8);
    std::string back = "untouched";
    EXPECT_TRUE(Utf8ToCp932(c.Utf8, back));
    EXPECT_EQ(back, c.Cp932);
  }
}

TEST(Cp932ConvertTest, AppendsAfterWhatIsThere) {
  std::string out = "x,";
  AppendCp932AsUtf8(out, "\x95\xc7");
  EXPECT_EQ(out, "x,\xe5\xa3\x81");
}

TEST(Cp932ConvertTest, TextWithoutCp932FormIsRefused) {
  std::string out = "untouched";
  EXPECT_FALSE(Utf8ToCp932("a\xf0\x9f\x98\x80", out));  // an emoji
  EXPECT_FALSE(Utf8ToCp932("a\xff", out));              // no UTF-8
  EXPECT_EQ(out, "untouched");
}

}  // namespace

namespace {

struct TFromCase {
  const char* Name;
  std::uint32_t CodePage;
  std::string Text;
  std::string Cp932;
};

const TFromCase kFromCases[] = {
    {"UTF-8 kanji", kUtf8CodePage, "\xe5\xa3\x81-1", "\x95\xc7-1"},                      // 壁-1
    {"UTF-8 Greek phi", kUtf8CodePage, "\xcf\x86", "\x83\xd3"},                          // φ
    {"UTF-8 trail byte 5C", kUtf8CodePage, "\xe8\xa1\xa8", "\x95\x5c"},                  // 表
    {"UTF-8 ascii", kUtf8CodePage, "Layer-1 \\P~", "Layer-1 \\P~"},                      //
    {"UTF-8 lacking", kUtf8CodePage, "Caf\xc3\xa9", "Caf\\U+00E9"},                      // Café
    {"UTF-8 outside the BMP", kUtf8CodePage, "\xf0\x9f\x98\x80!", "\\U+D83D\\U+DE00!"},  // an emoji
    // The backslash byte is only the nearest fit of the yen sign.
    {"UTF-8 yen sign", kUtf8CodePage,
     "\xc2\xa5"
     "5",
     "\\U+00A5"
     "5"},
    {"UTF-8 bad byte", kUtf8CodePage, "a\xff\xe5\xa3\x81", "a\xff\x95\xc7"},
    {"UTF-8 cut sequence", kUtf8CodePage,
     "\xe5\xa3"
     "A",
     "\xe5\xa3"
     "A"},
    {"1252", 1252, "Caf\xe9 \x80", "Caf\\U+00E9 \\U+20AC"},  // Café €
    {"1251", 1251, "\xc4", "\x84\x44"},                      // Д
    {"936", 936, "\xd6\xd0", "\x92\x86"},                    // 中
    {"empty", kUtf8CodePage, "", ""},
};

TEST(Cp932ConverterTest, FromOtherEncodings) {
  std::string out = "earlier text";
  for (const TFromCase& c : kFromCases) {
    SCOPED_TRACE(c.Name);
    TCp932Converter converter(c.CodePage);
    EXPECT_TRUE(converter.Known());
    converter.Convert(c.Text, out);
    EXPECT_EQ(out, c.Cp932);
  }
}

TEST(Cp932ConverterTest, OneConverterForManyTexts) {
  TCp932Converter converter(kUtf8CodePage);
  std::string out;
  for (int i = 0; i < 3; ++i) {
    converter.Convert("\xe5\xa3", out);  // a cut sequence leaves no state behind
    EXPECT_EQ(out, "\xe5\xa3");
    converter.Convert("\xe5\xa3\x81", out);  // 壁
    EXPECT_EQ(out, "\x95\xc7");
  }
}

TEST(Cp932ConverterTest, UnknownCodePageKeepsTheBytes) {
  for (const std::uint32_t codePage : {12345u, 0u}) {
    SCOPED_TRACE(codePage);
    TCp932Converter converter(codePage);
    EXPECT_FALSE(converter.Known());
    std::string out;
    converter.Convert("Caf\xe9\xff", out);
    EXPECT_EQ(out, "Caf\xe9\xff");
  }
}

}  // namespace
