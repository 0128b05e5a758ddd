#include "app/kirusa_form.h"

#include <commdlg.h>

#include <vector>

#include "app/error_handler.h"
#include "app/run_windows.h"
#include "app/settings.h"
#include "app/settings_window.h"
#include "report/run_summary.h"
#include "win32/win32_error.h"
#include "win32/window_text.h"

namespace {

const char* const kFormClassName = TKirusaF::ClassName;
const char* const kFormCaption = "Orveline";
const char* const kLabelCaption =
    "\x8c\x8b\x89\xca\x95\xdb\x91\xb6\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc";  // 結果保存ファイル名
const char* const kBrowseCaption = "\x8e\x51\x8f\xc6";                           // 参照
const char* const kBannerCaption =
    "\x91\x49\x91\xf0\x82\xb5\x82\xbd\x97\x76\x91\x66\x82\xcc\x91\xae\x90\xab\x92\x6c\x82\xf0"
    "CSV\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xd6\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb7";  // 選択した要素の属性値をCSVファイルへ保存します
const char* const kRunCaption = "\x8e\xc0\x81\x40\x8d\x73";    // 実　行 (an ideographic space between)
const char* const kCloseCaption = "\x95\xc2\x82\xb6\x82\xe9";  // 閉じる
const char* const SettingsItem = "\x90\xdd\x92\xe8...";        // 設定...
// The system menu's item; below 0xF000, where the system's own commands are.
const UINT SettingsCommand = 0x0010;

// Client size at 96 pixels per inch.
const int kFormClientWidth = 219;
const int kFormClientHeight = 131;

}  // namespace

TKirusaF::TKirusaF() = default;

TKirusaF::~TKirusaF() {
  if (form_) DestroyWindow(form_);
}

int TKirusaF::Scale(int Pixels) const { return MulDiv(Pixels, dpi_, 96); }

void TKirusaF::Create(HINSTANCE Instance) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = Instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kFormClassName;
  if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) ThrowLastError("RegisterClassExA");

  dpi_ = GetDeviceCaps(TWindowDc(nullptr).Get(), LOGPIXELSY);

  // A fixed dialog frame with only the system menu and its close box, on top
  // of every window that is not itself topmost.
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
  RECT frame{0, 0, Scale(kFormClientWidth), Scale(kFormClientHeight)};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

  form_ = CreateWindowExA(exStyle, kFormClassName, kFormCaption, style, left, top, width, height, nullptr, nullptr,
                          Instance, this);
  if (!form_) ThrowLastError("CreateWindowExA");
  CreateComponents(Instance);
  HMENU systemMenu = GetSystemMenu(form_, FALSE);
  AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(systemMenu, MF_STRING, SettingsCommand, SettingsItem);
  FormCreate(form_);
  ShowWindow(form_, SW_SHOWNORMAL);
  UpdateWindow(form_);
  SetFocus(plButton1.Handle());  // tab order 0: Enter starts a run at once
}

