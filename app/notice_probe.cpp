#include "app/notice_probe.h"

#include "win32/win_handles.h"

TNoticePixels ReadNoticePixels(HWND Pane) {
  TNoticePixels pixels;
  RECT r{};
  GetClientRect(Pane, &r);
  POINT origin{0, 0};
  ClientToScreen(Pane, &origin);
  TWindowDc screen(nullptr);
  const HDC dc = screen.Get();
  SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
  for (int y = r.bottom - 4; y < r.bottom; ++y)
    for (int x = 0; x < r.right; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      if (x < 100) {
        pixels.LightRed += c == RGB(255, 127, 127);
        pixels.White += c == RGB(255, 255, 255);
      } else if (x >= r.right - 50 && c == RGB(255, 127, 127)) {
        ++pixels.LightRedRight;
      }
    }
  return pixels;
}
