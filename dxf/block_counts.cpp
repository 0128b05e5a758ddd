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
using block_refs::kMaxPlaced;

class TBlockCounter {
 public:
  // One placement counts the reference itself; a reference to a block that
  // is not defined is still counted, under its name.
  explicit TBlockCounter(TDrawing& D)
      : d_(D),
        blocks_(
            D, [](const TBlockDef&) { return std::int64_t{1}; }, 1) {}
  void Run();

 private:
  void Place(std::size_t Insert, const TPlacement& Outer, const TRowKey* OuterKey, int Depth);

  static constexpr std::size_t kNone = block_refs::TBlockPlacements::kNone;
  TDrawing& d_;
  block_refs::TBlockPlacements blocks_;
  std::int64_t placed_ = 0;
};

// Places every cell of the reference Inserts[Insert]. OuterKey is null for a
// reference of the drawing itself, else the row key that the enclosing
// reference hands down.
void TBlockCounter::Place(std::size_t Insert, const TPlacement& Outer, const TRowKey* OuterKey, int Depth) {
  const TInsertRef& ref = d_.Inserts[Insert];
  const std::int64_t cells = Cells(ref);
  const std::size_t block = blocks_.Find(ref.Block);
  if (block != kNone && blocks_.Refused(block, Depth)) {
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
    const std::int64_t size = block == kNone ? 1 : blocks_.Cost(block, Depth + 1);
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
      blocks_.Placing(block) = true;
      const TBlockDef& b = d_.Blocks[block];
      for (std::size_t i = b.Insert[0]; i < b.Insert[1]; ++i) Place(i, placement, &key, Depth + 1);
      blocks_.Placing(block) = false;
    }
  }
}

void TBlockCounter::Run() {
  for (std::size_t i = 0; i < d_.Inserts.size(); ++i)
    if (d_.Inserts[i].Owner == -1) Place(i, kIdentityPlacement, nullptr, 0);
}

}  // namespace

void PlaceBlockCounts(TDrawing& D) { TBlockCounter(D).Run(); }
