// The quantity list: one CSV row per layer, colour, linetype, kind and length.
#pragma once

#include <string>

#include "report/report_options.h"
#include "report/report_rows.h"

// Entities whose measures differ by no more than this (from one to the next
// in sorted order) are counted as one length.
constexpr double SameLengthTolerance = 0.00001;

// Creates the CSV file at CsvPath (replacing it), reads the DXF file at
// DxfPath into the entity tables, sorts the lines, circles, arcs and
// polylines and writes their rows. Both paths are code-page-932 (ANSI) byte
// strings. Returns true when the CSV file was created and written; when it
// cannot be created, ShowReportMessage tells so, nothing is read and the
// result is false. Before the CSV file is touched, a drawing that is the CSV
// file itself (SameAsDrawingError), a folder, or a binary DXF file
// (CheckDrawing) is refused with TFileError. Errors of ReadDxf pass through,
// the CSV file then stays empty (but for its title row or byte-order mark); a
// failed write throws TFileError. Options.Totals, Header and Utf8 change the
// form of the list.
bool WriteLengthReport(const std::string& DxfPath, const std::string& CsvPath, const TReportOptions& Options = {});

// Reads the DXF file into the tables as Options asks: plainly, or with the
// exact lengths' reading (ellipses, splines, block contents). Errors as for
// ReadDxf.
void ReadReportDrawing(const std::string& DxfPath, const TReportOptions& Options);

// Sorts the tables as ReadReportDrawing has filled them and hands the rows of
// the list to Sink, kind by kind, in the list's order. The tables stay
// sorted.
void ForEachReportRow(const TReportOptions& Options, TRowSink& Sink);