void TKirusaF::CreateComponents(HINSTANCE Instance) {
  TFont dialogFont = DialogFont();  // ＭＳ Ｐゴシック, 12 pixels, Shift-JIS
  dialogFont.Height = -Scale(12);
  font_ = CreateFontHandle(dialogFont);

  auto child = [&](DWORD exStyle, const char* className, const char* text, DWORD style, int x, int y, int w, int h) {
    HWND window = CheckCreated(CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, Scale(x),
                                               Scale(y), Scale(w), Scale(h), form_, nullptr, Instance, nullptr),
                               "CreateWindowExA");
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    return window;
  };

  EsScrollingMarquee1.SetBounds(Scale(8), Scale(8), Scale(201), Scale(35));
  EsScrollingMarquee1.SetParent(form_);
  EsScrollingMarquee1.SetFont({"Times New Roman", -Scale(27), clGray, SHIFTJIS_CHARSET});
  EsScrollingMarquee1.SetCaption(kBannerCaption);
  EsScrollingMarquee1.SetAlignment(TAlignment::taLeftJustify);
  EsScrollingMarquee1.SetScrollSpeed(5);

  Label1 = child(0, "STATIC", kLabelCaption, SS_LEFT | SS_NOPREFIX, 8, 48, 101, 12);

  auto button = [&](TplButton& b, int left, const char* caption, void (TKirusaF::*handler)(HWND)) {
    b.SetBounds(Scale(left), Scale(96), Scale(75), Scale(26));
    b.SetParent(form_);
    b.CaptionA().SetCaption(caption);  // after SetParent, which names it
    b.SetGradEndColor(clMoneyGreen);
    b.SetCaptionTop(Scale(8));  // also turns vertical centring off
    b.Image().SetTop(0);
    b.SetDisableImage(false);
    b.OnClick = [this, handler](TplButton& sender) {
      RunShowingErrors(form_, [&] { (this->*handler)(sender.Handle()); });
    };
  };
  // Creation order is the tab order: the run button, the close button, the
  // file-name box, the browse button.
  button(plButton1, 136, kRunCaption, &TKirusaF::Button4Click);
  button(plButton2, 16, kCloseCaption, &TKirusaF::Button5Click);
  Edit1 = child(WS_EX_CLIENTEDGE, "EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, 8, 64, 201, 20);
  Button1 = child(0, "BUTTON", kBrowseCaption, WS_TABSTOP | BS_PUSHBUTTON, 160, 48, 51, 17);
}

void TKirusaF::FormCreate(HWND /*Sender*/) {
  SetWindowTextA(Edit1, "");
  EsScrollingMarquee1.SetActive(true);
  folder_ = MakeWorkFolder(form_);
  fileBase_ = MakeWorkFileBase(folder_);
  SetWindowTextA(Edit1, ReadSavedName(SettingsFilePath(folder_)).c_str());
  settings_ = ReadDialogSettings(SettingsFilePath(folder_));
  shortMeasuresSilenced_ = ReadShortMeasuresSilenced(SettingsFilePath(folder_));
}

void TKirusaF::FormClose(HWND /*Sender*/) { WriteSavedName(SettingsFilePath(folder_), ResultFileName()); }

void TKirusaF::Close() {
  if (ExportRunActive()) {
    // The run in progress ends at its next poll; the dialog closes then.
    closeWhenIdle_ = true;
    return;
  }
  closeWhenIdle_ = false;
  // A settings file that cannot be written keeps the dialog open, with the
  // name the user typed still in its box.
  if (RunShowingErrors(form_, [&] { FormClose(form_); })) DestroyWindow(form_);
}

void TKirusaF::Button1Click(HWND /*Sender*/) {
  std::vector<char> name(32768, '\0');
  lastSaveName_.copy(name.data(), name.size() - 1);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = form_;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
  if (!GetSaveFileNameA(&ofn)) return;  // cancelled: the box keeps its text
  lastSaveName_ = name.data();
  SetWindowTextA(Edit1, lastSaveName_.c_str());
}

void TKirusaF::Button4Click(HWND /*Sender*/) {
  if (ExportRunActive()) return;  // one run at a time
  // A close asked for during the run happens once the run is over, however
  // it ended.
  struct TCloseAfterwards {
    TKirusaF& Dialog;
    ~TCloseAfterwards() {
      if (Dialog.closeWhenIdle_) PostMessageA(Dialog.form_, WM_CLOSE, 0, 0);
    }
  } closeAfterwards{*this};
  RunExport(*this, acad_, fileBase_);
}

void TKirusaF::Button5Click(HWND /*Sender*/) { SendMessageA(form_, WM_CLOSE, 0, 0); }

