// The records of one read drawing and the growable table that holds them;
// and the process-wide names of the tables of the drawing that the dialog
// reads (TDrawing in dxf/drawing.h holds the tables themselves).
// Coordinates and radii in drawing units, angles in degrees, all exactly as
// the file gives them.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "dxf/large_memory.h"
#include "dxf/pool_text.h"

// Length of every table at the start of a run, and the step by which a table
// that has run full grows.
constexpr std::int32_t TablesGrowStep = 100;

using TText40 = TPoolText<40>;
using TText60 = TPoolText<60>;
using TText255 = TPoolText<255>;

struct TLineRec {
  double X1, Y1, Z1;  // start point [10, 20, 30]
  double X2, Y2, Z2;  // end point [11, 21, 31]
  TText60 Layer;      // [8]
  TText60 Color;      // colour number as text [62]; empty without group 62
  TText60 LineType;   // [6]; empty without group 6
};

struct TArcRec {
  double CX, CY, CZ;  // center [10, 20, 30]
  double Radius;      // [40]
  double StartAngle;  // degrees [50]
  double EndAngle;    // degrees [51]
  TText60 Layer;
  TText60 Color;
  TText60 LineType;
};

struct TCircleRec {
  double CX, CY, CZ;  // center [10, 20, 30]
  double Radius;      // [40]
  TText60 Layer;
  TText60 Color;
  TText60 LineType;
};

// One vertex position of a polyline [10, 20].
struct TVertex {
  double X, Y;
};

// One POLYLINE with its VERTEX entities, or one LWPOLYLINE. The vertices live
// in PolyVertices and their flags (the group 70 of a VERTEX entity, 0 for a
// LWPOLYLINE) in PolyVertexFlagSlots, slots 1 to VertexCount at FirstVertex
// onwards, so a record costs memory in proportion to its vertices and has no
// upper limit on them. Exchanging two records exchanges their vertices with
// them.
struct TPolyRec {
  std::int64_t FirstVertex;  // index in PolyVertices of vertex slot 1
  std::int32_t VertexCount;  // vertices read, in file order
  std::int32_t Flags;        // group 70 of a POLYLINE; always 0 for a LWPOLYLINE (but for exact lengths)
  // For exact lengths only: 1 + the index in PolyPlacements of the plane map
  // that placed the polyline out of a block, where that map does not keep
  // circles circles; 0 otherwise.
  std::int32_t Placement;
  TText60 Layer;
  TText60 Color;
  TText60 LineType;
};

// One TEXT or MTEXT. A text record has no layer.
struct TTextRec {
  double X, Y, Z;       // insertion point [10, 20, 30]
  double X2, Y2, Z2;    // [11, 21, 31]
  TText255 Content;     // [1, 3], cleaned
  std::int32_t HAlign;  // [72]
  std::int32_t VAlign;  // [73]
  double Height;        // [40], or the height of the style named by [7]
  TText60 Color;
  TText60 LineType;
};

// One entry of the STYLE table.
struct TStyleRec {
  TText40 Name;      // [2]
  double Height;     // [40]; 10.0 until the entry gives one
  TText60 Color;     // [62]
  TText60 LineType;  // [6]
};

