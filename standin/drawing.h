// The drawing that the stand-in has "open": an ASCII DXF file kept as its
// group pairs, with the entities of its ENTITIES section and the block
// definitions of its BLOCKS section indexed so that a selection of entities
// can be exported again with the blocks they refer to.
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
  std::size_t last;   // one past its last pair (SEQEND included for POLYLINE, and for INSERT with attributes)
  std::string kind;   // LINE, POLYLINE, ...
  std::string layer;  // group 8 of the entity itself, code page 932 bytes
  std::vector<std::string> blocks;  // the blocks it refers to: group 2 of an INSERT or DIMENSION
};

// One block definition, from its BLOCK to the end of its ENDBLK.
struct TDrawingBlock {
  std::size_t first;
  std::size_t last;
  std::string name;                 // group 2 of the BLOCK, as read
  std::vector<std::string> blocks;  // the blocks its entities refer to
};

struct TDrawing {
  std::vector<TDxfPair> pairs;
  std::vector<TDrawingEntity> entities;
  // Pairs [0, entitiesBegin) come before the first entity (header, tables,
  // blocks and the ENTITIES section start); [entitiesEnd, size) from the
  // section's ENDSEC on. Both equal pairs.size() when there is no section.
  std::size_t entitiesBegin = 0;
  std::size_t entitiesEnd = 0;
  // The block definitions, in the order of the BLOCKS section.
  std::vector<TDrawingBlock> blocks;
};

struct TPoint2 {
  double x;
  double y;
};

// What the stand-in paints of one entity: its outline as point runs in
// drawing units (circles and arcs as short chords; a block reference as its
// block's contents placed; a hatch as its polyline boundary paths), and its
// colour number (group 62, 7 when absent).
struct TEntityShape {
  std::vector<std::vector<TPoint2>> runs;
  int color = 7;
};
TEntityShape EntityShape(const TDrawing& Drawing, std::size_t Index);

// Splits DXF text into its drawing. Lines may end in LF or CR LF.
TDrawing ParseDrawing(const std::string& DxfText);

// The drawing with only the entities whose indexes are given (in drawing
// order, each at most once), every pair unchanged, lines ending in CR LF. Of
// the block definitions, those of model and paper space stay, and those that
// the chosen entities refer to, directly or through other blocks.
std::string ExportDrawing(const TDrawing& Drawing, const std::vector<std::size_t>& Selection);