void TKirusaF::SettingsClick() {
  if (ExportRunActive()) return;  // the run under way keeps the settings it started with
  TDialogSettings chosen = settings_;
  if (!ShowSettingsWindow(form_, font_.Get(), dpi_, chosen)) return;
  settings_ = chosen;
  // Kept at once, so that they hold for the next start too; a settings file
  // that cannot be written is said (and the choice holds for this start).
  WriteDialogSettings(SettingsFilePath(folder_), settings_);
}

void TKirusaF::TellShortMeasures(std::int64_t Bulged, std::int64_t Closed) {
  if (shortMeasuresSilenced_) return;
  const bool never = ShowShortMeasureWindow(form_, font_.Get(), dpi_, Bulged, Closed);
  SetFocus(plButton1.Handle());
  if (!never) return;
  shortMeasuresSilenced_ = true;
  WriteShortMeasuresSilenced(SettingsFilePath(folder_), true);
}

void TKirusaF::ShowRunResult(const std::string& CsvPath, const TReportResult& Result, bool Exact) {
  if (!settings_.ShowResults) return;
  ShowResultsWindow(form_, font_.Get(), dpi_, ControlText(SummaryText(Result.Drawings, Exact)), CsvPath);
  SetFocus(plButton1.Handle());
}

std::string TKirusaF::ResultFileName() { return ReadWindowText(Edit1); }

void TKirusaF::ShowMessage(const std::string& Text) {
  // The control that had the focus (the run button after a run) has it
  // again once the box is closed.
  const HWND focused = GetFocus();
  MessageBoxA(form_, Text.c_str(), kFormCaption, MB_OK);
  if (focused && IsWindow(focused)) SetFocus(focused);
}

void TKirusaF::Minimize() { ShowWindow(form_, SW_MINIMIZE); }

void TKirusaF::Restore() {
  ShowWindow(form_, SW_RESTORE);
  SetForegroundWindow(form_);
  SetFocus(plButton1.Handle());  // ready for the next run
}

void TKirusaF::ProcessMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      closeWhenIdle_ = true;
      return;
    }
    RunShowingErrors(form_, [&] { DispatchOne(form_, message); });
  }
}

void TKirusaF::DispatchOne(HWND Form, MSG& Message) {
  // Enter and Esc go to the gradient buttons first, then Tab and the rest of
  // the dialog keys to the dialog manager.
  if (HandleDialogKey(Message) || (Form && IsDialogMessageA(Form, &Message))) {
    RethrowHeldException();
    return;
  }
  TranslateMessage(&Message);
  DispatchMessageA(&Message);
  RethrowHeldException();
}

LRESULT CALLBACK TKirusaF::WindowProc(HWND Window, UINT Message, WPARAM W, LPARAM L) {
  if (Message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(L);
    auto* form = static_cast<TKirusaF*>(create->lpCreateParams);
    form->form_ = Window;
    SetWindowLongPtrA(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<TKirusaF*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
  if (!form) return DefWindowProcA(Window, Message, W, L);
  LRESULT result = 0;
  if (!RunShowingErrors(Window, [&] { result = form->HandleMessage(Window, Message, W, L); })) return 0;
  return result;
}

LRESULT TKirusaF::HandleMessage(HWND Window, UINT Message, WPARAM W, LPARAM L) {
  switch (Message) {
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(L) == Button1 && HIWORD(W) == BN_CLICKED) {
        Button1Click(Button1);
        return 0;
      }
      if (LOWORD(W) == IDCANCEL || LOWORD(W) == IDOK) return 0;  // Enter and Esc belong to the gradient buttons
      break;
    case WM_SYSCOMMAND:
      if ((W & 0xFFF0) == SettingsCommand) {
        SettingsClick();
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers everything; the banner must not flicker
    case WM_PAINT: {
      TPaintDc paint(Window);
      PaintFormSurface(Window, paint.Get());
      return 0;
    }
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_.Get());
    case WM_CLOSE:
      Close();
      return 0;
    case WM_DESTROY:
      EsScrollingMarquee1.SetActive(false);
      form_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(Window, Message, W, L);
}
