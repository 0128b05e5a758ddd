// Memory for the large tables of one run: zero-filled blocks straight from
// the system, in whole huge pages where the platform offers them (on Linux
// the block is advised for transparent huge pages), so that filling a table
// of a million records costs a few page faults rather than tens of
// thousands.
#pragma once

#include <cstddef>
#include <new>

// The size that blocks are best made of: one huge page.
constexpr std::size_t kLargeBlockBytes = std::size_t{2} << 20;

// Bytes zero-filled bytes, aligned to kLargeBlockBytes where the system
// allows; nullptr when there is no memory. Freed with FreeLargeBlock and
// the same Bytes.
void* AllocateLargeBlock(std::size_t Bytes);
void FreeLargeBlock(void* Block, std::size_t Bytes);

// Blocks of one huge page made ready ahead: mapped, and every page of them
// touched, so that the system has zero-filled them already. A thread with
// time to spare (the one that scans the file) keeps up to Count of them, and
// AllocateLargeBlock hands them out for blocks of that size, so that the
// thread filling the tables does not wait for fresh pages. Both may be
// called from any thread.
void PrepareLargeBlocks(std::size_t Count);
// Frees the blocks made ready and not taken.
void ReleasePreparedBlocks();

// The platform's part: Bytes zero-filled bytes straight from the system
// (whole huge pages where it can), and their release.
void* MapLargeBlock(std::size_t Bytes);
void UnmapLargeBlock(void* Block, std::size_t Bytes);

// A fixed number of plain records in one large block, zero-filled: the
// scratch arrays of one run (the sort of a table), freed at the end of
// their scope.
template <class T>
class TLargeArray {
 public:
  explicit TLargeArray(std::size_t Count)
      : data_(static_cast<T*>(AllocateLargeBlock(Count * sizeof(T)))), size_(Count) {
    if (data_ == nullptr) throw std::bad_alloc();
  }
  ~TLargeArray() { FreeLargeBlock(data_, size_ * sizeof(T)); }
  TLargeArray(const TLargeArray&) = delete;
  TLargeArray& operator=(const TLargeArray&) = delete;

  T& operator[](std::size_t Index) { return data_[Index]; }
  const T& operator[](std::size_t Index) const { return data_[Index]; }
  std::size_t size() const { return size_; }
  T* begin() { return data_; }
  T* end() { return data_ + size_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }

 private:
  T* data_;
  std::size_t size_;
};
