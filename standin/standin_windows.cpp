#include <windows.h>

#include "standin/standin_windows.h"

#include <cstdio>
#include <exception>

#include "acadlink/ansi_text.h"
#include "standin/standin_paint.h"
#include "standin/transcript.h"

TStandin* Standin = nullptr;

namespace {

const char kDefaultTitle[] =
    "AutoCAD LT 2000 - [\x90\x7d\x96\xca"
    "1.dwg]";  // AutoCAD LT 2000 - [図面1.dwg]
const char kDefaultClass[] = "Afx:00400000:8:00010011:00000000:000B0157";
const char kFloatingTitle[] = "\x83\x52\x83\x7d\x83\x93\x83\x68 \x83\x89\x83\x43\x83\x93";  // コマンド ライン
const char kFloatingClass[] = "Afx:00400000:8:00010011:00000000:00000000";
const char kTextWindowTitle[] =
    "AutoCAD \x83\x65\x83\x4c\x83\x58\x83\x67 \x83\x45\x83\x42\x83\x93\x83\x68\x83\x45 - \x90\x7d\x96\xca"
    "1.dwg";  // AutoCAD テキスト ウィンドウ - 図面1.dwg
const char kTextWindowClass[] = "Afx:00400000:b:00010011:00000006:00000000";
const char kCommandWindowTitle[] =
    "\x83\x52\x83\x7d\x83\x93\x83\x68 \x83\x45\x83\x42\x83\x93\x83\x68\x83\x45";  // コマンド ウィンドウ
const wchar_t kBarClass[] = L"OrvelineStandinCommandBar";
const wchar_t kPaneClass[] = L"OrvelineStandinPane";
const char kFileDialogTitle[] =
    "\x90\x7d\x96\xca\x82\xc9\x96\xbc\x91\x4f\x82\xf0\x95\x74\x82\xaf\x82\xc4\x95\xdb\x91\xb6";  // 図面に名前を付けて保存
const char kFileDialogText[] =
    "DXF "
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc\x82\xf0\x8e\x77\x92\xe8\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2"
    "\x81\x42";  // DXF ファイル名を指定してください。
constexpr UINT kHangMessage = WM_APP + 2;

int BarHeight() { return FontLineHeight(Standin->font.Get()) * (kHistoryRows + 1) + 12; }

void LayOutBar(int Width, int Height) {
  const int row = FontLineHeight(Standin->font.Get()) + 6;
  MoveWindow(Standin->outputPane, 0, 0, Width, Height - row, TRUE);
  MoveWindow(Standin->inputPane, 0, Height - row, Width, row, TRUE);
}

void PaintPane(HWND Wnd, HDC Dc) {
  RECT area;
  GetClientRect(Wnd, &area);
  if (Wnd == Standin->inputPane) {
    PaintTextRows(Dc, area, Standin->font.Get(), RGB(255, 255, 255), RGB(0, 0, 0), {Standin->peer->PaneText() + "_"});
  } else {
    std::vector<std::string> rows(Standin->history.begin(), Standin->history.end());
    while (rows.size() < static_cast<std::size_t>(kHistoryRows)) rows.insert(rows.begin(), std::string());
    PaintTextRows(Dc, area, Standin->font.Get(), RGB(236, 236, 236), RGB(40, 40, 40), rows);
  }
}

void PaintFrame(HWND Wnd, HDC Dc) {
  RECT area;
  GetClientRect(Wnd, &area);
  if (Standin->bar != nullptr && GetParent(Standin->bar) == Wnd) area.bottom -= BarHeight();
  PaintDrawingArea(Dc, area, Standin->font.Get(), Standin->shapes, Standin->peer->PreviousSelection());
}

// The input pane answers WM_GETTEXT with its prompt line; its caption
// stays the pane's name.
LRESULT AnswerPaneText(WPARAM Room, LPARAM Buffer) {
  const std::wstring text = AnsiToWide(Standin->peer->PaneText());
  const std::size_t room = static_cast<std::size_t>(Room);
  if (room == 0 || Buffer == 0) return 0;
  const std::size_t n = std::min(text.size(), room - 1);
  auto* out = reinterpret_cast<wchar_t*>(Buffer);
  text.copy(out, n);
  out[n] = L'\0';
  return static_cast<LRESULT>(n);
}

LRESULT PaneProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  const bool isInput = Wnd == Standin->inputPane;
  switch (Msg) {
    case WM_GETTEXTLENGTH:
      if (isInput) return static_cast<LRESULT>(AnsiToWide(Standin->peer->PaneText()).size());
      break;
    case WM_GETTEXT:
      if (isInput) return AnswerPaneText(W, L);
      break;
    case WM_ERASEBKGND:
      return TRUE;
    case WM_PAINT: {
      TPaintDc paint(Wnd);
      PaintPane(Wnd, paint.Get());
      return 0;
    }
    case WM_DESTROY:
      if (isInput) Standin->inputPane = nullptr;
      if (Wnd == Standin->outputPane) Standin->outputPane = nullptr;
      break;
  }
  return DefWindowProcW(Wnd, Msg, W, L);
}

