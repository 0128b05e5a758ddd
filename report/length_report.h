// The quantity list of the dialog's run: one CSV row per layer, colour,
// linetype, kind and length.
#pragma once

#include <string>

#include "report/list_rows.h"
#include "report/report_options.h"
#include "report/report_run.h"

// Writes the list of the DXF file at DxfPath to the CSV file at CsvPath, as
// WriteReport does, reading the drawing into CurrentDrawing (the tables that
// Lines, LineCount and the rest name), tallied. Both paths are
// code-page-932 (ANSI) byte strings. A missing drawing lists nothing.
// Returns true when the CSV file was written; when it cannot be created,
// ShowReportMessage tells so ("ファイルを作成できません"), nothing is read and
// the result is false. Other errors (TFileError: the drawing is the CSV file
// itself, a folder, a binary or unreadable file, a value that is not a
// number, a failed write) pass through; the CSV file then stays as it was.
bool WriteLengthReport(const std::string& DxfPath, const std::string& CsvPath, const TReportOptions& Options = {});

// The dialog's run: as WriteLengthReport, and what was listed and what was
// not goes to Result (TReportResult::Drawings holds the one drawing). An
// export that holds no entity at all is no list: NothingSelectedError
// ("図形が選択されていません。") is thrown and the CSV file stays as it was.
bool WriteExportReport(const std::string& DxfPath, const std::string& CsvPath, const TReportOptions& Options,
                       TReportResult& Result);
