// orveline.exe as the user meets it: started as a program of its own beside
// the stand-in CAD program, driven only through its windows.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "acadlink/test_windows.h"
#include "acadlink/window_discovery.h"
#include "app/dialog_driver.h"
#include "app/dialog_program.h"
#include "app/notice_probe.h"
#include "win32/win_handles.h"

namespace {

std::string SourceDir;  // the repository, as a Windows path ending in "\"

const char* const kSelection = "1,2,3,6,7,8,11,12,14,20,21,22,26,27,32,36,41,42,45,50,51,57,60,63,74";
const char* const kNoFileNameMessage =
    "\x95\xdb\x91\xb6\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc\x82\xaa\x8e\x77"
    "\x92\xe8\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1";  // 保存ファイル名が指定されていません

const char* const ShowResultsKey = "\x8c\x8b\x89\xca\x82\xf0\x95\x5c\x8e\xa6";  // 結果を表示

class DialogProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Folder = MakeTempFolder();
    Settings = WorkFolder() + "attr.Ini";
    DeleteFileA(Settings.c_str());
    DeleteFileA((WorkFolder() + "other.Ini").c_str());
  }
  void TearDown() override {
    DeleteFileA(Settings.c_str());
    DeleteFileA((WorkFolder() + "other.Ini").c_str());
  }
  static std::string StoredName(const std::string& Ini) {
    char value[1024] = {};
    GetPrivateProfileStringA("\x8f\x89\x8a\xfa\x89\xbb", "\x95\xdb\x91\xb6\x96\xbc", "<none>", value, sizeof value,
                             Ini.c_str());  // 初期化, 保存名
    return value;
  }

  std::string Folder;
  std::string Settings;
};

TEST_F(DialogProgramTest, RemembersTheFileNameBetweenStarts) {
  const std::string name = "D:\\\x8c\x8b\x89\xca\\result.csv";  // D:\結果\result.csv
  {
    TDialogProgram program(Folder, "attr.exe");
    EXPECT_EQ(program->FileName(), "");
    EXPECT_EQ(ReadWindowText(program->Form), "Orveline");
    program->Type(name);
    program->ClickClose();
    ASSERT_TRUE(program.Ended());
  }
  EXPECT_EQ(StoredName(Settings), name);
  {
    // Another name for the program is another settings file.
    TDialogProgram other(Folder, "other.exe");
    EXPECT_EQ(other->FileName(), "");
    other->ClickClose();
    ASSERT_TRUE(other.Ended());
  }
  {
    TDialogProgram program(Folder, "attr.exe");
    EXPECT_EQ(program->FileName(), name);
    program->Type("");
    PostMessageA(program->Form, WM_CLOSE, 0, 0);  // the title bar's close box
    ASSERT_TRUE(program.Ended());
  }
  EXPECT_EQ(StoredName(Settings), "");
  TDialogProgram program(Folder, "attr.exe");
  EXPECT_EQ(program->FileName(), "");
}

TEST_F(DialogProgramTest, EmptyFileNameIsRefusedWithAMessage) {
  TDialogProgram program(Folder, "attr.exe");
  program->ClickRun();
  ASSERT_TRUE(WaitFor([&] { return !program->MessageBoxText().empty(); }));
  EXPECT_EQ(program->MessageBoxText(), kNoFileNameMessage);
  EXPECT_FALSE(program->Minimized());
  program->DismissMessageBox();
  ASSERT_TRUE(WaitFor([&] { return program->MessageBoxText().empty(); }));
  program->ClickClose();
  EXPECT_TRUE(program.Ended());
}

TEST_F(DialogProgramTest, ASecondStartBringsTheFirstDialogForwardAndEnds) {
  TDialogProgram first(Folder, "attr.exe");
  first->Type("kept.csv");
  ShowWindow(first->Form, SW_MINIMIZE);
  ASSERT_TRUE(WaitFor([&] { return first->Minimized(); }));
  // Another window has the foreground meanwhile.
  TTestWindow other = TTestWindow::TopLevel("other", "OrvelineTestOther", true, true);
  SetForegroundWindow(other.Get());
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == other.Get(); }));

  TDialogProgram second(Folder, "attr.exe", false);
  ASSERT_TRUE(second.Ended());
  EXPECT_EQ(second.ExitCode(), 0u);
  EXPECT_TRUE(WaitFor([&] { return !first->Minimized() && GetForegroundWindow() == first->Form; }))
      << "minimized " << first->Minimized() << ", foreground " << GetForegroundWindow() << ", dialog " << first->Form;
  // The one dialog, with what the user had typed.
  EXPECT_EQ(VisibleTopLevelWindows(0, "TKirusaF"), std::vector<HWND>{first->Form});
  EXPECT_EQ(first->FileName(), "kept.csv");
  first->ClickClose();
  EXPECT_TRUE(first.Ended());
  // Once the first has closed, a start opens its dialog again.
  TDialogProgram third(Folder, "attr.exe");
  EXPECT_EQ(third->FileName(), "kept.csv");
}

