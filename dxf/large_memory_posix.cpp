#include "dxf/large_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

// Under AddressSanitizer the blocks come from its allocator, which knows
// their bounds.
#if defined(__SANITIZE_ADDRESS__)
#define ORVELINE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVELINE_ASAN 1
#endif
#endif

#ifdef ORVELINE_ASAN

void* MapLargeBlock(std::size_t Bytes) { return std::calloc(Bytes, 1); }
void UnmapLargeBlock(void* Block, std::size_t) { std::free(Block); }

#else

namespace {

std::size_t RoundUp(std::size_t Bytes) { return (Bytes + kLargeBlockBytes - 1) / kLargeBlockBytes * kLargeBlockBytes; }

}  // namespace

void* MapLargeBlock(std::size_t Bytes) {
  if (Bytes == 0) Bytes = 1;
  const std::size_t size = RoundUp(Bytes);
  // Mapped with one huge page to spare, then cut to an aligned start: a huge
  // page must begin at a multiple of its size.
  void* mapped = mmap(nullptr, size + kLargeBlockBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t aligned = (start + kLargeBlockBytes - 1) / kLargeBlockBytes * kLargeBlockBytes;
  if (aligned > start) munmap(mapped, aligned - start);
  const std::uintptr_t end = start + size + kLargeBlockBytes;
  if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
  void* block = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
  madvise(block, size, MADV_HUGEPAGE);  // advice only: without huge pages the block works the same
#endif
  return block;
}

void UnmapLargeBlock(void* Block, std::size_t Bytes) {
  if (Block == nullptr) return;
  if (Bytes == 0) Bytes = 1;
  munmap(Block, RoundUp(Bytes));
}

#endif
