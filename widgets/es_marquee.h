// The scrolling banner: a label whose caption slides through its area one
// pixel per tick of a multimedia timer. The timer's thread only posts the tick
// message to a hidden window; every step happens on the user-interface thread.
#pragma once

#include <functional>
#include <memory>

#include "widgets/es_label.h"

enum class TEsBehaviors { bhCycle, bhBounce, bhOnce };
enum class TEsScrollDirection { sdRightToLeft, sdLeftToRight, sdTopToBottom, sdBottomToTop };
using TEsScrollSpeed = int;  // 0 to 10

// The tick message: the first application message plus 500; wParam 0, lParam the timer id.
constexpr UINT kMarqueeTickMessage = WM_APP + 500;

// Tick interval in milliseconds for a speed: (10 - speed) * 2, at least 2.
UINT MarqueeInterval(TEsScrollSpeed Speed);

// The offsets and direction of a moving caption.
struct TMarqueePosition {
  TEsScrollDirection Direction;
  int X;
  int Y;
};

// The caption bounces when it is smaller than the area in its direction of travel.
bool MarqueeBouncing(TEsBehaviors Behavior, TEsScrollDirection Direction, int Width, int Height, int TextWidth,
                     int TextHeight);
// Where the caption starts when scrolling is switched on (the other offset is 0).
TMarqueePosition MarqueeStart(TEsScrollDirection Direction, bool Bouncing, int Width, int Height, int TextWidth,
                              int TextHeight);
// One tick's step; true when it ended a pass (a reversal or a wrap).
bool MarqueeStep(TMarqueePosition& Position, bool Bouncing, int Width, int Height, int TextWidth, int TextHeight);

// Starts and stops the periodic tick. The real one is the multimedia timer;
// tests put in their own.
class TTickSource {
 public:
  virtual ~TTickSource() = default;
  // Starts a periodic timer that posts kMarqueeTickMessage to target; returns its id, 0 on failure.
  virtual UINT Start(UINT Interval, UINT Resolution, HWND Target) = 0;
  virtual void Stop() = 0;
  // The finest and coarsest period the timer device offers, in milliseconds.
  virtual void Caps(UINT& Minimum, UINT& Maximum) = 0;
};
std::unique_ptr<TTickSource> MultimediaTickSource();

class TEsCustomScrollingMarquee : public TEsCustomLabel {
 public:
  explicit TEsCustomScrollingMarquee(std::unique_ptr<TTickSource> Ticks = MultimediaTickSource());
  ~TEsCustomScrollingMarquee() override;

  bool Active() const noexcept { return active_; }
  void SetActive(bool Value);
  TEsBehaviors Behavior() const noexcept { return behavior_; }
  void SetBehavior(TEsBehaviors Value);
  TEsScrollDirection ScrollDirection() const noexcept { return direction_; }
  void SetScrollDirection(TEsScrollDirection Value);
  TEsScrollSpeed ScrollSpeed() const noexcept { return speed_; }
  void SetScrollSpeed(TEsScrollSpeed Value);
  const char* Version() const noexcept { return "1.11"; }
  void SetAlignment(TAlignment Value) override;

  // Raised at the end of every pass and at every bounce.
  std::function<void(TEsCustomScrollingMarquee&)> OnCycle;

  // What the timer last ran with, and the running timer's id (0 when none).
  UINT TimerInterval() const noexcept { return interval_; }
  UINT TimerResolution() const noexcept { return resolution_; }
  UINT TimerId() const noexcept { return timerId_; }
  // The hidden window that receives the ticks.
  HWND TickWindow() const noexcept { return tickWindow_.Get(); }
  int OffsetX() const noexcept { return offsetX_; }
  int OffsetY() const noexcept { return offsetY_; }
  int TextWidth() const noexcept { return textWidth_; }
  int TextHeight() const noexcept { return textHeight_; }

  // Marks the image for rebuilding as well.
  void Invalidate() override;

 protected:
  void Paint(HDC Dc) override;
  void TextChanged() override;
  void ParentChanged() override;
  void BoundsChanged() override;

 private:
  static LRESULT CALLBACK TickWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
  void Tick();
  void RestartTimer();
  void StopTimer();
  void Measure();
  void FillClient();
  bool Bouncing() const;
  bool Horizontal() const;

  std::unique_ptr<TTickSource> ticks_;
  bool active_ = false;
  TEsBehaviors behavior_ = TEsBehaviors::bhCycle;
  TEsScrollDirection direction_ = TEsScrollDirection::sdRightToLeft;
  TEsScrollSpeed speed_ = 5;
  int offsetX_ = 0;
  int offsetY_ = 0;
  int textWidth_ = 0;
  int textHeight_ = 0;
  TMemoryDc imageDc_;
  TBitmapHandle image_;
  TSelectObject imageSelected_;  // the image in imageDc_; goes before both
  int imageWidth_ = 0;
  int imageHeight_ = 0;
  bool rebuild_ = true;
  UINT interval_ = 0;
  UINT resolution_ = 0;
  UINT baseResolution_ = 2;
  UINT timerId_ = 0;
  TWindowHandle tickWindow_;  // destroyed first, and also when the constructor throws
};

class TEsScrollingMarquee : public TEsCustomScrollingMarquee {
 public:
  using TEsCustomScrollingMarquee::TEsCustomScrollingMarquee;
};
