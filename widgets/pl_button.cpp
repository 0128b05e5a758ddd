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

SIZE TextExtent(HDC dc, const char* text, size_t length) {
  SIZE extent{};
  GetTextExtentPoint32A(dc, text, static_cast<int>(length), &extent);
  return extent;
}

void FrameSolid(HDC dc, const RECT& rect, COLORREF color) {
  TBrushHandle brush(CheckCreated(CreateSolidBrush(color), "CreateSolidBrush"));
  FrameRect(dc, &rect, brush.Get());
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

void DrawGradient(HDC dc, int width, int height, COLORREF begin, COLORREF end) {
  begin = GetNearestColor(dc, begin);
  end = GetNearestColor(dc, end);
  for (int y = 0; y < height; ++y) {
    TPenHandle pen(CheckCreated(CreatePen(PS_SOLID, 1, GradientRow(begin, end, y, height)), "CreatePen"));
    TSelectObject selected(dc, pen.Get());
    MoveToEx(dc, 0, y, nullptr);
    LineTo(dc, width, y);
  }
}

// TplBtnCaption

void TplBtnCaption::Assign(const TplBtnCaption& other) {
  caption_ = other.caption_;
  alignment_ = other.alignment_;
  left_ = other.left_;
  right_ = other.right_;
  owner_.Repaint();
}

void TplBtnCaption::SetCaption(const std::string& value) {
  if (value == caption_) return;
  caption_ = value;
  owner_.Repaint();
}

void TplBtnCaption::SetAlignment(TplBtnAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  owner_.Repaint();
}

void TplBtnCaption::SetLeft(int value) {
  if (value == left_) return;
  left_ = value;
  owner_.Repaint();
}

void TplBtnCaption::SetRight(int value) {
  if (value == right_) return;
  right_ = value;
  owner_.Repaint();
}

// TplBtnImage

void TplBtnImage::Assign(const TplBtnImage& other) {
  bitmap_.Reset(
      other.bitmap_
          ? CheckCreated(static_cast<HBITMAP>(CopyImage(other.bitmap_.Get(), IMAGE_BITMAP, 0, 0, 0)), "CopyImage")
          : nullptr);
  icon_.Reset(other.icon_ ? CheckCreated(CopyIcon(other.icon_.Get()), "CopyIcon") : nullptr);
  left_ = other.left_;
  top_ = other.top_;
  visible_ = other.visible_;
  transParent_ = other.transParent_;
  vertCenter_ = other.vertCenter_;
  horzCenter_ = other.horzCenter_;
  owner_.Repaint();
}

void TplBtnImage::SetBitmap(TBitmapHandle bitmap) {
  icon_.Reset();
  bitmap_ = std::move(bitmap);
  owner_.Repaint();
}

void TplBtnImage::SetIcon(TIconHandle icon) {
  bitmap_.Reset();
  icon_ = std::move(icon);
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

void TplBtnImage::SetLeft(int value) {
  left_ = value;
  horzCenter_ = false;
  owner_.Repaint();
}

void TplBtnImage::SetTop(int value) {
  top_ = value;
  vertCenter_ = false;
  owner_.Repaint();
}

void TplBtnImage::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  owner_.Repaint();
}

void TplBtnImage::SetTransParent(bool value) {
  if (value == transParent_) return;
  transParent_ = value;
  owner_.Repaint();
}

void TplBtnImage::SetVertCenter(bool value) {
  if (value == vertCenter_) return;
  if (!value) top_ = Top();  // the picture stays where it was centred
  vertCenter_ = value;
  if (value) owner_.Repaint();
}

void TplBtnImage::SetHorzCenter(bool value) {
  if (value == horzCenter_) return;
  if (!value) left_ = Left();  // the picture stays where it was centred
  horzCenter_ = value;
  if (value) owner_.Repaint();
}

// TplButton

TplButton::TplButton(std::string name) : name_(std::move(name)), captionA_(*this), captionB_(*this), image_(*this) {
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

void TplButton::SetButtonStyle(TplButtonStyle value) {
  if (value == buttonStyle_) return;
  buttonStyle_ = value;
  UpdateRegion();
  Repaint();
}

void TplButton::SetGradation(bool value) {
  if (value == gradation_) return;
  gradation_ = value;
  if (value) parentColor_ = false;
  Repaint();
}

void TplButton::SetCaptionTop(int value) {
  captionVertCenter_ = false;
  if (value == captionTop_) return;
  captionTop_ = value;
  Repaint();
}

void TplButton::SetCaptionVertCenter(bool value) {
  if (value == captionVertCenter_) return;
  captionVertCenter_ = value;
  if (value) Repaint();
}

void TplButton::SetParentColor(bool value) {
  if (value == parentColor_) return;
  parentColor_ = value;
  // The parent is a form in the button-face colour.
  if (value) color_ = clBtnFace;
  Repaint();
}

void TplButton::SetFont(const TFont& value) {
  parentFont_ = false;
  if (value == font_) return;
  font_ = value;
  fontHandle_.Reset();
  Repaint();
}

void TplButton::SetParentFont(bool value) {
  if (value == parentFont_) return;
  parentFont_ = value;
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

bool TplButton::DialogKey(WPARAM key, const TShiftState& shift) {
  if (shift.Shift || shift.Ctrl || shift.Alt || !hasFocus_) return false;
  // A hidden or disabled button takes no keys.
  if (!Handle() || !IsWindowVisible(Handle()) || !Enabled()) return false;
  if ((key == VK_RETURN && Focused()) || (key == VK_ESCAPE && cancel_)) {
    Click();
    return true;
  }
  return false;
}

bool HandleDialogKey(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  if (message.wParam != VK_RETURN && message.wParam != VK_ESCAPE) return false;
  HWND form = GetAncestor(message.hwnd, GA_ROOT);
  if (!form) return false;
  TShiftState shift = CurrentShiftState();
  std::vector<TplButton*> buttons = liveButtons;  // a click may create or destroy buttons
  for (TplButton* button : buttons) {
    if (std::find(liveButtons.begin(), liveButtons.end(), button) == liveButtons.end()) continue;
    if (!button->Handle() || GetAncestor(button->Handle(), GA_ROOT) != form) continue;
    if (button->DialogKey(message.wParam, shift)) return true;
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

bool TplButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_ERASEBKGND:
      result = 1;  // painting covers everything
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
      POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
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
      POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
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
      if (wParam != VK_RETURN) return false;
      // Only the event: the pressed flag and the modal result stay as they are.
      if (Enabled() && OnClick) OnClick(*this);
      return true;
    case WM_KEYUP:
      if (wParam != VK_RETURN) return false;
      pressed_ = false;
      Repaint();
      return true;
    case WM_GETDLGCODE:
      // Enter and Esc come to the button rather than to the form's default
      // and cancel commands.
      result = (wParam == VK_RETURN || wParam == VK_ESCAPE) ? DLGC_WANTMESSAGE : 0;
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

void TplButton::PaintTo(HDC dc) {
  if (parentColor_) {
    Draw(dc);
    return;
  }
  const int width = (std::max)(Width(), 1);
  const int height = (std::max)(Height(), 1);
  TMemoryDc memory(CheckCreated(CreateCompatibleDC(dc), "CreateCompatibleDC"));
  TBitmapHandle bitmap(CheckCreated(CreateCompatibleBitmap(dc, width, height), "CreateCompatibleBitmap"));
  TSelectObject selected(memory.Get(), bitmap.Get());
  Draw(memory.Get());
  BitBlt(dc, 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
}

void TplButton::Draw(HDC dc) {
  const int width = Width();
  const int height = Height();
  if (gradation_)
    DrawGradient(dc, width, height, ColorToRGB(gradBeginColor_), ColorToRGB(gradEndColor_));
  else
    FillSolid(dc, ClientRect(), ColorToRGB(color_));

  DrawPicture(dc);

  TSelectObject font(dc, CurrentFont());
  SetBkMode(dc, TRANSPARENT);
  const TCaptionPlace place = CaptionPlace(dc);
  if (!captionA_.Caption().empty()) DrawCaption(dc, captionA_, place.TopA);
  if (!captionB_.Caption().empty()) DrawCaption(dc, captionB_, place.TopB);

  DrawFrame(dc);
  DrawFocus(dc);
}

// The caption lines' places on dc, which holds the caption font.
TCaptionPlace TplButton::CaptionPlace(HDC dc) {
  const std::string& a = captionA_.Caption();
  const std::string& b = captionB_.Caption();
  return PlaceCaptions(Height(), TextExtent(dc, a.data(), a.size()).cy, TextExtent(dc, b.data(), b.size()).cy,
                       !a.empty(), !b.empty(), captionLineSpace_, captionVertCenter_, captionTop_);
}

int TplButton::CaptionTop() {
  if (!captionVertCenter_) return captionTop_;
  TMemoryDc measure(CheckCreated(CreateCompatibleDC(nullptr), "CreateCompatibleDC"));
  TSelectObject font(measure.Get(), CurrentFont());
  return CaptionPlace(measure.Get()).CaptionTop;
}

void TplButton::DrawCaption(HDC dc, TplBtnCaption& line, int y) {
  const std::string& text = line.Caption();
  const std::vector<size_t> starts = CharacterStarts(text);
  TplBtnAlignment alignment = line.Alignment();
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
      x = line.Left() + 2;
      break;
    case TplBtnAlignment::taRight:
      x = width - line.Right() - 2;
      textAlign = TA_RIGHT;
      break;
    case TplBtnAlignment::taEven:
      x = line.Left() + 2;
      break;
  }
  const int span = width - line.Left() - line.Right() - 4;
  SetTextAlign(dc, textAlign | TA_TOP);
  if (hasFocus_ && pressed_) {
    ++x;
    ++y;
  }

  std::vector<int> xs;
  if (alignment == TplBtnAlignment::taEven) {
    std::vector<int> widths;
    for (size_t i = 0; i < starts.size(); ++i) {
      size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
      widths.push_back(TextExtent(dc, text.data() + starts[i], end - starts[i]).cx);
    }
    xs = SpreadEven(widths, TextExtent(dc, text.data(), text.size()).cx, span, x);
  }
  auto out = [&](int dx, int dy, COLORREF color) {
    SetTextColor(dc, color);
    if (alignment != TplBtnAlignment::taEven) {
      TextOutA(dc, x + dx, y + dy, text.data(), static_cast<int>(text.size()));
      return;
    }
    for (size_t i = 0; i < starts.size(); ++i) {
      size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
      TextOutA(dc, xs[i] + dx, y + dy, text.data() + starts[i], static_cast<int>(end - starts[i]));
    }
  };
  if (!Enabled() && (hasFocus_ || disableImage_)) {
    out(1, 1, ColorToRGB(clBtnHighlight));
    out(0, 0, ColorToRGB(clBtnShadow));
  } else {
    out(0, 0, ColorToRGB(font_.Color));
  }
}

void TplButton::DrawPicture(HDC dc) {
  if (!image_.visible_ || !image_.HasGraphic()) return;
  const SIZE size = image_.PictureSize();
  if (size.cx <= 0 || size.cy <= 0) return;

  TDib picture(size.cx, size.cy);
  if (image_.IsIcon()) {
    picture.Fill(kIconBackground);
    DrawIconEx(picture.Dc(), 0, 0, image_.Icon(), size.cx, size.cy, 0, nullptr, DI_NORMAL);
  } else {
    TMemoryDc source(CheckCreated(CreateCompatibleDC(dc), "CreateCompatibleDC"));
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
    BitBlt(dc, x, y, size.cx, size.cy, picture.Dc(), 0, 0, SRCCOPY);
    return;
  }
  // Transparent: the bottom-left pixel's colour lets the face show through.
  const COLORREF key = picture.Pixel(0, size.cy - 1);
  TDib under(size.cx, size.cy);
  BitBlt(under.Dc(), 0, 0, size.cx, size.cy, dc, x, y, SRCCOPY);
  for (int py = 0; py < size.cy; ++py) {
    for (int px = 0; px < size.cx; ++px) {
      COLORREF c = picture.Pixel(px, py);
      if (c != key) under.SetPixel(px, py, c);
    }
  }
  BitBlt(dc, x, y, size.cx, size.cy, under.Dc(), 0, 0, SRCCOPY);
}

void TplButton::DrawFrame(HDC dc) {
  RECT client = ClientRect();
  switch (buttonStyle_) {
    case TplButtonStyle::bsNormal:
      if (!pressed_) {
        DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
      } else {
        FrameSolid(dc, client, ColorToRGB(clBtnShadow));
        InflateRect(&client, -1, -1);
        FrameSolid(dc, client, kPressedInner);
      }
      break;
    case TplButtonStyle::bsFlat:
      switch (flatFrameType_) {
        case TplBtnFrameType::bffFlat:
          DrawEdge(dc, &client, EDGE_BUMP, BF_RECT | BF_FLAT);
          break;
        case TplBtnFrameType::bffEtched:
          DrawEdge(dc, &client, EDGE_ETCHED, BF_RECT);
          break;
        case TplBtnFrameType::bffBump:
          DrawEdge(dc, &client, EDGE_BUMP, BF_RECT);
          break;
      }
      break;
    case TplButtonStyle::bsRoundRect: {
      TPenHandle pen(CheckCreated(CreatePen(PS_SOLID, 1, kRoundFrame), "CreatePen"));
      TSelectObject selectedPen(dc, pen.Get());
      TSelectObject selectedBrush(dc, GetStockObject(NULL_BRUSH));
      RoundRect(dc, 0, 0, Width(), Height(), kCornerSize, kCornerSize);
      break;
    }
    case TplButtonStyle::bsFlatNoFrame:
    case TplButtonStyle::bsRoundRectNoFrame:
      break;
  }
}

void TplButton::DrawFocus(HDC dc) {
  if (!hasFocus_ || !Focused()) return;
  if (Round()) {
    LOGBRUSH brush{BS_SOLID, kRoundFocus, 0};
    TPenHandle pen(CheckCreated(ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, nullptr), "ExtCreatePen"));
    TSelectObject selectedPen(dc, pen.Get());
    TSelectObject selectedBrush(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, 2, 2, Width() - 2, Height() - 2, 5, 5);
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
  COLORREF text = SetTextColor(dc, RGB(255, 255, 255));
  COLORREF back = SetBkColor(dc, RGB(0, 0, 0));
  DrawFocusRect(dc, &focus);
  SetBkColor(dc, back);
  SetTextColor(dc, text);
}
