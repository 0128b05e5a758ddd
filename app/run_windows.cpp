#include "app/run_windows.h"

#include <algorithm>

#include "app/modal_loop.h"
#include "app/shell_open.h"
#include "win32/win32_error.h"
#include "win32/win_handles.h"

const char* const ResultsWindowClassName = "TResultsF";
const char* const ShortMeasureWindowClassName = "TShortMeasureF";

namespace {

const char* const ResultsCaption = "\x8c\x8b\x89\xca";                                             // 結果
const char* const OpenCaption = "\x8a\x4a\x82\xad";                                                // 開く
const char* const OpenFolderCaption = "\x83\x74\x83\x48\x83\x8b\x83\x5f\x82\xf0\x8a\x4a\x82\xad";  // フォルダを開く
const char* const CloseCaption = "\x95\xc2\x82\xb6\x82\xe9";                                       // 閉じる
const char* const MessageCaption = "Orveline";
const char* const NeverAgainCaption = "\x8d\xa1\x8c\xe3\x95\x5c\x8e\xa6\x82\xb5\x82\xc8\x82\xa2";  // 今後表示しない
const char* const OkCaption = "OK";

// この一覧では、次の多角線が図形より短く測られています。
const char* const ShortHead =
    "\x82\xb1\x82\xcc\x88\xea\x97\x97\x82\xc5\x82\xcd\x81\x41\x8e\x9f\x82\xcc\x91\xbd\x8a\x70\x90\xfc\x82\xaa\x90\x7d"
    "\x8c\x60\x82\xe6\x82\xe8\x92\x5a\x82\xad\x91\xaa\x82\xe7\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81\x42";
// 円弧を弦で測った多角線
const char* const ChordsLabel =
    "\x89\x7e\x8c\xca\x82\xf0\x8c\xb7\x82\xc5\x91\xaa\x82\xc1\x82\xbd\x91\xbd\x8a\x70\x90\xfc";
// 閉じ辺を含めていない多角線
const char* const NoClosingEdgeLabel =
    "\x95\xc2\x82\xb6\x95\xd3\x82\xf0\x8a\xdc\x82\xdf\x82\xc4\x82\xa2\x82\xc8\x82\xa2\x91\xbd\x8a\x70\x90\xfc";
// After a blank line: 図形のとおりに測るには、設定（システムメニューの「設定...」）の /
// 「正確な長さ」をオンにしてください。
const char* const ShortTail =
    "\r\n"
    "\x90\x7d\x8c\x60\x82\xcc\x82\xc6\x82\xa8\x82\xe8\x82\xc9\x91\xaa\x82\xe9\x82\xc9\x82\xcd\x81\x41\x90\xdd\x92\xe8"
    "\x81\x69\x83\x56\x83\x58\x83\x65\x83\x80\x83\x81\x83\x6a\x83\x85\x81\x5b\x82\xcc\x81\x75\x90\xdd\x92\xe8..."
    "\x81\x76\x81\x6a\x82\xcc\r\n"
    "\x81\x75\x90\xb3\x8a\x6d\x82\xc8\x92\xb7\x82\xb3\x81\x76\x82\xf0\x83\x49\x83\x93\x82\xc9\x82\xb5\x82\xc4\x82\xad"
    "\x82\xbe\x82\xb3\x82\xa2\x81\x42";

// Sizes at 96 pixels per inch.
constexpr int kMargin = 10;
constexpr int kGap = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonPadding = 16;  // beside a caption wider than the button
constexpr int kCheckHeight = 17;
constexpr int kCheckBox = 20;  // the box and its gap before the caption
constexpr int kIconSize = 32;

constexpr int OpenFolderCommand = 101;

// One modal window: its controls, and the command that ended it.
struct TModalForm {
  HWND Window = nullptr;
  bool Done = false;
  int Command = IDCANCEL;
};

LRESULT CALLBACK ModalProc(HWND Window, UINT Message, WPARAM W, LPARAM L) {
  if (Message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(L);
    SetWindowLongPtrA(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* form = reinterpret_cast<TModalForm*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
  if (!form) return DefWindowProcA(Window, Message, W, L);
  switch (Message) {
    case WM_COMMAND:
      if (LOWORD(W) == IDOK || LOWORD(W) == IDCANCEL || LOWORD(W) == OpenFolderCommand) {
        form->Command = LOWORD(W);
        form->Done = true;
        return 0;
      }
      break;
    case WM_CLOSE:
      form->Command = IDCANCEL;
      form->Done = true;
      return 0;
    default:
      break;
  }
  return DefWindowProcA(Window, Message, W, L);
}

// A window of ClassName over Owner, of the client size given, centred above
// Owner (below it when there is no room above), so that it leaves the
// notice on the CAD program's command line uncovered as far as it can; kept
// on the screen; not shown yet.
TWindowHandle CreateRunWindow(HWND Owner, const char* ClassName, const char* Caption, int ClientWidth, int ClientHeight,
                              TModalForm& Form) {
  TWindowHandle window = CreateModalWindow(Owner, ClassName, ModalProc, Caption, ClientWidth, ClientHeight,
                                           TModalPlace::AboveOwner, &Form);
  Form.Window = window.Get();
  return window;
}

HWND AddControl(TModalForm& Form, HFONT Font, const char* ClassName, const char* Text, DWORD Style, RECT Place,
                int Id) {
  HWND control = CheckCreated(
      CreateWindowExA(0, ClassName, Text, WS_CHILD | WS_VISIBLE | Style, Place.left, Place.top,
                      Place.right - Place.left, Place.bottom - Place.top, Form.Window,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)), GetModuleHandleA(nullptr), nullptr),
      "CreateWindowExA");
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
  return control;
}

// The size that Text takes in Font, its lines as they are.
SIZE TextSize(HFONT Font, const std::string& Text) {
  TWindowDc dc(nullptr);
  TSelectObject select(dc.Get(), Font);
  RECT r{0, 0, 0, 0};
  DrawTextA(dc.Get(), Text.c_str(), static_cast<int>(Text.size()), &r, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// Shows the window and runs its messages until it is done; Owner is
// disabled meanwhile and has the foreground again afterwards.
int RunModal(HWND Owner, TModalForm& Form, HWND Focus) {
  RunModalLoop(Owner, Form.Window, Focus, Form.Done);
  return Form.Command;
}

}  // namespace

std::string ControlText(const std::string& Lines) {
  std::string out;
  for (char c : Lines) {
    if (c == '\n') out += '\r';
    out += c;
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

void ShowResultsWindow(HWND Owner, HFONT Font, int Dpi, const std::string& Summary, const std::string& CsvPath) {
  auto scale = [&](int Pixels) { return MulDiv(Pixels, Dpi, 96); };
  const SIZE text = TextSize(Font, Summary);
  const int buttonWidth = scale(kButtonWidth);
  const int folderWidth = std::max<int>(buttonWidth, TextSize(Font, OpenFolderCaption).cx + scale(kButtonPadding));
  const int buttonsWidth = buttonWidth * 2 + folderWidth + scale(kGap) * 2;
  const int clientWidth = std::max<int>(text.cx, buttonsWidth) + scale(kMargin) * 2;
  const int buttonsTop = scale(kMargin) + text.cy + scale(kMargin);
  const int clientHeight = buttonsTop + scale(kButtonHeight + kMargin);

  TModalForm form;
  TWindowHandle window =
      CreateRunWindow(Owner, ResultsWindowClassName, ResultsCaption, clientWidth, clientHeight, form);
  const int margin = scale(kMargin);
  AddControl(form, Font, "STATIC", Summary.c_str(), SS_LEFT | SS_NOPREFIX,
             RECT{margin, margin, margin + text.cx, margin + text.cy}, -1);
  // 開く, フォルダを開く and 閉じる at the right of the bottom row.
  int left = clientWidth - margin - buttonsWidth;
  const int bottom = buttonsTop + scale(kButtonHeight);
  const HWND open = AddControl(form, Font, "BUTTON", OpenCaption, WS_TABSTOP | BS_DEFPUSHBUTTON,
                               RECT{left, buttonsTop, left + buttonWidth, bottom}, IDOK);
  left += buttonWidth + scale(kGap);
  AddControl(form, Font, "BUTTON", OpenFolderCaption, WS_TABSTOP | BS_PUSHBUTTON,
             RECT{left, buttonsTop, left + folderWidth, bottom}, OpenFolderCommand);
  left += folderWidth + scale(kGap);
  AddControl(form, Font, "BUTTON", CloseCaption, WS_TABSTOP | BS_PUSHBUTTON,
             RECT{left, buttonsTop, left + buttonWidth, bottom}, IDCANCEL);

  const int command = RunModal(Owner, form, open);
  window.Reset();  // gone before the shell answers
  if (command == IDOK)
    ShellOpen(Owner, "open", CsvPath);
  else if (command == OpenFolderCommand)
    ShellOpen(Owner, "open", FolderOf(CsvPath));
}

std::string ShortMeasureText(std::int64_t Bulged, std::int64_t Closed) {
  std::string text = std::string(ShortHead) + "\r\n";
  if (Bulged > 0) text += std::string(ChordsLabel) + ": " + std::to_string(Bulged) + "\r\n";
  if (Closed > 0) text += std::string(NoClosingEdgeLabel) + ": " + std::to_string(Closed) + "\r\n";
  return text + ShortTail;
}

bool ShowShortMeasureWindow(HWND Owner, HFONT Font, int Dpi, std::int64_t Bulged, std::int64_t Closed) {
  auto scale = [&](int Pixels) { return MulDiv(Pixels, Dpi, 96); };
  const std::string message = ShortMeasureText(Bulged, Closed);
  const int margin = scale(kMargin);
  const int icon = scale(kIconSize);
  const SIZE text = TextSize(Font, message);
  const int textLeft = margin + icon + margin;
  const int clientWidth = textLeft + text.cx + margin;
  const int textHeight = std::max<int>(text.cy, icon);
  const int checkTop = margin + textHeight + margin;
  const int buttonsTop = checkTop + scale(kCheckHeight) + scale(kGap);
  const int clientHeight = buttonsTop + scale(kButtonHeight + kMargin);

  TModalForm form;
  const TWindowHandle window =
      CreateRunWindow(Owner, ShortMeasureWindowClassName, MessageCaption, clientWidth, clientHeight, form);
  const HWND iconControl =
      AddControl(form, Font, "STATIC", nullptr, SS_ICON, RECT{margin, margin, margin + icon, margin + icon}, -1);
  SendMessageA(iconControl, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, IDI_WARNING)), 0);
  AddControl(form, Font, "STATIC", message.c_str(), SS_LEFT | SS_NOPREFIX,
             RECT{textLeft, margin, textLeft + text.cx, margin + text.cy}, -1);
  const int checkWidth = TextSize(Font, NeverAgainCaption).cx + scale(kCheckBox + kGap);
  const HWND never = AddControl(form, Font, "BUTTON", NeverAgainCaption, WS_TABSTOP | BS_AUTOCHECKBOX,
                                RECT{textLeft, checkTop, textLeft + checkWidth, checkTop + scale(kCheckHeight)}, 102);
  const int okLeft = clientWidth - margin - scale(kButtonWidth);
  const HWND ok =
      AddControl(form, Font, "BUTTON", OkCaption, WS_TABSTOP | BS_DEFPUSHBUTTON,
                 RECT{okLeft, buttonsTop, okLeft + scale(kButtonWidth), buttonsTop + scale(kButtonHeight)}, IDOK);
  MessageBeep(MB_ICONWARNING);
  RunModal(Owner, form, ok);
  return SendMessageA(never, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
