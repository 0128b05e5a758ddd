#include "dxf/block_expansion.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dxf/block_references.h"
#include "dxf/conversions.h"
#include "dxf/entity_fields.h"
#include "dxf/plan_placement.h"

namespace {

using block_refs::Cells;
using block_refs::kMaxPlaced;

class TBlockPlacer {
 public:
  // One placement costs one for itself (so that a grid of an empty block
  // costs its cells) and its entities; a missing block places nothing.
  TBlockPlacer(TDrawing& D, bool Tally)
      : d_(D),
        tally_(Tally),
        blocks_(
            D,
            [](const TBlockDef& b) {
              return 1 + static_cast<std::int64_t>(b.Line[1] - b.Line[0]) + (b.Arc[1] - b.Arc[0]) +
                     (b.Circle[1] - b.Circle[0]) + (b.Ellipse[1] - b.Ellipse[0]) + (b.Spline[1] - b.Spline[0]) +
                     (b.Poly[1] - b.Poly[0]);
            },
            0) {}
  void Run();

 private:
  void ExpandInsert(const TInsertRef& Insert, const TPlacement& Outer, const TRowKey* OuterKey, int Depth);
  void PlaceBlock(std::size_t Block, const TPlacement& Placement, const TRowKey& Key, int Depth);
  void Tally(std::size_t Type, bool Measured, std::int64_t Times = 1) {
    if (tally_) (Measured ? d_.Tally[Type].Measured : d_.Tally[Type].NotMeasured) += Times;
  }
  std::size_t InsertType();
  // An entity of a block takes the reference's layer when it is on layer 0,
  // and the reference's colour and linetype where it has them BYBLOCK.
  template <class TRec>
  void Inherit(TRec& Rec, const TRowKey& Outer) const {
    block_refs::Inherit(d_, Rec, Outer);
  }