// A run that cannot get a list says why once the dialog is back, and the
// list of an earlier run stays as it was.
TEST_F(DialogProgramTest, ARunWithoutAListSaysWhyAndKeepsTheOldList) {
  struct TCase {
    const char* name;
    std::vector<std::string> standin;  // empty: no CAD program running
    std::string message;
  };
  const TCase cases[] = {
      {"no CAD program",
       {},
       // CAD プログラムが見つかりません。図面を開いてから実行してください。
       "CAD \x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1"
       "\x81\x42\x90\x7d\x96\xca\x82\xf0\x8a\x4a\x82\xa2\x82\xc4\x82\xa9\x82\xe7\x8e\xc0\x8d\x73\x82\xb5\x82\xc4"
       "\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42"},
      {"the CAD program closes during the selection",
       {"--close-during-select", "--drawing", SourceDir + "samples\\sample.dxf"},
       // CAD プログラムが終了しました。
       "CAD \x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80\x82\xaa\x8f\x49\x97\xb9\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42"},
      {"the user selects nothing",
       {"--pick", "none", "--drawing", SourceDir + "samples\\sample.dxf"},
       // 図形が選択されていません。
       "\x90\x7d\x8c\x60\x82\xaa\x91\x49\x91\xf0\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1\x81\x42"},
  };
  const std::string csv = Folder + "list.csv";
  const std::string old = ReadFileBytes(SourceDir + "testdata\\sample_selection.csv");
  ASSERT_FALSE(old.empty());
  // Each case in a function of its own, so that one that fails does not
  // stop the next.
  auto check = [&](const TCase& c) {
    WriteFileBytes(csv, old);
    std::unique_ptr<TPeerProcess> standin;
    if (!c.standin.empty()) standin = std::make_unique<TPeerProcess>(TPeerProcess::Standin(c.standin, Folder));
    TDialogProgram program(Folder, "attr.exe");
    program->Type(Folder + "list");
    program->ClickRun();
    ASSERT_TRUE(WaitFor([&] { return !program->MessageBoxText().empty(); }, 30000));
    EXPECT_EQ(program->MessageBoxText(), c.message);
    EXPECT_EQ(ReadWindowText(VisibleTopLevelWindows(program.Info.dwProcessId, "#32770").at(0)), "Orveline");
    EXPECT_FALSE(program->Minimized());
    EXPECT_EQ(ReadFileBytes(csv), old);
    program->DismissMessageBox();
    ASSERT_TRUE(WaitFor([&] { return program->MessageBoxText().empty(); }));
    EXPECT_EQ(ReadFileBytes(csv), old);
    program->ClickClose();
    EXPECT_TRUE(program.Ended());
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    check(c);
  }
}

TEST_F(DialogProgramTest, ACsvFolderThatDoesNotExistIsRefusedBeforeTheCadProgramIsTypedTo) {
  const std::string transcript = Folder + "transcript.txt";
  TPeerProcess standin =
      TPeerProcess::Standin({"--drawing", SourceDir + "samples\\sample.dxf", "--transcript", transcript}, Folder);
  auto typedTexts = [&] {
    std::vector<std::string> texts;
    for (const std::string& line : ReadLines(transcript))
      if (line.rfind("TEXT ", 0) == 0) texts.push_back(line);
    return texts;
  };
  TDialogProgram program(Folder, "attr.exe");
  program->Type(Folder + "missing\\list.csv");
  program->ClickRun();
  ASSERT_TRUE(WaitFor([&] { return !program->MessageBoxText().empty(); }, 60000));
  // ファイルを作成できません, at once: the dialog never stepped aside.
  EXPECT_EQ(program->MessageBoxText(),
            "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1");
  EXPECT_FALSE(program->Minimized());
  EXPECT_EQ(typedTexts(), std::vector<std::string>{});
  program->DismissMessageBox();
  ASSERT_TRUE(WaitFor([&] { return program->MessageBoxText().empty(); }));
  // Nothing follows: the run has ended.
  Sleep(1000);
  EXPECT_EQ(typedTexts(), std::vector<std::string>{});
  EXPECT_EQ(program->MessageBoxText(), "");
  EXPECT_FALSE(FileExists(Folder + "missing"));
  program->ClickClose();
  EXPECT_TRUE(program.Ended());
}

TEST_F(DialogProgramTest, LayoutAtNinetySixPixelsPerInch) {
  TDialogProgram program(Folder, "attr.exe");
  RECT client{};
  GetClientRect(program->Form, &client);
  EXPECT_EQ(client.right, 219);
  EXPECT_EQ(client.bottom, 131);
  const LONG style = GetWindowLongA(program->Form, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_TRUE(GetWindowLongA(program->Form, GWL_EXSTYLE) & WS_EX_TOPMOST);

  struct TPlace {
    const char* Name;
    HWND Window;
    RECT Expected;  // left, top, right, bottom in the client area
  };
  const TPlace places[] = {
      {"plButton1", program->RunButton, {136, 96, 136 + 75, 96 + 26}},
      {"plButton2", program->CloseButton, {16, 96, 16 + 75, 96 + 26}},
      {"Edit1", program->Edit1, {8, 64, 8 + 201, 64 + 20}},
      {"Button1", program->Button1, {160, 48, 160 + 51, 48 + 17}},
  };
  for (const TPlace& place : places) {
    SCOPED_TRACE(place.Name);
    RECT r{};
    GetWindowRect(place.Window, &r);
    MapWindowPoints(nullptr, program->Form, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, place.Expected.left);
    EXPECT_EQ(r.top, place.Expected.top);
    EXPECT_EQ(r.right, place.Expected.right);
    EXPECT_EQ(r.bottom, place.Expected.bottom);
  }
  EXPECT_EQ(ReadWindowText(program->Button1), "\x8e\x51\x8f\xc6");  // 参照
}

TEST_F(DialogProgramTest, UnwritableSettingsKeepTheDialogOpen) {
  TDialogProgram program(Folder, "attr.exe");
  program->Type("kept.csv");
  CreateDirectoryA(Settings.c_str(), nullptr);  // a folder where the file should be
  program->ClickClose();
  const bool shown = WaitFor([&] { return !program->MessageBoxText().empty(); });
  RemoveDirectoryA(Settings.c_str());
  ASSERT_TRUE(shown);
  // <settings path> に書き込めません
  EXPECT_EQ(program->MessageBoxText(), Settings + " \x82\xc9\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1");
  program->DismissMessageBox();
  EXPECT_FALSE(program.Ended(1000));
  EXPECT_EQ(program->FileName(), "kept.csv");  // nothing the user typed is lost
  program->ClickClose();
  ASSERT_TRUE(program.Ended());
  EXPECT_EQ(StoredName(Settings), "kept.csv");
}

TEST_F(DialogProgramTest, CancelledSaveDialogKeepsTheName) {
  TDialogProgram program(Folder, "attr.exe");
  program->Type("before.csv");
  PostMessageA(program->Button1, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !VisibleTopLevelWindows(program->ProcessId, "#32770").empty(); }));
  for (HWND box : VisibleTopLevelWindows(program->ProcessId, "#32770")) PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitFor([&] { return VisibleTopLevelWindows(program->ProcessId, "#32770").empty(); }));
  EXPECT_EQ(program->FileName(), "before.csv");
}

