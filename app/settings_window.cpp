#include "app/settings_window.h"

#include "app/modal_loop.h"
#include "win32/win32_error.h"
#include "win32/win_handles.h"

#include <algorithm>

const char* const SettingsWindowClassName = "TSettingsF";

namespace {

const char* const Caption = "\x90\xdd\x92\xe8";  // 設定
const char* const OkCaption = "OK";
const char* const CancelCaption = "\x83\x4c\x83\x83\x83\x93\x83\x5a\x83\x8b";  // キャンセル

struct TCheck {
  const char* Caption;
  bool& (*Of)(TDialogSettings&);
};
const TCheck Checks[] = {
    {"\x90\xb3\x8a\x6d\x82\xc8\x92\xb7\x82\xb3\x82\xc5\x8f\x57\x8c\x76\x82\xb7\x82\xe9\x81\x69\x91\xbd\x8a\x70\x90\xfc"
     "\x82\xcc\x89\x7e\x8c\xca\x82\xc6\x95\xc2\x82\xb6\x82\xbd\x95\xd3\x81\x45\x91\xc8\x89\x7e\x81\x45\x83\x58\x83\x76"
     "\x83\x89\x83\x43\x83\x93\x81\x45\x83\x75\x83\x8d\x83\x62\x83\x4e\x93\xe0\x82\xcc\x90\x7d\x8c\x60\x81\x6a",
     [](TDialogSettings& s) -> bool& {
       return s.Report.Exact;
     }},  // 正確な長さで集計する（多角線の円弧と閉じた辺・楕円・スプライン・ブロック内の図形）
    {"\x8d\x87\x8c\x76\x82\xcc\x97\xf1\x82\xf0\x95\x74\x82\xaf\x82\xe9",
     [](TDialogSettings& s) -> bool& { return s.Report.Totals; }},  // 合計の列を付ける
    {"\x8c\xa9\x8f\x6f\x82\xb5\x8d\x73\x82\xf0\x95\x74\x82\xaf\x82\xe9",
     [](TDialogSettings& s) -> bool& { return s.Report.Header; }},  // 見出し行を付ける
    {"UTF-8\x81\x69\x42\x4f\x4d\x20\x95\x74\x82\xab\x81\x6a\x82\xc5\x95\xdb\x91\xb6\x82\xb7\x82\xe9",
     [](TDialogSettings& s) -> bool& { return s.Report.Utf8; }},  // UTF-8（BOM 付き）で保存する
    {"\x8c\x8b\x89\xca\x82\xf0\x95\x5c\x8e\xa6\x82\xb7\x82\xe9",
     [](TDialogSettings& s) -> bool& { return s.ShowResults; }},  // 結果を表示する
};
constexpr int kCheckCount = static_cast<int>(sizeof Checks / sizeof Checks[0]);

// Sizes at 96 pixels per inch.
constexpr int kMargin = 8;
constexpr int kCheckHeight = 17;
constexpr int kCheckGap = 4;
constexpr int kCheckBox = 20;  // the box and its gap before the caption
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

struct TSettingsF {
  HWND Window = nullptr;
  HWND CheckBoxes[kCheckCount] = {};
  bool Done = false;
  bool Accepted = false;
  TDialogSettings Settings;
};

LRESULT CALLBACK SettingsProc(HWND Window, UINT Message, WPARAM W, LPARAM L) {
  if (Message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(L);
    SetWindowLongPtrA(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* form = reinterpret_cast<TSettingsF*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
  if (!form) return DefWindowProcA(Window, Message, W, L);
  switch (Message) {
    case WM_COMMAND:
      if (LOWORD(W) == IDOK) {
        for (int i = 0; i < kCheckCount; ++i)
          Checks[i].Of(form->Settings) = SendMessageA(form->CheckBoxes[i], BM_GETCHECK, 0, 0) == BST_CHECKED;
        form->Accepted = true;
        form->Done = true;
        return 0;
      }
      if (LOWORD(W) == IDCANCEL) {
        form->Done = true;
        return 0;
      }
      break;
    case WM_CLOSE:
      form->Done = true;
      return 0;
    default:
      break;
  }
  return DefWindowProcA(Window, Message, W, L);
}

}  // namespace

bool ShowSettingsWindow(HWND Owner, HFONT Font, int Dpi, TDialogSettings& Settings) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  auto scale = [&](int Pixels) { return MulDiv(Pixels, Dpi, 96); };

  // As wide as the longest caption needs.
  int textWidth = 0;
  {
    TWindowDc dc(nullptr);
    TSelectObject select(dc.Get(), Font);
    for (const TCheck& check : Checks) {
      SIZE size{};
      GetTextExtentPoint32A(dc.Get(), check.Caption, static_cast<int>(lstrlenA(check.Caption)), &size);
      textWidth = std::max(textWidth, static_cast<int>(size.cx));
    }
  }
  const int clientWidth = std::max(scale(kMargin * 2 + kCheckBox) + textWidth, scale(kMargin * 3 + kButtonWidth * 2));
  const int buttonsTop = scale(kMargin + kCheckCount * (kCheckHeight + kCheckGap) + kMargin);
  const int clientHeight = buttonsTop + scale(kButtonHeight + kMargin);

  TSettingsF form;
  form.Settings = Settings;
  const TWindowHandle window = CreateModalWindow(Owner, SettingsWindowClassName, SettingsProc, Caption, clientWidth,
                                                 clientHeight, TModalPlace::OverOwner, &form);
  form.Window = window.Get();
  auto child = [&](const char* className, const char* text, DWORD style, int x, int y, int w, int h, int id) {
    HWND control =
        CheckCreated(CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y, w, h,
                                     form.Window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr),
                     "CreateWindowExA");
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    return control;
  };
  for (int i = 0; i < kCheckCount; ++i) {
    form.CheckBoxes[i] = child("BUTTON", Checks[i].Caption, BS_AUTOCHECKBOX, scale(kMargin),
                               scale(kMargin + i * (kCheckHeight + kCheckGap)), clientWidth - scale(kMargin * 2),
                               scale(kCheckHeight), 100 + i);
    SendMessageA(form.CheckBoxes[i], BM_SETCHECK, Checks[i].Of(Settings) ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  // OK, then キャンセル, at the right of the bottom row.
  const int cancelLeft = clientWidth - scale(kMargin + kButtonWidth);
  const int okLeft = cancelLeft - scale(kMargin + kButtonWidth);
  child("BUTTON", OkCaption, BS_DEFPUSHBUTTON, okLeft, buttonsTop, scale(kButtonWidth), scale(kButtonHeight), IDOK);
  child("BUTTON", CancelCaption, BS_PUSHBUTTON, cancelLeft, buttonsTop, scale(kButtonWidth), scale(kButtonHeight),
        IDCANCEL);

  RunModalLoop(Owner, form.Window, form.CheckBoxes[0], form.Done);
  if (form.Accepted) Settings = form.Settings;
  return form.Accepted;
}
