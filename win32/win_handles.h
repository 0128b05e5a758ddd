// Owners of Win32 resources: each closes its handle exactly once, can be moved
// and cannot be copied. Used by the widgets and by the rest of the Win32 side.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <utility>

// One owner for every handle type that is closed by a single call.
template <class H, class Closer>
class TOwnedHandle {
 public:
  TOwnedHandle() noexcept = default;
  explicit TOwnedHandle(H Handle) noexcept : handle_(Handle) {}
  TOwnedHandle(TOwnedHandle&& Other) noexcept : handle_(std::exchange(Other.handle_, H{})) {}
  TOwnedHandle& operator=(TOwnedHandle&& Other) noexcept {
    if (this != &Other) Reset(std::exchange(Other.handle_, H{}));
    return *this;
  }
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;
  ~TOwnedHandle() { Reset(); }

  H Get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != H{}; }
  // Gives the handle up without closing it (for calls that take ownership).
  H Release() noexcept { return std::exchange(handle_, H{}); }
  void Reset(H Handle = H{}) noexcept {
    H old = std::exchange(handle_, Handle);
    if (old != H{}) Closer{}(old);
  }

 private:
  H handle_{};
};

struct TGdiObjectCloser {
  void operator()(HGDIOBJ Object) const noexcept { DeleteObject(Object); }
};
struct TMemoryDcCloser {
  void operator()(HDC Dc) const noexcept { DeleteDC(Dc); }
};
struct TIconCloser {
  void operator()(HICON Icon) const noexcept { DestroyIcon(Icon); }
};
struct TKernelObjectCloser {
  void operator()(HANDLE Object) const noexcept { CloseHandle(Object); }
};
struct TWindowCloser {
  void operator()(HWND Window) const noexcept { DestroyWindow(Window); }
};

using TBrushHandle = TOwnedHandle<HBRUSH, TGdiObjectCloser>;
using TPenHandle = TOwnedHandle<HPEN, TGdiObjectCloser>;
using TFontHandle = TOwnedHandle<HFONT, TGdiObjectCloser>;
using TBitmapHandle = TOwnedHandle<HBITMAP, TGdiObjectCloser>;
using TRegionHandle = TOwnedHandle<HRGN, TGdiObjectCloser>;
using TIconHandle = TOwnedHandle<HICON, TIconCloser>;
// CreateCompatibleDC / DeleteDC.
using TMemoryDc = TOwnedHandle<HDC, TMemoryDcCloser>;
// A kernel object that is null when absent (CreateMutex, OpenProcess...);
// not for file handles, whose absent value is INVALID_HANDLE_VALUE.
using TKernelHandle = TOwnedHandle<HANDLE, TKernelObjectCloser>;
// A window of this program's own (CreateWindowEx / DestroyWindow).
using TWindowHandle = TOwnedHandle<HWND, TWindowCloser>;

// GetDC / ReleaseDC: the window is kept for the release.
class TWindowDc {
 public:
  explicit TWindowDc(HWND Window) noexcept : window_(Window), dc_(GetDC(Window)) {}
  TWindowDc(TWindowDc&& Other) noexcept
      : window_(std::exchange(Other.window_, nullptr)), dc_(std::exchange(Other.dc_, nullptr)) {}
  TWindowDc& operator=(TWindowDc&& Other) noexcept {
    if (this != &Other) {
      Close();
      window_ = std::exchange(Other.window_, nullptr);
      dc_ = std::exchange(Other.dc_, nullptr);
    }
    return *this;
  }
  TWindowDc(const TWindowDc&) = delete;
  TWindowDc& operator=(const TWindowDc&) = delete;
  ~TWindowDc() { Close(); }

  HDC Get() const noexcept { return dc_; }
  HWND Window() const noexcept { return window_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  void Close() noexcept {
    if (dc_) ReleaseDC(window_, dc_);
    dc_ = nullptr;
  }
  HWND window_;
  HDC dc_;
};

// BeginPaint / EndPaint for one WM_PAINT.
class TPaintDc {
 public:
  explicit TPaintDc(HWND Window) noexcept : window_(Window) { dc_ = BeginPaint(Window, &paint_); }
  TPaintDc(TPaintDc&& Other) noexcept
      : window_(std::exchange(Other.window_, nullptr)), dc_(std::exchange(Other.dc_, nullptr)), paint_(Other.paint_) {}
  TPaintDc& operator=(TPaintDc&& Other) noexcept {
    if (this != &Other) {
      Close();
      window_ = std::exchange(Other.window_, nullptr);
      dc_ = std::exchange(Other.dc_, nullptr);
      paint_ = Other.paint_;
    }
    return *this;
  }
  TPaintDc(const TPaintDc&) = delete;
  TPaintDc& operator=(const TPaintDc&) = delete;
  ~TPaintDc() { Close(); }

  HDC Get() const noexcept { return dc_; }
  const PAINTSTRUCT& Info() const noexcept { return paint_; }

 private:
  void Close() noexcept {
    if (dc_) EndPaint(window_, &paint_);
    dc_ = nullptr;
  }
  HWND window_;
  HDC dc_ = nullptr;
  PAINTSTRUCT paint_{};
};

// SelectObject that puts the previous object back when it goes out of scope.
class TSelectObject {
 public:
  TSelectObject() noexcept : dc_(nullptr), previous_(nullptr) {}  // selects nothing
  TSelectObject(HDC Dc, HGDIOBJ Object) noexcept : dc_(Dc), previous_(SelectObject(Dc, Object)) {}
  TSelectObject(TSelectObject&& Other) noexcept
      : dc_(std::exchange(Other.dc_, nullptr)), previous_(std::exchange(Other.previous_, nullptr)) {}
  TSelectObject& operator=(TSelectObject&& Other) noexcept {
    if (this != &Other) {
      Restore();
      dc_ = std::exchange(Other.dc_, nullptr);
      previous_ = std::exchange(Other.previous_, nullptr);
    }
    return *this;
  }
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;
  ~TSelectObject() { Restore(); }

  HGDIOBJ Previous() const noexcept { return previous_; }

 private:
  void Restore() noexcept {
    if (dc_ && previous_) SelectObject(dc_, previous_);
    dc_ = nullptr;
  }
  HDC dc_;
  HGDIOBJ previous_;
};

// A running multimedia timer (timeSetEvent); timeKillEvent on destruction.
// Created with TIME_KILL_SYNCHRONOUS, no callback runs after the kill returns.
class TMultimediaTimer {
 public:
  TMultimediaTimer() noexcept = default;
  explicit TMultimediaTimer(UINT Id) noexcept : id_(Id) {}
  TMultimediaTimer(TMultimediaTimer&& Other) noexcept : id_(std::exchange(Other.id_, 0u)) {}
  TMultimediaTimer& operator=(TMultimediaTimer&& Other) noexcept {
    if (this != &Other) {
      Reset();
      id_ = std::exchange(Other.id_, 0u);
    }
    return *this;
  }
  TMultimediaTimer(const TMultimediaTimer&) = delete;
  TMultimediaTimer& operator=(const TMultimediaTimer&) = delete;
  ~TMultimediaTimer() { Reset(); }

  UINT Id() const noexcept { return id_; }
  explicit operator bool() const noexcept { return id_ != 0; }
  void Reset() noexcept {
    if (id_) timeKillEvent(id_);
    id_ = 0;
  }

 private:
  UINT id_ = 0;
};
