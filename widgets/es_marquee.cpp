#include "widgets/es_marquee.h"

#include <algorithm>

#include "win32/win32_error.h"

namespace {

constexpr wchar_t kTickWindowClass[] = L"OrvelineMarqueeTicks";

// The real tick: a periodic multimedia timer whose callback, on the timer's
// own thread, does nothing but post the tick message.
class TMultimediaTickSource : public TTickSource {
 public:
  UINT Start(UINT interval, UINT resolution, HWND target) override {
    timer_ = TMultimediaTimer(timeSetEvent(interval, resolution, &TMultimediaTickSource::Callback,
                                           reinterpret_cast<DWORD_PTR>(target),
                                           TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS));
    return timer_.Id();
  }
  void Stop() override { timer_.Reset(); }
  void Caps(UINT& minimum, UINT& maximum) override {
    TIMECAPS caps{};
    if (timeGetDevCaps(&caps, sizeof(caps)) == TIMERR_NOERROR) {
      minimum = caps.wPeriodMin;
      maximum = caps.wPeriodMax;
    }
  }

 private:
  static void CALLBACK Callback(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    PostMessageW(reinterpret_cast<HWND>(user), kMarqueeTickMessage, 0, static_cast<LPARAM>(id));
  }
  TMultimediaTimer timer_;
};

}  // namespace

std::unique_ptr<TTickSource> MultimediaTickSource() { return std::make_unique<TMultimediaTickSource>(); }

UINT MarqueeInterval(TEsScrollSpeed speed) {
  int interval = (10 - speed) * 2;
  return static_cast<UINT>(interval < 2 ? 2 : interval);
}

static bool IsHorizontal(TEsScrollDirection direction) {
  return direction == TEsScrollDirection::sdRightToLeft || direction == TEsScrollDirection::sdLeftToRight;
}

bool MarqueeBouncing(TEsBehaviors behavior, TEsScrollDirection direction, int width, int height, int textWidth,
                     int textHeight) {
  if (behavior != TEsBehaviors::bhBounce) return false;
  return IsHorizontal(direction) ? textWidth < width : textHeight < height;
}

TMarqueePosition MarqueeStart(TEsScrollDirection direction, bool bouncing, int width, int height, int textWidth,
                              int textHeight) {
  TMarqueePosition start{direction, 0, 0};
  switch (direction) {
    case TEsScrollDirection::sdRightToLeft:
      start.X = bouncing ? width - textWidth : width;
      break;
    case TEsScrollDirection::sdLeftToRight:
      start.X = bouncing ? 0 : -textWidth;
      break;
    case TEsScrollDirection::sdTopToBottom:
      start.Y = bouncing ? 0 : -textHeight;
      break;
    case TEsScrollDirection::sdBottomToTop:
      start.Y = bouncing ? height - textHeight : height;
      break;
  }
  return start;
}

bool MarqueeStep(TMarqueePosition& p, bool bouncing, int width, int height, int textWidth, int textHeight) {
  // The gap of 15 pixels lets the caption leave the area entirely before it wraps.
  switch (p.Direction) {
    case TEsScrollDirection::sdRightToLeft:
      --p.X;
      if (bouncing) {
        if (p.X < 0) return p.Direction = TEsScrollDirection::sdLeftToRight, true;
      } else if (p.X < -textWidth - 15) {
        return p.X = width, true;
      }
      break;
    case TEsScrollDirection::sdLeftToRight:
      ++p.X;
      if (bouncing) {
        if (p.X > width - textWidth) return p.Direction = TEsScrollDirection::sdRightToLeft, true;
      } else if (p.X > width + 15) {
        return p.X = -textWidth, true;
      }
      break;
    case TEsScrollDirection::sdTopToBottom:
      ++p.Y;
      if (bouncing) {
        if (p.Y > height - textHeight) return p.Direction = TEsScrollDirection::sdBottomToTop, true;
      } else if (p.Y > height + 15) {
        return p.Y = -textHeight, true;
      }
      break;
    case TEsScrollDirection::sdBottomToTop:
      --p.Y;
      if (bouncing) {
        if (p.Y < 0) return p.Direction = TEsScrollDirection::sdTopToBottom, true;
      } else if (p.Y < -textHeight - 15) {
        return p.Y = height, true;
      }
      break;
  }
  return false;
}

TEsCustomScrollingMarquee::TEsCustomScrollingMarquee(std::unique_ptr<TTickSource> ticks) : ticks_(std::move(ticks)) {
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

void TEsCustomScrollingMarquee::SetActive(bool value) {
  active_ = value;
  offsetX_ = 0;
  offsetY_ = 0;
  if (value) {
    Measure();
    TMarqueePosition start = MarqueeStart(direction_, Bouncing(), Width(), Height(), textWidth_, textHeight_);
    offsetX_ = start.X;
    offsetY_ = start.Y;
  }
  FillClient();
  Invalidate();
  RestartTimer();
}

void TEsCustomScrollingMarquee::SetBehavior(TEsBehaviors value) {
  if (value == behavior_) return;
  bool wasActive = active_;
  SetActive(false);
  behavior_ = value;
  if (wasActive) SetActive(true);
}

void TEsCustomScrollingMarquee::SetScrollDirection(TEsScrollDirection value) {
  if (value == direction_) return;
  bool wasActive = active_;
  SetActive(false);
  direction_ = value;
  if (wasActive) SetActive(true);
}

void TEsCustomScrollingMarquee::SetScrollSpeed(TEsScrollSpeed value) {
  if (value == speed_ || value < 0 || value > 10) return;
  speed_ = value;
  StopTimer();
  if (value != 0) RestartTimer();
  Invalidate();
}

void TEsCustomScrollingMarquee::SetAlignment(TAlignment value) {
  if (value == Alignment()) return;
  TEsCustomLabel::SetAlignment(value);
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

void TEsCustomScrollingMarquee::Paint(HDC dc) {
  const int width = Width();
  const int height = Height();
  const int imageWidth = (std::max)(1, Horizontal() ? width + textWidth_ : width);
  const int imageHeight = (std::max)(1, height + textHeight_);
  if (rebuild_ || !image_ || !imageDc_ || imageWidth != imageWidth_ || imageHeight != imageHeight_) {
    if (!imageDc_) imageDc_.Reset(CheckCreated(CreateCompatibleDC(dc), "CreateCompatibleDC"));
    TBitmapHandle fresh(CheckCreated(CreateCompatibleBitmap(dc, imageWidth, imageHeight), "CreateCompatibleBitmap"));
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
  BitBlt(dc, offsetX_, offsetY_, imageWidth, imageHeight, imageDc_.Get(), 0, 0, SRCCOPY);
  // The strip before the image: left of X, above Y. Moving right or down the
  // caption leaves it behind; moving left or up it is there while the caption
  // enters, and would keep whatever covered the window before.
  const COLORREF back = ColorToRGB(Color());
  if (offsetX_ > 0) FillSolid(dc, RECT{0, 0, offsetX_, height}, back);
  if (offsetY_ > 0) FillSolid(dc, RECT{0, 0, width, offsetY_}, back);
}

LRESULT CALLBACK TEsCustomScrollingMarquee::TickWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMarqueeTickMessage) {
    auto* marquee = reinterpret_cast<TEsCustomScrollingMarquee*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (marquee) {
      try {
        marquee->Tick();
      } catch (...) {
        HoldException(std::current_exception());
      }
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
