// What the passes that follow block references share: how far placing may
// go, what a reference hands down to what its block holds, and where one
// cell of a reference puts its block. Internal to the dxf library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dxf/conversions.h"
#include "dxf/drawing.h"
#include "dxf/placement.h"

namespace block_refs {

// Placed out of blocks in one reading, at most: a guard against references
// that multiply without end (arrays of arrays of arrays).
constexpr std::int64_t kMaxPlaced = 8'000'000;
// Nesting of block references, at most.
constexpr int kMaxDepth = 64;

inline bool IsByBlockColor(std::string_view Color) {
  std::int32_t value;
  return !Color.empty() && TryConvertInteger(Color, value) && value == 0;
}

inline bool IsByBlockLineType(std::string_view LineType) {
  constexpr std::string_view kByBlock = "BYBLOCK";
  if (LineType.size() != kByBlock.size()) return false;
  for (std::size_t i = 0; i < kByBlock.size(); ++i) {
    char c = LineType[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != kByBlock[i]) return false;
  }
  return true;
}

// What a block holds takes the reference's layer where it is on layer 0, and
// the reference's colour and linetype where it has them BYBLOCK.
template <class TRec>
void Inherit(const TDrawing& D, TRec& Rec, const TRowKey& Outer) {
  if (D.Text(Rec.Layer) == "0") Rec.Layer = Outer.Layer;
  if (IsByBlockColor(D.Text(Rec.Color))) Rec.Color = Outer.Color;
  if (IsByBlockLineType(D.Text(Rec.LineType))) Rec.LineType = Outer.LineType;
}

// The cells of a reference: one, or the columns times the rows of an array.
inline std::int64_t Cells(const TInsertRef& Insert) {
  return static_cast<std::int64_t>(Insert.Columns > 1 ? Insert.Columns : 1) * (Insert.Rows > 1 ? Insert.Rows : 1);
}

// Where the cell in Column and Row of a reference puts a point of a block
// whose base point is Base, within the plane the reference is drawn in, then
// that plane seen from above.
inline TPlacement CellPlacement(const TInsertRef& Insert, TPoint2 Base, std::int32_t Column, std::int32_t Row) {
  const TPoint2 cell{Column * Insert.ColumnSpacing, Row * Insert.RowSpacing};
  const bool flipped = !IsTilted(Insert.Normal) && Insert.Normal.Z < 0;
  const TPlacement inPlane =
      InsertPlacement(Base, Insert.At, Insert.ScaleX, Insert.ScaleY, Insert.Rotation, cell, flipped);
  return IsTilted(Insert.Normal) ? Compose(OcsPlacement(Insert.Normal, Insert.Z), inPlane) : inPlane;
}

// The blocks of a drawing by name, which of them are being placed, and what
// one placement of each costs, for a pass that places references. The cost
// of one placement of a block is OwnCost of the block, and, cell for cell,
// the cost of what its references place; a reference to a block that is not
// defined costs MissingCost, and one that placing refuses for its stack (a
// cycle, nesting too deep) costs nothing. Counting stops past kMaxPlaced.
class TBlockPlacements {
 public:
  static constexpr std::size_t kNone = ~std::size_t{0};
  using TOwnCost = std::function<std::int64_t(const TBlockDef&)>;

  TBlockPlacements(const TDrawing& D, TOwnCost OwnCost, std::int64_t MissingCost);

  // The block of Name (the first of that name), or kNone.
  std::size_t Find(const std::string& Name) const {
    const auto found = index_.find(Name);
    return found == index_.end() ? kNone : found->second;
  }
  // Set while Block is being placed: a reference back into it is refused.
  bool& Placing(std::size_t Block) { return state_[Block].Placing; }
  // Whether placing refuses a reference to Block from a placement at Depth.
  bool Refused(std::size_t Block, int Depth) const { return state_[Block].Placing || Depth >= kMaxDepth; }
  // What one placement of Block at Depth costs, at most kMaxPlaced + 1.
  std::int64_t Cost(std::size_t Block, int Depth) { return CostOf(Block, Depth).Count; }

 private:
  struct TState {
    std::int64_t Cost = -1;  // of one placement wherever it stands; -1 not known
    bool Placing = false;
  };
  struct TCost {
    std::int64_t Count;
    bool ContextFree;  // no reference was refused for the stack: the cost holds wherever the block stands, and is kept
  };
  TCost CostOf(std::size_t Block, int Depth);

  const TDrawing& d_;
  TOwnCost ownCost_;
  std::int64_t missingCost_;
  std::vector<TState> state_;
  std::unordered_map<std::string, std::size_t> index_;
};

}  // namespace block_refs
