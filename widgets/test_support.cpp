#include "widgets/test_support.h"

namespace widgets_test {
namespace {

LRESULT CALLBACK TestWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_GETFONT:
      return GetWindowLongPtrW(Window, GWLP_USERDATA);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      TPaintDc paint(Window);
      PaintFormSurface(Window, paint.Get());
      return 0;
    }
  }
  return DefWindowProcW(Window, Message, WParam, LParam);
}

}  // namespace

TTestWindow::TTestWindow(int Width, int Height, HFONT Font) {
  RegisterControlClass(L"OrvelineWidgetsTestWindow", TestWindowProc);
  window_ = CreateWindowExW(0, L"OrvelineWidgetsTestWindow", L"test", WS_POPUP | WS_CLIPCHILDREN, 40, 40, Width, Height,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Font));
  // Shown without activation: under Wine without a window manager, taking an
  // active window down waits for the focus change. A SetFocus still activates
  // it where a test needs the focus.
  ShowWindow(window_, SW_SHOWNOACTIVATE);
  PumpMessages();
}

TTestWindow::~TTestWindow() {
  DestroyWindow(window_);
  PumpMessages();
}

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

TFont SharpFont(const char* Name, int Height) {
  TFont font;
  font.Name = Name;
  font.Height = Height;
  font.Color = clBlack;
  font.Charset = SHIFTJIS_CHARSET;
  font.Quality = NONANTIALIASED_QUALITY;
  return font;
}

TTextMask::TTextMask(const TFont& Font, const std::string& Caption, int Width, int Height, UINT Format)
    : image_(Width, Height) {
  image_.Fill(RGB(255, 255, 255));
  TFontHandle handle = CreateFontHandle(Font);
  TSelectObject selected(image_.Dc(), handle.Get());
  SetBkMode(image_.Dc(), TRANSPARENT);
  SetTextColor(image_.Dc(), RGB(0, 0, 0));
  RECT all{0, 0, Width, Height};
  DrawTextA(image_.Dc(), Caption.data(), static_cast<int>(Caption.size()), &all, Format);
}

bool TTextMask::operator()(int X, int Y) const {
  return X >= 0 && Y >= 0 && X < image_.Width() && Y < image_.Height() && image_.Pixel(X, Y) == RGB(0, 0, 0);
}

RECT InkBox(const TDib& Image, COLORREF Color, const RECT& Within) {
  RECT box{Within.right, Within.bottom, Within.left, Within.top};
  bool any = false;
  for (int y = Within.top; y < Within.bottom; ++y) {
    for (int x = Within.left; x < Within.right; ++x) {
      if (Image.Pixel(x, y) != Color) continue;
      any = true;
      box.left = x < box.left ? x : box.left;
      box.top = y < box.top ? y : box.top;
      box.right = x + 1 > box.right ? x + 1 : box.right;
      box.bottom = y + 1 > box.bottom ? y + 1 : box.bottom;
    }
  }
  return any ? box : RECT{0, 0, 0, 0};
}

int CountPixels(const TDib& Image, COLORREF Color, const RECT& Within) {
  int count = 0;
  for (int y = Within.top; y < Within.bottom; ++y)
    for (int x = Within.left; x < Within.right; ++x) count += Image.Pixel(x, y) == Color;
  return count;
}

}  // namespace widgets_test
