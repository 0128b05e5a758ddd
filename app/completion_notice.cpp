#include "app/completion_notice.h"

#include "acadlink/command_transport.h"
#include "win32/win32_error.h"
#include "win32/win_handles.h"
#include "win32/window_text.h"

namespace {

// True when drawing on Dc reaches the screen. A context that shows some part
// of its window but cannot read back a pixel of it draws nowhere: so it is
// under Wine for a window of another program.
bool DrawsOnScreen(HDC Dc) {
  RECT box{};
  if (GetClipBox(Dc, &box) == NULLREGION) return true;  // nothing of the window is visible: drawing nothing is right
  return GetPixel(Dc, box.left, box.top) != CLR_INVALID;
}

void PaintNotice(HDC Dc, int WindowHeight, const std::string& Text) {
  const int length = static_cast<int>(Text.size());  // bytes, as the ANSI calls count
  SIZE extent{};
  GetTextExtentPoint32A(Dc, Text.c_str(), length, &extent);
  SetBkColor(Dc, RGB(255, 127, 127));
  SetTextColor(Dc, RGB(0, 0, 0));
  // A fresh context draws opaque: the character cells get the light red.
  TextOutA(Dc, 0, WindowHeight - extent.cy, Text.c_str(), length);
}

}  // namespace

void DrawCompletionNotice(HWND Window, const std::string& Text) {
  if (!IsLive(Window)) return;
  // The last text typed made the command line repaint; let that repaint
  // happen first, so that it does not wipe the notice at once. UpdateWindow
  // waits for the other program, so it goes first only when that program
  // answers; a hung one gets no notice.
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(Window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kCadAnswerTimeoutMs, &answer)) return;
  UpdateWindow(Window);

  RECT bounds{};
  GetWindowRect(Window, &bounds);
  const int height = bounds.bottom - bounds.top;

  TWindowDc windowDc(Window);
  if (DrawsOnScreen(windowDc.Get())) {
    PaintNotice(windowDc.Get(), height, Text);
    return;
  }
  // Draw through the screen's context instead, clipped to what is visible of
  // the window, with the window's client origin and its context's font.
  TRegionHandle visible(CheckCreated(CreateRectRgn(0, 0, 0, 0), "CreateRectRgn"));
  if (GetRandomRgn(windowDc.Get(), visible.Get(), SYSRGN) != 1) return;
  POINT origin{0, 0};
  ClientToScreen(Window, &origin);
  TWindowDc screenDc(nullptr);
  SelectClipRgn(screenDc.Get(), visible.Get());
  SetViewportOrgEx(screenDc.Get(), origin.x, origin.y, nullptr);
  TSelectObject font(screenDc.Get(), GetCurrentObject(windowDc.Get(), OBJ_FONT));
  PaintNotice(screenDc.Get(), height, Text);
}
