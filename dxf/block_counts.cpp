#include "dxf/block_counts.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dxf/block_references.h"

namespace {

using block_refs::Cells;
using block_refs::kMaxDepth;
using block_refs::kMaxPlaced;

class TBlockCounter {
 public:
  explicit TBlockCounter(TDrawing& D) : d_(D), state_(D.Blocks.size()) {
    for (std::size_t i = 0; i < D.Blocks.size(); ++i) index_.emplace(D.Blocks[i].Name, i);
  }
  void Run();

 private:
  struct TBlockState {
    std::int64_t Cost = -1;  // of one placement wherever it stands; -1 not known
    bool Placing = false;    // it is being placed, or its cost found
  };
  struct TCost {
    std::int64_t Count;
    bool ContextFree;
  };

  void Place(std::size_t Insert, const TPlacement& Outer, const TRowKey* OuterKey, int Depth);
  TCost PlacementCost(std::size_t Block, int Depth);
  std::size_t FindBlock(const std::string& Name) const {
    const auto found = index_.find(Name);
    return found == index_.end() ? kNone : found->second;
  }

  static constexpr std::size_t kNone = ~std::size_t{0};
  TDrawing& d_;
  std::vector<TBlockState> state_;
  std::unordered_map<std::string, std::size_t> index_;  // by name; the first of a name counts
  std::int64_t placed_ = 0;
};

// The references that one placement of a reference to Block places: itself
// and, cell for cell, what the references of its block place. A reference to
// a block that is not defined places itself alone; one that placing refuses
// for its stack (a cycle, nesting too deep) places nothing, and the cost is
// then not kept. Counting stops past kMaxPlaced.
TBlockCounter::TCost TBlockCounter::PlacementCost(std::size_t Block, int Depth) {
  TBlockState& state = state_[Block];
  if (state.Cost >= 0) return {state.Cost, true};
  state.Placing = true;
  const TBlockDef& b = d_.Blocks[Block];
  TCost cost{1, true};
  for (std::size_t i = b.Insert[0]; i < b.Insert[1] && cost.Count <= kMaxPlaced; ++i) {
    const TInsertRef& nested = d_.Inserts[i];
    const std::size_t child = FindBlock(nested.Block);
    TCost inner{1, true};
    if (child != kNone) {
      if (state_[child].Placing || Depth >= kMaxDepth) {
        cost.ContextFree = false;
        continue;
      }
      inner = PlacementCost(child, Depth + 1);
    }
    cost.ContextFree = cost.ContextFree && inner.ContextFree;
    if (Cells(nested) > (kMaxPlaced + 1) / inner.Count) {
      cost.Count = kMaxPlaced + 1;
      break;
    }
    cost.Count += Cells(nested) * inner.Count;
  }
  if (cost.Count > kMaxPlaced) cost.Count = kMaxPlaced + 1;
  state_[Block].Placing = false;
  if (cost.ContextFree) state_[Block].Cost = cost.Count;
  return cost;
}

// Places every cell of the reference Inserts[Insert]. OuterKey is null for a
// reference of the drawing itself, else the row key that the enclosing
// reference hands down.
void TBlockCounter::Place(std::size_t Insert, const TPlacement& Outer, const TRowKey* OuterKey, int Depth) {
  const TInsertRef& ref = d_.Inserts[Insert];
  const std::int64_t cells = Cells(ref);
  const std::size_t block = FindBlock(ref.Block);
  if (block != kNone && (state_[block].Placing || Depth >= kMaxDepth)) {
    d_.BlocksNotPlaced += cells;
    return;
  }
  std::string_view name = ref.Block;
  if (name.starts_with('*')) {
    // An anonymous block counts only as the named block it copies.
    name = !ref.TrueName.empty()                                  ? std::string_view(ref.TrueName)
           : block != kNone && !d_.Blocks[block].TrueName.empty() ? std::string_view(d_.Blocks[block].TrueName)
                                                                  : std::string_view();
    if (name.empty() || name.starts_with('*')) {
      d_.AnonymousLeftOut += cells;
      return;
    }
  }
  if (!OuterKey) {
    // What a reference of the drawing places, nested references included,
    // is placed whole or not at all.
    const std::int64_t size = block == kNone ? 1 : PlacementCost(block, Depth + 1).Count;
    if (cells > kMaxPlaced / size || placed_ + cells * size > kMaxPlaced) {
      d_.BlocksNotPlaced += cells;
      return;
    }
    placed_ += cells * size;
  }
  const std::uint32_t nameId = d_.Pool.Intern(name);
  TRowKey key = ref.Key;
  if (OuterKey) block_refs::Inherit(d_, key, *OuterKey);
  const TPoint2 base = block == kNone ? TPoint2{0, 0} : d_.Blocks[block].Base;
  const std::int32_t columns = ref.Columns > 1 ? ref.Columns : 1;
  const std::int32_t rows = ref.Rows > 1 ? ref.Rows : 1;
  for (std::int32_t row = 0; row < rows; ++row) {
    for (std::int32_t column = 0; column < columns; ++column) {
      const TPlacement placement = Compose(Outer, block_refs::CellPlacement(ref, base, column, row));
      d_.PlacedBlocks.push_back({nameId, static_cast<std::uint32_t>(Insert), key, placement});
      if (block == kNone) continue;
      state_[block].Placing = true;
      const TBlockDef& b = d_.Blocks[block];
      for (std::size_t i = b.Insert[0]; i < b.Insert[1]; ++i) Place(i, placement, &key, Depth + 1);
      state_[block].Placing = false;
    }
  }
}

void TBlockCounter::Run() {
  for (std::size_t i = 0; i < d_.Inserts.size(); ++i)
    if (d_.Inserts[i].Owner == -1) Place(i, kIdentityPlacement, nullptr, 0);
}

}  // namespace

void PlaceBlockCounts(TDrawing& D) { TBlockCounter(D).Run(); }
