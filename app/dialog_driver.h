// Drives a running orveline.exe from outside, only through its windows, as a
// user would: the end-to-end tests and the demo use it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win32/window_text.h"  // ReadWindowText: WM_GETTEXT, code page 932

std::string WindowClassOf(HWND Window);
std::vector<HWND> VisibleTopLevelWindows(DWORD ProcessId, const char* ClassName);

class TDialogDriver {
 public:
  // Waits up to Milliseconds for the dialog of process ProcessId (0: of any
  // process) and finds its controls; throws when it does not appear.
  TDialogDriver(DWORD ProcessId, DWORD Milliseconds = 20000);

  void Type(const std::string& Text);  // the file-name box's text
  std::string FileName() const;
  void ClickRun() const { Click(RunButton); }
  void ClickClose() const { Click(CloseButton); }
  bool Minimized() const { return IsIconic(Form) != FALSE; }
  // The window of the dialog's thread that has the keyboard focus, or none.
  HWND FocusedWindow() const;
  // The text of the message box that the program shows, or empty.
  std::string MessageBoxText() const;
  void DismissMessageBox() const;

  DWORD ProcessId = 0;
  HWND Form = nullptr;
  HWND Edit1 = nullptr;
  HWND Button1 = nullptr;
  HWND RunButton = nullptr;
  HWND CloseButton = nullptr;

 private:
  static void Click(HWND Button);
};
