// Which file a path names, compared by the file itself (device and file
// number; on Windows volume serial number and file index), not by the
// path's text, so that a link or another spelling of the same file is found.
#pragma once

#include <cstdint>
#include <string>

struct TFileIdentity {
  bool Exists = false;
  bool Folder = false;
  bool Known = false;  // Volume and Index were read
  std::uint64_t Volume = 0;
  std::uint64_t Index = 0;
  bool Special = false;  // exists and is neither a folder nor a plain file (a device, a pipe)
};

// Path is a code-page-932 (ANSI) byte string. A path that cannot be looked
// at counts as missing.
TFileIdentity IdentifyFile(const std::string& Path);

// Both paths exist and are one file.
inline bool IsSameFile(const TFileIdentity& A, const TFileIdentity& B) {
  return A.Known && B.Known && A.Volume == B.Volume && A.Index == B.Index;
}
