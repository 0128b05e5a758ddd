#include "dxf/entity_reader.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dxf/area_reader.h"
#include "dxf/conversions.h"
#include "dxf/drawing_text.h"
#include "dxf/dxf_errors.h"
#include "dxf/dxf_reader.h"
#include "dxf/entity_fields.h"
#include "dxf/mtext_codes.h"
#include "dxf/pair_scanner.h"
#include "dxf/plan_placement.h"

namespace {

constexpr double kTwoPi = 6.28318530717958647692;

// POLYLINE flags [70] and VERTEX flags [70].
constexpr std::int32_t kPolyline3d = 8;
constexpr std::int32_t kPolygonMesh = 16;
constexpr std::int32_t kPolyfaceMesh = 64;
constexpr std::int32_t kSplineFrameVertex = 16;

// Which record the following pairs go to. At most one is open at a time:
// every group 0 closes it.
enum class TOpen : std::uint8_t {
  None,
  Line,
  Text,
  Arc,
  Circle,
  Polyline,
  Vertex,
  LwPolyline,
  Ellipse,
  Spline,
  Insert,
  Block,
  Attrib,
  BlockRecord
};

using dxf_fields::AssignRowKey;
using dxf_fields::TakeRecord;

// The groups whose values a record takes as text: content [1, 3], block or
// style name [2, 7], colour [62], linetype [6] and layer [8].
bool IsTextGroup(std::int32_t Code) {
  return Code == 1 || Code == 2 || Code == 3 || Code == 6 || Code == 7 || Code == 8 || Code == 62;
}

// A polyline whose plane is not the XY plane, placed once its last vertex is
// read (a later VERTEX still belongs to the last polyline).
struct TPlanePolyline {
  std::int32_t Index;  // in Polys
  TVector3 Normal;
  double Elevation;
};

// Exact says whether the reading gathers what the exact lengths need, Counts
// whether it gathers what block counts need: the plain list's reading does
// none of that work.
template <bool Exact, bool Counts>
class TEntityReader {
  // Block definitions and references are read for either.
  static constexpr bool kRefs = Exact || Counts;

 public:
  // Areas, when not null, takes the closed shapes (block references are
  // read for them too).
  TEntityReader(TDrawing& D, bool Tally, TAreaReader* Areas) : d_(D), tally_(Tally), areas_(Areas) {}

  // Handles one pair; false once the end of the ENTITIES section is met.
  bool Pair(std::int32_t Code, std::string_view Value) {
    ++pairs_;
    inPair_ = true;
    const bool more = TakePair(Code, Value);
    inPair_ = false;
    return more;
  }
  // The line of the drawing (1 for the first) that an error while reading
  // was met in: the value line of the pair being handled, or the code line
  // of the next one.
  std::int64_t ErrorLine() const { return inPair_ ? 2 * pairs_ : 2 * pairs_ + 1; }
  // Closes what is still open and places the polylines drawn in planes of
  // their own.
  void Finish();

 private:
  enum class TSection : std::uint8_t { Other, Blocks, Entities };

  bool TakePair(std::int32_t Code, std::string_view Value);
  void StylePair(std::int32_t Code, std::string_view Value);
  void EntityPair(std::int32_t Code, std::string_view Value);
  void TextPair(TTextRec& r, std::int32_t Code, std::string_view Value);
  void VertexPair(std::int32_t Code, std::string_view Value);
  void LwPolylinePair(std::int32_t Code, std::string_view Value);
  void EllipsePair(std::int32_t Code, std::string_view Value);
  void SplinePair(std::int32_t Code, std::string_view Value);
  void InsertPair(std::int32_t Code, std::string_view Value);
  void BlockRecordPair(std::int32_t Code, std::string_view Value);
  bool TrueNamePair(std::int32_t Code, std::string_view Value, std::string& Name);
  void ResolveTrueNames();
  void Open(std::string_view Kind);
  void OpenAttribute();
  void Close();
  void FinishPolyline();
  void AddVertex(TPolyRec& Poly, std::string_view Value);
  void PlaceInPlan(std::int32_t PolyIndex, const TVector3& Normal, double Elevation);
  void Count(bool Measured);
  void NotePolylineShape(std::int32_t Code, std::string_view Value);
  std::size_t TypeIndex(std::string_view Type);
  double StandardHeight();
  // Texts are read for the plain tables only, and only those of the drawing
  // itself: the exact lengths never look at them.
  bool ReadsTexts() const { return !Exact && section_ == TSection::Entities; }
  TPolyRec& LastPoly() { return d_.Polys[static_cast<std::size_t>(d_.PolyCount) - 1]; }

  TDrawing& d_;
  const bool tally_;
  TAreaReader* const areas_;
  std::int64_t pairs_ = 0;  // pairs handed to Pair so far
  bool inPair_ = false;
  TSection section_ = TSection::Other;
  bool entitiesSeen_ = false;
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

  // The tally: the type of the open entity, counted when it closes.
  std::size_t openType_ = 0;
  bool tallyOpen_ = false;
  bool polyBulged_ = false, polyClosed_ = false;  // the last polyline is counted as having a bulge, as closed

