#include "acadlink/window_discovery.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acadlink/command_transport.h"
#include "acadlink/test_windows.h"

namespace {

const char kFrameClass[] = "Afx:00400000:8:00010011:00000000:00000000";
const char kMainTitle[] = "AutoCAD LT 2000 - [test.dwg]";
const char kTextWindowTitle[] =
    "AutoCAD \x83\x65\x83\x4c\x83\x58\x83\x67 \x83\x45\x83\x42\x83\x93\x83\x68\x83\x45 - \x90\x7d\x96\xca"
    "1.dwg";  // AutoCAD テキスト ウィンドウ - 図面1.dwg
const char kTextClass[] = "Afx:00400000:b:00010011:00000006:00000000";
const char kCommandWindowTitle[] =
    "\x83\x52\x83\x7d\x83\x93\x83\x68 \x83\x45\x83\x42\x83\x93\x83\x68\x83\x45";  // コマンド ウィンドウ
const char kFloatingTitle[] = "\x83\x52\x83\x7d\x83\x93\x83\x68 \x83\x89\x83\x43\x83\x93";  // コマンド ライン
const char kIdlePrompt[] = "\x83\x52\x83\x7d\x83\x93\x83\x68: ";                            // コマンド:

class WindowDiscoveryTest : public testing::Test {
 protected:
  void SetUp() override { ResetAcadLink(); }
  void TearDown() override { ResetAcadLink(); }
};

std::vector<HWND> TopLevelOrder() {
  std::vector<HWND> order;
  EnumWindows(
      [](HWND w, LPARAM p) {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&order));
  return order;
}

void BringToTop(HWND Wnd) { SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); }

TEST(PlatformTest, AnsiCodePageIsShiftJis) { EXPECT_EQ(GetACP(), 932u); }

