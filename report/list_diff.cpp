#include "report/list_diff.h"

#include <map>
#include <string_view>
#include <functional>
#include <tuple>

#include "report/number_format.h"

namespace {

struct TQuantityKey {
  int KindOrder;
  std::string_view Layer, Color, LineType, Printed, Block;
  const std::vector<std::string>* Attributes;

  // The printed lengths are right-aligned in at least ten characters and
  // never negative, so a longer one is a larger length and equal widths
  // compare as text.
  bool operator<(const TQuantityKey& Other) const {
    return std::make_tuple(KindOrder, Layer, Color, LineType, Block, std::cref(*Attributes), Printed.size(), Printed) <
           std::make_tuple(Other.KindOrder, Other.Layer, Other.Color, Other.LineType, Other.Block,
                           std::cref(*Other.Attributes), Other.Printed.size(), Other.Printed);
  }
};

struct TCounts {
  const TKeptRow* Old = nullptr;  // the last row of each side under the key
  const TKeptRow* New = nullptr;
  std::int64_t OldCount = 0;
  std::int64_t NewCount = 0;
};

TQuantityKey KeyOf(const TKeptRow& Row) {
  return {Row.KindOrder, Row.Layer, Row.Color, Row.LineType, Row.Printed, Row.Block, &Row.Attributes};
}

}  // namespace

void TRowCollector::Row(const TReportRow& Row) {
  TKeptRow kept;
  kept.Layer = Row.Layer;
  kept.Color = Row.Color;
  kept.LineType = Row.LineType;
  if (!Row.IsBlock()) kept.Printed = FormatMeasure(Row.Measure);
  kept.Block = Row.Block;
  kept.Attributes.assign(Row.Attributes.begin(), Row.Attributes.end());
  kept.KindOrder = Row.KindOrder;
  kept.KindWord = Row.KindWord;
  kept.Measure = Row.Measure;
  kept.Count = Row.Count;
  Rows.push_back(std::move(kept));
}

std::vector<TDiffRow> DiffLists(const std::vector<TKeptRow>& Old, const std::vector<TKeptRow>& New) {
  std::map<TQuantityKey, TCounts> quantities;
  for (const TKeptRow& row : Old) {
    TCounts& counts = quantities[KeyOf(row)];
    counts.Old = &row;
    counts.OldCount += row.Count;
  }
  for (const TKeptRow& row : New) {
    TCounts& counts = quantities[KeyOf(row)];
    counts.New = &row;
    counts.NewCount += row.Count;
  }
  std::vector<TDiffRow> changed;
  for (const auto& [key, counts] : quantities) {
    if (counts.OldCount == counts.NewCount) continue;
    const TKeptRow& shown = counts.New ? *counts.New : *counts.Old;
    TDiffRow row;
    row.Layer = shown.Layer;
    row.Color = shown.Color;
    row.LineType = shown.LineType;
    row.KindOrder = shown.KindOrder;
    row.KindWord = shown.KindWord;
    row.Measure = shown.Measure;
    row.Block = shown.Block;
    row.Attributes = shown.Attributes;
    row.OldCount = counts.OldCount;
    row.NewCount = counts.NewCount;
    changed.push_back(std::move(row));
  }
  return changed;
}
