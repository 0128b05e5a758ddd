// What a run of the report measures and writes beyond the plain list. Every
// option is off by default, and with all of them off the list is byte for
// byte the plain one.
#pragma once

#include <string>
#include <vector>

struct TReportOptions {
  bool Exact = false;    // lengths as drawn: arc segments, closing edges, ellipses, splines, block contents
  bool Totals = false;   // an eighth field: the summed length of the row's entities
  bool Header = false;   // a first row of column titles
  bool Utf8 = false;     // UTF-8 with a byte-order mark instead of Shift-JIS
  bool Json = false;     // a JSON array of rows instead of CSV
  bool Diff = false;     // what changed between two drawings instead of the list
  bool Summary = false;  // count the entity types met, measured and not
  bool Blocks = false;   // rows of the block references counted, after the length rows
  // With Blocks: the attribute tags (code page 932) whose values split the
  // block rows, one column each, in this order.
  std::vector<std::string> AttributeTags;
  bool Areas = false;  // rows of the closed shapes' areas, after the length rows and before the block rows
  // The unit the lengths are written in ("mm", "cm", "m", "in" or "ft"; areas
  // in its square), converted from the unit the drawing states; empty: as drawn.
  std::string Unit;
  // With Unit: the unit of a drawing that states none; empty: such a drawing
  // cannot be converted.
  std::string DrawingUnit;
};