  // Exact lengths only.
  TVector3 normal_{0, 0, 1};        // extrusion [210, 220, 230] of the open entity
  double elevation_ = 0;            // its height along the extrusion: [38] of a LWPOLYLINE, [30] of a POLYLINE
  double majorZ_ = 0;               // [31] of an ELLIPSE
  double ratio_ = 0;                // [40] of an ELLIPSE
  bool polyActive_ = false;         // a POLYLINE takes VERTEX entities
  bool polyDropped_ = false;        // ...but is a mesh, not measured
  TVector3 polyNormal_{0, 0, 1};    // ...its extrusion
  double polyElevation_ = 0;        // ...and its height along it
  std::int32_t vertexFlags_ = 0;    // [70] of the open VERTEX
  double vertexBulge_ = 0;          // [42] of the open VERTEX, before its point
  std::int32_t vertexSlots_ = 0;    // the vertex slots the open VERTEX added
  std::int32_t currentBlock_ = -1;  // index in Blocks while inside BLOCK ... ENDBLK
  TInsertRef insert_;               // the open INSERT
  TBlockDef block_;                 // the open BLOCK entity
  std::vector<TPlanePolyline> planePolylines_;

  // Block counts only.
  enum class TXdata : std::uint8_t { None, TrueName, RepresentationTag };
  struct TBlockRecord {
    std::string Handle, Name, TrueName, TrueHandle;
  };
  std::int64_t attributeOwner_ = -1;   // index in Inserts of the reference that the next ATTRIB belongs to
  TXdata xdata_ = TXdata::None;        // the application of the open entity's extended data
  std::vector<TBlockRecord> records_;  // the entries of the BLOCK_RECORD table
};

template <bool Exact, bool Counts>
bool TEntityReader<Exact, Counts>::TakePair(std::int32_t Code, std::string_view Value) {
  if (text_.InHeader()) text_.HeaderPair(Code, Value);
  if (Code == 0 && section_ != TSection::Other && Value == "ENDSEC") {
    Close();
    if constexpr (kRefs) {
      if (areas_) areas_->End();
    }
    if constexpr (Exact) {
      if (polyActive_) FinishPolyline();
    }
    section_ = TSection::Other;
    if (entitiesSeen_) return false;
    currentBlock_ = -1;
  } else {
    if (inStyleTable_) StylePair(Code, Value);
    if (section_ != TSection::Other) {
      EntityPair(Code, Value);
    } else if constexpr (Counts) {
      if (open_ == TOpen::BlockRecord || (Code == 0 && Value == "BLOCK_RECORD")) BlockRecordPair(Code, Value);
    }
  }
  if (Code == 2) {
    // A layer, style or block may be named ENTITIES too; only the name of a
    // section starts the entity section.
    if (Value == "ENTITIES" && afterSection_) {
      section_ = TSection::Entities;
      entitiesSeen_ = true;
      inStyleTable_ = false;
      d_.OwnStart = {d_.LineCount, d_.ArcCount, d_.CircleCount, d_.EllipseCount, d_.SplineCount, d_.PolyCount};
    } else if (kRefs && Value == "BLOCKS" && afterSection_) {
      section_ = TSection::Blocks;
    } else if (Value == "STYLE") {
      inStyleTable_ = true;
    }
  }
  // A comment between (0, SECTION) and the section's name is no pair before.
  if (Code != 999) afterSection_ = Code == 0 && Value == "SECTION";
  return true;
}

template <bool Exact, bool Counts>
void TEntityReader<Exact, Counts>::StylePair(std::int32_t Code, std::string_view Value) {
  if (styleOpen_) {
    // The name, colour and linetype are held in code page 932.
    if (text_.Converting() && (Code == 2 || Code == 62 || Code == 6)) Value = text_.Cp932(Value);
    TStyleRec& style = d_.Styles[static_cast<std::size_t>(d_.StyleCount) - 1];
    switch (Code) {
      case 0:
        styleOpen_ = false;
        break;
      case 2:
        d_.Assign(style.Name, Value);
        break;
      case 40:
        style.Height = ConvertRealFast(Value);
        break;
      case 62:
        d_.Assign(style.Color, Value);
        break;
      case 6:
        d_.Assign(style.LineType, Value);
        break;
      default:
        return;
    }
    standardKnown_ = false;
    d_.StylesChanged();
  }
  if (Code == 0 && Value == "STYLE") {
    TStyleRec& style = TakeRecord(d_.Styles, d_.StyleCount);
    style.Name.Clear();
    style.Height = 10.0;
    styleOpen_ = true;
    standardKnown_ = false;
    d_.StylesChanged();
  }
}

template <bool Exact, bool Counts>
double TEntityReader<Exact, Counts>::StandardHeight() {
  if (!standardKnown_) {
    standardHeight_ = d_.StyleHeight("Standard");
    standardKnown_ = true;
  }
  return standardHeight_;
}

template <bool Exact, bool Counts>
std::size_t TEntityReader<Exact, Counts>::TypeIndex(std::string_view Type) {
  std::vector<TEntityTally>& tally = d_.Tally;
  for (std::size_t i = tally.size(); i-- > 0;)
    if (tally[i].Type == Type) return i;
  tally.push_back({std::string(Type), 0, 0});
  return tally.size() - 1;
}

// Counts the open entity as measured or not: in the drawing's tally, or, in
// a block, in the block's counts, which its references multiply.
template <bool Exact, bool Counts>
void TEntityReader<Exact, Counts>::Count(bool Measured) {
  if (!tallyOpen_) return;
  tallyOpen_ = false;
  if (section_ == TSection::Entities) {
    TEntityTally& t = d_.Tally[openType_];
    ++(Measured ? t.Measured : t.NotMeasured);
  } else if (currentBlock_ >= 0) {
    std::vector<TTypeCount>& counts = d_.Blocks[static_cast<std::size_t>(currentBlock_)].Counts;
    for (TTypeCount& c : counts) {
      if (c.Type == openType_) {
        ++(Measured ? c.Measured : c.NotMeasured);
        return;
      }
    }
    counts.push_back({openType_, Measured ? 1 : 0, Measured ? 0 : 1});
  }
}

// With the tally: a polyline with a bulge [42] that is not 0, and one
// marked closed [70 bit 1], each counted once. Values that do not convert
// count as neither: the plain reading does not take them.
template <bool Exact, bool Counts>
void TEntityReader<Exact, Counts>::NotePolylineShape(std::int32_t Code, std::string_view Value) {
  if (Code == 42) {
    double bulge;
    if (!polyBulged_ && TryConvertReal(Value, bulge) && bulge != 0) {
      ++d_.BulgedPolylines;
      polyBulged_ = true;
    }
  } else if (Code == 70) {
    std::int32_t flags;
    if (!polyClosed_ && TryConvertInteger(Value, flags) && (flags & 1)) {
      ++d_.ClosedPolylines;
      polyClosed_ = true;
    }
  }
}

// Every group 10 of a polyline adds a vertex; its group 20 goes to the last
// vertex added.
template <bool Exact, bool Counts>
void TEntityReader<Exact, Counts>::AddVertex(TPolyRec& Poly, std::string_view Value) {
  const double x = ConvertRealFast(Value);
  if (Poly.VertexCount == std::numeric_limits<std::int32_t>::max()) return;
  // Only the last polyline record ever gets vertices, so its vertices are
  // always the last ones of PolyVertices.
  if (Poly.VertexCount == 0) Poly.FirstVertex = static_cast<std::int64_t>(d_.PolyVertices.Length());
  d_.PolyVertices.Push().X = x;
  std::int32_t& flags = d_.PolyVertexFlagSlots.Push();
  if constexpr (Exact) {
    if (open_ == TOpen::Vertex) {
      flags = vertexFlags_;
      d_.PolyBulges.Push() = vertexBulge_;
      vertexBulge_ = 0;
      ++vertexSlots_;
    } else {
      d_.PolyBulges.Push();
    }
  }
  ++Poly.VertexCount;
}

template <bool Exact, bool Counts>
void TEntityReader<Exact, Counts>::EntityPair(std::int32_t Code, std::string_view Value) {
  if (Code == 0) {
    Close();
    Open(Value);
    return;
  }
  if constexpr (kRefs) {
    if (areas_) areas_->Pair(Code, text_.Converting() && IsTextGroup(Code) ? text_.Cp932(Value) : Value);
  }
  if (open_ == TOpen::None) return;
  // What a record takes as text, it holds in code page 932, so that names
  // match as the drawing wrote them.
  if (text_.Converting() && IsTextGroup(Code)) Value = text_.Cp932(Value);
  if constexpr (kRefs) {
    if (Code == 210 || Code == 220 || Code == 230) {
      (Code == 210 ? normal_.X : Code == 220 ? normal_.Y : normal_.Z) = ConvertRealFast(Value);
      return;
    }
  }
  switch (open_) {
    case TOpen::None:
      return;
    case TOpen::Line:
      dxf_fields::AssignLinePair(d_, d_.Lines[static_cast<std::size_t>(d_.LineCount) - 1], Code, Value);
      return;
    case TOpen::Text:
      TextPair(d_.Texts[static_cast<std::size_t>(d_.TextCount) - 1], Code, Value);
      return;
    case TOpen::Arc:
      dxf_fields::AssignArcPair(d_, d_.Arcs[static_cast<std::size_t>(d_.ArcCount) - 1], Code, Value);
      return;
    case TOpen::Circle:
      dxf_fields::AssignCirclePair(d_, d_.Circles[static_cast<std::size_t>(d_.CircleCount) - 1], Code, Value);
      return;
    case TOpen::Polyline:
      if (tally_ && Code == 70) NotePolylineShape(Code, Value);
      if (Exact && Code == 30)
        elevation_ = ConvertRealFast(Value);
      else
        dxf_fields::AssignPolylinePair(d_, LastPoly(), Code, Value);
      return;
    case TOpen::Vertex:
      VertexPair(Code, Value);
      return;
    case TOpen::LwPolyline:
      LwPolylinePair(Code, Value);
      return;
    case TOpen::Ellipse:
      EllipsePair(Code, Value);
      return;
    case TOpen::Spline:
      SplinePair(Code, Value);
      return;
    case TOpen::Insert:
      InsertPair(Code, Value);
      return;
    case TOpen::Attrib: {
      TAttribute& a = d_.Attributes.back();
      if (Code == 2) a.Tag.assign(Value);
      if (Code == 1) a.Value.assign(Value);
      return;
    }
    case TOpen::BlockRecord:
      return;
    case TOpen::Block:
      if constexpr (Counts) {
        if (Code >= 1000 && TrueNamePair(Code, Value, block_.TrueName)) return;
      }
      switch (Code) {
        case 2:
          block_.Name.assign(Value);
          break;
        case 10:
          block_.Base.X = ConvertRealFast(Value);
          break;
        case 20:
          block_.Base.Y = ConvertRealFast(Value);
          break;
      }
      return;
  }
}

template <bool Exact, bool Counts>
void TEntityReader<Exact, Counts>::TextPair(TTextRec& r, std::int32_t Code, std::string_view Value) {
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
      d_.Assign(r.Content, content_);
      break;
    case 3:
      d_.Append(r.Content, Value);
      break;
    case 40:
      r.Height = ConvertRealFast(Value);
      break;
    case 7:
      r.Height = d_.StyleHeight(Value);
      break;
    case 72:
      r.HAlign = ConvertInteger(Value);
      break;
    case 73:
      r.VAlign = ConvertInteger(Value);
      break;
    case 62:
      d_.Assign(r.Color, Value);
      break;
    case 6:
      d_.Assign(r.LineType, Value);
      break;
  }
}

