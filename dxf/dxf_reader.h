// Reading an ASCII DXF drawing: the lines, arcs, circles, polylines and texts
// of its ENTITIES section and the entries of its STYLE table; with exact
// lengths also what lies beyond them (bulges, closing edges, extrusions,
// ellipses, splines, and the contents of blocks placed where their
// references put them). The bytes are only read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dxf/byte_source.h"
#include "dxf/drawing.h"

struct TReadOptions {
  bool Exact = false;  // read for exact lengths
  bool Tally = false;  // count the entity types met (TDrawing::Tally)
  // Count block references: the references inside block definitions, their
  // attributes and the names anonymous blocks copy are read, and every
  // reference placed is listed in TDrawing::PlacedBlocks. The lengths stay
  // those of the reading asked for.
  bool Blocks = false;
  // Measure the closed shapes' areas (TDrawing::AreaRecs): block references
  // are read and placed for them as for block counts; the lengths stay those
  // of the reading asked for.
  bool Areas = false;
};

// Reads the drawing whose bytes Source gives into Drawing, which is emptied
// first. Missing bytes (a file that is not there) read as an empty drawing.
// Throws TConvertError for a group code or a taken value that does not
// convert (the drawing then holds what was read up to that pair), TFileError
// for bytes that cannot be read or a binary DXF file (the drawing is then
// empty). A UTF-8 byte-order mark before the first group code is skipped.
void ReadDrawing(TByteSource& Source, const TReadOptions& Options, TDrawing& Drawing);
TDrawing ReadDrawing(TByteSource& Source, const TReadOptions& Options = {});

// Path is a code-page-932 (ANSI) byte string. Reads the file into
// CurrentDrawing (the process-wide tables Lines, Arcs and the rest), plainly,
// and returns LineCount; a missing file is no error (every count 0). Errors
// as for ReadDrawing. Lines is then cut to LineCount.
std::int32_t ReadDxf(const std::string& Path);

// The Height of the first text style of CurrentDrawing named exactly Name;
// 0.0 when no style has that name.
double StyleHeight(std::string_view Name);

// What reading would refuse before it reads a single pair, checked before any
// other file is touched: throws TFileError for a folder, a file that cannot
// be opened or a binary DXF file. A missing file passes.
void CheckDrawing(const std::string& Path);
