#include "report/list_rows.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dxf/large_memory.h"
#include "text/shift_jis.h"
#include "report/measures.h"

namespace {

const char kLineWord[] = "\x90\xfc";                                    // 線
const char kCircleWord[] = "\x89\x7e";                                  // 円
const char kArcWord[] = "\x89\x7e\x8c\xca";                             // 円弧
const char kPolyWord[] = "\x91\xbd\x8a\x70\x90\xfc";                    // 多角線
const char kEllipseWord[] = "\x91\xc8\x89\x7e";                         // 楕円
const char kSplineWord[] = "\x83\x58\x83\x76\x83\x89\x83\x43\x83\x93";  // スプライン
const char kBlockWord[] = "\x83u\x83\x8d\x83\x62\x83N";                 // ブロック

// One entity in sort order: its row key as a rank, and measure and position
// as keys whose unsigned order is the order of the doubles.
struct TSortItem {
  std::uint64_t MeasureKey;
  std::uint64_t PosXKey, PosYKey;
  std::uint32_t Rank;   // equal ranks: equal layer, colour and linetype
  std::uint32_t Index;  // position in the table before sorting
};

// Smaller first, and no measure the arithmetic can produce breaks the order:
// -0.0 equals 0.0, and NaN stands after every number (+infinity included).
constexpr std::uint64_t kNanKey = ~std::uint64_t{0};

std::uint64_t OrderKey(double Value) {
  if (std::isnan(Value)) return kNanKey;
  if (Value == 0) Value = 0.0;
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(Value);
  constexpr std::uint64_t kSign = std::uint64_t{1} << 63;
  return (bits & kSign) ? ~bits : bits | kSign;
}

double FromOrderKey(std::uint64_t Key) {
  if (Key == kNanKey) return std::numeric_limits<double>::quiet_NaN();
  constexpr std::uint64_t kSign = std::uint64_t{1} << 63;
  return std::bit_cast<double>((Key & kSign) ? Key & ~kSign : ~Key);
}

bool SortsBefore(const TSortItem& A, const TSortItem& B) {
  if (A.Rank != B.Rank) return A.Rank < B.Rank;
  if (A.MeasureKey != B.MeasureKey) return A.MeasureKey < B.MeasureKey;
  if (A.PosXKey != B.PosXKey) return A.PosXKey < B.PosXKey;
  if (A.PosYKey != B.PosYKey) return A.PosYKey < B.PosYKey;
  return A.Index < B.Index;  // entities equal in every key keep their file order
}

template <class TRec>
bool SameRowKey(const TRec& A, const TRec& B) {
  return A.Layer == B.Layer && A.Color == B.Color && A.LineType == B.LineType;
}

template <class TRec>
bool RowKeyBefore(const TDrawing& D, const TRec& A, const TRec& B) {
  // string_view compares bytes as unsigned; a beginning orders first.
  if (int c = D.Text(A.Layer).compare(D.Text(B.Layer))) return c < 0;
  if (int c = D.Text(A.Color).compare(D.Text(B.Color))) return c < 0;
  return D.Text(A.LineType).compare(D.Text(B.LineType)) < 0;
}

// The texts of a run are pooled, one number per distinct text, so a row key
// is hashed by its three numbers rather than by its bytes.
template <class TRec>
std::uint64_t HashRowKey(const TRec& Rec) {
  std::uint64_t h = 1469598103934665603ULL;
  for (std::uint32_t id : {Rec.Layer.Id, Rec.Color.Id, Rec.LineType.Id}) h = (h ^ id) * 0x9E3779B97F4A7C15ULL;
  return h ^ (h >> 29);
}

// Gives each item the rank of its row key among the distinct row keys of
// the table, in row-key order. Drawings have few distinct keys, so the work
// is a hash per record and a sort of the distinct keys.
// Fill(Item, Record) sets the rest of each item in the same pass over the
// records.
template <class TRec, class TFill>
void RankRowKeys(const TDrawing& D, const TTable<TRec>& Table, TLargeArray<TSortItem>& Items, TFill Fill) {
  std::vector<std::uint32_t> representative;  // key id -> a record with that key
  std::vector<std::uint32_t> slots(1024, 0);  // open addressing: key id + 1
  std::uint32_t previousId = 0;
  for (std::size_t i = 0; i < Items.size(); ++i) {
    const TRec& rec = Table[i];
    Items[i].Index = static_cast<std::uint32_t>(i);
    Fill(Items[i], rec);
    if (i > 0 && SameRowKey(rec, Table[i - 1])) {
      Items[i].Rank = previousId;
      continue;
    }
    std::size_t mask = slots.size() - 1;
    std::size_t slot = HashRowKey(rec) & mask;
    while (slots[slot] != 0 && !SameRowKey(Table[representative[slots[slot] - 1]], rec)) slot = (slot + 1) & mask;
    if (slots[slot] == 0) {
      representative.push_back(static_cast<std::uint32_t>(i));
      slots[slot] = static_cast<std::uint32_t>(representative.size());
      if (representative.size() * 2 > slots.size()) {
        std::vector<std::uint32_t> grown(slots.size() * 2, 0);
        mask = grown.size() - 1;
        for (std::uint32_t id = 0; id < representative.size(); ++id) {
          const TRec& r = Table[representative[id]];
          std::size_t s = HashRowKey(r) & mask;
          while (grown[s] != 0) s = (s + 1) & mask;
          grown[s] = id + 1;
        }
        slots.swap(grown);
      }
      previousId = static_cast<std::uint32_t>(representative.size() - 1);
    } else {
      previousId = slots[slot] - 1;
    }
    Items[i].Rank = previousId;
  }
  std::vector<std::uint32_t> order(representative.size());
  for (std::uint32_t id = 0; id < order.size(); ++id) order[id] = id;
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return RowKeyBefore(D, Table[representative[a]], Table[representative[b]]);
  });
  std::vector<std::uint32_t> rank(order.size());
  for (std::uint32_t r = 0; r < order.size(); ++r) rank[order[r]] = r;
  for (TSortItem& item : Items) item.Rank = rank[item.Rank];
}

