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
  explicit TOwnedHandle(H handle) noexcept : handle_(handle) {}
  TOwnedHandle(TOwnedHandle&& other) noexcept : handle_(std::exchange(other.handle_, H{})) {}
  TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, H{}));
    return *this;
  }
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;
  ~TOwnedHandle() { Reset(); }

  H Get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != H{}; }
  // Gives the handle up without closing it (for calls that take ownership).
  H Release() noexcept { return std::exchange(handle_, H{}); }
  void Reset(H handle = H{}) noexcept {
    H old = std::exchange(handle_, handle);
    if (old != H{}) Closer{}(old);
  }

 private:
  H handle_{};
};

struct TGdiObjectCloser {
  void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};
struct TMemoryDcCloser {
  void operator()(HDC dc) const noexcept { DeleteDC(dc); }
};
struct TIconCloser {
  void operator()(HICON icon) const noexcept { DestroyIcon(icon); }
};
struct TKernelObjectCloser {
  void operator()(HANDLE object) const noexcept { CloseHandle(object); }
};
struct TWindowCloser {
  void operator()(HWND window) const noexcept { DestroyWindow(window); }
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
  explicit TWindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
  TWindowDc(TWindowDc&& other) noexcept
      : window_(std::exchange(other.window_, nullptr)), dc_(std::exchange(other.dc_, nullptr)) {}
  TWindowDc& operator=(TWindowDc&& other) noexcept {
    if (this != &other) {
      Close();
      window_ = std::exchange(other.window_, nullptr);
      dc_ = std::exchange(other.dc_, nullptr);
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
  explicit TPaintDc(HWND window) noexcept : window_(window) { dc_ = BeginPaint(window, &paint_); }
  TPaintDc(TPaintDc&& other) noexcept
      : window_(std::exchange(other.window_, nullptr)), dc_(std::exchange(other.dc_, nullptr)), paint_(other.paint_) {}
  TPaintDc& operator=(TPaintDc&& other) noexcept {
    if (this != &other) {
      Close();
      window_ = std::exchange(other.window_, nullptr);
      dc_ = std::exchange(other.dc_, nullptr);
      paint_ = other.paint_;
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
  TSelectObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
  TSelectObject(TSelectObject&& other) noexcept
      : dc_(std::exchange(other.dc_, nullptr)), previous_(std::exchange(other.previous_, nullptr)) {}
  TSelectObject& operator=(TSelectObject&& other) noexcept {
    if (this != &other) {
      Restore();
      dc_ = std::exchange(other.dc_, nullptr);
      previous_ = std::exchange(other.previous_, nullptr);
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
  explicit TMultimediaTimer(UINT id) noexcept : id_(id) {}
  TMultimediaTimer(TMultimediaTimer&& other) noexcept : id_(std::exchange(other.id_, 0u)) {}
  TMultimediaTimer& operator=(TMultimediaTimer&& other) noexcept {
    if (this != &other) {
      Reset();
      id_ = std::exchange(other.id_, 0u);
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
