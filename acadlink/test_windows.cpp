#include "acadlink/test_windows.h"

#include "win32/win32_error.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <stdexcept>

namespace {

std::vector<TReceived> Received;
std::wstring StandinPath;

LRESULT Record(HWND wnd, UINT msg, LPARAM lp) noexcept {
  try {
    if (msg == WM_COPYDATA) {
      const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(lp);
      const auto* bytes = static_cast<const char*>(record->lpData);
      Received.push_back({wnd, msg, record->dwData, record->cbData, std::string(bytes, bytes + record->cbData)});
      return TRUE;
    }
    if (msg == WM_NULL) Received.push_back({wnd, msg, 0, 0, {}});
  } catch (...) {
    // Out of memory while recording: the test sees the message missing.
  }
  return 0;
}

LRESULT CALLBACK RecordingProcW(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COPYDATA || msg == WM_NULL) return Record(wnd, msg, lp);
  return DefWindowProcW(wnd, msg, wp, lp);
}

LRESULT CALLBACK RecordingProcA(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COPYDATA || msg == WM_NULL) return Record(wnd, msg, lp);
  return DefWindowProcA(wnd, msg, wp, lp);
}

LRESULT CALLBACK HelperProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(wnd, msg, wp, lp);
}

// Class names are registered once, in the form first asked for.
void RegisterTestClass(const std::string& name, bool unicode) {
  static std::set<std::string> known;
  if (!known.insert(name).second) return;
  if (unicode) {
    const std::wstring wide = AnsiToWide(name);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RecordingProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = wide.c_str();
    if (RegisterClassExW(&wc) == 0) ThrowLastError("RegisterClassExW " + name);
  } else {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RecordingProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name.c_str();
    if (RegisterClassExA(&wc) == 0) ThrowLastError("RegisterClassExA " + name);
  }
}

std::wstring Quote(const std::wstring& arg) {
  std::wstring out = L"\"";
  std::size_t slashes = 0;
  for (wchar_t c : arg) {
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

PROCESS_INFORMATION Launch(const std::wstring& exe, const std::vector<std::wstring>& args) {
  std::wstring line = Quote(exe);
  for (const std::wstring& a : args) line += L" " + Quote(a);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    ThrowLastError("CreateProcessW " + WideToAnsi(exe));
  return pi;
}

bool HasTopLevelWindow(DWORD processId) {
  struct TSearch {
    DWORD pid;
    bool found;
  } search{processId, false};
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

TTestWindow TTestWindow::TopLevel(const std::string& title, const std::string& className, bool unicode, bool visible) {
  RegisterTestClass(className, unicode);
  const DWORD style = WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0);
  HWND wnd = unicode ? CreateWindowExW(0, AnsiToWide(className).c_str(), AnsiToWide(title).c_str(), style, 10, 10, 300,
                                       200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)
                     : CreateWindowExA(0, className.c_str(), title.c_str(), style, 10, 10, 300, 200, nullptr, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
  if (wnd == nullptr) ThrowLastError("CreateWindowEx " + title);
  PumpMessages();
  return TTestWindow(wnd);
}

TTestWindow TTestWindow::Child(HWND parent, const std::string& text) {
  RegisterTestClass("OrvelineTestChild", true);
  HWND wnd = CreateWindowExW(0, L"OrvelineTestChild", AnsiToWide(text).c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 50, 20,
                             parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (wnd == nullptr) ThrowLastError("CreateWindowExW " + text);
  // Each new child goes last in its parent's order, so the order of the
  // calls is the order of a walk over the children.
  SetWindowPos(wnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return TTestWindow(wnd);
}

TTestWindow::TTestWindow(TTestWindow&& other) noexcept : wnd_(other.wnd_) { other.wnd_ = nullptr; }

TTestWindow& TTestWindow::operator=(TTestWindow&& other) noexcept {
  if (this != &other) {
    Destroy();
    wnd_ = other.wnd_;
    other.wnd_ = nullptr;
  }
  return *this;
}

TTestWindow::~TTestWindow() { Destroy(); }

void TTestWindow::Destroy() {
  if (wnd_ != nullptr && IsWindow(wnd_)) DestroyWindow(wnd_);
  wnd_ = nullptr;
  PumpMessages();
}

TPeerProcess TPeerProcess::HelperWindow(const std::string& title, const std::string& className) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  TPeerProcess p;
  p.info_ = Launch(self, {L"--helper-window", AnsiToWide(title), AnsiToWide(className)});
  for (int i = 0; i < 300 && p.window_ == nullptr; ++i) {
    HWND wnd = FindWindowA(className.c_str(), title.c_str());
    DWORD pid = 0;
    if (wnd != nullptr) GetWindowThreadProcessId(wnd, &pid);
    if (wnd != nullptr && pid == p.info_.dwProcessId)
      p.window_ = wnd;
    else
      Sleep(50);
  }
  if (p.window_ == nullptr) throw std::runtime_error("helper window did not appear: " + title);
  return p;
}

TPeerProcess TPeerProcess::Standin(const std::vector<std::string>& options, const std::string& folder) {
  if (StandinPath.empty()) throw std::runtime_error("no --standin=PATH given to the test program");
  const std::string ready = folder + "ready.txt";
  DeleteFileA(ready.c_str());
  std::vector<std::wstring> args;
  for (const std::string& o : options) args.push_back(AnsiToWide(o));
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

TPeerProcess::TPeerProcess(TPeerProcess&& other) noexcept : info_(other.info_), window_(other.window_) {
  other.info_ = PROCESS_INFORMATION{};
  other.window_ = nullptr;
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

int RunHelperWindow(const std::string& title, const std::string& className) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = HelperProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = className.c_str();
  RegisterClassExA(&wc);
  HWND wnd = CreateWindowExA(0, className.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 200, 100,
                             nullptr, nullptr, wc.hInstance, nullptr);
  if (wnd == nullptr) return 1;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}

TTestOptions ReadTestOptions(int argc, char** argv) {
  TTestOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
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

std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    std::fclose(f);
  }
  return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) throw std::runtime_error("cannot write " + path);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

std::vector<std::string> ReadLines(const std::string& path) {
  const std::string text = ReadFileBytes(path);
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

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
