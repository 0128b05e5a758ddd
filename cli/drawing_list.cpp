#include "cli/drawing_list.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#endif

#include <algorithm>
#include <string_view>

#include "text/cp932_convert.h"
#include "text/shift_jis.h"

namespace {

const char kNoDrawings[] =
    "DXF \x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";  // DXF ファイルがありません

#ifdef _WIN32
// Only a wildcard pattern can find nothing; other names are read as given.
const char kFileNotFound[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82"
    "\xf1";  // ファイルが見つかりません
const char kSeparators[] = "\\/:";
#else
const char kSeparators[] = "/";
#endif

bool HasDxfExtension(std::string_view Name) {
  if (Name.size() < 4) return false;
  std::string_view ext = Name.substr(Name.size() - 4);
  return ext[0] == '.' && (ext[1] | 0x20) == 'd' && (ext[2] | 0x20) == 'x' && (ext[3] | 0x20) == 'f';
}

// Folder with a separator at its end, so that a name can follow.
std::string WithSeparator(const std::string& Folder) {
  if (Folder.empty()) return Folder;
  const std::size_t last = FindLastShiftJisOf(Folder, kSeparators);
  if (last != std::string::npos && last + 1 == Folder.size()) return Folder;
#ifdef _WIN32
  return Folder + "\\";
#else
  return Folder + "/";
#endif
}

// The regular files in Folder whose names match Pattern ("*.dxf" style on
// Windows; on Linux only the .dxf test is used), in byte order of names.
std::vector<std::string> FilesIn(const std::string& Folder, const std::string& Pattern, bool DxfOnly) {
  std::vector<std::string> names;
#ifdef _WIN32
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((WithSeparator(Folder) + Pattern).c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      // "*.dxf" also matches the short name of "a.dxf2": the long name decides.
      if (DxfOnly && !HasDxfExtension(found.cFileName)) continue;
      names.emplace_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
#else
  (void)Pattern;
  if (DIR* dir = opendir(Folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      if (DxfOnly && !HasDxfExtension(entry->d_name)) continue;
      const std::string path = WithSeparator(Folder) + entry->d_name;
      struct stat info;
      if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
      names.emplace_back(entry->d_name);
    }
    closedir(dir);
  }
#endif
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return std::string_view(a) < std::string_view(b);  // unsigned bytes
  });
  for (std::string& name : names) name = WithSeparator(Folder) + name;
  return names;
}

}  // namespace

bool IsFolder(const std::string& Path) {
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesA(Path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
#else
  struct stat info;
  return stat(Path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
#endif
}

TDrawingList ExpandDrawings(const std::vector<std::string>& Arguments) {
  TDrawingList list;
  list.Several = Arguments.size() > 1;
  for (const std::string& argument : Arguments) {
    if (IsFolder(argument)) {
      list.Several = true;
      std::vector<std::string> found = FilesIn(argument, "*.dxf", true);
      if (found.empty()) throw TDrawingListError(argument, kNoDrawings);
      list.Paths.insert(list.Paths.end(), found.begin(), found.end());
      continue;
    }
#ifdef _WIN32
    // "*" and "?" are never trail bytes (those start at 0x40).
    if (argument.find_first_of("*?") != std::string::npos) {
      list.Several = true;
      const std::size_t last = FindLastShiftJisOf(argument, kSeparators);
      const std::string folder = last == std::string::npos ? "." : argument.substr(0, last + 1);
      std::vector<std::string> found = FilesIn(folder, argument.substr(last + 1), false);
      if (found.empty()) throw TDrawingListError(argument, kFileNotFound);
      if (last == std::string::npos)
        for (std::string& path : found) path.erase(0, 2);  // ".\" was not given
      list.Paths.insert(list.Paths.end(), found.begin(), found.end());
      continue;
    }
#endif
    list.Paths.push_back(argument);
  }
  return list;
}

std::string DrawingName(const std::string& Path) {
  const std::size_t last = FindLastShiftJisOf(Path, kSeparators);
  std::string name = last == std::string::npos ? Path : Path.substr(last + 1);
#ifndef _WIN32
  std::string cp932;
  if (Utf8ToCp932(name, cp932)) name = cp932;
#endif
  return name;
}
