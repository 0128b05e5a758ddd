#include "widgets/pl_button.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "widgets/test_support.h"

namespace {

using widgets_test::CountPixels;
using widgets_test::InkBox;
using widgets_test::PumpMessages;
using widgets_test::SharpFont;
using widgets_test::TTestWindow;

const char kRun[] = "\x8e\xc0\x81\x40\x8d\x73";  // 実　行

COLORREF Sys(int Index) { return GetSysColor(Index); }

// A text font of exactly 12 pixels' height, without smoothing.
TFont TwelvePixelFont() { return SharpFont("\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e", 12); }

// A dialog-like window whose font the buttons take, with the dialog's button on it.
struct TButtonFixture {
  explicit TButtonFixture(int Height = 26)
      : font(CreateFontHandle(TwelvePixelFont())), window(300, 120, font.Get()), button("plButton1") {
    button.SetBounds(10, 10, 75, Height);
    button.SetParent(window.Handle());
    button.SetGradEndColor(clMoneyGreen);
    button.CaptionA().SetCaption(kRun);
    PumpMessages();
  }
  TDib Paint() {
    TDib image(button.Width(), button.Height());
    image.Fill(RGB(255, 0, 255));
    button.PaintTo(image.Dc());
    return image;
  }
  void Send(UINT Message, int X, int Y, WPARAM Keys = 0) {
    SendMessageW(button.Handle(), Message, Keys, MAKELPARAM(X, Y));
  }

