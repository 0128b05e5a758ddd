// The notice's pixels, read back from a real window on the screen.
#include "app/completion_notice.h"

#include <gtest/gtest.h>

#include <string>

#include "win32/win_handles.h"

namespace {

const COLORREF kLightRed = RGB(255, 127, 127);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);

// A frameless white window standing in for the command line's input pane.
class CompletionNoticeTest : public ::testing::Test {
 protected:
  HWND MakePane(int Width, int Height) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "OrvelineNoticePane";
    RegisterClassA(&wc);
    Pane = CreateWindowExA(WS_EX_TOPMOST, "OrvelineNoticePane", "notice pane", WS_POPUP | WS_VISIBLE, 40, 40, Width,
                           Height, nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(Pane);
    Settle(Pane);
    return Pane;
  }
  void TearDown() override {
    if (Pane) DestroyWindow(Pane);
  }
  // Until the window is idle: nothing waiting in the queue and nothing left
  // to paint (at most 2 s).
  static void Settle(HWND Window) {
    MSG msg;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 2000;) {
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      if (!GetUpdateRect(Window, nullptr, FALSE) && !GetQueueStatus(QS_ALLINPUT)) return;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
  }
  SIZE Extent(const std::string& Text) {
    TWindowDc dc(Pane);
    SIZE size{};
    GetTextExtentPoint32A(dc.Get(), Text.c_str(), static_cast<int>(Text.size()), &size);
    return size;
  }
  // Counts the pixels of each colour in the rectangle [x0, x1) x [y0, y1).
  void Count(int X0, int Y0, int X1, int Y1, int& Red, int& Dark, int& Light) {
    Red = Dark = Light = 0;
    TWindowDc dc(Pane);
    for (int y = Y0; y < Y1; ++y)
      for (int x = X0; x < X1; ++x) {
        const COLORREF c = GetPixel(dc.Get(), x, y);
        if (c == kLightRed)
          ++Red;
        else if (c == kBlack)
          ++Dark;
        else if (c == kWhite)
          ++Light;
      }
  }

  HWND Pane = nullptr;
};

TEST_F(CompletionNoticeTest, BlackOnLightRedAtTheLeftBottomAligned) {
  // 集計結果をD:\work\result.csvへ保存しました
  const std::string text =
      "\x8f\x57\x8c\x76\x8c\x8b\x89\xca\x82\xf0"
      "D:\\work\\result.csv"
      "\x82\xd6\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
  const int width = 600, height = 40;
  MakePane(width, height);
  const SIZE size = Extent(text);
  ASSERT_GT(size.cx, 0);
  ASSERT_LT(size.cy, height);
  ASSERT_LT(size.cx, width - 20);

  DrawCompletionNotice(Pane, text);
  GdiFlush();

  int red, dark, light;
  // The text's cells: light red background with black glyphs, nothing white.
  Count(0, height - size.cy, size.cx, height, red, dark, light);
  EXPECT_GT(red, size.cx * size.cy / 2);
  EXPECT_GT(dark, size.cx / 2);
  EXPECT_EQ(light, 0);
  // Above the text and right of it the pane is untouched.
  Count(0, 0, width, height - size.cy, red, dark, light);
  EXPECT_EQ(red + dark, 0);
  Count(size.cx, 0, width, height, red, dark, light);
  EXPECT_EQ(red + dark, 0);
}

TEST_F(CompletionNoticeTest, TextTallerThanThePaneIsCutAtTheTop) {
  const std::string text = "result.csv";
  MakePane(300, 6);
  const SIZE size = Extent(text);
  ASSERT_GT(size.cy, 6);

  DrawCompletionNotice(Pane, text);
  GdiFlush();

  int red, dark, light;
  Count(0, 0, size.cx, 6, red, dark, light);
  EXPECT_EQ(light, 0);  // the bottom part of the cells fills the whole height
  EXPECT_GT(red, 0);
}

TEST_F(CompletionNoticeTest, NoWindowPaintsNothing) {
  MakePane(50, 20);
  HWND dead = Pane;
  DestroyWindow(Pane);
  // A neighbour where the dead pane was: a notice painted through the screen
  // at the old place would land on it.
  MakePane(200, 40);
  ASSERT_NE(Pane, dead);
  DrawCompletionNotice(dead, "result.csv");
  DrawCompletionNotice(nullptr, "result.csv");
  GdiFlush();
  int red, dark, light;
  Count(0, 0, 200, 40, red, dark, light);
  EXPECT_EQ(red + dark, 0);
  EXPECT_EQ(light, 200 * 40) << "the neighbour's white is untouched";
}

}  // namespace