TEST_F(DialogProgramTest, BannerMoves) {
  TDialogProgram program(Folder, "attr.exe");
  // Two pictures of the banner's box a moment apart differ.
  auto banner = [&] {
    POINT origin{8, 8};
    ClientToScreen(program->Form, &origin);
    TWindowDc screen(nullptr);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 35; y += 2)
      for (int x = 0; x < 201; x += 2) pixels.push_back(GetPixel(screen.Get(), origin.x + x, origin.y + y));
    return pixels;
  };
  const std::vector<COLORREF> first = banner();
  EXPECT_TRUE(WaitFor([&] { return banner() != first; }, 3000));
}

TEST_F(DialogProgramTest, ClosingDuringTheSelectionCancelsItAndEndsTheProgram) {
  const std::string transcript = Folder + "transcript.txt";
  TPeerProcess standin = TPeerProcess::Standin(
      {"--pick-delay", "60000", "--drawing", SourceDir + "samples\\sample.dxf", "--transcript", transcript}, Folder);
  TDialogProgram program(Folder, "attr.exe");
  program->Type(Folder + "never.csv");
  program->ClickRun();
  ASSERT_TRUE(WaitFor([&] { return program->Minimized(); }));
  // Closed while the stand-in asks for objects.
  const std::string askingForObjects =
      "PROMPT \x83\x49\x83\x75\x83\x57\x83\x46\x83\x4e\x83\x67\x82\xf0\x91\x49\x91\xf0: ";  // オブジェクトを選択:
  ASSERT_TRUE(WaitFor([&] {
    const std::vector<std::string> lines = ReadLines(transcript);
    return std::find(lines.begin(), lines.end(), askingForObjects) != lines.end();
  }));
  PostMessageA(program->Form, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.Ended());
  EXPECT_EQ(StoredName(Settings), Folder + "never.csv");
  std::vector<std::string> texts;
  for (const std::string& line : ReadLines(transcript))
    if (line.rfind("TEXT U ", 0) == 0) texts.push_back(line);
  EXPECT_EQ(texts, (std::vector<std::string>{"TEXT U 28 <03>SELECT P<0D>U<0D><0D>", "TEXT U 18 <03>SELECT ",
                                             "TEXT U 4 <03>"}));
  EXPECT_FALSE(FileExists(Folder + "never.csv"));
}

TEST_F(DialogProgramTest, ReaderErrorIsShownCaptionedOrvelineAndTheOldListStays) {
  TPeerProcess standin = TPeerProcess::Standin({"--drawing", SourceDir + "testdata\\bad_number.dxf"}, Folder);
  TDialogProgram program(Folder, "attr.exe");
  const std::string csv = Folder + "bad.csv";
  const std::string old = ReadFileBytes(SourceDir + "testdata\\sample_selection.csv");
  ASSERT_FALSE(old.empty());
  // Without a list before, none after; an old list stays byte for byte.
  for (const bool before : {false, true}) {
    SCOPED_TRACE(before ? "an old list" : "no list before");
    if (before) WriteFileBytes(csv, old);
    program->Type(csv);
    program->ClickRun();
    ASSERT_TRUE(WaitFor([&] { return !program->MessageBoxText().empty(); }));
    // 'abc' は浮動小数点数ではありません
    EXPECT_EQ(program->MessageBoxText(),
              "'abc' "
              "\x82\xcd\x95\x82\x93\xae\x8f\xac\x90\x94\x93\x5f\x90\x94\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc"
              "\x82\xb9\x82\xf1");
    EXPECT_EQ(ReadWindowText(VisibleTopLevelWindows(program.Info.dwProcessId, "#32770").at(0)), "Orveline");
    EXPECT_FALSE(program->Minimized());
    if (before)
      EXPECT_EQ(ReadFileBytes(csv), old);
    else
      EXPECT_FALSE(FileExists(csv));
    program->DismissMessageBox();
    EXPECT_TRUE(WaitFor([&] { return program->MessageBoxText().empty(); }));
    EXPECT_EQ(ReadNoticePixels(FindCommandInputPane()).LightRed, 0);
  }
}

