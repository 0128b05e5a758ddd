#include "app/file_names.h"

#include <gtest/gtest.h>

namespace {

struct TExtCase {
  const char* Name;
  std::string Given;
  std::string Expected;
};

TEST(ChangeFileExtTest, FollowsTheWindowsRule) {
  const TExtCase cases[] = {
      {"no extension", "D:\\work\\result", "D:\\work\\result.csv"},
      {"other extension", "D:\\work\\result.txt", "D:\\work\\result.csv"},
      {"csv already", "D:\\work\\result.csv", "D:\\work\\result.csv"},
      {"period in a folder", "D:\\a.b\\result", "D:\\a.b\\result.csv"},
      {"drive only", "D:result", "D:result.csv"},
      {"period before a drive colon", "a.b:result", "a.b:result.csv"},
      {"two periods", "r.tar.gz", "r.tar.csv"},
      {"trailing period", "result.", "result.csv"},
      {"empty", "", ".csv"},
      {"blanks kept", " result ", " result .csv"},
      // 表 is 0x95 0x5C: its trail byte is the code of "\" and must not end the scan.
      {"trail byte 0x5C", "D:\\a.b\\\x95\x5c", "D:\\a.b\\\x95\x5c.csv"},
      // ソ is 0x83 0x5C, 表 again, then an extension
      {"trail bytes then extension", "\x83\x5c\x95\x5c.txt", "\x83\x5c\x95\x5c.csv"},
      {"lead byte cut at the end", "r.txt\x95", "r.csv"},
  };
  for (const TExtCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(ChangeFileExt(c.Given, ".csv"), c.Expected);
  }
}

TEST(CompletionNoticeTextTest, JoinsThePiecesWithoutSeparators) {
  // 集計結果をD:\work\result.csvへ保存しました
  EXPECT_EQ(CompletionNoticeText("D:\\work\\result.csv"),
            "\x8f\x57\x8c\x76\x8c\x8b\x89\xca\x82\xf0"
            "D:\\work\\result.csv"
            "\x82\xd6\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd");
}

TEST(FormatTimeStampTest, TwelveDigits) {
  EXPECT_EQ(FormatTimeStamp(2026, 12, 10, 3, 4, 5), "261210030405");
  EXPECT_EQ(FormatTimeStamp(2000, 1, 1, 23, 59, 59), "000101235959");
}

TEST(ExtractFileNameTest, KeepsTheNameAfterTheLastSeparator) {
  EXPECT_EQ(ExtractFileName("C:\\Program Files\\attr.exe"), "attr.exe");
  EXPECT_EQ(ExtractFileName("D:attr.exe"), "attr.exe");
  EXPECT_EQ(ExtractFileName("attr.exe"), "attr.exe");
  // 表 (0x95 0x5C) in the name: its trail byte is not a separator.
  EXPECT_EQ(ExtractFileName("C:\\x\\\x95\x5c.exe"), "\x95\x5c.exe");
}

}  // namespace
