// Writes realistic drawings as a CAD program's DXF R2000 export writes them:
// HEADER, CLASSES, TABLES (VPORT, LTYPE, LAYER, STYLE, APPID, BLOCK_RECORD),
// BLOCKS, ENTITIES, OBJECTS; Japanese layer names in code page 932; a mix of
// lines, polylines of both kinds, circles, arcs, texts and inserts, with some
// entities drawn twice. The same seed gives the same bytes on every system.
#pragma once

#include <cstdint>
#include <cstdio>

struct TDrawingOptions {
  std::int64_t Entities = 1000;  // entities of the ENTITIES section (vertices not counted)
  std::uint64_t Seed = 1;
};

// Writes the drawing to File; false when writing failed.
bool WriteDrawing(std::FILE* File, const TDrawingOptions& Options);
