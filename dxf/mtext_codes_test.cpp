#include "dxf/mtext_codes.h"

#include <gtest/gtest.h>

namespace {

TEST(StripMTextCodes, RemovesTheFixedCodes) {
  const struct {
    std::string_view name, in, out;
  } cases[] = {
      {"paragraph", "ab\\Pcd", "abcd"},
      {"over and underline", "\\Lunder\\l and \\Oover\\o", "under and over"},
      {"tracking", "x\\T1.2;y", "xy"},
      {"colour", "\\C1;red\\C256;", "red"},
      {"tracking without semicolon stays", "a\\Tb", "a\\Tb"},
      {"up to the first semicolon", "a\\Tb \\T2;c", "ac"},
      {"code brought together by a removal", "\\\\PP", ""},
      {"removal brings a colour code together", "\\\\C1;C2;x", "x"},
      {"code after the one without semicolon", "a\\Cb\\T1;c", "a\\Cbc"},
      {"lowercase t and c are no codes", "\\t\\c", "\\t\\c"},
      {"height code stays", "\\H2.5x;abc", "\\H2.5x;abc"},
      {"earlier code not brought back", "\\\\OPP", "\\PP"},
      {"empty", "", ""},
      // 表 is 0x95 0x5C: its trail byte is no backslash.
      {"trail byte then P", "\x95\x5cP", "\x95\x5cP"},        // 表P
      {"trail byte then T", "\x95\x5cT1;x", "\x95\x5cT1;x"},  // 表T1;x
      {"code after a double-byte character", "\x95\x5c\\Pa",
       "\x95\x5c"
       "a"},  // 表\Pa
      {"lone lead byte at the end", "a\\P\x95", "a\x95"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StripMTextCodes(c.in), c.out);
  }
}

TEST(StripMTextCodes, LongRunsOfCodesAreRemovedInOnePass) {
  // Each removal brings the next code together: "\\\\...PPP...".
  const std::string text = std::string(200000, '\\') + std::string(200000, 'P');
  EXPECT_EQ(StripMTextCodes(text), "");
  std::string tracking;
  for (int i = 0; i < 100000; ++i) tracking += "\\T1;";
  EXPECT_EQ(StripMTextCodes(tracking + "end"), "end");
}

TEST(CleanTextContent, ReplacesTheFirstPhiCodeOnly) {
  const struct {
    std::string_view in, out;
  } cases[] = {
      {"\\U+03C6100",
       "\x83\xd3"
       "100"},  // φ100
      {"A\\U+03C6B\\U+03C6",
       "A\x83\xd3"
       "B\\U+03C6"},                         // AφB\U+03C6
      {"\\P\\U+03C6", "\x83\xd3"},           // cleaned first
      {"\x95\x5cU+03C6", "\x95\x5cU+03C6"},  // 表U+03C6: no code
      {"\\U+03C", "\\U+03C"},
  };
  std::string out;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    CleanTextContent(c.in, out);
    EXPECT_EQ(out, c.out);
  }
}

}  // namespace
