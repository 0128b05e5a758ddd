#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

#include "dxf/file_replace.h"

std::FILE* CreateFileBeside(const std::string& Path, std::string& TempPath) {
  static std::atomic<unsigned> serial{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = Path + ".~" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    const int fd = _open(name.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return nullptr;
    }
    std::FILE* file = _fdopen(fd, "wb");
    TempPath = name;
    if (!file) {
      _close(fd);
      DeleteFileA(name.c_str());
    }
    return file;
  }
  return nullptr;
}

bool SyncFile(std::FILE* File) { return std::fflush(File) == 0 && _commit(_fileno(File)) == 0; }

bool MoveOverFile(const std::string& From, const std::string& To) {
  return MoveFileExA(From.c_str(), To.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
