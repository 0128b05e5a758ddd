#include <sys/stat.h>

#include "dxf/file_identity.h"

TFileIdentity IdentifyFile(const std::string& Path) {
  struct stat info;
  if (::stat(Path.c_str(), &info) != 0) return {};
  return {true,
          S_ISDIR(info.st_mode),
          true,
          static_cast<std::uint64_t>(info.st_dev),
          static_cast<std::uint64_t>(info.st_ino),
          !S_ISDIR(info.st_mode) && !S_ISREG(info.st_mode)};
}
