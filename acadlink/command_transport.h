// Handing text to the CAD program's command line (WM_COPYDATA to its main
// window, identifier 1) and reading the command line's prompt back.
#pragma once

#include <windows.h>

#include <string>

#include "win32/window_text.h"  // ReadWindowText, the pane's whole text

// Sends in the form that the main window takes: UTF-16 when it is a Unicode
// window, ANSI otherwise, asked afresh on every call. True when a live main
// window took the text.
bool SendCommandText(const std::wstring& text);
bool SendCommandTextAs(const std::wstring& text, bool unicode);

// The two forms. A text longer than one payload (255 UTF-16 units, or 255
// bytes in the ANSI code page) travels in several messages, cut between
// characters, each followed by its WM_NULL; the receiver takes the pieces
// as one typed text.
bool SendCopyDataW(const std::wstring& text);
bool SendCopyDataA(const std::wstring& text);

// The current prompt line of the command line's input pane, or empty.
std::string ReadCommandLine();
