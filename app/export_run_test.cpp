// The export run against a scripted command line: no CAD program, no windows
// but the dialog's message queue.
#include "app/export_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "acadlink/command_transport.h"

namespace {

const std::string kPrompt = "\x83\x52\x83\x7d\x83\x93\x83\x68\x3a\x20";  // コマンド:
const std::string kSelectObjects =
    "\x83\x49\x83\x75\x83\x57\x83\x46\x83\x4e\x83\x67\x82\xf0\x91\x49\x91\xf0\x3a\x20";  // オブジェクトを選択:
const std::string kAskName =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc\x82\xf0\x93\xfc\x97\xcd\x3a\x20";  // ファイル名を入力:
const std::string kAskReplace = "\x92\x75\x82\xab\x8a\xb7\x82\xa6\x82\xdc\x82\xb7\x82\xa9\x3f\x20";  // 置き換えますか?
const std::string kAskFiledia =
    "FILEDIA \x82\xcc\x90\x56\x82\xb5\x82\xa2\x92\x6c\x82\xf0\x93\xfc\x97\xcd <0>: ";  // FILEDIA の新しい値を入力 <0>:
const std::string kAskExport = "\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x3f\x20";  // 書き出しますか?
const std::string kNoFileNameMessage =
    "\x95\xdb\x91\xb6\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc\x82\xaa\x8e\x77"
    "\x92\xe8\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1";  // 保存ファイル名が指定されていません
const std::string kCannotCreateMessage =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1";  // ファイルを作成できません
const std::string kNoAcadMessage =
    "CAD \x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1"
    "\x81\x42\x90\x7d\x96\xca\x82\xf0\x8a\x4a\x82\xa2\x82\xc4\x82\xa9\x82\xe7\x8e\xc0\x8d\x73\x82\xb5\x82\xc4"
    "\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42";  // CAD プログラムが見つかりません。図面を開いてから実行してください。
const std::string kAcadClosedMessage =
    "CAD \x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80\x82\xaa\x8f\x49\x97\xb9\x82\xb5\x82\xdc\x82\xb5\x82\xbd"
    "\x81\x42";  // CAD プログラムが終了しました。
// The list of an earlier run: 壁,     9.000,1,線,,,
const std::string kOldCsv = "\x95\xc7,     9.000,1,\x90\xfc,,,\r\n";

// Character 3 (cancel) and the commands; the escape ends before the S.
constexpr wchar_t kSelectText1Units[] = L"\x0003SELECT P\rU\r\r";
constexpr wchar_t kSelectText2Units[] = L"\x0003SELECT ";
static_assert(std::size(kSelectText1Units) == 13 + 1 && std::size(kSelectText2Units) == 8 + 1);
const std::wstring kSelectText1 = kSelectText1Units;
const std::wstring kSelectText2 = kSelectText2Units;

const char* const kTwoLinesDxf =
    "0\r\nSECTION\r\n2\r\nENTITIES\r\n"
    "0\r\nLINE\r\n8\r\n\x95\xc7\r\n10\r\n0.0\r\n20\r\n0.0\r\n11\r\n3.0\r\n21\r\n4.0\r\n"  // layer 壁
    "0\r\nLINE\r\n8\r\n\x95\xc7\r\n10\r\n0.0\r\n20\r\n0.0\r\n11\r\n3.0\r\n21\r\n4.0\r\n"
    "0\r\nENDSEC\r\n0\r\nEOF\r\n";
// 壁,     5.000,2,線,1,,
const std::string kTwoLinesCsv = "\x95\xc7,     5.000,2,\x90\xfc,1,,\r\n";
// A closed polyline of layer A whose first segment is a half circle (bulge
// 1): from (0,0) round to (2,0), then to (2,2); and a line.
const char* const kRoundedPolylineDxf =
    "0\r\nSECTION\r\n2\r\nENTITIES\r\n"
    "0\r\nLWPOLYLINE\r\n8\r\nA\r\n90\r\n3\r\n70\r\n1\r\n10\r\n0.0\r\n20\r\n0.0\r\n42\r\n1.0\r\n"
    "10\r\n2.0\r\n20\r\n0.0\r\n10\r\n2.0\r\n20\r\n2.0\r\n"
    "0\r\nLINE\r\n8\r\nA\r\n10\r\n0.0\r\n20\r\n0.0\r\n11\r\n3.0\r\n21\r\n4.0\r\n"
    "0\r\nENDSEC\r\n0\r\nEOF\r\n";
// An export of nothing at all: sections, but not one entity.
const char* const kNoEntityDxf =
    "0\r\nSECTION\r\n2\r\nHEADER\r\n9\r\n$ACADVER\r\n1\r\nAC1015\r\n0\r\nENDSEC\r\n"
    "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n";

std::string ReadFileBytes(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& Path, const std::string& Bytes) {
  std::ofstream out(Path, std::ios::binary | std::ios::trunc);
  out << Bytes;
}

bool Exists(const std::string& Path) { return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The names in Folder (ending in "\\"), hidden files included, sorted.
std::vector<std::string> FilesIn(const std::string& Folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA((Folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

// A command line that shows scripted prompts. Each phase (selection, export)
// has its list of lines, one per read; the last one stays on the line.
class TScriptedCommandLine : public TCommandLinePort {
 public:
  bool Running = true;
  bool DiesDuringSelection = false;
  int DiesAtExportRead = 0;  // the CAD program is gone from this read of the export wait on (from 1)
  std::vector<std::string> SelectionLines{kPrompt};
  std::vector<std::string> ExportLines{kPrompt};
  std::vector<std::string> AfterLines{kPrompt};  // once "FILEDIA 1 " was typed
  std::string DxfToWrite;                        // written at the path typed to DXFOUT
  std::function<void()> OnActivate;
  int NotAnsweringAtSend = -1;               // the send with this index (from 0) is not answered
  std::function<void(const char*)> OnEvent;  // "send", "read" or "notice", as it happens

  std::vector<std::wstring> Typed;
  int SelectionReads = 0;
  int ExportReads = 0;
  HWND Pane = reinterpret_cast<HWND>(0x1234);
  std::vector<std::pair<HWND, std::string>> Notices;

  bool ActivateAcad() override {
    if (OnActivate) OnActivate();
    return Running;
  }
  HWND FindCommandInputPane() override { return Pane; }
  bool AcadAlive() override { return Running; }
  void SendCommandText(const std::wstring& Text) override {
    if (static_cast<int>(Typed.size()) == NotAnsweringAtSend) throw TCadNotAnswering();
    if (OnEvent) OnEvent("send");
    Typed.push_back(Text);
    if (Text == L"FILEDIA 1 ") After = true;
    if (Text.rfind(L"DXFOUT \"", 0) == 0) {
      InExport = true;
      const size_t end = Text.find(L'"', 8);
      if (!DxfToWrite.empty()) WriteFileBytes(Narrow(Text.substr(8, end - 8)), DxfToWrite);
    }
  }
  std::string ReadCommandLine() override {
    if (OnEvent) OnEvent("read");
    if (!Running) return std::string();
    if (After) return Pick(AfterLines, AfterReads++);
    if (!InExport) {
      const std::string& line = Pick(SelectionLines, SelectionReads++);
      if (DiesDuringSelection && SelectionReads == 2) Running = false;
      return line;
    }
    if (DiesAtExportRead > 0 && ExportReads + 1 >= DiesAtExportRead) {
      Running = false;
      return std::string();
    }
    return Pick(ExportLines, ExportReads++);
  }
  void DrawCompletionNotice(HWND Window, const std::string& Text) override {
    if (OnEvent) OnEvent("notice");
    Notices.emplace_back(Window, Text);
  }

 private:
  bool InExport = false;
  bool After = false;
  int AfterReads = 0;
  static const std::string& Pick(const std::vector<std::string>& Lines, int Index) {
    return Lines[std::min<size_t>(static_cast<size_t>(Index), Lines.size() - 1)];
  }
  static std::string Narrow(const std::wstring& Text) {
    std::string out;
    for (wchar_t c : Text) out += static_cast<char>(c);  // the test paths are ASCII
    return out;
  }
};

class TRecordingDialog : public TRunDialogPort {
 public:
  std::string FileName;
  TReportOptions Options;
  std::vector<std::string> Events;
  std::vector<TReportResult> Results;  // told to ShowRunResult
  int CloseAfterPumps = -1;            // the user closes the dialog at that pump
  int Pumps = 0;
  std::function<void()> OnPump;

  std::string ResultFileName() override { return FileName; }
  void ShowMessage(const std::string& Text) override { Events.push_back("message " + Text); }
  void Minimize() override { Events.push_back("minimize"); }
  void Restore() override { Events.push_back("restore"); }
  void ProcessMessages() override {
    ++Pumps;
    if (OnPump) OnPump();
  }
  bool CloseRequested() override { return CloseAfterPumps >= 0 && Pumps >= CloseAfterPumps; }
  TReportOptions ReportOptions() override { return Options; }
  void TellShortMeasures(std::int64_t Bulged, std::int64_t Closed) override {
    Events.push_back("short measures " + std::to_string(Bulged) + " " + std::to_string(Closed));
  }
  void ShowRunResult(const std::string& CsvPath, const TReportResult& Result, bool Exact) override {
    Events.push_back(std::string("result ") + (Exact ? "exact " : "plain ") + CsvPath);
    Results.push_back(Result);
  }
};

class ExportRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    Folder = std::string(temp) + "orveline-run-test-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(Folder.c_str(), nullptr);
    Base = Folder + "061231235959";
    Dialog.FileName = Folder + "result.txt";
    CsvPath = Folder + "result.csv";
  }
  void TearDown() override {
    DeleteFileA((Base + ".dxf").c_str());
    DeleteFileA(CsvPath.c_str());
    RemoveDirectoryA(Folder.c_str());
  }
  TExportRunEnd Run() { return RunExport(Dialog, Cad, Base, Timing); }
  std::wstring ExportCommand() const {
    std::wstring path(Base.begin(), Base.end());
    return L"DXFOUT \"" + path + L".dxf\"\rVER 2000 OBJ PREV \r16 ";
  }

  std::string Folder, Base, CsvPath;
  TRecordingDialog Dialog;
  TScriptedCommandLine Cad;
  TExportRunTiming Timing{1, 600};
};

TEST_F(ExportRunTest, TypesTheWholeConversationInOrder) {
  // The selection wait ends only on the exact idle prompt.
  Cad.SelectionLines = {kSelectObjects, "", kPrompt.substr(0, 9), kPrompt + "L", kPrompt};
  Cad.ExportLines = {kAskName, kPrompt};
  EXPECT_EQ(Run(), TExportRunEnd::NoDxf);

  const std::vector<std::wstring> expected = {kSelectText1, kSelectText2, L"FILEDIA 0 ", ExportCommand(),
                                              L"FILEDIA 1 "};
  EXPECT_EQ(Cad.Typed, expected);
  EXPECT_EQ(Cad.SelectionReads, 5);
  EXPECT_EQ(Cad.ExportReads, 2);
  EXPECT_EQ(Dialog.Events, (std::vector<std::string>{"minimize", "restore"}));
  // Every read comes after the message queue was serviced.
  EXPECT_EQ(Dialog.Pumps, 7);
}

TEST_F(ExportRunTest, AnswersQuestionsAtEveryPollTheyStay) {
  Cad.ExportLines = {kAskReplace, kAskReplace, kAskExport, kAskExport + kAskReplace, "", kPrompt};
  Run();
  std::vector<std::wstring> answers(Cad.Typed.begin() + 4, Cad.Typed.end() - 2);
  EXPECT_EQ(answers, std::vector<std::wstring>(5, L"Y\r"));
  EXPECT_EQ(Cad.Typed.back(), L"FILEDIA 1 ");
  EXPECT_EQ(Cad.ExportReads, 5);  // the empty line ended the wait
}

TEST_F(ExportRunTest, ExportWaitIsBounded) {
  Timing.MaxExportPolls = 7;
  Cad.ExportLines = {kAskName};
  Run();
  EXPECT_EQ(Cad.ExportReads, 7);
  EXPECT_EQ(Cad.Typed.back(), L"FILEDIA 1 ");
  EXPECT_EQ(Dialog.Events.back(), "restore");
}

TEST_F(ExportRunTest, EmptyFileNameShowsTheMessageAndTouchesNothing) {
  Dialog.FileName.clear();
  WriteFileBytes(Base + ".dxf", "old");
  EXPECT_EQ(Run(), TExportRunEnd::NoFileName);
  EXPECT_EQ(Dialog.Events, std::vector<std::string>{"message " + kNoFileNameMessage});
  EXPECT_TRUE(Cad.Typed.empty());
  EXPECT_TRUE(Exists(Base + ".dxf"));
}

TEST_F(ExportRunTest, WithoutTheCadProgramNothingIsTypedTheUserIsToldAndTheOldCsvStays) {
  Cad.Running = false;
  WriteFileBytes(CsvPath, kOldCsv);
  EXPECT_EQ(Run(), TExportRunEnd::NoAcad);
  EXPECT_TRUE(Cad.Typed.empty());
  EXPECT_EQ(ReadFileBytes(CsvPath), kOldCsv);
  EXPECT_TRUE(Cad.Notices.empty());
  // The dialog is back before the message.
  EXPECT_EQ(Dialog.Events, (std::vector<std::string>{"minimize", "restore", "message " + kNoAcadMessage}));
}

TEST_F(ExportRunTest, CadProgramClosingBeforeItsExportIsCompleteIsSaidAndTheOldCsvStays) {
  struct TCase {
    const char* name;
    bool diesDuringSelection;
    int diesAtExportRead;
    std::vector<std::wstring> typed;
  };
  const TCase cases[] = {
      {"during the selection", true, 0, {kSelectText1, kSelectText2}},
      // The export had begun: the file it left is no complete export, and
      // nothing more is typed to a program that is gone.
      {"during the export", false, 2, {kSelectText1, kSelectText2, L"FILEDIA 0 ", ExportCommand()}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFileBytes(CsvPath, kOldCsv);
    TScriptedCommandLine cad;
    cad.SelectionLines = {kSelectObjects, kSelectObjects, kPrompt};
    cad.ExportLines = {kAskName};
    cad.DiesDuringSelection = c.diesDuringSelection;
    cad.DiesAtExportRead = c.diesAtExportRead;
    cad.DxfToWrite = kTwoLinesDxf;
    TRecordingDialog dialog;
    dialog.FileName = Dialog.FileName;
    EXPECT_EQ(RunExport(dialog, cad, Base, Timing), TExportRunEnd::AcadClosed);
    EXPECT_EQ(cad.Typed, c.typed);
    EXPECT_EQ(dialog.Events, (std::vector<std::string>{"minimize", "restore", "message " + kAcadClosedMessage}));
    EXPECT_EQ(ReadFileBytes(CsvPath), kOldCsv);
    EXPECT_TRUE(cad.Notices.empty());
  }
}

TEST_F(ExportRunTest, ACsvFileThatCannotBeCreatedIsRefusedBeforeAnythingHappens) {
  struct TCase {
    const char* name;
    std::string fileName;
  };
  WriteFileBytes(Folder + "plain-file", "not a folder");
  const TCase cases[] = {
      {"a folder that does not exist", Folder + "missing\\result.txt"},
      {"a folder that is a file", Folder + "plain-file\\result"},
      {"a drive that does not exist", "Q:\\nowhere\\result"},
  };
  WriteFileBytes(Base + ".dxf", "the last run's export");
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TScriptedCommandLine cad;
    bool looked = false;
    cad.OnActivate = [&] { looked = true; };
    TRecordingDialog dialog;
    dialog.FileName = c.fileName;
    EXPECT_EQ(RunExport(dialog, cad, Base, Timing), TExportRunEnd::ReportNotCreated);
    // Neither the dialog nor the CAD program has moved, no file was touched.
    EXPECT_EQ(dialog.Events, std::vector<std::string>{"message " + kCannotCreateMessage});
    EXPECT_FALSE(looked);
    EXPECT_TRUE(cad.Typed.empty());
    EXPECT_EQ(ReadFileBytes(Base + ".dxf"), "the last run's export");
    EXPECT_FALSE(ExportRunActive());
  }
  DeleteFileA((Folder + "plain-file").c_str());
}

TEST_F(ExportRunTest, ClosingTheDialogDuringTheSelectionCancelsIt) {
  Cad.SelectionLines = {kSelectObjects};
  Dialog.CloseAfterPumps = 3;
  EXPECT_EQ(Run(), TExportRunEnd::SelectionAbandoned);
  EXPECT_EQ(Cad.Typed, (std::vector<std::wstring>{kSelectText1, kSelectText2, L"\x0003"}));
  EXPECT_EQ(Cad.SelectionReads, 3);
}

TEST_F(ExportRunTest, WritesTheReportAndPaintsTheNotice) {
  Cad.DxfToWrite = kTwoLinesDxf;
  WriteFileBytes(CsvPath, kOldCsv);
  EXPECT_EQ(Run(), TExportRunEnd::Reported);
  EXPECT_EQ(ReadFileBytes(CsvPath), kTwoLinesCsv);
  // The check that the list can be created leaves nothing behind.
  EXPECT_EQ(FilesIn(Folder), (std::vector<std::string>{"061231235959.dxf", "result.csv"}));
  ASSERT_EQ(Cad.Notices.size(), 1u);
  EXPECT_EQ(Cad.Notices[0].first, Cad.Pane);
  EXPECT_EQ(Cad.Notices[0].second,
            "\x8f\x57\x8c\x76\x8c\x8b\x89\xca\x82\xf0" + CsvPath +
                "\x82\xd6\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd");  // 集計結果を…へ保存しました
}

TEST_F(ExportRunTest, AnExportOfNothingWritesNoListAndSaysNothingWasSelected) {
  Cad.DxfToWrite = kNoEntityDxf;
  for (const bool oldList : {true, false}) {
    SCOPED_TRACE(oldList ? "an old list" : "no list before");
    Dialog.Events.clear();
    Cad.Typed.clear();
    if (oldList)
      WriteFileBytes(CsvPath, kOldCsv);
    else
      DeleteFileA(CsvPath.c_str());
    EXPECT_EQ(Run(), TExportRunEnd::NothingSelected);
    // The conversation as always; the dialog is back before the message.
    EXPECT_EQ(Cad.Typed,
              (std::vector<std::wstring>{kSelectText1, kSelectText2, L"FILEDIA 0 ", ExportCommand(), L"FILEDIA 1 "}));
    // 図形が選択されていません。
    EXPECT_EQ(Dialog.Events,
              (std::vector<std::string>{
                  "minimize", "restore",
                  "message \x90\x7d\x8c\x60\x82\xaa\x91\x49\x91\xf0\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc"
                  "\x82\xb9\x82\xf1\x81\x42"}));
    if (oldList)
      EXPECT_EQ(ReadFileBytes(CsvPath), kOldCsv);
    else
      EXPECT_FALSE(Exists(CsvPath));
    // Nothing left beside them.
    EXPECT_EQ(FilesIn(Folder), oldList ? (std::vector<std::string>{"061231235959.dxf", "result.csv"})
                                       : std::vector<std::string>{"061231235959.dxf"});
    EXPECT_TRUE(Cad.Notices.empty());
    EXPECT_FALSE(ExportRunActive());
  }
}

// The plain list measures a polyline's arcs by their chords and leaves the
// closing edge of a closed one out; the run says so after the notice, and
// then hands what it listed to the dialog.
TEST_F(ExportRunTest, PolylinesMeasuredShortAreToldAfterTheNotice) {
  struct TCase {
    const char* name;
    const char* dxf;
    bool exact;
    std::vector<std::string> told;  // after "minimize", "restore" and the notice
    std::int64_t rows;
  };
  const TCase cases[] = {
      {"plain, a rounded closed polyline",
       kRoundedPolylineDxf,
       false,
       {"short measures 1 1", "result plain " + CsvPath},
       2},
      {"exact lengths measure it as drawn", kRoundedPolylineDxf, true, {"result exact " + CsvPath}, 2},
      {"plain, lines only", kTwoLinesDxf, false, {"result plain " + CsvPath}, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TScriptedCommandLine cad;
    cad.DxfToWrite = c.dxf;
    TRecordingDialog dialog;
    dialog.FileName = Dialog.FileName;
    dialog.Options.Exact = c.exact;
    cad.OnEvent = [&](const char* what) {
      if (std::string(what) == "notice") dialog.Events.push_back("notice");
    };
    EXPECT_EQ(RunExport(dialog, cad, Base, Timing), TExportRunEnd::Reported);
    std::vector<std::string> expected = {"minimize", "restore", "notice"};
    expected.insert(expected.end(), c.told.begin(), c.told.end());
    EXPECT_EQ(dialog.Events, expected);
    ASSERT_EQ(dialog.Results.size(), 1u);
    ASSERT_EQ(dialog.Results[0].Drawings.size(), 1u);
    EXPECT_EQ(dialog.Results[0].Drawings[0].Rows, c.rows);
    // The list is the plain one's, unchanged: the half circle by its chord
    // and no closing edge; with exact lengths pi + 2 + the closing edge.
    if (c.dxf == kRoundedPolylineDxf) {
      EXPECT_EQ(ReadFileBytes(CsvPath), std::string("A,     5.000,1,\x90\xfc,,,\r\nA,") +
                                            (c.exact ? "     7.970" : "     4.000") +
                                            ",1,\x91\xbd\x8a\x70\x90\xfc,,,\r\n");
    }
    EXPECT_EQ(cad.Typed.size(), 5u);
  }
}

TEST_F(ExportRunTest, NoNoticeWithoutAnInputPane) {
  Cad.DxfToWrite = kTwoLinesDxf;
  Cad.Pane = nullptr;
  EXPECT_EQ(Run(), TExportRunEnd::Reported);
  EXPECT_EQ(ReadFileBytes(CsvPath), kTwoLinesCsv);
  EXPECT_TRUE(Cad.Notices.empty());
}

TEST_F(ExportRunTest, SecondRunDeletesTheSameDxfFileFirstAndKeepsTheFirstList) {
  Cad.DxfToWrite = kTwoLinesDxf;
  ASSERT_EQ(Run(), TExportRunEnd::Reported);
  ASSERT_TRUE(Exists(Base + ".dxf"));
  bool dxfGoneBeforeTyping = false;
  Cad.OnActivate = [&] { dxfGoneBeforeTyping = !Exists(Base + ".dxf"); };
  Cad.DxfToWrite.clear();  // this time the CAD program writes nothing
  Cad.Typed.clear();
  EXPECT_EQ(Run(), TExportRunEnd::NoDxf);
  EXPECT_TRUE(dxfGoneBeforeTyping);
  EXPECT_EQ(Cad.Typed[3], ExportCommand());
  EXPECT_EQ(ReadFileBytes(CsvPath), kTwoLinesCsv);
  EXPECT_EQ(Cad.Notices.size(), 1u);  // the first run's only
}

TEST_F(ExportRunTest, StaleCsvThatCannotBeReplacedIsNotAnnounced) {
  Cad.DxfToWrite = kTwoLinesDxf;
  WriteFileBytes(CsvPath, "stale");
  // Held open without sharing: it can be neither deleted nor created anew.
  HANDLE held = CreateFileA(CsvPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const TExportRunEnd end = Run();
  CloseHandle(held);
  EXPECT_EQ(end, TExportRunEnd::ReportNotCreated);
  EXPECT_TRUE(Cad.Notices.empty());
  ASSERT_EQ(Dialog.Events.size(), 3u);
  // ファイルを作成できません
  EXPECT_EQ(Dialog.Events[2],
            "message \x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1");
  EXPECT_EQ(ReadFileBytes(CsvPath), "stale");
}

TEST_F(ExportRunTest, ReaderErrorLeavesTheRunAfterTheDialogIsRestored) {
  Cad.DxfToWrite = "0\r\nSECTION\r\n2\r\nENTITIES\r\nX\r\nLINE\r\n";
  try {
    Run();
    FAIL() << "the reader's error did not reach the caller";
  } catch (const std::exception& e) {
    // 'X' は整数ではありません
    EXPECT_EQ(std::string(e.what()),
              "'X' \x82\xcd\x90\xae\x90\x94\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1");
  }
  EXPECT_EQ(Dialog.Events.back(), "restore");
  EXPECT_TRUE(Cad.Notices.empty());
  EXPECT_FALSE(ExportRunActive());
}

TEST_F(ExportRunTest, EachPollSleepsThenServicesTheQueueThenReads) {
  std::vector<std::string> log;
  LARGE_INTEGER frequency{}, lastEvent{};
  QueryPerformanceFrequency(&frequency);
  std::vector<double> sleeps;  // ms from the send or read before each pump
  Cad.OnEvent = [&](const char* what) {
    log.push_back(what);
    QueryPerformanceCounter(&lastEvent);
  };
  Dialog.OnPump = [&] {
    log.push_back("pump");
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    sleeps.push_back(1000.0 * static_cast<double>(now.QuadPart - lastEvent.QuadPart) / frequency.QuadPart);
  };
  Cad.SelectionLines = {kSelectObjects, kPrompt};
  Cad.ExportLines = {kAskName, kPrompt};
  Timing = TExportRunTiming{};  // the program's own timing
  Run();
  EXPECT_EQ(log, (std::vector<std::string>{"send", "send", "pump", "read", "pump", "read", "send", "send", "pump",
                                           "read", "pump", "read", "send"}));
  ASSERT_EQ(sleeps.size(), 4u);
  for (double ms : sleeps) EXPECT_GE(ms, 199.0);  // the 200 ms sleep
}

TEST_F(ExportRunTest, TheIdlePromptOfBeforeTheTextDoesNotEndAWait) {
  // A command line that takes typed text through its message queue shows
  // the old prompt at the first polls.
  Cad.SelectionLines = {kPrompt, kPrompt, kSelectObjects, kSelectObjects, kPrompt};
  Cad.ExportLines = {kPrompt, kAskName, kPrompt};
  EXPECT_EQ(Run(), TExportRunEnd::NoDxf);
  EXPECT_EQ(Cad.SelectionReads, 5);
  EXPECT_EQ(Cad.ExportReads, 3);
  EXPECT_EQ(Cad.Typed,
            (std::vector<std::wstring>{kSelectText1, kSelectText2, L"FILEDIA 0 ", ExportCommand(), L"FILEDIA 1 "}));
}

TEST_F(ExportRunTest, ALineThatNeverLeavesTheIdlePromptEndsTheWaitAfterTheBoundOrOnceTheDxfFileIsThere) {
  struct TCase {
    const char* name;
    const char* dxf;
    int exportReads;
    TExportRunEnd end;
  };
  const TCase cases[] = {
      {"nothing to show for the export command", "", 4, TExportRunEnd::NoDxf},
      {"an export too quick to be seen", kTwoLinesDxf, 1, TExportRunEnd::Reported},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileA(CsvPath.c_str());
    TScriptedCommandLine cad;  // the idle prompt at every read
    cad.DxfToWrite = c.dxf;
    Timing.MaxLeavePolls = 4;
    EXPECT_EQ(RunExport(Dialog, cad, Base, Timing), c.end);
    EXPECT_EQ(cad.SelectionReads, 4);
    EXPECT_EQ(cad.ExportReads, c.exportReads);
    EXPECT_EQ(cad.Typed.back(), L"FILEDIA 1 ");
    EXPECT_EQ(cad.Typed.size(), 5u);
  }
}

TEST_F(ExportRunTest, AnExportWaitEndingElsewhereThanAtThePromptCancelsBeforeFiledia) {
  struct TCase {
    const char* name;
    std::vector<std::string> lines;
  };
  const TCase cases[] = {
      {"bound", {kAskName}},
      {"empty line", {kAskName, ""}},
      {"question left pending", {kAskReplace + "[Y/N] <N>: Y", ""}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TScriptedCommandLine cad;
    cad.SelectionLines = {kSelectObjects, kPrompt};
    cad.ExportLines = c.lines;
    Timing.MaxExportPolls = 5;
    RunExport(Dialog, cad, Base, Timing);
    ASSERT_GE(cad.Typed.size(), 6u);
    EXPECT_EQ(cad.Typed[cad.Typed.size() - 2], L"\x0003\x0003");
    EXPECT_EQ(cad.Typed.back(), L"FILEDIA 1 ");
  }
}

TEST_F(ExportRunTest, ClosingTheDialogDuringTheExportWaitLetsItEndAndTheReportIsWritten) {
  Cad.SelectionLines = {kSelectObjects, kPrompt};
  Cad.ExportLines = {kAskName, kAskName, kAskName, kPrompt};
  Cad.DxfToWrite = kTwoLinesDxf;
  Dialog.CloseAfterPumps = 3;  // at the first poll of the export wait
  EXPECT_EQ(Run(), TExportRunEnd::Reported);
  EXPECT_EQ(Cad.ExportReads, 4);
  EXPECT_EQ(Cad.Typed,
            (std::vector<std::wstring>{kSelectText1, kSelectText2, L"FILEDIA 0 ", ExportCommand(), L"FILEDIA 1 "}));
  EXPECT_EQ(ReadFileBytes(CsvPath), kTwoLinesCsv);
  EXPECT_EQ(Cad.Notices.size(), 1u);
}

TEST_F(ExportRunTest, ALeftOverDxfFileThatTheCadProgramCouldNotReplaceIsNotReported) {
  WriteFileBytes(Base + ".dxf", kTwoLinesDxf);  // the last run's selection
  // Held open by a viewer: it can be neither deleted nor written.
  HANDLE held = CreateFileA((Base + ".dxf").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Cad.SelectionLines = {kSelectObjects, kPrompt};
  Cad.ExportLines = {kAskReplace, kPrompt};  // answered Y, the overwrite fails
  Cad.DxfToWrite = "0\r\nEOF\r\n";
  const TExportRunEnd end = Run();
  CloseHandle(held);
  EXPECT_EQ(ReadFileBytes(Base + ".dxf"), kTwoLinesDxf);
  EXPECT_EQ(end, TExportRunEnd::StaleDxf);
  EXPECT_FALSE(Exists(CsvPath));
  EXPECT_TRUE(Cad.Notices.empty());
}

TEST_F(ExportRunTest, AfterAnExportWaitThatRanOutTheDxfFileIsTakenOnlyOnceItsSizeHoldsStill) {
  struct TCase {
    const char* name;
    bool grows;
    TExportRunEnd end;
  };
  const TCase cases[] = {
      {"written, then quiet", false, TExportRunEnd::Reported},
      {"still growing", true, TExportRunEnd::StaleDxf},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileA(CsvPath.c_str());
    TScriptedCommandLine cad;
    cad.SelectionLines = {kSelectObjects, kPrompt};
    cad.ExportLines = {kAskName};  // never back at the prompt
    cad.DxfToWrite = kTwoLinesDxf;
    TRecordingDialog dialog;
    dialog.FileName = Dialog.FileName;
    std::string written = kTwoLinesDxf;
    dialog.OnPump = [&] {
      if (c.grows && Exists(Base + ".dxf")) WriteFileBytes(Base + ".dxf", written += "999\r\nx\r\n");
    };
    Timing.MaxExportPolls = 3;
    Timing.MaxSettlePolls = 4;
    EXPECT_EQ(RunExport(dialog, cad, Base, Timing), c.end);
    EXPECT_EQ(Exists(CsvPath), !c.grows);
    EXPECT_EQ(cad.Notices.size(), c.grows ? 0u : 1u);
  }
}

TEST_F(ExportRunTest, ACadProgramThatDoesNotAnswerEndsTheRunWithAMessage) {
  Cad.SelectionLines = {kSelectObjects, kPrompt};
  Cad.NotAnsweringAtSend = 3;  // the export command
  Cad.DxfToWrite = kTwoLinesDxf;
  EXPECT_EQ(Run(), TExportRunEnd::AcadNotAnswering);
  EXPECT_EQ(Cad.Typed, (std::vector<std::wstring>{kSelectText1, kSelectText2, L"FILEDIA 0 "}));
  // CAD が応答しません。
  EXPECT_EQ(Dialog.Events, (std::vector<std::string>{"minimize", "restore",
                                                     "message CAD \x82\xaa\x89\x9e\x93\x9a\x82\xb5\x82\xdc\x82\xb9"
                                                     "\x82\xf1\x81\x42"}));
  EXPECT_FALSE(Exists(CsvPath));
  EXPECT_TRUE(Cad.Notices.empty());
  EXPECT_FALSE(ExportRunActive());
}

TEST_F(ExportRunTest, TheNoticeWaitsUntilALaggingCommandLineHasTakenUpTheLastText) {
  // A line that kept the old prompt for k polls after a text takes
  // "FILEDIA 1 " up as late and repaints then: the notice comes after at
  // least 2k + 1 more polls and the idle prompt, within the bound.
  struct TCase {
    const char* name;
    std::vector<std::string> selection;
    std::vector<std::string> after;  // the line once "FILEDIA 1 " was typed
    int reads;                       // between "FILEDIA 1 " and the notice
  };
  const TCase cases[] = {
      {"no lag seen: at once", {kSelectObjects, kPrompt}, {kPrompt}, 0},
      {"two polls late", {kPrompt, kPrompt, kSelectObjects, kPrompt}, {kPrompt}, 5},
      {"one poll late, the FILEDIA prompt still showing",
       {kPrompt, kSelectObjects, kPrompt},
       {kAskFiledia, kAskFiledia, kAskFiledia, kAskFiledia, kPrompt},
       5},
      {"never back at the idle prompt", {kPrompt, kSelectObjects, kPrompt}, {kAskFiledia}, 8},
  };
  Timing.MaxLeavePolls = 8;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TScriptedCommandLine cad;
    cad.SelectionLines = c.selection;
    cad.ExportLines = {kAskName, kPrompt};
    cad.AfterLines = c.after;
    cad.DxfToWrite = kTwoLinesDxf;
    std::vector<std::string> log;
    cad.OnEvent = [&](const char* what) { log.push_back(what); };
    EXPECT_EQ(RunExport(Dialog, cad, Base, Timing), TExportRunEnd::Reported);
    EXPECT_EQ(ReadFileBytes(CsvPath), kTwoLinesCsv);
    std::vector<std::string> expected(static_cast<size_t>(c.reads), "read");
    expected.push_back("notice");
    const auto lastSend = std::find(log.rbegin(), log.rend(), "send").base();
    EXPECT_EQ(std::vector<std::string>(lastSend, log.end()), expected);
    EXPECT_EQ(cad.Typed.size(), 5u);  // the wait types nothing
    EXPECT_EQ(cad.Typed.back(), L"FILEDIA 1 ");
  }
}

}  // namespace
