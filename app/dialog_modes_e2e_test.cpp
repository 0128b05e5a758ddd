// orveline.exe against a real, imperfect CAD program: the stand-in in each of
// its modes (a lagging command line, a busy export, a file dialog, questions
// that linger, nested prompts, a hung program, an export that never comes
// back). What the user gets (the CSV bytes), what the CAD program was typed
// (in which order, FILEDIA back at 1) and the dialog at the end. The program
// runs with its shipped timing: 200 ms polls, the 600-poll bound.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "acadlink/test_windows.h"
#include "acadlink/window_discovery.h"
#include "app/dialog_driver.h"
#include "app/dialog_program.h"
#include "app/notice_probe.h"

namespace {

std::string SourceDir;  // the repository, as a Windows path ending in "\"

const char* const Selection = "1,2,3,6,7,8,11,12,14,20,21,22,26,27,32,36,41,42,45,50,51,57,60,63,74";
const char* const NotAnswering =
    "CAD \x82\xaa\x89\x9e\x93\x9a\x82\xb5\x82\xdc\x82\xb9\x82\xf1\x81\x42";  // CAD が応答しません。
const std::vector<std::string> NormalConversation = {"<03>SELECT P<0D>U<0D><0D>", "<03>SELECT ", "FILEDIA 0 ", "DXFOUT",
                                                     "FILEDIA 1 "};

class ImperfectCadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Folder = MakeTempFolder();
    Transcript = Folder + "transcript.txt";
    Csv = Folder + "list.csv";
    DeleteFileA((WorkFolder() + "attr.Ini").c_str());
    SilenceShortMeasures(WorkFolder() + "attr.Ini");
  }
  void TearDown() override { DeleteFileA((WorkFolder() + "attr.Ini").c_str()); }

  TPeerProcess StartStandin(std::vector<std::string> Modes) {
    Modes.insert(Modes.end(),
                 {"--pick", Selection, "--drawing", SourceDir + "samples\\sample.dxf", "--transcript", Transcript});
    return TPeerProcess::Standin(Modes, Folder);
  }

  // The user types the CSV path and presses Enter, which the run button
  // takes since it has the focus; returns once the dialog, minimized for the
  // run, is back.
  void Run(TDialogProgram& Program, DWORD Milliseconds = 60000) {
    Program->Type(Folder + "list");
    ASSERT_EQ(Program->FocusedWindow(), Program->RunButton);
    PostMessageA(Program->RunButton, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(Program->RunButton, WM_KEYUP, VK_RETURN, 0);
    ASSERT_TRUE(WaitFor([&] { return Program->Minimized(); }));
    ASSERT_TRUE(WaitFor([&] { return !Program->Minimized(); }, Milliseconds));
  }

  // The texts the stand-in received, in order, without the form and byte
  // count; the export command, when it names this start's DXF file in the
  // work folder, as "DXFOUT".
  std::vector<std::string> Conversation() const {
    std::vector<std::string> texts;
    for (const std::string& line : ReadLines(Transcript)) {
      if (line.rfind("TEXT U ", 0) != 0) continue;
      std::string text = line.substr(line.find(' ', 7) + 1);
      const std::string head = "DXFOUT \"" + WorkFolder();
      const std::string tail = ".dxf\"<0D>VER 2000 OBJ PREV <0D>16 ";
      if (text.size() == head.size() + 12 + tail.size() && text.rfind(head, 0) == 0 &&
          text.compare(head.size() + 12, std::string::npos, tail) == 0)
        text = "DXFOUT";
      texts.push_back(text);
    }
    return texts;
  }
  std::vector<std::string> Events() const { return ReadLines(Transcript); }
  std::ptrdiff_t IndexOf(const std::string& Line) const {
    const std::vector<std::string> events = Events();
    return std::find(events.begin(), events.end(), Line) - events.begin();
  }
  bool Has(const std::string& Line) const {
    const std::vector<std::string> events = Events();
    return std::find(events.begin(), events.end(), Line) != events.end();
  }
  // The stand-in's FILEDIA as the conversation left it.
  std::string LastFiledia() const {
    std::string last;
    for (const std::string& line : Events())
      if (line.rfind("FILEDIA ", 0) == 0) last = line;
    return last;
  }
  std::string Expected() const { return ReadFileBytes(SourceDir + "testdata\\sample_selection.csv"); }

  std::string Folder, Transcript, Csv;
};