// A VERTEX belongs to the last polyline read; one with no polyline before it
// has no record to write into.
template <bool Exact, bool Counts>
void TEntityReader<Exact, Counts>::VertexPair(std::int32_t Code, std::string_view Value) {
  if (d_.PolyCount == 0) return;
  if (tally_ && Code == 42) NotePolylineShape(Code, Value);
  TPolyRec& r = LastPoly();
  switch (Code) {
    case 10:
      AddVertex(r, Value);
      break;
    // Before the first group 10 there is no vertex slot to write into; the
    // value is converted all the same, so that a bad one is an error.
    case 20: {
      const double y = ConvertRealFast(Value);
      if (r.VertexCount > 0) d_.Vertex(r, r.VertexCount).Y = y;
      break;
    }
    case 70: {
      const std::int32_t flags = ConvertInteger(Value);
      if (r.VertexCount > 0)
        d_.PolyVertexFlagSlots[static_cast<std::size_t>(r.FirstVertex + r.VertexCount - 1)] = flags;
      if constexpr (Exact) vertexFlags_ = flags;
      break;
    }
    case 42:
      if constexpr (Exact) {
        const double bulge = ConvertRealFast(Value);
        if (vertexSlots_ > 0)
          d_.PolyBulges[d_.PolyBulges.Length() - 1] = bulge;
        else
          vertexBulge_ = bulge;
      }
      break;
  }
}