  static constexpr std::size_t kNone = block_refs::TBlockPlacements::kNone;
  TDrawing& d_;
  const bool tally_;
  block_refs::TBlockPlacements blocks_;
  std::int64_t placed_ = 0;
  std::size_t insertType_ = kNone;
};

std::size_t TBlockPlacer::InsertType() {
  if (insertType_ == kNone) {
    const auto found =
        std::find_if(d_.Tally.begin(), d_.Tally.end(), [](const TEntityTally& t) { return t.Type == "INSERT"; });
    insertType_ = static_cast<std::size_t>(found - d_.Tally.begin());
    if (found == d_.Tally.end()) d_.Tally.push_back({"INSERT", 0, 0});
  }
  return insertType_;
}

// Places every cell of one reference. OuterKey is null for a reference of the
// drawing itself, else the row key that the enclosing reference hands down.
void TBlockPlacer::ExpandInsert(const TInsertRef& Insert, const TPlacement& Outer, const TRowKey* OuterKey, int Depth) {
  const std::size_t type = tally_ ? InsertType() : 0;
  const std::size_t block = blocks_.Find(Insert.Block);
  // A missing block, a block that refers to itself, nesting beyond reason and
  // more entities than one reading places are not measured.
  if (block == kNone || blocks_.Refused(block, Depth)) {
    Tally(type, false);
    return;
  }
  if (!OuterKey) {
    // What a reference of the drawing places, nested references included,
    // is placed whole or not at all.
    const std::int64_t cells = Cells(Insert);
    const std::int64_t size = blocks_.Cost(block, Depth + 1);
    if (cells > kMaxPlaced / size || placed_ + cells * size > kMaxPlaced) {
      Tally(type, false);
      return;
    }
    placed_ += cells * size;
  }
  Tally(type, true);
  TRowKey key = Insert.Key;
  if (OuterKey) Inherit(key, *OuterKey);
  const TPoint2 base = d_.Blocks[block].Base;
  const std::int32_t columns = Insert.Columns > 1 ? Insert.Columns : 1;
  const std::int32_t rows = Insert.Rows > 1 ? Insert.Rows : 1;
  for (std::int32_t row = 0; row < rows; ++row) {
    for (std::int32_t column = 0; column < columns; ++column) {
      const TPlacement own = block_refs::CellPlacement(Insert, base, column, row);
      PlaceBlock(block, Compose(Outer, own), key, Depth + 1);
    }
  }
}

void TBlockPlacer::PlaceBlock(std::size_t Block, const TPlacement& Placement, const TRowKey& Key, int Depth) {
  using dxf_fields::TakeRecord;
  // Copied: the tables below grow while the block is placed.
  const TBlockDef& b = d_.Blocks[Block];
  for (const TTypeCount& c : b.Counts) {
    Tally(c.Type, true, c.Measured);
    Tally(c.Type, false, c.NotMeasured);
  }
  for (std::int32_t i = b.Line[0]; i < b.Line[1]; ++i) {
    TLineRec r = d_.Lines[static_cast<std::size_t>(i)];
    const TPoint2 p = Apply(Placement, {r.X1, r.Y1}), q = Apply(Placement, {r.X2, r.Y2});
    r.X1 = p.X, r.Y1 = p.Y, r.X2 = q.X, r.Y2 = q.Y;
    Inherit(r, Key);
    TakeRecord(d_.Lines, d_.LineCount) = r;
  }
  for (std::int32_t i = b.Circle[0]; i < b.Circle[1]; ++i) {
    TCircleRec r = d_.Circles[static_cast<std::size_t>(i)];
    Inherit(r, Key);
    if (PlaceCircle(d_, Placement, r)) TakeRecord(d_.Circles, d_.CircleCount) = r;
  }
  for (std::int32_t i = b.Arc[0]; i < b.Arc[1]; ++i) {
    TArcRec r = d_.Arcs[static_cast<std::size_t>(i)];
    Inherit(r, Key);
    if (PlaceArc(d_, Placement, r)) TakeRecord(d_.Arcs, d_.ArcCount) = r;
  }
  const TLinear2& m = Placement.Linear;
  for (std::int32_t i = b.Ellipse[0]; i < b.Ellipse[1]; ++i) {
    TEllipseRec r = d_.Ellipses[static_cast<std::size_t>(i)];
    Inherit(r, Key);
    const TPoint2 c = Apply(Placement, {r.CX, r.CY});
    const TPoint2 u = ApplyLinear(m, {r.MajorX, r.MajorY}), v = ApplyLinear(m, {r.MinorX, r.MinorY});
    r.CX = c.X, r.CY = c.Y, r.MajorX = u.X, r.MajorY = u.Y, r.MinorX = v.X, r.MinorY = v.Y;
    TakeRecord(d_.Ellipses, d_.EllipseCount) = r;
  }
  for (std::int32_t i = b.Spline[0]; i < b.Spline[1]; ++i) {
    TSplineRec r = d_.Splines[static_cast<std::size_t>(i)];
    Inherit(r, Key);
    const std::int64_t first = static_cast<std::int64_t>(d_.SplinePoints.Length());
    for (std::int32_t k = 0; k < r.ControlCount + r.FitCount; ++k) {
      const TVertex p = d_.SplinePoints[static_cast<std::size_t>(r.FirstControl + k)];
      const TPoint2 q = Apply(Placement, {p.X, p.Y});
      d_.SplinePoints.Push() = {q.X, q.Y};
    }
    r.FirstControl = first;  // knots and weights do not change
    TakeRecord(d_.Splines, d_.SplineCount) = r;
  }
  for (std::int32_t i = b.Poly[0]; i < b.Poly[1]; ++i) {
    TPolyRec r = d_.Polys[static_cast<std::size_t>(i)];
    Inherit(r, Key);
    // A copy of its vertices, placed.
    const std::int64_t first = static_cast<std::int64_t>(d_.PolyVertices.Length());
    for (std::int32_t k = 1; k <= r.VertexCount; ++k) {
      const std::size_t at = static_cast<std::size_t>(r.FirstVertex + k - 1);
      const TVertex p = d_.PolyVertices[at];
      const std::int32_t flags = d_.PolyVertexFlagSlots[at];
      const double bulge = d_.PolyBulges[at];
      d_.PolyVertices.Push() = p;
      d_.PolyVertexFlagSlots.Push() = flags;
      d_.PolyBulges.Push() = bulge;
    }
    r.FirstVertex = first;
    PlacePolyline(d_, Placement, r);
    TakeRecord(d_.Polys, d_.PolyCount) = r;
  }
  blocks_.Placing(Block) = true;
  const std::size_t firstInsert = b.Insert[0], endInsert = b.Insert[1];
  for (std::size_t i = firstInsert; i < endInsert; ++i) {
    const TInsertRef nested = d_.Inserts[i];
    ExpandInsert(nested, Placement, &Key, Depth);
  }
  blocks_.Placing(Block) = false;
}

// Moves records From .. Count - 1 of a table to 0 .. Count - From - 1.
template <class TRec>
void DropFront(TTable<TRec>& Table, std::int32_t& Count, std::int32_t From) {
  if (From <= 0) return;
  for (std::int32_t i = From; i < Count; ++i)
    Table[static_cast<std::size_t>(i - From)] = Table[static_cast<std::size_t>(i)];
  for (std::int32_t i = Count - From; i < Count; ++i) Table[static_cast<std::size_t>(i)] = TRec{};
  Count -= From;
}

void TBlockPlacer::Run() {
  const std::size_t inserts = d_.Inserts.size();
  for (std::size_t i = 0; i < inserts; ++i) {
    if (d_.Inserts[i].Owner != -1) continue;
    const TInsertRef insert = d_.Inserts[i];
    ExpandInsert(insert, kIdentityPlacement, nullptr, 0);
  }
  const TTableMarks& own = d_.OwnStart;
  DropFront(d_.Lines, d_.LineCount, own.Line);
  DropFront(d_.Arcs, d_.ArcCount, own.Arc);
  DropFront(d_.Circles, d_.CircleCount, own.Circle);
  DropFront(d_.Ellipses, d_.EllipseCount, own.Ellipse);
  DropFront(d_.Splines, d_.SplineCount, own.Spline);
  DropFront(d_.Polys, d_.PolyCount, own.Poly);
  std::erase_if(d_.Tally, [](const TEntityTally& t) { return t.Measured == 0 && t.NotMeasured == 0; });
}

}  // namespace

void PlaceBlockReferences(TDrawing& D, bool Tally) { TBlockPlacer(D, Tally).Run(); }
