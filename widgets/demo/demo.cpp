// A window laid out like the main dialog: the banner and the two gradient
// buttons, with the label, edit box and browse button as plain controls.
// Enter clicks the focused gradient button, Tab moves the focus, Esc does
// nothing (no button has Cancel), the close button closes the window.
#include <windows.h>

#include <exception>

#include "widgets/es_marquee.h"
#include "widgets/pl_button.h"

namespace {

HFONT dialogFont = nullptr;

LRESULT CALLBACK DemoWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(dialogFont);
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills around the banner
    case WM_PAINT: {
      TPaintDc paint(Window);
      PaintFormSurface(Window, paint.Get());
      return 0;
    }
    case WM_COMMAND:
      return 0;  // IDOK / IDCANCEL from the dialog manager: Enter and Esc belong to the buttons
    case WM_CLOSE:
      DestroyWindow(Window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(Window, Message, WParam, LParam);
}

HWND CreateDemoWindow(HINSTANCE Instance) {
  RegisterControlClass(L"OrvelineWidgetsDemo", DemoWindowProc);
  const DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  RECT frame{0, 0, 219, 131};
  AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME | WS_EX_TOPMOST);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  return CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, L"OrvelineWidgetsDemo", L"Orveline", style,
                         (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2,
                         width, height, nullptr, nullptr, Instance, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE, LPSTR, int Show) {
  try {
    TFontHandle font = CreateFontHandle(DialogFont());
    dialogFont = font.Get();
    HWND window = CreateDemoWindow(Instance);

    TEsScrollingMarquee marquee;
    marquee.SetBounds(8, 8, 201, 35);
    marquee.SetParent(window);
    TFont bannerFont;
    bannerFont.Name = "Times New Roman";
    bannerFont.Height = -27;
    bannerFont.Color = clGray;
    bannerFont.Charset = SHIFTJIS_CHARSET;
    marquee.SetFont(bannerFont);
    // 選択した要素の属性値をCSVファイルへ保存します
    marquee.SetCaption(
        "\x91\x49\x91\xf0\x82\xb5\x82\xbd\x97\x76\x91\x66\x82\xcc\x91\xae\x90\xab\x92\x6c\x82\xf0"
        "CSV\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xd6\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb7");
    marquee.SetAlignment(TAlignment::taLeftJustify);
    marquee.SetScrollSpeed(5);

    HWND label = CreateWindowExA(
        0, "STATIC", "\x8c\x8b\x89\xca\x95\xdb\x91\xb6\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc",  // 結果保存ファイル名
        WS_CHILD | WS_VISIBLE, 8, 48, 101, 12, window, nullptr, Instance, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), FALSE);

    auto setUp = [&](TplButton& button, int left, const char* caption) {
      button.SetBounds(left, 96, 75, 26);
      button.SetParent(window);
      button.CaptionA().SetCaption(caption);
      button.SetGradEndColor(clMoneyGreen);
      button.SetCaptionTop(8);
      button.Image().SetTop(0);
      button.SetDisableImage(false);
    };
    TplButton run("plButton1");
    setUp(run, 136, "\x8e\xc0\x81\x40\x8d\x73");  // 実　行
    TplButton close("plButton2");
    setUp(close, 16, "\x95\xc2\x82\xb6\x82\xe9");  // 閉じる
    run.OnClick = [window](TplButton&) { MessageBoxA(window, "\x8e\xc0\x81\x40\x8d\x73", "Orveline", MB_OK); };
    close.OnClick = [window](TplButton&) { PostMessageW(window, WM_CLOSE, 0, 0); };

    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 8,
                                64, 201, 20, window, nullptr, Instance, nullptr);
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), FALSE);
    HWND browse = CreateWindowExA(0, "BUTTON", "\x8e\x51\x8f\xc6", WS_CHILD | WS_VISIBLE | WS_TABSTOP,  // 参照
                                  160, 48, 51, 17, window, nullptr, Instance, nullptr);
    SendMessageW(browse, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), FALSE);

    marquee.SetActive(true);
    ShowWindow(window, Show);
    UpdateWindow(window);
    run.SetFocus();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (HandleDialogKey(message)) {
        RethrowHeldException();
        continue;
      }
      if (IsDialogMessageW(window, &message)) {
        RethrowHeldException();
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
      RethrowHeldException();
    }
    // The banner's timer stops with the marquee; the window is already gone.
    return 0;
  } catch (const std::exception& error) {
    MessageBoxA(nullptr, error.what(), "Orveline", MB_OK | MB_ICONERROR);
    return 1;
  }
}
