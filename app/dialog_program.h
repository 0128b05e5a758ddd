// One start of orveline.exe for the end-to-end tests, driven through its
// windows, and the waits they use.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include "acadlink/test_windows.h"
#include "app/dialog_driver.h"
#include "win32/win32_error.h"

// The folder where the program keeps its settings and DXF files.
inline std::string WorkFolder() {
  char appData[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, appData);
  return std::string(appData) + "\\Vantrel\\";
}

// 短い長さを知らせない (section 設定): "今後表示しない" was checked under the
// message about polylines measured short.
inline const char* const ShortMeasuresKey =
    "\x92\x5a\x82\xa2\x92\xb7\x82\xb3\x82\xf0\x92\x6d\x82\xe7\x82\xb9\x82\xc8\x82\xa2";

// Runs over the sample's polylines with arcs tell the user so after the
// notice; tests about other things have that message turned off, as for a
// user who had checked "今後表示しない".
inline void SilenceShortMeasures(const std::string& Ini) {
  WritePrivateProfileStringA("\x90\xdd\x92\xe8", ShortMeasuresKey, "1", Ini.c_str());  // 設定
}

// Tests the condition every 50 ms, handling this thread's messages, until it
// holds or Milliseconds have passed.
template <typename TTest>
bool WaitFor(TTest&& Test, DWORD Milliseconds = 20000) {
  for (DWORD waited = 0; waited < Milliseconds; waited += 50) {
    if (Test()) return true;
    PumpMessages();
    Sleep(50);
  }
  return Test();
}

// One start of orveline.exe (at Path), copied under a name of the test's
// choosing; ended with the object if it is still running. Unless told not
// to, it waits for the start's dialog and holds its driver.
class TDialogProgram {
 public:
  inline static std::string Path;  // orveline.exe, as a Windows path

  TDialogProgram(const std::string& Folder, const std::string& ExeName, bool WaitForDialog = true) {
    const std::string exe = Folder + ExeName;
    CopyFileA(Path.c_str(), exe.c_str(), FALSE);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string commandLine = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, Folder.c_str(), &si,
                        &Info))
      ThrowLastError("CreateProcessA " + exe);
    if (WaitForDialog) Dialog = std::make_unique<TDialogDriver>(Info.dwProcessId);
  }
  ~TDialogProgram() {
    if (WaitForSingleObject(Info.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(Info.hProcess, 1);
      WaitForSingleObject(Info.hProcess, 10000);
    }
    CloseHandle(Info.hThread);
    CloseHandle(Info.hProcess);
  }
  TDialogProgram(const TDialogProgram&) = delete;
  TDialogProgram& operator=(const TDialogProgram&) = delete;

  TDialogDriver* operator->() { return Dialog.get(); }
  bool Ended(DWORD Milliseconds = 20000) { return WaitForSingleObject(Info.hProcess, Milliseconds) == WAIT_OBJECT_0; }
  DWORD ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(Info.hProcess, &code);
    return code;
  }

  PROCESS_INFORMATION Info{};
  std::unique_ptr<TDialogDriver> Dialog;
};

// The settings window, as the user meets it: "設定..." of the system menu
// (the command the menu sends), its check boxes, the take-off's box of
// attribute tags and drop-down list of the unit, OK or キャンセル.
struct TSettingsWindow {
  HWND Window = nullptr;
  std::vector<HWND> CheckBoxes;  // 正確な長さ, 合計, 見出し, UTF-8, 結果を表示: in the window's order
  HWND Blocks = nullptr;         // ブロックの個数を数える
  HWND Tags = nullptr;           // 属性タグ
  HWND Areas = nullptr;          // 面積を集計する（…）
  HWND Unit = nullptr;           // 出力単位
  HWND Ok = nullptr;
  HWND Cancel = nullptr;
};

inline TSettingsWindow OpenSettings(TDialogProgram& Program) {
  PostMessageA(Program->Form, WM_SYSCOMMAND, 0x0010, 0);
  TSettingsWindow found;
  if (!WaitFor([&] { return !VisibleTopLevelWindows(Program.Info.dwProcessId, "TSettingsF").empty(); })) return found;
  found.Window = VisibleTopLevelWindows(Program.Info.dwProcessId, "TSettingsF").at(0);
  std::vector<HWND> checkBoxes;
  for (HWND child = GetWindow(found.Window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const std::string text = ReadWindowText(child);
    const std::string className = WindowClassOf(child);
    if (text == "OK")
      found.Ok = child;
    else if (text == "\x83\x4c\x83\x83\x83\x93\x83\x5a\x83\x8b")  // キャンセル
      found.Cancel = child;
    else if (lstrcmpiA(className.c_str(), "Edit") == 0)
      found.Tags = child;
    else if (lstrcmpiA(className.c_str(), "ComboBox") == 0)
      found.Unit = child;
    else if (lstrcmpiA(className.c_str(), "Button") == 0 &&
             (GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX)
      checkBoxes.push_back(child);
  }
  // The list's form first, then the take-off's two.
  if (checkBoxes.size() == 7) {
    found.Blocks = checkBoxes[5];
    found.Areas = checkBoxes[6];
    checkBoxes.resize(5);
  }
  found.CheckBoxes = checkBoxes;
  return found;
}

inline bool Checked(HWND Box) { return SendMessageA(Box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The value of Key in section "設定", or "<none>".
inline std::string StoredSetting(const std::string& Ini, const char* Key) {
  char value[256] = {};
  GetPrivateProfileStringA("\x90\xdd\x92\xe8", Key, "<none>", value, sizeof value, Ini.c_str());  // 設定
  return value;
}
