#include "app/completion_notice.h"

#include "widgets/win_handles.h"

void DrawCompletionNotice(HWND Window, const std::string& Text)
{
    if (!Window || !IsWindow(Window))
        return;
    RECT bounds{};
    GetWindowRect(Window, &bounds);
    const int height = bounds.bottom - bounds.top;

    TWindowDc dc(Window);
    const int length = static_cast<int>(Text.size());  // bytes, as the ANSI calls count
    SIZE extent{};
    GetTextExtentPoint32A(dc.Get(), Text.c_str(), length, &extent);
    SetBkColor(dc.Get(), RGB(255, 127, 127));
    SetTextColor(dc.Get(), RGB(0, 0, 0));
    // A fresh context draws opaque: the character cells get the light red.
    TextOutA(dc.Get(), 0, height - extent.cy, Text.c_str(), length);
}
