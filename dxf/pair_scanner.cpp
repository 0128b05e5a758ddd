#include "dxf/pair_scanner.h"

#include <atomic>
#include <bit>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "dxf/conversions.h"
#include "dxf/dxf_errors.h"
#include "dxf/large_memory.h"

namespace {

// A group code of exactly three characters, blanks before digits ("  0",
// " 10", "330"), followed by CR or LF; read without a branch per character.
inline bool IsPaddedCode(const char* P, std::int32_t& Code) {
  const unsigned d0 = static_cast<unsigned char>(P[0] - '0');
  const unsigned d1 = static_cast<unsigned char>(P[1] - '0');
  const unsigned d2 = static_cast<unsigned char>(P[2] - '0');
  const bool blank0 = P[0] == ' ', blank1 = P[1] == ' ';
  const bool ok =
      (d2 <= 9) & ((d1 <= 9) | blank1) & ((d0 <= 9 && !blank1) | blank0) & ((P[3] == '\r') | (P[3] == '\n'));
  Code = static_cast<std::int32_t>((blank0 ? 0 : d0 * 100) + (blank1 ? 0 : d1 * 10) + d2);
  return ok;
}

// The first CR or LF from p on, eight bytes at a time.
inline const char* FindLineBreak(const char* P, const char* End) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
    while (End - P >= 8) {
      std::uint64_t word;
      std::memcpy(&word, P, 8);
      const std::uint64_t lf = word ^ (kOnes * '\n'), cr = word ^ (kOnes * '\r');
      // The lowest flagged byte is exactly the first LF or CR.
      const std::uint64_t hits = (((lf - kOnes) & ~lf) | ((cr - kOnes) & ~cr)) & kHighs;
      if (hits != 0) return P + (std::countr_zero(hits) >> 3);
      P += 8;
    }
  }
  while (P < End && *P != '\n' && *P != '\r') ++P;
  return P;
}

// Splits the file into lines (CR LF, lone LF or lone CR; a NUL byte ends the
// text) and the lines into pairs, one chunk at a time, in one pass over the
// file. An odd last line is never looked at.
class TPairScanner {
 public:
  explicit TPairScanner(TByteSource& Source) : source_(Source) {}

  // Fills Chunk with the next piece of the file and its complete pairs.
  void Fill(TPairChunk& Chunk) {
    Chunk.Pairs.clear();
    Chunk.SlowCodes.clear();
    Chunk.Error = nullptr;
    Chunk.Last = false;
    // A chunk that grew for one long pair goes back to the usual size.
    if (Chunk.Text.size() > 2 * kPairChunkBytes && carry_.size() < kPairChunkBytes)
      std::vector<char>(kPairChunkBytes).swap(Chunk.Text);
    if (Chunk.Text.size() < kPairChunkBytes) Chunk.Text.resize(kPairChunkBytes);
    if (Chunk.Text.size() < carry_.size() + carry_.size() / 2) Chunk.Text.resize(carry_.size() + carry_.size() / 2);
    std::size_t end = carry_.size();
    if (end > 0) std::memcpy(Chunk.Text.data(), carry_.data(), end);
    carry_.clear();
    std::size_t done = 0;
    for (;;) {
      std::size_t got = 0;
      try {
        // Up to the chunk's end or the end of the bytes.
        for (std::size_t room = Chunk.Text.size() - end; got < room;) {
          const std::size_t n = source_.Read(Chunk.Text.data() + end + got, room - got);
          if (n == 0) break;
          got += n;
        }
      } catch (...) {
        Chunk.Error = std::current_exception();
        Chunk.Last = true;
        return;
      }
      if (got == 0) atEnd_ = true;
      if (const void* nul = std::memchr(Chunk.Text.data() + end, '\0', got)) {
        end = static_cast<std::size_t>(static_cast<const char*>(nul) - Chunk.Text.data());
        atEnd_ = true;
      } else {
        end += got;
      }
      done = Scan(Chunk, end);
      if (atEnd_) {
        Chunk.Last = true;
        return;
      }
      if (done > 0 || end < Chunk.Text.size()) break;
      // Not one whole pair in the chunk: it grows by half and reads on, so
      // that a long line costs about one and a half times its length.
      Chunk.Pairs.clear();
      Chunk.SlowCodes.clear();
      Chunk.Text.resize(Chunk.Text.size() + Chunk.Text.size() / 2);
    }
    // Keep the unfinished pair for the next chunk.
    carry_.assign(Chunk.Text.data() + done, Chunk.Text.data() + end);
  }