template <bool Exact, bool Counts>
void TEntityReader<Exact, Counts>::LwPolylinePair(std::int32_t Code, std::string_view Value) {
  TPolyRec& r = LastPoly();
  if (tally_ && (Code == 42 || Code == 70)) NotePolylineShape(Code, Value);
  switch (Code) {
    case 10:
      AddVertex(r, Value);
      return;
    case 20: {
      const double y = ConvertRealFast(Value);
      if (r.VertexCount > 0) d_.Vertex(r, r.VertexCount).Y = y;
      return;
    }
  }
  if constexpr (Exact) {
    switch (Code) {
      case 42:
        if (r.VertexCount > 0) d_.PolyBulges[d_.PolyBulges.Length() - 1] = ConvertRealFast(Value);
        return;
      case 70:
        r.Flags = ConvertInteger(Value);
        return;
      case 38:
        elevation_ = ConvertRealFast(Value);
        return;
    }
  }
  AssignRowKey(d_, r, Code, Value);
}

template <bool Exact, bool Counts>
void TEntityReader<Exact, Counts>::EllipsePair(std::int32_t Code, std::string_view Value) {
  TEllipseRec& r = d_.Ellipses[static_cast<std::size_t>(d_.EllipseCount) - 1];
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
    case 11:
      r.MajorX = ConvertRealFast(Value);
      break;
    case 21:
      r.MajorY = ConvertRealFast(Value);
      break;
    case 31:
      majorZ_ = ConvertRealFast(Value);
      break;
    case 40:
      ratio_ = ConvertRealFast(Value);
      break;
    case 41:
      r.StartParam = ConvertRealFast(Value);
      break;
    case 42:
      r.EndParam = ConvertRealFast(Value);
      break;
    default:
      AssignRowKey(d_, r, Code, Value);
      break;
  }
}

template <bool Exact, bool Counts>
void TEntityReader<Exact, Counts>::SplinePair(std::int32_t Code, std::string_view Value) {
  TSplineRec& r = d_.Splines[static_cast<std::size_t>(d_.SplineCount) - 1];
  switch (Code) {
    case 71:
      r.Degree = ConvertInteger(Value);
      break;
    case 40:
      d_.SplineKnots.Push() = ConvertRealFast(Value);
      ++r.KnotCount;
      break;
    case 41:
      d_.SplineWeights.Push() = ConvertRealFast(Value);
      ++r.WeightCount;
      break;
    case 10:
      // Control points come before fit points; a late one is not taken.
      if (r.FitCount == 0) {
        d_.SplinePoints.Push().X = ConvertRealFast(Value);
        ++r.ControlCount;
      }
      break;
    case 20:
      if (r.FitCount == 0 && r.ControlCount > 0)
        d_.SplinePoints[d_.SplinePoints.Length() - 1].Y = ConvertRealFast(Value);
      break;
    case 11:
      d_.SplinePoints.Push().X = ConvertRealFast(Value);
      ++r.FitCount;
      break;
    case 21:
      if (r.FitCount > 0) d_.SplinePoints[d_.SplinePoints.Length() - 1].Y = ConvertRealFast(Value);
      break;
    default:
      AssignRowKey(d_, r, Code, Value);
      break;
  }
}

