#include "report/list_writer.h"

#include <charconv>
#include <cstdio>
#include <cmath>
#include <string_view>
#include <vector>

#include "dxf/dxf_errors.h"
#include "dxf/file_identity.h"
#include "dxf/file_replace.h"
#include "report/number_format.h"
#include "report/units.h"
#include "text/cp932_convert.h"
#include "text/shift_jis.h"

namespace {

constexpr std::size_t kFlushAt = 1 << 20;
const char kByteOrderMark[] = "\xef\xbb\xbf";

// Column titles, code-page-932 bytes.
const char kDrawingTitle[] = "\x90\x7d\x96\xca,";  // 図面,
// The titles before and after the length column's, "長さ" or with the unit
// "長さ(m)" (LengthTitle).
const char kLayerTitle[] = "\x89\xe6\x91\x77,";  // 画層,
const char kListTitlesAfterLength[] =
    ",\x96\x7b\x90\x94,\x8e\xed\x97\xde,\x8f\x64\x95\xa1,\x90\x46,\x90\xfc\x8e\xed";  // ,本数,種類,重複,色,線種
const char kBlockTitle[] = ",\x83u\x83\x8d\x83\x62\x83N\x96\xbc";                     // ,ブロック名
const char kDiffTitlesAfterLength[] =
    ",\x8e\xed\x97\xde,\x90\x46,\x90\xfc\x8e\xed,\x8b\x8c\x96\x7b\x90\x94,\x90\x56\x96\x7b\x90\x94,"
    "\x91\x9d\x8c\xb8";  // ,種類,色,線種,旧本数,新本数,増減

// A CSV text field; quoted (with its quotes doubled) only where it holds a
// comma, a quote or a line end, so that a row always has its fields.
void AppendCsvField(std::string& Out, std::string_view Text) {
  if (Text.find_first_of(",\"\r\n") == std::string_view::npos) {
    Out.append(Text);
    return;
  }
  Out.push_back('"');
  for (char c : Text) {
    if (c == '"') Out.push_back('"');
    Out.push_back(c);
  }
  Out.push_back('"');
}

// A JSON string of code-page-932 bytes, still in code page 932: quotes,
// backslashes and control characters escaped, the trail bytes of double-byte
// characters (which may be 0x5C) left alone.
void AppendJsonString(std::string& Out, std::string_view Text) {
  Out.push_back('"');
  for (std::size_t i = 0; i < Text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(Text[i]);
    if (IsShiftJisLeadByte(c) && i + 1 < Text.size()) {
      const unsigned char trail = static_cast<unsigned char>(Text[i + 1]);
      if (trail >= 0x40 && trail <= 0xFC && trail != 0x7F) {
        Out.append(Text.substr(i, 2));
        ++i;
        continue;
      }
    }
    if (c == '"' || c == '\\') {
      Out.push_back('\\');
      Out.push_back(static_cast<char>(c));
    } else if (c < 0x20 || c == 0x7F) {
      static const char kHex[] = "0123456789abcdef";
      Out.append("\\u00");
      Out.push_back(kHex[c >> 4]);
      Out.push_back(kHex[c & 15]);
    } else {
      Out.push_back(static_cast<char>(c));
    }
  }
  Out.push_back('"');
}

// A JSON number: the shortest digits that read back as Value; JSON has no
// infinity or NaN, so those are null.
void AppendJsonNumber(std::string& Out, double Value) {
  if (!std::isfinite(Value)) {
    Out.append("null");
    return;
  }
  char text[32];
  const char* end = std::to_chars(text, text + sizeof text, Value).ptr;
  Out.append(text, static_cast<std::size_t>(end - text));
}

void AppendInteger(std::string& Out, std::int64_t Value) {
  char text[24];
  const char* end = std::to_chars(text, text + sizeof text, Value).ptr;
  Out.append(text, static_cast<std::size_t>(end - text));
}

void AppendJsonKey(std::string& Out, const char* Key) {
  Out.push_back('"');
  Out.append(Key);
  Out.append("\":");
}

}  // namespace

TListWriter::TListWriter(const TListForm& Form) : form_(Form) {}

TListWriter::~TListWriter() {
  // Not closed: the list is incomplete, and the file it was to replace stays.
  file_.reset();
  if (!temp_.empty()) std::remove(temp_.c_str());
}