 private:
  // Records the complete pairs of Text[0, End); returns where the unfinished
  // rest begins.
  std::size_t Scan(TPairChunk& Chunk, std::size_t End) {
    const char* base = Chunk.Text.data();
    const char* p = base;
    const char* last = base + End;
    const bool atEnd = atEnd_;
    // Finds the line starting at Pos; false when more of the file is needed.
    auto nextLine = [&](const char* Pos, const char*& LineEnd, const char*& After) {
      const char* brk = FindLineBreak(Pos, last);
      if (brk == last) {
        if (!atEnd || Pos == last) return false;  // at the end: no empty last line
        LineEnd = last;
        After = last;
        return true;
      }
      if (*brk == '\r' && brk + 1 == last && !atEnd) return false;  // CR LF split?
      LineEnd = brk;
      After = brk + 1 + (*brk == '\r' && brk + 1 < last && brk[1] == '\n');
      return true;
    };
    const char* codeEnd;
    const char* valueEnd;
    const char* afterCode;
    const char* afterValue;
    for (;;) {
      // Group codes are short: blanks and digits read straight up to the line
      // end. Writers pad them to three characters, which is read in one step.
      std::int32_t code = 0;
      bool slow = false;
      const char* q = p;
      if (last - p >= 5 && IsPaddedCode(p, code)) {
        q = p + 3;
      } else {
        code = 0;
        while (q < last && *q == ' ') ++q;
        const char* digits = q;
        while (q < last && q - digits < 9 && static_cast<unsigned char>(*q - '0') <= 9) code = code * 10 + (*q++ - '0');
        if (q == digits) q = last;  // no digit: the full conversion
      }
      if (q < last && (*q == '\n' || (*q == '\r' && (q + 1 < last || atEnd)))) {
        afterCode = q + 1 + (*q == '\r' && q + 1 < last && q[1] == '\n');
      } else {
        if (!nextLine(p, codeEnd, afterCode)) break;
        slow = true;
      }
      if (!nextLine(afterCode, valueEnd, afterValue)) break;
      if (slow) {
        code = kSlowCode;
        Chunk.SlowCodes.push_back({static_cast<std::uint32_t>(p - base), static_cast<std::uint32_t>(codeEnd - p)});
      }
      Chunk.Pairs.push_back(
          {code, static_cast<std::uint32_t>(afterCode - base), static_cast<std::uint32_t>(valueEnd - afterCode)});
      p = afterValue;
    }
    return static_cast<std::size_t>(p - base);
  }

  TByteSource& source_;
  std::vector<char> carry_;
  bool atEnd_ = false;
};

}  // namespace

namespace {

constexpr std::size_t kChunks = 3;
// Blocks of the tables kept ready while scanning: the tables of a plain
// reading take one about every eight chunks.
constexpr std::size_t kReadyBlocks = 2;

// The chunks of the last run, kept for the next one, so that a run costs no
// allocation once a first run has sized them. Runs do not overlap (the
// reader is never entered twice at once); one that would takes chunks of
// its own.
struct TChunkSet {
  TPairChunk Chunks[kChunks];
};
TChunkSet SharedChunks;
std::atomic<bool> SharedChunksBusy{false};

}  // namespace

void ScanPairs(TByteSource& Source, const TChunkHandler& Handler) {
  TPairScanner scanner(Source);
  std::unique_ptr<TChunkSet> ownChunks;
  TPairChunk* chunks = SharedChunks.Chunks;
  const bool shared = !SharedChunksBusy.exchange(true);
  if (!shared) {
    ownChunks = std::make_unique<TChunkSet>();
    chunks = ownChunks->Chunks;
  }
  struct TRelease {
    bool Shared;
    ~TRelease() {
      if (Shared) SharedChunksBusy = false;
    }
  } release{shared};

  // The first chunk is scanned here: a file that fits in it is handled with
  // no second thread.
  scanner.Fill(chunks[0]);
  if (chunks[0].Last) {
    Handler(chunks[0]);
    return;
  }

  std::mutex mutex;
  std::condition_variable changed;
  std::size_t filled = 1;    // chunks handed to the handling so far
  std::size_t released = 0;  // chunks handled and free again
  bool stop = false;
  auto scan = [&] {
    for (std::size_t n = 1;; ++n) {
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return stop || n - released < kChunks; });
        if (stop) return;
      }
      TPairChunk& chunk = chunks[n % kChunks];
      try {
        scanner.Fill(chunk);
      } catch (...) {
        chunk.Pairs.clear();
        chunk.Error = std::current_exception();
        chunk.Last = true;
      }
      {
        std::lock_guard lock(mutex);
        filled = n + 1;
      }
      changed.notify_all();
      if (chunk.Last) return;
      // Ahead of the handling, this thread has time to spare: it makes the
      // next blocks of the tables ready.
      PrepareLargeBlocks(kReadyBlocks);
    }
  };

  std::thread worker;
  try {
    worker = std::thread(scan);
  } catch (const std::system_error&) {
    // No second thread: scan and handle in turn.
    for (TPairChunk& chunk = chunks[0];;) {
      if (!Handler(chunk) || chunk.Last) return;
      scanner.Fill(chunk);
    }
  }
  struct TJoin {
    std::mutex& Mutex;
    std::condition_variable& Changed;
    bool& Stop;
    std::thread& Worker;
    ~TJoin() {
      {
        std::lock_guard lock(Mutex);
        Stop = true;
      }
      Changed.notify_all();
      Worker.join();
      ReleasePreparedBlocks();
    }
  } join{mutex, changed, stop, worker};

  for (std::size_t n = 0;; ++n) {
    {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return filled > n; });
    }
    const TPairChunk& chunk = chunks[n % kChunks];
    if (!Handler(chunk) || chunk.Last) return;
    {
      std::lock_guard lock(mutex);
      released = n + 1;
    }
    changed.notify_all();
  }
}

std::int32_t SlowGroupCode(std::string_view Line) {
  const char* p = Line.data();
  const char* end = p + Line.size();
  while (p < end && *p == ' ') ++p;
  if (p < end && end - p <= 6) {
    std::int32_t code = 0;
    const char* q = p;
    while (q < end && static_cast<unsigned char>(*q - '0') <= 9) code = code * 10 + (*q++ - '0');
    if (q == end) return code;
  }
  return ConvertInteger(Line);
}
