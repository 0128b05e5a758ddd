// The units a list is written in and the units a drawing states: the factor
// that takes a drawing's lengths to the list's unit, and the titles and names
// that say which unit a number of the list is in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "report/report_options.h"

// True for the names of the units a list can be written in: "mm", "cm", "m",
// "in" and "ft".
bool IsListUnit(std::string_view Name);

// How the lengths of one drawing become those of the list: multiplied by
// Scale (areas by its square).
struct TUnitConversion {
  double Scale = 1.0;
  // With a unit asked for: the unit converted from, as the summary names it
  // (code page 932: "mm", "ft", "\x83\xcain" for microinches, ...), and
  // whether the drawing states none, so that it is Options.DrawingUnit.
  std::string_view From;
  bool Assumed = false;
};

// The conversion of a drawing whose $INSUNITS code is Units (TDrawing::Units)
// to Options.Unit: none (Scale 1) without Options.Unit. Every code of a
// length unit of fixed size counts; a drawing that states none (0, or a code
// that is no such unit) is taken to be in Options.DrawingUnit, and without
// one NoDrawingUnitError(Path) is thrown.
TUnitConversion DrawingConversion(std::int32_t Units, const TReportOptions& Options, const std::string& Path);

// Titles and names in code-page-932 bytes for the unit Unit (one of
// IsListUnit's names; empty: lengths as drawn, no unit named):
// the length column's title, "長さ(m)" ("長さ" without a unit); when the
// column holds areas too, "長さ(m)・面積(㎡)" ("長さ・面積"),
std::string LengthTitle(std::string_view Unit, bool Areas = false);
// the total column's title, "合計(m)" ("合計" without a unit); with areas
// too, "合計(m・㎡)",
std::string TotalTitle(std::string_view Unit, bool Areas = false);
// the unit of an area, the square of Unit: "㎡" for square metres (code page
// 932 has no other squared unit), else "平方" before the name: "平方mm",
// "平方cm", "平方in", "平方ft",
std::string AreaUnitWord(std::string_view Unit);
// a title for areas, "面積(㎡)" ("面積" without a unit),
std::string AreaTitle(std::string_view Unit);
// and the unit of an area in JSON, plain ASCII: "m2", "mm2", ... (empty
// without a unit).
std::string JsonAreaUnit(std::string_view Unit);
