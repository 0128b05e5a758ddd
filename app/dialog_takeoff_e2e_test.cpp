// The take-off as the user meets it: orveline.exe started beside the stand-in
// CAD program with the bundled sample drawing, the settings window's symbol
// counts, attribute tags, areas and unit turned on through its controls, and
// the list that the next run writes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "acadlink/test_windows.h"
#include "app/dialog_driver.h"
#include "app/dialog_program.h"

namespace {

std::string SourceDir;  // the repository, as a Windows path ending in "\"

// Texts of the list and of the settings file (code page 932).
const std::string kEquipment = "\x90\xdd\x94\xf5";                                         // 設備
const std::string kFloor = "\x8f\xb0\x8e\x64\x8f\xe3";                                     // 床仕上
const std::string kBlock = "\x83\x75\x83\x8d\x83\x62\x83\x4e";                             // ブロック
const std::string kLight = "\x8f\xc6\x96\xbe\x8a\xed\x8b\xef";                             // 照明器具
const std::string kOutlet = "\x83\x52\x83\x93\x83\x5a\x83\x93\x83\x67";                    // コンセント
const std::string kDownlight = "\x83\x5f\x83\x45\x83\x93\x83\x89\x83\x43\x83\x67";         // ダウンライト
const std::string kSize = "\x90\xa1\x96\x40";                                              // 寸法
const std::string kPartNo = "\x95\x69\x94\xd4";                                            // 品番
const char* const BlocksKey = "\x83\x75\x83\x8d\x83\x62\x83\x4e\x82\xcc\x8c\xc2\x90\x94";  // ブロックの個数
const char* const TagsKey = "\x91\xae\x90\xab\x83\x5e\x83\x4f";                            // 属性タグ
const char* const AreasKey = "\x96\xca\x90\xcf";                                           // 面積
const char* const UnitKey = "\x8f\x6f\x97\xcd\x92\x50\x88\xca";                            // 出力単位

class TakeOffTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Folder = MakeTempFolder();
    Settings = WorkFolder() + "attr.Ini";
    DeleteFileA(Settings.c_str());
    SilenceShortMeasures(Settings);
  }
  void TearDown() override { DeleteFileA(Settings.c_str()); }

  std::string Folder;
  std::string Settings;
};

