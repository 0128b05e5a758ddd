#include "report/length_report.h"

#include "dxf/dxf_errors.h"
#include "report/report_message.h"
#include "report/report_run.h"

namespace {

bool WriteDialogReport(const std::string& DxfPath, const std::string& CsvPath, const TReportOptions& Options,
                       bool EmptyIsError, TReportResult* Result) {
  TReportJob job;
  job.Drawings = {DxfPath};
  job.Report = CsvPath;
  job.Options = Options;
  job.Options.Summary = true;
  job.MissingIsEmpty = true;
  job.EmptyIsError = EmptyIsError;
  job.Target = &CurrentDrawing;
  try {
    TReportResult result = WriteReport(job);
    if (Result) *Result = std::move(result);
  } catch (const TFileError& e) {
    if (e.Kind() != TFileError::TKind::CannotCreate) throw;
    ShowReportMessage(e.what());
    return false;
  }
  return true;
}

}  // namespace

bool WriteLengthReport(const std::string& DxfPath, const std::string& CsvPath, const TReportOptions& Options) {
  return WriteDialogReport(DxfPath, CsvPath, Options, false, nullptr);
}

bool WriteExportReport(const std::string& DxfPath, const std::string& CsvPath, const TReportOptions& Options,
                       TReportResult& Result) {
  return WriteDialogReport(DxfPath, CsvPath, Options, true, &Result);
}
