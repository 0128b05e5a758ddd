// The drawings named on the command line: files as given, a folder for the
// .dxf files directly in it, and on Windows, where the shell leaves them to
// the program, patterns with "*" and "?".
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

struct TDrawingList {
  std::vector<std::string> Paths;
  bool Several = false;  // more than one argument, or a folder or pattern among them
};

// A folder or pattern without drawings. what() is the message in
// code-page-932 bytes; Path() is the argument as given.
class TDrawingListError : public std::runtime_error {
 public:
  TDrawingListError(const std::string& Path, const std::string& Message) : std::runtime_error(Message), path_(Path) {}
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// The drawings of Arguments in their order; a folder's (case-insensitively
// ending in ".dxf", not in subfolders) and a pattern's in byte order of their
// names. Names that are neither are kept as they are, to be found missing
// when they are read.
TDrawingList ExpandDrawings(const std::vector<std::string>& Arguments);

// True when Path names a folder.
bool IsFolder(const std::string& Path);

// The file name of Path without its folder, in code-page-932 bytes (on Linux
// the UTF-8 name converted where code page 932 has its characters).
std::string DrawingName(const std::string& Path);
