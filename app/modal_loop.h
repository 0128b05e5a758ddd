// The dialog's small modal windows (the settings, the run's results and
// messages): their frame and their message loop.
#pragma once

#include <windows.h>

#include "win32/win_handles.h"

// Where a modal window stands: centred over its owner, or centred above it
// (below it when there is no room above), kept on the screen either way.
enum class TModalPlace { OverOwner, AboveOwner };

// Registers ClassName with Proc (once) and creates a captioned, topmost
// window of it over Owner whose client area is ClientWidth by ClientHeight,
// placed as Place says, not shown yet; CreateParam reaches Proc with
// WM_NCCREATE.
TWindowHandle CreateModalWindow(HWND Owner, const char* ClassName, WNDPROC Proc, const char* Caption, int ClientWidth,
                                int ClientHeight, TModalPlace Place, void* CreateParam);

// Shows Window, gives Focus the focus and runs the thread's messages, the
// dialog keys handled for Window, until Done is set. Owner is disabled
// meanwhile, and enabled and brought forward again before the loop returns,
// so that it gets the focus back. A WM_QUIT met is posted again for the loop
// outside.
void RunModalLoop(HWND Owner, HWND Window, HWND Focus, const bool& Done);
