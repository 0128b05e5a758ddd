// The gradient push button: a focusable child window that paints itself
// completely (gradient face, up to two caption lines, an optional picture, a
// frame, a focus rectangle) through one off-screen bitmap.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "widgets/pl_button_layout.h"
#include "widgets/toolkit.h"

enum class TplButtonStyle { bsNormal, bsFlat, bsFlatNoFrame, bsRoundRect, bsRoundRectNoFrame };
enum class TplBtnFrameType { bffFlat, bffEtched, bffBump };
enum class TplBtnAlignment { taCenter, taLeft, taRight, taEven };

// Keys and mouse buttons held, read from the keyboard state.
struct TShiftState {
  bool Shift = false;
  bool Alt = false;
  bool Ctrl = false;
  bool Left = false;
  bool Right = false;
  bool Middle = false;
};
TShiftState CurrentShiftState();

// Draws the gradient (rows as GradientRow gives them) as one line per row across the width. Height 1 draws the
// begin colour; height 0 draws nothing.
void DrawGradient(HDC Dc, int Width, int Height, COLORREF Begin, COLORREF End);

class TplButton;

// One caption line.
class TplBtnCaption {
 public:
  explicit TplBtnCaption(TplButton& Owner) : owner_(Owner) {}
  TplBtnCaption(const TplBtnCaption&) = delete;
  TplBtnCaption& operator=(const TplBtnCaption&) = delete;
  // Copies every field and repaints the owner.
  void Assign(const TplBtnCaption& Other);

  const std::string& Caption() const noexcept { return caption_; }
  void SetCaption(const std::string& Value);
  TplBtnAlignment Alignment() const noexcept { return alignment_; }
  void SetAlignment(TplBtnAlignment Value);
  int Left() const noexcept { return left_; }
  void SetLeft(int Value);
  int Right() const noexcept { return right_; }
  void SetRight(int Value);

 private:
  TplButton& owner_;
  std::string caption_;
  TplBtnAlignment alignment_ = TplBtnAlignment::taCenter;
  int left_ = 0;
  int right_ = 0;
};

// The picture: a bitmap or an icon, owned.
class TplBtnImage {
 public:
  explicit TplBtnImage(TplButton& Owner) : owner_(Owner) {}
  TplBtnImage(const TplBtnImage&) = delete;
  TplBtnImage& operator=(const TplBtnImage&) = delete;
  // Copies every field, the picture by its content, and repaints the owner.
  void Assign(const TplBtnImage& Other);

  void SetBitmap(TBitmapHandle Bitmap);
  void SetIcon(TIconHandle Icon);
  void ClearPicture();
  bool HasGraphic() const noexcept { return bitmap_ || icon_; }
  bool IsIcon() const noexcept { return static_cast<bool>(icon_); }
  HBITMAP Bitmap() const noexcept { return bitmap_.Get(); }
  HICON Icon() const noexcept { return icon_.Get(); }
  SIZE PictureSize() const;

  // Where the picture is drawn: centred in the button while HorzCenter or
  // VertCenter holds (and there is a picture), else as set.
  int Left() const;
  void SetLeft(int Value);
  int Top() const;
  void SetTop(int Value);
  bool Visible() const noexcept { return visible_; }
  void SetVisible(bool Value);
  bool TransParent() const noexcept { return transParent_; }
  void SetTransParent(bool Value);
  bool VertCenter() const noexcept { return vertCenter_; }
  void SetVertCenter(bool Value);
  bool HorzCenter() const noexcept { return horzCenter_; }
  void SetHorzCenter(bool Value);

 private:
  friend class TplButton;
  TplButton& owner_;
  TBitmapHandle bitmap_;
  TIconHandle icon_;
  int left_ = 10;
  int top_ = 0;
  bool visible_ = true;
  bool transParent_ = false;
  bool vertCenter_ = true;
  bool horzCenter_ = false;
};

class TplButton : public TWindowedControl {
 public:
  // name: the component's name; it becomes the first caption line when the
  // button is first given a parent.
  explicit TplButton(std::string Name = "plButton");
  ~TplButton() override;

  const std::string& Name() const noexcept { return name_; }

