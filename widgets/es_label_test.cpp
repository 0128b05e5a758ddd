#include "widgets/es_label.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "widgets/test_support.h"

namespace {

using widgets_test::SharpFont;

constexpr int kWidth = 80;
constexpr int kHeight = 40;
constexpr COLORREF kBack = RGB(200, 210, 220);
constexpr UINT kFormat = DT_EXPANDTABS;

using widgets_test::TTextMask;

struct TLayerCase {
  const char* name;
  std::function<void(TEsCustomLabel&)> configure;
  std::function<COLORREF(const TTextMask&, int X, int Y)> expected;
};

TEST(EsLabel, DrawsShadowHighlightAndFaceLayersAtTheirOffsets) {
  const TFont font = [] {
    TFont f = SharpFont("Times New Roman", -27);
    f.Color = clGray;
    return f;
  }();
  const TLayerCase cases[] = {
      {"raised: shadow at (2,2), highlight at (0,0), face at (1,1)", [](TEsCustomLabel&) {},
       [](const TTextMask& m, int x, int y) {
         if (m(x - 1, y - 1)) return RGB(128, 128, 128);
         if (m(x, y)) return RGB(255, 255, 255);
         if (m(x - 2, y - 2)) return RGB(0, 0, 0);
         return kBack;
       }},
      {"sunken: shadow at (0,0), highlight at (2,2), face at (1,1)",
       [](TEsCustomLabel& l) { l.SetAppearance(TEsAppearance::apSunken); },
       [](const TTextMask& m, int x, int y) {
         if (m(x - 1, y - 1)) return RGB(128, 128, 128);
         if (m(x - 2, y - 2)) return RGB(255, 255, 255);
         if (m(x, y)) return RGB(0, 0, 0);
         return kBack;
       }},
      {"graduated shadow of depth 3 to the right: 150, 75, 0",
       [](TEsCustomLabel& l) {
         l.SetFontColor(RGB(150, 150, 150));
         auto& s = l.CustomSettings();
         s.SetHighlightDirection(TEsShadeDirection::sdNone);
         s.SetHighlightDepth(0);
         s.SetShadowDirection(TEsShadeDirection::sdRight);
         s.SetShadowDepth(3);
         s.SetShadowStyle(TEsShadeStyle::ssGraduated);
       },
       [](const TTextMask& m, int x, int y) {
         if (m(x, y) || m(x - 1, y)) return RGB(150, 150, 150);
         if (m(x - 2, y)) return RGB(75, 75, 75);
         if (m(x - 3, y)) return RGB(0, 0, 0);
         return kBack;
       }},
  };
  for (const TLayerCase& c : cases) {
    SCOPED_TRACE(c.name);
    TEsCustomLabel label;
    label.SetFont(font);
    label.SetCaption("HI");
    label.SetTransparent(false);
    label.SetColor(kBack);
    c.configure(label);
    TDib image(kWidth, kHeight);
    image.Fill(RGB(255, 0, 255));
    label.DrawLabel(image.Dc(), RECT{0, 0, kWidth, kHeight}, kFormat);

    TTextMask mask(font, "HI", kWidth, kHeight, kFormat);
    int wrong = 0;
    int faces = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        faces += mask(x, y);
        COLORREF want = c.expected(mask, x, y);
        if (image.Pixel(x, y) != want && wrong++ == 0)
          ADD_FAILURE() << "first wrong pixel (" << x << ", " << y << "): " << std::hex << image.Pixel(x, y)
                        << " instead of " << want;
      }
    }
    EXPECT_GT(faces, 50) << "the test font drew nothing";
    EXPECT_EQ(wrong, 0);
  }
}

