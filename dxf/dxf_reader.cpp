#include "dxf/dxf_reader.h"

#include <bit>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "dxf/conversions.h"
#include "dxf/dxf_errors.h"
#include "dxf/entity_tables.h"
#include "dxf/mtext_codes.h"

namespace {

// Records of Styles in use in this run.
std::int32_t StyleCount = 0;

// Which record the following pairs go to. At most one is open at a time:
// every group 0 of the ENTITIES section closes it.
enum class TOpen : std::uint8_t { None, Line, Text, Arc, Circle, Polyline, Vertex, LwPolyline };

struct TFileCloser {
  void operator()(std::FILE* File) const { std::fclose(File); }
};
using TFilePtr = std::unique_ptr<std::FILE, TFileCloser>;

template <class T>
T& TakeRecord(TTable<T>& Table, std::int32_t& Count) {
  ++Count;
  if (static_cast<std::size_t>(Count) > Table.Length()) Table.GrowBy(TablesGrowStep);
  return Table[static_cast<std::size_t>(Count) - 1];
}

class TPairReader {
 public:
  // Handles one pair; false once the end of the ENTITIES section is met.
  bool Pair(std::int32_t Code, std::string_view Value);

 private:
  void StylePair(std::int32_t Code, std::string_view Value);
  void EntityPair(std::int32_t Code, std::string_view Value);
  void OpenEntity(std::string_view Kind);
  void AddVertex(TPolyRec& Poly, std::string_view Value);
  double StandardHeight();

