#include "report/run_summary.h"

#include <algorithm>
#include <string_view>

#include "report/list_rows.h"

namespace {

const char kDrawing[] = "\x90}\x96\xca";                                           // 図面
const char kRows[] = "\x8fW\x8cv\x82\xb5\x82\xbd\x8ds";                            // 集計した行
const char kMeasured[] = "\x8fW\x8cv";                                             // 集計
const char kNotMeasured[] = "\x8fW\x8cv\x8aO";                                     // 集計外
const char kTotal[] = "\x8d\x87\x8cv";                                             // 合計
const char kBlockCounts[] = "\x83u\x83\x8d\x83\x62\x83N\x82\xcc\x8c\xc2\x90\x94";  // ブロックの個数
const char kAnonymousLeftOut[] =
    "\x8fW\x8cv\x8aO\x82\xcc\x96\xb3\x96\xbc\x83u\x83\x8d\x83\x62\x83N";  // 集計外の無名ブロック
const char kUnit[] = "\x92P\x88\xca: ";                                   // 単位:
const char kUnitArrow[] = " \x81\xa8 ";                                   //  →
const char kNoUnitStated[] = "\x81i\x90\x7d\x96\xca\x82\xc9\x92P\x88\xca\x82\xc8\x82\xb5\x81j";  // （図面に単位なし）
const char kChords[] =
    "\x89~\x8c\xca\x82\xf0\x8c\xb7\x82\xc5\x91\xaa\x82\xc1\x82\xbd\x91\xbd\x8ap\x90\xfc";  // 円弧を弦で測った多角線
const char kNoClosingEdge[] =
    "\x95\xc2\x82\xb6\x95\xd3\x82\xf0\x8a\xdc\x82\xdf\x82\xc4\x82\xa2\x82\xc8\x82\xa2\x91\xbd\x8ap\x90\xfc";  // 閉じ辺を含めていない多角線

// The kinds in the summary's order, each with the DXF types it gathers.
struct TKind {
  const char* Word;
  std::string_view Types[2];
};
const TKind kKinds[] = {
    {"\x90\xfc", {"LINE"}},                                   // 線
    {"\x89~", {"CIRCLE"}},                                    // 円
    {"\x89~\x8c\xca", {"ARC"}},                               // 円弧
    {"\x91\xbd\x8ap\x90\xfc", {"LWPOLYLINE", "POLYLINE"}},    // 多角線
    {"\x91\xc8\x89~", {"ELLIPSE"}},                           // 楕円
    {"\x83X\x83v\x83\x89\x83\x43\x83\x93", {"SPLINE"}},       // スプライン
    {"\x83n\x83\x62\x83`", {"HATCH"}},                        // ハッチ
    {"\x95\xb6\x8e\x9a", {"TEXT", "MTEXT"}},                  // 文字
    {"\x83u\x83\x8d\x83\x62\x83N\x8eQ\x8f\xc6", {"INSERT"}},  // ブロック参照
};

const TKind* KindOf(std::string_view Type) {
  for (const TKind& k : kKinds)
    if (k.Types[0] == Type || k.Types[1] == Type) return &k;
  return nullptr;
}

void AddCountLine(std::string& Out, std::string_view Label, std::int64_t Measured, std::int64_t NotMeasured) {
  Out.append(Label);
  Out += ": ";
  Out += kMeasured;
  Out += " " + std::to_string(Measured) + " ";
  Out += kNotMeasured;
  Out += " " + std::to_string(NotMeasured) + "\n";
}

}  // namespace

std::string SummaryText(const std::vector<TDrawingSummary>& Drawings, bool Exact) {
  std::string out;
  for (const TDrawingSummary& d : Drawings) {
    if (!d.Name.empty()) out += std::string(kDrawing) + ": " + d.Name + "\n";
    out += std::string(kRows) + ": " + std::to_string(d.Rows) + "\n";
    if (!d.UnitTo.empty())
      out += kUnit + d.UnitFrom + (d.UnitAssumed ? kNoUnitStated : "") + kUnitArrow + d.UnitTo + "\n";
    std::int64_t measured = 0, notMeasured = 0;
    for (const TKind& kind : kKinds) {
      std::int64_t m = 0, n = 0;
      bool met = false;
      for (const TEntityTally& t : d.Tally) {
        if (KindOf(t.Type) != &kind) continue;
        met = true;
        m += t.Measured;
        n += t.NotMeasured;
      }
      if (met) AddCountLine(out, kind.Word, m, n);
    }
    // Kinds without a word of their own, by their DXF type, in the order met.
    for (const TEntityTally& t : d.Tally)
      if (!KindOf(t.Type)) AddCountLine(out, t.Type, t.Measured, t.NotMeasured);
    for (const TEntityTally& t : d.Tally) {
      measured += t.Measured;
      notMeasured += t.NotMeasured;
    }
    if (!Exact && d.BulgedPolylines > 0) out += std::string(kChords) + ": " + std::to_string(d.BulgedPolylines) + "\n";
    if (!Exact && d.ClosedPolylines > 0)
      out += std::string(kNoClosingEdge) + ": " + std::to_string(d.ClosedPolylines) + "\n";
    AddCountLine(out, kTotal, measured, notMeasured);
    if (d.Areas) {
      for (std::size_t k = 0; k < kAreaKinds; ++k)
        if (d.AreasMeasured[k] + d.AreasNotMeasured[k] > 0)
          AddCountLine(out, AreaKindWord(k), d.AreasMeasured[k], d.AreasNotMeasured[k]);
    }
    if (d.Blocks) {
      AddCountLine(out, kBlockCounts, d.BlocksCounted, d.AnonymousLeftOut + d.BlocksNotPlaced);
      if (d.AnonymousLeftOut > 0)
        out += std::string(kAnonymousLeftOut) + ": " + std::to_string(d.AnonymousLeftOut) + "\n";
    }
  }
  return out;
}
