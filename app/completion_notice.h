// The line of text that tells the user where the CSV file was saved, painted
// straight onto the CAD program's command-line input pane.
#pragma once

#include <windows.h>

#include <string>

// Paints Text (code page 932) once, black on light red, at the left edge of
// Window with its bottom on the window's bottom edge, in the font that the
// window's device context carries. The CAD program owns the window: the text
// stays until it repaints there. A missing or dead window paints nothing.
void DrawCompletionNotice(HWND Window, const std::string& Text);
