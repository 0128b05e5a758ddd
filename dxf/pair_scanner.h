// The lowest layer of the DXF reader: the file's bytes split into lines and
// the lines into pairs of group code and value. It knows line ends and group
// codes and nothing of what the pairs mean.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dxf/byte_source.h"

// One pair as the scanner found it: offsets into its chunk's text. A group
// code of an unusual form is converted only when its pair is handled, so that
// its error comes in file order: its Code is kSlowCode, and its line is the
// next of the chunk's SlowCodes.
struct TPairRef {
  std::int32_t Code;
  std::uint32_t ValueAt, ValueLength;
};
constexpr std::int32_t kSlowCode = -1;  // codes read straight are never negative

struct TLineRef {
  std::uint32_t At, Length;
};

// A piece of the file and the pairs that end in it. The unfinished pair at
// its end starts the next chunk.
struct TPairChunk {
  std::vector<char> Text;
  std::vector<TPairRef> Pairs;
  std::vector<TLineRef> SlowCodes;
  std::exception_ptr Error;  // raised once the pairs before it are handled
  bool Last = false;
};

// The size of a chunk: the file's bytes [0, kPairChunkBytes) are scanned
// first. A chunk that does not hold one whole pair grows by half until it
// does, and is cut back to this size when it is filled next.
#ifdef ORVELINE_FUZZ_CHUNK_BYTES
// Fuzz builds cut small chunks, so that inputs of a few kilobytes already
// take the reading thread and meet chunk ends everywhere.
constexpr std::size_t kPairChunkBytes = ORVELINE_FUZZ_CHUNK_BYTES;
#else
constexpr std::size_t kPairChunkBytes = std::size_t{1} << 19;
#endif

// The group code of a line of another form than blanks and a few digits:
// leading blanks, then an integer. Throws TConvertError.
std::int32_t SlowGroupCode(std::string_view Line);

// Called with each chunk in file order; returns false to stop reading.
using TChunkHandler = std::function<bool(const TPairChunk&)>;

// Splits the bytes of Source into lines (CR LF, lone LF or lone CR; a NUL byte ends the
// text) and the lines into pairs, in one pass, and hands the chunks to
// Handler in file order. A file that fits in one chunk is scanned and
// handled on the calling thread; for a longer one a second thread scans a
// chunk or two ahead of the handling and stops once the handling has
// stopped. The chunks' memory is kept for the next call. An odd last line is
// never looked at. A read error of Source (TFileError) is raised once the
// pairs before it are handled; an error of Handler passes through.
void ScanPairs(TByteSource& Source, const TChunkHandler& Handler);

// Hands the pairs of Chunk to Handler(Code, Value) in order; false once
// Handler asks to stop or at the last chunk. Raises the chunk's error after
// its pairs.
template <class TPairHandler>
bool ForEachPair(const TPairChunk& Chunk, TPairHandler& Handler) {
  const char* base = Chunk.Text.data();
  const TLineRef* slowCode = Chunk.SlowCodes.data();
  for (const TPairRef& pair : Chunk.Pairs) {
    std::int32_t code = pair.Code;
    if (code == kSlowCode) {
      code = SlowGroupCode(std::string_view(base + slowCode->At, slowCode->Length));
      ++slowCode;
    }
    if (!Handler(code, std::string_view(base + pair.ValueAt, pair.ValueLength))) return false;
  }
  if (Chunk.Error) std::rethrow_exception(Chunk.Error);
  return !Chunk.Last;
}
