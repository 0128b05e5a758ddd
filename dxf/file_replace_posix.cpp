#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "dxf/file_replace.h"

std::FILE* CreateFileBeside(const std::string& Path, std::string& TempPath) {
  std::vector<char> name(Path.begin(), Path.end());
  for (const char c : std::string(".~XXXXXX")) name.push_back(c);
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return nullptr;
  // The new file gets the old one's permissions, or those of any new file;
  // mkstemp makes it readable by its owner alone.
  struct stat old;
  mode_t mode;
  if (::stat(Path.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd, mode);
  std::FILE* file = ::fdopen(fd, "wb");
  TempPath.assign(name.data());
  if (!file) {
    ::close(fd);
    std::remove(TempPath.c_str());
  }
  return file;
}

bool SyncFile(std::FILE* File) { return std::fflush(File) == 0 && ::fsync(::fileno(File)) == 0; }

bool MoveOverFile(const std::string& From, const std::string& To) {
  if (std::rename(From.c_str(), To.c_str()) != 0) return false;
  // The folder's entry, made durable as the file's bytes were.
  const std::size_t slash = To.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : To.substr(0, slash);
  const int fd = ::open(folder.c_str(), O_RDONLY);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
  return true;
}
