#include "report/length_report.h"

#include "dxf/dxf_errors.h"
#include "report/report_message.h"
#include "report/report_run.h"

bool WriteLengthReport(const std::string& DxfPath, const std::string& CsvPath, const TReportOptions& Options) {
  TReportJob job;
  job.Drawings = {DxfPath};
  job.Report = CsvPath;
  job.Options = Options;
  job.Options.Summary = true;
  job.MissingIsEmpty = true;
  job.Target = &CurrentDrawing;
  try {
    WriteReport(job);
  } catch (const TFileError& e) {
    if (e.Kind() != TFileError::TKind::CannotCreate) throw;
    ShowReportMessage(e.what());
    return false;
  }
  return true;
}
