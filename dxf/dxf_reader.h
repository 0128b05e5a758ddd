// Reading an ASCII DXF file into the entity tables: lines, arcs, circles,
// polylines and texts of the ENTITIES section, and the entries of the STYLE
// table. The file is only read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Path is a code-page-932 (ANSI) byte string. Resets the entity counts; when
// the file exists, refills the tables from it. Returns LineCount. A missing
// file is no error (every count 0). Throws TConvertError for a group code or
// a taken value that does not convert, TFileError when the file exists but
// cannot be read or is a binary DXF file. A UTF-8 byte-order mark before the
// first group code is skipped.
std::int32_t ReadDxf(const std::string& Path);

// The Height of the first text style of the last run named exactly Name;
// 0.0 when no style has that name.
double StyleHeight(std::string_view Name);

// What ReadDxf would refuse before it reads a single pair, checked before any
// other file is touched: throws TFileError for a folder, a file that cannot
// be opened or a binary DXF file. A missing file passes.
void CheckDrawing(const std::string& Path);
