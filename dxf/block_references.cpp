#include "dxf/block_references.h"

#include <utility>

namespace block_refs {

TBlockPlacements::TBlockPlacements(const TDrawing& D, TOwnCost OwnCost, std::int64_t MissingCost)
    : d_(D), ownCost_(std::move(OwnCost)), missingCost_(MissingCost), state_(D.Blocks.size()) {
  for (std::size_t i = 0; i < D.Blocks.size(); ++i) index_.emplace(D.Blocks[i].Name, i);
}

TBlockPlacements::TCost TBlockPlacements::CostOf(std::size_t Block, int Depth) {
  if (state_[Block].Cost >= 0) return {state_[Block].Cost, true};
  state_[Block].Placing = true;
  const TBlockDef& b = d_.Blocks[Block];
  TCost cost{ownCost_(b), true};
  for (std::size_t i = b.Insert[0]; i < b.Insert[1] && cost.Count <= kMaxPlaced; ++i) {
    const TInsertRef& nested = d_.Inserts[i];
    const std::size_t child = Find(nested.Block);
    TCost inner{missingCost_, true};
    if (child == kNone) {
      if (missingCost_ == 0) continue;
    } else if (Refused(child, Depth)) {
      cost.ContextFree = false;
      continue;
    } else {
      inner = CostOf(child, Depth + 1);
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

}  // namespace block_refs