  TFontHandle font;
  TTestWindow window;
  TplButton button;
};

// The text drawn alone, in black on white, as the reference of where the
// caption's ink must be.
struct TTextAt {
  const char* text;
  int x;
  int y;
  UINT align;
};
TDib Reference(int Width, int Height, std::initializer_list<TTextAt> Texts) {
  TDib image(Width, Height);
  image.Fill(RGB(255, 255, 255));
  TFontHandle font = CreateFontHandle(TwelvePixelFont());
  TSelectObject selected(image.Dc(), font.Get());
  SetBkMode(image.Dc(), TRANSPARENT);
  SetTextColor(image.Dc(), RGB(0, 0, 0));
  for (const TTextAt& t : Texts) {
    SetTextAlign(image.Dc(), t.align | TA_TOP);
    TextOutA(image.Dc(), t.x, t.y, t.text, static_cast<int>(strlen(t.text)));
  }
  return image;
}

// Compares the caption's ink inside the frame with the reference text.
void ExpectInkLike(const TDib& Button, const TDib& Reference, COLORREF Ink) {
  int wrong = 0;
  int inked = 0;
  for (int y = 2; y < Button.Height() - 2; ++y) {
    for (int x = 2; x < Button.Width() - 2; ++x) {
      bool want = Reference.Pixel(x, y) == RGB(0, 0, 0);
      inked += want;
      if ((Button.Pixel(x, y) == Ink) != want && wrong++ == 0)
        ADD_FAILURE() << "first wrong pixel (" << x << ", " << y << ")";
    }
  }
  EXPECT_GT(inked, 10) << "the reference drew nothing";
  EXPECT_EQ(wrong, 0);
}

TEST(PlButton, GradientRunsFromTheBeginColourToTheEndColourRowByRow) {
  TButtonFixture f;
  f.button.SetButtonStyle(TplButtonStyle::bsFlatNoFrame);
  f.button.CaptionA().SetCaption("");
  TDib image = f.Paint();
  EXPECT_EQ(image.Pixel(37, 0), RGB(255, 255, 255));
  EXPECT_EQ(image.Pixel(37, 12), RGB(225, 239, 225));
  EXPECT_EQ(image.Pixel(37, 25), RGB(192, 220, 192));
  EXPECT_EQ(image.Pixel(0, 25), RGB(192, 220, 192));
  EXPECT_EQ(image.Pixel(74, 25), RGB(192, 220, 192)) << "the line reaches the right edge";

  // Height 1: the begin colour; height 0: nothing.
  TDib strip(75, 3);
  strip.Fill(RGB(255, 0, 255));
  DrawGradient(strip.Dc(), 75, 1, RGB(10, 20, 30), RGB(200, 200, 200));
  EXPECT_EQ(strip.Pixel(5, 0), RGB(10, 20, 30));
  EXPECT_EQ(strip.Pixel(5, 1), RGB(255, 0, 255));
  strip.Fill(RGB(255, 0, 255));
  DrawGradient(strip.Dc(), 75, 0, RGB(10, 20, 30), RGB(200, 200, 200));
  EXPECT_EQ(strip.Pixel(5, 0), RGB(255, 0, 255));
}

TEST(PlButton, CaptionLinesArePlacedByTopCentringAndPress) {
  const COLORREF ink = Sys(COLOR_WINDOWTEXT);
  const struct {
    const char* name;
    int height;
    std::function<void(TplButton&)> setUp;
    bool pressed;
    std::function<TDib(int H)> reference;
    int captionTop;
  } cases[] = {
      {"CaptionTop 8 without centring: top 8, centred on x 37", 26, [](TplButton& b) { b.SetCaptionTop(8); }, false,
       [](int h) {
         return Reference(75, h, {{kRun, 37, 8, TA_CENTER}});
       },
       8},
      {"centred with an empty second line: (26 - 12) / 2 + 1", 26, [](TplButton& b) { b.SetCaptionVertCenter(true); },
       false,
       [](int h) {
         return Reference(75, h, {{kRun, 37, 8, TA_CENTER}});
       },
       8},
      {"pressed: one pixel right and down", 26, [](TplButton& b) { b.SetCaptionTop(8); }, true,
       [](int h) {
         return Reference(75, h, {{kRun, 38, 9, TA_CENTER}});
       },
       8},
      {"two lines centred: (40 - 24 - 4) / 2 and 6 + 12 + 4", 40,
       [](TplButton& b) {
         b.SetCaptionVertCenter(true);
         b.CaptionA().SetCaption("AB");
         b.CaptionB().SetCaption("CD");
       },
       false,
       [](int h) {
         return Reference(75, h, {{"AB", 37, 6, TA_CENTER}, {"CD", 37, 22, TA_CENTER}});
       },
       6},
      {"second line alone, not centred: at CaptionTop", 26,
       [](TplButton& b) {
         b.CaptionA().SetCaption("");
         b.CaptionB().SetCaption("CD");
         b.SetCaptionTop(5);
       },
       false,
       [](int h) {
         return Reference(75, h, {{"CD", 37, 5, TA_CENTER}});
       },
       5},
      {"left and right lines keep 2 pixels and their margins", 40,
       [](TplButton& b) {
         b.SetCaptionTop(4);
         b.CaptionA().SetCaption("AB");
         b.CaptionA().SetAlignment(TplBtnAlignment::taLeft);
         b.CaptionA().SetLeft(3);
         b.CaptionB().SetCaption("CD");
         b.CaptionB().SetAlignment(TplBtnAlignment::taRight);
         b.CaptionB().SetRight(5);
       },
       false,
       [](int h) {
         return Reference(75, h, {{"AB", 5, 4, TA_LEFT}, {"CD", 68, 20, TA_RIGHT}});
       },
       4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TButtonFixture f(c.height);
    c.setUp(f.button);
    if (c.pressed) f.Send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    TDib image = f.Paint();
    ExpectInkLike(image, c.reference(c.height), ink);
    EXPECT_EQ(f.button.CaptionTop(), c.captionTop);
    if (c.pressed) f.Send(WM_LBUTTONUP, 5, 5);
  }
}

TEST(PlButton, EvenCaptionSpreadsOverTheButtonAndOneCharacterIsCentred) {
  const COLORREF ink = Sys(COLOR_WINDOWTEXT);
  TButtonFixture f;
  f.button.SetCaptionTop(7);
  f.button.CaptionA().SetAlignment(TplBtnAlignment::taEven);
  f.button.CaptionA().SetCaption("ABC");
  {
    TDib measure(10, 10);
    TFontHandle font = CreateFontHandle(TwelvePixelFont());
    TSelectObject selected(measure.Dc(), font.Get());
    SIZE a, c, all;
    GetTextExtentPoint32A(measure.Dc(), "A", 1, &a);
    GetTextExtentPoint32A(measure.Dc(), "C", 1, &c);
    GetTextExtentPoint32A(measure.Dc(), "ABC", 3, &all);
    const int b = all.cx - a.cx - c.cx;
    // Three characters over the 71 pixels from x 2 (75 less the 2-pixel
    // margins): two equal gaps, an odd spare pixel to the first gap.
    const int spare = 71 - all.cx;
    const int xB = 2 + a.cx + spare / 2 + spare % 2;
    const int xC = xB + b + spare / 2;
    ASSERT_EQ(xC + c.cx, 73) << "C ends 2 pixels inside the right edge";
    ExpectInkLike(f.Paint(), Reference(75, 26, {{"A", 2, 7, TA_LEFT}, {"B", xB, 7, TA_LEFT}, {"C", xC, 7, TA_LEFT}}),
                  ink);
  }
  f.button.CaptionA().SetCaption("A");
  ExpectInkLike(f.Paint(), Reference(75, 26, {{"A", 37, 7, TA_CENTER}}), ink);
}

TEST(PlButton, DisabledButtonEmbossesTheCaptionAndGreysThePicture) {
  const struct {
    bool hasFocus;
    bool disableImage;
    bool embossed;
  } cases[] = {{true, false, true}, {false, false, false}, {false, true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "HasFocus " << c.hasFocus << ", DisableImage " << c.disableImage);
    TButtonFixture f;
    f.button.SetCaptionTop(8);
    f.button.SetHasFocus(c.hasFocus);
    f.button.SetDisableImage(c.disableImage);
    {
      TWindowDc screen(nullptr);
      TBitmapHandle picture(CreateCompatibleBitmap(screen.Get(), 4, 4));
      TMemoryDc dc(CreateCompatibleDC(screen.Get()));
      {
        TSelectObject selected(dc.Get(), picture.Get());
        FillSolid(dc.Get(), RECT{0, 0, 4, 4}, RGB(200, 40, 20));
      }
      f.button.Image().SetBitmap(std::move(picture));
    }
    f.button.SetEnabled(false);
    TDib image = f.Paint();
    const RECT caption{16, 4, 60, 22};
    const int shadow = CountPixels(image, Sys(COLOR_BTNSHADOW), caption);
    const int highlight = CountPixels(image, Sys(COLOR_BTNHIGHLIGHT), caption);
    const int plain = CountPixels(image, Sys(COLOR_WINDOWTEXT), caption);
    // The picture: left 10, centred vertically at (26 - 4) / 2.
    const COLORREF picture = image.Pixel(10, 11);
    EXPECT_EQ(image.Pixel(9, 11) == picture, false) << "the picture starts at x 10";
    if (c.embossed) {
      EXPECT_GT(shadow, 20);
      EXPECT_GT(highlight, 10);
      EXPECT_EQ(plain, 0);
      EXPECT_EQ(picture, RGB(163, 163, 163));  // (260 / 3) / 2 + 120
    } else {
      EXPECT_EQ(shadow, 0);
      EXPECT_GT(plain, 20);
      EXPECT_EQ(picture, RGB(200, 40, 20));
    }
  }
}

TEST(PlButton, FrameStylesDrawTheirEdges) {
  const COLORREF white = RGB(255, 255, 255);
  const struct {
    const char* name;
    TplButtonStyle style;
    TplBtnFrameType frame;
    bool pressed;
    POINT at[3];
    COLORREF colors[3];
  } cases[] = {
      {"normal: raised edge",
       TplButtonStyle::bsNormal,
       TplBtnFrameType::bffFlat,
       false,
       {{0, 0}, {1, 1}, {74, 25}},
       {Sys(COLOR_3DLIGHT), Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_3DDKSHADOW)}},
      {"normal pressed: shadow frame, grey frame inside",
       TplButtonStyle::bsNormal,
       TplBtnFrameType::bffFlat,
       true,
       {{0, 0}, {1, 1}, {74, 25}},
       {Sys(COLOR_BTNSHADOW), RGB(128, 128, 128), Sys(COLOR_BTNSHADOW)}},
      {"flat etched",
       TplButtonStyle::bsFlat,
       TplBtnFrameType::bffEtched,
       false,
       {{0, 0}, {1, 1}, {74, 25}},
       {Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNHIGHLIGHT)}},
      {"flat bump",
       TplButtonStyle::bsFlat,
       TplBtnFrameType::bffBump,
       false,
       {{0, 0}, {1, 1}, {74, 25}},
       {Sys(COLOR_3DLIGHT), Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DDKSHADOW)}},
      {"flat without frame",
       TplButtonStyle::bsFlatNoFrame,
       TplBtnFrameType::bffFlat,
       false,
       {{0, 0}, {1, 1}, {74, 25}},
       {white, RGB(253, 254, 253), RGB(192, 220, 192)}},  // row 1: 255 - 63 / 25, 255 - 35 / 25
      {"round rectangle",
       TplButtonStyle::bsRoundRect,
       TplBtnFrameType::bffFlat,
       false,
       {{37, 0}, {0, 13}, {0, 0}},
       {RGB(117, 117, 117), RGB(117, 117, 117), white}},
      {"round without frame",
       TplButtonStyle::bsRoundRectNoFrame,
       TplBtnFrameType::bffFlat,
       false,
       {{37, 0}, {0, 13}, {0, 0}},
       {white, RGB(223, 237, 223), white}},  // row 13: 255 - 13 * 63 / 25, 255 - 13 * 35 / 25
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TButtonFixture f;
    f.button.SetButtonStyle(c.style);
    f.button.SetFlatFrameType(c.frame);
    if (c.pressed) f.Send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    TDib image = f.Paint();
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(image.Pixel(c.at[i].x, c.at[i].y), c.colors[i]) << "at (" << c.at[i].x << ", " << c.at[i].y << ")";
    if (c.pressed) f.Send(WM_LBUTTONUP, 5, 5);
  }
}

