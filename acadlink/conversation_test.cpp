// The export conversation held with the stand-in CAD program, through the
// link's own calls: the texts typed, the prompts polled, the DXF file that
// comes out.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "acadlink/command_transport.h"
#include "acadlink/test_windows.h"
#include "acadlink/window_discovery.h"

namespace {

const char kIdlePrompt[] = "\x83\x52\x83\x7d\x83\x93\x83\x68: ";                        // コマンド:
const char kAskExport[] = "\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xdc\x82\xb7\x82\xa9";   // 書き出しますか
const char kAskReplace[] = "\x92\x75\x82\xab\x8a\xb7\x82\xa6\x82\xdc\x82\xb7\x82\xa9";  // 置き換えますか
const char kFilediaPrompt[] =
    "FILEDIA \x82\xcc\x90\x56\x82\xb5\x82\xa2\x92\x6c\x82\xf0\x93\xfc\x97\xcd <1>: ";  // FILEDIA の新しい値を入力 <1>:
const char kWallLayer[] = "\x95\xc7";                                                  // 壁
const char kOutputName[] = "\x8f\x6f\x97\xcd \x90\xe6.dxf";                            // 出力 先.dxf

// A drawing as the CAD program keeps it; the pieces are joined with CR LF.
const char kHead[] =
    "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  0\nENDSEC\n"
    "  0\nSECTION\n  2\nTABLES\n  0\nTABLE\n  2\nLAYER\n  0\nLAYER\n  2\n\x95\xc7\n 70\n0\n  0\nENDTAB\n  0\nENDSEC\n"
    "  0\nSECTION\n  2\nBLOCKS\n  0\nENDSEC\n"
    "  0\nSECTION\n  2\nENTITIES\n";
const char kLine[] = "  0\nLINE\n  5\n2A\n  8\n\x95\xc7\n 10\n0.0\n 20\n0.0\n 11\n1000.0\n 21\n0.0\n";
const char kCircle[] = "  0\nCIRCLE\n  5\n2B\n  8\n0\n 10\n5.0\n 20\n5.0\n 40\n2.5\n";
const char kPolyline[] =
    "  0\nPOLYLINE\n  5\n2C\n  8\n\x95\xc7\n 66\n1\n 70\n0\n"
    "  0\nVERTEX\n  5\n2D\n  8\n0\n 10\n0.0\n 20\n0.0\n"
    "  0\nVERTEX\n  5\n2E\n  8\n0\n 10\n0.0\n 20\n300.0\n"
    "  0\nSEQEND\n  5\n2F\n  8\n\x95\xc7\n";
const char kArc[] = "  0\nARC\n  5\n30\n  8\n0\n 10\n0.0\n 20\n0.0\n 40\n1.0\n 50\n0.0\n 51\n90.0\n";
const char kTail[] = "  0\nENDSEC\n  0\nSECTION\n  2\nOBJECTS\n  0\nDICTIONARY\n  5\nC\n  0\nENDSEC\n  0\nEOF\n";

std::string CrLf(const std::string& Text) {
  std::string out;
  for (char c : Text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

const std::string kDrawing = std::string(kHead) + kLine + kCircle + kPolyline + kArc + kTail;
// The entities on layer 壁 (the polyline's vertices lie on layer 0).
const std::string kWallExport = CrLf(std::string(kHead) + kLine + kPolyline + kTail);

bool Contains(const std::string& Text, const char* Part) { return Text.find(Part) != std::string::npos; }

// How the conversation polls the command line: the export run's 200 ms by
// default.
struct TPolling {
  DWORD IntervalMs = 200;
  int MaxSelectionPolls = 150;  // the run's selection wait has no bound; the test gives it 30 s
  int MaxExportPolls = 600;
};

// The export run's conversation, step by step.
struct TConversation {
  int selectionPolls = 0;
  int exportPolls = 0;
  std::string lastLine;
};

TConversation Converse(const std::string& DxfPath, const TPolling& Polling = {}) {
  TConversation c;
  SendCommandText(L"\x0003SELECT P\rU\r\r");
  SendCommandText(L"\x0003SELECT ");
  for (; c.selectionPolls < Polling.MaxSelectionPolls; ++c.selectionPolls) {
    Sleep(Polling.IntervalMs);
    PumpMessages();
    if (ReadCommandLine() == kIdlePrompt) break;
  }
  SendCommandText(L"FILEDIA 0 ");
  SendCommandText(AnsiToWide("DXFOUT \"" + DxfPath + "\"\rVER 2000 OBJ PREV \r16 "));
  for (; c.exportPolls < Polling.MaxExportPolls; ++c.exportPolls) {
    Sleep(Polling.IntervalMs);
    PumpMessages();
    c.lastLine = ReadCommandLine();
    if (Contains(c.lastLine, kAskExport)) SendCommandText(L"Y\r");
    if (Contains(c.lastLine, kAskReplace)) SendCommandText(L"Y\r");
    if (c.lastLine == kIdlePrompt || c.lastLine.empty()) break;
  }
  SendCommandText(L"FILEDIA 1 ");
  return c;
}

// Transcript lines that start with `head`.
std::vector<std::string> LinesStartingWith(const std::vector<std::string>& Lines, const std::string& Head) {
  std::vector<std::string> out;
  for (const std::string& l : Lines)
    if (l.compare(0, Head.size(), Head) == 0) out.push_back(l);
  return out;
}

class ConversationTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetAcadLink();
    folder_ = MakeTempFolder();
    WriteFileBytes(folder_ + "drawing.dxf", kDrawing);
  }
  void TearDown() override { ResetAcadLink(); }

  TPeerProcess Start(std::vector<std::string> Options) {
    Options.insert(Options.end(), {"--drawing", folder_ + "drawing.dxf", "--transcript", Transcript()});
    return TPeerProcess::Standin(Options, folder_);
  }
  std::string Transcript() const { return folder_ + "transcript.txt"; }

  std::string folder_;
};

TEST_F(ConversationTest, WholeConversationExportsTheSelectedEntities) {
  TPeerProcess standin = Start({"--pick", std::string("layer:") + kWallLayer});
  ASSERT_TRUE(ActivateAcad());
  ASSERT_NE(FindCommandInputPane(), nullptr);
  const std::string dxf = folder_ + kOutputName;

  const TConversation c = Converse(dxf);
  EXPECT_LT(c.selectionPolls, TPolling{}.MaxSelectionPolls);
  EXPECT_EQ(c.lastLine, kIdlePrompt);
  EXPECT_EQ(ReadFileBytes(dxf), kWallExport);

  const std::vector<std::string> transcript = ReadLines(Transcript());
  const std::string dxfout = "DXFOUT \"" + dxf + "\"<0D>VER 2000 OBJ PREV <0D>16 ";
  const std::vector<std::string> typed = {
      "TEXT U 28 <03>SELECT P<0D>U<0D><0D>",
      "TEXT U 18 <03>SELECT ",
      "TEXT U 22 FILEDIA 0 ",
      "TEXT U " + std::to_string((AnsiToWide(dxf).size() + 33) * 2) + " " + dxfout,
      "TEXT U 22 FILEDIA 1 ",
  };
  EXPECT_EQ(LinesStartingWith(transcript, "TEXT "), typed);
  EXPECT_EQ(LinesStartingWith(transcript, "SELECTED "), (std::vector<std::string>{"SELECTED 0", "SELECTED 2"}));
  EXPECT_EQ(LinesStartingWith(transcript, "DXFOUT "), std::vector<std::string>{"DXFOUT 2 " + dxf});
}

TEST_F(ConversationTest, QuestionsAreAnsweredByThePolls) {
  TPeerProcess standin = Start({"--pick", "0,3", "--ask-export"});
  ASSERT_TRUE(ActivateAcad());
  const std::string dxf = folder_ + "out.dxf";
  WriteFileBytes(dxf, "old");

  const TConversation c = Converse(dxf);
  EXPECT_EQ(c.lastLine, kIdlePrompt);
  EXPECT_EQ(ReadFileBytes(dxf), CrLf(std::string(kHead) + kLine + kArc + kTail));

  const std::vector<std::string> transcript = ReadLines(Transcript());
  EXPECT_EQ(LinesStartingWith(transcript, "TEXT U 6 Y<0D>").size(), 2u);
  const auto asked = [&](const char* phrase) {
    return std::count_if(transcript.begin(), transcript.end(),
                         [&](const std::string& l) { return l.rfind("PROMPT ", 0) == 0 && Contains(l, phrase); });
  };
  EXPECT_EQ(asked(kAskExport), 1);
  EXPECT_EQ(asked(kAskReplace), 1);
}

// An ANSI frame takes the bytes of code page 932; a DXF path too long for
// one payload makes the export command travel in two pieces.
TEST_F(ConversationTest, AnsiPeerTakesALongCommandInPieces) {
  TPeerProcess standin = Start({"--ansi", "--pick", "all"});
  ASSERT_TRUE(ActivateAcad());
  std::string longFolder = folder_;
  while (longFolder.size() < 230) longFolder += "\x90\x7d\x96\xca";  // 図面
  longFolder += "\\";
  ASSERT_TRUE(CreateDirectoryA(longFolder.c_str(), nullptr));
  const std::string dxf = longFolder + "out.dxf";

  const TConversation c = Converse(dxf);
  EXPECT_EQ(c.lastLine, kIdlePrompt);
  EXPECT_EQ(ReadFileBytes(dxf), CrLf(kDrawing));

  const std::vector<std::string> typed = LinesStartingWith(ReadLines(Transcript()), "TEXT ");
  ASSERT_EQ(typed.size(), 6u);
  EXPECT_EQ(typed[1], "TEXT A 9 <03>SELECT ");
  // The command as two payloads of at most 255 bytes, cut between
  // characters; together they are the whole command.
  const std::string command = "DXFOUT \"" + dxf + "\"<0D>VER 2000 OBJ PREV <0D>16 ";
  std::size_t counts[2] = {0, 0};
  std::string joined;
  for (int i = 0; i < 2; ++i) {
    const std::string& line = typed[3 + i];
    ASSERT_EQ(line.rfind("TEXT A ", 0), 0u);
    const std::size_t blank = line.find(' ', 7);
    counts[i] = std::stoul(line.substr(7, blank - 7));
    joined += line.substr(blank + 1);
  }
  EXPECT_EQ(joined, command);
  EXPECT_LE(counts[0], 256u);
  EXPECT_GE(counts[0], 255u);
  EXPECT_EQ(counts[0] - 1 + counts[1] - 1, 32 + dxf.size());
}

TEST_F(ConversationTest, PromptShowsWhatIsTypedAfterIt) {
  TPeerProcess standin = Start({});
  ASSERT_TRUE(ActivateAcad());
  SendCommandText(L"FILE");
  EXPECT_EQ(ReadCommandLine(), std::string(kIdlePrompt) + "FILE");
  SendCommandText(L"DIA ");
  EXPECT_EQ(ReadCommandLine(), kFilediaPrompt);
  SendCommandText(L"\x0003");
  EXPECT_EQ(ReadCommandLine(), kIdlePrompt);
}

TEST_F(ConversationTest, NewInputPaneIsFoundAfterTheProgramStartsAgain) {
  {
    TPeerProcess first = Start({});
    ASSERT_EQ(ReadCommandLine(), kIdlePrompt);
  }
  EXPECT_EQ(ReadCommandLine(), "");
  TPeerProcess second = Start({"--panes", "input"});
  EXPECT_EQ(ReadCommandLine(), kIdlePrompt);
  DWORD owner = 0;
  GetWindowThreadProcessId(AcadLinkState().InputPaneWnd, &owner);
  EXPECT_EQ(owner, second.Id());
}

// The stand-in's failures, as the export run will meet them.
TEST_F(ConversationTest, FaultModes) {
  struct TCase {
    const char* name;
    std::vector<std::string> options;
    int maxExportPolls;
    bool dxfWritten;
    const char* lastLine;  // nullptr: the polls ran out on another line
    int minExportPolls;
  };
  const TCase cases[] = {
      {"no DXF written", {"--no-dxf"}, 600, false, kIdlePrompt, 0},
      {"slow export", {"--export-delay", "1500"}, 600, true, kIdlePrompt, 5},
      {"export never returns", {"--export-hang"}, 10, true, nullptr, 10},
      {"input pane destroyed with the export command", {"--kill-pane-after", "4"}, 600, true, "", 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    ResetAcadLink();
    DeleteFileA(Transcript().c_str());
    TPeerProcess standin = Start(c.options);
    ASSERT_TRUE(ActivateAcad());
    const std::string dxf = folder_ + "fault.dxf";
    DeleteFileA(dxf.c_str());
    const TConversation conv = Converse(dxf, {.MaxExportPolls = c.maxExportPolls});
    EXPECT_GE(conv.exportPolls, c.minExportPolls);
    if (c.lastLine != nullptr) {
      EXPECT_EQ(conv.lastLine, c.lastLine);
    } else {
      EXPECT_NE(conv.lastLine, kIdlePrompt);
    }
    // A slow or hung export may finish writing after the polls.
    for (int i = 0; i < 50 && c.dxfWritten && !FileExists(dxf); ++i) Sleep(100);
    EXPECT_EQ(FileExists(dxf), c.dxfWritten);
    EXPECT_EQ(LinesStartingWith(ReadLines(Transcript()), "TEXT U 22 FILEDIA 1 ").size(), 1u);
  }
}

TEST_F(ConversationTest, ProgramClosingDuringTheSelection) {
  TPeerProcess standin = Start({"--close-during-select"});
  ASSERT_TRUE(ActivateAcad());
  SendCommandText(L"\x0003SELECT ");
  for (int i = 0; i < 100 && ActivateAcad(); ++i) Sleep(100);
  EXPECT_FALSE(ActivateAcad());
  EXPECT_EQ(ReadCommandLine(), "");
  EXPECT_FALSE(SendCommandText(L"FILEDIA 1 "));
}

}  // namespace
