#include "report/report_run.h"

#include <algorithm>

#include "dxf/dxf_errors.h"
#include "dxf/dxf_reader.h"
#include "dxf/file_identity.h"
#include "report/list_diff.h"
#include "report/list_rows.h"
#include "report/list_writer.h"
#include "report/units.h"

namespace {

// Hands the rows on with the drawing's name in front.
class TNamedRows : public TRowSink {
 public:
  explicit TNamedRows(TRowSink& To) : to_(To) {}
  void Row(const TReportRow& Row) override {
    TReportRow named = Row;
    named.Drawing = Name;
    to_.Row(named);
    ++Rows;
  }
  std::string_view Name;
  std::int64_t Rows = 0;

 private:
  TRowSink& to_;
};

void CheckDrawings(const TReportJob& Job) {
  const TFileIdentity report = IdentifyFile(Job.Report);
  for (const std::string& path : Job.Drawings) {
    const TFileIdentity drawing = IdentifyFile(path);
    if (IsSameFile(drawing, report)) throw SameAsDrawingError(Job.Report);
    if (drawing.Folder) throw CannotReadError(path);
    if (drawing.Special) throw NotAFileError(path);
    if (!drawing.Exists && !Job.MissingIsEmpty) throw MissingFileError(path);
  }
}

}  // namespace

TReportResult WriteReport(const TReportJob& Job) {
  CheckDrawings(Job);
  const TReportOptions& options = Job.Options;
  TListForm form;
  form.Totals = options.Totals;
  form.Header = options.Header;
  form.Utf8 = options.Utf8;
  form.Json = options.Json;
  form.Diff = options.Diff;
  form.Drawings = !Job.Names.empty() && !options.Diff;
  form.Blocks = options.Blocks;
  form.AttributeTags = options.AttributeTags;
  form.Unit = options.Unit;
  form.Areas = options.Areas;
  TListWriter list(form);
  if (!list.Open(Job.Report)) throw CannotCreateError(Job.Report);

  TReportResult result;
  const TReadOptions reading{options.Exact, options.Summary || Job.EmptyIsError, options.Blocks, options.Areas};
  // One drawing's tables at a time; their room is kept from one to the next.
  TDrawing own;
  TDrawing& drawing = Job.Target ? *Job.Target : own;
  TNamedRows named(list);
  TRowCollector kept[2];
  for (std::size_t i = 0; i < Job.Drawings.size(); ++i) {
    if (Job.Progress) Job.Progress->Drawing(i + 1, Job.Drawings.size());
    const std::string& path = Job.Drawings[i];
    TFileSource source(path);
    if (source.Missing() && !Job.MissingIsEmpty) throw MissingFileError(path);
    ReadDrawing(source, reading, drawing);
    if (!drawing.Complete) throw CutDrawingError(path);
    if (Job.EmptyIsError && std::all_of(drawing.Tally.begin(), drawing.Tally.end(),
                                        [](const TEntityTally& t) { return t.Measured == 0 && t.NotMeasured == 0; }))
      throw NothingSelectedError(path);
    const TUnitConversion unit = DrawingConversion(drawing.Units, options, path);
    TDrawingSummary summary;
    try {
      if (options.Diff) {
        TRowCollector& rows = kept[i < 2 ? i : 1];
        ListDrawing(drawing, options, rows, unit.Scale);
        summary.Rows = static_cast<std::int64_t>(rows.Rows.size());
      } else {
        named.Name = form.Drawings ? std::string_view(Job.Names[i]) : std::string_view();
        named.Rows = 0;
        ListDrawing(drawing, options, named, unit.Scale);
        summary.Rows = named.Rows;
      }
    } catch (TFileError& e) {
      if (e.Path().empty()) e.Locate(path, 0);  // a length that cannot be measured
      throw;
    }
    if (options.Summary) {
      if (!Job.Names.empty()) summary.Name = Job.Names[i];
      summary.Tally = drawing.Tally;
      summary.BulgedPolylines = drawing.BulgedPolylines;
      summary.ClosedPolylines = drawing.ClosedPolylines;
      summary.Blocks = options.Blocks;
      summary.BlocksCounted = static_cast<std::int64_t>(drawing.PlacedBlocks.size());
      summary.AnonymousLeftOut = drawing.AnonymousLeftOut;
      summary.BlocksNotPlaced = drawing.BlocksNotPlaced;
      summary.UnitFrom = unit.From;
      summary.UnitTo = options.Unit;
      summary.UnitAssumed = unit.Assumed;
      summary.Areas = options.Areas;
      for (std::size_t k = 0; k < kAreaKinds; ++k) {
        summary.AreasMeasured[k] = drawing.AreaRecCounts[k];
        summary.AreasNotMeasured[k] = drawing.AreasNotMeasured[k];
      }
      result.Drawings.push_back(std::move(summary));
    }
  }
  if (options.Diff) {
    try {
      for (const TDiffRow& row : DiffLists(kept[0].Rows, kept[1].Rows)) list.DiffRow(row);
    } catch (TFileError& e) {
      if (e.Path().empty()) e.Locate(Job.Drawings.back(), 0);
      throw;
    }
  }
  list.Close();
  return result;
}
