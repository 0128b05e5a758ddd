#include "widgets/es_label.h"

#include <algorithm>
#include <cmath>

namespace {

// Marks the face on the second copy when the face is graduated.
constexpr COLORREF kFaceMarker = RGB(241, 9, 254);

int Component(COLORREF Color, int Index) {
  return Index == 0 ? GetRValue(Color) : Index == 1 ? GetGValue(Color) : GetBValue(Color);
}

// from + (to - from) * step / 15 for each component.
COLORREF BandColor(COLORREF From, COLORREF To, int Step) {
  int c[3];
  for (int i = 0; i < 3; ++i) c[i] = Component(From, i) + (Component(To, i) - Component(From, i)) * Step / 15;
  return RGB(c[0], c[1], c[2]);
}

// The layer at distance k of a graduated shade of the given depth.
COLORREF GraduatedShade(COLORREF Shade, COLORREF Face, int Depth, int K) {
  int c[3];
  for (int i = 0; i < 3; ++i) {
    double delta = double(Depth - K) * (Component(Face, i) - Component(Shade, i)) / (Depth - 1);
    c[i] = Component(Shade, i) + static_cast<int>(std::lround(delta));
  }
  return RGB(c[0], c[1], c[2]);
}

}  // namespace

POINT ShadeStep(TEsShadeDirection Direction) {
  switch (Direction) {
    case TEsShadeDirection::sdNone:
      return {0, 0};
    case TEsShadeDirection::sdUp:
      return {0, -1};
    case TEsShadeDirection::sdUpRight:
      return {1, -1};
    case TEsShadeDirection::sdRight:
      return {1, 0};
    case TEsShadeDirection::sdDownRight:
      return {1, 1};
    case TEsShadeDirection::sdDown:
      return {0, 1};
    case TEsShadeDirection::sdDownLeft:
      return {-1, 1};
    case TEsShadeDirection::sdLeft:
      return {-1, 0};
    case TEsShadeDirection::sdUpLeft:
      return {-1, -1};
  }
  return {0, 0};
}

// TEsCustomSettings

#define ES_SETTER(Name, Type, field, notice)      \
  void TEsCustomSettings::Set##Name(Type value) { \
    if (value == field) return;                   \
    field = value;                                \
    notice();                                     \
  }

ES_SETTER(GraduateFromColor, TColor, graduateFromColor_, ColorChanged)
ES_SETTER(GraduateStyle, TEsGraduateStyle, graduateStyle_, StyleChanged)
ES_SETTER(HighlightColor, TColor, highlightColor_, ColorChanged)
ES_SETTER(HighlightDepth, TEsDepth, highlightDepth_, StyleChanged)
ES_SETTER(HighlightDirection, TEsShadeDirection, highlightDirection_, StyleChanged)
ES_SETTER(HighlightStyle, TEsShadeStyle, highlightStyle_, StyleChanged)
ES_SETTER(ShadowColor, TColor, shadowColor_, ColorChanged)
ES_SETTER(ShadowDepth, TEsDepth, shadowDepth_, StyleChanged)
ES_SETTER(ShadowDirection, TEsShadeDirection, shadowDirection_, StyleChanged)
ES_SETTER(ShadowStyle, TEsShadeStyle, shadowStyle_, StyleChanged)

#undef ES_SETTER

void TEsCustomSettings::ColorChanged() {
  if (updating_ == 0) owner_.SettingsNotice(TEsCustomLabel::TNotice::Color);
}

void TEsCustomSettings::StyleChanged() {
  if (updating_ == 0) owner_.SettingsNotice(TEsCustomLabel::TNotice::Style);
}

void TEsCustomSettings::EndUpdate() {
  if (updating_ == 0 || --updating_ != 0) return;
  // One of each, whatever changed inside the batch.
  owner_.SettingsNotice(TEsCustomLabel::TNotice::Color);
  owner_.SettingsNotice(TEsCustomLabel::TNotice::Style);
}

// TEsCustomLabel

TEsCustomLabel::TEsCustomLabel()
    : schemes_{{
          {clWhite, clBlack, clGray},    // csCustom
          {clWhite, clGray, clBlack},    // csText
          {clWhite, clBlack, clGray},    // csWindows
          {clWhite, clBlack, clSilver},  // csEmbossed
          {clYellow, clBlack, clOlive},  // csGold
          {clAqua, clNavy, clTeal},      // csSteel
      }},
      settings_(*this) {
  SetBounds(0, 0, 150, 35);
  font_.Name = "Times New Roman";
  font_.Height = -27;  // 20 points at 96 pixels per inch
  font_.Color = SchemeColors(colorScheme_).Face;
  font_.Charset = DEFAULT_CHARSET;
}

