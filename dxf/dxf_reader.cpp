#include "dxf/dxf_reader.h"

#include <cerrno>
#include <cstdio>
#include <functional>
#include <limits>
#include <string_view>
#include <unordered_map>

#include "dxf/conversions.h"
#include "dxf/drawing_text.h"
#include "dxf/dxf_errors.h"
#include "dxf/entity_fields.h"
#include "dxf/entity_tables.h"
#include "dxf/file_identity.h"
#include "dxf/file_start.h"
#include "dxf/file_ptr.h"
#include "dxf/mtext_codes.h"
#include "dxf/pair_scanner.h"

namespace {

// Records of Styles in use in this run.
std::int32_t StyleCount = 0;

// The first slot of each style name, built at the first lookup after the
// style table changed, so that a text's style is found in one step however
// many styles the drawing has.
struct TNameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view Name) const { return std::hash<std::string_view>()(Name); }
};
std::unordered_map<std::string, std::int32_t, TNameHash, std::equal_to<>> StyleIndex;
bool StyleIndexFresh = false;

const char kBinarySentinel[] = "AutoCAD Binary DXF";
const char kUtf8ByteOrderMark[] = "\xef\xbb\xbf";

// Which record the following pairs go to. At most one is open at a time:
// every group 0 of the ENTITIES section closes it.
enum class TOpen : std::uint8_t { None, Line, Text, Arc, Circle, Polyline, Vertex, LwPolyline };

using dxf_fields::AssignRowKey;
using dxf_fields::TakeRecord;

// The entity state machine: takes the pairs in file order and fills the
// entity tables and the style table.
class TEntityReader {
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
  TDrawingText text_;
};

// The groups whose values a record takes as text: content [1, 3], style
// name [7], colour [62], linetype [6] and layer [8].
bool IsTextGroup(std::int32_t Code) {
  return Code == 1 || Code == 3 || Code == 6 || Code == 7 || Code == 8 || Code == 62;
}

bool TEntityReader::Pair(std::int32_t Code, std::string_view Value) {
  if (text_.InHeader()) text_.HeaderPair(Code, Value);
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
  // A comment between (0, SECTION) and the section's name is no pair before.
  if (Code != 999) afterSection_ = Code == 0 && Value == "SECTION";
  return true;
}

void TEntityReader::StylePair(std::int32_t Code, std::string_view Value) {
  if (styleOpen_) {
    // The name, colour and linetype are held in code page 932.
    if (text_.Converting() && (Code == 2 || Code == 62 || Code == 6)) Value = text_.Cp932(Value);
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
    StyleIndexFresh = false;
  }
  if (Code == 0 && Value == "STYLE") {
    TStyleRec& style = TakeRecord(Styles, StyleCount);
    style.Name.Clear();
    style.Height = 10.0;
    styleOpen_ = true;
    standardKnown_ = false;
    StyleIndexFresh = false;
  }
}

double TEntityReader::StandardHeight() {
  if (!standardKnown_) {
    standardHeight_ = StyleHeight("Standard");
    standardKnown_ = true;
  }
  return standardHeight_;
}

void TEntityReader::AddVertex(TPolyRec& Poly, std::string_view Value) {
  const double x = ConvertRealFast(Value);
  if (Poly.VertexCount == std::numeric_limits<std::int32_t>::max()) return;
  // Only the last polyline record ever gets vertices, so its vertices are
  // always the last ones of PolyVertices.
  if (Poly.VertexCount == 0) Poly.FirstVertex = static_cast<std::int64_t>(PolyVertices.Length());
  PolyVertices.Push().X = x;
  PolyVertexFlagSlots.Push();
  ++Poly.VertexCount;
}

