// Handing text to the CAD program's command line (WM_COPYDATA to its main
// window, identifier 1) and reading the command line's prompt back.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

#include "win32/window_text.h"  // ReadWindowText, the pane's whole text

// Every message to the CAD program's windows is sent with this bound (ms),
// given up at once when the platform finds the program hung: generous for a
// program busy writing a large drawing, short enough that a hung one does
// not freeze the caller.
constexpr UINT kCadAnswerTimeoutMs = 10000;

// A send or a read that the CAD program did not answer within the bound.
// Its message is the one the user is shown: "CAD が応答しません。".
class TCadNotAnswering : public std::runtime_error {
 public:
  TCadNotAnswering();
};

// Sends in the form that the main window takes: UTF-16 when it is a Unicode
// window, ANSI otherwise, asked afresh on every call. True when a live main
// window took the text. Throws TCadNotAnswering when the window does not
// take it within the bound.
bool SendCommandText(const std::wstring& Text);
bool SendCommandTextAs(const std::wstring& Text, bool Unicode);

// The two forms. A text longer than one payload (255 UTF-16 units, or 255
// bytes in the ANSI code page) travels in several messages, cut between
// characters, each followed by its WM_NULL; the receiver takes the pieces
// as one typed text.
bool SendCopyDataW(const std::wstring& Text);
bool SendCopyDataA(const std::wstring& Text);

// The current prompt line of the command line's input pane, or empty.
// Throws TCadNotAnswering when the pane does not answer within the bound.
std::string ReadCommandLine();
