// The stand-in's windows: the main frame (the drawing), the command line's
// bar with its output and input panes, and the separate window that holds
// the command line when it is not docked; their window procedures and the
// one state they share.
#pragma once

#include <windows.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "standin/command_peer.h"
#include "standin/drawing.h"
#include "standin/standin_options.h"
#include "win32/win_handles.h"

// The stand-in's whole state: one instance, reached by the window procedures.
struct TStandin {
  TStandinOptions options;
  std::unique_ptr<TCommandPeer> peer;
  HWND frame = nullptr;
  HWND commandHost = nullptr;  // the top-level window that holds a separate command line
  HWND bar = nullptr;
  HWND inputPane = nullptr;
  HWND outputPane = nullptr;
  TFontHandle font;
  std::deque<std::string> history;  // the output pane's last lines
  std::vector<TEntityShape> shapes;
  unsigned long inputs = 0;  // texts received
  struct TLaggedText {
    DWORD due;  // GetTickCount() when it is taken up
    std::string text;
  };
  std::deque<TLaggedText> lagged;  // arrived, not yet taken up (with a lag)
};
extern TStandin* Standin;

constexpr UINT_PTR kUserTimer = 1;
constexpr UINT_PTR kExportTimer = 2;
constexpr UINT_PTR kLingerTimer = 3;
constexpr UINT_PTR kLagTimer = 4;
constexpr UINT kOpenFileDialogMessage = WM_APP + 1;
constexpr int kHistoryRows = 3;

// Writes Bytes to the file at Path; with a busy export the windows answer
// nothing while it is written (half, the busy time, the rest).
bool WriteExportFile(const std::string& Path, const std::string& Bytes);

// A line for the transcript, when one is kept.
void Transcribe(const std::string& Line);
void RepaintPanes();
void CloseEverything();

// Creates the main frame and the command line where the options place it;
// false when the main window cannot be made.
bool CreateStandinWindows();