// Puts record Items[i].Index at place i with exchanges of whole records,
// following each cycle of the permutation. The cycle is traced a window at a
// time in a small array of indices, so that the records it will touch can be
// fetched well ahead of their exchange without a second array the size of
// the table; the permutation itself is followed in a compact copy.
template <class TRec, class TSwap>
void ApplyOrder(TTable<TRec>& Table, const TLargeArray<TSortItem>& Items, TSwap Swap) {
  TLargeArray<std::uint32_t> from(Items.size());
  for (std::size_t i = 0; i < Items.size(); ++i) from[i] = Items[i].Index;
  constexpr std::size_t kWindow = 4096;
  std::vector<std::uint32_t> cycle(kWindow);
  for (std::size_t start = 0; start < from.size(); ++start) {
    if (from[start] == start) continue;
    std::uint32_t current = static_cast<std::uint32_t>(start);
    std::size_t cycleLength = 0;
    cycle[cycleLength++] = current;
    for (bool closed = false; !closed;) {
      while (cycleLength < kWindow) {
        const std::uint32_t next = from[current];
        from[current] = current;
        current = next;
        if (current == start) {
          closed = true;
          break;
        }
        cycle[cycleLength++] = current;
      }
      // Place cycle[k] takes the record of place cycle[k + 1]; the record
      // of the cycle's start moves on to the window's last place, which the
      // next window begins with.
      constexpr std::size_t kAhead = 8;
      for (std::size_t k = 0; k + 1 < cycleLength; ++k) {
#if defined(__GNUC__)
        if (k + kAhead < cycleLength) {
          const char* ahead = reinterpret_cast<const char*>(&Table[cycle[k + kAhead]]);
          for (std::size_t line = 0; line < sizeof(TRec); line += 64) __builtin_prefetch(ahead + line, 1);
        }
#endif
        Swap(Table[cycle[k]], Table[cycle[k + 1]]);
      }
      cycle[0] = cycle[cycleLength - 1];
      cycleLength = 1;
    }
  }
}

struct TRowGroup {
  std::int64_t Count = 0;
  std::int64_t Duplicates = 0;
  double Measure = 0.0;
  double Total = 0.0;
};

template <class TRec>
void EmitRow(const TDrawing& D, TRowSink& Sink, const TRec& Key, const TRowGroup& Group, int KindOrder,
             const char* KindWord) {
  TReportRow row;
  row.Layer = D.Text(Key.Layer);
  row.Color = D.Text(Key.Color);
  row.LineType = D.Text(Key.LineType);
  row.KindOrder = KindOrder;
  row.KindWord = KindWord;
  row.Measure = Group.Measure;
  row.Total = Group.Total;
  row.Count = Group.Count;
  row.Duplicates = Group.Duplicates;
  Sink.Row(row);
}

