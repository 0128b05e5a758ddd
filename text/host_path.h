// Paths of the machine that runs Wine as the Windows programs reach them
// (portable: the stand-in's options are read by portable code).
#pragma once

#include <string>

// "/tmp/x" becomes "Z:\tmp\x" (Wine's drive Z: is the host's root); other
// paths are returned as they are.
inline std::string HostToWindowsPath(std::string Path) {
  if (!Path.empty() && Path[0] == '/') {
    for (char& c : Path)
      if (c == '/') c = '\\';
    Path = "Z:" + Path;
  }
  return Path;
}
