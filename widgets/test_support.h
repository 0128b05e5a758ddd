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
  TTestWindow(int width, int height, HFONT font = nullptr);
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
TFont SharpFont(const char* name, int height);

// Where a caption's face is when drawn alone at the origin with DrawText.
class TTextMask {
 public:
  TTextMask(const TFont& font, const std::string& caption, int width, int height, UINT format);
  bool operator()(int x, int y) const;

 private:
  TDib image_;
};

// The smallest rectangle holding the pixels of one colour inside `within`;
// empty when there are none.
RECT InkBox(const TDib& image, COLORREF color, const RECT& within);
int CountPixels(const TDib& image, COLORREF color, const RECT& within);

}  // namespace widgets_test