// Measure and position key of one kind of record, and the part of its
// duplicate key beyond the position. Measures are taken to the list's unit
// by Scale before they are sorted and grouped.
template <class TRec, class TMeasure, class TPosition, class TSameDuplicate, class TSwap>
void WriteKind(const TDrawing& D, TRowSink& Sink, TTable<TRec>& Table, std::int32_t Count, int KindOrder,
               const char* KindWord, double Scale, TMeasure Measure, TPosition Position, TSameDuplicate SameDuplicate,
               TSwap Swap) {
  if (Count <= 0) return;
  TLargeArray<TSortItem> items(static_cast<std::size_t>(Count));
  RankRowKeys(D, Table, items, [&](TSortItem& Item, const TRec& Rec) {
    Item.MeasureKey = OrderKey(Measure(Rec) * Scale);  // computed once per entity
    double x, y;
    Position(Rec, x, y);
    Item.PosXKey = OrderKey(x);
    Item.PosYKey = OrderKey(y);
  });
  std::sort(items.begin(), items.end(), [](const TSortItem& a, const TSortItem& b) { return SortsBefore(a, b); });
  ApplyOrder(Table, items, Swap);

  TRowGroup group;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const double m = FromOrderKey(items[i].MeasureKey);
    if (i > 0 && (items[i].Rank != items[i - 1].Rank || std::fabs(m - group.Measure) > SameLengthTolerance)) {
      EmitRow(D, Sink, Table[i - 1], group, KindOrder, KindWord);
      group = TRowGroup{};
    }
    // The position is the duplicate key, or its first half.
    if (group.Count > 0 && items[i].PosXKey == items[i - 1].PosXKey && items[i].PosYKey == items[i - 1].PosYKey &&
        SameDuplicate(Table[i], Table[i - 1]))
      ++group.Duplicates;
    ++group.Count;
    group.Measure = m;
    group.Total += m;
  }
  EmitRow(D, Sink, Table[items.size() - 1], group, KindOrder, KindWord);
}

// The number an area row is made of: the shape's area as placed, in the
// square of the drawing's unit.
double AreaMeasure(const TAreaRec& Rec) { return Rec.Area; }

void PolyStart(const TDrawing& D, const TPolyRec& Poly, double& X, double& Y) {
  if (Poly.VertexCount > 0) {
    X = D.Vertex(Poly, 1).X;
    Y = D.Vertex(Poly, 1).Y;
  } else {
    X = Y = 0.0;
  }
}

// A spline's position: its first control point, or its first fit point.
void SplineStart(const TDrawing& D, const TSplineRec& Spline, double& X, double& Y) {
  if (Spline.ControlCount + Spline.FitCount > 0) {
    const TVertex& p = D.SplinePoints[static_cast<std::size_t>(Spline.FirstControl)];
    X = p.X;
    Y = p.Y;
  } else {
    X = Y = 0.0;
  }
}

// Whether an attribute's tag is Tag: bytes alike, but ASCII letters
// outside double-byte characters in either case (the CAD program keeps tags
// in capitals).
bool SameTag(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  bool trail = false;
  for (std::size_t i = 0; i < A.size(); ++i) {
    unsigned char a = static_cast<unsigned char>(A[i]), b = static_cast<unsigned char>(B[i]);
    if (!trail) {
      if (a >= 'a' && a <= 'z') a = static_cast<unsigned char>(a - 'a' + 'A');
      if (b >= 'a' && b <= 'z') b = static_cast<unsigned char>(b - 'a' + 'A');
    }
    if (a != b) return false;
    trail = !trail && IsShiftJisLeadByte(a);
  }
  return true;
}

// One placed reference in sort order: the rank of its row (layer, colour,
// linetype, block name, attribute values), then its placement, whose equal
// numbers make duplicates.
struct TBlockItem {
  std::uint32_t Rank;
  std::uint64_t Place[6];
  std::uint32_t Index;  // in PlacedBlocks
};