bool TListWriter::Open(const std::string& Path) {
  // A device or a pipe is written straight; a file is replaced only by the
  // whole list.
  if (Path == "-") {
    out_ = stdout;  // the standard output, which the caller has set to binary
  } else {
    if (IdentifyFile(Path).Special)
      file_.reset(std::fopen(Path.c_str(), "wb"));
    else
      file_.reset(CreateFileBeside(Path, temp_));
    out_ = file_.get();
  }
  if (!out_) return false;
  path_ = Path;
  // Written as it is: the buffer holds code-page-932 bytes.
  if (form_.Utf8 && !form_.Json && std::fwrite(kByteOrderMark, 1, 3, out_) != 3) throw CannotWriteError(Path);
  if (form_.Json) {
    buffer_.push_back('[');
  } else if (form_.Header) {
    if (form_.Drawings && !form_.Diff) buffer_.append(kDrawingTitle);
    buffer_.append(kLayerTitle);
    buffer_.append(LengthTitle(form_.Unit, form_.Areas));
    if (form_.Diff) {
      buffer_.append(kDiffTitlesAfterLength);
    } else {
      buffer_.append(kListTitlesAfterLength);
      if (form_.Totals) {
        buffer_.push_back(',');
        buffer_.append(TotalTitle(form_.Unit, form_.Areas));
      }
    }
    AppendBlockTitles();
    buffer_.append("\r\n");
  }
  return true;
}

// With a unit asked for, the key "unit" after "length" (and "area"): the
// unit's name, in an area row its square ("m2"), in a block row null, since
// a count of references has no unit.
void TListWriter::AppendJsonUnit(bool Block, bool Area) {
  if (form_.Unit.empty()) return;
  buffer_.push_back(',');
  AppendJsonKey(buffer_, "unit");
  if (Block)
    buffer_.append("null");
  else
    AppendJsonString(buffer_, Area ? JsonAreaUnit(form_.Unit) : form_.Unit);
}

void TListWriter::AppendBlockTitles() {
  if (!form_.Blocks) return;
  buffer_.append(kBlockTitle);
  for (const std::string& tag : form_.AttributeTags) {
    buffer_.push_back(',');
    AppendCsvField(buffer_, tag);
  }
}

// After the fields a length row has: the block's name and the attribute
// values, as CSV fields or as the JSON keys "block" and "attributes" (an
// object of tag to value, in the order of the tags).
void TListWriter::AppendBlockFields(std::string_view Block, std::span<const std::string_view> Attributes) {
  std::string& out = buffer_;
  if (form_.Json) {
    out.push_back(',');
    AppendJsonKey(out, "block");
    AppendJsonString(out, Block);
    out.push_back(',');
    AppendJsonKey(out, "attributes");
    out.push_back('{');
    for (std::size_t t = 0; t < Attributes.size() && t < form_.AttributeTags.size(); ++t) {
      if (t > 0) out.push_back(',');
      AppendJsonString(out, form_.AttributeTags[t]);
      out.push_back(':');
      AppendJsonString(out, Attributes[t]);
    }
    out.push_back('}');
  } else {
    out.push_back(',');
    AppendCsvField(out, Block);
    for (std::string_view value : Attributes) {
      out.push_back(',');
      AppendCsvField(out, value);
    }
  }
}

// "length", a number for a length row and null for the others, and for an
// area row "area" after it.
void TListWriter::AppendMeasureKeys(double Measure, bool Block, bool Area) {
  std::string& out = buffer_;
  AppendJsonKey(out, "length");
  if (Block || Area)
    out.append("null");
  else
    AppendJsonNumber(out, Measure);
  if (Area) {
    out.push_back(',');
    AppendJsonKey(out, "area");
    AppendJsonNumber(out, Measure);
  }
}

void TListWriter::BeginRow() {
  if (!form_.Json) return;
  buffer_.append(firstRow_ ? "\r\n{" : ",\r\n{");
  firstRow_ = false;
}

void TListWriter::EndRow() {
  buffer_.append(form_.Json ? "}" : "\r\n");
  if (buffer_.size() >= kFlushAt) Flush();
}