LRESULT BarProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  if (Msg == WM_SIZE) {
    LayOutBar(LOWORD(L), HIWORD(L));
    return 0;
  }
  return DefWindowProcW(Wnd, Msg, W, L);
}

void TakeUp(const std::string& Text) {
  Standin->peer->Type(Text);
  RepaintPanes();
}

// The texts whose lag has passed, in the order they arrived; the timer is
// set again for the next.
void TakeUpLaggedTexts() {
  const DWORD now = GetTickCount();
  auto& lagged = Standin->lagged;
  while (!lagged.empty() && static_cast<LONG>(now - lagged.front().due) >= 0) {
    const std::string text = std::move(lagged.front().text);
    lagged.pop_front();
    TakeUp(text);
  }
  if (!lagged.empty()) SetTimer(Standin->frame, kLagTimer, lagged.front().due - now, nullptr);
}

// Text arriving as typed input: UTF-16 for the Unicode frame, ANSI bytes
// for the ANSI one, up to the byte count or the first zero.
void TakeCopyData(const COPYDATASTRUCT& Data) {
  const bool unicode = !Standin->options.ansi;
  std::string text;
  if (Data.dwData != 1 || Data.lpData == nullptr) {
    Transcribe("IGNORED id " + std::to_string(static_cast<unsigned long long>(Data.dwData)));
    return;
  }
  if (unicode) {
    const auto* p = static_cast<const wchar_t*>(Data.lpData);
    std::wstring w;
    for (std::size_t i = 0; i < Data.cbData / 2 && p[i] != L'\0'; ++i) w += p[i];
    text = WideToAnsi(w);
  } else {
    const auto* p = static_cast<const char*>(Data.lpData);
    for (std::size_t i = 0; i < Data.cbData && p[i] != '\0'; ++i) text += p[i];
  }
  Transcribe(std::string("TEXT ") + (unicode ? "U " : "A ") + std::to_string(Data.cbData) + " " + text);
  ++Standin->inputs;
  if (const unsigned lag = Standin->options.lagMs; lag > 0) {
    // Taken up later through the message queue; the message returns now.
    Standin->lagged.push_back({GetTickCount() + lag, text});
    if (Standin->lagged.size() == 1) SetTimer(Standin->frame, kLagTimer, lag, nullptr);
  } else {
    TakeUp(text);
  }
  if (Standin->options.hangAfter > 0 && Standin->inputs == Standin->options.hangAfter)
    PostMessageW(Standin->frame, kHangMessage, 0, 0);
  if (Standin->options.killPaneAfter > 0 && Standin->inputs == Standin->options.killPaneAfter &&
      Standin->inputPane != nullptr) {
    Transcribe("PANE destroyed");
    DestroyWindow(Standin->inputPane);
  }
}