template <bool Exact, bool Counts>
void TEntityReader<Exact, Counts>::InsertPair(std::int32_t Code, std::string_view Value) {
  TInsertRef& r = insert_;
  if constexpr (Counts) {
    if (Code >= 1000 && TrueNamePair(Code, Value, r.TrueName)) return;
  }
  switch (Code) {
    case 2:
      r.Block.assign(Value);
      break;
    case 10:
      r.At.X = ConvertRealFast(Value);
      break;
    case 20:
      r.At.Y = ConvertRealFast(Value);
      break;
    case 30:
      r.Z = ConvertRealFast(Value);
      break;
    case 41:
      r.ScaleX = ConvertRealFast(Value);
      break;
    case 42:
      r.ScaleY = ConvertRealFast(Value);
      break;
    case 50:
      r.Rotation = ConvertRealFast(Value);
      break;
    case 70:
      r.Columns = ConvertInteger(Value);
      break;
    case 71:
      r.Rows = ConvertInteger(Value);
      break;
    case 44:
      r.ColumnSpacing = ConvertRealFast(Value);
      break;
    case 45:
      r.RowSpacing = ConvertRealFast(Value);
      break;
    default:
      AssignRowKey(d_, r.Key, Code, Value);
      break;
  }
}

template <bool Exact, bool Counts>
void TEntityReader<Exact, Counts>::Open(std::string_view Kind) {
  open_ = TOpen::None;
  if constexpr (kRefs) {
    normal_ = {0, 0, 1};
    if (areas_) areas_->Open(Kind, section_ == TSection::Entities ? -1 : currentBlock_ >= 0 ? currentBlock_ : -2);
  }
  if constexpr (Counts) {
    xdata_ = TXdata::None;
    if (Kind != "ATTRIB") attributeOwner_ = -1;  // ATTRIB entities follow their reference up to SEQEND
  }
  if constexpr (Exact) {
    elevation_ = majorZ_ = 0;
    if (polyActive_ && Kind != "VERTEX") FinishPolyline();
  }
  if constexpr (kRefs) {
    if (section_ == TSection::Blocks) {
      if (Kind == "BLOCK") {
        block_ = TBlockDef{};
        open_ = TOpen::Block;
        return;
      }
      if (Kind == "ENDBLK") {
        if (currentBlock_ >= 0) {
          TBlockDef& b = d_.Blocks[static_cast<std::size_t>(currentBlock_)];
          b.Line[1] = d_.LineCount, b.Arc[1] = d_.ArcCount, b.Circle[1] = d_.CircleCount;
          b.Ellipse[1] = d_.EllipseCount, b.Spline[1] = d_.SplineCount, b.Poly[1] = d_.PolyCount;
          b.Insert[1] = d_.Inserts.size();
        }
        currentBlock_ = -1;
        return;
      }
      if (currentBlock_ < 0) return;
      if constexpr (!Exact) {
        // For the counts alone, a block's references are all that is read
        // of it.
        if (Kind == "INSERT") {
          insert_ = TInsertRef{};
          open_ = TOpen::Insert;
        } else if (Kind == "ATTRIB" && attributeOwner_ >= 0) {
          OpenAttribute();
        }
        return;
      }
    }
  }
  if (Kind == "VERTEX") {
    open_ = TOpen::Vertex;
    if constexpr (Exact) {
      vertexFlags_ = 0;
      vertexBulge_ = 0;
      vertexSlots_ = 0;
    }
    return;
  }
  if (Kind == "SEQEND") return;
  if (tally_) {
    openType_ = TypeIndex(Kind);
    tallyOpen_ = true;
  }
  // New records are empty already: the tables hand out cleared records.
  switch (Kind.size()) {
    case 3:
      if (Kind == "ARC") {
        TakeRecord(d_.Arcs, d_.ArcCount);
        open_ = TOpen::Arc;
      }
      break;
    case 4:
      if (Kind == "LINE") {
        TakeRecord(d_.Lines, d_.LineCount);
        open_ = TOpen::Line;
      } else if (Kind == "TEXT" && ReadsTexts()) {
        TakeRecord(d_.Texts, d_.TextCount).Height = StandardHeight();
        open_ = TOpen::Text;
      }
      break;
    case 5:
      if (Kind == "MTEXT" && ReadsTexts()) {
        TakeRecord(d_.Texts, d_.TextCount).Height = StandardHeight();
        open_ = TOpen::Text;
      }
      break;
    case 6:
      if (Kind == "CIRCLE") {
        TakeRecord(d_.Circles, d_.CircleCount);
        open_ = TOpen::Circle;
      } else if (Exact && Kind == "SPLINE") {
        TSplineRec& r = TakeRecord(d_.Splines, d_.SplineCount);
        r.FirstControl = static_cast<std::int64_t>(d_.SplinePoints.Length());
        r.FirstKnot = static_cast<std::int64_t>(d_.SplineKnots.Length());
        r.FirstWeight = static_cast<std::int64_t>(d_.SplineWeights.Length());
        open_ = TOpen::Spline;
      } else if (kRefs && Kind == "INSERT") {
        insert_ = TInsertRef{};
        if constexpr (Exact) tallyOpen_ = false;  // counted where it is placed
        open_ = TOpen::Insert;
      } else if (Counts && Kind == "ATTRIB" && attributeOwner_ >= 0) {
        OpenAttribute();
      }
      break;
    case 7:
      if (Exact && Kind == "ELLIPSE") {
        TakeRecord(d_.Ellipses, d_.EllipseCount).EndParam = kTwoPi;
        ratio_ = 1;
        open_ = TOpen::Ellipse;
      }
      break;
    case 8:
      if (Kind == "POLYLINE") {
        TakeRecord(d_.Polys, d_.PolyCount);
        polyBulged_ = polyClosed_ = false;
        open_ = TOpen::Polyline;
      }
      break;
    case 10:
      if (Kind == "LWPOLYLINE") {
        TakeRecord(d_.Polys, d_.PolyCount);
        polyBulged_ = polyClosed_ = false;
        open_ = TOpen::LwPolyline;
      }
      break;
  }
  // References read only for their counts are tallied as the plain reading
  // tallies them.
  if (open_ == TOpen::None || open_ == TOpen::Text ||
      (Counts && (open_ == TOpen::Attrib || (!Exact && open_ == TOpen::Insert))))
    Count(false);
}