TEST_F(WindowDiscoveryTest, MainWindowTitleAndClassTests) {
  struct TCase {
    const char* name;
    const char* title;
    const char* className;
    bool taken;
  };
  const TCase cases[] = {
      {"docked frame", "AutoCAD LT 2000 - [a.dwg]", "Afx:00400000:8:00010011:0:0", true},
      {"no blank after the name", "AutoCAD", "Afx:00400000:8:00010011:0:1", false},
      {"name run on", "AutoCADLT 2000", "Afx:00400000:8:00010011:0:2", false},
      {"Acad in mixed case", "Acad LT", "Afx:00400000:8:00010011:0:3", false},
      {"ACAD prefix", "ACADLT-x", "Afx:00400000:8:00010011:0:4", true},
      {"Autodesk prefix", "Autodesk AutoCAD LT 2024", "AfxMDIFrame140u", true},
      {"MDI frame 10", "AutoCAD LT 2008", "AfxMDIFrame10u", true},
      {"MDI frame 80 inside", "AutoCAD LT 2008", "xAfxMDIFrame80u:1", true},
      {"MDI frame 150", "AutoCAD LT 2008", "AfxMDIFrame150u", false},
      {"MDI frame 15", "AutoCAD LT 2008", "AfxMDIFrame15u", false},
      {"MDI frame without u", "AutoCAD LT 2008", "AfxMDIFrame140", false},
      {"text window class", "AutoCAD LT 2000", "Afx:00400000:b:00010011:0:5", false},
      {"Afx not at the start", "AutoCAD LT 2000", "XAfx:00400000:8:00010011:0:6", false},
      {"afx in lower case", "AutoCAD LT 2000", "afx:00400000:8:00010011:0:7", false},
      {"other CAD program", "DraftSight 2019", "Qt5QPopupWindow", true},
      {"other CAD program, frame class", "DraftSight 2019", "Afx:00400000:8:00010011:0:8", false},
      {"empty title", "", "Afx:00400000:8:00010011:0:9", false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TTestWindow wnd = TTestWindow::TopLevel(c.title, c.className);
    ResetAcadLink();
    EXPECT_EQ(FindAcadWindow(), c.taken ? wnd.Get() : nullptr);
    EXPECT_EQ(AcadLinkState().AcadProcessId, c.taken ? GetCurrentProcessId() : 0u);
  }
}

TEST_F(WindowDiscoveryTest, FirstWindowInTopLevelOrderWinsAndOthersAreSkipped) {
  TTestWindow first = TTestWindow::TopLevel("AutoCAD LT 2000 - [1.dwg]", kFrameClass);
  TTestWindow second = TTestWindow::TopLevel("AutoCAD LT 2000 - [2.dwg]", kFrameClass);
  TTestWindow wrongClass = TTestWindow::TopLevel("AutoCAD LT 2000 - [3.dwg]", "OrvelineNotAFrame");

  BringToTop(first.Get());
  BringToTop(wrongClass.Get());
  EXPECT_EQ(FindAcadWindow(), first.Get());

  ResetAcadLink();
  BringToTop(second.Get());
  EXPECT_EQ(FindAcadWindow(), second.Get());

  // While the kept window lives, no new search runs: a window on top of it
  // is not looked at.
  BringToTop(first.Get());
  EXPECT_EQ(FindAcadWindow(), second.Get());
  second.Destroy();
  EXPECT_EQ(FindAcadWindow(), first.Get());
}

TEST_F(WindowDiscoveryTest, ActivateAcad) {
  TTestWindow other = TTestWindow::TopLevel("Notepad", "OrvelineOther", true, true);
  SetForegroundWindow(other.Get());
  PumpMessages();
  const std::vector<HWND> before = TopLevelOrder();
  EXPECT_FALSE(ActivateAcad());
  PumpMessages();
  EXPECT_EQ(GetForegroundWindow(), other.Get());
  EXPECT_EQ(TopLevelOrder(), before);

  TTestWindow main = TTestWindow::TopLevel(kMainTitle, kFrameClass, true, true);
  SetForegroundWindow(other.Get());
  PumpMessages();
  EXPECT_TRUE(ActivateAcad());
  PumpMessages();
  EXPECT_EQ(GetForegroundWindow(), main.Get());
}

TEST_F(WindowDiscoveryTest, TextWindowBelongsToTheMainWindowsProcess) {
  TTestWindow main = TTestWindow::TopLevel(kMainTitle, kFrameClass);
  ASSERT_EQ(FindAcadWindow(), main.Get());

  // A title of the right form in another process is never taken.
  TPeerProcess otherProcess = TPeerProcess::HelperWindow(kCommandWindowTitle, "OrvelineHelperCmd");
  EXPECT_EQ(FindAcadTextWindow(), nullptr);

  struct TCase {
    const char* name;
    std::string title;
    const char* className;
    bool taken;
  };
  const TCase cases[] = {
      {"text window", kTextWindowTitle, kTextClass, true},
      {"text window without its words", "AutoCAD LT - 1.dwg", "Afx:00400000:b:00010011:00000006:1", false},
      {"text window of a frame class", kTextWindowTitle, "Afx:00400000:8:00010011:00000006:2", false},
      {"command window", kCommandWindowTitle, "OrvelineCmdWindow", true},
      {"command window title run on", std::string(kCommandWindowTitle) + "2", "OrvelineCmdWindow", false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TTestWindow candidate = TTestWindow::TopLevel(c.title, c.className);
    BringToTop(candidate.Get());
    EXPECT_EQ(FindAcadTextWindow(), c.taken ? candidate.Get() : nullptr);
  }
  // The search starts from none each time.
  EXPECT_EQ(AcadLinkState().AcadTextWnd, nullptr);
}

TEST_F(WindowDiscoveryTest, FloatingCommandLineIsTakenFromAnyProcess) {
  TTestWindow main = TTestWindow::TopLevel(kMainTitle, kFrameClass);
  TPeerProcess floating = TPeerProcess::HelperWindow(kFloatingTitle, "Afx:00400000:8:00010011:00000000:0000F10A");
  EXPECT_EQ(FindCommandInputPane(), nullptr);  // the helper's window has no panes
  EXPECT_EQ(AcadLinkState().AcadCommandLineWnd, floating.Window());
}

TEST_F(WindowDiscoveryTest, PaneSearchStopsOnceBothPanesAreKnown) {
  struct TCase {
    const char* name;
    std::vector<const char*> children;
    int input;   // index of the child expected as the input pane
    int output;  // and as the output pane
  };
  const TCase cases[] = {
      {"input after both are known", {"Headlands", "MountTam", "input"}, 0, 1},
      {"later input replaces earlier", {"Headlands", "input", "MountTam", "Headlands"}, 1, 2},
      {"plain names", {"x", "output", "input"}, 2, 1},
      {"names are case-sensitive", {"headlands", "Input", "MountTam", "input"}, 3, 2},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    ResetAcadLink();
    TTestWindow main = TTestWindow::TopLevel(kMainTitle, kFrameClass);
    std::vector<TTestWindow> children;
    for (const char* text : c.children) children.push_back(TTestWindow::Child(main.Get(), text));
    EXPECT_EQ(FindCommandInputPane(), children[c.input].Get());
    EXPECT_EQ(AcadLinkState().OutputPaneWnd, children[c.output].Get());
  }
}

TEST_F(WindowDiscoveryTest, PaneIsSearchedAgainUntilFoundAndAfterItDied) {
  TTestWindow main = TTestWindow::TopLevel(kMainTitle, kFrameClass);
  EXPECT_EQ(FindCommandInputPane(), nullptr);
  TTestWindow bar = TTestWindow::Child(main.Get(), "CommandBar");
  TTestWindow output = TTestWindow::Child(bar.Get(), "MountTam");
  TTestWindow input = TTestWindow::Child(bar.Get(), "Headlands");
  EXPECT_EQ(FindCommandInputPane(), input.Get());

  // The CAD program starts again: new frame, the output pane now comes
  // first. The dead handles are forgotten, so the new input pane is found.
  main.Destroy();
  EXPECT_EQ(FindCommandInputPane(), nullptr);
  TTestWindow main2 = TTestWindow::TopLevel(kMainTitle, kFrameClass);
  TTestWindow output2 = TTestWindow::Child(main2.Get(), "MountTam");
  TTestWindow input2 = TTestWindow::Child(main2.Get(), "Headlands");
  EXPECT_EQ(FindCommandInputPane(), input2.Get());
  EXPECT_EQ(AcadLinkState().AcadWnd, main2.Get());
}

TEST_F(WindowDiscoveryTest, LiveInputPaneIsReturnedWithoutMainWindow) {
  TTestWindow main = TTestWindow::TopLevel(kMainTitle, kFrameClass);
  TTestWindow floatingHost = TTestWindow::TopLevel(kFloatingTitle, "Afx:00400000:8:00010011:00000000:0000F10B");
  TTestWindow input = TTestWindow::Child(floatingHost.Get(), "input");
  EXPECT_EQ(FindCommandInputPane(), input.Get());
  main.Destroy();
  EXPECT_EQ(FindCommandInputPane(), input.Get());
}

// The stand-in in each of its command-line shapes: the input pane is found
// and answers with the idle prompt, as Shift-JIS bytes.
TEST_F(WindowDiscoveryTest, FindsTheStandinsInputPaneInEveryShape) {
  struct TCase {
    const char* name;
    std::vector<std::string> options;
    bool viaFloating;
    bool viaTextWindow;
  };
  const TCase cases[] = {
      {"docked", {}, false, false},
      {"docked, input/output names, ANSI frame", {"--panes", "input", "--ansi"}, false, false},
      {"MDI frame class",
       {"--class", "AfxMDIFrame140u", "--title", "Autodesk AutoCAD LT 2024 - [a.dwg]"},
       false,
       false},
      {"floating", {"--cmdline", "floating"}, true, false},
      {"text window", {"--cmdline", "textwindow"}, false, true},
      {"command window", {"--cmdline", "cmdwindow"}, false, true},
  };
  const std::string folder = MakeTempFolder();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    ResetAcadLink();
    TPeerProcess standin = TPeerProcess::Standin(c.options, folder);
    ASSERT_TRUE(ActivateAcad());
    EXPECT_EQ(AcadLinkState().AcadProcessId, standin.Id());
    const HWND pane = FindCommandInputPane();
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(ReadCommandLine(), kIdlePrompt);
    const TAcadLinkState s = AcadLinkState();
    EXPECT_EQ(s.AcadCommandLineWnd != nullptr, c.viaFloating);
    EXPECT_EQ(s.AcadTextWnd != nullptr, c.viaTextWindow);
    HWND top = GetAncestor(pane, GA_ROOT);
    EXPECT_EQ(top, c.viaFloating ? s.AcadCommandLineWnd : c.viaTextWindow ? s.AcadTextWnd : s.AcadWnd);
  }
}

}  // namespace