// The stand-in's command line as the screen shows it once the stand-in has
// handled what it was busy with and repainted what it had to.
TNoticePixels NoticeAfterRepaint() {
  const HWND pane = FindCommandInputPane();
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(pane, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
  UpdateWindow(pane);
  return ReadNoticePixels(pane);
}

// The dialog after a run: back, nothing pending, Enter starts the next run.
void ExpectReady(TDialogProgram& Program) {
  EXPECT_FALSE(Program->Minimized());
  EXPECT_EQ(Program->MessageBoxText(), "");
  // The focus comes back once the message box has gone and the run has ended.
  EXPECT_TRUE(WaitFor([&] { return Program->FocusedWindow() == Program->RunButton; }))
      << "focus on " << Program->FocusedWindow() << ", run button " << Program->RunButton;
}

TEST_F(ImperfectCadTest, EachModeGivesTheSameListAndTheSameConversation) {
  struct TCase {
    const char* name;
    std::vector<std::string> modes;
    std::function<void()> check;  // what the mode shows in the transcript
  };
  const TCase cases[] = {
      {"lagging command line, busy export",
       {"--lag", "350", "--busy-during-export", "2500"},
       [&] {
         EXPECT_TRUE(Has("BUSY 2500"));
         // The export is typed only after the user's selection ended.
         EXPECT_LT(IndexOf("SELECTED 25"), IndexOf("TEXT U 22 FILEDIA 0 "));
         EXPECT_EQ(Conversation(), NormalConversation);
       }},
      {"file dialog under FILEDIA 1",
       {"--filedia-dialog"},
       [&] {
         EXPECT_FALSE(Has("DXFOUT dialog opened"));  // FILEDIA 0 came first
         EXPECT_EQ(Conversation(), NormalConversation);
       }},
      {"nested command left running",
       {"--nested-cancel"},
       [&] {
         EXPECT_TRUE(Has("SELECTED 25"));
         EXPECT_EQ(Conversation(), NormalConversation);
       }},
      {"answered question lingers",
       {"--ask-export", "--question-lingers", "700"},
       [&] {
         // Answered at every poll it stays, as the run does with any
         // question; the extra answers reach the idle prompt.
         std::vector<std::string> texts = Conversation();
         ASSERT_GE(texts.size(), 6u);
         EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 4),
                   std::vector<std::string>(NormalConversation.begin(), NormalConversation.begin() + 4));
         EXPECT_TRUE(
             std::all_of(texts.begin() + 4, texts.end() - 1, [](const std::string& t) { return t == "Y<0D>"; }));
         EXPECT_EQ(texts.back(), "FILEDIA 1 ");
         EXPECT_TRUE(Has("LINGER ends"));
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileA(Transcript.c_str());
    DeleteFileA(Csv.c_str());
    TPeerProcess standin = StartStandin(c.modes);
    TDialogProgram program(Folder, "attr.exe");
    Run(program);
    // The list is written after the dialog is back.
    EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(Csv) == Expected(); })) << ReadFileBytes(Csv);
    c.check();
    // A lagging command line takes the last text up after the run is over.
    EXPECT_TRUE(WaitFor([&] { return LastFiledia() == "FILEDIA 1"; }, 5000)) << LastFiledia();
    // The notice outlasts the repaint that taking up that text brought.
    EXPECT_TRUE(WaitFor([&] { return NoticeAfterRepaint().LightRed > 200; }, 5000))
        << "light red " << NoticeAfterRepaint().LightRed;
    ExpectReady(program);
    program->ClickClose();
    EXPECT_TRUE(program.Ended());
  }
}

TEST_F(ImperfectCadTest, AQuestionLeftPendingInsideAPromptIsCancelledTwiceBeforeFiledia) {
  // The input pane goes with the export command, so the wait ends on an
  // empty line while the question is still asked, inside the options prompt.
  TPeerProcess standin = StartStandin({"--nested-cancel", "--ask-export", "--kill-pane-after", "4"});
  TDialogProgram program(Folder, "attr.exe");
  Run(program);
  EXPECT_EQ(Conversation(), (std::vector<std::string>{"<03>SELECT P<0D>U<0D><0D>", "<03>SELECT ", "FILEDIA 0 ",
                                                      "DXFOUT", "<03><03>", "FILEDIA 1 "}));
  EXPECT_EQ(LastFiledia(), "FILEDIA 1");
  EXPECT_FALSE(Has("DXFOUT 25 " + WorkFolder()));  // nothing was exported: no list
  EXPECT_FALSE(FileExists(Csv));
  ExpectReady(program);
}

TEST_F(ImperfectCadTest, AHungCadProgramLeavesADialogThatAnswersAndCloses) {
  TPeerProcess standin = StartStandin({"--hang-after", "3"});
  TDialogProgram program(Folder, "attr.exe");
  Run(program, 30000);
  ASSERT_TRUE(WaitFor([&] { return !program->MessageBoxText().empty(); }));
  EXPECT_EQ(program->MessageBoxText(), NotAnswering);
  EXPECT_TRUE(Has("HUNG"));
  EXPECT_EQ(Conversation(), (std::vector<std::string>{"<03>SELECT P<0D>U<0D><0D>", "<03>SELECT ", "FILEDIA 0 "}));
  program->DismissMessageBox();
  ASSERT_TRUE(WaitFor([&] { return program->MessageBoxText().empty(); }));
  ExpectReady(program);
  EXPECT_FALSE(FileExists(Csv));
  program->ClickClose();
  EXPECT_TRUE(program.Ended());
}

TEST_F(ImperfectCadTest, AnExportThatNeverComesBackIsWaitedForSixHundredPolls) {
  TPeerProcess standin = StartStandin({"--export-hang"});
  TDialogProgram program(Folder, "attr.exe");
  const ULONGLONG start = GetTickCount64();
  Run(program, 200000);
  // 600 polls of 200 ms at least.
  EXPECT_GE(GetTickCount64() - start, 120000u);
  EXPECT_EQ(Conversation(), (std::vector<std::string>{"<03>SELECT P<0D>U<0D><0D>", "<03>SELECT ", "FILEDIA 0 ",
                                                      "DXFOUT", "<03><03>", "FILEDIA 1 "}));
  EXPECT_EQ(LastFiledia(), "FILEDIA 1");
  // The DXF file was written in full and held still: its list is written.
  EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(Csv) == Expected(); }));
  ExpectReady(program);
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const TTestOptions options = ReadTestOptions(argc, argv);
  TDialogProgram::Path = options.Program;
  SourceDir = options.SourceDir;
  return RUN_ALL_TESTS();
}