// A growable array of records whose length (the room it has, every record in
// it valid) is separate from the count of records in use. Records are kept in
// blocks of about one huge page each, so growing never moves a record and
// costs no copy of the table. Blocks come zero-filled from the system, and a
// record of zero bytes is an empty record (reals 0.0, integers 0, texts
// empty); records are cleared by hand only where an earlier, longer use of
// the table left data. The blocks stay for the next use of the table.
template <class T>
class TTable {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_default_constructible_v<T>,
                "records are plain bytes");

 public:
  static constexpr std::size_t BlockSize =
      sizeof(T) >= kLargeBlockBytes ? 1 : std::bit_floor(kLargeBlockBytes / sizeof(T));

  TTable() = default;
  TTable(const TTable&) = delete;
  TTable& operator=(const TTable&) = delete;
  TTable(TTable&&) = default;
  TTable& operator=(TTable&&) = default;

  T& operator[](std::size_t Index) { return blocks_[Index / BlockSize][Index % BlockSize]; }
  const T& operator[](std::size_t Index) const { return blocks_[Index / BlockSize][Index % BlockSize]; }
  std::size_t Length() const { return length_; }

  // Makes the table Length empty records long, keeping none of its contents.
  void Reset(std::size_t Length) {
    length_ = 0;
    GrowBy(Length);
  }
  // Adds Count empty records at the end.
  void GrowBy(std::size_t Count) {
    const std::size_t newLength = length_ + Count;
    while (blocks_.size() * BlockSize < newLength) AddBlock();
    for (std::size_t i = length_; i < newLength && i < zeroFrom_; ++i) (*this)[i] = T{};
    length_ = newLength;
    if (zeroFrom_ < length_) zeroFrom_ = length_;
  }
  // Adds one empty record at the end and returns it.
  T& Push() {
    if (length_ == blocks_.size() * BlockSize) AddBlock();
    T& record = (*this)[length_];
    if (length_ < zeroFrom_) record = T{};
    if (zeroFrom_ < ++length_) zeroFrom_ = length_;
    return record;
  }
  // Cuts the table to Length records (never lengthens it); the room stays.
  void Shrink(std::size_t Length) {
    if (Length < length_) length_ = Length;
  }

 private:
  struct TFreeBlock {
    void operator()(T* Block) const { FreeLargeBlock(Block, BlockSize * sizeof(T)); }
  };
  void AddBlock() {
    void* block = AllocateLargeBlock(BlockSize * sizeof(T));
    if (block == nullptr) throw std::bad_alloc();
    blocks_.emplace_back(static_cast<T*>(block));
  }

  std::vector<std::unique_ptr<T[], TFreeBlock>> blocks_;
  std::size_t length_ = 0;
  std::size_t zeroFrom_ = 0;  // records from here on (in the blocks held) are zero bytes
};

// The tables of CurrentDrawing, under the names the rest of the program
// knows them by.
extern TTable<TLineRec>& Lines;
extern TTable<TArcRec>& Arcs;
extern TTable<TCircleRec>& Circles;
extern TTable<TPolyRec>& Polys;
extern TTable<TTextRec>& Texts;
extern TTable<TStyleRec>& Styles;
extern TTable<TVertex>& PolyVertices;              // the vertices of every record of Polys
extern TTable<std::int32_t>& PolyVertexFlagSlots;  // their flags, index for index

extern std::int32_t& LineCount;
extern std::int32_t& ArcCount;
extern std::int32_t& CircleCount;
extern std::int32_t& PolyCount;
extern std::int32_t& TextCount;

// Vertex slot Slot (1 to VertexCount) of a polyline record.
inline TVertex& PolyVertex(const TPolyRec& Rec, std::int32_t Slot) {
  return PolyVertices[static_cast<std::size_t>(Rec.FirstVertex + Slot - 1)];
}

// The flags of vertex slot Slot of a polyline record.
inline std::int32_t& PolyVertexFlags(const TPolyRec& Rec, std::int32_t Slot) {
  return PolyVertexFlagSlots[static_cast<std::size_t>(Rec.FirstVertex + Slot - 1)];
}

// Exchange the whole contents of two records of one table.
inline void SwapLineRec(TLineRec& A, TLineRec& B) { std::swap(A, B); }
inline void SwapArcRec(TArcRec& A, TArcRec& B) { std::swap(A, B); }
inline void SwapCircleRec(TCircleRec& A, TCircleRec& B) { std::swap(A, B); }
inline void SwapPolyRec(TPolyRec& A, TPolyRec& B) { std::swap(A, B); }
