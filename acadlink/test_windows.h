// Windows and peer processes for the link's tests: top-level and child
// windows with chosen titles and class names, a window that records the
// messages it gets, a helper window in another process, and the stand-in
// CAD program run as a separate process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "acadlink/ansi_text.h"
#include "text/host_path.h"

// One message that a recording window got: WM_COPYDATA with its record, or
// WM_NULL.
struct TReceived {
  HWND wnd;
  UINT message;
  ULONG_PTR id;
  DWORD byteCount;
  std::string payload;  // cbData bytes as they arrived
};
std::vector<TReceived>& ReceivedMessages();

// Dispatches what is waiting in this thread's queue (the posted WM_NULLs).
void PumpMessages();

// A window of this process, destroyed with the object. Top-level windows
// are hidden unless asked (the searches do not look at visibility); `unicode` chooses the Unicode or the ANSI window
// procedure, so IsWindowUnicode tells them apart. Titles are Shift-JIS.
class TTestWindow {
 public:
  static TTestWindow TopLevel(const std::string& Title, const std::string& ClassName, bool Unicode = true,
                              bool Visible = false);
  static TTestWindow Child(HWND Parent, const std::string& Text);
  TTestWindow(TTestWindow&& Other) noexcept;
  TTestWindow& operator=(TTestWindow&& Other) noexcept;
  TTestWindow(const TTestWindow&) = delete;
  TTestWindow& operator=(const TTestWindow&) = delete;
  ~TTestWindow();
  HWND Get() const { return wnd_; }
  void Destroy();

 private:
  explicit TTestWindow(HWND Wnd) : wnd_(Wnd) {}
  HWND wnd_;
};

// A program run beside the test, ended with the object.
class TPeerProcess {
 public:
  // A top-level window with this title and class in another process.
  static TPeerProcess HelperWindow(const std::string& Title, const std::string& ClassName);
  // The stand-in CAD program with these options; returns once its windows
  // exist (it has written its ready file).
  static TPeerProcess Standin(const std::vector<std::string>& Options, const std::string& Folder);
  TPeerProcess(TPeerProcess&& Other) noexcept;
  TPeerProcess(const TPeerProcess&) = delete;
  TPeerProcess& operator=(const TPeerProcess&) = delete;
  ~TPeerProcess();
  DWORD Id() const { return info_.dwProcessId; }
  HWND Window() const { return window_; }
  void End();

 private:
  TPeerProcess() = default;
  PROCESS_INFORMATION info_{};
  HWND window_ = nullptr;  // the helper's window
};

// Entry for `--helper-window TITLE CLASS`; returns the exit code.
int RunHelperWindow(const std::string& Title, const std::string& ClassName);

// What CTest tells a test program on its command line, paths of the machine
// that runs Wine: --standin=PATH (the stand-in that TPeerProcess::Standin
// starts), --program=PATH and --source=FOLDER.
struct TTestOptions {
  std::string Program;    // orveline.exe, as a Windows path
  std::string SourceDir;  // the repository, as a Windows path ending in "\"
};
// Call after testing::InitGoogleTest, which takes its own options out.
TTestOptions ReadTestOptions(int Argc, char** Argv);

// A fresh folder under the temporary folder, with a trailing backslash.
std::string MakeTempFolder();
std::string ReadFileBytes(const std::string& Path);
void WriteFileBytes(const std::string& Path, const std::string& Bytes);
std::vector<std::string> ReadLines(const std::string& Path);  // CR LF ends
bool FileExists(const std::string& Path);