TEST_F(DialogProgramTest, RunWritesTheQuantityListAndEachStartHasItsOwnDxfFile) {
  SilenceShortMeasures(Settings);
  const std::string transcript = Folder + "transcript.txt";
  TPeerProcess standin = TPeerProcess::Standin(
      {"--pick", kSelection, "--drawing", SourceDir + "samples\\sample.dxf", "--transcript", transcript}, Folder);

  std::vector<std::string> dxfCommands;
  for (int start = 0; start < 2; ++start) {
    if (start == 1) Sleep(1100);  // the work file's name has the start's second in it
    TDialogProgram program(Folder, "attr.exe");
    const std::string csv = Folder + "list" + std::to_string(start) + ".csv";
    program->Type(Folder + "list" + std::to_string(start));
    program->ClickRun();
    ASSERT_TRUE(WaitFor([&] { return FileExists(csv) && !program->Minimized(); }, 60000));
    EXPECT_TRUE(
        WaitFor([&] { return ReadFileBytes(csv) == ReadFileBytes(SourceDir + "testdata\\sample_selection.csv"); }));
    // The notice on the stand-in's command line.
    EXPECT_TRUE(WaitFor([&] { return ReadNoticePixels(FindCommandInputPane()).LightRed > 200; }));
    program->ClickClose();
    EXPECT_TRUE(program.Ended());
  }
  for (const std::string& line : ReadLines(transcript))
    if (line.rfind("TEXT U ", 0) == 0 && line.find("DXFOUT") != std::string::npos)
      dxfCommands.push_back(line.substr(line.find("DXFOUT")));
  ASSERT_EQ(dxfCommands.size(), 2u);
  for (const std::string& command : dxfCommands) {
    // DXFOUT "<work folder>yymmddhhnnss.dxf"...
    const std::string prefix = "DXFOUT \"" + WorkFolder();
    ASSERT_EQ(command.rfind(prefix, 0), 0u) << command;
    const std::string stamp = command.substr(prefix.size(), 12);
    EXPECT_EQ(stamp.find_first_not_of("0123456789"), std::string::npos) << command;
    EXPECT_EQ(command.substr(prefix.size() + 12, 5), ".dxf\"");
  }
  EXPECT_NE(dxfCommands[0], dxfCommands[1]);
}

const char* const ExactKey = "\x90\xb3\x8a\x6d\x82\xc8\x92\xb7\x82\xb3";  // 正確な長さ
const char* const TotalsKey = "\x8d\x87\x8c\x76";                         // 合計
const char* const HeaderKey = "\x8c\xa9\x8f\x6f\x82\xb5";                 // 見出し

TEST_F(DialogProgramTest, SettingsWindowChangesTheNextListAndIsRemembered) {
  SilenceShortMeasures(Settings);
  {
    TDialogProgram program(Folder, "attr.exe");
    TSettingsWindow settings = OpenSettings(program);
    ASSERT_TRUE(settings.Window);
    EXPECT_EQ(ReadWindowText(settings.Window), "\x90\xdd\x92\xe8");  // 設定
    ASSERT_EQ(settings.CheckBoxes.size(), 5u);
    ASSERT_TRUE(settings.Ok && settings.Cancel);
    EXPECT_EQ(ReadWindowText(settings.CheckBoxes[1]),
              "\x8d\x87\x8c\x76\x82\xcc\x97\xf1\x82\xf0\x95\x74\x82\xaf\x82\xe9");
    for (HWND box : settings.CheckBoxes) EXPECT_FALSE(Checked(box));  // all off at first
    EXPECT_FALSE(IsWindowEnabled(program->Form));                     // modal
    PostMessageA(settings.CheckBoxes[1], BM_CLICK, 0, 0);             // 合計の列を付ける
    PostMessageA(settings.CheckBoxes[2], BM_CLICK, 0, 0);             // 見出し行を付ける
    ASSERT_TRUE(WaitFor([&] { return Checked(settings.CheckBoxes[2]); }));
    PostMessageA(settings.Ok, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings.Window); }));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(program->Form) != FALSE; }));
    // The keys are written once the window has gone; "UTF-8" is the last.
    EXPECT_TRUE(WaitFor([&] { return StoredSetting(Settings, "UTF-8") == "0"; }));
    EXPECT_EQ(StoredSetting(Settings, TotalsKey), "1");
    EXPECT_EQ(StoredSetting(Settings, HeaderKey), "1");
    EXPECT_EQ(StoredSetting(Settings, ExactKey), "0");
    EXPECT_EQ(StoredSetting(Settings, "UTF-8"), "0");
    program->ClickClose();
    ASSERT_TRUE(program.Ended());
  }

  TPeerProcess standin =
      TPeerProcess::Standin({"--pick", kSelection, "--drawing", SourceDir + "samples\\sample.dxf"}, Folder);
  // The plain list with a title row and a totals column: a row of one
  // entity totals its own length; the two arcs of 柱 (radius 900, 225
  // degrees) total 2250π.
  std::string expected =
      "\x89\xe6\x91\x77,\x92\xb7\x82\xb3,\x96\x7b\x90\x94,\x8e\xed\x97\xde,\x8f\x64\x95\xa1,\x90\x46,\x90\xfc\x8e\xed,"
      "\x8d\x87\x8c\x76\r\n";  // 画層,長さ,本数,種類,重複,色,線種,合計
  const std::string plain = ReadFileBytes(SourceDir + "testdata\\sample_selection.csv");
  for (std::size_t start = 0; start < plain.size();) {
    const std::size_t end = plain.find("\r\n", start);
    const std::string row = plain.substr(start, end - start);
    const std::size_t comma = row.find(',');
    const std::string length = row.substr(comma + 1, 10);
    expected += row + "," + (row.find(",2,") != std::string::npos ? std::string("  7068.583") : length) + "\r\n";
    start = end + 2;
  }
  {
    // After a restart the boxes show what was chosen; キャンセル keeps it.
    TDialogProgram program(Folder, "attr.exe");
    TSettingsWindow settings = OpenSettings(program);
    ASSERT_EQ(settings.CheckBoxes.size(), 5u);
    EXPECT_FALSE(Checked(settings.CheckBoxes[0]));
    EXPECT_TRUE(Checked(settings.CheckBoxes[1]));
    EXPECT_TRUE(Checked(settings.CheckBoxes[2]));
    EXPECT_FALSE(Checked(settings.CheckBoxes[3]));
    EXPECT_FALSE(Checked(settings.CheckBoxes[4]));
    PostMessageA(settings.CheckBoxes[3], BM_CLICK, 0, 0);
    PostMessageA(settings.Cancel, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings.Window); }));
    EXPECT_EQ(StoredSetting(Settings, "UTF-8"), "0");

    const std::string csv = Folder + "titled.csv";
    program->Type(csv);
    program->ClickRun();
    ASSERT_TRUE(WaitFor([&] { return FileExists(csv) && !program->Minimized(); }, 60000));
    EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(csv) == expected; })) << ReadFileBytes(csv);

    // UTF-8 for the next run: the same text, with a byte-order mark.
    settings = OpenSettings(program);
    ASSERT_EQ(settings.CheckBoxes.size(), 5u);
    PostMessageA(settings.CheckBoxes[3], BM_CLICK, 0, 0);
    PostMessageA(settings.Ok, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings.Window); }));
    EXPECT_TRUE(WaitFor([&] { return StoredSetting(Settings, "UTF-8") == "1"; }));
    const std::string utf8Csv = Folder + "utf8.csv";
    program->Type(utf8Csv);
    program->ClickRun();
    ASSERT_TRUE(WaitFor([&] { return FileExists(utf8Csv) && !program->Minimized(); }, 60000));
    const int wide = MultiByteToWideChar(932, 0, expected.data(), static_cast<int>(expected.size()), nullptr, 0);
    std::wstring utf16(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(932, 0, expected.data(), static_cast<int>(expected.size()), utf16.data(), wide);
    std::string utf8(static_cast<std::size_t>(wide) * 3, '\0');
    utf8.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, utf8.data(),
                                                             static_cast<int>(utf8.size()), nullptr, nullptr)));
    EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(utf8Csv) == "\xef\xbb\xbf" + utf8; }));
    program->ClickClose();
    EXPECT_TRUE(program.Ended());
  }
}

