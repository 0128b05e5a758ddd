#include "widgets/es_marquee.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "widgets/test_support.h"

namespace {

using widgets_test::PumpMessages;
using widgets_test::SharpFont;
using widgets_test::TTestWindow;

// What the marquee asked of its timer.
struct TTimerLog {
  std::vector<UINT> intervals;
  std::vector<UINT> resolutions;
  int stops = 0;
  bool windowAliveAtLastStop = false;
  HWND target = nullptr;
};

class TFakeTicks : public TTickSource {
 public:
  explicit TFakeTicks(TTimerLog& Log) : log_(Log) {}
  UINT Start(UINT Interval, UINT Resolution, HWND Target) override {
    log_.intervals.push_back(Interval);
    log_.resolutions.push_back(Resolution);
    log_.target = Target;
    return 77;
  }
  void Stop() override {
    ++log_.stops;
    log_.windowAliveAtLastStop = IsWindow(log_.target) != FALSE;
  }
  void Caps(UINT& Minimum, UINT& Maximum) override {
    Minimum = 1;
    Maximum = 1000;
  }

 private:
  TTimerLog& log_;
};

constexpr int kW = 201;
constexpr int kH = 35;

// The dialog's banner on a test window, driven by posted ticks.
struct TMarqueeFixture {
  explicit TMarqueeFixture(const std::string& Caption = "Orveline banner")
      : window(260, 80), marquee(std::make_unique<TFakeTicks>(log)) {
    marquee.SetBounds(8, 8, kW, kH);
    marquee.SetParent(window.Handle());
    TFont font = SharpFont("Times New Roman", -27);
    font.Color = clGray;
    marquee.SetFont(font);
    marquee.SetCaption(Caption);
    marquee.OnCycle = [this](TEsCustomScrollingMarquee&) { ++cycles; };
  }
  void Ticks(int Count) {
    for (int i = 0; i < Count; ++i) {
      PostMessageW(marquee.TickWindow(), kMarqueeTickMessage, 0, 77);
      // Keep the queue short; the paints in between do no harm.
      if (i % 200 == 199) PumpMessages();
    }
    PumpMessages();
  }
  // The parent's client area as the user sees it after a paint.
  TDib Paint() {
    TDib image(260, 80);
    image.Fill(RGB(255, 0, 255));
    PaintGraphicControls(window.Handle(), image.Dc());
    return image;
  }

