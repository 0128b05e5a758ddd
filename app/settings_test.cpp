// The remembered result file name through the profile API: what is written
// is read back unchanged.
#include "app/settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

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

}  // namespace
