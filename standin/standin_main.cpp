// The stand-in for the CAD program: a main frame window and a command line
// whose input pane shows the prompt, driven through WM_COPYDATA exactly as
// the real program is. Used by the tests and the demo; see README.md here
// for its options and its transcript.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "acadlink/ansi_text.h"
#include "standin/command_peer.h"
#include "standin/drawing.h"
#include "win32/host_path.h"
#include "win32/win_handles.h"

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
constexpr UINT_PTR kUserTimer = 1;
constexpr UINT_PTR kExportTimer = 2;
constexpr int kHistoryRows = 3;

enum class TCommandLinePlace { kDocked, kFloating, kTextWindow, kCommandWindow };

struct TOptions {
  std::string drawing;
  std::string transcript;
  std::string ready;
  std::string title = kDefaultTitle;
  std::string className = kDefaultClass;
  std::string textTitle;  // default per place
  bool ansi = false;
  bool inputOutputNames = false;
  TCommandLinePlace place = TCommandLinePlace::kDocked;
  long killPaneAfter = 0;
  TPeerOptions peer;
};

// The stand-in's whole state: one instance, reached by the window procedures.
struct TStandin {
  TOptions options;
  std::unique_ptr<TCommandPeer> peer;
  HWND frame = nullptr;
  HWND commandHost = nullptr;  // the top-level window that holds a separate command line
  HWND bar = nullptr;
  HWND inputPane = nullptr;
  HWND outputPane = nullptr;
  TFontHandle font;
  std::deque<std::string> history;
  std::vector<TEntityShape> shapes;
  long inputs = 0;
};
TStandin* Standin = nullptr;

// Transcript lines: control characters and '<' are written as <HH>, so
// every line is one event and the typed bytes can be read back exactly.
std::string Escape(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7f || c == '<') {
      out += '<';
      out += kHex[c >> 4];
      out += kHex[c & 15];
      out += '>';
    } else {
      out += ch;
    }
  }
  return out;
}

void Transcribe(const std::string& line) {
  if (Standin == nullptr || Standin->options.transcript.empty()) return;
  if (FILE* f = std::fopen(Standin->options.transcript.c_str(), "ab")) {
    const std::string text = Escape(line) + "\r\n";
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  std::fclose(f);
  return true;
}

void RepaintPanes() {
  if (Standin->inputPane != nullptr && IsWindow(Standin->inputPane)) InvalidateRect(Standin->inputPane, nullptr, TRUE);
  if (Standin->outputPane != nullptr && IsWindow(Standin->outputPane))
    InvalidateRect(Standin->outputPane, nullptr, TRUE);
}

void CloseEverything() {
  for (HWND w : {Standin->commandHost, Standin->frame})
    if (w != nullptr && IsWindow(w)) DestroyWindow(w);
  PostQuitMessage(0);
}

// ---- painting -------------------------------------------------------------

int BarHeight();

void PaintText(HDC dc, const RECT& area, COLORREF back, COLORREF fore, const std::vector<std::string>& rows) {
  TBrushHandle brush(CreateSolidBrush(back));
  FillRect(dc, &area, brush.Get());
  TSelectObject font(dc, Standin->font.Get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, fore);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  int y = area.top + 2;
  for (const std::string& row : rows) {
    const std::wstring w = AnsiToWide(row);
    TextOutW(dc, area.left + 4, y, w.c_str(), static_cast<int>(w.size()));
    y += tm.tmHeight;
  }
}

void PaintPane(HWND wnd, HDC dc) {
  RECT area;
  GetClientRect(wnd, &area);
  if (wnd == Standin->inputPane) {
    PaintText(dc, area, RGB(255, 255, 255), RGB(0, 0, 0), {Standin->peer->PaneText() + "_"});
  } else {
    std::vector<std::string> rows(Standin->history.begin(), Standin->history.end());
    while (rows.size() < static_cast<std::size_t>(kHistoryRows)) rows.insert(rows.begin(), std::string());
    PaintText(dc, area, RGB(236, 236, 236), RGB(40, 40, 40), rows);
  }
}

COLORREF ColorOf(int aci) {
  switch (aci) {
    case 1:
      return RGB(255, 0, 0);
    case 2:
      return RGB(255, 255, 0);
    case 3:
      return RGB(0, 255, 0);
    case 4:
      return RGB(0, 255, 255);
    case 5:
      return RGB(0, 0, 255);
    case 6:
      return RGB(255, 0, 255);
    default:
      return RGB(255, 255, 255);
  }
}

// The model space: every entity fitted into the area, y upwards; the last
// selection drawn dotted, as the CAD program shows picked objects.
void PaintDrawingArea(HWND wnd, HDC dc) {
  RECT area;
  GetClientRect(wnd, &area);
  if (Standin->bar != nullptr && GetParent(Standin->bar) == wnd) area.bottom -= BarHeight();
  const std::string status = "Model  " + std::to_string(Standin->shapes.size()) + " entities";
  PaintText(dc, area, RGB(33, 40, 48), RGB(160, 170, 180), {status});

  double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
  for (const TEntityShape& shape : Standin->shapes)
    for (const auto& run : shape.runs)
      for (const TPoint2& p : run) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
      }
  if (minX > maxX) return;
  const double margin = 30;
  const double w = std::max(1.0, area.right - 2 * margin), h = std::max(1.0, area.bottom - area.top - 2 * margin);
  const double scale = std::min(w / std::max(maxX - minX, 1e-9), h / std::max(maxY - minY, 1e-9));
  auto toScreen = [&](const TPoint2& p) {
    return POINT{static_cast<LONG>(margin + (p.x - minX) * scale),
                 static_cast<LONG>(area.bottom - margin - (p.y - minY) * scale)};
  };
  const auto& picked = Standin->peer->PreviousSelection();
  SetBkMode(dc, TRANSPARENT);
  for (std::size_t i = 0; i < Standin->shapes.size(); ++i) {
    const TEntityShape& shape = Standin->shapes[i];
    const bool isPicked = std::find(picked.begin(), picked.end(), i) != picked.end();
    TPenHandle pen(CreatePen(isPicked ? PS_DOT : PS_SOLID, 1, ColorOf(shape.color)));
    TSelectObject selected(dc, pen.Get());
    for (const auto& run : shape.runs) {
      std::vector<POINT> points;
      for (const TPoint2& p : run) points.push_back(toScreen(p));
      Polyline(dc, points.data(), static_cast<int>(points.size()));
    }
  }
}

