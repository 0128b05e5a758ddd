// One run of the report, as the dialog and the command-line tool both make
// it: the drawings checked, each opened and read once, listed, and the list
// written in the form asked for, in place of the report file only once it is
// whole.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "dxf/drawing.h"
#include "report/report_options.h"
#include "report/run_summary.h"

// Told of each drawing as its reading starts.
class TReportProgress {
 public:
  virtual void Drawing(std::size_t Number, std::size_t Total) = 0;

 protected:
  ~TReportProgress() = default;
};

struct TReportJob {
  std::vector<std::string> Drawings;  // code-page-932 (ANSI) paths; with Diff the old and the new one
  std::vector<std::string> Names;     // with several drawings: the name each row starts with, drawing for drawing
  std::string Report;                 // the list's file
  TReportOptions Options;
  bool MissingIsEmpty = false;  // a drawing that is not there lists nothing, instead of failing
  bool EmptyIsError = false;    // a drawing without a single entity fails (NothingSelectedError)
  TReportProgress* Progress = nullptr;
  TDrawing* Target = nullptr;  // where the drawings are read; null for a drawing of the run's own
};

// What a run read, drawing by drawing, for the summary (with
// Options.Summary).
struct TReportResult {
  std::vector<TDrawingSummary> Drawings;
};

// Makes the run. Before anything is written, every drawing is looked at: the
// report's own file (SameAsDrawingError), a folder (CannotReadError) and,
// unless MissingIsEmpty, a missing drawing (MissingFileError) are refused.
// A report that cannot be created throws CannotCreateError. Errors of a
// drawing's reading pass through, naming the drawing. With Options.Unit, each
// drawing's lengths are converted from the unit it states (or
// Options.DrawingUnit), and a drawing that states none without it throws
// NoDrawingUnitError. On any error the file
// at Job.Report stays as it was.
TReportResult WriteReport(const TReportJob& Job);