void TListWriter::Row(const TReportRow& Row) {
  // A length beyond what a double holds is never written as INF.
  const bool block = Row.IsBlock();  // no length: the field stays empty
  if (!block && (!std::isfinite(Row.Measure) || (form_.Totals && !std::isfinite(Row.Total))))
    throw MeasureOverflowError(Row.KindWord);
  std::string& out = buffer_;
  BeginRow();
  if (form_.Json) {
    if (form_.Drawings) {
      AppendJsonKey(out, "drawing");
      AppendJsonString(out, Row.Drawing);
      out.push_back(',');
    }
    AppendJsonKey(out, "layer");
    AppendJsonString(out, Row.Layer);
    out.push_back(',');
    AppendMeasureKeys(Row.Measure, block, Row.IsArea());
    AppendJsonUnit(block, Row.IsArea());
    out.push_back(',');
    AppendJsonKey(out, "count");
    AppendInteger(out, Row.Count);
    out.push_back(',');
    AppendJsonKey(out, "kind");
    AppendJsonString(out, Row.KindWord);
    out.push_back(',');
    AppendJsonKey(out, "duplicates");
    AppendInteger(out, Row.Duplicates);
    out.push_back(',');
    AppendJsonKey(out, "color");
    AppendJsonString(out, Row.Color);
    out.push_back(',');
    AppendJsonKey(out, "linetype");
    AppendJsonString(out, Row.LineType);
    if (form_.Totals) {
      out.push_back(',');
      AppendJsonKey(out, "total");
      if (block)
        out.append("null");
      else
        AppendJsonNumber(out, Row.Total);
    }
  } else {
    if (form_.Drawings) {
      AppendCsvField(out, Row.Drawing);
      out.push_back(',');
    }
    AppendCsvField(out, Row.Layer);
    out.push_back(',');
    if (!block) AppendMeasure(out, Row.Measure);
    out.push_back(',');
    AppendInteger(out, Row.Count);
    out.push_back(',');
    out.append(Row.KindWord);
    out.push_back(',');
    if (Row.Duplicates > 0) AppendInteger(out, Row.Duplicates);
    out.push_back(',');
    AppendCsvField(out, Row.Color);
    out.push_back(',');
    AppendCsvField(out, Row.LineType);
    if (form_.Totals) {
      out.push_back(',');
      if (!block) AppendMeasure(out, Row.Total);
    }
  }
  if (block) AppendBlockFields(Row.Block, Row.Attributes);
  EndRow();
}

void TListWriter::DiffRow(const TDiffRow& Row) {
  const bool block = Row.IsBlock();
  if (!block && !std::isfinite(Row.Measure)) throw MeasureOverflowError(Row.KindWord);
  std::string& out = buffer_;
  const std::int64_t change = Row.NewCount - Row.OldCount;
  BeginRow();
  if (form_.Json) {
    AppendJsonKey(out, "layer");
    AppendJsonString(out, Row.Layer);
    out.push_back(',');
    AppendMeasureKeys(Row.Measure, block, Row.IsArea());
    AppendJsonUnit(block, Row.IsArea());
    out.push_back(',');
    AppendJsonKey(out, "kind");
    AppendJsonString(out, Row.KindWord);
    out.push_back(',');
    AppendJsonKey(out, "color");
    AppendJsonString(out, Row.Color);
    out.push_back(',');
    AppendJsonKey(out, "linetype");
    AppendJsonString(out, Row.LineType);
    out.push_back(',');
    AppendJsonKey(out, "old_count");
    AppendInteger(out, Row.OldCount);
    out.push_back(',');
    AppendJsonKey(out, "new_count");
    AppendInteger(out, Row.NewCount);
    out.push_back(',');
    AppendJsonKey(out, "change");
    AppendInteger(out, change);
  } else {
    AppendCsvField(out, Row.Layer);
    out.push_back(',');
    if (!block) AppendMeasure(out, Row.Measure);
    out.push_back(',');
    out.append(Row.KindWord);
    out.push_back(',');
    AppendCsvField(out, Row.Color);
    out.push_back(',');
    AppendCsvField(out, Row.LineType);
    out.push_back(',');
    AppendInteger(out, Row.OldCount);
    out.push_back(',');
    AppendInteger(out, Row.NewCount);
    out.push_back(',');
    if (change > 0) out.push_back('+');
    AppendInteger(out, change);
  }
  if (block) {
    std::vector<std::string_view> attributes(Row.Attributes.begin(), Row.Attributes.end());
    AppendBlockFields(Row.Block, attributes);
  }
  EndRow();
}

void TListWriter::Flush() {
  const std::string* bytes = &buffer_;
  if (form_.Utf8 || form_.Json) {
    converted_.clear();
    AppendCp932AsUtf8(converted_, buffer_);
    bytes = &converted_;
  }
  if (!bytes->empty() && std::fwrite(bytes->data(), 1, bytes->size(), out_) != bytes->size())
    throw CannotWriteError(path_);
  buffer_.clear();
}

void TListWriter::Close() {
  if (form_.Json) buffer_.append(firstRow_ ? "]\r\n" : "\r\n]\r\n");
  Flush();
  if (!file_) {
    if (std::fflush(out_) != 0) throw CannotWriteError(path_);
    return;
  }
  std::FILE* file = file_.release();
  const bool written = std::fflush(file) == 0 && (temp_.empty() || SyncFile(file));
  if (std::fclose(file) != 0 || !written) throw CannotWriteError(path_);
  if (!temp_.empty()) {
    if (!MoveOverFile(temp_, path_)) throw CannotCreateError(path_);
    temp_.clear();
  }
}