int LineHeight() {
  HDC dc = GetDC(nullptr);
  int h = 16;
  {
    TSelectObject font(dc, Standin->font.Get());
    TEXTMETRICW tm{};
    if (GetTextMetricsW(dc, &tm)) h = tm.tmHeight;
  }
  ReleaseDC(nullptr, dc);
  return h;
}

int BarHeight() { return LineHeight() * (kHistoryRows + 1) + 12; }

void LayOutBar(int width, int height) {
  const int row = LineHeight() + 6;
  MoveWindow(Standin->outputPane, 0, 0, width, height - row, TRUE);
  MoveWindow(Standin->inputPane, 0, height - row, width, row, TRUE);
}

// ---- window procedures ----------------------------------------------------

LRESULT PaneProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  const bool isInput = wnd == Standin->inputPane;
  switch (msg) {
    case WM_GETTEXTLENGTH:
      if (isInput) return static_cast<LRESULT>(AnsiToWide(Standin->peer->PaneText()).size());
      break;
    case WM_GETTEXT:
      if (isInput) {
        // The input pane answers with its prompt line; its caption stays
        // the pane's name.
        const std::wstring text = AnsiToWide(Standin->peer->PaneText());
        const std::size_t room = static_cast<std::size_t>(wp);
        if (room == 0 || lp == 0) return 0;
        const std::size_t n = std::min(text.size(), room - 1);
        auto* out = reinterpret_cast<wchar_t*>(lp);
        text.copy(out, n);
        out[n] = L'\0';
        return static_cast<LRESULT>(n);
      }
      break;
    case WM_ERASEBKGND:
      return TRUE;
    case WM_PAINT: {
      TPaintDc paint(wnd);
      PaintPane(wnd, paint.Get());
      return 0;
    }
    case WM_DESTROY:
      if (isInput) Standin->inputPane = nullptr;
      if (wnd == Standin->outputPane) Standin->outputPane = nullptr;
      break;
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}

LRESULT BarProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SIZE) {
    LayOutBar(LOWORD(lp), HIWORD(lp));
    return 0;
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}