// The graduated face, read column by column (horizontal) or row by row
// (vertical): one colour across each, running from the graduation colour to
// the face colour. The label is cut right after the last ink, so the last
// band holds ink.
TEST(EsLabel, GraduationRunsFromTheGraduationColourToTheFaceColour) {
  const COLORREF from = RGB(255, 0, 0);
  const COLORREF face = RGB(128, 128, 128);
  TFont font = SharpFont("Times New Roman", -27);
  font.Color = face;
  // A caption wide enough that its left bearing lies inside the first of the
  // 16 columns of bands.
  const std::string caption = "HIHIH";
  const int measureWidth = 200;
  TTextMask full(font, caption, measureWidth, kHeight, kFormat);
  TDib probe(measureWidth, kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < measureWidth; ++x) probe.SetPixel(x, y, full(x, y) ? RGB(0, 0, 0) : RGB(255, 255, 255));
  const RECT ink = widgets_test::InkBox(probe, RGB(0, 0, 0), RECT{0, 0, measureWidth, kHeight});
  ASSERT_LT(ink.left, ink.right) << "the test font drew nothing";

  for (const bool vertical : {false, true}) {
    SCOPED_TRACE(vertical ? "vertical" : "horizontal");
    const int width = ink.right;
    const int height = vertical ? ink.bottom : kHeight;
    TEsCustomLabel label;
    label.SetFont(font);
    label.SetCaption(caption);
    label.SetTransparent(false);
    label.SetColor(kBack);
    label.SetAppearance(TEsAppearance::apNone);
    label.CustomSettings().SetGraduateFromColor(from);
    label.CustomSettings().SetGraduateStyle(vertical ? TEsGraduateStyle::gsVertical : TEsGraduateStyle::gsHorizontal);
    TDib image(width, height);
    label.DrawLabel(image.Dc(), RECT{0, 0, width, height}, kFormat);

    // One colour per column (or row), in order.
    std::vector<COLORREF> ramp;
    const int lines = vertical ? height : width;
    const int across = vertical ? width : height;
    for (int i = 0; i < lines; ++i) {
      COLORREF seen = CLR_INVALID;
      for (int j = 0; j < across; ++j) {
        const int x = vertical ? j : i;
        const int y = vertical ? i : j;
        if (!full(x, y)) {
          EXPECT_EQ(image.Pixel(x, y), kBack) << "(" << x << ", " << y << ")";
          continue;
        }
        if (seen == CLR_INVALID) seen = image.Pixel(x, y);
        EXPECT_EQ(image.Pixel(x, y), seen) << "one colour across, at (" << x << ", " << y << ")";
      }
      if (seen != CLR_INVALID) ramp.push_back(seen);
    }
    ASSERT_GE(ramp.size(), 2u);
    if (!vertical) {
      EXPECT_LT(ink.left * 16 / width, 1) << "the first ink column lies in the first band";
      EXPECT_EQ(ramp.front(), from);
    }
    EXPECT_EQ(ramp.back(), face);
    for (std::size_t i = 1; i < ramp.size(); ++i) {
      EXPECT_LE(GetRValue(ramp[i]), GetRValue(ramp[i - 1])) << "red falls toward 128";
      EXPECT_GE(GetGValue(ramp[i]), GetGValue(ramp[i - 1])) << "green rises toward 128";
      EXPECT_GE(GetBValue(ramp[i]), GetBValue(ramp[i - 1])) << "blue rises toward 128";
    }
    EXPECT_NE(ramp.front(), ramp.back());
  }
}

struct TAppearanceCase {
  TEsAppearance appearance;
  TEsShadeDirection highlight;
  int highlightDepth;
  TEsShadeDirection shadow;
  int shadowDepth;
  TColor highlightColor;
};

TEST(EsLabel, AppearancePresetsSetTheShadesAndLeaveTheSchemeCustom) {
  using D = TEsShadeDirection;
  // Loaded on top of the gold scheme: highlight yellow, shadow black.
  const TAppearanceCase cases[] = {
      {TEsAppearance::apNone, D::sdNone, 0, D::sdNone, 0, clYellow},
      {TEsAppearance::apFlying, D::sdDownRight, 1, D::sdDownRight, 5, clBlack},
      {TEsAppearance::apRaised, D::sdUpLeft, 1, D::sdDownRight, 1, clYellow},
      {TEsAppearance::apSunken, D::sdDownRight, 1, D::sdUpLeft, 1, clYellow},
      {TEsAppearance::apShadow, D::sdNone, 0, D::sdDownRight, 2, clYellow},
  };
  for (const TAppearanceCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.appearance));
    TEsCustomLabel label;
    label.SetColorScheme(TEsColorScheme::csGold);
    ASSERT_EQ(label.Appearance(), TEsAppearance::apCustom);
    label.CustomSettings().SetHighlightDepth(7);  // so that every preset changes something
    label.SetAppearance(c.appearance);
    const TEsCustomSettings& s = label.CustomSettings();
    EXPECT_EQ(s.HighlightDirection(), c.highlight);
    EXPECT_EQ(s.HighlightDepth(), c.highlightDepth);
    EXPECT_EQ(s.ShadowDirection(), c.shadow);
    EXPECT_EQ(s.ShadowDepth(), c.shadowDepth);
    EXPECT_EQ(s.HighlightColor(), c.highlightColor);
    EXPECT_EQ(label.Appearance(), c.appearance);
    EXPECT_EQ(label.ColorScheme(), TEsColorScheme::csCustom);
  }
}

