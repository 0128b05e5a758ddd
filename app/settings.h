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

// The list's settings: section "設定", keys "正確な長さ", "合計", "見出し" and
// "UTF-8", each 1 or 0; a missing file, section or key is 0.
TReportOptions ReadReportOptions(const std::string& SettingsFile);

// Writes the four keys; throws TSettingsWriteError as WriteSavedName does.
void WriteReportOptions(const std::string& SettingsFile, const TReportOptions& Options);
