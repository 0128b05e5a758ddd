// The export run against the stand-in CAD program, a separate process with
// real windows: the conversation as it arrives, the DXF file it writes, the
// CSV file and the notice painted on its command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "acadlink/ansi_text.h"
#include "acadlink/test_windows.h"
#include "acadlink/window_discovery.h"
#include "app/acad_command_line.h"
#include "app/export_run.h"
#include "app/notice_probe.h"

namespace {

std::string SourceDir;  // the repository, as a Windows path ending in "\"

const char* const kAskReplace = "\x92\x75\x82\xab\x8a\xb7\x82\xa6\x82\xdc\x82\xb7\x82\xa9";  // 置き換えますか
// The entities that the scripted user picks: lines, circles, arcs, both kinds
// of polyline, texts and inserts on several layers. testdata/sample_selection.dxf
// holds exactly these entities of the sample (made with scripts/dxf-subset.py),
// and testdata/sample_selection.csv is what orveline-report writes for it.
const char* const kSelection = "1,2,3,6,7,8,11,12,14,20,21,22,26,27,32,36,41,42,45,50,51,57,60,63,74";

class TTestDialog : public TRunDialogPort {
 public:
  std::string FileName;
  std::vector<std::string> Events;
  std::function<void()> OnPump;
  bool Close = false;

  std::string ResultFileName() override { return FileName; }
  void ShowMessage(const std::string& Text) override { Events.push_back("message " + Text); }
  void Minimize() override { Events.push_back("minimize"); }
  void Restore() override { Events.push_back("restore"); }
  void ProcessMessages() override {
    PumpMessages();
    if (OnPump) OnPump();
  }
  bool CloseRequested() override { return Close; }
};

class ExportRunWithStandinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAcadLink();
    Folder = MakeTempFolder();
    Transcript = Folder + "transcript.txt";
    Base = Folder + "261210120000";
    Dialog.FileName = Folder + "\x8c\x8b\x89\xca.txt";  // 結果.txt
    CsvPath = Folder + "\x8c\x8b\x89\xca.csv";
  }
  void TearDown() override { Standin.reset(); }

  void StartStandin(std::vector<std::string> Options) {
    Options.insert(Options.end(), {"--drawing", SourceDir + "samples\\sample.dxf", "--transcript", Transcript});
    Standin = std::make_unique<TPeerProcess>(TPeerProcess::Standin(Options, Folder));
  }
  TExportRunEnd Run() { return RunExport(Dialog, Cad, Base, TExportRunTiming{200, 600}); }
  std::vector<std::string> Received() {
    std::vector<std::string> texts;
    for (const std::string& line : ReadLines(Transcript))
      if (line.rfind("TEXT ", 0) == 0) texts.push_back(line);
    return texts;
  }
  std::string DxfCommandLine() {
    const std::string text = "DXFOUT \"" + Base + ".dxf\"<0D>VER 2000 OBJ PREV <0D>16 ";
    return "TEXT U " + std::to_string((AnsiToWide(Base + ".dxf").size() + 32 + 1) * 2) + " " + text;
  }

  std::string Folder, Transcript, Base, CsvPath;
  TTestDialog Dialog;
  TAcadCommandLine Cad;
  std::unique_ptr<TPeerProcess> Standin;
};

TEST_F(ExportRunWithStandinTest, ExportsThePickedEntitiesAndWritesTheirQuantityList) {
  StartStandin({"--pick", kSelection});
  ASSERT_EQ(Run(), TExportRunEnd::Reported);

  EXPECT_EQ(ReadFileBytes(CsvPath), ReadFileBytes(SourceDir + "testdata\\sample_selection.csv"));
  const std::vector<std::string> expected = {
      "TEXT U 28 <03>SELECT P<0D>U<0D><0D>",
      "TEXT U 18 <03>SELECT ",
      "TEXT U 22 FILEDIA 0 ",
      DxfCommandLine(),
      "TEXT U 22 FILEDIA 1 ",
  };
  EXPECT_EQ(Received(), expected);
  const std::vector<std::string> transcript = ReadLines(Transcript);
  EXPECT_NE(std::find(transcript.begin(), transcript.end(), "DXFOUT 25 " + Base + ".dxf"), transcript.end());
  EXPECT_EQ(Dialog.Events, (std::vector<std::string>{"minimize", "restore"}));
}

