// What changed between the quantity lists of two drawings: quantities are
// matched by layer, colour, linetype, kind and printed length, and block
// references by layer, colour, linetype, block name and attribute values.
#pragma once

#include <string>
#include <vector>

#include "report/list_writer.h"
#include "report/report_rows.h"

// The rows of one list, kept beyond the sink's call.
struct TKeptRow {
  std::string Layer, Color, LineType;
  std::string Printed;  // the length as the list prints it
  int KindOrder = 0;
  const char* KindWord = nullptr;
  double Measure = 0.0;
  std::int64_t Count = 0;
  std::string Block;  // block rows only
  std::vector<std::string> Attributes;
};

class TRowCollector : public TRowSink {
 public:
  void Row(const TReportRow& Row) override;
  std::vector<TKeptRow> Rows;
};

// One row per quantity whose count differs, in the list's order (kind, row
// key, length). Rows of one list with the same printed length count as one.
std::vector<TDiffRow> DiffLists(const std::vector<TKeptRow>& Old, const std::vector<TKeptRow>& New);
