#include "widgets/es_marquee.h"

#include <algorithm>

#include "win32/win32_error.h"

namespace {

constexpr wchar_t kTickWindowClass[] = L"OrvelineMarqueeTicks";

// The real tick: a periodic multimedia timer whose callback, on the timer's
// own thread, does nothing but post the tick message.
class TMultimediaTickSource : public TTickSource {
 public:
  UINT Start(UINT Interval, UINT Resolution, HWND Target) override {
    timer_ = TMultimediaTimer(timeSetEvent(Interval, Resolution, &TMultimediaTickSource::Callback,
                                           reinterpret_cast<DWORD_PTR>(Target),
                                           TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS));
    return timer_.Id();
  }
  void Stop() override { timer_.Reset(); }
  void Caps(UINT& Minimum, UINT& Maximum) override {
    TIMECAPS caps{};
    if (timeGetDevCaps(&caps, sizeof(caps)) == TIMERR_NOERROR) {
      Minimum = caps.wPeriodMin;
      Maximum = caps.wPeriodMax;
    }
  }

 private:
  static void CALLBACK Callback(UINT Id, UINT, DWORD_PTR User, DWORD_PTR, DWORD_PTR) {
    PostMessageW(reinterpret_cast<HWND>(User), kMarqueeTickMessage, 0, static_cast<LPARAM>(Id));
  }
  TMultimediaTimer timer_;
};

}  // namespace

std::unique_ptr<TTickSource> MultimediaTickSource() { return std::make_unique<TMultimediaTickSource>(); }

UINT MarqueeInterval(TEsScrollSpeed Speed) {
  int interval = (10 - Speed) * 2;
  return static_cast<UINT>(interval < 2 ? 2 : interval);
}

static bool IsHorizontal(TEsScrollDirection Direction) {
  return Direction == TEsScrollDirection::sdRightToLeft || Direction == TEsScrollDirection::sdLeftToRight;
}

bool MarqueeBouncing(TEsBehaviors Behavior, TEsScrollDirection Direction, int Width, int Height, int TextWidth,
                     int TextHeight) {
  if (Behavior != TEsBehaviors::bhBounce) return false;
  return IsHorizontal(Direction) ? TextWidth < Width : TextHeight < Height;
}

TMarqueePosition MarqueeStart(TEsScrollDirection Direction, bool Bouncing, int Width, int Height, int TextWidth,
                              int TextHeight) {
  TMarqueePosition start{Direction, 0, 0};
  switch (Direction) {
    case TEsScrollDirection::sdRightToLeft:
      start.X = Bouncing ? Width - TextWidth : Width;
      break;
    case TEsScrollDirection::sdLeftToRight:
      start.X = Bouncing ? 0 : -TextWidth;
      break;
    case TEsScrollDirection::sdTopToBottom:
      start.Y = Bouncing ? 0 : -TextHeight;
      break;
    case TEsScrollDirection::sdBottomToTop:
      start.Y = Bouncing ? Height - TextHeight : Height;
      break;
  }
  return start;
}

bool MarqueeStep(TMarqueePosition& P, bool Bouncing, int Width, int Height, int TextWidth, int TextHeight) {
  // The gap of 15 pixels lets the caption leave the area entirely before it wraps.
  switch (P.Direction) {
    case TEsScrollDirection::sdRightToLeft:
      --P.X;
      if (Bouncing) {
        if (P.X < 0) return P.Direction = TEsScrollDirection::sdLeftToRight, true;
      } else if (P.X < -TextWidth - 15) {
        return P.X = Width, true;
      }
      break;
    case TEsScrollDirection::sdLeftToRight:
      ++P.X;
      if (Bouncing) {
        if (P.X > Width - TextWidth) return P.Direction = TEsScrollDirection::sdRightToLeft, true;
      } else if (P.X > Width + 15) {
        return P.X = -TextWidth, true;
      }
      break;
    case TEsScrollDirection::sdTopToBottom:
      ++P.Y;
      if (Bouncing) {
        if (P.Y > Height - TextHeight) return P.Direction = TEsScrollDirection::sdBottomToTop, true;
      } else if (P.Y > Height + 15) {
        return P.Y = -TextHeight, true;
      }
      break;
    case TEsScrollDirection::sdBottomToTop:
      --P.Y;
      if (Bouncing) {
        if (P.Y < 0) return P.Direction = TEsScrollDirection::sdTopToBottom, true;
      } else if (P.Y < -TextHeight - 15) {
        return P.Y = Height, true;
      }
      break;
  }
  return false;
}

