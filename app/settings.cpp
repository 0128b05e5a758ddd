#include "app/settings.h"

#include <shlobj.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "app/file_names.h"
#include "dxf/dxf_errors.h"
#include "text/shift_jis.h"

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
const char* const BlocksKey = "\x83\x75\x83\x8d\x83\x62\x83\x4e\x82\xcc\x8c\xc2\x90\x94";  // ブロックの個数
const char* const AttributeTagsKey = "\x91\xae\x90\xab\x83\x5e\x83\x4f";                   // 属性タグ
const char* const AreasKey = "\x96\xca\x90\xcf";                                           // 面積
const char* const UnitKey = "\x8f\x6f\x97\xcd\x92\x50\x88\xca";                            // 出力単位
const char* const ShortMeasuresKey =
    "\x92\x5a\x82\xa2\x92\xb7\x82\xb3\x82\xf0\x92\x6d\x82\xe7\x82\xb9\x82\xc8\x82\xa2";  // 短い長さを知らせない

void WriteKey(const std::string& SettingsFile, const char* Section, const char* Key, const char* Value) {
  if (!WritePrivateProfileStringA(Section, Key, Value, SettingsFile.c_str()))
    throw TSettingsWriteError(CannotWriteError(SettingsFile).what());
}

std::string ReadKey(const std::string& SettingsFile, const char* Section, const char* Key) {
  std::vector<char> value(1024);
  for (;;) {
    const DWORD n = GetPrivateProfileStringA(Section, Key, "", value.data(), static_cast<DWORD>(value.size()),
                                             SettingsFile.c_str());
    if (n + 1 < value.size()) return std::string(value.data(), n);
    value.resize(value.size() * 2);  // cut to fit: ask again with more room
  }
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

std::string ReadSavedName(const std::string& SettingsFile) { return ReadKey(SettingsFile, kSection, kKey); }

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

std::vector<std::string> SplitAttributeTags(const std::string& Text) {
  // Separators and blanks, each one character: ASCII ones a byte, the
  // full-width ones two (compared whole, never a trail byte alone).
  const auto isSeparator = [](std::string_view c) { return c == "," || c == "\x81\x43" || c == "\x81\x41"; };  // ，、
  const auto isBlank = [](std::string_view c) {
    return c == " " || c == "\t" || c == "\x81\x40";
  };  // ideographic blank
  const auto folded = [](std::string Tag) {
    for (char& c : Tag)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return Tag;
  };
  std::vector<std::string> tags;
  std::vector<std::string> foldedTags;
  std::string tag;
  std::string pendingBlanks;  // blanks after the tag's last character, kept only when more of the tag follows
  const auto endTag = [&] {
    if (!tag.empty() && std::find(foldedTags.begin(), foldedTags.end(), folded(tag)) == foldedTags.end()) {
      tags.push_back(tag);
      foldedTags.push_back(folded(tag));
    }
    tag.clear();
    pendingBlanks.clear();
  };
  const std::string_view text(Text);
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t size = ShiftJisCharSize(text, i);
    const std::string_view c = text.substr(i, size);
    i += size;
    if (isSeparator(c)) {
      endTag();
    } else if (isBlank(c)) {
      if (!tag.empty()) pendingBlanks += c;
    } else {
      tag += pendingBlanks;
      pendingBlanks.clear();
      tag += c;
    }
  }
  endTag();
  return tags;
}

std::string JoinAttributeTags(const std::vector<std::string>& Tags) {
  std::string text;
  for (const std::string& tag : Tags) text += (text.empty() ? "" : ",") + tag;
  return text;
}

TDialogSettings ReadDialogSettings(const std::string& SettingsFile) {
  TDialogSettings settings;
  for (const TOptionKey& key : OptionKeys)
    key.Of(settings) = GetPrivateProfileIntA(OptionsSection, key.kKey, 0, SettingsFile.c_str()) == 1;
  settings.Report.Blocks = GetPrivateProfileIntA(OptionsSection, BlocksKey, 0, SettingsFile.c_str()) == 1;
  settings.Report.AttributeTags = SplitAttributeTags(ReadKey(SettingsFile, OptionsSection, AttributeTagsKey));
  settings.Report.Areas = GetPrivateProfileIntA(OptionsSection, AreasKey, 0, SettingsFile.c_str()) == 1;
  const std::string unit = ReadKey(SettingsFile, OptionsSection, UnitKey);
  for (const char* offered : kDialogUnits)
    if (unit == offered) settings.Report.Unit = unit;
  return settings;
}

void WriteDialogSettings(const std::string& SettingsFile, const TDialogSettings& Settings) {
  TDialogSettings settings = Settings;
  for (const TOptionKey& key : OptionKeys)
    WriteKey(SettingsFile, OptionsSection, key.kKey, key.Of(settings) ? "1" : "0");
  WriteKey(SettingsFile, OptionsSection, BlocksKey, Settings.Report.Blocks ? "1" : "0");
  WriteKey(SettingsFile, OptionsSection, AttributeTagsKey,
           ProfileValue(JoinAttributeTags(Settings.Report.AttributeTags)).c_str());
  WriteKey(SettingsFile, OptionsSection, AreasKey, Settings.Report.Areas ? "1" : "0");
  WriteKey(SettingsFile, OptionsSection, UnitKey, Settings.Report.Unit.c_str());
}

TReportOptions RunReportOptions(const TDialogSettings& Settings) {
  TReportOptions options = Settings.Report;
  if (!options.Blocks) options.AttributeTags.clear();
  options.DrawingUnit = options.Unit.empty() ? std::string() : std::string("mm");
  return options;
}

bool ReadShortMeasuresSilenced(const std::string& SettingsFile) {
  return GetPrivateProfileIntA(OptionsSection, ShortMeasuresKey, 0, SettingsFile.c_str()) == 1;
}

void WriteShortMeasuresSilenced(const std::string& SettingsFile, bool Silenced) {
  WriteKey(SettingsFile, OptionsSection, ShortMeasuresKey, Silenced ? "1" : "0");
}
