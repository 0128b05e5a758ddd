#include <windows.h>

#include "dxf/file_identity.h"

TFileIdentity IdentifyFile(const std::string& Path) {
  const DWORD attributes = GetFileAttributesA(Path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return {};
  // Opened for no access, only to ask which file it is; folders need the
  // backup-semantics flag to be opened at all.
  HANDLE file = CreateFileA(Path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  TFileIdentity identity{true, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0, false, 0, 0};
  if (file == INVALID_HANDLE_VALUE) return identity;
  identity.Special = !identity.Folder && GetFileType(file) != FILE_TYPE_DISK;
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(file, &info)) {
    identity.Volume = info.dwVolumeSerialNumber;
    identity.Index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    identity.Known = true;
  }
  CloseHandle(file);
  return identity;
}
