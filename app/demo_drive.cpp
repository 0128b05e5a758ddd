// orveline-drive: plays the user at a running orveline.exe, for the demo.
//   orveline-drive run CSVPATH   types CSVPATH, clicks the run button and
//                                waits until the run is over; fails when it
//                                wrote no file, printing (in code page 932)
//                                the message the dialog showed, if any
//   orveline-drive run CSVPATH keep   the same, but leaves the message box
//                                open (for a picture of it)
//   orveline-drive dismiss       closes the message box the dialog shows, or
//                                the word about short measures after a run
//   orveline-drive rect CLASS    prints the screen rectangle (left top width
//                                height) of the program's window of CLASS
//   orveline-drive close         closes the windows that follow a run (the
//                                results, the word about short measures),
//                                clicks the close button and waits until
//                                the dialog is gone
//   orveline-drive settings      opens the settings window ("設定..." of the
//                                system menu) and waits until it shows
//   orveline-drive settings-cancel  closes it with キャンセル
//   orveline-drive settings-ok   closes it with OK (the settings are kept)
//   orveline-drive takeoff TAGS UNIT  in the open settings window, checks the
//                                symbol counts and the areas, types TAGS
//                                (code page 932) into the attribute tags'
//                                box and chooses UNIT (as drawn: "")
//   orveline-drive takeoff off   there, unchecks both, empties the box and
//                                chooses as drawn
//   orveline-drive where         prints where the windows are on the screen,
//                                one "NAME WIDTHxHEIGHT+LEFT+TOP" a line (as
//                                ImageMagick's -crop takes it): dialog, its
//                                client area, settings (when open), and the
//                                CAD program's window and command-line panes
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "acadlink/window_discovery.h"
#include "app/dialog_driver.h"