TEST_F(DialogProgramTest, ExactSettingMeasuresAsDrawn) {
  TPeerProcess standin = TPeerProcess::Standin(
      {"--pick", "0,1,2,3,4,5,6,7,8", "--drawing", SourceDir + "testdata\\worked_example.dxf"}, Folder);
  TDialogProgram program(Folder, "attr.exe");
  TSettingsWindow settings = OpenSettings(program);
  ASSERT_EQ(settings.CheckBoxes.size(), 5u);
  PostMessageA(settings.CheckBoxes[0], BM_CLICK, 0, 0);  // 正確な長さで集計する（…）
  PostMessageA(settings.Ok, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings.Window); }));
  EXPECT_TRUE(WaitFor([&] { return StoredSetting(Settings, "UTF-8") == "0"; }));
  EXPECT_EQ(StoredSetting(Settings, ExactKey), "1");
  const std::string csv = Folder + "exact.csv";
  program->Type(csv);
  program->ClickRun();
  ASSERT_TRUE(WaitFor([&] { return FileExists(csv) && !program->Minimized(); }, 60000));
  // The worked example's list, but the closed square polyline measures its
  // closing edge too: 4 sides of 1.
  std::string expected = ReadFileBytes(SourceDir + "testdata\\worked_example.csv");
  const std::string plainPoly = "0,     3.000,1,\x91\xbd\x8a\x70\x90\xfc,,,\r\n";  // 多角線
  ASSERT_NE(expected.find(plainPoly), std::string::npos);
  expected.replace(expected.find(plainPoly), plainPoly.size(), "0,     4.000,1,\x91\xbd\x8a\x70\x90\xfc,,,\r\n");
  EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(csv) == expected; })) << ReadFileBytes(csv);
  program->ClickClose();
  EXPECT_TRUE(program.Ended());
}

