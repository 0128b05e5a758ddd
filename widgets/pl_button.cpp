#include "widgets/pl_button.h"

#include <windowsx.h>

#include <algorithm>

#include "win32/win32_error.h"

namespace {

std::vector<TplButton*> liveButtons;  // in creation order: the order of the dialog-key broadcast

constexpr int kCornerSize = 7;  // round styles
constexpr COLORREF kRoundFrame = RGB(117, 117, 117);
constexpr COLORREF kRoundFocus = RGB(32, 32, 32);
constexpr COLORREF kPressedInner = RGB(128, 128, 128);
// Background of an icon's bitmap; the bottom-left pixel's colour is transparent.
constexpr COLORREF kIconBackground = RGB(255, 0, 255);

SIZE TextExtent(HDC Dc, const char* Text, size_t Length) {
  SIZE extent{};
  GetTextExtentPoint32A(Dc, Text, static_cast<int>(Length), &extent);
  return extent;
}

void FrameSolid(HDC Dc, const RECT& Rect, COLORREF Color) {
  TBrushHandle brush(CheckCreated(CreateSolidBrush(Color), "CreateSolidBrush"));
  FrameRect(Dc, &Rect, brush.Get());
}

}  // namespace

TShiftState CurrentShiftState() {
  TShiftState state;
  state.Shift = GetKeyState(VK_SHIFT) < 0;
  state.Alt = GetKeyState(VK_MENU) < 0;
  state.Ctrl = GetKeyState(VK_CONTROL) < 0;
  state.Left = GetKeyState(VK_LBUTTON) < 0;
  state.Right = GetKeyState(VK_RBUTTON) < 0;
  state.Middle = GetKeyState(VK_MBUTTON) < 0;
  return state;
}

void DrawGradient(HDC Dc, int Width, int Height, COLORREF Begin, COLORREF End) {
  Begin = GetNearestColor(Dc, Begin);
  End = GetNearestColor(Dc, End);
  for (int y = 0; y < Height; ++y) {
    TPenHandle pen(CheckCreated(CreatePen(PS_SOLID, 1, GradientRow(Begin, End, y, Height)), "CreatePen"));
    TSelectObject selected(Dc, pen.Get());
    MoveToEx(Dc, 0, y, nullptr);
    LineTo(Dc, Width, y);
  }
}

// TplBtnCaption

void TplBtnCaption::Assign(const TplBtnCaption& Other) {
  caption_ = Other.caption_;
  alignment_ = Other.alignment_;
  left_ = Other.left_;
  right_ = Other.right_;
  owner_.Repaint();
}

void TplBtnCaption::SetCaption(const std::string& Value) {
  if (Value == caption_) return;
  caption_ = Value;
  owner_.Repaint();
}

void TplBtnCaption::SetAlignment(TplBtnAlignment Value) {
  if (Value == alignment_) return;
  alignment_ = Value;
  owner_.Repaint();
}

void TplBtnCaption::SetLeft(int Value) {
  if (Value == left_) return;
  left_ = Value;
  owner_.Repaint();
}

void TplBtnCaption::SetRight(int Value) {
  if (Value == right_) return;
  right_ = Value;
  owner_.Repaint();
}

// TplBtnImage

void TplBtnImage::Assign(const TplBtnImage& Other) {
  bitmap_.Reset(
      Other.bitmap_
          ? CheckCreated(static_cast<HBITMAP>(CopyImage(Other.bitmap_.Get(), IMAGE_BITMAP, 0, 0, 0)), "CopyImage")
          : nullptr);
  icon_.Reset(Other.icon_ ? CheckCreated(CopyIcon(Other.icon_.Get()), "CopyIcon") : nullptr);
  left_ = Other.left_;
  top_ = Other.top_;
  visible_ = Other.visible_;
  transParent_ = Other.transParent_;
  vertCenter_ = Other.vertCenter_;
  horzCenter_ = Other.horzCenter_;
  owner_.Repaint();
}

void TplBtnImage::SetBitmap(TBitmapHandle Bitmap) {
  icon_.Reset();
  bitmap_ = std::move(Bitmap);
  owner_.Repaint();
}

