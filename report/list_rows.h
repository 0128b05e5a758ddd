// The rows of the quantity list of one read drawing: its lines, circles,
// arcs and polylines (and with exact lengths its ellipses and splines)
// sorted, grouped by layer, colour, linetype and length, and counted.
#pragma once

#include "dxf/drawing.h"
#include "report/report_options.h"
#include "report/report_rows.h"

// Entities whose measures differ by no more than this (from one to the next
// in sorted order) are counted as one length.
constexpr double SameLengthTolerance = 0.00001;

// Sorts the tables of Drawing and hands the rows of its list to Sink, kind by
// kind, in the list's order. The tables stay sorted. The exact measures are
// taken when Options asks for them and the drawing was read for them. Every
// measure is multiplied by Scale (the drawing's unit to the list's:
// DrawingConversion in report/units.h) before the entities are sorted and
// grouped, so that SameLengthTolerance holds in the list's unit.
void ListDrawing(TDrawing& Drawing, const TReportOptions& Options, TRowSink& Sink, double Scale = 1.0);

// The kind word of an area row ("多角線面積", ...), for TAreaKind Kind.
const char* AreaKindWord(std::size_t Kind);