// testdata/block_selection.dxf: block PIPE (base (10,0)) holds a line from
// (10,0) to (40,0) on layer 0 with colour BYBLOCK and a circle of radius 5 at
// (10,0) on layer A, colour 1; block PAIR places PIPE at (0,0) and, scaled 2
// and turned 90 degrees, at (0,100), both on layer 0 with colour BYBLOCK.
// The user picks PIPE at (100,0) on W colour 3, PAIR at (0,200) on 壁 colour
// 5 and a line of W colour 3 from (100,0) to (130,0), not the second PIPE.
TEST_F(DialogProgramTest, ExactSettingMeasuresTheContentsOfPickedBlocks) {
  TPeerProcess standin =
      TPeerProcess::Standin({"--pick", "0,1,2", "--drawing", SourceDir + "testdata\\block_selection.dxf"}, Folder);
  TDialogProgram program(Folder, "attr.exe");
  TSettingsWindow settings = OpenSettings(program);
  ASSERT_FALSE(settings.CheckBoxes.empty());
  PostMessageA(settings.CheckBoxes[0], BM_CLICK, 0, 0);  // 正確な長さで集計する（…）
  PostMessageA(settings.Ok, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings.Window); }));
  EXPECT_TRUE(WaitFor([&] { return StoredSetting(Settings, ExactKey) == "1"; }));
  const std::string csv = Folder + "blocks.csv";
  program->Type(csv);
  program->ClickRun();
  ASSERT_TRUE(WaitFor([&] { return FileExists(csv) && !program->Minimized(); }, 60000));
  const std::string line = "\x90\xfc", circle = "\x89\x7e", wall = "\x95\xc7";  // 線, 円, 壁
  const std::string expected =
      // The line of PIPE at (100,0) lands on the picked line: one duplicate.
      "W,    30.000,2," + line + ",1,3,\r\n" +
      // PAIR's first PIPE: (0,200) to (30,200); its second: (0,300) to (0,360).
      wall + ",    30.000,1," + line + ",,5,\r\n" + wall + ",    60.000,1," + line + ",,5,\r\n" +
      // Radius 5 twice (10 pi = 31.4159...), at (100,0) and (0,200); radius 10
      // at (0,300) (20 pi = 62.8318...). Layer A and colour 1 are their own.
      "A,    31.416,2," + circle + ",,1,\r\n" + "A,    62.832,1," + circle + ",,1,\r\n";
  EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(csv) == expected; })) << ReadFileBytes(csv);
  program->ClickClose();
  EXPECT_TRUE(program.Ended());
}

// The top-level window of the program of ClassName, and its children: their
// classes and texts, in the window's order.
struct TSmallWindow {
  HWND Window = nullptr;
  std::vector<std::pair<std::string, std::string>> Children;  // class, text
  HWND Child(const std::string& Text) const {
    for (HWND c = GetWindow(Window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      if (ReadWindowText(c) == Text) return c;
    return nullptr;
  }
};

TSmallWindow AwaitWindow(TDialogProgram& Program, const char* ClassName, DWORD Milliseconds = 60000) {
  TSmallWindow found;
  if (!WaitFor([&] { return !VisibleTopLevelWindows(Program.Info.dwProcessId, ClassName).empty(); }, Milliseconds))
    return found;
  found.Window = VisibleTopLevelWindows(Program.Info.dwProcessId, ClassName).at(0);
  for (HWND c = GetWindow(found.Window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    found.Children.emplace_back(WindowClassOf(c), ReadWindowText(c));
  return found;
}

// The key the user pressed, to the window that has the keyboard focus.
void PressKey(TDialogProgram& Program, WPARAM Key) {
  const HWND focused = Program->FocusedWindow();
  PostMessageA(focused, WM_KEYDOWN, Key, 0);
  PostMessageA(focused, WM_KEYUP, Key, 0);
}

const char* const ChordsLine =
    "\x89\x7e\x8c\xca\x82\xf0\x8c\xb7\x82\xc5\x91\xaa\x82\xc1\x82\xbd\x91\xbd\x8a\x70\x90\xfc: 2";  // 円弧を弦で測った多角線:
                                                                                                    // 2
const char* const ClosingEdgeLine =
    "\x95\xc2\x82\xb6\x95\xd3\x82\xf0\x8a\xdc\x82\xdf\x82\xc4\x82\xa2\x82\xc8\x82\xa2\x91\xbd\x8a\x70\x90\xfc: "
    "3";  // 閉じ辺を含めていない多角線: 3
const char* const NeverAgain = "\x8d\xa1\x8c\xe3\x95\x5c\x8e\xa6\x82\xb5\x82\xc8\x82\xa2";  // 今後表示しない

// The sample's selection holds two polylines with arc segments and three
// closed ones: the plain list measures them short, and the user is told,
// after the notice, until "今後表示しない" is checked.
TEST_F(DialogProgramTest, PolylinesMeasuredShortAreToldUntilTheUserAsksNotToBe) {
  TPeerProcess standin =
      TPeerProcess::Standin({"--pick", kSelection, "--drawing", SourceDir + "samples\\sample.dxf"}, Folder);
  TDialogProgram program(Folder, "attr.exe");
  const std::string csv = Folder + "short.csv";
  program->Type(csv);
  program->ClickRun();
  const TSmallWindow message = AwaitWindow(program, "TShortMeasureF");
  ASSERT_TRUE(message.Window);
  EXPECT_EQ(ReadWindowText(message.Window), "Orveline");
  // The list is written, unchanged, and the notice painted before.
  EXPECT_EQ(ReadFileBytes(csv), ReadFileBytes(SourceDir + "testdata\\sample_selection.csv"));
  EXPECT_GT(ReadNoticePixels(FindCommandInputPane()).LightRed, 200);
  EXPECT_FALSE(IsWindowEnabled(program->Form));
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Static", ""},  // the warning icon
      // この一覧では、次の多角線が図形より短く測られています。 / the two lines /
      // (a blank line) / 図形のとおりに測るには、設定（システムメニューの「設定...」）の /
      // 「正確な長さ」をオンにしてください。
      {"Static",
       "\x82\xb1\x82\xcc\x88\xea\x97\x97\x82\xc5\x82\xcd\x81\x41\x8e\x9f\x82\xcc\x91\xbd\x8a\x70\x90\xfc\x82\xaa\x90"
       "\x7d\x8c\x60\x82\xe6\x82\xe8\x92\x5a\x82\xad\x91\xaa\x82\xe7\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81\x42"
       "\r\n" +
           std::string(ChordsLine) + "\r\n" + ClosingEdgeLine +
           "\r\n\r\n"
           "\x90\x7d\x8c\x60\x82\xcc\x82\xc6\x82\xa8\x82\xe8\x82\xc9\x91\xaa\x82\xe9\x82\xc9\x82\xcd\x81\x41\x90\xdd"
           "\x92\xe8\x81\x69\x83\x56\x83\x58\x83\x65\x83\x80\x83\x81\x83\x6a\x83\x85\x81\x5b\x82\xcc\x81\x75\x90\xdd"
           "\x92\xe8...\x81\x76\x81\x6a\x82\xcc\r\n"
           "\x81\x75\x90\xb3\x8a\x6d\x82\xc8\x92\xb7\x82\xb3\x81\x76\x82\xf0\x83\x49\x83\x93\x82\xc9\x82\xb5\x82\xc4"
           "\x82\xad"
           "\x82\xbe\x82\xb3\x82\xa2\x81\x42"},
      {"Button", NeverAgain},
      {"Button", "OK"},
  };
  EXPECT_EQ(message.Children, expected);
  // Enter closes it; the next run tells again.
  PressKey(program, VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(message.Window); }));
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(program->Form) != FALSE; }));
  EXPECT_EQ(StoredSetting(Settings, ShortMeasuresKey), "<none>");

  DeleteFileA(csv.c_str());
  program->ClickRun();
  const TSmallWindow again = AwaitWindow(program, "TShortMeasureF");
  ASSERT_TRUE(again.Window);
  EXPECT_TRUE(FileExists(csv));
  PostMessageA(again.Child(NeverAgain), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return Checked(again.Child(NeverAgain)); }));
  PressKey(program, VK_ESCAPE);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(again.Window); }));
  EXPECT_TRUE(WaitFor([&] { return StoredSetting(Settings, ShortMeasuresKey) == "1"; }));

  // Never again: not in this start, nor in the next.
  for (int start = 0; start < 2; ++start) {
    SCOPED_TRACE(start == 0 ? "the same start" : "the next start");
    std::unique_ptr<TDialogProgram> next;
    if (start == 1) {
      program->ClickClose();
      ASSERT_TRUE(program.Ended());
      next = std::make_unique<TDialogProgram>(Folder, "attr.exe");
    }
    TDialogProgram& p = start == 0 ? program : *next;
    DeleteFileA(csv.c_str());
    p->Type(csv);
    p->ClickRun();
    ASSERT_TRUE(WaitFor([&] { return FileExists(csv) && !p->Minimized(); }, 60000));
    EXPECT_FALSE(WaitFor([&] { return !VisibleTopLevelWindows(p.Info.dwProcessId, "TShortMeasureF").empty(); }, 3000));
    EXPECT_EQ(ReadFileBytes(csv), ReadFileBytes(SourceDir + "testdata\\sample_selection.csv"));
  }
}