TEsCustomLabel::~TEsCustomLabel() = default;

const TEsSchemeColors& TEsCustomLabel::SchemeColors(TEsColorScheme Scheme) const {
  return schemes_[static_cast<size_t>(Scheme)];
}

void TEsCustomLabel::SetCaption(const std::string& Value) {
  if (Value == caption_) return;
  caption_ = Value;
  TextChanged();
}

void TEsCustomLabel::SetFont(const TFont& Value) {
  if (Value == font_) return;
  font_ = Value;
  fontHandle_.Reset();
  TextChanged();
}

void TEsCustomLabel::SetFontColor(TColor Value) {
  TFont font = font_;
  font.Color = Value;
  SetFont(font);
}

void TEsCustomLabel::SetColor(TColor Value) {
  if (Value == color_) return;
  color_ = Value;
  TextChanged();
}

void TEsCustomLabel::SetTransparent(bool Value) {
  if (Value == transparent_) return;
  transparent_ = Value;
  Invalidate();
}

void TEsCustomLabel::SetAlignment(TAlignment Value) {
  if (Value == alignment_) return;
  alignment_ = Value;
  Invalidate();
}

void TEsCustomLabel::SetWordWrap(bool Value) {
  if (Value == wordWrap_) return;
  wordWrap_ = Value;
  TextChanged();
}

void TEsCustomLabel::SetShowAccelChar(bool Value) {
  if (Value == showAccelChar_) return;
  showAccelChar_ = Value;
  Invalidate();
}

void TEsCustomLabel::SetAppearance(TEsAppearance Value) {
  if (Value == appearance_) return;
  appearance_ = Value;
  LoadAppearance();
  TextChanged();
}

void TEsCustomLabel::SetColorScheme(TEsColorScheme Value) {
  if (Value == colorScheme_) return;
  colorScheme_ = Value;
  LoadColorScheme();
  TextChanged();
}

void TEsCustomLabel::LoadAppearance() {
  const TEsSchemeColors& scheme = SchemeColors(colorScheme_);
  loadingAppearance_ = true;
  settings_.BeginUpdate();
  settings_.SetHighlightColor(scheme.Highlight);
  auto set = [this](TEsShadeDirection highlight, TEsDepth highlightDepth, TEsShadeDirection shadow,
                    TEsDepth ShadowDepth) {
    settings_.SetHighlightDirection(highlight);
    settings_.SetHighlightDepth(highlightDepth);
    settings_.SetShadowDirection(shadow);
    settings_.SetShadowDepth(ShadowDepth);
  };
  using D = TEsShadeDirection;
  switch (appearance_) {
    case TEsAppearance::apNone:
      set(D::sdNone, 0, D::sdNone, 0);
      break;
    case TEsAppearance::apCustom:
      break;
    case TEsAppearance::apFlying:
      set(D::sdDownRight, 1, D::sdDownRight, 5);
      settings_.SetHighlightColor(scheme.Shadow);
      break;
    case TEsAppearance::apRaised:
      set(D::sdUpLeft, 1, D::sdDownRight, 1);
      break;
    case TEsAppearance::apSunken:
      set(D::sdDownRight, 1, D::sdUpLeft, 1);
      break;
    case TEsAppearance::apShadow:
      set(D::sdNone, 0, D::sdDownRight, 2);
      break;
  }
  settings_.EndUpdate();
  loadingAppearance_ = false;
}

void TEsCustomLabel::LoadColorScheme() {
  TEsSchemeColors scheme = SchemeColors(colorScheme_);
  loadingColorScheme_ = true;
  settings_.BeginUpdate();
  settings_.SetHighlightColor(scheme.Highlight);
  SetFontColor(scheme.Face);
  settings_.SetShadowColor(scheme.Shadow);
  if (colorScheme_ != TEsColorScheme::csCustom) schemes_[static_cast<size_t>(TEsColorScheme::csCustom)] = scheme;
  settings_.EndUpdate();
  loadingColorScheme_ = false;
}

void TEsCustomLabel::SettingsNotice(TNotice Notice) {
  if (Notice == TNotice::Color && !loadingColorScheme_) {
    colorScheme_ = TEsColorScheme::csCustom;
    TextChanged();
  } else if (Notice == TNotice::Style && !loadingAppearance_) {
    appearance_ = TEsAppearance::apCustom;
    TextChanged();
  } else {
    Invalidate();
  }
}