  TTimerLog log;
  TTestWindow window;
  TEsScrollingMarquee marquee;
  int cycles = 0;
};

TEST(EsMarquee, TimerIntervalFollowsTheSpeed) {
  EXPECT_EQ(MarqueeInterval(0), 20u);
  EXPECT_EQ(MarqueeInterval(5), 10u);
  EXPECT_EQ(MarqueeInterval(9), 2u);
  EXPECT_EQ(MarqueeInterval(10), 2u);

  TMarqueeFixture f;
  EXPECT_TRUE(f.log.intervals.empty()) << "no timer runs while inactive";
  f.marquee.SetActive(true);
  for (int speed : {0, 9, 10, 6}) f.marquee.SetScrollSpeed(speed);
  // Speed 0 stops the timer and starts none.
  EXPECT_EQ(f.log.intervals, (std::vector<UINT>{10, 2, 2, 8}));
  EXPECT_EQ(f.log.resolutions, (std::vector<UINT>{10, 2, 2, 8}));
  EXPECT_EQ(f.marquee.ScrollSpeed(), 6);

  f.marquee.SetScrollSpeed(11);
  EXPECT_EQ(f.marquee.ScrollSpeed(), 6) << "speed 11 is refused";
  EXPECT_EQ(f.log.intervals.size(), 4u);

  f.marquee.SetScrollSpeed(0);
  EXPECT_EQ(f.marquee.TimerId(), 0u);
  f.Ticks(3);  // ticks still queued keep moving it, the timer is what stopped
  const int x = f.marquee.OffsetX();
  f.marquee.SetActive(true);
  EXPECT_EQ(f.log.intervals.back(), 20u) << "the next activation runs at 20 ms";
  EXPECT_EQ(f.marquee.OffsetX(), kW);
  EXPECT_NE(x, kW);
}

// One row: the direction and behaviour, how many ticks until the first pass
// ends (from the measured sizes), and the position and direction then.
struct TStepCase {
  const char* name;
  TEsScrollDirection direction;
  TEsBehaviors behavior;
  const char* caption;
  std::function<int(int Tw, int Th)> ticksToPassEnd;
  std::function<POINT(int Tw, int Th)> after;
  TEsScrollDirection directionAfter;
};

TEST(EsMarquee, EachDirectionStepsWrapsAndBounces) {
  using S = TEsScrollDirection;
  using B = TEsBehaviors;
  const char* longText = "A caption wider than the banner box";
  const TStepCase cases[] = {
      {"right to left wraps to the right edge", S::sdRightToLeft, B::bhCycle, longText,
       [](int tw, int) { return kW + tw + 16; },
       [](int, int) {
         return POINT{kW, 0};
       },
       S::sdRightToLeft},
      {"left to right wraps to -TW", S::sdLeftToRight, B::bhCycle, longText, [](int tw, int) { return kW + tw + 16; },
       [](int tw, int) {
         return POINT{-tw, 0};
       },
       S::sdLeftToRight},
      {"top to bottom wraps to -TH", S::sdTopToBottom, B::bhCycle, "I", [](int, int th) { return kH + th + 16; },
       [](int, int th) {
         return POINT{0, -th};
       },
       S::sdTopToBottom},
      {"bottom to top wraps to H", S::sdBottomToTop, B::bhCycle, "I", [](int, int th) { return kH + th + 16; },
       [](int, int) {
         return POINT{0, kH};
       },
       S::sdBottomToTop},
      {"right to left bounces at 0", S::sdRightToLeft, B::bhBounce, "I", [](int tw, int) { return kW - tw + 1; },
       [](int, int) {
         return POINT{-1, 0};
       },
       S::sdLeftToRight},
      {"left to right bounces at W - TW", S::sdLeftToRight, B::bhBounce, "I", [](int tw, int) { return kW - tw + 1; },
       [](int tw, int) {
         return POINT{kW - tw + 1, 0};
       },
       S::sdRightToLeft},
      {"top to bottom bounces at H - TH", S::sdTopToBottom, B::bhBounce, "I", [](int, int th) { return kH - th + 1; },
       [](int, int th) {
         return POINT{0, kH - th + 1};
       },
       S::sdBottomToTop},
      {"bottom to top bounces at 0", S::sdBottomToTop, B::bhBounce, "I", [](int, int th) { return kH - th + 1; },
       [](int, int) {
         return POINT{0, -1};
       },
       S::sdTopToBottom},
      {"too wide to bounce: wraps as a cycle", S::sdRightToLeft, B::bhBounce, longText,
       [](int tw, int) { return kW + tw + 16; },
       [](int, int) {
         return POINT{kW, 0};
       },
       S::sdRightToLeft},
  };
  for (const TStepCase& c : cases) {
    SCOPED_TRACE(c.name);
    TMarqueeFixture f(c.caption);
    f.marquee.SetScrollDirection(c.direction);
    f.marquee.SetBehavior(c.behavior);
    f.marquee.SetActive(true);
    const int tw = f.marquee.TextWidth();
    const int th = f.marquee.TextHeight();
    ASSERT_GT(tw, 0);
    ASSERT_GT(th, 0);
    // Measured with word wrap in the box: the long caption is several lines high.
    if (c.direction == S::sdTopToBottom || c.direction == S::sdBottomToTop) {
      ASSERT_LT(th, kH);
    }
    const int ticks = c.ticksToPassEnd(tw, th);
    ASSERT_GT(ticks, 1);
    f.Ticks(ticks - 1);
    EXPECT_EQ(f.cycles, 0) << "one tick before the end of the pass";
    EXPECT_EQ(f.marquee.ScrollDirection(), c.direction);
    f.Ticks(1);
    EXPECT_EQ(f.cycles, 1);
    const POINT want = c.after(tw, th);
    EXPECT_EQ(f.marquee.OffsetX(), want.x);
    EXPECT_EQ(f.marquee.OffsetY(), want.y);
    EXPECT_EQ(f.marquee.ScrollDirection(), c.directionAfter);
    EXPECT_TRUE(f.marquee.Active());
  }
}

TEST(EsMarquee, OnceStopsAfterTheFirstWrapWithTheCaptionAtTheTopLeft) {
  TMarqueeFixture f("Orveline");
  f.marquee.SetBehavior(TEsBehaviors::bhOnce);
  const TDib standing = f.Paint();  // inactive: at (0, 0)
  f.marquee.SetActive(true);
  const int stopsBefore = f.log.stops;
  f.Ticks(kW + f.marquee.TextWidth() + 16);
  EXPECT_EQ(f.cycles, 1);
  EXPECT_FALSE(f.marquee.Active());
  EXPECT_GT(f.log.stops, stopsBefore) << "the timer stopped";
  EXPECT_EQ(f.marquee.TimerId(), 0u);
  const TDib after = f.Paint();
  int differences = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 260; ++x) differences += after.Pixel(x, y) != standing.Pixel(x, y);
  EXPECT_EQ(differences, 0);
  f.Ticks(5);
  EXPECT_EQ(f.marquee.OffsetX(), 0) << "ticks after switching off move nothing";
}

TEST(EsMarquee, SwitchingOffAndOnRestartsAtTheRightEdge) {
  TMarqueeFixture f;
  f.marquee.SetActive(true);
  EXPECT_EQ(f.marquee.OffsetX(), kW);
  f.Ticks(30);
  EXPECT_EQ(f.marquee.OffsetX(), kW - 30);
  f.marquee.SetActive(false);
  f.Ticks(4);
  EXPECT_EQ(f.marquee.OffsetX(), 0);
  f.marquee.SetActive(true);
  EXPECT_EQ(f.marquee.OffsetX(), kW);
}

