#include "widgets/toolkit.h"

#include <algorithm>
#include <vector>

#include "win32/win32_error.h"

namespace {

std::exception_ptr heldException;
std::vector<TGraphicControl*> graphicControls;  // in creation order

constexpr wchar_t kWindowedControlClass[] = L"OrvelineWindowedControl";
constexpr wchar_t kModalResultProperty[] = L"OrvelineModalResult";

HBITMAP MakeDibSection(int width, int height, std::uint32_t** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap =
      CheckCreated(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0), "CreateDIBSection");
  *bits = static_cast<std::uint32_t*>(pixels);
  return bitmap;
}

}  // namespace

COLORREF ColorToRGB(TColor color) {
  if (color & 0x80000000) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0xFFFFFF;
}

bool operator==(const TFont& a, const TFont& b) {
  return a.Name == b.Name && a.Height == b.Height && a.Color == b.Color && a.Charset == b.Charset && a.Bold == b.Bold &&
         a.Italic == b.Italic && a.Quality == b.Quality;
}

TFontHandle CreateFontHandle(const TFont& font) {
  return TFontHandle(CheckCreated(CreateFontA(font.Height, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, font.Italic, FALSE,
                                              FALSE, font.Charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                              font.Quality, DEFAULT_PITCH | FF_DONTCARE, font.Name.c_str()),
                                  "CreateFontA"));
}

TFont DialogFont() {
  TFont font;
  font.Name = "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";  // ＭＳ Ｐゴシック
  font.Height = -12;
  font.Color = clWindowText;
  font.Charset = SHIFTJIS_CHARSET;
  return font;
}

TDib::TDib(int width, int height)
    : width_((std::max)(width, 1)),
      height_((std::max)(height, 1)),
      dc_(CheckCreated(CreateCompatibleDC(nullptr), "CreateCompatibleDC")),
      bitmap_(MakeDibSection(width_, height_, &bits_)),
      selected_(dc_.Get(), bitmap_.Get()) {}

COLORREF TDib::Pixel(int x, int y) const noexcept {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  GdiFlush();
  std::uint32_t value = bits_[static_cast<size_t>(y) * width_ + x];
  return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

void TDib::SetPixel(int x, int y, COLORREF color) noexcept {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  GdiFlush();
  bits_[static_cast<size_t>(y) * width_ + x] = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

void TDib::Fill(COLORREF color) noexcept {
  RECT all{0, 0, width_, height_};
  FillSolid(Dc(), all, color);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
  // ExtTextOut with an opaque rectangle fills without a brush object.
  COLORREF previous = SetBkColor(dc, color);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  SetBkColor(dc, previous);
}

void RegisterControlClass(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &windowClass)) return;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = name;
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    ThrowLastError("RegisterClassExW");
}

void HoldException(std::exception_ptr error) noexcept {
  if (!heldException) heldException = error;
}

void RethrowHeldException() {
  if (heldException) std::rethrow_exception(std::exchange(heldException, nullptr));
}

// TGraphicControl

TGraphicControl::TGraphicControl() { graphicControls.push_back(this); }

TGraphicControl::~TGraphicControl() {
  if (parent_ && IsWindow(parent_)) {
    RECT bounds = BoundsRect();
    InvalidateRect(parent_, &bounds, TRUE);
  }
  graphicControls.erase(std::remove(graphicControls.begin(), graphicControls.end(), this), graphicControls.end());
}

void TGraphicControl::SetParent(HWND parent) {
  if (parent == parent_) return;
  Invalidate();
  parent_ = parent;
  ParentChanged();
  Invalidate();
}

void TGraphicControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  Invalidate();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  BoundsChanged();
  Invalidate();
}

void TGraphicControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (parent_) {
    RECT bounds = BoundsRect();
    InvalidateRect(parent_, &bounds, TRUE);
  }
}

void TGraphicControl::Invalidate() {
  if (!parent_ || !visible_) return;
  RECT bounds = BoundsRect();
  InvalidateRect(parent_, &bounds, FALSE);
}

void TGraphicControl::Repaint() {
  Invalidate();
  if (parent_) UpdateWindow(parent_);
}