namespace {

bool FileExists(const std::string& Path) { return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES; }

template <typename TTest>
bool WaitFor(TTest&& Test, DWORD Milliseconds) {
  for (DWORD waited = 0; waited < Milliseconds; waited += 100) {
    if (Test()) return true;
    Sleep(100);
  }
  return Test();
}

void PrintPlace(const char* Name, const RECT& Place) {
  std::printf("%s %ldx%ld+%ld+%ld\n", Name, Place.right - Place.left, Place.bottom - Place.top, Place.left, Place.top);
}

void PrintWindowPlace(const char* Name, HWND Window) {
  RECT place{};
  if (Window != nullptr && GetWindowRect(Window, &place)) PrintPlace(Name, place);
}

void PrintPlaces() {
  TDialogDriver dialog(0);
  PrintWindowPlace("dialog", dialog.Form);
  RECT client{};
  GetClientRect(dialog.Form, &client);
  MapWindowPoints(dialog.Form, nullptr, reinterpret_cast<POINT*>(&client), 2);
  PrintPlace("client", client);
  for (HWND window : VisibleTopLevelWindows(dialog.ProcessId, "TSettingsF")) PrintWindowPlace("settings", window);
  PrintWindowPlace("cad", FindAcadWindow());
  PrintWindowPlace("input", FindCommandInputPane());
  PrintWindowPlace("output", AcadLinkState().OutputPaneWnd);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if ((argc == 3 || (argc == 4 && std::strcmp(argv[3], "keep") == 0)) && std::strcmp(argv[1], "run") == 0) {
      const std::string csv = argv[2];
      const bool keep = argc == 4;
      TDialogDriver dialog(0);
      dialog.Type(csv);
      Sleep(500);  // let the name show before the dialog steps aside
      dialog.ClickRun();
      // The dialog steps aside for the run and comes back when it is over;
      // a name it refuses at once is said without stepping aside.
      WaitFor([&] { return dialog.Minimized() || !dialog.MessageBoxText().empty(); }, 20000);
      if (!WaitFor([&] { return !dialog.Minimized(); }, 180000)) {
        std::fprintf(stderr, "orveline-drive: the run did not end\n");
        return 1;
      }
      if (WaitFor([&] { return !dialog.MessageBoxText().empty() || FileExists(csv); }, 2000) && !FileExists(csv)) {
        std::printf("orveline-drive: the dialog says: %s\n", dialog.MessageBoxText().c_str());
        std::fflush(stdout);
        if (!keep) {
          dialog.DismissMessageBox();
          WaitFor([&] { return dialog.MessageBoxText().empty(); }, 5000);
        }
      }
      if (!FileExists(csv)) {
        std::fprintf(stderr, "orveline-drive: the run wrote no %s\n", csv.c_str());
        return 1;
      }
      return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "dismiss") == 0) {
      TDialogDriver dialog(0);
      const std::vector<HWND> words = VisibleTopLevelWindows(dialog.ProcessId, "TShortMeasureF");
      if (!words.empty()) {
        PostMessageA(words[0], WM_COMMAND, IDOK, 0);
        return WaitFor([&] { return !IsWindow(words[0]); }, 5000) ? 0 : 1;
      }
      dialog.DismissMessageBox();
      return WaitFor([&] { return dialog.MessageBoxText().empty(); }, 5000) ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "rect") == 0) {
      TDialogDriver dialog(0);
      std::vector<HWND> windows;
      WaitFor([&] { return !(windows = VisibleTopLevelWindows(dialog.ProcessId, argv[2])).empty(); }, 20000);
      RECT r{};
      if (windows.empty() || !GetWindowRect(windows[0], &r)) return 1;
      std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
      return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "close") == 0) {
      TDialogDriver dialog(0);
      for (const char* after : {"TShortMeasureF", "TResultsF"}) {
        for (HWND window : VisibleTopLevelWindows(dialog.ProcessId, after))
          PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        WaitFor([&] { return VisibleTopLevelWindows(dialog.ProcessId, after).empty(); }, 5000);
      }
      dialog.ClickClose();
      return WaitFor([&] { return !IsWindow(dialog.Form); }, 20000) ? 0 : 1;
    }
    if (argc == 2 && std::strcmp(argv[1], "settings") == 0) {
      TDialogDriver dialog(0);
      PostMessageA(dialog.Form, WM_SYSCOMMAND, 0x0010, 0);  // what the menu item sends
      if (!WaitFor([&] { return !VisibleTopLevelWindows(dialog.ProcessId, "TSettingsF").empty(); }, 20000)) return 1;
      // In front and active, as after a click (the picture shows its title bar).
      SetForegroundWindow(VisibleTopLevelWindows(dialog.ProcessId, "TSettingsF").front());
      return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "settings-cancel") == 0) {
      TDialogDriver dialog(0);
      for (HWND window : VisibleTopLevelWindows(dialog.ProcessId, "TSettingsF"))
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
      return WaitFor([&] { return VisibleTopLevelWindows(dialog.ProcessId, "TSettingsF").empty(); }, 20000) ? 0 : 1;
    }
    if (argc == 2 && std::strcmp(argv[1], "settings-ok") == 0) {
      TDialogDriver dialog(0);
      for (HWND window : VisibleTopLevelWindows(dialog.ProcessId, "TSettingsF"))
        PostMessageA(window, WM_COMMAND, IDOK, 0);
      return WaitFor([&] { return VisibleTopLevelWindows(dialog.ProcessId, "TSettingsF").empty(); }, 20000) ? 0 : 1;
    }
    if ((argc == 4 || (argc == 3 && std::strcmp(argv[2], "off") == 0)) && std::strcmp(argv[1], "takeoff") == 0) {
      const bool on = argc == 4;
      TDialogDriver dialog(0);
      const std::vector<HWND> windows = VisibleTopLevelWindows(dialog.ProcessId, "TSettingsF");
      if (windows.empty()) return 1;
      // The take-off's check boxes are the last two; its box and list the
      // only ones of their kinds.
      std::vector<HWND> checkBoxes;
      HWND tags = nullptr, unit = nullptr;
      for (HWND child = GetWindow(windows[0], GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string className = WindowClassOf(child);
        if (lstrcmpiA(className.c_str(), "Edit") == 0)
          tags = child;
        else if (lstrcmpiA(className.c_str(), "ComboBox") == 0)
          unit = child;
        else if (lstrcmpiA(className.c_str(), "Button") == 0 &&
                 (GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX)
          checkBoxes.push_back(child);
      }
      if (checkBoxes.size() < 2 || !tags || !unit) return 1;
      for (HWND box : {checkBoxes[checkBoxes.size() - 2], checkBoxes.back()})
        if ((SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != on) SendMessageA(box, BM_CLICK, 0, 0);
      SendMessageA(tags, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(on ? argv[2] : ""));
      const LRESULT item =
          on && argv[3][0] ? SendMessageA(unit, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(argv[3])) : 0;
      if (item == CB_ERR) return 1;
      SendMessageA(unit, CB_SETCURSEL, item, 0);
      return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "where") == 0) {
      PrintPlaces();
      return 0;
    }
    std::fprintf(stderr,
                 "usage: orveline-drive run CSVPATH [keep] | dismiss | rect CLASS | close | settings | "
                 "settings-cancel | settings-ok | takeoff TAGS UNIT | takeoff off | where\n");
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "orveline-drive: %s\n", e.what());
    return 1;
  }
}