template <bool Exact, bool Counts>
void TEntityReader<Exact, Counts>::OpenAttribute() {
  d_.Attributes.emplace_back();
  ++d_.Inserts[static_cast<std::size_t>(attributeOwner_)].AttributeCount;
  open_ = TOpen::Attrib;
}

// The extended data that tie an anonymous block to the named block it copies:
// the name itself after the application AcDbDynamicBlockTrueName (or ...2)
// in a string [1000], or, in a BLOCK_RECORD entry, the handle of the named
// block's entry after AcDbBlockRepBTag [1005]. True when Code is extended
// data.
template <bool Exact, bool Counts>
bool TEntityReader<Exact, Counts>::TrueNamePair(std::int32_t Code, std::string_view Value, std::string& Name) {
  if (Code > 1071) return false;
  if (Code == 1001)
    xdata_ = Value == "AcDbDynamicBlockTrueName" || Value == "AcDbDynamicBlockTrueName2" ? TXdata::TrueName
             : Value == "AcDbBlockRepBTag"                                               ? TXdata::RepresentationTag
                                                                                         : TXdata::None;
  else if (Code == 1000 && xdata_ == TXdata::TrueName && Name.empty())
    Name.assign(text_.Cp932(Value));
  return true;
}

// The entries of the BLOCK_RECORD table: handle [5], name [2] and what ties
// an anonymous block to a named one.
template <bool Exact, bool Counts>
void TEntityReader<Exact, Counts>::BlockRecordPair(std::int32_t Code, std::string_view Value) {
  if (Code == 0) {
    open_ = TOpen::None;
    if (Value == "BLOCK_RECORD") {
      records_.emplace_back();
      xdata_ = TXdata::None;
      open_ = TOpen::BlockRecord;
    }
    return;
  }
  TBlockRecord& r = records_.back();
  if (Code == 5) {
    r.Handle.assign(Value);
  } else if (Code == 2) {
    r.Name.assign(text_.Cp932(Value));
  } else if (Code == 1005 && xdata_ == TXdata::RepresentationTag) {
    if (r.TrueHandle.empty()) r.TrueHandle.assign(Value);
  } else if (Code >= 1000) {
    TrueNamePair(Code, Value, r.TrueName);
  }
}

// Gives each anonymous block the name of the block it copies, where its
// BLOCK entity did not say it already.
template <bool Exact, bool Counts>
void TEntityReader<Exact, Counts>::ResolveTrueNames() {
  std::unordered_map<std::string_view, const TBlockRecord*> byHandle, byName;
  for (const TBlockRecord& r : records_) {
    byHandle.emplace(r.Handle, &r);
    byName.emplace(r.Name, &r);
  }
  for (TBlockDef& b : d_.Blocks) {
    if (!b.Name.starts_with('*') || !b.TrueName.empty()) continue;
    const auto record = byName.find(b.Name);
    if (record == byName.end()) continue;
    const TBlockRecord& r = *record->second;
    if (!r.TrueName.empty()) {
      b.TrueName = r.TrueName;
    } else if (!r.TrueHandle.empty()) {
      const auto named = byHandle.find(r.TrueHandle);
      if (named != byHandle.end()) b.TrueName = named->second->Name;
    }
  }
}

