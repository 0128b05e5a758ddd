#include "acadlink/test_windows.h"

#include "win32/win32_error.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <stdexcept>

namespace {

std::vector<TReceived> Received;
std::wstring StandinPath;

LRESULT Record(HWND Wnd, UINT Msg, LPARAM Lp) noexcept {
  try {
    if (Msg == WM_COPYDATA) {
      const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(Lp);
      const auto* bytes = static_cast<const char*>(record->lpData);
      Received.push_back({Wnd, Msg, record->dwData, record->cbData, std::string(bytes, bytes + record->cbData)});
      return TRUE;
    }
    if (Msg == WM_NULL) Received.push_back({Wnd, Msg, 0, 0, {}});
  } catch (...) {
    // Out of memory while recording: the test sees the message missing.
  }
  return 0;
}

LRESULT CALLBACK RecordingProcW(HWND Wnd, UINT Msg, WPARAM Wp, LPARAM Lp) {
  if (Msg == WM_COPYDATA || Msg == WM_NULL) return Record(Wnd, Msg, Lp);
  return DefWindowProcW(Wnd, Msg, Wp, Lp);
}

LRESULT CALLBACK RecordingProcA(HWND Wnd, UINT Msg, WPARAM Wp, LPARAM Lp) {
  if (Msg == WM_COPYDATA || Msg == WM_NULL) return Record(Wnd, Msg, Lp);
  return DefWindowProcA(Wnd, Msg, Wp, Lp);
}

LRESULT CALLBACK HelperProc(HWND Wnd, UINT Msg, WPARAM Wp, LPARAM Lp) {
  if (Msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(Wnd, Msg, Wp, Lp);
}

// Class names are registered once, in the form first asked for.
void RegisterTestClass(const std::string& Name, bool Unicode) {
  static std::set<std::string> known;
  if (!known.insert(Name).second) return;
  if (Unicode) {
    const std::wstring wide = AnsiToWide(Name);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RecordingProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = wide.c_str();
    if (RegisterClassExW(&wc) == 0) ThrowLastError("RegisterClassExW " + Name);
  } else {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RecordingProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = Name.c_str();
    if (RegisterClassExA(&wc) == 0) ThrowLastError("RegisterClassExA " + Name);
  }
}

std::wstring Quote(const std::wstring& Arg) {
  std::wstring out = L"\"";
  std::size_t slashes = 0;
  for (wchar_t c : Arg) {
    if (c == L'\\') {
      ++slashes;
      continue;
    }
    out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
    slashes = 0;
    out += c;
  }
  out.append(slashes * 2, L'\\');
  return out + L"\"";
}

PROCESS_INFORMATION Launch(const std::wstring& Exe, const std::vector<std::wstring>& Args) {
  std::wstring line = Quote(Exe);
  for (const std::wstring& a : Args) line += L" " + Quote(a);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(Exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    ThrowLastError("CreateProcessW " + WideToAnsi(Exe));
  return pi;
}

bool HasTopLevelWindow(DWORD ProcessId) {
  struct TSearch {
    DWORD pid;
    bool found;
  } search{ProcessId, false};
  EnumWindows(
      [](HWND wnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<TSearch*>(param);
        DWORD pid = 0;
        GetWindowThreadProcessId(wnd, &pid);
        if (pid == s->pid) s->found = true;
        return s->found ? FALSE : TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

std::vector<TReceived>& ReceivedMessages() { return Received; }

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

TTestWindow TTestWindow::TopLevel(const std::string& Title, const std::string& ClassName, bool Unicode, bool Visible) {
  RegisterTestClass(ClassName, Unicode);
  const DWORD style = WS_OVERLAPPEDWINDOW | (Visible ? WS_VISIBLE : 0);
  HWND wnd = Unicode ? CreateWindowExW(0, AnsiToWide(ClassName).c_str(), AnsiToWide(Title).c_str(), style, 10, 10, 300,
                                       200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)
                     : CreateWindowExA(0, ClassName.c_str(), Title.c_str(), style, 10, 10, 300, 200, nullptr, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
  if (wnd == nullptr) ThrowLastError("CreateWindowEx " + Title);
  PumpMessages();
  return TTestWindow(wnd);
}

TTestWindow TTestWindow::Child(HWND Parent, const std::string& Text) {
  RegisterTestClass("OrvelineTestChild", true);
  HWND wnd = CreateWindowExW(0, L"OrvelineTestChild", AnsiToWide(Text).c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 50, 20,
                             Parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (wnd == nullptr) ThrowLastError("CreateWindowExW " + Text);
  // Each new child goes last in its parent's order, so the order of the
  // calls is the order of a walk over the children.
  SetWindowPos(wnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return TTestWindow(wnd);
}

TTestWindow::TTestWindow(TTestWindow&& Other) noexcept : wnd_(Other.wnd_) { Other.wnd_ = nullptr; }

TTestWindow& TTestWindow::operator=(TTestWindow&& Other) noexcept {
  if (this != &Other) {
    Destroy();
    wnd_ = Other.wnd_;
    Other.wnd_ = nullptr;
  }
  return *this;
}

TTestWindow::~TTestWindow() { Destroy(); }

void TTestWindow::Destroy() {
  if (wnd_ != nullptr && IsWindow(wnd_)) DestroyWindow(wnd_);
  wnd_ = nullptr;
  PumpMessages();
}

TPeerProcess TPeerProcess::HelperWindow(const std::string& Title, const std::string& ClassName) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  TPeerProcess p;
  p.info_ = Launch(self, {L"--helper-window", AnsiToWide(Title), AnsiToWide(ClassName)});
  for (int i = 0; i < 300 && p.window_ == nullptr; ++i) {
    HWND wnd = FindWindowA(ClassName.c_str(), Title.c_str());
    DWORD pid = 0;
    if (wnd != nullptr) GetWindowThreadProcessId(wnd, &pid);
    if (wnd != nullptr && pid == p.info_.dwProcessId)
      p.window_ = wnd;
    else
      Sleep(50);
  }
  if (p.window_ == nullptr) throw std::runtime_error("helper window did not appear: " + Title);
  return p;
}

TPeerProcess TPeerProcess::Standin(const std::vector<std::string>& Options, const std::string& Folder) {
  if (StandinPath.empty()) throw std::runtime_error("no --standin=PATH given to the test program");
  const std::string ready = Folder + "ready.txt";
  DeleteFileA(ready.c_str());
  std::vector<std::wstring> args;
  for (const std::string& o : Options) args.push_back(AnsiToWide(o));
  args.push_back(L"--ready");
  args.push_back(AnsiToWide(ready));
  TPeerProcess p;
  p.info_ = Launch(StandinPath, args);
  for (int i = 0; i < 600 && !FileExists(ready); ++i) {
    if (WaitForSingleObject(p.info_.hProcess, 50) == WAIT_OBJECT_0) throw std::runtime_error("the stand-in ended");
  }
  if (!FileExists(ready)) throw std::runtime_error("the stand-in did not get ready");
  return p;
}

TPeerProcess::TPeerProcess(TPeerProcess&& Other) noexcept : info_(Other.info_), window_(Other.window_) {
  Other.info_ = PROCESS_INFORMATION{};
  Other.window_ = nullptr;
}

TPeerProcess::~TPeerProcess() { End(); }

void TPeerProcess::End() {
  if (info_.hProcess == nullptr) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 0);
    WaitForSingleObject(info_.hProcess, 10000);
  }
  // The windows of an ended process may outlive it for a moment; the next
  // search must not meet them.
  for (int i = 0; i < 100 && HasTopLevelWindow(info_.dwProcessId); ++i) Sleep(50);
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
  info_ = PROCESS_INFORMATION{};
  window_ = nullptr;
}

int RunHelperWindow(const std::string& Title, const std::string& ClassName) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = HelperProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = ClassName.c_str();
  RegisterClassExA(&wc);
  HWND wnd = CreateWindowExA(0, ClassName.c_str(), Title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 200, 100,
                             nullptr, nullptr, wc.hInstance, nullptr);
  if (wnd == nullptr) return 1;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}

TTestOptions ReadTestOptions(int Argc, char** Argv) {
  TTestOptions options;
  for (int i = 1; i < Argc; ++i) {
    const std::string arg = Argv[i];
    const std::size_t equals = arg.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = arg.substr(0, equals + 1);
    const std::string path = HostToWindowsPath(arg.substr(equals + 1));
    if (name == "--standin=")
      StandinPath = AnsiToWide(path);
    else if (name == "--program=")
      options.Program = path;
    else if (name == "--source=")
      options.SourceDir = path + "\\";
  }
  return options;
}

std::string MakeTempFolder() {
  // Process ids come round again under Wine, and the prefix keeps its
  // temporary folder between runs: take the first name not yet there.
  static unsigned serial = 0;
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  for (;;) {
    const std::string folder = std::string(base) + "orveline-acadlink-" + std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(GetTickCount()) + "-" + std::to_string(++serial) + "\\";
    if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) ThrowLastError("CreateDirectoryA " + folder);
  }
}

std::string ReadFileBytes(const std::string& Path) {
  std::string bytes;
  if (FILE* f = std::fopen(Path.c_str(), "rb")) {
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    std::fclose(f);
  }
  return bytes;
}

void WriteFileBytes(const std::string& Path, const std::string& Bytes) {
  FILE* f = std::fopen(Path.c_str(), "wb");
  if (f == nullptr) throw std::runtime_error("cannot write " + Path);
  std::fwrite(Bytes.data(), 1, Bytes.size(), f);
  std::fclose(f);
}

std::vector<std::string> ReadLines(const std::string& Path) {
  const std::string text = ReadFileBytes(Path);
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

bool FileExists(const std::string& Path) { return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES; }