// The sample drawing (millimetres, $INSUNITS 4). The user picks:
// - entity 21, a line on layer 0 from (3232.797, 25119.593) to (3232.797,
//   30819.593), linetype CENTER: 5700 mm, 5.700 m;
// - entities 80 to 86, references on 設備 (照明器具 holds a circle of radius
//   150, コンセント one of radius 100, both on layer 0): 照明器具 at (61000,
//   42000) with 品番 ダウンライト, 型式 埋込形, 寸法 φ150; two more at
//   (63000, 42000), one drawn exactly on the other, with the same values; one
//   at (62000, 40700) with 寸法 φ100; コンセント at (60300, 40300) with 品番
//   コンセント, 型式 2口, and two more at (63700, 40300), one on the other; no
//   寸法;
// - entity 87, a hatch on 床仕上 over the room from (60000, 40000) to (64000,
//   43000) with the column from (61750, 41250) to (62250, 41750) as its
//   island: 4000 x 3000 - 500 x 500 = 11 750 000 mm², 11.750 m².
TEST_F(TakeOffTest, SettingsWindowTurnsOnCountsAttributesAreasAndMetres) {
  TPeerProcess standin = TPeerProcess::Standin(
      {"--pick", "21,80,81,82,83,84,85,86,87", "--drawing", SourceDir + "samples\\sample.dxf"}, Folder);
  TDialogProgram program(Folder, "attr.exe");
  TSettingsWindow settings = OpenSettings(program);
  ASSERT_TRUE(settings.Window);
  ASSERT_TRUE(settings.Blocks && settings.Tags && settings.Areas && settings.Unit && settings.Ok);
  // All off at first, the unit as drawn; the tags wait for the symbols.
  EXPECT_FALSE(Checked(settings.Blocks));
  EXPECT_FALSE(Checked(settings.Areas));
  EXPECT_EQ(ReadWindowText(settings.Unit), "\x90\x7d\x96\xca\x82\xcc\x82\xdc\x82\xdc");  // 図面のまま
  EXPECT_FALSE(IsWindowEnabled(settings.Tags));
  PostMessageA(settings.Blocks, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(settings.Tags) != FALSE; }));
  // Typed with blanks around the tags and a comma too many.
  SendMessageA(settings.Tags, WM_SETTEXT, 0, reinterpret_cast<LPARAM>((" " + kSize + " , " + kPartNo + ",").c_str()));
  PostMessageA(settings.Areas, BM_CLICK, 0, 0);
  SendMessageA(settings.Unit, CB_SETCURSEL, 2, 0);  // 図面のまま, mm, m
  EXPECT_EQ(ReadWindowText(settings.Unit), "m");
  ASSERT_TRUE(WaitFor([&] { return Checked(settings.Areas); }));
  PostMessageA(settings.Ok, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings.Window); }));
  // The unit is the last key written.
  EXPECT_TRUE(WaitFor([&] { return StoredSetting(Settings, UnitKey) == "m"; }));
  EXPECT_EQ(StoredSetting(Settings, BlocksKey), "1");
  EXPECT_EQ(StoredSetting(Settings, TagsKey), kSize + "," + kPartNo);
  EXPECT_EQ(StoredSetting(Settings, AreasKey), "1");

  const std::string csv = Folder + "takeoff.csv";
  program->Type(csv);
  program->ClickRun();
  ASSERT_TRUE(WaitFor([&] { return FileExists(csv) && !program->Minimized(); }, 60000));
  const std::string circleArea = "\x89\x7e\x96\xca\x90\xcf";                 // 円面積
  const std::string hatchArea = "\x83\x6e\x83\x62\x83\x60\x96\xca\x90\xcf";  // ハッチ面積
  const std::string phi = "\x83\xd3";                                        // φ
  const std::string expected =
      // The length in metres.
      "0,     5.700,1,\x90\xfc,,,CENTER\r\n" +  // 線
      // The areas in square metres, after the lengths: the circles inside the
      // symbols (on layer 0 in their blocks, so on 設備 as placed), the copies
      // duplicates: π 100² = 31 415.9 mm², π 150² = 70 685.8 mm²; then the
      // room.
      kEquipment + ",     0.031,3," + circleArea + ",1,,\r\n" +  //
      kEquipment + ",     0.071,4," + circleArea + ",1,,\r\n" +  //
      kFloor + ",    11.750,1," + hatchArea + ",,,\r\n" +
      // The symbols by block name, then 寸法 and 品番 as typed; each copy
      // drawn on another is a duplicate.
      kEquipment + ",,3," + kBlock + ",1,,," + kOutlet + ",," + kOutlet + "\r\n" +                 //
      kEquipment + ",,1," + kBlock + ",,,," + kLight + "," + phi + "100," + kDownlight + "\r\n" +  //
      kEquipment + ",,3," + kBlock + ",1,,," + kLight + "," + phi + "150," + kDownlight + "\r\n";
  EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(csv) == expected; })) << ReadFileBytes(csv);

  // After a restart the window shows what was chosen.
  program->ClickClose();
  ASSERT_TRUE(program.Ended());
  TDialogProgram again(Folder, "attr.exe");
  settings = OpenSettings(again);
  ASSERT_TRUE(settings.Blocks && settings.Tags && settings.Areas && settings.Unit && settings.Cancel);
  EXPECT_TRUE(Checked(settings.Blocks));
  EXPECT_TRUE(IsWindowEnabled(settings.Tags));
  EXPECT_EQ(ReadWindowText(settings.Tags), kSize + "," + kPartNo);
  EXPECT_TRUE(Checked(settings.Areas));
  EXPECT_EQ(ReadWindowText(settings.Unit), "m");
  PostMessageA(settings.Cancel, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings.Window); }));
  again->ClickClose();
  EXPECT_TRUE(again.Ended());
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const TTestOptions options = ReadTestOptions(argc, argv);
  TDialogProgram::Path = options.Program;
  SourceDir = options.SourceDir;
  return RUN_ALL_TESTS();
}