// Text arriving as typed input: UTF-16 for the Unicode frame, ANSI bytes
// for the ANSI one, up to the byte count or the first zero.
void TakeCopyData(const COPYDATASTRUCT& data) {
  const bool unicode = !Standin->options.ansi;
  std::string text;
  if (data.dwData != 1 || data.lpData == nullptr) {
    Transcribe("IGNORED id " + std::to_string(static_cast<unsigned long long>(data.dwData)));
    return;
  }
  if (unicode) {
    const auto* p = static_cast<const wchar_t*>(data.lpData);
    std::wstring w;
    for (std::size_t i = 0; i < data.cbData / 2 && p[i] != L'\0'; ++i) w += p[i];
    text = WideToAnsi(w);
  } else {
    const auto* p = static_cast<const char*>(data.lpData);
    for (std::size_t i = 0; i < data.cbData && p[i] != '\0'; ++i) text += p[i];
  }
  Transcribe(std::string("TEXT ") + (unicode ? "U " : "A ") + std::to_string(data.cbData) + " " + text);
  ++Standin->inputs;
  Standin->peer->Type(text);
  RepaintPanes();
  if (Standin->options.killPaneAfter > 0 && Standin->inputs == Standin->options.killPaneAfter &&
      Standin->inputPane != nullptr) {
    Transcribe("PANE destroyed");
    DestroyWindow(Standin->inputPane);
  }
}

LRESULT FrameCommon(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
  handled = true;
  switch (msg) {
    case WM_COPYDATA:
      TakeCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lp));
      return TRUE;
    case WM_TIMER:
      KillTimer(wnd, wp);
      if (wp == kUserTimer) Standin->peer->UserActs();
      if (wp == kExportTimer) Standin->peer->ExportGoesOn();
      RepaintPanes();
      if (Standin != nullptr && Standin->frame != nullptr && IsWindow(Standin->frame))
        InvalidateRect(Standin->frame, nullptr, FALSE);
      return 0;
    case WM_SIZE:
      if (Standin->bar != nullptr && GetParent(Standin->bar) == wnd) {
        const int h = HIWORD(lp), bar = BarHeight();
        MoveWindow(Standin->bar, 0, h - bar, LOWORD(lp), bar, TRUE);
      }
      return 0;
    case WM_ERASEBKGND:
      return TRUE;
    case WM_PAINT: {
      TPaintDc paint(wnd);
      PaintDrawingArea(wnd, paint.Get());
      return 0;
    }
    case WM_CLOSE:
      Transcribe("CLOSE");
      CloseEverything();
      return 0;
  }
  handled = false;
  return 0;
}

// No exception leaves a window procedure: one that escapes the stand-in's
// own code ends the program quietly, with a note in the transcript.
template <class Body>
LRESULT Guarded(Body body) {
  try {
    return body();
  } catch (const std::exception& e) {
    Transcribe(std::string("ERROR ") + e.what());
  } catch (...) {
    Transcribe("ERROR");
  }
  PostQuitMessage(3);
  return 0;
}

LRESULT CALLBACK FrameProcW(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  return Guarded([&] {
    bool handled = false;
    const LRESULT r = FrameCommon(wnd, msg, wp, lp, handled);
    return handled ? r : DefWindowProcW(wnd, msg, wp, lp);
  });
}

LRESULT CALLBACK FrameProcA(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  return Guarded([&] {
    bool handled = false;
    const LRESULT r = FrameCommon(wnd, msg, wp, lp, handled);
    return handled ? r : DefWindowProcA(wnd, msg, wp, lp);
  });
}

