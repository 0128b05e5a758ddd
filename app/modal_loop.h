// The message loop of the dialog's small modal windows (the settings, the
// run's results and messages).
#pragma once

#include <windows.h>

// Shows Window, gives Focus the focus and runs the thread's messages, the
// dialog keys handled for Window, until Done is set. Owner is disabled
// meanwhile, and enabled and brought forward again before the loop returns,
// so that it gets the focus back. A WM_QUIT met is posted again for the loop
// outside.
void RunModalLoop(HWND Owner, HWND Window, HWND Focus, const bool& Done);