// "開く" and "フォルダを開く" go to the shell: the test's own program stands
// for the one that Windows associates with CSV files and for the one that
// opens folders, and notes each request.
class TListAssociation {
 public:
  explicit TListAssociation(const std::string& Record) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    const std::string command = std::string("\"") + self + "\" --record-open \"" + Record + "\" ";
    Set(".csv", "OrvelineTest.List");
    Set("OrvelineTest.List\\shell", "edit");  // the verb taken when none is named
    Set("OrvelineTest.List\\shell\\open\\command", command + "open \"%1\"");
    Set("OrvelineTest.List\\shell\\edit\\command", command + "edit \"%1\"");
    // Folders open by a command alone, without the conversation (DDE) that
    // the shell would otherwise hold with a folder window.
    hadFolderCommand_ = Get(FolderKey, folderCommand_);
    Set(FolderKey, command + "folder \"%1\"");
    HKEY saved = nullptr;
    RegCreateKeyExA(HKEY_CLASSES_ROOT, "OrvelineTest.Saved", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &saved, nullptr);
    savedDde_ = RegCopyTreeA(HKEY_CLASSES_ROOT, DdeKey, saved) == ERROR_SUCCESS;
    RegCloseKey(saved);
    if (savedDde_) RegDeleteTreeA(HKEY_CLASSES_ROOT, DdeKey);
  }
  ~TListAssociation() {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "OrvelineTest.List");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".csv");
    // The folders' own again.
    if (hadFolderCommand_)
      Set(FolderKey, folderCommand_);
    else
      RegDeleteKeyA(HKEY_CLASSES_ROOT, FolderKey);
    if (savedDde_) {
      HKEY dde = nullptr;
      RegCreateKeyExA(HKEY_CLASSES_ROOT, DdeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &dde, nullptr);
      RegCopyTreeA(HKEY_CLASSES_ROOT, "OrvelineTest.Saved", dde);
      RegCloseKey(dde);
    }
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "OrvelineTest.Saved");
  }
  TListAssociation(const TListAssociation&) = delete;
  TListAssociation& operator=(const TListAssociation&) = delete;

 private:
  static constexpr const char* FolderKey = "Folder\\shell\\open\\command";
  static constexpr const char* DdeKey = "Folder\\shell\\open\\ddeexec";
  bool hadFolderCommand_ = false;
  std::string folderCommand_;
  bool savedDde_ = false;

  // The default value of Key, when Key is there.
  static bool Get(const char* Key, std::string& Value) {
    char value[1024] = {};
    LONG size = sizeof value;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, Key, value, &size) != ERROR_SUCCESS) return false;
    Value = value;
    return true;
  }
  // The default value of Key.
  static void Set(const char* Key, const std::string& Value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, Key, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
      throw std::runtime_error(std::string("cannot create ") + Key);
    RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                   static_cast<DWORD>(Value.size() + 1));
    RegCloseKey(key);
  }
};

