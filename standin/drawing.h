// The drawing that the stand-in has "open": an ASCII DXF file kept as its
// group pairs, with the entities of its ENTITIES section indexed so that a
// selection of them can be exported again.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct TDxfPair {
  std::string code;   // the group-code line as read (blanks kept)
  std::string value;  // the value line without its line end
};

struct TDrawingEntity {
  std::size_t first;  // index of its group-0 pair
  std::size_t last;   // one past its last pair (SEQEND included for POLYLINE)
  std::string kind;   // LINE, POLYLINE, ...
  std::string layer;  // group 8 of the entity itself, code page 932 bytes
};

struct TDrawing {
  std::vector<TDxfPair> pairs;
  std::vector<TDrawingEntity> entities;
  // Pairs [0, entitiesBegin) come before the first entity (header, tables,
  // blocks and the ENTITIES section start); [entitiesEnd, size) from the
  // section's ENDSEC on. Both equal pairs.size() when there is no section.
  std::size_t entitiesBegin = 0;
  std::size_t entitiesEnd = 0;
};

struct TPoint2 {
  double x;
  double y;
};

// What the stand-in paints of one entity: its outline as point runs in
// drawing units (circles and arcs as short chords), and its colour number
// (group 62, 7 when absent).
struct TEntityShape {
  std::vector<std::vector<TPoint2>> runs;
  int color = 7;
};
TEntityShape EntityShape(const TDrawing& drawing, std::size_t index);

// Splits DXF text into its drawing. Lines may end in LF or CR LF.
TDrawing ParseDrawing(const std::string& dxfText);

// The drawing with only the entities whose indexes are given (in drawing
// order, each at most once), every pair unchanged, lines ending in CR LF.
std::string ExportDrawing(const TDrawing& drawing, const std::vector<std::size_t>& selection);