void TEsCustomLabel::TextChanged() { Invalidate(); }

HFONT TEsCustomLabel::FontHandle() {
  if (!fontHandle_) fontHandle_ = CreateFontHandle(font_);
  return fontHandle_.Get();
}

void TEsCustomLabel::Paint(HDC Dc) {
  UINT format = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0) | (showAccelChar_ ? 0 : DT_NOPREFIX);
  if (alignment_ == TAlignment::taRightJustify) format |= DT_RIGHT;
  if (alignment_ == TAlignment::taCenter) format |= DT_CENTER;
  DrawLabel(Dc, ClientRect(), format);
}

void TEsCustomLabel::DrawLabel(HDC Target, const RECT& Rect, UINT Format) {
  const int width = Rect.right - Rect.left;
  const int height = Rect.bottom - Rect.top;
  if (width <= 0 || height <= 0) return;
  const COLORREF back = ColorToRGB(color_);
  if (!transparent_) FillSolid(Target, Rect, back);

  const TEsCustomSettings& s = settings_;
  const POINT highlightStep = ShadeStep(s.HighlightDirection());
  const POINT shadowStep = ShadeStep(s.ShadowDirection());
  const int products[] = {highlightStep.x * s.HighlightDepth(), shadowStep.x * s.ShadowDepth(),
                          highlightStep.y * s.HighlightDepth(), shadowStep.y * s.ShadowDepth()};
  int low = 0;
  int high = 0;
  for (int p : products) {
    low = (std::min)(low, p);
    high = (std::max)(high, p);
  }
  int alignShift = 0;
  if (alignment_ == TAlignment::taCenter) alignShift = (high - low) / 2;
  if (alignment_ == TAlignment::taRightJustify) alignShift = high - low;

  TDib work(width, height);
  if (transparent_)
    BitBlt(work.Dc(), 0, 0, width, height, Target, Rect.left, Rect.top, SRCCOPY);
  else
    work.Fill(back);

  const COLORREF face = ColorToRGB(font_.Color);
  auto drawLayer = [&](HDC dc, int dx, int dy, COLORREF color) {
    RECT layer{dx - low - alignShift, dy - low, width + dx - low - alignShift, height + dy - low};
    SetTextColor(dc, color);
    DrawTextA(dc, caption_.data(), static_cast<int>(caption_.size()), &layer, Format);
  };
  auto drawShade = [&](TEsShadeDirection direction, int depth, TEsShadeStyle style, TColor color) {
    const POINT step = ShadeStep(direction);
    const COLORREF shade = ColorToRGB(color);
    if (style == TEsShadeStyle::ssPlain || depth <= 1) {
      drawLayer(work.Dc(), step.x * depth, step.y * depth, shade);
      return;
    }
    for (int k = depth; k >= 1; --k) {
      COLORREF layer = style == TEsShadeStyle::ssGraduated ? GraduatedShade(shade, face, depth, k) : shade;
      drawLayer(work.Dc(), step.x * k, step.y * k, layer);
    }
  };

  TSelectObject font(work.Dc(), FontHandle());
  SetBkMode(work.Dc(), TRANSPARENT);
  drawShade(s.ShadowDirection(), s.ShadowDepth(), s.ShadowStyle(), s.ShadowColor());
  drawShade(s.HighlightDirection(), s.HighlightDepth(), s.HighlightStyle(), s.HighlightColor());

  if (s.GraduateStyle() == TEsGraduateStyle::gsNone) {
    drawLayer(work.Dc(), 0, 0, face);
  } else {
    // The face in the marker colour on a second copy; then 16 bands, from the
    // graduation colour to the face colour, take the marker's place.
    TDib marked(width, height);
    BitBlt(marked.Dc(), 0, 0, width, height, work.Dc(), 0, 0, SRCCOPY);
    {
      TSelectObject markedFont(marked.Dc(), FontHandle());
      SetBkMode(marked.Dc(), TRANSPARENT);
      drawLayer(marked.Dc(), 0, 0, kFaceMarker);
    }
    const COLORREF from = ColorToRGB(s.GraduateFromColor());
    const bool vertical = s.GraduateStyle() == TEsGraduateStyle::gsVertical;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        if (marked.Pixel(x, y) != kFaceMarker) continue;
        int band = vertical ? y * 16 / height : x * 16 / width;
        work.SetPixel(x, y, BandColor(from, face, band));
      }
    }
  }
  BitBlt(Target, Rect.left, Rect.top, width, height, work.Dc(), 0, 0, SRCCOPY);
}
