// The quantity list: one CSV row per layer, colour, linetype, kind and length.
#pragma once

#include <string>

#include "report/report_options.h"

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
// the CSV file then stays empty; a failed write throws TFileError.
bool WriteLengthReport(const std::string& DxfPath, const std::string& CsvPath, const TReportOptions& Options = {});