// The block rows: every reference placed counts once, grouped by layer,
// colour, linetype, block name and the values of the tags asked for; a
// reference placed exactly where another of its row is (same point, scale
// and rotation) is a duplicate.
void ListBlocks(const TDrawing& D, const std::vector<std::string>& Tags, TRowSink& Sink) {
  const std::vector<TPlacedBlock>& placed = D.PlacedBlocks;
  if (placed.empty()) return;
  const std::size_t tagCount = Tags.size();
  // The values of the tags, reference by reference, as numbers of distinct
  // texts (0: the empty text, for a reference without the tag).
  std::vector<std::string> values{std::string()};
  std::unordered_map<std::string, std::uint32_t> valueIds{{std::string(), 0}};
  std::vector<std::uint32_t> insertValues;
  std::vector<bool> insertDone;
  if (tagCount > 0) {
    insertValues.assign(D.Inserts.size() * tagCount, 0);
    insertDone.assign(D.Inserts.size(), false);
  }
  // The row of each placed reference, as a number per distinct row.
  std::map<std::vector<std::uint32_t>, std::uint32_t> rowIds;
  std::vector<const std::vector<std::uint32_t>*> rowKeys;
  TLargeArray<TBlockItem> items(placed.size());
  std::vector<std::uint32_t> key(4 + tagCount);
  for (std::size_t i = 0; i < placed.size(); ++i) {
    const TPlacedBlock& p = placed[i];
    key[0] = p.Key.Layer.Id, key[1] = p.Key.Color.Id, key[2] = p.Key.LineType.Id, key[3] = p.Name;
    if (tagCount > 0) {
      const std::size_t at = static_cast<std::size_t>(p.Insert) * tagCount;
      if (!insertDone[p.Insert]) {
        insertDone[p.Insert] = true;
        const TInsertRef& ref = D.Inserts[p.Insert];
        for (std::size_t t = 0; t < tagCount; ++t) {
          for (std::uint32_t a = 0; a < ref.AttributeCount; ++a) {
            const TAttribute& attribute = D.Attributes[ref.FirstAttribute + a];
            if (!SameTag(attribute.Tag, Tags[t])) continue;
            const auto [found, added] =
                valueIds.try_emplace(attribute.Value, static_cast<std::uint32_t>(values.size()));
            if (added) values.push_back(attribute.Value);
            insertValues[at + t] = found->second;
            break;  // the first attribute of the tag
          }
        }
      }
      for (std::size_t t = 0; t < tagCount; ++t) key[4 + t] = insertValues[at + t];
    }
    const auto [row, added] = rowIds.try_emplace(key, static_cast<std::uint32_t>(rowKeys.size()));
    if (added) rowKeys.push_back(&row->first);
    TBlockItem& item = items[i];
    item.Rank = row->second;
    const TPlacement& m = p.Placement;
    const double place[6] = {m.E, m.F, m.Linear.A, m.Linear.B, m.Linear.C, m.Linear.D};
    for (int k = 0; k < 6; ++k) item.Place[k] = OrderKey(place[k]);
    item.Index = static_cast<std::uint32_t>(i);
  }
  // Rows in the order of their texts, bytes compared as unsigned.
  const auto text = [&](const std::vector<std::uint32_t>& Key, std::size_t Field) -> std::string_view {
    return Field < 4 ? D.Pool.View(Key[Field]) : std::string_view(values[Key[Field]]);
  };
  std::vector<std::uint32_t> order(rowKeys.size());
  for (std::uint32_t id = 0; id < order.size(); ++id) order[id] = id;
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    for (std::size_t f = 0; f < key.size(); ++f)
      if (int c = text(*rowKeys[a], f).compare(text(*rowKeys[b], f))) return c < 0;
    return false;
  });
  std::vector<std::uint32_t> rank(order.size());
  for (std::uint32_t r = 0; r < order.size(); ++r) rank[order[r]] = r;
  for (TBlockItem& item : items) item.Rank = rank[item.Rank];
  std::sort(items.begin(), items.end(), [](const TBlockItem& a, const TBlockItem& b) {
    if (a.Rank != b.Rank) return a.Rank < b.Rank;
    for (int k = 0; k < 6; ++k)
      if (a.Place[k] != b.Place[k]) return a.Place[k] < b.Place[k];
    return a.Index < b.Index;
  });

  std::vector<std::string_view> attributes(tagCount);
  std::size_t first = 0;
  for (std::size_t i = 1; i <= items.size(); ++i) {
    if (i < items.size() && items[i].Rank == items[first].Rank) continue;
    // Items first .. i - 1 make one row.
    TReportRow row;
    std::int64_t duplicates = 0;
    for (std::size_t k = first + 1; k < i; ++k)
      if (std::equal(std::begin(items[k].Place), std::end(items[k].Place), std::begin(items[k - 1].Place)))
        ++duplicates;
    const std::vector<std::uint32_t>& rowKey = *rowKeys[order[items[first].Rank]];
    row.Layer = text(rowKey, 0);
    row.Color = text(rowKey, 1);
    row.LineType = text(rowKey, 2);
    row.Block = text(rowKey, 3);
    for (std::size_t t = 0; t < tagCount; ++t) attributes[t] = text(rowKey, 4 + t);
    row.Attributes = attributes;
    row.KindOrder = TReportRow::kBlockKindOrder;
    row.KindWord = kBlockWord;
    row.Count = static_cast<std::int64_t>(i - first);
    row.Duplicates = duplicates;
    Sink.Row(row);
    first = i;
  }
}

}  // namespace