void TplBtnImage::SetIcon(TIconHandle Icon) {
  bitmap_.Reset();
  icon_ = std::move(Icon);
  owner_.Repaint();
}

void TplBtnImage::ClearPicture() {
  bitmap_.Reset();
  icon_.Reset();
  owner_.Repaint();
}

SIZE TplBtnImage::PictureSize() const {
  BITMAP info{};
  if (bitmap_) {
    GetObjectW(bitmap_.Get(), sizeof(info), &info);
    return {info.bmWidth, info.bmHeight};
  }
  if (icon_) {
    ICONINFO icon{};
    if (!GetIconInfo(icon_.Get(), &icon)) return {0, 0};
    TBitmapHandle color(icon.hbmColor);
    TBitmapHandle mask(icon.hbmMask);
    if (color) {
      GetObjectW(color.Get(), sizeof(info), &info);
      return {info.bmWidth, info.bmHeight};
    }
    GetObjectW(mask.Get(), sizeof(info), &info);
    return {info.bmWidth, info.bmHeight / 2};  // a monochrome icon: AND mask above XOR mask
  }
  return {0, 0};
}

int TplBtnImage::Left() const {
  if (!horzCenter_ || !HasGraphic()) return left_;
  return PictureOffset(true, owner_.Width(), PictureSize().cx, left_);
}

int TplBtnImage::Top() const {
  if (!vertCenter_ || !HasGraphic()) return top_;
  return PictureOffset(true, owner_.Height(), PictureSize().cy, top_);
}

void TplBtnImage::SetLeft(int Value) {
  left_ = Value;
  horzCenter_ = false;
  owner_.Repaint();
}

void TplBtnImage::SetTop(int Value) {
  top_ = Value;
  vertCenter_ = false;
  owner_.Repaint();
}

void TplBtnImage::SetVisible(bool Value) {
  if (Value == visible_) return;
  visible_ = Value;
  owner_.Repaint();
}

void TplBtnImage::SetTransParent(bool Value) {
  if (Value == transParent_) return;
  transParent_ = Value;
  owner_.Repaint();
}

void TplBtnImage::SetVertCenter(bool Value) {
  if (Value == vertCenter_) return;
  if (!Value) top_ = Top();  // the picture stays where it was centred
  vertCenter_ = Value;
  if (Value) owner_.Repaint();
}

void TplBtnImage::SetHorzCenter(bool Value) {
  if (Value == horzCenter_) return;
  if (!Value) left_ = Left();  // the picture stays where it was centred
  horzCenter_ = Value;
  if (Value) owner_.Repaint();
}

// TplButton

TplButton::TplButton(std::string Name) : name_(std::move(Name)), captionA_(*this), captionB_(*this), image_(*this) {
  SetBounds(0, 0, 75, 26);
  SetTabStop(true);
  liveButtons.push_back(this);
}

TplButton::~TplButton() {
  liveButtons.erase(std::remove(liveButtons.begin(), liveButtons.end(), this), liveButtons.end());
  // The window goes before the members it would paint with.
  DestroyHandle();
}

#define PL_SETTER(Name, Type, field)      \
  void TplButton::Set##Name(Type value) { \
    if (value == field) return;           \
    field = value;                        \
    Repaint();                            \
  }

PL_SETTER(Cancel, bool, cancel_)
PL_SETTER(GradBeginColor, TColor, gradBeginColor_)
PL_SETTER(GradEndColor, TColor, gradEndColor_)
PL_SETTER(HasFocus, bool, hasFocus_)
PL_SETTER(ModalResult, int, modalResult_)
PL_SETTER(DisableImage, bool, disableImage_)
PL_SETTER(CaptionLineSpace, int, captionLineSpace_)
PL_SETTER(FlatFrameType, TplBtnFrameType, flatFrameType_)
PL_SETTER(Color, TColor, color_)

#undef PL_SETTER

void TplButton::SetButtonStyle(TplButtonStyle Value) {
  if (Value == buttonStyle_) return;
  buttonStyle_ = Value;
  UpdateRegion();
  Repaint();
}

void TplButton::SetGradation(bool Value) {
  if (Value == gradation_) return;
  gradation_ = Value;
  if (Value) parentColor_ = false;
  Repaint();
}

