// orveline.exe as the user meets it: started as a program of its own beside
// the stand-in CAD program, driven only through its windows.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
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
const char* const NoFileNameMessage =
    "\x95\xdb\x91\xb6\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc\x82\xaa\x8e\x77"
    "\x92\xe8\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1";  // 保存ファイル名が指定されていません

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
    TDialogProgram program(Folder, "attr.exe");
    EXPECT_EQ(program->FileName(), name);
    // Another name for the program is another settings file.
    TDialogProgram other(Folder, "other.exe");
    EXPECT_EQ(other->FileName(), "");
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
  EXPECT_EQ(program->MessageBoxText(), NoFileNameMessage);
  EXPECT_FALSE(program->Minimized());
  program->DismissMessageBox();
  ASSERT_TRUE(WaitFor([&] { return program->MessageBoxText().empty(); }));
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

TEST(ProgramFileTest, VersionResource) {
  const DWORD size = GetFileVersionInfoSizeA(TDialogProgram::Path.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(TDialogProgram::Path.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(1, 1));  // 1.1
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, 2));  // .2.0
  EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  WORD* translation = nullptr;
  ASSERT_TRUE(
      VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  EXPECT_EQ(translation[0], 0x0411);  // Japanese
  EXPECT_EQ(translation[1], 932);
  char* text = nullptr;
  ASSERT_TRUE(
      VerQueryValueA(info.data(), "\\StringFileInfo\\041103A4\\FileVersion", reinterpret_cast<void**>(&text), &length));
  EXPECT_STREQ(text, "1.1.2.0");
  ASSERT_TRUE(
      VerQueryValueA(info.data(), "\\StringFileInfo\\041103A4\\ProductName", reinterpret_cast<void**>(&text), &length));
  EXPECT_STREQ(text, "");
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
    HDC dc = GetDC(nullptr);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 35; y += 2)
      for (int x = 0; x < 201; x += 2) pixels.push_back(GetPixel(dc, origin.x + x, origin.y + y));
    ReleaseDC(nullptr, dc);
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

TEST_F(DialogProgramTest, ReaderErrorIsShownCaptionedOrveline) {
  TPeerProcess standin = TPeerProcess::Standin({"--drawing", SourceDir + "testdata\\bad_number.dxf"}, Folder);
  TDialogProgram program(Folder, "attr.exe");
  program->Type(Folder + "bad.csv");
  program->ClickRun();
  ASSERT_TRUE(WaitFor([&] { return !program->MessageBoxText().empty(); }));
  // 'abc' は浮動小数点数ではありません
  EXPECT_EQ(program->MessageBoxText(),
            "'abc' "
            "\x82\xcd\x95\x82\x93\xae\x8f\xac\x90\x94\x93\x5f\x90\x94\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9"
            "\x82\xf1");
  EXPECT_EQ(ReadWindowText(VisibleTopLevelWindows(program.Info.dwProcessId, "#32770").at(0)), "Orveline");
  EXPECT_FALSE(program->Minimized());
  EXPECT_EQ(ReadFileBytes(Folder + "bad.csv"), "");  // created, then the reader stopped
  program->DismissMessageBox();
  EXPECT_TRUE(WaitFor([&] { return program->MessageBoxText().empty(); }));
  EXPECT_EQ(ReadNoticePixels(FindCommandInputPane()).LightRed, 0);
}

TEST_F(DialogProgramTest, RunWritesTheQuantityListAndEachStartHasItsOwnDxfFile) {
  const std::string transcript = Folder + "transcript.txt";
  TPeerProcess standin = TPeerProcess::Standin(
      {"--pick", Selection, "--drawing", SourceDir + "samples\\sample.dxf", "--transcript", transcript}, Folder);

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

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const TTestOptions options = ReadTestOptions(argc, argv);
  TDialogProgram::Path = options.Program;
  SourceDir = options.SourceDir;
  return RUN_ALL_TESTS();
}