void TEntityReader::EntityPair(std::int32_t Code, std::string_view Value) {
  if (Code == 0) {
    open_ = TOpen::None;
    OpenEntity(Value);
    return;
  }
  // What a record takes as text, it holds in code page 932.
  if (text_.Converting() && open_ != TOpen::None && IsTextGroup(Code)) Value = text_.Cp932(Value);
  switch (open_) {
    case TOpen::None:
      return;
    case TOpen::Line:
      dxf_fields::AssignLinePair(Lines[static_cast<std::size_t>(LineCount) - 1], Code, Value);
      return;
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
    case TOpen::Arc:
      dxf_fields::AssignArcPair(Arcs[static_cast<std::size_t>(ArcCount) - 1], Code, Value);
      return;
    case TOpen::Circle:
      dxf_fields::AssignCirclePair(Circles[static_cast<std::size_t>(CircleCount) - 1], Code, Value);
      return;
    case TOpen::Polyline:
      dxf_fields::AssignPolylinePair(Polys[static_cast<std::size_t>(PolyCount) - 1], Code, Value);
      return;
    case TOpen::Vertex: {
      // A VERTEX with no polyline before it has no record to write into.
      if (PolyCount == 0) return;
      TPolyRec& r = Polys[static_cast<std::size_t>(PolyCount) - 1];
      switch (Code) {
        case 10:
          AddVertex(r, Value);
          break;
        // Before the first group 10 there is no vertex slot to write into;
        // the value is converted all the same, so that a bad one is an error.
        case 20: {
          const double y = ConvertRealFast(Value);
          if (r.VertexCount > 0) PolyVertex(r, r.VertexCount).Y = y;
          break;
        }
        case 70: {
          const std::int32_t flags = ConvertInteger(Value);
          if (r.VertexCount > 0) PolyVertexFlags(r, r.VertexCount) = flags;
          break;
        }
      }
      return;
    }
    case TOpen::LwPolyline: {
      TPolyRec& r = Polys[static_cast<std::size_t>(PolyCount) - 1];
      switch (Code) {
        case 10:
          AddVertex(r, Value);
          break;
        case 20: {
          const double y = ConvertRealFast(Value);
          if (r.VertexCount > 0) PolyVertex(r, r.VertexCount).Y = y;
          break;
        }
        default:
          AssignRowKey(r, Code, Value);
          break;
      }
      return;
    }
  }
}

void TEntityReader::OpenEntity(std::string_view Kind) {
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

}  // namespace

void SkipFileStart(std::FILE* File, const std::string& Path) {
  char start[sizeof kBinarySentinel - 1];
  const std::size_t got = std::fread(start, 1, sizeof start, File);
  if (std::ferror(File)) throw CannotReadError(Path);
  const std::string_view head(start, got);
  if (head == kBinarySentinel) throw BinaryDxfError(Path);
  const long skip = head.starts_with(kUtf8ByteOrderMark) ? 3 : 0;
  if (std::fseek(File, skip, SEEK_SET) != 0) throw CannotReadError(Path);
}

std::int32_t ReadDxf(const std::string& Path) {
  LineCount = ArcCount = CircleCount = PolyCount = TextCount = 0;
  StyleCount = 0;
  StyleIndexFresh = false;

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

  TEntityReader reader;
  try {
    SkipFileStart(file.get(), Path);
    auto pair = [&reader](std::int32_t Code, std::string_view Value) { return reader.Pair(Code, Value); };
    ScanPairs(file.get(), Path, [&pair](const TPairChunk& Chunk) { return ForEachPair(Chunk, pair); });
  } catch (const TFileError&) {
    LineCount = ArcCount = CircleCount = PolyCount = TextCount = 0;
    StyleCount = 0;
    throw;
  }
  Lines.Shrink(static_cast<std::size_t>(LineCount));
  return LineCount;
}

double StyleHeight(std::string_view Name) {
  if (!StyleIndexFresh) {
    StyleIndex.clear();
    for (std::int32_t i = 0; i < StyleCount; ++i)
      StyleIndex.try_emplace(std::string(Styles[static_cast<std::size_t>(i)].Name.View()), i);  // the first slot wins
    StyleIndexFresh = true;
  }
  const auto found = StyleIndex.find(Name);
  return found == StyleIndex.end() ? 0.0 : Styles[static_cast<std::size_t>(found->second)].Height;
}

void CheckDrawing(const std::string& Path) {
  const TFileIdentity drawing = IdentifyFile(Path);
  if (drawing.Folder) throw CannotReadError(Path);
  if (!drawing.Exists) return;
  TFilePtr file(std::fopen(Path.c_str(), "rb"));
  if (!file) throw CannotReadError(Path);
  SkipFileStart(file.get(), Path);
}