template <bool Exact, bool Counts>
void TEntityReader<Exact, Counts>::PlaceInPlan(std::int32_t PolyIndex, const TVector3& Normal, double Elevation) {
  TPlacement storage;
  if (const TPlacement* plan = PlanPlacement(Normal, Elevation, storage))
    PlacePolyline(d_, *plan, d_.Polys[static_cast<std::size_t>(PolyIndex)]);
}

// Drops the last polyline record and its vertices.
void DropLastPolyline(TDrawing& D) {
  TPolyRec& r = D.Polys[static_cast<std::size_t>(D.PolyCount) - 1];
  if (r.VertexCount > 0) {
    D.PolyVertices.Shrink(static_cast<std::size_t>(r.FirstVertex));
    D.PolyVertexFlagSlots.Shrink(static_cast<std::size_t>(r.FirstVertex));
    D.PolyBulges.Shrink(static_cast<std::size_t>(r.FirstVertex));
  }
  r = TPolyRec{};
  --D.PolyCount;
}

template <bool Exact, bool Counts>
void TEntityReader<Exact, Counts>::FinishPolyline() {
  polyActive_ = false;
  if (polyDropped_) {
    DropLastPolyline(d_);
    Count(false);
    return;
  }
  // A 3D polyline is drawn in the drawing's own coordinates.
  if (!(LastPoly().Flags & kPolyline3d) && (IsTilted(polyNormal_) || polyNormal_.Z < 0))
    planePolylines_.push_back({d_.PolyCount - 1, polyNormal_, polyElevation_});
  Count(true);
}

template <bool Exact, bool Counts>
void TEntityReader<Exact, Counts>::Close() {
  const TOpen kind = open_;
  open_ = TOpen::None;
  switch (kind) {
    case TOpen::None:
    case TOpen::Text:
    case TOpen::Attrib:
    case TOpen::BlockRecord:
      return;
    case TOpen::Line:
      Count(true);
      return;
    case TOpen::Arc:
      if constexpr (Exact) {
        TArcRec& r = d_.Arcs[static_cast<std::size_t>(d_.ArcCount) - 1];
        TPlacement storage;
        if (const TPlacement* plan = PlanPlacement(normal_, r.CZ, storage)) {
          if (!PlaceArc(d_, *plan, r)) {
            r = TArcRec{};
            --d_.ArcCount;
          }
        }
      }
      Count(true);
      return;
    case TOpen::Circle:
      if constexpr (Exact) {
        TCircleRec& r = d_.Circles[static_cast<std::size_t>(d_.CircleCount) - 1];
        TPlacement storage;
        if (const TPlacement* plan = PlanPlacement(normal_, r.CZ, storage)) {
          if (!PlaceCircle(d_, *plan, r)) {
            r = TCircleRec{};
            --d_.CircleCount;
          }
        }
      }
      Count(true);
      return;
    case TOpen::Polyline:
      if constexpr (Exact) {
        const std::int32_t flags = LastPoly().Flags;
        polyActive_ = true;
        polyDropped_ = (flags & (kPolygonMesh | kPolyfaceMesh)) != 0;
        // The header's extrusion and height hold for its vertices: kept until
        // the end.
        polyNormal_ = normal_;
        polyElevation_ = elevation_;
      } else {
        Count(true);
      }
      return;
    case TOpen::Vertex:
      if constexpr (Exact) {
        // Spline-frame control points are not on the curve.
        if (vertexSlots_ > 0 && (vertexFlags_ & kSplineFrameVertex)) {
          LastPoly().VertexCount -= vertexSlots_;
          const std::size_t keep = d_.PolyVertices.Length() - static_cast<std::size_t>(vertexSlots_);
          d_.PolyVertices.Shrink(keep);
          d_.PolyVertexFlagSlots.Shrink(keep);
          d_.PolyBulges.Shrink(keep);
        }
      }
      return;
    case TOpen::LwPolyline:
      if constexpr (Exact) {
        if (IsTilted(normal_) || normal_.Z < 0) planePolylines_.push_back({d_.PolyCount - 1, normal_, elevation_});
      }
      Count(true);
      return;
    case TOpen::Ellipse: {
      TEllipseRec& r = d_.Ellipses[static_cast<std::size_t>(d_.EllipseCount) - 1];
      // The minor axis is the major one turned a quarter about the
      // extrusion direction, and scaled by the ratio.
      if (IsTilted(normal_)) {
        // The ratio times N x Major in space, seen from above; the major axis
        // seen from above is its own X and Y.
        const double n = std::sqrt(normal_.X * normal_.X + normal_.Y * normal_.Y + normal_.Z * normal_.Z);
        const TVector3 u{normal_.X / n, normal_.Y / n, normal_.Z / n};
        r.MinorX = ratio_ * (u.Y * majorZ_ - u.Z * r.MajorY);
        r.MinorY = ratio_ * (u.Z * r.MajorX - u.X * majorZ_);
      } else {
        const double s = normal_.Z < 0 ? -ratio_ : ratio_;
        r.MinorX = -s * r.MajorY;
        r.MinorY = s * r.MajorX;
      }
      if (r.EndParam < r.StartParam) r.EndParam += kTwoPi * std::ceil((r.StartParam - r.EndParam) / kTwoPi);
      Count(true);
      return;
    }
    case TOpen::Spline: {
      TSplineRec& r = d_.Splines[static_cast<std::size_t>(d_.SplineCount) - 1];
      // A spline whose data do not form a curve is not measured.
      bool usable =
          r.ControlCount > 0 ? r.Degree >= 1 && r.KnotCount == r.ControlCount + r.Degree + 1 : r.FitCount >= 2;
      for (std::int32_t i = 1; usable && r.ControlCount > 0 && i < r.KnotCount; ++i)
        usable = d_.SplineKnots[static_cast<std::size_t>(r.FirstKnot + i)] >=
                 d_.SplineKnots[static_cast<std::size_t>(r.FirstKnot + i - 1)];
      if (r.WeightCount != r.ControlCount) r.WeightCount = 0;  // weights only with one per control point
      for (std::int32_t i = 0; usable && i < r.WeightCount; ++i)
        usable = d_.SplineWeights[static_cast<std::size_t>(r.FirstWeight + i)] > 0;
      if (!usable && r.FitCount >= 2) {
        // The fit points still give the curve.
        usable = true;
        r.ControlCount = 0;
      }
      if (!usable) {
        d_.SplinePoints.Shrink(static_cast<std::size_t>(r.FirstControl));
        d_.SplineKnots.Shrink(static_cast<std::size_t>(r.FirstKnot));
        d_.SplineWeights.Shrink(static_cast<std::size_t>(r.FirstWeight));
        r = TSplineRec{};
        --d_.SplineCount;
      }
      Count(usable);
      return;
    }
    case TOpen::Insert:
      if (section_ == TSection::Entities || currentBlock_ >= 0) {
        insert_.Normal = normal_;
        insert_.Owner = section_ == TSection::Entities ? -1 : currentBlock_;
        if constexpr (Counts) {
          insert_.FirstAttribute = static_cast<std::uint32_t>(d_.Attributes.size());
          attributeOwner_ = static_cast<std::int64_t>(d_.Inserts.size());
        }
        d_.Inserts.push_back(std::move(insert_));
      }
      return;
    case TOpen::Block: {
      TBlockDef b = std::move(block_);
      b.Line[0] = b.Line[1] = d_.LineCount;
      b.Arc[0] = b.Arc[1] = d_.ArcCount;
      b.Circle[0] = b.Circle[1] = d_.CircleCount;
      b.Ellipse[0] = b.Ellipse[1] = d_.EllipseCount;
      b.Spline[0] = b.Spline[1] = d_.SplineCount;
      b.Poly[0] = b.Poly[1] = d_.PolyCount;
      b.Insert[0] = b.Insert[1] = d_.Inserts.size();
      d_.Blocks.push_back(std::move(b));
      currentBlock_ = static_cast<std::int32_t>(d_.Blocks.size() - 1);
      return;
    }
  }
}

