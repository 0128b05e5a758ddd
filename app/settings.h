// The work folder, this start's work file name, and the settings file that
// remembers the result file name between starts.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

#include "report/report_options.h"

// The file-system path of a shell special folder (CSIDL_APPDATA is 0x001A),
// or the empty text when the shell cannot give one.
std::string GetSpecialFolderPath(HWND Owner, int Folder);

// "<application data>\Vantrel\", created with every missing folder above it.
// When the application-data folder cannot be had: "<temp>\Vantrel\".
std::string MakeWorkFolder(HWND Owner);

// WorkFolder + the local time now as "yymmddhhnnss".
std::string MakeWorkFileBase(const std::string& WorkFolder);

// WorkFolder + the executable's file name with the extension ".Ini".
std::string SettingsFilePath(const std::string& WorkFolder);

// The remembered result file name: key "保存名" of section "初期化"; empty
// when the file, the section or the key is missing.
std::string ReadSavedName(const std::string& SettingsFile);

class TSettingsWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The value written for Name: quoted when it has a blank at either end or is
// itself in a pair of quotes, so that it reads back unchanged; else Name
// itself.
std::string ProfileValue(const std::string& Name);

// Writes Name to the settings file; throws TSettingsWriteError with the
// message "<path> に書き込めません" when the file cannot be written.
void WriteSavedName(const std::string& SettingsFile, const std::string& Name);

// What the settings window sets: the list's settings and the dialog's own.
struct TDialogSettings {
  TReportOptions Report;
  bool ShowResults = false;  // a window with what the run listed, after each run that wrote a list
};

// Section "設定", keys "正確な長さ", "合計", "見出し", "UTF-8" and "結果を表示",
// each 1 or 0; a missing file, section or key is 0.
TDialogSettings ReadDialogSettings(const std::string& SettingsFile);

// Writes the five keys; throws TSettingsWriteError as WriteSavedName does.
void WriteDialogSettings(const std::string& SettingsFile, const TDialogSettings& Settings);

// Whether the user asked ("今後表示しない") not to be told again of
// polylines that the plain list measures short: key "短い長さを知らせない" of
// section "設定", 1 or 0 (missing: 0).
bool ReadShortMeasuresSilenced(const std::string& SettingsFile);
// Writes it; throws TSettingsWriteError as WriteSavedName does.
void WriteShortMeasuresSilenced(const std::string& SettingsFile, bool Silenced);
