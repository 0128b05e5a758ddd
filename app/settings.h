// The work folder, this start's work file name, and the settings file that
// remembers the result file name between starts.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

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
// Report.AttributeTags are kept while Report.Blocks is off, so that they
// come back with it.
struct TDialogSettings {
  TReportOptions Report;
  bool ShowResults = false;  // a window with what the run listed, after each run that wrote a list
};

// The units the settings window offers for the list: as drawn (the empty
// text), then these.
inline constexpr const char* kDialogUnits[] = {"mm", "m"};

// The tags typed into the settings window's box: separated by commas ("," or
// the full-width "，" and "、" that a Japanese input method gives), blanks
// (ASCII and the ideographic blank) around a tag ignored, empty tags dropped,
// and a tag that repeats an earlier one (ASCII letters in either case, as the
// drawing's tags are matched) left out. Code page 932 bytes.
std::vector<std::string> SplitAttributeTags(const std::string& Text);
// The tags as the box shows them and the settings file keeps them: joined by
// ",".
std::string JoinAttributeTags(const std::vector<std::string>& Tags);

// Section "設定", keys "正確な長さ", "合計", "見出し", "UTF-8", "結果を表示",
// "ブロックの個数" and "面積", each 1 or 0, "属性タグ" (the tags joined by ",")
// and "出力単位" ("mm" or "m"; anything else is as drawn); a missing file,
// section or key is off, no tag, as drawn.
TDialogSettings ReadDialogSettings(const std::string& SettingsFile);

// Writes the nine keys, "出力単位" the last; throws TSettingsWriteError as
// WriteSavedName does.
void WriteDialogSettings(const std::string& SettingsFile, const TDialogSettings& Settings);

// The options of a run with these settings: the tags only when block
// references are counted, and a drawing that states no unit taken as
// millimetres when a unit is asked for (the CAD program's Japanese default).
TReportOptions RunReportOptions(const TDialogSettings& Settings);

// Whether the user asked ("今後表示しない") not to be told again of
// polylines that the plain list measures short: key "短い長さを知らせない" of
// section "設定", 1 or 0 (missing: 0).
bool ReadShortMeasuresSilenced(const std::string& SettingsFile);
// Writes it; throws TSettingsWriteError as WriteSavedName does.
void WriteShortMeasuresSilenced(const std::string& SettingsFile, bool Silenced);
