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