LRESULT CALLBACK HostProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SIZE && Standin->bar != nullptr) {
    MoveWindow(Standin->bar, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
    return 0;
  }
  if (msg == WM_CLOSE) {
    ShowWindow(wnd, SW_HIDE);
    return 0;
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}

LRESULT CALLBACK PaneProcThunk(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  return Guarded([&] { return PaneProc(wnd, msg, wp, lp); });
}
LRESULT CALLBACK BarProcThunk(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  return Guarded([&] { return BarProc(wnd, msg, wp, lp); });
}

// ---- set-up ---------------------------------------------------------------

bool ParsePick(const std::string& value, TPickRule& rule) {
  if (value == "all") {
    rule.kind = TPickRule::kAll;
  } else if (value == "none") {
    rule.kind = TPickRule::kNone;
  } else if (value.rfind("layer:", 0) == 0) {
    rule.kind = TPickRule::kLayer;
    rule.layer = value.substr(6);
  } else {
    rule.kind = TPickRule::kIndexes;
    std::size_t pos = 0;
    while (pos <= value.size()) {
      const std::size_t comma = std::min(value.find(',', pos), value.size());
      const std::string item = value.substr(pos, comma - pos);
      if (item.empty() || item.find_first_not_of("0123456789") != std::string::npos) return false;
      rule.indexes.push_back(std::stoul(item));
      pos = comma + 1;
    }
  }
  return true;
}

bool ParseOptions(const std::vector<std::string>& args, TOptions& o, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    auto number = [&](auto& out) {
      std::string v;
      if (!value(v)) return false;
      if (v.empty() || v.find_first_not_of("0123456789") != std::string::npos) {
        error = a + " needs a number";
        return false;
      }
      out = static_cast<std::remove_reference_t<decltype(out)>>(std::stoul(v));
      return true;
    };
    std::string v;
    if (a == "--drawing") {
      if (!value(v)) return false;
      o.drawing = HostToWindowsPath(v);
    } else if (a == "--transcript") {
      if (!value(v)) return false;
      o.transcript = HostToWindowsPath(v);
    } else if (a == "--ready") {
      if (!value(v)) return false;
      o.ready = HostToWindowsPath(v);
    } else if (a == "--title") {
      if (!value(o.title)) return false;
    } else if (a == "--class") {
      if (!value(o.className)) return false;
    } else if (a == "--text-title") {
      if (!value(o.textTitle)) return false;
    } else if (a == "--ansi") {
      o.ansi = true;
    } else if (a == "--panes") {
      if (!value(v)) return false;
      if (v != "headlands" && v != "input") {
        error = "--panes takes headlands or input";
        return false;
      }
      o.inputOutputNames = v == "input";
    } else if (a == "--cmdline") {
      if (!value(v)) return false;
      if (v == "docked")
        o.place = TCommandLinePlace::kDocked;
      else if (v == "floating")
        o.place = TCommandLinePlace::kFloating;
      else if (v == "textwindow")
        o.place = TCommandLinePlace::kTextWindow;
      else if (v == "cmdwindow")
        o.place = TCommandLinePlace::kCommandWindow;
      else {
        error = "--cmdline takes docked, floating, textwindow or cmdwindow";
        return false;
      }
    } else if (a == "--pick") {
      if (!value(v)) return false;
      if (!ParsePick(v, o.peer.pick)) {
        error = "--pick takes all, none, layer:NAME or indexes like 0,2,5";
        return false;
      }
    } else if (a == "--pick-delay") {
      if (!number(o.peer.pickDelayMs)) return false;
    } else if (a == "--export-delay") {
      if (!number(o.peer.exportDelayMs)) return false;
    } else if (a == "--export-hang") {
      o.peer.exportHangs = true;
    } else if (a == "--no-dxf") {
      o.peer.writeNoDxf = true;
    } else if (a == "--ask-export") {
      o.peer.askExport = true;
    } else if (a == "--kill-pane-after") {
      if (!number(o.killPaneAfter)) return false;
    } else if (a == "--close-during-select") {
      o.peer.closeDuringSelect = true;
    } else {
      error = "unknown option " + a;
      return false;
    }
  }
  return true;
}

HWND CreateTopLevel(bool ansi, const std::string& className, const std::string& title, int x, int y, int w, int h) {
  if (ansi) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FrameProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = className.c_str();
    RegisterClassExA(&wc);
    return CreateWindowExA(0, className.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y, w, h,
                           nullptr, nullptr, wc.hInstance, nullptr);
  }
  const std::wstring cls = AnsiToWide(className);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = FrameProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = cls.c_str();
  RegisterClassExW(&wc);
  return CreateWindowExW(0, cls.c_str(), AnsiToWide(title).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y, w, h,
                         nullptr, nullptr, wc.hInstance, nullptr);
}

