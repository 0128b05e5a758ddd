// Reading windows, this program's or another's: their text and whether they
// are still there.
#pragma once

#include <windows.h>

#include <string>

// The whole text that the window answers to WM_GETTEXT, in the ANSI code
// page (Shift-JIS); empty when it has none.
std::string ReadWindowText(HWND Window);

// A window handle is trusted only while the platform still knows it.
inline bool IsLive(HWND Window) { return Window != nullptr && IsWindow(Window) != FALSE; }
