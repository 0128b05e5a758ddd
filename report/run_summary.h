// What a run of the report listed and what it did not, drawing by drawing,
// as the user reads it: on standard error from the command-line tool, in a
// window of the dialog.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dxf/drawing.h"

// One drawing of a run.
struct TDrawingSummary {
  std::string Name;       // the drawing's name in the list; empty for a list of one drawing
  std::int64_t Rows = 0;  // rows written for it
  std::vector<TEntityTally> Tally;
  std::int64_t BulgedPolylines = 0;  // polylines with an arc segment
  std::int64_t ClosedPolylines = 0;  // polylines marked closed
  // With block counts: the references counted, the anonymous ones left out
  // (they copy no named block), those refused (a cycle, nesting too deep,
  // too many).
  bool Blocks = false;
  std::int64_t BlocksCounted = 0;
  std::int64_t AnonymousLeftOut = 0;
  std::int64_t BlocksNotPlaced = 0;
  // With lengths converted: the unit of the drawing (UnitAssumed: it states
  // none, and the one given for it was taken) and the list's, code page 932.
  std::string UnitFrom, UnitTo;
  bool UnitAssumed = false;
  // With areas: the closed shapes measured and not measured, kind by kind
  // (TAreaKind).
  bool Areas = false;
  std::int64_t AreasMeasured[kAreaKinds] = {};
  std::int64_t AreasNotMeasured[kAreaKinds] = {};
};

// The summary in code-page-932 bytes, lines ended by "\n": for each drawing
// its name (with several), the rows written, one line per kind met in a
// fixed order ("線: 集計 12 集計外 0", the list's own words; the DXF type for
// kinds without one), for the plain list the polylines measured by their
// chords and those measured without their closing edges (each only when not
// 0), and the total; with areas then one line per area kind met
// ("多角線面積: 集計 3 集計外 1": a shape not measured crosses itself, or
// its area cannot be determined); with block counts then the references counted and
// left out ("ブロックの個数: 集計 5 集計外 2") and of those left out the
// anonymous ones (when not 0). With lengths converted, a line after the
// rows says from which unit to which ("単位: ft → m"; "単位: mm（図面に単位
// なし）→ m" for a drawing that states none).
std::string SummaryText(const std::vector<TDrawingSummary>& Drawings, bool Exact);