TEsCustomScrollingMarquee::TEsCustomScrollingMarquee(std::unique_ptr<TTickSource> Ticks) : ticks_(std::move(Ticks)) {
  SetTransparent(false);
  RegisterControlClass(kTickWindowClass, &TEsCustomScrollingMarquee::TickWindowProc);
  tickWindow_.Reset(CheckCreated(CreateWindowExW(0, kTickWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                                 GetModuleHandleW(nullptr), nullptr),
                                 "CreateWindowExW"));
  SetWindowLongPtrW(tickWindow_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  UINT minimum = 1;
  UINT maximum = 1000000;
  ticks_->Caps(minimum, maximum);
  baseResolution_ = (std::min)((std::max)(2u, minimum), maximum);
  RestartTimer();
}

TEsCustomScrollingMarquee::~TEsCustomScrollingMarquee() {
  // The timer goes first: after this no tick is posted to the window.
  StopTimer();
  SetWindowLongPtrW(tickWindow_.Get(), GWLP_USERDATA, 0);
  // The members then go in reverse order: the tick window, the selection,
  // the image, its memory DC.
}

void TEsCustomScrollingMarquee::SetActive(bool Value) {
  active_ = Value;
  offsetX_ = 0;
  offsetY_ = 0;
  if (Value) {
    Measure();
    TMarqueePosition start = MarqueeStart(direction_, Bouncing(), Width(), Height(), textWidth_, textHeight_);
    offsetX_ = start.X;
    offsetY_ = start.Y;
  }
  FillClient();
  Invalidate();
  RestartTimer();
}

void TEsCustomScrollingMarquee::SetBehavior(TEsBehaviors Value) {
  if (Value == behavior_) return;
  bool wasActive = active_;
  SetActive(false);
  behavior_ = Value;
  if (wasActive) SetActive(true);
}

void TEsCustomScrollingMarquee::SetScrollDirection(TEsScrollDirection Value) {
  if (Value == direction_) return;
  bool wasActive = active_;
  SetActive(false);
  direction_ = Value;
  if (wasActive) SetActive(true);
}

void TEsCustomScrollingMarquee::SetScrollSpeed(TEsScrollSpeed Value) {
  if (Value == speed_ || Value < 0 || Value > 10) return;
  speed_ = Value;
  StopTimer();
  if (Value != 0) RestartTimer();
  Invalidate();
}

void TEsCustomScrollingMarquee::SetAlignment(TAlignment Value) {
  if (Value == Alignment()) return;
  TEsCustomLabel::SetAlignment(Value);
  rebuild_ = true;
}

void TEsCustomScrollingMarquee::Invalidate() {
  rebuild_ = true;
  TEsCustomLabel::Invalidate();
}

void TEsCustomScrollingMarquee::TextChanged() {
  Measure();
  Invalidate();
}

void TEsCustomScrollingMarquee::ParentChanged() { Measure(); }

// The text height is measured with word wrap inside the client width.
void TEsCustomScrollingMarquee::BoundsChanged() { Measure(); }

void TEsCustomScrollingMarquee::StopTimer() {
  if (timerId_ != 0) ticks_->Stop();
  timerId_ = 0;
}

void TEsCustomScrollingMarquee::RestartTimer() {
  StopTimer();
  interval_ = MarqueeInterval(speed_);
  resolution_ = (std::max)(interval_, baseResolution_);
  if (active_) timerId_ = ticks_->Start(interval_, resolution_, tickWindow_.Get());
}

bool TEsCustomScrollingMarquee::Horizontal() const { return IsHorizontal(direction_); }

bool TEsCustomScrollingMarquee::Bouncing() const {
  return MarqueeBouncing(behavior_, direction_, Width(), Height(), textWidth_, textHeight_);
}

void TEsCustomScrollingMarquee::Measure() {
  if (!Parent()) return;
  TWindowDc dc(Parent());
  if (!dc) return;
  TSelectObject font(dc.Get(), FontHandle());
  const std::string& caption = Caption();
  SIZE extent{};
  GetTextExtentPoint32A(dc.Get(), caption.data(), static_cast<int>(caption.size()), &extent);
  textWidth_ = extent.cx;
  RECT bounds = ClientRect();
  DrawTextA(dc.Get(), caption.data(), static_cast<int>(caption.size()), &bounds,
            DT_CALCRECT | (WordWrap() ? DT_WORDBREAK : 0));
  textHeight_ = bounds.bottom - bounds.top;
  rebuild_ = true;
}

void TEsCustomScrollingMarquee::FillClient() {
  if (!Parent() || !Visible()) return;
  TWindowDc dc(Parent());
  if (dc) FillSolid(dc.Get(), BoundsRect(), ColorToRGB(Color()));
}

void TEsCustomScrollingMarquee::Tick() {
  if (!active_) return;
  TMarqueePosition position{direction_, offsetX_, offsetY_};
  bool passEnded = MarqueeStep(position, Bouncing(), Width(), Height(), textWidth_, textHeight_);
  // A reversal turns in place, without the restart of SetScrollDirection.
  direction_ = position.Direction;
  offsetX_ = position.X;
  offsetY_ = position.Y;
  if (passEnded) {
    if (OnCycle) OnCycle(*this);
    if (behavior_ == TEsBehaviors::bhOnce) SetActive(false);
  }
  Invalidate();
}

void TEsCustomScrollingMarquee::Paint(HDC Dc) {
  const int width = Width();
  const int height = Height();
  const int imageWidth = (std::max)(1, Horizontal() ? width + textWidth_ : width);
  const int imageHeight = (std::max)(1, height + textHeight_);
  if (rebuild_ || !image_ || !imageDc_ || imageWidth != imageWidth_ || imageHeight != imageHeight_) {
    if (!imageDc_) imageDc_.Reset(CheckCreated(CreateCompatibleDC(Dc), "CreateCompatibleDC"));
    TBitmapHandle fresh(CheckCreated(CreateCompatibleBitmap(Dc, imageWidth, imageHeight), "CreateCompatibleBitmap"));
    // The DC's own bitmap goes back in before the fresh image is selected, so
    // the selection always restores that one.
    imageSelected_ = TSelectObject();
    imageSelected_ = TSelectObject(imageDc_.Get(), fresh.Get());
    image_ = std::move(fresh);  // the old image is no longer selected
    imageWidth_ = imageWidth;
    imageHeight_ = imageHeight;
    UINT format = DT_EXPANDTABS | (ShowAccelChar() ? 0 : DT_NOPREFIX);
    if (!Horizontal()) {
      if (WordWrap()) format |= DT_WORDBREAK;
      if (Alignment() == TAlignment::taRightJustify) format |= DT_RIGHT;
      if (Alignment() == TAlignment::taCenter) format |= DT_CENTER;
    }
    RECT all{0, 0, imageWidth, imageHeight};
    DrawLabel(imageDc_.Get(), all, format);
    rebuild_ = false;
  }
  BitBlt(Dc, offsetX_, offsetY_, imageWidth, imageHeight, imageDc_.Get(), 0, 0, SRCCOPY);
  // The strip before the image: left of X, above Y. Moving right or down the
  // caption leaves it behind; moving left or up it is there while the caption
  // enters, and would keep whatever covered the window before.
  const COLORREF back = ColorToRGB(Color());
  if (offsetX_ > 0) FillSolid(Dc, RECT{0, 0, offsetX_, height}, back);
  if (offsetY_ > 0) FillSolid(Dc, RECT{0, 0, width, offsetY_}, back);
}

LRESULT CALLBACK TEsCustomScrollingMarquee::TickWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == kMarqueeTickMessage) {
    auto* marquee = reinterpret_cast<TEsCustomScrollingMarquee*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
    if (marquee) {
      try {
        marquee->Tick();
      } catch (...) {
        HoldException(std::current_exception());
      }
    }
  }
  return DefWindowProcW(Window, Message, WParam, LParam);
}