LRESULT FrameCommon(HWND Wnd, UINT Msg, WPARAM W, LPARAM L, bool& Handled) {
  Handled = true;
  switch (Msg) {
    case WM_COPYDATA:
      TakeCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(L));
      return TRUE;
    case WM_TIMER:
      KillTimer(Wnd, W);
      if (W == kUserTimer) Standin->peer->UserActs();
      if (W == kExportTimer) Standin->peer->ExportGoesOn();
      if (W == kLingerTimer) Standin->peer->LingerEnds();
      if (W == kLagTimer) TakeUpLaggedTexts();
      RepaintPanes();
      if (Standin->frame != nullptr && IsWindow(Standin->frame)) InvalidateRect(Standin->frame, nullptr, FALSE);
      return 0;
    case WM_SIZE:
      if (Standin->bar != nullptr && GetParent(Standin->bar) == Wnd) {
        const int h = HIWORD(L), bar = BarHeight();
        MoveWindow(Standin->bar, 0, h - bar, LOWORD(L), bar, TRUE);
      }
      return 0;
    case WM_ERASEBKGND:
      return TRUE;
    case WM_PAINT: {
      TPaintDc paint(Wnd);
      PaintFrame(Wnd, paint.Get());
      return 0;
    }
    case WM_CLOSE:
      Transcribe("CLOSE");
      CloseEverything();
      return 0;
    case kOpenFileDialogMessage:
      // Modal: the frame is disabled and typed text queues until it closes.
      MessageBoxW(Wnd, AnsiToWide(kFileDialogText).c_str(), AnsiToWide(kFileDialogTitle).c_str(), MB_OKCANCEL);
      Standin->peer->FileDialogClosed();
      RepaintPanes();
      return 0;
    case kHangMessage:
      // A hung program: this thread never takes a message again.
      Transcribe("HUNG");
      for (;;) Sleep(INFINITE);
  }
  Handled = false;
  return 0;
}

// No exception leaves a window procedure: one that escapes the stand-in's
// own code ends the program quietly, with a note in the transcript.
template <class TBody>
LRESULT EndQuietlyOnError(TBody Body) {
  try {
    return Body();
  } catch (const std::exception& e) {
    Transcribe(std::string("ERROR ") + e.what());
  } catch (...) {
    Transcribe("ERROR");
  }
  PostQuitMessage(3);
  return 0;
}

LRESULT CALLBACK FrameProcW(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  return EndQuietlyOnError([&] {
    bool handled = false;
    const LRESULT r = FrameCommon(Wnd, Msg, W, L, handled);
    return handled ? r : DefWindowProcW(Wnd, Msg, W, L);
  });
}

LRESULT CALLBACK FrameProcA(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  return EndQuietlyOnError([&] {
    bool handled = false;
    const LRESULT r = FrameCommon(Wnd, Msg, W, L, handled);
    return handled ? r : DefWindowProcA(Wnd, Msg, W, L);
  });
}

LRESULT CALLBACK HostProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  if (Msg == WM_SIZE && Standin->bar != nullptr) {
    MoveWindow(Standin->bar, 0, 0, LOWORD(L), HIWORD(L), TRUE);
    return 0;
  }
  if (Msg == WM_CLOSE) {
    ShowWindow(Wnd, SW_HIDE);
    return 0;
  }
  return DefWindowProcW(Wnd, Msg, W, L);
}

LRESULT CALLBACK PaneProcThunk(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  return EndQuietlyOnError([&] { return PaneProc(Wnd, Msg, W, L); });
}
LRESULT CALLBACK BarProcThunk(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  return EndQuietlyOnError([&] { return BarProc(Wnd, Msg, W, L); });
}

HWND CreateTopLevel(bool Ansi, const std::string& ClassName, const std::string& Title, int X, int Y, int W, int H) {
  if (Ansi) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FrameProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = ClassName.c_str();
    RegisterClassExA(&wc);
    return CreateWindowExA(0, ClassName.c_str(), Title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, X, Y, W, H,
                           nullptr, nullptr, wc.hInstance, nullptr);
  }
  const std::wstring cls = AnsiToWide(ClassName);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = FrameProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = cls.c_str();
  RegisterClassExW(&wc);
  return CreateWindowExW(0, cls.c_str(), AnsiToWide(Title).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, X, Y, W, H,
                         nullptr, nullptr, wc.hInstance, nullptr);
}