void TGraphicControl::PaintOn(HDC parentDc) {
  int saved = SaveDC(parentDc);
  IntersectClipRect(parentDc, left_, top_, left_ + width_, top_ + height_);
  OffsetViewportOrgEx(parentDc, left_, top_, nullptr);
  Paint(parentDc);
  RestoreDC(parentDc, saved);
}

void PaintGraphicControls(HWND parent, HDC dc) {
  RECT clip;
  bool hasClip = GetClipBox(dc, &clip) != ERROR;
  // A control may repaint its parent while painting; walk over a copy.
  std::vector<TGraphicControl*> controls = graphicControls;
  for (TGraphicControl* control : controls) {
    if (control->Parent() != parent || !control->Visible()) continue;
    RECT bounds = control->BoundsRect();
    RECT meet;
    if (hasClip && !IntersectRect(&meet, &bounds, &clip)) continue;
    // Called from the parent's window procedure: nothing may unwind through it.
    try {
      control->PaintOn(dc);
    } catch (...) {
      HoldException(std::current_exception());
    }
  }
  for (TGraphicControl* control : controls) {
    if (control->Parent() != parent || !control->Visible() || !control->Opaque()) continue;
    RECT bounds = control->BoundsRect();
    ExcludeClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
  }
}

void PaintFormSurface(HWND form, HDC dc) {
  PaintGraphicControls(form, dc);
  RECT client;
  GetClientRect(form, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
}

// TWindowedControl

TWindowedControl::~TWindowedControl() { DestroyHandle(); }

void TWindowedControl::SetParent(HWND parent) {
  if (parent == parent_ && handle_) return;
  bool first = parent_ == nullptr;
  parent_ = parent;
  if (!handle_) {
    RegisterControlClass(kWindowedControlClass, &TWindowedControl::WindowProc);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (tabStop_ ? WS_TABSTOP : 0) | (enabled_ ? 0 : WS_DISABLED);
    HWND created = CreateWindowExW(0, kWindowedControlClass, L"", style, left_, top_, width_, height_, parent, nullptr,
                                   GetModuleHandleW(nullptr), this);
    if (!created) ThrowLastError("CreateWindowExW");
    HandleCreated();
  } else {
    ::SetParent(handle_, parent);
  }
  if (first) FirstParent();
}

void TWindowedControl::SetBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (handle_) MoveWindow(handle_, left, top, width, height, TRUE);
}

bool TWindowedControl::Enabled() const noexcept { return handle_ ? IsWindowEnabled(handle_) != FALSE : enabled_; }

void TWindowedControl::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (handle_) EnableWindow(handle_, enabled);
}

void TWindowedControl::SetTabStop(bool tabStop) {
  tabStop_ = tabStop;
  if (!handle_) return;
  LONG_PTR style = GetWindowLongPtrW(handle_, GWL_STYLE);
  style = tabStop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
  SetWindowLongPtrW(handle_, GWL_STYLE, style);
}

bool TWindowedControl::Focused() const noexcept { return handle_ && GetFocus() == handle_; }

void TWindowedControl::SetFocus() {
  if (handle_) ::SetFocus(handle_);
}

void TWindowedControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, FALSE);
}

void TWindowedControl::Repaint() {
  if (!handle_) return;
  InvalidateRect(handle_, nullptr, FALSE);
  UpdateWindow(handle_);
}

void TWindowedControl::DestroyHandle() noexcept {
  HWND window = std::exchange(handle_, nullptr);
  if (!window) return;
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  DestroyWindow(window);
}

LRESULT CALLBACK TWindowedControl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* control = static_cast<TWindowedControl*>(create->lpCreateParams);
    control->handle_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
  }
  auto* control = reinterpret_cast<TWindowedControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!control) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The parent went first: forget the window, keep the object.
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    control->handle_ = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  try {
    LRESULT result = 0;
    if (control->HandleMessage(message, wParam, lParam, result)) return result;
  } catch (...) {
    HoldException(std::current_exception());
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int FormModalResult(HWND form) {
  return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(form, kModalResultProperty)));
}

void SetFormModalResult(HWND form, int result) {
  if (!form) return;
  if (result == 0)
    RemovePropW(form, kModalResultProperty);
  else
    SetPropW(form, kModalResultProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(result)));
}