  bool inEntities_ = false;
  bool inStyleTable_ = false;
  bool styleOpen_ = false;
  bool afterSection_ = false;  // the previous pair was (0, SECTION)
  TOpen open_ = TOpen::None;
  // The height of "Standard" is asked for at every text; it is looked up
  // again only after the style table changed.
  bool standardKnown_ = false;
  double standardHeight_ = 0.0;
  std::string content_;
};

bool TPairReader::Pair(std::int32_t Code, std::string_view Value) {
  if (inEntities_ && Code == 0 && Value == "ENDSEC") return false;
  if (inStyleTable_) StylePair(Code, Value);
  if (inEntities_) EntityPair(Code, Value);
  if (Code == 2) {
    // A layer, style or block may be named ENTITIES too; only the name of a
    // section starts the entity section.
    if (Value == "ENTITIES" && afterSection_) {
      inEntities_ = true;
      inStyleTable_ = false;
    } else if (Value == "STYLE") {
      inStyleTable_ = true;
    }
  }
  afterSection_ = Code == 0 && Value == "SECTION";
  return true;
}

void TPairReader::StylePair(std::int32_t Code, std::string_view Value) {
  if (styleOpen_) {
    TStyleRec& style = Styles[static_cast<std::size_t>(StyleCount) - 1];
    switch (Code) {
      case 0:
        styleOpen_ = false;
        break;
      case 2:
        style.Name.Assign(Value);
        break;
      case 40:
        style.Height = ConvertRealFast(Value);
        break;
      case 62:
        style.Color.Assign(Value);
        break;
      case 6:
        style.LineType.Assign(Value);
        break;
      default:
        return;
    }
    standardKnown_ = false;
  }
  if (Code == 0 && Value == "STYLE") {
    TStyleRec& style = TakeRecord(Styles, StyleCount);
    style.Name.Clear();
    style.Height = 10.0;
    styleOpen_ = true;
    standardKnown_ = false;
  }
}

double TPairReader::StandardHeight() {
  if (!standardKnown_) {
    standardHeight_ = StyleHeight("Standard");
    standardKnown_ = true;
  }
  return standardHeight_;
}

void TPairReader::AddVertex(TPolyRec& Poly, std::string_view Value) {
  const double x = ConvertRealFast(Value);
  if (Poly.VertexCount == std::numeric_limits<std::int32_t>::max()) return;
  // Only the last polyline record ever gets vertices, so its vertices are
  // always the last ones of PolyVertices.
  if (Poly.VertexCount == 0) Poly.FirstVertex = static_cast<std::int64_t>(PolyVertices.Length());
  PolyVertices.Push().X = x;
  PolyVertexFlagSlots.Push();
  ++Poly.VertexCount;
}

void TPairReader::EntityPair(std::int32_t Code, std::string_view Value) {
  if (Code == 0) {
    open_ = TOpen::None;
    OpenEntity(Value);
    return;
  }
  switch (open_) {
    case TOpen::None:
      return;
    case TOpen::Line: {
      TLineRec& r = Lines[static_cast<std::size_t>(LineCount) - 1];
      switch (Code) {
        case 10:
          r.X1 = ConvertRealFast(Value);
          break;
        case 20:
          r.Y1 = ConvertRealFast(Value);
          break;
        case 30:
          r.Z1 = ConvertRealFast(Value);
          break;
        case 11:
          r.X2 = ConvertRealFast(Value);
          break;
        case 21:
          r.Y2 = ConvertRealFast(Value);
          break;
        case 31:
          r.Z2 = ConvertRealFast(Value);
          break;
        case 8:
          r.Layer.Assign(Value);
          break;
        case 62:
          r.Color.Assign(Value);
          break;
        case 6:
          r.LineType.Assign(Value);
          break;
      }
      return;
    }
    case TOpen::Text: {
      TTextRec& r = Texts[static_cast<std::size_t>(TextCount) - 1];
      switch (Code) {
        case 10:
          r.X = ConvertRealFast(Value);
          break;
        case 20:
          r.Y = ConvertRealFast(Value);
          break;
        case 30:
          r.Z = ConvertRealFast(Value);
          break;
        case 11:
          r.X2 = ConvertRealFast(Value);
          break;
        case 21:
          r.Y2 = ConvertRealFast(Value);
          break;
        case 31:
          r.Z2 = ConvertRealFast(Value);
          break;
        case 1:
          CleanTextContent(Value, content_);
          r.Content.Assign(content_);
          break;
        case 3:
          r.Content.Append(Value);
          break;
        case 40:
          r.Height = ConvertRealFast(Value);
          break;
        case 7:
          r.Height = StyleHeight(Value);
          break;
        case 72:
          r.HAlign = ConvertInteger(Value);
          break;
        case 73:
          r.VAlign = ConvertInteger(Value);
          break;
        case 62:
          r.Color.Assign(Value);
          break;
        case 6:
          r.LineType.Assign(Value);
          break;
      }
      return;
    }
    case TOpen::Arc: {
      TArcRec& r = Arcs[static_cast<std::size_t>(ArcCount) - 1];
      switch (Code) {
        case 10:
          r.CX = ConvertRealFast(Value);
          break;
        case 20:
          r.CY = ConvertRealFast(Value);
          break;
        case 30:
          r.CZ = ConvertRealFast(Value);
          break;
        case 40:
          r.Radius = ConvertRealFast(Value);
          break;
        case 50:
          r.StartAngle = ConvertRealFast(Value);
          break;
        case 51:
          r.EndAngle = ConvertRealFast(Value);
          break;
        case 8:
          r.Layer.Assign(Value);
          break;
        case 62:
          r.Color.Assign(Value);
          break;
        case 6:
          r.LineType.Assign(Value);
          break;
      }
      return;
    }
    case TOpen::Circle: {
      TCircleRec& r = Circles[static_cast<std::size_t>(CircleCount) - 1];
      switch (Code) {
        case 10:
          r.CX = ConvertRealFast(Value);
          break;
        case 20:
          r.CY = ConvertRealFast(Value);
          break;
        case 30:
          r.CZ = ConvertRealFast(Value);
          break;
        case 40:
          r.Radius = ConvertRealFast(Value);
          break;
        case 8:
          r.Layer.Assign(Value);
          break;
        case 62:
          r.Color.Assign(Value);
          break;
        case 6:
          r.LineType.Assign(Value);
          break;
      }
      return;
    }
    case TOpen::Polyline: {
      TPolyRec& r = Polys[static_cast<std::size_t>(PolyCount) - 1];
      switch (Code) {
        case 8:
          r.Layer.Assign(Value);
          break;
        case 62:
          r.Color.Assign(Value);
          break;
        case 6:
          r.LineType.Assign(Value);
          break;
        case 70:
          r.Flags = ConvertInteger(Value);
          break;
      }
      return;
    }
    case TOpen::Vertex: {
      // A VERTEX with no polyline before it has no record to write into.
      if (PolyCount == 0) return;
      TPolyRec& r = Polys[static_cast<std::size_t>(PolyCount) - 1];
      switch (Code) {
        case 10:
          AddVertex(r, Value);
          break;
        // Before the first group 10 there is no vertex slot to write into.
        case 20:
          if (r.VertexCount > 0) PolyVertex(r, r.VertexCount).Y = ConvertRealFast(Value);
          break;
        case 70:
          if (r.VertexCount > 0) PolyVertexFlags(r, r.VertexCount) = ConvertInteger(Value);
          break;
      }
      return;
    }
    case TOpen::LwPolyline: {
      TPolyRec& r = Polys[static_cast<std::size_t>(PolyCount) - 1];
      switch (Code) {
        case 10:
          AddVertex(r, Value);
          break;
        case 20:
          if (r.VertexCount > 0) PolyVertex(r, r.VertexCount).Y = ConvertRealFast(Value);
          break;
        case 8:
          r.Layer.Assign(Value);
          break;
        case 62:
          r.Color.Assign(Value);
          break;
        case 6:
          r.LineType.Assign(Value);
          break;
      }
      return;
    }
  }
}

void TPairReader::OpenEntity(std::string_view Kind) {
  // New records are empty already: the tables hand out cleared records.
  switch (Kind.size()) {
    case 3:
      if (Kind == "ARC") {
        TakeRecord(Arcs, ArcCount);
        open_ = TOpen::Arc;
      }
      return;
    case 4:
      if (Kind == "LINE") {
        TakeRecord(Lines, LineCount);
        open_ = TOpen::Line;
      } else if (Kind == "TEXT") {
        TakeRecord(Texts, TextCount).Height = StandardHeight();
        open_ = TOpen::Text;
      }
      return;
    case 5:
      if (Kind == "MTEXT") {
        TakeRecord(Texts, TextCount).Height = StandardHeight();
        open_ = TOpen::Text;
      }
      return;
    case 6:
      if (Kind == "CIRCLE") {
        TakeRecord(Circles, CircleCount);
        open_ = TOpen::Circle;
      } else if (Kind == "VERTEX") {
        open_ = TOpen::Vertex;
      }
      return;
    case 8:
      if (Kind == "POLYLINE") {
        TakeRecord(Polys, PolyCount);
        open_ = TOpen::Polyline;
      }
      return;
    case 10:
      if (Kind == "LWPOLYLINE") {
        TakeRecord(Polys, PolyCount);
        open_ = TOpen::LwPolyline;
      }
      return;
  }
}

// A group code: leading blanks, then digits. The common short form is read
// here; anything else goes through the full conversion and its error.
inline std::int32_t GroupCode(std::string_view Line) {
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

// A group code of exactly three characters, blanks before digits ("  0",
// " 10", "330"), followed by CR or LF; read without a branch per character.
inline bool IsPaddedCode(const char* p, std::int32_t& Code) {
  const unsigned d0 = static_cast<unsigned char>(p[0] - '0');
  const unsigned d1 = static_cast<unsigned char>(p[1] - '0');
  const unsigned d2 = static_cast<unsigned char>(p[2] - '0');
  const bool blank0 = p[0] == ' ', blank1 = p[1] == ' ';
  const bool ok =
      (d2 <= 9) & ((d1 <= 9) | blank1) & ((d0 <= 9 && !blank1) | blank0) & ((p[3] == '\r') | (p[3] == '\n'));
  Code = static_cast<std::int32_t>((blank0 ? 0 : d0 * 100) + (blank1 ? 0 : d1 * 10) + d2);
  return ok;
}

// The first CR or LF from p on, eight bytes at a time.
inline const char* FindLineBreak(const char* p, const char* end) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
    while (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      const std::uint64_t lf = word ^ (kOnes * '\n'), cr = word ^ (kOnes * '\r');
      // The lowest flagged byte is exactly the first LF or CR.
      const std::uint64_t hits = (((lf - kOnes) & ~lf) | ((cr - kOnes) & ~cr)) & kHighs;
      if (hits != 0) return p + (std::countr_zero(hits) >> 3);
      p += 8;
    }
  }
  while (p < end && *p != '\n' && *p != '\r') ++p;
  return p;
}

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
struct TChunk {
  std::vector<char> Text;
  std::vector<TPairRef> Pairs;
  std::vector<TLineRef> SlowCodes;
  std::exception_ptr Error;  // raised once the pairs before it are handled
  bool Last = false;
};