HWND CreateCommandHost(const std::string& ClassName, const std::string& Title, int X, int Y, int W, int H) {
  const std::wstring cls = AnsiToWide(ClassName);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = HostProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = cls.c_str();
  RegisterClassExW(&wc);
  return CreateWindowExW(0, cls.c_str(), AnsiToWide(Title).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, X, Y, W, H,
                         nullptr, nullptr, wc.hInstance, nullptr);
}

void RegisterChildClasses() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_IBEAM);
  wc.lpfnWndProc = PaneProcThunk;
  wc.lpszClassName = kPaneClass;
  RegisterClassExW(&wc);
  wc.lpfnWndProc = BarProcThunk;
  wc.lpszClassName = kBarClass;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  RegisterClassExW(&wc);
}

// The command line: a bar holding the output pane (history) above the input
// pane (the prompt line).
void CreateCommandLine(HWND Parent) {
  RECT rc;
  GetClientRect(Parent, &rc);
  const bool docked = Parent == Standin->frame;
  const int h = docked ? BarHeight() : rc.bottom;
  Standin->bar = CreateWindowExW(0, kBarClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, rc.bottom - h, rc.right,
                                 h, Parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  const wchar_t* outputName = Standin->options.inputOutputNames ? L"output" : L"MountTam";
  const wchar_t* inputName = Standin->options.inputOutputNames ? L"input" : L"Headlands";
  Standin->outputPane = CreateWindowExW(0, kPaneClass, outputName, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, Standin->bar,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
  Standin->inputPane = CreateWindowExW(0, kPaneClass, inputName, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, Standin->bar,
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
  LayOutBar(rc.right, h);
}

}  // namespace

void Transcribe(const std::string& Line) {
  if (Standin != nullptr) AppendTranscriptLine(Standin->options.transcript, Line);
}

void RepaintPanes() {
  for (HWND pane : {Standin->inputPane, Standin->outputPane})
    if (pane != nullptr && IsWindow(pane)) InvalidateRect(pane, nullptr, TRUE);
}

void CloseEverything() {
  for (HWND w : {Standin->commandHost, Standin->frame})
    if (w != nullptr && IsWindow(w)) DestroyWindow(w);
  PostQuitMessage(0);
}

bool WriteExportFile(const std::string& Path, const std::string& Bytes) {
  std::FILE* f = std::fopen(Path.c_str(), "wb");
  if (f == nullptr) return false;
  const unsigned busy = Standin->options.busyDuringExportMs;
  const std::size_t first = busy > 0 ? Bytes.size() / 2 : Bytes.size();
  bool ok = std::fwrite(Bytes.data(), 1, first, f) == first;
  if (busy > 0) {
    std::fflush(f);
    Transcribe("BUSY " + std::to_string(busy));
    Sleep(busy);
    ok = std::fwrite(Bytes.data() + first, 1, Bytes.size() - first, f) == Bytes.size() - first && ok;
  }
  return std::fclose(f) == 0 && ok;
}

bool CreateStandinWindows() {
  const TStandinOptions& o = Standin->options;
  RegisterChildClasses();
  Standin->frame = CreateTopLevel(o.ansi, o.className.empty() ? kDefaultClass : o.className,
                                  o.title.empty() ? kDefaultTitle : o.title, 40, 40, 900, 560);
  if (Standin->frame == nullptr) return false;
  auto title = [&](const char* standard) { return o.textTitle.empty() ? std::string(standard) : o.textTitle; };
  switch (o.place) {
    case TCommandLinePlace::kDocked:
      CreateCommandLine(Standin->frame);
      break;
    case TCommandLinePlace::kFloating:
      Standin->commandHost = CreateCommandHost(kFloatingClass, title(kFloatingTitle), 60, 620, 860, 110);
      break;
    case TCommandLinePlace::kTextWindow:
      Standin->commandHost = CreateCommandHost(kTextWindowClass, title(kTextWindowTitle), 960, 40, 300, 400);
      break;
    case TCommandLinePlace::kCommandWindow:
      Standin->commandHost =
          CreateCommandHost("OrvelineStandinCommandWindow", title(kCommandWindowTitle), 960, 40, 300, 400);
      break;
  }
  if (Standin->commandHost != nullptr) CreateCommandLine(Standin->commandHost);
  return true;
}