void TplButton::SetCaptionTop(int Value) {
  captionVertCenter_ = false;
  if (Value == captionTop_) return;
  captionTop_ = Value;
  Repaint();
}

void TplButton::SetCaptionVertCenter(bool Value) {
  if (Value == captionVertCenter_) return;
  captionVertCenter_ = Value;
  if (Value) Repaint();
}

void TplButton::SetParentColor(bool Value) {
  if (Value == parentColor_) return;
  parentColor_ = Value;
  // The parent is a form in the button-face colour.
  if (Value) color_ = clBtnFace;
  Repaint();
}

void TplButton::SetFont(const TFont& Value) {
  parentFont_ = false;
  if (Value == font_) return;
  font_ = Value;
  fontHandle_.Reset();
  Repaint();
}

void TplButton::SetParentFont(bool Value) {
  if (Value == parentFont_) return;
  parentFont_ = Value;
  Repaint();
}

bool TplButton::Round() const {
  return buttonStyle_ == TplButtonStyle::bsRoundRect || buttonStyle_ == TplButtonStyle::bsRoundRectNoFrame;
}

HFONT TplButton::CurrentFont() {
  if (parentFont_ && Parent()) {
    if (auto font = reinterpret_cast<HFONT>(SendMessageW(Parent(), WM_GETFONT, 0, 0))) return font;
  }
  if (!fontHandle_) fontHandle_ = CreateFontHandle(font_);
  return fontHandle_.Get();
}

void TplButton::UpdateRegion() {
  if (!Handle()) return;
  if (Round()) {
    // The window takes ownership of the region.
    TRegionHandle region(CheckCreated(CreateRoundRectRgn(0, 0, Width() + 1, Height() + 1, kCornerSize, kCornerSize),
                                      "CreateRoundRectRgn"));
    if (SetWindowRgn(Handle(), region.Get(), TRUE)) region.Release();
  } else {
    SetWindowRgn(Handle(), nullptr, TRUE);
  }
}

void TplButton::HandleCreated() { UpdateRegion(); }

void TplButton::FirstParent() { captionA_.SetCaption(name_); }

void TplButton::Click() {
  pressed_ = false;
  if (Handle()) SetFormModalResult(GetAncestor(Handle(), GA_ROOT), modalResult_);
  if (OnClick) OnClick(*this);
  Repaint();
}

bool TplButton::DialogKey(WPARAM Key, const TShiftState& Shift) {
  if (Shift.Shift || Shift.Ctrl || Shift.Alt || !hasFocus_) return false;
  // A hidden or disabled button takes no keys.
  if (!Handle() || !IsWindowVisible(Handle()) || !Enabled()) return false;
  if ((Key == VK_RETURN && Focused()) || (Key == VK_ESCAPE && cancel_)) {
    Click();
    return true;
  }
  return false;
}

bool HandleDialogKey(const MSG& Message) {
  if (Message.message != WM_KEYDOWN) return false;
  if (Message.wParam != VK_RETURN && Message.wParam != VK_ESCAPE) return false;
  HWND form = GetAncestor(Message.hwnd, GA_ROOT);
  if (!form) return false;
  TShiftState shift = CurrentShiftState();
  std::vector<TplButton*> buttons = liveButtons;  // a click may create or destroy buttons
  for (TplButton* button : buttons) {
    if (std::find(liveButtons.begin(), liveButtons.end(), button) == liveButtons.end()) continue;
    if (!button->Handle() || GetAncestor(button->Handle(), GA_ROOT) != form) continue;
    if (button->DialogKey(Message.wParam, shift)) return true;
  }
  return false;
}

void TplButton::MouseEnter() {
  mouseInside_ = true;
  if (OnMouseEnter) {
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(Handle(), &cursor);
    OnMouseEnter(*this, CurrentShiftState(), cursor.x, cursor.y);
  }
  // Coming back while the mouse button is still held: drawn again, still released.
  if (Handle() && GetCapture() == Handle()) Repaint();
}

