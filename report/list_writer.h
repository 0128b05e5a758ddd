// The file of a quantity list in the form asked for: the plain Shift-JIS CSV,
// with a totals column, a title row or a drawing column, in UTF-8 with a
// byte-order mark, or as JSON; and the list of what changed between two
// drawings. Rows are formatted into one buffer in code-page-932 bytes and
// converted, when the form is UTF-8, a buffer of whole rows at a time.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <string>
#include <vector>

#include "dxf/file_ptr.h"
#include "report/report_rows.h"

struct TListForm {
  bool Totals = false;    // an eighth field: the summed length ("total")
  bool Header = false;    // a first row of column titles (CSV only)
  bool Utf8 = false;      // UTF-8 with a byte-order mark; JSON is UTF-8 anyway, without one
  bool Json = false;      // a JSON array of objects instead of CSV rows
  bool Drawings = false;  // a first field: the drawing's file name ("drawing")
  bool Diff = false;      // rows of a difference of two drawings
  // Block rows follow the length rows: titles for their block name and
  // attribute columns (the tags, code page 932).
  bool Blocks = false;
  std::vector<std::string> AttributeTags;
  // Area rows follow the length rows: the length column's title names the
  // area too.
  bool Areas = false;
  // The unit the lengths are in ("m", ...; areas in its square), named in the
  // titles of the length and total columns and, in JSON, by each row's
  // "unit"; empty: as drawn, named nowhere.
  std::string Unit;
};

// One quantity that differs between two drawings; a count is 0 on the side
// where the quantity does not appear.
struct TDiffRow {
  std::string Layer, Color, LineType;
  int KindOrder = 0;
  const char* KindWord = nullptr;
  double Measure = 0.0;  // of the new drawing where the quantity is there, else of the old
  std::int64_t OldCount = 0;
  std::int64_t NewCount = 0;
  std::string Block;  // block rows only: the block's name and the attribute values
  std::vector<std::string> Attributes;
  bool IsBlock() const { return KindOrder == TReportRow::kBlockKindOrder; }
  bool IsArea() const { return TReportRow::IsAreaKind(KindOrder); }
};

class TListWriter : public TRowSink {
 public:
  explicit TListWriter(const TListForm& Form);
  ~TListWriter();
  TListWriter(const TListWriter&) = delete;
  TListWriter& operator=(const TListWriter&) = delete;

  // Starts the list of the file at Path: a new file beside it, which takes
  // its place (an existing one replaced) only when Close has written it
  // whole; false when it cannot be created. A device or a pipe at Path is
  // written straight, and "-" is the standard output. Then writes what stands before the rows: the
  // byte-order mark, the title row, the opening bracket. A list never closed
  // leaves the file at Path as it was.
  bool Open(const std::string& Path);
  void Row(const TReportRow& Row) override;
  void DiffRow(const TDiffRow& Row);
  // Writes what ends the list, closes it and puts it in place; throws
  // TFileError when a write, the close or the replacing fails (the file at
  // the path then stays as it was).
  void Close();

 private:
  void BeginRow();
  void AppendJsonUnit(bool Block, bool Area);
  void AppendBlockTitles();
  void AppendMeasureKeys(double Measure, bool Block, bool Area);
  void AppendBlockFields(std::string_view Block, std::span<const std::string_view> Attributes);
  void EndRow();
  void Flush();

  TListForm form_;
  TFilePtr file_;  // the file written, unless it is the standard output
  std::FILE* out_ = nullptr;
  std::string path_;
  std::string temp_;       // the new file beside path_ until it takes its place
  std::string buffer_;     // code-page-932 bytes of whole rows
  std::string converted_;  // the same as UTF-8, when the form asks for it
  bool firstRow_ = true;
};