TEST(PlButton, BflatFlatFrameIsOneColourAllRound) {
  TButtonFixture f;
  f.button.SetButtonStyle(TplButtonStyle::bsFlat);
  TDib image = f.Paint();
  const COLORREF edge = image.Pixel(0, 0);
  EXPECT_NE(edge, RGB(255, 255, 255));
  EXPECT_EQ(image.Pixel(74, 25), edge);
  EXPECT_EQ(image.Pixel(74, 0), edge);
}

TEST(PlButton, RoundStylesGiveTheWindowARoundRegion) {
  TButtonFixture f;
  f.button.SetButtonStyle(TplButtonStyle::bsRoundRect);
  TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(f.button.Handle(), region.Get()), ERROR);
  EXPECT_FALSE(PtInRegion(region.Get(), 0, 0));
  EXPECT_TRUE(PtInRegion(region.Get(), 37, 13));
  EXPECT_TRUE(PtInRegion(region.Get(), 74, 13));
  EXPECT_FALSE(PtInRegion(region.Get(), 74, 0)) << "the corners are cut";
  f.button.SetButtonStyle(TplButtonStyle::bsNormal);
  EXPECT_EQ(GetWindowRgn(f.button.Handle(), region.Get()), ERROR);
}

TEST(PlButton, FocusRectangleOnlyForTheActiveControl) {
  const struct {
    const char* name;
    TplButtonStyle style;
    bool hasFocus;
    bool focused;
    bool drawn;
  } cases[] = {
      {"focused", TplButtonStyle::bsNormal, true, true, true},
      {"not focused", TplButtonStyle::bsNormal, true, false, false},
      {"focused without HasFocus", TplButtonStyle::bsNormal, false, true, false},
      {"round, focused", TplButtonStyle::bsRoundRect, true, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TButtonFixture f;
    f.button.SetButtonStyle(c.style);
    f.button.SetHasFocus(c.hasFocus);
    SetFocus(c.focused ? f.button.Handle() : f.window.Handle());
    ASSERT_EQ(f.button.Focused(), c.focused);
    TDib image = f.Paint();
    SetFocus(f.window.Handle());
    TDib plain = f.Paint();
    int changed = 0;
    int offOutline = 0;
    for (int y = 0; y < 26; ++y) {
      for (int x = 0; x < 75; ++x) {
        if (image.Pixel(x, y) == plain.Pixel(x, y)) continue;
        ++changed;
        bool onOutline = ((y == 2 || y == 23) && x >= 2 && x <= 72) || ((x == 2 || x == 72) && y >= 2 && y <= 23);
        offOutline += !onOutline;
      }
    }
    if (!c.drawn) {
      EXPECT_EQ(changed, 0);
    } else if (c.style == TplButtonStyle::bsRoundRect) {
      EXPECT_GT(CountPixels(image, RGB(32, 32, 32), RECT{0, 0, 75, 26}), 30);
      EXPECT_EQ(offOutline, 0);
    } else {
      // Dotted: about every other pixel of the outline, nothing elsewhere.
      EXPECT_GT(changed, 60);
      EXPECT_LT(changed, 130);
      EXPECT_EQ(offOutline, 0);
    }
  }
}

TEST(PlButton, EnterAndEscAsDialogKeys) {
  TFontHandle font = CreateFontHandle(TwelvePixelFont());
  TTestWindow window(300, 100, font.Get());
  TplButton run("run");
  TplButton close("close");
  run.SetBounds(136, 60, 75, 26);
  close.SetBounds(16, 60, 75, 26);
  run.SetParent(window.Handle());
  close.SetParent(window.Handle());
  run.SetModalResult(1);
  int runClicks = 0;
  int closeClicks = 0;
  run.OnClick = [&](TplButton&) { ++runClicks; };
  close.OnClick = [&](TplButton&) { ++closeClicks; };
  auto key = [&](WPARAM vk) {
    MSG message{GetFocus(), WM_KEYDOWN, vk, 1, 0, {}};
    return HandleDialogKey(message);
  };

  run.SetFocus();
  EXPECT_TRUE(key(VK_RETURN));
  EXPECT_EQ(runClicks, 1);
  EXPECT_EQ(FormModalResult(window.Handle()), 1) << "the click copies the modal result";
  EXPECT_FALSE(key(VK_ESCAPE)) << "Esc does nothing while no button has Cancel";

  close.SetCancel(true);
  EXPECT_TRUE(key(VK_ESCAPE));
  EXPECT_EQ(closeClicks, 1);
  EXPECT_EQ(FormModalResult(window.Handle()), 0);
  EXPECT_EQ(runClicks, 1);

  close.SetFocus();
  EXPECT_TRUE(key(VK_RETURN));
  EXPECT_EQ(closeClicks, 2) << "Enter goes to the active control only";
  EXPECT_EQ(runClicks, 1);

  EXPECT_FALSE(run.DialogKey(VK_ESCAPE, TShiftState{}));
  EXPECT_FALSE(close.DialogKey(VK_ESCAPE, TShiftState{.Ctrl = true})) << "not with Ctrl held";
  close.SetHasFocus(false);
  EXPECT_FALSE(close.DialogKey(VK_ESCAPE, TShiftState{})) << "not without HasFocus";
  close.SetHasFocus(true);
  close.SetEnabled(false);
  EXPECT_FALSE(key(VK_ESCAPE)) << "a disabled button takes no keys";
  EXPECT_EQ(closeClicks, 2);

  // Enter pressed on the button itself: the event only.
  run.SetFocus();
  SetFormModalResult(window.Handle(), 0);
  SendMessageW(run.Handle(), WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(runClicks, 2);
  EXPECT_EQ(FormModalResult(window.Handle()), 0);
}

TEST(PlButton, MouseClicksOnlyWhenReleasedInside) {
  const struct {
    const char* name;
    std::vector<std::pair<UINT, POINT>> moves;  // after the press at (10, 10)
    bool pressedBeforeRelease;
    POINT release;
    int clicks;
  } cases[] = {
      {"press and release inside", {}, true, {10, 10}, 1},
      {"leave, release outside", {{WM_MOUSEMOVE, {200, 10}}}, false, {200, 10}, 0},
      {"leave, come back, release inside", {{WM_MOUSEMOVE, {200, 10}}, {WM_MOUSEMOVE, {12, 12}}}, false, {12, 12}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TButtonFixture f;
    f.button.SetModalResult(2);
    int clicks = 0;
    int leaves = 0;
    f.button.OnClick = [&](TplButton&) { ++clicks; };
    f.button.OnMouseLeave = [&](TplButton&, const TShiftState&, int, int) { ++leaves; };
    f.Send(WM_MOUSEMOVE, 10, 10, MK_LBUTTON);
    f.Send(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    EXPECT_TRUE(f.button.Pressed());
    EXPECT_TRUE(f.button.Focused()) << "a press takes the focus";
    EXPECT_EQ(f.Paint().Pixel(0, 0), Sys(COLOR_BTNSHADOW)) << "drawn pressed";
    for (const auto& [message, point] : c.moves) f.Send(message, point.x, point.y, MK_LBUTTON);
    EXPECT_EQ(f.button.Pressed(), c.pressedBeforeRelease);
    f.Send(WM_LBUTTONUP, c.release.x, c.release.y);
    EXPECT_EQ(clicks, c.clicks);
    EXPECT_EQ(leaves > 0, !c.moves.empty());
    EXPECT_EQ(FormModalResult(f.window.Handle()), c.clicks ? 2 : 0);
    EXPECT_FALSE(f.button.Pressed());
    EXPECT_EQ(f.Paint().Pixel(0, 0), Sys(COLOR_3DLIGHT)) << "drawn released";
  }
}

TEST(PlButton, ErrorInTheClickHandlerReachesTheMessageLoop) {
  TButtonFixture f;
  f.button.OnClick = [](TplButton&) { throw std::runtime_error("\x83\x65\x83\x58\x83\x67"); };  // テスト
  f.Send(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
  f.Send(WM_LBUTTONUP, 10, 10);
  try {
    RethrowHeldException();
    ADD_FAILURE() << "nothing was held";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "\x83\x65\x83\x58\x83\x67");
  }
  EXPECT_NO_THROW(RethrowHeldException()) << "held once";
}

TEST(PlButton, FirstParentGivesTheNameAsCaption) {
  TTestWindow window(100, 50);
  TplButton button("plButton7");
  EXPECT_EQ(button.CaptionA().Caption(), "");
  button.SetParent(window.Handle());
  EXPECT_EQ(button.CaptionA().Caption(), "plButton7");
  EXPECT_EQ(button.Width(), 75);
  EXPECT_EQ(button.Height(), 26);
  EXPECT_TRUE(GetWindowLongPtrW(button.Handle(), GWL_STYLE) & WS_TABSTOP);
}

}  // namespace
