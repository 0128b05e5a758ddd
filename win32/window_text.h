// Reading windows, this program's or another's: their text and whether they
// are still there.
#pragma once

#include <windows.h>

#include <string>

// The whole text that the window answers to WM_GETTEXT, in the ANSI code
// page (Shift-JIS); empty when it has none.
std::string ReadWindowText(HWND Window);

// The same for a window of a program that may not answer: each message is
// given up after TimeoutMs, at once when the platform finds the window's
// thread hung. False when a message was given up (Text is then empty); a
// window that is gone reads empty and true.
bool ReadWindowTextWithin(HWND Window, UINT TimeoutMs, std::string& Text);

// A window handle is trusted only while the platform still knows it.
inline bool IsLive(HWND Window) { return Window != nullptr && IsWindow(Window) != FALSE; }