// Splits the file into lines (CR LF, lone LF or lone CR; a NUL byte ends the
// text) and the lines into pairs, one chunk at a time, in one pass over the
// file. An odd last line is never looked at.
class TPairScanner {
 public:
  TPairScanner(std::FILE* File, const std::string& Path) : file_(File), path_(Path) {}

  // Fills Chunk with the next piece of the file and its complete pairs.
  void Fill(TChunk& Chunk) {
    Chunk.Pairs.clear();
    Chunk.SlowCodes.clear();
    Chunk.Error = nullptr;
    Chunk.Last = false;
    if (Chunk.Text.size() < size_) Chunk.Text.resize(size_);
    std::size_t end = carry_.size();
    if (end > 0) std::memcpy(Chunk.Text.data(), carry_.data(), end);
    const std::size_t got = std::fread(Chunk.Text.data() + end, 1, Chunk.Text.size() - end, file_);
    if (got == 0) {
      if (std::ferror(file_)) {
        Chunk.Error = std::make_exception_ptr(CannotReadError(path_));
        Chunk.Last = true;
        return;
      }
      atEnd_ = true;
    }
    if (const void* nul = std::memchr(Chunk.Text.data() + end, '\0', got)) {
      end = static_cast<std::size_t>(static_cast<const char*>(nul) - Chunk.Text.data());
      atEnd_ = true;
    } else {
      end += got;
    }
    const std::size_t done = Scan(Chunk, end);
    if (atEnd_) {
      Chunk.Last = true;
      return;
    }
    // Keep the unfinished pair for the next chunk; one pair longer than the
    // whole chunk needs a larger one.
    if (done == 0 && end == Chunk.Text.size()) size_ = Chunk.Text.size() * 2;
    carry_.assign(Chunk.Text.data() + done, Chunk.Text.data() + end);
  }

