// A window-less label whose caption is drawn with text effects: shadow and
// highlight copies in a chosen direction and depth, and an optional colour
// graduation of the face. Appearance and colour-scheme presets fill the effect
// settings.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "widgets/toolkit.h"

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TEsGraduateStyle { gsNone, gsHorizontal, gsVertical };
enum class TEsShadeDirection { sdNone, sdUp, sdUpRight, sdRight, sdDownRight, sdDown, sdDownLeft, sdLeft, sdUpLeft };
enum class TEsShadeStyle { ssPlain, ssExtrude, ssGraduated };
enum class TEsAppearance { apNone, apCustom, apFlying, apRaised, apSunken, apShadow };
enum class TEsColorScheme { csCustom, csText, csWindows, csEmbossed, csGold, csSteel };
using TEsDepth = std::uint8_t;

// One pixel step of a shade direction.
POINT ShadeStep(TEsShadeDirection Direction);

class TEsCustomLabel;

// The effect settings of one label. Colour changes send the label a colour
// notice, all other changes a style notice; inside BeginUpdate/EndUpdate the
// notices are held back and EndUpdate sends one of each.
class TEsCustomSettings {
 public:
  explicit TEsCustomSettings(TEsCustomLabel& Owner) : owner_(Owner) {}
  TEsCustomSettings(const TEsCustomSettings&) = delete;
  TEsCustomSettings& operator=(const TEsCustomSettings&) = delete;

  TColor GraduateFromColor() const noexcept { return graduateFromColor_; }
  void SetGraduateFromColor(TColor Value);
  TEsGraduateStyle GraduateStyle() const noexcept { return graduateStyle_; }
  void SetGraduateStyle(TEsGraduateStyle Value);
  TColor HighlightColor() const noexcept { return highlightColor_; }
  void SetHighlightColor(TColor Value);
  TEsDepth HighlightDepth() const noexcept { return highlightDepth_; }
  void SetHighlightDepth(TEsDepth Value);
  TEsShadeDirection HighlightDirection() const noexcept { return highlightDirection_; }
  void SetHighlightDirection(TEsShadeDirection Value);
  TEsShadeStyle HighlightStyle() const noexcept { return highlightStyle_; }
  void SetHighlightStyle(TEsShadeStyle Value);
  TColor ShadowColor() const noexcept { return shadowColor_; }
  void SetShadowColor(TColor Value);
  TEsDepth ShadowDepth() const noexcept { return shadowDepth_; }
  void SetShadowDepth(TEsDepth Value);
  TEsShadeDirection ShadowDirection() const noexcept { return shadowDirection_; }
  void SetShadowDirection(TEsShadeDirection Value);
  TEsShadeStyle ShadowStyle() const noexcept { return shadowStyle_; }
  void SetShadowStyle(TEsShadeStyle Value);

  void BeginUpdate() noexcept { ++updating_; }
  void EndUpdate();

 private:
  void ColorChanged();
  void StyleChanged();

  TEsCustomLabel& owner_;
  int updating_ = 0;
  TColor graduateFromColor_ = clGray;
  TEsGraduateStyle graduateStyle_ = TEsGraduateStyle::gsNone;
  TColor highlightColor_ = clWhite;
  TEsDepth highlightDepth_ = 1;
  TEsShadeDirection highlightDirection_ = TEsShadeDirection::sdUpLeft;
  TEsShadeStyle highlightStyle_ = TEsShadeStyle::ssPlain;
  TColor shadowColor_ = clBlack;
  TEsDepth shadowDepth_ = 1;
  TEsShadeDirection shadowDirection_ = TEsShadeDirection::sdDownRight;
  TEsShadeStyle shadowStyle_ = TEsShadeStyle::ssPlain;
};

struct TEsSchemeColors {
  TColor Highlight;
  TColor Shadow;
  TColor Face;
};

class TEsCustomLabel : public TGraphicControl {
 public:
  TEsCustomLabel();
  ~TEsCustomLabel() override;

  const std::string& Caption() const noexcept { return caption_; }
  void SetCaption(const std::string& Value);
  const TFont& Font() const noexcept { return font_; }
  void SetFont(const TFont& Value);
  TColor FontColor() const noexcept { return font_.Color; }
  void SetFontColor(TColor Value);
  TColor Color() const noexcept { return color_; }
  void SetColor(TColor Value);
  bool Transparent() const noexcept { return transparent_; }
  void SetTransparent(bool Value);
  TAlignment Alignment() const noexcept { return alignment_; }
  virtual void SetAlignment(TAlignment Value);
  bool WordWrap() const noexcept { return wordWrap_; }
  void SetWordWrap(bool Value);
  bool ShowAccelChar() const noexcept { return showAccelChar_; }
  void SetShowAccelChar(bool Value);
  TEsAppearance Appearance() const noexcept { return appearance_; }
  void SetAppearance(TEsAppearance Value);
  TEsColorScheme ColorScheme() const noexcept { return colorScheme_; }
  void SetColorScheme(TEsColorScheme Value);
  TEsCustomSettings& CustomSettings() noexcept { return settings_; }
  const TEsCustomSettings& CustomSettings() const noexcept { return settings_; }
  // The colours of a scheme; the csCustom entry follows the last loaded scheme.
  const TEsSchemeColors& SchemeColors(TEsColorScheme Scheme) const;

  bool Opaque() const override { return !transparent_; }

  // The effect renderer: draws the caption with all its layers into the
  // rectangle of the target, with the given DrawText format.
  void DrawLabel(HDC Target, const RECT& Rect, UINT Format);

 protected:
  void Paint(HDC Dc) override;
  // The caption, the font or the colour changed.
  virtual void TextChanged();
  HFONT FontHandle();

 private:
  friend class TEsCustomSettings;
  enum class TNotice { Color, Style };
  void SettingsNotice(TNotice Notice);
  void LoadAppearance();
  void LoadColorScheme();

  std::string caption_;
  TFont font_;
  TFontHandle fontHandle_;
  TColor color_ = clBtnFace;
  bool transparent_ = true;
  TAlignment alignment_ = TAlignment::taLeftJustify;
  bool wordWrap_ = true;
  bool showAccelChar_ = true;
  TEsAppearance appearance_ = TEsAppearance::apRaised;
  TEsColorScheme colorScheme_ = TEsColorScheme::csWindows;
  std::array<TEsSchemeColors, 6> schemes_;
  bool loadingAppearance_ = false;
  bool loadingColorScheme_ = false;
  TEsCustomSettings settings_;
};