const char* AreaKindWord(std::size_t Kind) {
  static const char* const kAreaWords[kAreaKinds] = {
      "\x91\xbd\x8a\x70\x90\xfc\x96\xca\x90\xcf",                  // 多角線面積
      "\x89\x7e\x96\xca\x90\xcf",                                  // 円面積
      "\x91\xc8\x89\x7e\x96\xca\x90\xcf",                          // 楕円面積
      "\x83\x58\x83\x76\x83\x89\x83\x43\x83\x93\x96\xca\x90\xcf",  // スプライン面積
      "\x83\x6e\x83\x62\x83\x60\x96\xca\x90\xcf",                  // ハッチ面積
  };
  return kAreaWords[Kind];
}

void ListDrawing(TDrawing& D, const TReportOptions& Options, TRowSink& Sink, double Scale) {
  WriteKind(
      D, Sink, D.Lines, D.LineCount, 0, kLineWord, Scale, MeasureLine,
      [](const TLineRec& r, double& x, double& y) { x = r.X1, y = r.Y1; },
      [](const TLineRec& a, const TLineRec& b) { return a.X2 == b.X2 && a.Y2 == b.Y2; }, SwapLineRec);
  WriteKind(
      D, Sink, D.Circles, D.CircleCount, 1, kCircleWord, Scale, MeasureCircle,
      [](const TCircleRec& r, double& x, double& y) { x = r.CX, y = r.CY; },
      [](const TCircleRec&, const TCircleRec&) { return true; }, SwapCircleRec);
  WriteKind(
      D, Sink, D.Arcs, D.ArcCount, 2, kArcWord, Scale, MeasureArc,
      [](const TArcRec& r, double& x, double& y) { x = r.CX, y = r.CY; },
      [](const TArcRec&, const TArcRec&) { return true; }, SwapArcRec);
  const bool exact = Options.Exact && D.Exact;
  WriteKind(
      D, Sink, D.Polys, D.PolyCount, 3, kPolyWord, Scale,
      [&D, exact](const TPolyRec& r) { return exact ? MeasurePolyExact(D, r) : MeasurePoly(D, r); },
      [&D](const TPolyRec& r, double& x, double& y) { PolyStart(D, r, x, y); },
      [](const TPolyRec&, const TPolyRec&) { return true; }, SwapPolyRec);
  if (exact) {
    WriteKind(
        D, Sink, D.Ellipses, D.EllipseCount, 4, kEllipseWord, Scale, MeasureEllipse,
        [](const TEllipseRec& r, double& x, double& y) { x = r.CX, y = r.CY; },
        [](const TEllipseRec&, const TEllipseRec&) { return true; }, SwapEllipseRec);
    WriteKind(
        D, Sink, D.Splines, D.SplineCount, 5, kSplineWord, Scale,
        [&D](const TSplineRec& r) { return MeasureSpline(D, r); },
        [&D](const TSplineRec& r, double& x, double& y) { SplineStart(D, r, x, y); },
        [](const TSplineRec&, const TSplineRec&) { return true; }, SwapSplineRec);
  }
  // Areas: grouped and counted as lengths are; a shape at the same place as
  // another of its row and area is a duplicate.
  if (Options.Areas && D.Areas) {
    for (std::size_t kind = 0; kind < kAreaKinds; ++kind)
      WriteKind(
          D, Sink, D.AreaRecs[kind], D.AreaRecCounts[kind], TReportRow::kAreaKindOrder + static_cast<int>(kind),
          AreaKindWord(kind), Scale * Scale, AreaMeasure,
          [](const TAreaRec& r, double& x, double& y) { x = r.X, y = r.Y; },
          [](const TAreaRec&, const TAreaRec&) { return true; }, SwapAreaRec);
  }
  if (Options.Blocks && D.BlockCounts) ListBlocks(D, Options.AttributeTags, Sink);
}
