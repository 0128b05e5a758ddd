#include "app/settings.h"

#include "app/file_names.h"

#include <shlobj.h>

#include <vector>

namespace {

const char* const Section = "\x8f\x89\x8a\xfa\x89\xbb";  // 初期化
const char* const Key = "\x95\xdb\x91\xb6\x96\xbc";      // 保存名
const char* const CannotWrite =
    " \x82\xc9\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1";  // " に書き込めません"
const char* const FolderName = "Vantrel\\";

const char* const OptionsSection = "\x90\xdd\x92\xe8";  // 設定
struct TOptionKey {
  const char* Key;
  bool TReportOptions::*Option;
};
const TOptionKey OptionKeys[] = {
    {"\x90\xb3\x8a\x6d\x82\xc8\x92\xb7\x82\xb3", &TReportOptions::Exact},  // 正確な長さ
    {"\x8d\x87\x8c\x76", &TReportOptions::Totals},                         // 合計
    {"\x8c\xa9\x8f\x6f\x82\xb5", &TReportOptions::Header},                 // 見出し
    {"UTF-8", &TReportOptions::Utf8},
};

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
    const std::string folder = WithBackslash(appData) + FolderName;
    if (MakeFolders(folder)) return folder;
  }
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string folder = WithBackslash(temp) + FolderName;
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
    const DWORD n = GetPrivateProfileStringA(Section, Key, "", value.data(), static_cast<DWORD>(value.size()),
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
  if (!WritePrivateProfileStringA(Section, Key, ProfileValue(Name).c_str(), SettingsFile.c_str()))
    throw TSettingsWriteError(SettingsFile + CannotWrite);
}

TReportOptions ReadReportOptions(const std::string& SettingsFile) {
  TReportOptions options;
  for (const TOptionKey& key : OptionKeys)
    options.*key.Option = GetPrivateProfileIntA(OptionsSection, key.Key, 0, SettingsFile.c_str()) == 1;
  return options;
}

void WriteReportOptions(const std::string& SettingsFile, const TReportOptions& Options) {
  for (const TOptionKey& key : OptionKeys)
    if (!WritePrivateProfileStringA(OptionsSection, key.Key, Options.*key.Option ? "1" : "0", SettingsFile.c_str()))
      throw TSettingsWriteError(SettingsFile + CannotWrite);
}