TEST_F(DialogProgramTest, ResultsWindowShowsWhatWasListedAndOpensTheList) {
  SilenceShortMeasures(Settings);
  const std::string record = Folder + "opened.txt";
  TListAssociation association(record);
  TPeerProcess standin =
      TPeerProcess::Standin({"--pick", kSelection, "--drawing", SourceDir + "samples\\sample.dxf"}, Folder);
  TDialogProgram program(Folder, "attr.exe");
  // Off at first; the settings window turns it on.
  TSettingsWindow settings = OpenSettings(program);
  ASSERT_EQ(settings.CheckBoxes.size(), 5u);
  EXPECT_EQ(ReadWindowText(settings.CheckBoxes[4]), "\x8c\x8b\x89\xca\x82\xf0\x95\x5c\x8e\xa6\x82\xb7\x82\xe9");
  EXPECT_FALSE(Checked(settings.CheckBoxes[4]));
  PostMessageA(settings.CheckBoxes[4], BM_CLICK, 0, 0);
  PostMessageA(settings.Ok, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings.Window); }));
  EXPECT_TRUE(WaitFor([&] { return StoredSetting(Settings, ShowResultsKey) == "1"; }));

  const std::string csv = Folder + "listed.csv";
  program->Type(csv);
  program->ClickRun();
  const TSmallWindow results = AwaitWindow(program, "TResultsF");
  ASSERT_TRUE(results.Window);
  EXPECT_EQ(ReadFileBytes(csv), ReadFileBytes(SourceDir + "testdata\\sample_selection.csv"));
  EXPECT_EQ(ReadWindowText(results.Window), "\x8c\x8b\x89\xca");                // 結果
  const std::string m = "\x8f\x57\x8c\x76 ", n = " \x8f\x57\x8c\x76\x8a\x4f ";  // 集計, 集計外
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Static",
       "\x8f\x57\x8c\x76\x82\xb5\x82\xbd\x8d\x73: 21\r\n"  // 集計した行
       "\x90\xfc: " +
           m + "5" + n + "0\r\n" +                                                         // 線
           "\x89\x7e: " + m + "6" + n + "0\r\n" +                                          // 円
           "\x89\x7e\x8c\xca: " + m + "4" + n + "0\r\n" +                                  // 円弧
           "\x91\xbd\x8a\x70\x90\xfc: " + m + "7" + n + "0\r\n" +                          // 多角線
           "\x95\xb6\x8e\x9a: " + m + "0" + n + "1\r\n" +                                  // 文字
           "\x83\x75\x83\x8d\x83\x62\x83\x4e\x8e\x51\x8f\xc6: " + m + "0" + n + "2\r\n" +  // ブロック参照
           ChordsLine + "\r\n" + ClosingEdgeLine + "\r\n" +                                //
           "\x8d\x87\x8c\x76: " + m + "22" + n + "3"},                                     // 合計
      {"Button", "\x8a\x4a\x82\xad"},                                                      // 開く
      {"Button", "\x83\x74\x83\x48\x83\x8b\x83\x5f\x82\xf0\x8a\x4a\x82\xad"},              // フォルダを開く
      {"Button", "\x95\xc2\x82\xb6\x82\xe9"},                                              // 閉じる
  };
  EXPECT_EQ(results.Children, expected);
  // Enter: 開く, the list with the program associated with it.
  PressKey(program, VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(results.Window); }));
  EXPECT_TRUE(WaitFor([&] { return ReadLines(record) == std::vector<std::string>{"open " + csv}; }))
      << ReadFileBytes(record);
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(program->Form) != FALSE; }));

  // Esc closes it and asks for nothing.
  program->ClickRun();
  const TSmallWindow second = AwaitWindow(program, "TResultsF");
  ASSERT_TRUE(second.Window);
  PressKey(program, VK_ESCAPE);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(second.Window); }));
  Sleep(1000);
  EXPECT_EQ(ReadLines(record), std::vector<std::string>{"open " + csv});

  // フォルダを開く: the list's folder.
  program->ClickRun();
  const TSmallWindow third = AwaitWindow(program, "TResultsF");
  ASSERT_TRUE(third.Window);
  PostMessageA(third.Child("\x83\x74\x83\x48\x83\x8b\x83\x5f\x82\xf0\x8a\x4a\x82\xad"), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(third.Window); }));
  EXPECT_TRUE(WaitFor([&] { return ReadLines(record).size() == 2; })) << ReadFileBytes(record);
  // The folder without its last "\\", which would escape the quote after it.
  EXPECT_EQ(ReadLines(record),
            (std::vector<std::string>{"open " + csv, "folder " + Folder.substr(0, Folder.size() - 1)}));
  program->ClickClose();
  EXPECT_TRUE(program.Ended());
}

}  // namespace

int main(int argc, char** argv) {
  // Standing for the program associated with CSV files: notes the request.
  if (argc == 5 && std::strcmp(argv[1], "--record-open") == 0) {
    FILE* record = std::fopen(argv[2], "ab");
    if (!record) return 1;
    std::fprintf(record, "%s %s\r\n", argv[3], argv[4]);
    std::fclose(record);
    return 0;
  }
  testing::InitGoogleTest(&argc, argv);
  const TTestOptions options = ReadTestOptions(argc, argv);
  TDialogProgram::Path = options.Program;
  SourceDir = options.SourceDir;
  return RUN_ALL_TESTS();
}
