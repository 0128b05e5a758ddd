#include <windows.h>

#include "dxf/large_memory.h"

// Committed memory is zero-filled; Windows gives large pages only to
// processes with a privilege that a user rarely has, so plain pages.
void* MapLargeBlock(std::size_t Bytes) {
  return VirtualAlloc(nullptr, Bytes == 0 ? 1 : Bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void UnmapLargeBlock(void* Block, std::size_t) {
  if (Block != nullptr) VirtualFree(Block, 0, MEM_RELEASE);
}
