// Shared pieces of the widget tests: a visible top-level test window that
// paints its window-less controls, a message pump, a non-smoothed test font
// and ink measurement on 32-bit images.
#pragma once

#include <windows.h>

#include <string>

#include "widgets/toolkit.h"

namespace widgets_test {

// A top-level window of the given client size, shown; it answers
// WM_GETFONT with the font given to it and paints window-less controls.
class TTestWindow {
 public:
  TTestWindow(int Width, int Height, HFONT Font = nullptr);
  ~TTestWindow();
  TTestWindow(const TTestWindow&) = delete;
  TTestWindow& operator=(const TTestWindow&) = delete;
  HWND Handle() const noexcept { return window_; }

 private:
  HWND window_;
};

// Dispatches every message waiting for this thread.
void PumpMessages();

// A font without smoothing, so drawn text has exact colours.
TFont SharpFont(const char* Name, int Height);

// Where a caption's face is when drawn alone at the origin with DrawText.
class TTextMask {
 public:
  TTextMask(const TFont& Font, const std::string& Caption, int Width, int Height, UINT Format);
  bool operator()(int X, int Y) const;

 private:
  TDib image_;
};

// The smallest rectangle holding the pixels of one colour inside `within`;
// empty when there are none.
RECT InkBox(const TDib& Image, COLORREF Color, const RECT& Within);
int CountPixels(const TDib& Image, COLORREF Color, const RECT& Within);

}  // namespace widgets_test
