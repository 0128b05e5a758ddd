#include "text/shift_jis.h"

#include <gtest/gtest.h>

TEST(ShiftJisTest, LeadByteRange) {
  EXPECT_FALSE(IsShiftJisLeadByte(0x7F));
  EXPECT_FALSE(IsShiftJisLeadByte(0x80));
  EXPECT_TRUE(IsShiftJisLeadByte(0x81));
  EXPECT_TRUE(IsShiftJisLeadByte(0x9F));
  EXPECT_FALSE(IsShiftJisLeadByte(0xA0));  // half-width katakana are single bytes
  EXPECT_FALSE(IsShiftJisLeadByte(0xDF));
  EXPECT_TRUE(IsShiftJisLeadByte(0xE0));
  EXPECT_TRUE(IsShiftJisLeadByte(0xFC));
  EXPECT_FALSE(IsShiftJisLeadByte(0xFD));
}

TEST(ShiftJisTest, CharSizeAtTheEnd) {
  const std::string_view text("a\x95\x5c\x95", 4);  // a, 表, a lone lead byte
  EXPECT_EQ(ShiftJisCharSize(text, 0), 1u);
  EXPECT_EQ(ShiftJisCharSize(text, 1), 2u);
  EXPECT_EQ(ShiftJisCharSize(text, 3), 1u);
}

TEST(ShiftJisTest, FindLastSkipsTrailBytes) {
  const struct {
    const char* name;
    std::string_view text;
    std::size_t expected;
  } cases[] = {{"none", "abc", std::string_view::npos},
               {"ascii", "a\\b\\c", 3},
               {"trail byte only", "\x95\x5c", std::string_view::npos},  // 表
               {"before a trail byte", "a\\\x95\x5c", 1},
               {"after a trail byte", "\x95\x5c\\", 2},
               {"katakana then backslash", "\xb1\\", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindLastShiftJisOf(c.text, "\\"), c.expected);
  }
}