  TplButtonStyle ButtonStyle() const noexcept { return buttonStyle_; }
  void SetButtonStyle(TplButtonStyle Value);
  bool Cancel() const noexcept { return cancel_; }
  void SetCancel(bool Value);
  bool Gradation() const noexcept { return gradation_; }
  void SetGradation(bool Value);
  TColor GradBeginColor() const noexcept { return gradBeginColor_; }
  void SetGradBeginColor(TColor Value);
  TColor GradEndColor() const noexcept { return gradEndColor_; }
  void SetGradEndColor(TColor Value);
  bool HasFocus() const noexcept { return hasFocus_; }
  void SetHasFocus(bool Value);
  int ModalResult() const noexcept { return modalResult_; }
  void SetModalResult(int Value);
  TplBtnImage& Image() noexcept { return image_; }
  bool DisableImage() const noexcept { return disableImage_; }
  void SetDisableImage(bool Value);
  TplBtnCaption& CaptionA() noexcept { return captionA_; }
  TplBtnCaption& CaptionB() noexcept { return captionB_; }
  int CaptionLineSpace() const noexcept { return captionLineSpace_; }
  void SetCaptionLineSpace(int Value);
  // The top of the caption line placed first; with vertical centring the
  // centred one, for the current font and captions.
  int CaptionTop();
  // Turns vertical centring off.
  void SetCaptionTop(int Value);
  bool CaptionVertCenter() const noexcept { return captionVertCenter_; }
  void SetCaptionVertCenter(bool Value);
  TplBtnFrameType FlatFrameType() const noexcept { return flatFrameType_; }
  void SetFlatFrameType(TplBtnFrameType Value);
  TColor Color() const noexcept { return color_; }
  void SetColor(TColor Value);
  bool ParentColor() const noexcept { return parentColor_; }
  void SetParentColor(bool Value);
  // With ParentFont the parent's WM_GETFONT font is used (this Font when the
  // parent answers none), in this Font's colour.
  const TFont& Font() const noexcept { return font_; }
  void SetFont(const TFont& Value);
  bool ParentFont() const noexcept { return parentFont_; }
  void SetParentFont(bool Value);
  bool Pressed() const noexcept { return pressed_; }

  // Clicks the button: released, the modal result copied to the form, the
  // click event, a repaint.
  void Click();
  // Handles Enter or Esc as a dialog key; true when it clicked the button.
  bool DialogKey(WPARAM Key, const TShiftState& Shift);

  // Paints the whole button on a DC at (0, 0).
  void PaintTo(HDC Dc);
  void Repaint() { TWindowedControl::Repaint(); }

  std::function<void(TplButton&)> OnClick;
  std::function<void(TplButton&, const TShiftState&, int X, int Y)> OnMouseEnter;
  std::function<void(TplButton&, const TShiftState&, int X, int Y)> OnMouseLeave;
  std::function<void(TplButton&)> OnEnter;
  std::function<void(TplButton&)> OnExit;

 protected:
  bool HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam, LRESULT& Result) override;
  void HandleCreated() override;
  void FirstParent() override;

 private:
  void Draw(HDC Dc);
  TCaptionPlace CaptionPlace(HDC Dc);
  void DrawCaption(HDC Dc, TplBtnCaption& Line, int Y);
  void DrawPicture(HDC Dc);
  void DrawFrame(HDC Dc);
  void DrawFocus(HDC Dc);
  void UpdateRegion();
  void MouseEnter();
  void MouseLeave();
  HFONT CurrentFont();
  bool Round() const;

  std::string name_;
  TplButtonStyle buttonStyle_ = TplButtonStyle::bsNormal;
  bool cancel_ = false;
  bool gradation_ = true;
  TColor gradBeginColor_ = clWhite;
  TColor gradEndColor_ = clSilver;
  bool hasFocus_ = true;
  int modalResult_ = 0;
  bool disableImage_ = false;
  int captionLineSpace_ = 4;
  int captionTop_ = 0;
  bool captionVertCenter_ = true;
  TplBtnFrameType flatFrameType_ = TplBtnFrameType::bffFlat;
  TColor color_ = clBtnFace;
  bool parentColor_ = false;
  TFont font_ = DialogFont();
  TFontHandle fontHandle_;
  bool parentFont_ = true;
  bool pressed_ = false;
  bool clicked_ = false;  // the left button went down here and is still held
  bool mouseInside_ = false;
  TplBtnCaption captionA_;
  TplBtnCaption captionB_;
  TplBtnImage image_;
};

// For the message loop, before IsDialogMessage: Enter and Esc key-downs go to
// the buttons of the message's top-level window as dialog keys, in creation
// order; true when a button took the key (the message is then done with).
bool HandleDialogKey(const MSG& Message);