TEST(EsMarquee, ANewCaptionKeepsTheOffsetAndTheNextPassUsesItsWidth) {
  TMarqueeFixture f("short");
  f.marquee.SetActive(true);
  f.Ticks(10);
  f.marquee.SetCaption("a much longer caption than before");
  EXPECT_EQ(f.marquee.OffsetX(), kW - 10);
  const int tw = f.marquee.TextWidth();
  f.Ticks(kW - 10 + tw + 15);
  EXPECT_EQ(f.cycles, 0);
  f.Ticks(1);
  EXPECT_EQ(f.cycles, 1);
}

TEST(EsMarquee, PaintsTheImageAtTheOffsetAndFillsBehindItWhenMovingRight) {
  TMarqueeFixture f;
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const TDib standing = f.Paint();
  // Standing at (0, 0), raised: the black shadow at (2, 2), the white
  // highlight at (0, 0) and the grey face at (1, 1), on the face colour.
  const widgets_test::TTextMask m(f.marquee.Font(), f.marquee.Caption(), kW + 4, kH + 4, DT_EXPANDTABS);
  int wrong = 0;
  int faces = 0;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      COLORREF want = m(x - 1, y - 1)   ? RGB(128, 128, 128)
                      : m(x, y)         ? RGB(255, 255, 255)
                      : m(x - 2, y - 2) ? RGB(0, 0, 0)
                                        : face;
      faces += want == RGB(128, 128, 128);
      wrong += standing.Pixel(8 + x, 8 + y) != want;
    }
  }
  EXPECT_GT(faces, 100);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(standing.Pixel(7, 8), RGB(255, 0, 255)) << "nothing drawn outside the bounds";
  const RECT area{8, 8, 8 + kW, 8 + kH};

  f.marquee.SetActive(true);
  {
    TDib entering = f.Paint();
    EXPECT_EQ(widgets_test::CountPixels(entering, face, area), kW * kH) << "caption still beyond the right edge";
  }
  f.Ticks(kW);
  ASSERT_EQ(f.marquee.OffsetX(), 0);
  TDib arrived = f.Paint();
  int differences = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 260; ++x) differences += arrived.Pixel(x, y) != standing.Pixel(x, y);
  EXPECT_EQ(differences, 0) << "after W ticks the caption stands where an inactive one does";

  f.marquee.SetScrollDirection(TEsScrollDirection::sdLeftToRight);
  f.Ticks(f.marquee.TextWidth() + 5);
  ASSERT_EQ(f.marquee.OffsetX(), 5);
  TDib right = f.Paint();
  EXPECT_EQ(widgets_test::CountPixels(right, face, RECT{8, 8, 13, 8 + kH}), 5 * kH) << "the strip left of X";
}

TEST(EsMarquee, TimerStopsBeforeTheHiddenWindowGoes) {
  TTimerLog log;
  HWND tickWindow;
  {
    TEsScrollingMarquee marquee(std::make_unique<TFakeTicks>(log));
    marquee.SetActive(true);
    tickWindow = marquee.TickWindow();
    ASSERT_TRUE(IsWindow(tickWindow));
  }
  EXPECT_EQ(log.stops, 1);
  EXPECT_TRUE(log.windowAliveAtLastStop);
  EXPECT_FALSE(IsWindow(tickWindow));
}

// A timer device that cannot be asked: the constructor fails after its tick
// window exists.
class TBrokenTicks : public TTickSource {
 public:
  UINT Start(UINT, UINT, HWND) override { return 0; }
  void Stop() override {}
  void Caps(UINT&, UINT&) override { throw std::runtime_error("no timer device"); }
};

int TickWindowCount() {
  int count = 0;
  for (HWND w = nullptr; (w = FindWindowExW(HWND_MESSAGE, w, L"OrvelineMarqueeTicks", nullptr)) != nullptr;) ++count;
  return count;
}

TEST(EsMarquee, AFailedConstructionLeavesNoTickWindow) {
  const int before = TickWindowCount();
  EXPECT_THROW(TEsScrollingMarquee marquee(std::make_unique<TBrokenTicks>()), std::runtime_error);
  EXPECT_EQ(TickWindowCount(), before);
  TTimerLog log;
  {
    TEsScrollingMarquee marquee(std::make_unique<TFakeTicks>(log));
    EXPECT_EQ(TickWindowCount(), before + 1) << "the count sees a live marquee's window";
  }
}

TEST(EsMarquee, MultimediaTimerPostsTheTickWithItsId) {
  TTestWindow window(20, 20);
  std::unique_ptr<TTickSource> ticks = MultimediaTickSource();
  const UINT id = ticks->Start(5, 5, window.Handle());
  ASSERT_NE(id, 0u);
  MSG message{};
  bool got = false;
  const DWORD start = GetTickCount();
  while (!got && GetTickCount() - start < 5000) {
    if (PeekMessageW(&message, window.Handle(), kMarqueeTickMessage, kMarqueeTickMessage, PM_REMOVE))
      got = true;
    else
      Sleep(1);
  }
  ticks->Stop();
  ASSERT_TRUE(got);
  EXPECT_EQ(message.wParam, 0u);
  EXPECT_EQ(static_cast<UINT>(message.lParam), id);
}

}  // namespace
