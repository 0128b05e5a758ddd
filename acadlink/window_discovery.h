// Finding the CAD program's windows on the desktop: its main frame window,
// its text window, the floating command line and the two panes of the
// command line. Handles are references to another program's windows; they
// are kept for the life of the process and searched again once they die.
#pragma once

#include <windows.h>

// Runs the main-window search when AcadWnd is not live. Returns AcadWnd,
// which may be none or dead when nothing was found.
HWND FindAcadWindow();

// True when the main window is known and live; it is then brought to the
// foreground. False leaves the desktop as it was.
bool ActivateAcad();

// Clears AcadTextWnd, runs the text-window search and returns AcadTextWnd.
HWND FindAcadTextWindow();

// The input pane of the command line (docked, floating or inside the text
// window), or none.
HWND FindCommandInputPane();

// The link state, read-only, for the callers that need more than the
// operations above (and for the tests).
struct TAcadLinkState {
  HWND AcadWnd;
  DWORD AcadProcessId;
  HWND AcadTextWnd;
  HWND AcadCommandLineWnd;
  HWND InputPaneWnd;
  HWND OutputPaneWnd;
};
TAcadLinkState AcadLinkState();

// Back to the state at program start (all none). For tests.
void ResetAcadLink();