void TplButton::MouseLeave() {
  mouseInside_ = false;
  if (OnMouseLeave) {
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(Handle(), &cursor);
    OnMouseLeave(*this, CurrentShiftState(), cursor.x, cursor.y);
  }
  pressed_ = false;
  Repaint();
}

bool TplButton::HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam, LRESULT& Result) {
  Result = 0;
  switch (Message) {
    case WM_ERASEBKGND:
      Result = 1;  // painting covers everything
      return true;
    case WM_PAINT: {
      TPaintDc paint(Handle());
      PaintTo(paint.Get());
      return true;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (hasFocus_) SetFocus();
      clicked_ = true;
      SetCapture(Handle());
      pressed_ = true;
      Repaint();
      return true;
    case WM_MOUSEMOVE: {
      POINT point{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      RECT client = ClientRect();
      bool inside = PtInRect(&client, point) != FALSE;
      if (inside && !mouseInside_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
        MouseEnter();
      } else if (!inside && mouseInside_) {
        MouseLeave();
      }
      return true;
    }
    case WM_MOUSELEAVE:
      if (mouseInside_ && GetCapture() != Handle()) MouseLeave();
      return true;
    case WM_LBUTTONUP: {
      bool wasClicked = clicked_;
      clicked_ = false;
      if (GetCapture() == Handle()) ReleaseCapture();
      POINT point{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      RECT client = ClientRect();
      if (wasClicked && PtInRect(&client, point)) Click();
      pressed_ = false;
      Repaint();
      return true;
    }
    case WM_CAPTURECHANGED:
      clicked_ = false;
      return true;
    case WM_KEYDOWN:
      if (WParam != VK_RETURN) return false;
      // Only the event: the pressed flag and the modal result stay as they are.
      if (Enabled() && OnClick) OnClick(*this);
      return true;
    case WM_KEYUP:
      if (WParam != VK_RETURN) return false;
      pressed_ = false;
      Repaint();
      return true;
    case WM_GETDLGCODE:
      // Enter and Esc come to the button rather than to the form's default
      // and cancel commands.
      Result = (WParam == VK_RETURN || WParam == VK_ESCAPE) ? DLGC_WANTMESSAGE : 0;
      return true;
    case WM_SETFOCUS:
      if (hasFocus_) {
        if (OnEnter) OnEnter(*this);
        Repaint();
      }
      return true;
    case WM_KILLFOCUS:
      if (hasFocus_) {
        if (OnExit) OnExit(*this);
        Repaint();
      }
      return true;
    case WM_ENABLE:
      Repaint();
      return true;
    case WM_SIZE:
      UpdateRegion();
      return false;
    default:
      return false;
  }
}

void TplButton::PaintTo(HDC Dc) {
  if (parentColor_) {
    Draw(Dc);
    return;
  }
  const int width = (std::max)(Width(), 1);
  const int height = (std::max)(Height(), 1);
  TMemoryDc memory(CheckCreated(CreateCompatibleDC(Dc), "CreateCompatibleDC"));
  TBitmapHandle bitmap(CheckCreated(CreateCompatibleBitmap(Dc, width, height), "CreateCompatibleBitmap"));
  TSelectObject selected(memory.Get(), bitmap.Get());
  Draw(memory.Get());
  BitBlt(Dc, 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
}

void TplButton::Draw(HDC Dc) {
  const int width = Width();
  const int height = Height();
  if (gradation_)
    DrawGradient(Dc, width, height, ColorToRGB(gradBeginColor_), ColorToRGB(gradEndColor_));
  else
    FillSolid(Dc, ClientRect(), ColorToRGB(color_));

  DrawPicture(Dc);

  TSelectObject font(Dc, CurrentFont());
  SetBkMode(Dc, TRANSPARENT);
  const TCaptionPlace place = CaptionPlace(Dc);
  if (!captionA_.Caption().empty()) DrawCaption(Dc, captionA_, place.TopA);
  if (!captionB_.Caption().empty()) DrawCaption(Dc, captionB_, place.TopB);

  DrawFrame(Dc);
  DrawFocus(Dc);
}

// The caption lines' places on dc, which holds the caption font.
TCaptionPlace TplButton::CaptionPlace(HDC Dc) {
  const std::string& a = captionA_.Caption();
  const std::string& b = captionB_.Caption();
  return PlaceCaptions(Height(), TextExtent(Dc, a.data(), a.size()).cy, TextExtent(Dc, b.data(), b.size()).cy,
                       !a.empty(), !b.empty(), captionLineSpace_, captionVertCenter_, captionTop_);
}

int TplButton::CaptionTop() {
  if (!captionVertCenter_) return captionTop_;
  TMemoryDc measure(CheckCreated(CreateCompatibleDC(nullptr), "CreateCompatibleDC"));
  TSelectObject font(measure.Get(), CurrentFont());
  return CaptionPlace(measure.Get()).CaptionTop;
}

void TplButton::DrawCaption(HDC Dc, TplBtnCaption& Line, int y) {
  const std::string& text = Line.Caption();
  const std::vector<size_t> starts = CharacterStarts(text);
  TplBtnAlignment alignment = Line.Alignment();
  if (alignment == TplBtnAlignment::taEven && starts.size() == 1) alignment = TplBtnAlignment::taCenter;

  const int width = Width();
  int x = 0;
  UINT textAlign = TA_LEFT;
  switch (alignment) {
    case TplBtnAlignment::taCenter:
      x = width / 2;
      textAlign = TA_CENTER;
      break;
    case TplBtnAlignment::taLeft:
      x = Line.Left() + 2;
      break;
    case TplBtnAlignment::taRight:
      x = width - Line.Right() - 2;
      textAlign = TA_RIGHT;
      break;
    case TplBtnAlignment::taEven:
      x = Line.Left() + 2;
      break;
  }
  const int span = width - Line.Left() - Line.Right() - 4;
  SetTextAlign(Dc, textAlign | TA_TOP);
  if (hasFocus_ && pressed_) {
    ++x;
    ++y;
  }

  std::vector<int> xs;
  if (alignment == TplBtnAlignment::taEven) {
    std::vector<int> widths;
    for (size_t i = 0; i < starts.size(); ++i) {
      size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
      widths.push_back(TextExtent(Dc, text.data() + starts[i], end - starts[i]).cx);
    }
    xs = SpreadEven(widths, TextExtent(Dc, text.data(), text.size()).cx, span, x);
  }
  auto out = [&](int dx, int dy, COLORREF color) {
    SetTextColor(Dc, color);
    if (alignment != TplBtnAlignment::taEven) {
      TextOutA(Dc, x + dx, y + dy, text.data(), static_cast<int>(text.size()));
      return;
    }
    for (size_t i = 0; i < starts.size(); ++i) {
      size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
      TextOutA(Dc, xs[i] + dx, y + dy, text.data() + starts[i], static_cast<int>(end - starts[i]));
    }
  };
  if (!Enabled() && (hasFocus_ || disableImage_)) {
    out(1, 1, ColorToRGB(clBtnHighlight));
    out(0, 0, ColorToRGB(clBtnShadow));
  } else {
    out(0, 0, ColorToRGB(font_.Color));
  }
}

void TplButton::DrawPicture(HDC Dc) {
  if (!image_.visible_ || !image_.HasGraphic()) return;
  const SIZE size = image_.PictureSize();
  if (size.cx <= 0 || size.cy <= 0) return;

  TDib picture(size.cx, size.cy);
  if (image_.IsIcon()) {
    picture.Fill(kIconBackground);
    DrawIconEx(picture.Dc(), 0, 0, image_.Icon(), size.cx, size.cy, 0, nullptr, DI_NORMAL);
  } else {
    TMemoryDc source(CheckCreated(CreateCompatibleDC(Dc), "CreateCompatibleDC"));
    TSelectObject selected(source.Get(), image_.Bitmap());
    BitBlt(picture.Dc(), 0, 0, size.cx, size.cy, source.Get(), 0, 0, SRCCOPY);
  }
  if (!Enabled() && (hasFocus_ || disableImage_)) {
    for (int y = 0; y < size.cy; ++y) {
      for (int x = 0; x < size.cx; ++x) {
        COLORREF c = picture.Pixel(x, y);
        int v = (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3 / 2 + 120;
        picture.SetPixel(x, y, RGB(v, v, v));
      }
    }
  }
  int x = PictureOffset(image_.horzCenter_, Width(), size.cx, image_.left_);
  int y = PictureOffset(image_.vertCenter_, Height(), size.cy, image_.top_);
  if (pressed_ && hasFocus_) {
    ++x;
    ++y;
  }
  if (!image_.IsIcon() && !image_.transParent_) {
    BitBlt(Dc, x, y, size.cx, size.cy, picture.Dc(), 0, 0, SRCCOPY);
    return;
  }
  // Transparent: the bottom-left pixel's colour lets the face show through.
  const COLORREF key = picture.Pixel(0, size.cy - 1);
  TDib under(size.cx, size.cy);
  BitBlt(under.Dc(), 0, 0, size.cx, size.cy, Dc, x, y, SRCCOPY);
  for (int py = 0; py < size.cy; ++py) {
    for (int px = 0; px < size.cx; ++px) {
      COLORREF c = picture.Pixel(px, py);
      if (c != key) under.SetPixel(px, py, c);
    }
  }
  BitBlt(Dc, x, y, size.cx, size.cy, under.Dc(), 0, 0, SRCCOPY);
}

void TplButton::DrawFrame(HDC Dc) {
  RECT client = ClientRect();
  switch (buttonStyle_) {
    case TplButtonStyle::bsNormal:
      if (!pressed_) {
        DrawEdge(Dc, &client, EDGE_RAISED, BF_RECT);
      } else {
        FrameSolid(Dc, client, ColorToRGB(clBtnShadow));
        InflateRect(&client, -1, -1);
        FrameSolid(Dc, client, kPressedInner);
      }
      break;
    case TplButtonStyle::bsFlat:
      switch (flatFrameType_) {
        case TplBtnFrameType::bffFlat:
          DrawEdge(Dc, &client, EDGE_BUMP, BF_RECT | BF_FLAT);
          break;
        case TplBtnFrameType::bffEtched:
          DrawEdge(Dc, &client, EDGE_ETCHED, BF_RECT);
          break;
        case TplBtnFrameType::bffBump:
          DrawEdge(Dc, &client, EDGE_BUMP, BF_RECT);
          break;
      }
      break;
    case TplButtonStyle::bsRoundRect: {
      TPenHandle pen(CheckCreated(CreatePen(PS_SOLID, 1, kRoundFrame), "CreatePen"));
      TSelectObject selectedPen(Dc, pen.Get());
      TSelectObject selectedBrush(Dc, GetStockObject(NULL_BRUSH));
      RoundRect(Dc, 0, 0, Width(), Height(), kCornerSize, kCornerSize);
      break;
    }
    case TplButtonStyle::bsFlatNoFrame:
    case TplButtonStyle::bsRoundRectNoFrame:
      break;
  }
}

void TplButton::DrawFocus(HDC Dc) {
  if (!hasFocus_ || !Focused()) return;
  if (Round()) {
    LOGBRUSH brush{BS_SOLID, kRoundFocus, 0};
    TPenHandle pen(CheckCreated(ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, nullptr), "ExtCreatePen"));
    TSelectObject selectedPen(Dc, pen.Get());
    TSelectObject selectedBrush(Dc, GetStockObject(NULL_BRUSH));
    RoundRect(Dc, 2, 2, Width() - 2, Height() - 2, 5, 5);
    return;
  }
  RECT focus = ClientRect();
  InflateRect(&focus, -2, -2);
  if (buttonStyle_ == TplButtonStyle::bsFlat && flatFrameType_ == TplBtnFrameType::bffBump) {
    ++focus.right;
    ++focus.bottom;
  } else if (buttonStyle_ == TplButtonStyle::bsFlat && flatFrameType_ == TplBtnFrameType::bffEtched) {
    --focus.right;
    --focus.bottom;
  }
  // The dotted pattern inverts where it meets the white text colour.
  COLORREF text = SetTextColor(Dc, RGB(255, 255, 255));
  COLORREF back = SetBkColor(Dc, RGB(0, 0, 0));
  DrawFocusRect(Dc, &focus);
  SetBkColor(Dc, back);
  SetTextColor(Dc, text);
}