TEST_F(ExportRunWithStandinTest, PaintsTheNoticeOnTheInputPane) {
  StartStandin({"--pick", "3"});
  ASSERT_EQ(Run(), TExportRunEnd::Reported);
  HWND pane = AcadLinkState().InputPaneWnd;
  ASSERT_TRUE(IsWindow(pane));

  // Light red cells with black text at the left end of the pane, on its
  // bottom rows; the cells are opaque, so nothing of the pane's own white
  // shows between the glyphs; nothing at the right end.
  const TNoticePixels pixels = ReadNoticePixels(pane);
  EXPECT_GT(pixels.LightRed, 200);
  EXPECT_EQ(pixels.White, 0);
  EXPECT_EQ(pixels.LightRedRight, 0);
}

TEST_F(ExportRunWithStandinTest, SecondRunReplacesTheSameDxfFile) {
  StartStandin({"--pick", "3"});
  ASSERT_EQ(Run(), TExportRunEnd::Reported);
  const std::string first = ReadFileBytes(Base + ".dxf");
  ASSERT_FALSE(first.empty());

  // The run deletes the DXF file before it types anything; a file that
  // turns up again before the export makes the CAD program ask.
  bool deletedBeforeTyping = false;
  int pumps = 0;
  Dialog.OnPump = [&] {
    if (++pumps == 1) {
      deletedBeforeTyping = !FileExists(Base + ".dxf");
      WriteFileBytes(Base + ".dxf", "in the way");
    }
  };
  ASSERT_EQ(Run(), TExportRunEnd::Reported);
  EXPECT_TRUE(deletedBeforeTyping);
  EXPECT_EQ(ReadFileBytes(Base + ".dxf"), first);

  const std::vector<std::string> transcript = ReadLines(Transcript);
  int questions = 0;
  for (const std::string& line : transcript)
    questions += line.rfind("PROMPT ", 0) == 0 && line.find(kAskReplace) != std::string::npos;
  EXPECT_EQ(questions, 1);
  const std::vector<std::string> texts = Received();
  ASSERT_EQ(texts.size(), 11u);
  EXPECT_EQ(texts[8], DxfCommandLine());
  EXPECT_EQ(texts[9], "TEXT U 6 Y<0D>");
  EXPECT_EQ(texts[10], "TEXT U 22 FILEDIA 1 ");
}

TEST_F(ExportRunWithStandinTest, CadProgramClosingDuringTheSelectionIsSaidAndTheOldListStays) {
  StartStandin({"--close-during-select"});
  WriteFileBytes(CsvPath, "old");
  EXPECT_EQ(Run(), TExportRunEnd::AcadClosed);
  // CAD プログラムが終了しました。
  EXPECT_EQ(Dialog.Events, (std::vector<std::string>{"minimize", "restore",
                                                     "message CAD \x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80\x82\xaa"
                                                     "\x8f\x49\x97\xb9\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42"}));
  EXPECT_EQ(Received(), (std::vector<std::string>{"TEXT U 28 <03>SELECT P<0D>U<0D><0D>", "TEXT U 18 <03>SELECT "}));
  EXPECT_EQ(ReadFileBytes(CsvPath), "old");
}

TEST_F(ExportRunWithStandinTest, WithoutTheCadProgramNothingIsTypedAndTheUserIsTold) {
  WriteFileBytes(CsvPath, "old");
  EXPECT_EQ(Run(), TExportRunEnd::NoAcad);
  EXPECT_EQ(ReadFileBytes(CsvPath), "old");
  ASSERT_EQ(Dialog.Events.size(), 3u);
  EXPECT_EQ(Dialog.Events[1], "restore");
  EXPECT_EQ(Dialog.Events[2].rfind("message CAD ", 0), 0u) << Dialog.Events[2];
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  SourceDir = ReadTestOptions(argc, argv).SourceDir;
  return RUN_ALL_TESTS();
}
