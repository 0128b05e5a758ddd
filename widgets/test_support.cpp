#include "widgets/test_support.h"

namespace widgets_test {
namespace {

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETFONT:
      return GetWindowLongPtrW(window, GWLP_USERDATA);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      TPaintDc paint(window);
      PaintFormSurface(window, paint.Get());
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

TTestWindow::TTestWindow(int width, int height, HFONT font) {
  RegisterControlClass(L"OrvelineWidgetsTestWindow", TestWindowProc);
  window_ = CreateWindowExW(0, L"OrvelineWidgetsTestWindow", L"test", WS_POPUP | WS_CLIPCHILDREN, 40, 40, width, height,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(font));
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

TFont SharpFont(const char* name, int height) {
  TFont font;
  font.Name = name;
  font.Height = height;
  font.Color = clBlack;
  font.Charset = SHIFTJIS_CHARSET;
  font.Quality = NONANTIALIASED_QUALITY;
  return font;
}

TTextMask::TTextMask(const TFont& font, const std::string& caption, int width, int height, UINT format)
    : image_(width, height) {
  image_.Fill(RGB(255, 255, 255));
  TFontHandle handle = CreateFontHandle(font);
  TSelectObject selected(image_.Dc(), handle.Get());
  SetBkMode(image_.Dc(), TRANSPARENT);
  SetTextColor(image_.Dc(), RGB(0, 0, 0));
  RECT all{0, 0, width, height};
  DrawTextA(image_.Dc(), caption.data(), static_cast<int>(caption.size()), &all, format);
}

bool TTextMask::operator()(int x, int y) const {
  return x >= 0 && y >= 0 && x < image_.Width() && y < image_.Height() && image_.Pixel(x, y) == RGB(0, 0, 0);
}

RECT InkBox(const TDib& image, COLORREF color, const RECT& within) {
  RECT box{within.right, within.bottom, within.left, within.top};
  bool any = false;
  for (int y = within.top; y < within.bottom; ++y) {
    for (int x = within.left; x < within.right; ++x) {
      if (image.Pixel(x, y) != color) continue;
      any = true;
      box.left = x < box.left ? x : box.left;
      box.top = y < box.top ? y : box.top;
      box.right = x + 1 > box.right ? x + 1 : box.right;
      box.bottom = y + 1 > box.bottom ? y + 1 : box.bottom;
    }
  }
  return any ? box : RECT{0, 0, 0, 0};
}

int CountPixels(const TDib& image, COLORREF color, const RECT& within) {
  int count = 0;
  for (int y = within.top; y < within.bottom; ++y)
    for (int x = within.left; x < within.right; ++x) count += image.Pixel(x, y) == color;
  return count;
}

}  // namespace widgets_test
