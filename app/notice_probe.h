// Reads the completion notice back from the screen, for the tests.
#pragma once

#include <windows.h>

struct TNoticePixels {
  int LightRed = 0;       // light red pixels in the bottom rows, left end
  int White = 0;          // the pane's own white showing there
  int LightRedRight = 0;  // light red pixels at the right end
};

// Counts the pixels of the bottom four rows of Pane as the screen shows them
// (under Wine only the screen's context reads back another program's window).
TNoticePixels ReadNoticePixels(HWND Pane);