template <bool Exact, bool Counts>
void TEntityReader<Exact, Counts>::Finish() {
  Close();
  if constexpr (kRefs) {
    if (areas_) areas_->End();
  }
  d_.Complete = section_ != TSection::Entities;  // the ENTITIES section never ended
  d_.Utf8 = text_.Utf8();
  d_.CodePage = text_.CodePage();
  d_.Units = text_.Units();
  if constexpr (Counts) ResolveTrueNames();
  if constexpr (Exact) {
    if (polyActive_) FinishPolyline();
    if (!entitiesSeen_) {
      // No ENTITIES section: nothing of the blocks is drawn.
      d_.OwnStart = {d_.LineCount, d_.ArcCount, d_.CircleCount, d_.EllipseCount, d_.SplineCount, d_.PolyCount};
    }
    for (const TPlanePolyline& p : planePolylines_) PlaceInPlan(p.Index, p.Normal, p.Elevation);
  }
}

template <bool Exact, bool Counts>
void Read(TByteSource& Source, bool Tally, TDrawing& D, TAreaReader* Areas = nullptr) {
  TEntityReader<Exact, Counts> reader(D, Tally, Areas);
  auto pair = [&reader](std::int32_t Code, std::string_view Value) { return reader.Pair(Code, Value); };
  try {
    ScanPairs(Source, [&pair](const TPairChunk& Chunk) { return ForEachPair(Chunk, pair); });
  } catch (TConvertError& e) {
    e.Locate(Source.Name(), reader.ErrorLine());
    throw;
  }
  reader.Finish();
}

}  // namespace

void ReadEntityPairs(TByteSource& Source, const TReadOptions& Options, TDrawing& D) {
  D.Exact = Options.Exact;
  D.BlockCounts = Options.Blocks;
  D.Areas = Options.Areas;
  // Areas read beside the lengths; alone they take the counting reading,
  // which reads block references and keeps the plain list's tables.
  std::optional<TAreaReader> areaReader;
  TAreaReader* areas = Options.Areas ? &areaReader.emplace(D) : nullptr;
  if (Options.Blocks || (Options.Areas && !Options.Exact)) {
    if (Options.Exact)
      Read<true, true>(Source, Options.Tally, D, areas);
    else
      Read<false, true>(Source, Options.Tally, D, areas);
  } else if (Options.Exact) {
    Read<true, false>(Source, Options.Tally, D, areas);
  } else {
    Read<false, false>(Source, Options.Tally, D);
  }
}
