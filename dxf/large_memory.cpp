#include <cstdint>
#include <mutex>
#include <vector>

#include "dxf/large_memory.h"

namespace {

// The system's smallest page: touching one byte in each faults the whole
// block in, zero-filled.
constexpr std::size_t kPageBytes = 4096;

struct TReadyBlocks {
  std::mutex Mutex;
  std::vector<void*> Blocks;
};

TReadyBlocks& Ready() {
  static TReadyBlocks* ready = new TReadyBlocks;  // outlives every thread that may still hand blocks back
  return *ready;
}

// The requests that a ready block serves: those that take one huge page
// anyway, as every block of a table does.
bool OneHugePage(std::size_t Bytes) { return Bytes > kLargeBlockBytes / 2 && Bytes <= kLargeBlockBytes; }

}  // namespace

void* AllocateLargeBlock(std::size_t Bytes) {
  if (OneHugePage(Bytes)) {
    TReadyBlocks& ready = Ready();
    std::lock_guard lock(ready.Mutex);
    if (!ready.Blocks.empty()) {
      void* block = ready.Blocks.back();
      ready.Blocks.pop_back();
      return block;
    }
  }
  return MapLargeBlock(Bytes);
}

void FreeLargeBlock(void* Block, std::size_t Bytes) { UnmapLargeBlock(Block, Bytes); }

void PrepareLargeBlocks(std::size_t Count) {
  TReadyBlocks& ready = Ready();
  for (;;) {
    {
      std::lock_guard lock(ready.Mutex);
      if (ready.Blocks.size() >= Count) return;
    }
    // Mapped and touched outside the lock: this is the slow part.
    void* block = MapLargeBlock(kLargeBlockBytes);
    if (block == nullptr) return;
    volatile char* bytes = static_cast<char*>(block);
    for (std::size_t at = 0; at < kLargeBlockBytes; at += kPageBytes) bytes[at] = 0;
    std::lock_guard lock(ready.Mutex);
    ready.Blocks.push_back(block);
  }
}

void ReleasePreparedBlocks() {
  std::vector<void*> blocks;
  {
    TReadyBlocks& ready = Ready();
    std::lock_guard lock(ready.Mutex);
    blocks.swap(ready.Blocks);
  }
  for (void* block : blocks) UnmapLargeBlock(block, kLargeBlockBytes);
}
