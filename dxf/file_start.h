// The start of a DXF file, shared by the plain and the exact reader. Internal
// to the dxf library.
#pragma once

#include <cstdio>
#include <string>

// Looks at the first bytes of the file: a binary DXF is refused
// (TFileError), a UTF-8 byte-order mark is stepped over. Leaves the file at
// its first pair.
void SkipFileStart(std::FILE* File, const std::string& Path);
