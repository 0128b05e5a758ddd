// The small control toolkit under the banner and the button: colours, fonts,
// 32-bit off-screen images, a window-less control that paints on its parent,
// a windowed control that paints itself, and the hand-over of exceptions out
// of window procedures.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <string>

#include "win32/win_handles.h"

// A colour: 0x00BBGGRR, or 0x800000nn for the system colour nn (COLOR_...).
using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clOlive = 0x008080;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clNavy = 0x800000;
constexpr TColor clTeal = 0x808000;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clWindowText = 0x80000000 | COLOR_WINDOWTEXT;
constexpr TColor clBtnFace = 0x80000000 | COLOR_BTNFACE;
constexpr TColor clBtnShadow = 0x80000000 | COLOR_BTNSHADOW;
constexpr TColor clBtnHighlight = 0x80000000 | COLOR_BTNHIGHLIGHT;

// System colours become their current RGB value; others are returned as they are.
COLORREF ColorToRGB(TColor Color);

// A font description; the name is a code-page-932 byte string.
struct TFont {
  std::string Name;
  int Height = -12;  // negative: character height in pixels; positive: cell height
  TColor Color = clWindowText;
  BYTE Charset = DEFAULT_CHARSET;
  bool Bold = false;
  bool Italic = false;
  BYTE Quality = DEFAULT_QUALITY;
};
bool operator==(const TFont& A, const TFont& B);

TFontHandle CreateFontHandle(const TFont& Font);

// The dialog font: "ＭＳ Ｐゴシック", 12 pixels, Shift-JIS.
TFont DialogFont();

// A top-down 32-bit DIB section selected into its own memory DC: the widgets'
// off-screen copies, and the surface the tests paint on and read back.
class TDib {
 public:
  TDib(int Width, int Height);
  TDib(TDib&&) = default;
  TDib& operator=(TDib&&) = default;

  HDC Dc() const noexcept { return dc_.Get(); }
  int Width() const noexcept { return width_; }
  int Height() const noexcept { return height_; }
  // RGB of one pixel; outside the image black.
  COLORREF Pixel(int X, int Y) const noexcept;
  void SetPixel(int X, int Y, COLORREF Color) noexcept;
  void Fill(COLORREF Color) noexcept;

 private:
  int width_;
  int height_;
  std::uint32_t* bits_ = nullptr;  // 0x00RRGGBB per pixel, rows top to bottom
  TMemoryDc dc_;
  TBitmapHandle bitmap_;
  TSelectObject selected_;
};

// Fills a rectangle with a solid colour.
void FillSolid(HDC Dc, const RECT& Rect, COLORREF Color);

// Exceptions never leave a window procedure: the procedure holds the first one
// and the message loop rethrows it after DispatchMessage returns.
void HoldException(std::exception_ptr Error) noexcept;
void RethrowHeldException();

// A control without a window of its own: it paints on its parent's surface,
// inside its bounds. The parent paints these controls from its WM_PAINT with
// PaintGraphicControls.
class TGraphicControl {
 public:
  TGraphicControl();
  virtual ~TGraphicControl();
  TGraphicControl(const TGraphicControl&) = delete;
  TGraphicControl& operator=(const TGraphicControl&) = delete;

  HWND Parent() const noexcept { return parent_; }
  void SetParent(HWND Parent);
  int Left() const noexcept { return left_; }
  int Top() const noexcept { return top_; }
  int Width() const noexcept { return width_; }
  int Height() const noexcept { return height_; }
  void SetBounds(int Left, int Top, int Width, int Height);
  RECT BoundsRect() const noexcept { return {left_, top_, left_ + width_, top_ + height_}; }
  RECT ClientRect() const noexcept { return {0, 0, width_, height_}; }
  bool Visible() const noexcept { return visible_; }
  void SetVisible(bool Visible);

  // Marks the control's area of the parent for painting.
  virtual void Invalidate();
  // Invalidates and paints at once.
  void Repaint();
  // Paints the control on a DC of its parent (origin at the parent's client
  // top left); clipped to the bounds.
  void PaintOn(HDC ParentDc);
  // True when the control covers its whole area, so the parent need not
  // paint under it.
  virtual bool Opaque() const { return false; }

 protected:
  // Paints on a DC whose origin is the control's top left.
  virtual void Paint(HDC Dc) = 0;
  virtual void ParentChanged() {}
  virtual void BoundsChanged() {}

 private:
  HWND parent_ = nullptr;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  bool visible_ = true;
};

// Paints every visible window-less control of the parent, then excludes the
// opaque ones from the DC's clip region, so that the parent's own background
// fill afterwards leaves them alone. A failure is held (HoldException).
void PaintGraphicControls(HWND Parent, HDC Dc);
// A form's whole WM_PAINT: its window-less controls, then the button-face
// colour around them.
void PaintFormSurface(HWND Form, HDC Dc);

// Registers a window class of this module once (a second call does nothing).
void RegisterControlClass(const wchar_t* Name, WNDPROC Procedure);

// A child window that paints itself completely. The window is made when the
// control is first given a parent and destroyed with the control.
class TWindowedControl {
 public:
  TWindowedControl() = default;
  virtual ~TWindowedControl();
  TWindowedControl(const TWindowedControl&) = delete;
  TWindowedControl& operator=(const TWindowedControl&) = delete;

  HWND Handle() const noexcept { return handle_; }
  HWND Parent() const noexcept { return parent_; }
  void SetParent(HWND Parent);
  int Left() const noexcept { return left_; }
  int Top() const noexcept { return top_; }
  int Width() const noexcept { return width_; }
  int Height() const noexcept { return height_; }
  void SetBounds(int Left, int Top, int Width, int Height);
  RECT ClientRect() const noexcept { return {0, 0, width_, height_}; }
  bool Enabled() const noexcept;
  void SetEnabled(bool Enabled);
  bool TabStop() const noexcept { return tabStop_; }
  void SetTabStop(bool TabStop);
  // The control holds the keyboard focus (the form's active control).
  bool Focused() const noexcept;
  void SetFocus();

  void Invalidate();
  void Repaint();

 protected:
  // Answers a message; false hands it to DefWindowProc. Exceptions are held
  // (HoldException) by the window procedure.
  virtual bool HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam, LRESULT& Result) = 0;
  virtual void HandleCreated() {}
  virtual void FirstParent() {}
  // Destroys the window without calling back into the (partly destroyed) object.
  void DestroyHandle() noexcept;

 private:
  static LRESULT CALLBACK WindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);

  HWND handle_ = nullptr;
  HWND parent_ = nullptr;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  bool enabled_ = true;
  bool tabStop_ = false;
};

// The modal result of a top-level form, as buttons set it when clicked.
int FormModalResult(HWND Form);
void SetFormModalResult(HWND Form, int Result);