 private:
  // Records the complete pairs of Text[0, End); returns where the unfinished
  // rest begins.
  std::size_t Scan(TChunk& Chunk, std::size_t End) {
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

  std::FILE* file_;
  const std::string& path_;
  std::size_t size_ = std::size_t{1} << 19;
  std::vector<char> carry_;
  bool atEnd_ = false;
};

// Hands the pairs of Chunk to Handler; false once Handler asks to stop.
template <class THandler>
bool HandleChunk(const TChunk& Chunk, THandler& Handler) {
  const char* base = Chunk.Text.data();
  const TLineRef* slowCode = Chunk.SlowCodes.data();
  for (const TPairRef& pair : Chunk.Pairs) {
    std::int32_t code = pair.Code;
    if (code == kSlowCode) {
      code = GroupCode(std::string_view(base + slowCode->At, slowCode->Length));
      ++slowCode;
    }
    if (!Handler(code, std::string_view(base + pair.ValueAt, pair.ValueLength))) return false;
  }
  if (Chunk.Error) std::rethrow_exception(Chunk.Error);
  return !Chunk.Last;
}

// Reads the file's pairs and hands each to Handler in file order. A second
// thread splits the file into pairs a chunk or two ahead of the handling;
// it stops reading once the handling has stopped, at most a few chunks on.
template <class THandler>
void ReadPairs(std::FILE* File, const std::string& Path, THandler&& Handler) {
  constexpr std::size_t kChunks = 3;
  TPairScanner scanner(File, Path);
  TChunk chunks[kChunks];

  std::mutex mutex;
  std::condition_variable changed;
  std::size_t filled = 0;    // chunks handed to the handling so far
  std::size_t released = 0;  // chunks handled and free again
  bool stop = false;
  auto scan = [&] {
    for (std::size_t n = 0;; ++n) {
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return stop || n - released < kChunks; });
        if (stop) return;
      }
      TChunk& chunk = chunks[n % kChunks];
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
    }
  };

  std::thread worker;
  try {
    worker = std::thread(scan);
  } catch (const std::system_error&) {
    // No second thread: scan and handle in turn.
    for (TChunk& chunk = chunks[0];;) {
      scanner.Fill(chunk);
      if (!HandleChunk(chunk, Handler)) return;
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
    }
  } join{mutex, changed, stop, worker};

  for (std::size_t n = 0;; ++n) {
    {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return filled > n; });
    }
    if (!HandleChunk(chunks[n % kChunks], Handler)) return;
    {
      std::lock_guard lock(mutex);
      released = n + 1;
    }
    changed.notify_all();
  }
}

}  // namespace

std::int32_t ReadDxf(const std::string& Path) {
  LineCount = ArcCount = CircleCount = PolyCount = TextCount = 0;
  StyleCount = 0;

  errno = 0;
  TFilePtr file(std::fopen(Path.c_str(), "rb"));
  if (!file) {
    if (errno != ENOENT && errno != ENOTDIR) throw CannotReadError(Path);
    Lines.Shrink(0);
    return 0;
  }

  Lines.Reset(TablesGrowStep);
  Arcs.Reset(TablesGrowStep);
  Circles.Reset(TablesGrowStep);
  Polys.Reset(TablesGrowStep);
  Texts.Reset(TablesGrowStep);
  Styles.Reset(TablesGrowStep);
  PolyVertices.Reset(0);
  PolyVertexFlagSlots.Reset(0);

  TPairReader reader;
  try {
    ReadPairs(file.get(), Path,
              [&reader](std::int32_t Code, std::string_view Value) { return reader.Pair(Code, Value); });
  } catch (const TFileError&) {
    LineCount = ArcCount = CircleCount = PolyCount = TextCount = 0;
    StyleCount = 0;
    throw;
  }
  Lines.Shrink(static_cast<std::size_t>(LineCount));
  return LineCount;
}

double StyleHeight(std::string_view Name) {
  for (std::int32_t i = 0; i < StyleCount; ++i) {
    const TStyleRec& style = Styles[static_cast<std::size_t>(i)];
    if (style.Name.View() == Name) return style.Height;
  }
  return 0.0;
}
