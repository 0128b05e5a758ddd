// Writing a file in full before it takes the place of the old one: the new
// bytes go to a file of their own beside it, which is put in its place only
// once complete, so that a failed write never costs the old file a byte.
#pragma once

#include <cstdio>
#include <string>

// Creates a new, empty file in the folder of Path under a name of its own
// (Path followed by ".~" and a few characters), open for writing; its name
// goes to TempPath. Null when it cannot be created.
std::FILE* CreateFileBeside(const std::string& Path, std::string& TempPath);

// Flushes File and has the system write its bytes to the disk; false when
// that fails.
bool SyncFile(std::FILE* File);

// Puts the file From in place of the file To (replaced when it exists), the
// move written through to the disk. False when that fails; From then stays.
bool MoveOverFile(const std::string& From, const std::string& To);
