// The remembered result file name and the settings through the profile API:
// what is written is read back unchanged; the attribute tags as the box
// splits them.
#include "app/settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string ReadBytes(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    Ini = std::string(temp) + "orveline-settings-test-" + std::to_string(GetCurrentProcessId()) + ".Ini";
    DeleteFileA(Ini.c_str());
  }
  void TearDown() override { DeleteFileA(Ini.c_str()); }
  std::string Ini;
};

TEST_F(SettingsTest, NamesSurviveARestart) {
  const char* const names[] = {
      "D:\\\x8c\x8b\x89\xca\\result.csv",  // D:\結果\result.csv
      " lead.csv",
      "trail.csv  ",
      "\ttab.csv",
      "\"quoted.csv\"",
      "'single.csv'",
      "\"",
      "",
  };
  for (const char* name : names) {
    SCOPED_TRACE(name);
    WriteSavedName(Ini, name);
    EXPECT_EQ(ReadSavedName(Ini), name);
  }
}

TEST_F(SettingsTest, PlainNamesAreWrittenAsTheyAre) {
  // 初期化 / 保存名=a b.csv, as every earlier version wrote it.
  WriteSavedName(Ini, "a b.csv");
  EXPECT_NE(ReadBytes(Ini).find("\x95\xdb\x91\xb6\x96\xbc=a b.csv\r\n"), std::string::npos) << ReadBytes(Ini);
  WriteSavedName(Ini, " a.csv");
  EXPECT_NE(ReadBytes(Ini).find("\x95\xdb\x91\xb6\x96\xbc=\" a.csv\"\r\n"), std::string::npos) << ReadBytes(Ini);
}

TEST(AttributeTagsTest, TheBoxsTextSplitsIntoTags) {
  using TTags = std::vector<std::string>;
  const std::string hinban = "\x95\x69\x94\xd4", katashiki = "\x8c\x5e\x8e\xae";  // 品番, 型式
  const struct {
    const char* name;
    std::string text;
    TTags tags;
  } cases[] = {
      {"empty", "", {}},
      {"blanks and commas only", " , ,\x81\x40", {}},  // ideographic blank
      {"ASCII commas, blanks around ignored", " SIZE ,  TYPE", {"SIZE", "TYPE"}},
      {"a blank inside a tag stays", "A B,C", {"A B", "C"}},
      {"full-width commas and ideographic blanks",
       hinban + "\x81\x43\x81\x40" + katashiki + "\x81\x41SIZE",
       {hinban, katashiki, "SIZE"}},  // 品番，　型式、SIZE
      {"empty tags dropped", ",A,,B,", {"A", "B"}},
      {"a repeated tag (either case) counted once", "Size,TYPE,SIZE", {"Size", "TYPE"}},
      // 表 ends in 0x5C and ソ in 0x5C too: trail bytes are never separators or blanks.
      {"trail bytes are not separators", "\x95\x5c,\x83\x5c", {"\x95\x5c", "\x83\x5c"}},
      {"a trail byte 0x40 is no blank", "\x83\x40", {"\x83\x40"}},  // ァ
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SplitAttributeTags(c.text), c.tags);
  }
  EXPECT_EQ(JoinAttributeTags({hinban, "SIZE"}), hinban + ",SIZE");
}

TEST_F(SettingsTest, TakeOffSettingsSurviveARestartAndMissingKeysAreOff) {
  // No file: everything off, as drawn.
  TDialogSettings none = ReadDialogSettings(Ini);
  EXPECT_FALSE(none.Report.Blocks || none.Report.Areas);
  EXPECT_TRUE(none.Report.AttributeTags.empty() && none.Report.Unit.empty());

  TDialogSettings settings;
  settings.Report.Blocks = true;
  settings.Report.AttributeTags = {"\x95\x69\x94\xd4", "SIZE"};  // 品番
  settings.Report.Areas = true;
  settings.Report.Unit = "m";
  WriteDialogSettings(Ini, settings);
  // 設定 / ブロックの個数=1, 属性タグ=品番,SIZE, 面積=1, 出力単位=m, after the earlier keys.
  EXPECT_NE(ReadBytes(Ini).find("\x8c\x8b\x89\xca\x82\xf0\x95\x5c\x8e\xa6=0\r\n"
                                "\x83\x75\x83\x8d\x83\x62\x83\x4e\x82\xcc\x8c\xc2\x90\x94=1\r\n"
                                "\x91\xae\x90\xab\x83\x5e\x83\x4f=\x95\x69\x94\xd4,SIZE\r\n"
                                "\x96\xca\x90\xcf=1\r\n"
                                "\x8f\x6f\x97\xcd\x92\x50\x88\xca=m\r\n"),
            std::string::npos)
      << ReadBytes(Ini);
  const TDialogSettings read = ReadDialogSettings(Ini);
  EXPECT_TRUE(read.Report.Blocks && read.Report.Areas);
  EXPECT_EQ(read.Report.AttributeTags, settings.Report.AttributeTags);
  EXPECT_EQ(read.Report.Unit, "m");

  // A unit the window does not offer reads as drawn.
  WritePrivateProfileStringA("\x90\xdd\x92\xe8", "\x8f\x6f\x97\xcd\x92\x50\x88\xca", "cm", Ini.c_str());
  EXPECT_EQ(ReadDialogSettings(Ini).Report.Unit, "");
}

TEST(RunReportOptionsTest, TagsOnlyWithBlocksAndUnstatedUnitsAreMillimetres) {
  TDialogSettings settings;
  settings.Report.AttributeTags = {"SIZE"};
  settings.Report.Areas = true;
  TReportOptions run = RunReportOptions(settings);
  EXPECT_TRUE(run.AttributeTags.empty());  // kept in the settings, not passed without block counts
  EXPECT_TRUE(run.Areas);
  EXPECT_EQ(run.Unit, "");
  EXPECT_EQ(run.DrawingUnit, "");
  settings.Report.Blocks = true;
  settings.Report.Unit = "m";
  run = RunReportOptions(settings);
  EXPECT_EQ(run.AttributeTags, std::vector<std::string>{"SIZE"});
  EXPECT_EQ(run.Unit, "m");
  EXPECT_EQ(run.DrawingUnit, "mm");
}

}  // namespace