HWND CreateCommandHost(const std::string& className, const std::string& title, int x, int y, int w, int h) {
  const std::wstring cls = AnsiToWide(className);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = HostProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = cls.c_str();
  RegisterClassExW(&wc);
  return CreateWindowExW(0, cls.c_str(), AnsiToWide(title).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y, w, h,
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
void CreateCommandLine(HWND parent) {
  RECT rc;
  GetClientRect(parent, &rc);
  const bool docked = parent == Standin->frame;
  const int h = docked ? BarHeight() : rc.bottom;
  Standin->bar = CreateWindowExW(0, kBarClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, rc.bottom - h, rc.right,
                                 h, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  const wchar_t* outputName = Standin->options.inputOutputNames ? L"output" : L"MountTam";
  const wchar_t* inputName = Standin->options.inputOutputNames ? L"input" : L"Headlands";
  Standin->outputPane = CreateWindowExW(0, kPaneClass, outputName, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, Standin->bar,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
  Standin->inputPane = CreateWindowExW(0, kPaneClass, inputName, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, Standin->bar,
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
  LayOutBar(rc.right, h);
}

std::vector<std::string> Arguments() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(WideToAnsi(argv[i]));
  LocalFree(argv);
  return args;
}

int Run() {
  TStandin standin;
  Standin = &standin;
  std::string error;
  if (!ParseOptions(Arguments(), standin.options, error)) {
    std::fprintf(stderr, "standin: %s\n", error.c_str());
    return 2;
  }
  TOptions& o = standin.options;

  TDrawing drawing;
  if (!o.drawing.empty()) {
    std::string bytes;
    if (!ReadFileBytes(o.drawing, bytes)) {
      std::fprintf(stderr, "standin: cannot read %s\n", o.drawing.c_str());
      return 2;
    }
    drawing = ParseDrawing(bytes);
  }
  for (std::size_t i = 0; i < drawing.entities.size(); ++i) standin.shapes.push_back(EntityShape(drawing, i));

  TPeerHost host;
  host.promptShown = [](const std::string& p) {
    Transcribe("PROMPT " + p);
    RepaintPanes();
  };
  host.historyLine = [](const std::string& line) {
    Standin->history.push_back(line);
    while (Standin->history.size() > static_cast<std::size_t>(kHistoryRows)) Standin->history.pop_front();
  };
  host.note = [](const std::string& what) { Transcribe(what); };
  host.startUserTimer = [](unsigned ms) { SetTimer(Standin->frame, kUserTimer, ms, nullptr); };
  host.startExportTimer = [](unsigned ms) { SetTimer(Standin->frame, kExportTimer, ms, nullptr); };
  host.fileExists = FileExists;
  host.writeFile = WriteFileBytes;
  host.closeProgram = CloseEverything;
  standin.peer = std::make_unique<TCommandPeer>(host, o.peer, std::move(drawing));

  standin.font =
      TFontHandle(CreateFontW(-15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"MS Gothic"));
  RegisterChildClasses();
  standin.frame = CreateTopLevel(o.ansi, o.className, o.title, 40, 40, 900, 560);
  if (standin.frame == nullptr) {
    std::fprintf(stderr, "standin: cannot create the main window\n");
    return 2;
  }
  switch (o.place) {
    case TCommandLinePlace::kDocked:
      CreateCommandLine(standin.frame);
      break;
    case TCommandLinePlace::kFloating:
      standin.commandHost =
          CreateCommandHost(kFloatingClass, o.textTitle.empty() ? kFloatingTitle : o.textTitle, 60, 620, 860, 110);
      break;
    case TCommandLinePlace::kTextWindow:
      standin.commandHost =
          CreateCommandHost(kTextWindowClass, o.textTitle.empty() ? kTextWindowTitle : o.textTitle, 960, 40, 300, 400);
      break;
    case TCommandLinePlace::kCommandWindow:
      standin.commandHost = CreateCommandHost(
          "OrvelineStandinCommandWindow", o.textTitle.empty() ? kCommandWindowTitle : o.textTitle, 960, 40, 300, 400);
      break;
  }
  if (standin.commandHost != nullptr) CreateCommandLine(standin.commandHost);

  standin.peer->Start();
  ShowWindow(standin.frame, SW_SHOWNORMAL);
  UpdateWindow(standin.frame);
  if (standin.commandHost != nullptr) {
    ShowWindow(standin.commandHost, SW_SHOWNOACTIVATE);
    UpdateWindow(standin.commandHost);
  }
  Transcribe("READY " + std::to_string(GetCurrentProcessId()));
  if (!o.ready.empty()) WriteFileBytes(o.ready, std::to_string(GetCurrentProcessId()) + "\r\n");

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  Standin = nullptr;
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    return Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "standin: %s\n", e.what());
    return 3;
  }
}
