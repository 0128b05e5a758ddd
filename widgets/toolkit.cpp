#include "widgets/toolkit.h"

#include <algorithm>
#include <vector>

#include "win32/win32_error.h"

namespace {

std::exception_ptr heldException;
std::vector<TGraphicControl*> graphicControls;  // in creation order

constexpr wchar_t kWindowedControlClass[] = L"OrvelineWindowedControl";
constexpr wchar_t kModalResultProperty[] = L"OrvelineModalResult";

HBITMAP MakeDibSection(int Width, int Height, std::uint32_t** Bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = Width;
  info.bmiHeader.biHeight = -Height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap =
      CheckCreated(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0), "CreateDIBSection");
  *Bits = static_cast<std::uint32_t*>(pixels);
  return bitmap;
}

}  // namespace

COLORREF ColorToRGB(TColor Color) {
  if (Color & 0x80000000) return GetSysColor(static_cast<int>(Color & 0xFF));
  return Color & 0xFFFFFF;
}

bool operator==(const TFont& A, const TFont& B) {
  return A.Name == B.Name && A.Height == B.Height && A.Color == B.Color && A.Charset == B.Charset && A.Bold == B.Bold &&
         A.Italic == B.Italic && A.Quality == B.Quality;
}

TFontHandle CreateFontHandle(const TFont& Font) {
  return TFontHandle(CheckCreated(CreateFontA(Font.Height, 0, 0, 0, Font.Bold ? FW_BOLD : FW_NORMAL, Font.Italic, FALSE,
                                              FALSE, Font.Charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                              Font.Quality, DEFAULT_PITCH | FF_DONTCARE, Font.Name.c_str()),
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

TDib::TDib(int Width, int Height)
    : width_((std::max)(Width, 1)),
      height_((std::max)(Height, 1)),
      dc_(CheckCreated(CreateCompatibleDC(nullptr), "CreateCompatibleDC")),
      bitmap_(MakeDibSection(width_, height_, &bits_)),
      selected_(dc_.Get(), bitmap_.Get()) {}

COLORREF TDib::Pixel(int X, int Y) const noexcept {
  if (X < 0 || Y < 0 || X >= width_ || Y >= height_) return 0;
  GdiFlush();
  std::uint32_t value = bits_[static_cast<size_t>(Y) * width_ + X];
  return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

void TDib::SetPixel(int X, int Y, COLORREF Color) noexcept {
  if (X < 0 || Y < 0 || X >= width_ || Y >= height_) return;
  GdiFlush();
  bits_[static_cast<size_t>(Y) * width_ + X] = (GetRValue(Color) << 16) | (GetGValue(Color) << 8) | GetBValue(Color);
}

void TDib::Fill(COLORREF Color) noexcept {
  RECT all{0, 0, width_, height_};
  FillSolid(Dc(), all, Color);
}

void FillSolid(HDC Dc, const RECT& Rect, COLORREF Color) {
  // ExtTextOut with an opaque rectangle fills without a brush object.
  COLORREF previous = SetBkColor(Dc, Color);
  ExtTextOutA(Dc, 0, 0, ETO_OPAQUE, &Rect, nullptr, 0, nullptr);
  SetBkColor(Dc, previous);
}

void RegisterControlClass(const wchar_t* Name, WNDPROC Procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  if (GetClassInfoExW(GetModuleHandleW(nullptr), Name, &windowClass)) return;
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = Name;
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    ThrowLastError("RegisterClassExW");
}

void HoldException(std::exception_ptr Error) noexcept {
  if (!heldException) heldException = Error;
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

void TGraphicControl::SetParent(HWND Parent) {
  if (Parent == parent_) return;
  Invalidate();
  parent_ = Parent;
  ParentChanged();
  Invalidate();
}

void TGraphicControl::SetBounds(int Left, int Top, int Width, int Height) {
  if (Left == left_ && Top == top_ && Width == width_ && Height == height_) return;
  Invalidate();
  left_ = Left;
  top_ = Top;
  width_ = Width;
  height_ = Height;
  BoundsChanged();
  Invalidate();
}

void TGraphicControl::SetVisible(bool Visible) {
  if (Visible == visible_) return;
  visible_ = Visible;
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

void TGraphicControl::PaintOn(HDC ParentDc) {
  int saved = SaveDC(ParentDc);
  IntersectClipRect(ParentDc, left_, top_, left_ + width_, top_ + height_);
  OffsetViewportOrgEx(ParentDc, left_, top_, nullptr);
  Paint(ParentDc);
  RestoreDC(ParentDc, saved);
}

void PaintGraphicControls(HWND Parent, HDC Dc) {
  RECT clip;
  bool hasClip = GetClipBox(Dc, &clip) != ERROR;
  // A control may repaint its parent while painting; walk over a copy.
  std::vector<TGraphicControl*> controls = graphicControls;
  for (TGraphicControl* control : controls) {
    if (control->Parent() != Parent || !control->Visible()) continue;
    RECT bounds = control->BoundsRect();
    RECT meet;
    if (hasClip && !IntersectRect(&meet, &bounds, &clip)) continue;
    // Called from the parent's window procedure: nothing may unwind through it.
    try {
      control->PaintOn(Dc);
    } catch (...) {
      HoldException(std::current_exception());
    }
  }
  for (TGraphicControl* control : controls) {
    if (control->Parent() != Parent || !control->Visible() || !control->Opaque()) continue;
    RECT bounds = control->BoundsRect();
    ExcludeClipRect(Dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
  }
}

void PaintFormSurface(HWND Form, HDC Dc) {
  PaintGraphicControls(Form, Dc);
  RECT client;
  GetClientRect(Form, &client);
  FillRect(Dc, &client, GetSysColorBrush(COLOR_BTNFACE));
}

// TWindowedControl

TWindowedControl::~TWindowedControl() { DestroyHandle(); }

void TWindowedControl::SetParent(HWND Parent) {
  if (Parent == parent_ && handle_) return;
  bool first = parent_ == nullptr;
  parent_ = Parent;
  if (!handle_) {
    RegisterControlClass(kWindowedControlClass, &TWindowedControl::WindowProc);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (tabStop_ ? WS_TABSTOP : 0) | (enabled_ ? 0 : WS_DISABLED);
    HWND created = CreateWindowExW(0, kWindowedControlClass, L"", style, left_, top_, width_, height_, Parent, nullptr,
                                   GetModuleHandleW(nullptr), this);
    if (!created) ThrowLastError("CreateWindowExW");
    HandleCreated();
  } else {
    ::SetParent(handle_, Parent);
  }
  if (first) FirstParent();
}

void TWindowedControl::SetBounds(int Left, int Top, int Width, int Height) {
  left_ = Left;
  top_ = Top;
  width_ = Width;
  height_ = Height;
  if (handle_) MoveWindow(handle_, Left, Top, Width, Height, TRUE);
}

bool TWindowedControl::Enabled() const noexcept { return handle_ ? IsWindowEnabled(handle_) != FALSE : enabled_; }

void TWindowedControl::SetEnabled(bool Enabled) {
  enabled_ = Enabled;
  if (handle_) EnableWindow(handle_, Enabled);
}

void TWindowedControl::SetTabStop(bool TabStop) {
  tabStop_ = TabStop;
  if (!handle_) return;
  LONG_PTR style = GetWindowLongPtrW(handle_, GWL_STYLE);
  style = TabStop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
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

LRESULT CALLBACK TWindowedControl::WindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(LParam);
    auto* control = static_cast<TWindowedControl*>(create->lpCreateParams);
    control->handle_ = Window;
    SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
  }
  auto* control = reinterpret_cast<TWindowedControl*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
  if (!control) return DefWindowProcW(Window, Message, WParam, LParam);
  if (Message == WM_NCDESTROY) {
    // The parent went first: forget the window, keep the object.
    SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
    control->handle_ = nullptr;
    return DefWindowProcW(Window, Message, WParam, LParam);
  }
  try {
    LRESULT result = 0;
    if (control->HandleMessage(Message, WParam, LParam, result)) return result;
  } catch (...) {
    HoldException(std::current_exception());
    return 0;
  }
  return DefWindowProcW(Window, Message, WParam, LParam);
}

int FormModalResult(HWND Form) {
  return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(Form, kModalResultProperty)));
}

void SetFormModalResult(HWND Form, int Result) {
  if (!Form) return;
  if (Result == 0)
    RemovePropW(Form, kModalResultProperty);
  else
    SetPropW(Form, kModalResultProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(Result)));
}