TEST(EsLabel, ColorSchemesSetTheColoursAndBecomeTheCustomEntry) {
  const struct {
    TEsColorScheme scheme;
    TEsSchemeColors colors;
  } cases[] = {
      {TEsColorScheme::csText, {clWhite, clGray, clBlack}},
      {TEsColorScheme::csEmbossed, {clWhite, clBlack, clSilver}},
      {TEsColorScheme::csGold, {clYellow, clBlack, clOlive}},
      {TEsColorScheme::csSteel, {clAqua, clNavy, clTeal}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.scheme));
    TEsCustomLabel label;
    label.SetColorScheme(c.scheme);
    EXPECT_EQ(label.CustomSettings().HighlightColor(), c.colors.Highlight);
    EXPECT_EQ(label.CustomSettings().ShadowColor(), c.colors.Shadow);
    EXPECT_EQ(label.FontColor(), c.colors.Face);
    EXPECT_EQ(label.ColorScheme(), c.scheme);
    EXPECT_EQ(label.Appearance(), TEsAppearance::apCustom);
    // Back to csCustom: the colours of the scheme loaded last.
    label.SetColorScheme(TEsColorScheme::csCustom);
    EXPECT_EQ(label.CustomSettings().HighlightColor(), c.colors.Highlight);
    EXPECT_EQ(label.CustomSettings().ShadowColor(), c.colors.Shadow);
    EXPECT_EQ(label.FontColor(), c.colors.Face);
  }
  // csWindows is the default and matches the dialog's banner.
  TEsCustomLabel fresh;
  EXPECT_EQ(fresh.ColorScheme(), TEsColorScheme::csWindows);
  EXPECT_EQ(fresh.Appearance(), TEsAppearance::apRaised);
  EXPECT_EQ(fresh.FontColor(), clGray);
}

TEST(EsLabel, ChangingASettingByHandMakesThePresetCustom) {
  const struct {
    const char* name;
    std::function<void(TEsCustomSettings&)> change;
    TEsColorScheme scheme;
    TEsAppearance appearance;
  } cases[] = {
      {"highlight colour", [](TEsCustomSettings& s) { s.SetHighlightColor(RGB(1, 2, 3)); }, TEsColorScheme::csCustom,
       TEsAppearance::apRaised},
      {"graduation colour", [](TEsCustomSettings& s) { s.SetGraduateFromColor(RGB(1, 2, 3)); },
       TEsColorScheme::csCustom, TEsAppearance::apRaised},
      {"shadow depth", [](TEsCustomSettings& s) { s.SetShadowDepth(3); }, TEsColorScheme::csWindows,
       TEsAppearance::apCustom},
      {"same value: no notice", [](TEsCustomSettings& s) { s.SetShadowDepth(1); }, TEsColorScheme::csWindows,
       TEsAppearance::apRaised},
      {"a batch sends both notices",
       [](TEsCustomSettings& s) {
         s.BeginUpdate();
         s.SetShadowDepth(3);
         s.EndUpdate();
       },
       TEsColorScheme::csCustom, TEsAppearance::apCustom},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TEsCustomLabel label;
    c.change(label.CustomSettings());
    EXPECT_EQ(label.ColorScheme(), c.scheme);
    EXPECT_EQ(label.Appearance(), c.appearance);
  }
}

}  // namespace
