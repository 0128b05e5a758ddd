#include "app/settings.h"

#include <shlobj.h>

#include <vector>

#include "app/file_names.h"
#include "dxf/dxf_errors.h"

namespace {

const char* const kSection = "\x8f\x89\x8a\xfa\x89\xbb";  // 初期化
const char* const kKey = "\x95\xdb\x91\xb6\x96\xbc";      // 保存名
const char* const kFolderName = "Vantrel\\";

const char* const OptionsSection = "\x90\xdd\x92\xe8";  // 設定
struct TOptionKey {
  const char* kKey;
  bool& (*Of)(TDialogSettings&);
};
// In the order they are written; "結果を表示" is the last.
const TOptionKey OptionKeys[] = {
    {"\x90\xb3\x8a\x6d\x82\xc8\x92\xb7\x82\xb3",
     [](TDialogSettings& s) -> bool& { return s.Report.Exact; }},                               // 正確な長さ
    {"\x8d\x87\x8c\x76", [](TDialogSettings& s) -> bool& { return s.Report.Totals; }},          // 合計
    {"\x8c\xa9\x8f\x6f\x82\xb5", [](TDialogSettings& s) -> bool& { return s.Report.Header; }},  // 見出し
    {"UTF-8", [](TDialogSettings& s) -> bool& { return s.Report.Utf8; }},
    {"\x8c\x8b\x89\xca\x82\xf0\x95\x5c\x8e\xa6",
     [](TDialogSettings& s) -> bool& { return s.ShowResults; }},  // 結果を表示
};
const char* const ShortMeasuresKey =
    "\x92\x5a\x82\xa2\x92\xb7\x82\xb3\x82\xf0\x92\x6d\x82\xe7\x82\xb9\x82\xc8\x82\xa2";  // 短い長さを知らせない

void WriteKey(const std::string& SettingsFile, const char* Section, const char* Key, const char* Value) {
  if (!WritePrivateProfileStringA(Section, Key, Value, SettingsFile.c_str()))
    throw TSettingsWriteError(CannotWriteError(SettingsFile).what());
}

// Path with a trailing "\" (double-byte aware: 表 ends in the byte 0x5C).
std::string WithBackslash(const std::string& Path) { return ExtractFileName(Path).empty() ? Path : Path + "\\"; }

// Creates Folder ("...\") with every missing folder above it.
bool MakeFolders(const std::string& Folder) {
  std::string path = Folder;
  if (!path.empty() && path.back() == '\\' && ExtractFileName(path).empty())
    path.pop_back();  // the shell wants no trailing separator
  const int result = SHCreateDirectoryExA(nullptr, path.c_str(), nullptr);
  return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS || result == ERROR_FILE_EXISTS;
}

}  // namespace

std::string GetSpecialFolderPath(HWND Owner, int Folder) {
  LPITEMIDLIST items = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(Owner, Folder, &items)) || !items) return std::string();
  char path[MAX_PATH] = {};
  const BOOL ok = SHGetPathFromIDListA(items, path);
  CoTaskMemFree(items);
  return ok ? std::string(path) : std::string();
}

std::string MakeWorkFolder(HWND Owner) {
  const std::string appData = GetSpecialFolderPath(Owner, CSIDL_APPDATA);
  if (!appData.empty()) {
    const std::string folder = WithBackslash(appData) + kFolderName;
    if (MakeFolders(folder)) return folder;
  }
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string folder = WithBackslash(temp) + kFolderName;
  MakeFolders(folder);
  return folder;
}

std::string MakeWorkFileBase(const std::string& WorkFolder) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return WorkFolder + FormatTimeStamp(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

std::string SettingsFilePath(const std::string& WorkFolder) {
  std::vector<char> module(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, module.data(), static_cast<DWORD>(module.size()));
    if (n < module.size()) break;
    module.resize(module.size() * 2);
  }
  return WorkFolder + ChangeFileExt(ExtractFileName(module.data()), ".Ini");
}

std::string ReadSavedName(const std::string& SettingsFile) {
  std::vector<char> value(1024);
  for (;;) {
    const DWORD n = GetPrivateProfileStringA(kSection, kKey, "", value.data(), static_cast<DWORD>(value.size()),
                                             SettingsFile.c_str());
    if (n + 1 < value.size()) return std::string(value.data(), n);
    value.resize(value.size() * 2);  // cut to fit: ask again with more room
  }
}

std::string ProfileValue(const std::string& Name) {
  // Reading strips blanks at either end of a value, then one pair of
  // quotes (double or single) around it; a value written in double quotes
  // keeps its blanks and its own quotes, and reads the same in every
  // earlier version.
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  const bool blankAtEnd = !Name.empty() && (isBlank(Name.front()) || isBlank(Name.back()));
  const bool quoted = Name.size() >= 2 && Name.front() == Name.back() && (Name.front() == '"' || Name.front() == '\'');
  return blankAtEnd || quoted ? '"' + Name + '"' : Name;
}

void WriteSavedName(const std::string& SettingsFile, const std::string& Name) {
  WriteKey(SettingsFile, kSection, kKey, ProfileValue(Name).c_str());
}

TDialogSettings ReadDialogSettings(const std::string& SettingsFile) {
  TDialogSettings settings;
  for (const TOptionKey& key : OptionKeys)
    key.Of(settings) = GetPrivateProfileIntA(OptionsSection, key.kKey, 0, SettingsFile.c_str()) == 1;
  return settings;
}

void WriteDialogSettings(const std::string& SettingsFile, const TDialogSettings& Settings) {
  TDialogSettings settings = Settings;
  for (const TOptionKey& key : OptionKeys)
    WriteKey(SettingsFile, OptionsSection, key.kKey, key.Of(settings) ? "1" : "0");
}

bool ReadShortMeasuresSilenced(const std::string& SettingsFile) {
  return GetPrivateProfileIntA(OptionsSection, ShortMeasuresKey, 0, SettingsFile.c_str()) == 1;
}

void WriteShortMeasuresSilenced(const std::string& SettingsFile, bool Silenced) {
  WriteKey(SettingsFile, OptionsSection, ShortMeasuresKey, Silenced ? "1" : "0");
}
