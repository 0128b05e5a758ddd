// Reading for exact lengths: a state machine of its own beside the plain
// reader, so that the plain reading pays nothing for what is read here
// (bulges, closing flags, extrusions, ellipses, splines, blocks and their
// references).
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dxf/conversions.h"
#include "dxf/drawing_text.h"
#include "dxf/dxf_errors.h"
#include "dxf/entity_fields.h"
#include "dxf/exact_tables.h"
#include "dxf/file_ptr.h"
#include "dxf/file_start.h"
#include "dxf/pair_scanner.h"
#include "dxf/placement.h"

namespace {

constexpr double kTwoPi = 6.28318530717958647692;

// Entities placed out of blocks in one reading, at most: a guard against
// references that multiply without end (arrays of arrays of arrays).
constexpr std::int64_t kMaxPlaced = 8'000'000;
// Nesting of block references, at most.
constexpr int kMaxDepth = 64;

// POLYLINE flags [70] and VERTEX flags [70].
constexpr std::int32_t kPolyline3d = 8;
constexpr std::int32_t kPolygonMesh = 16;
constexpr std::int32_t kPolyfaceMesh = 64;
constexpr std::int32_t kSplineFrameVertex = 16;

enum class TKind : std::uint8_t {
  None,
  Line,
  Arc,
  Circle,
  Ellipse,
  Spline,
  Polyline,
  Vertex,
  LwPolyline,
  Insert,
  Block
};

// The counts of one block or of the drawing, by entity type (the index in
// EntityTallies).
struct TTypeCount {
  std::size_t Type;
  std::int64_t Measured, NotMeasured;
};

struct TRowKey {
  TText60 Layer, Color, LineType;
};

// One INSERT: a reference to a block, or an array of references (MINSERT:
// columns and rows).
struct TInsert {
  std::string Block;                         // [2]
  TPoint2 At{0, 0};                          // [10, 20]
  double ScaleX = 1, ScaleY = 1;             // [41, 42]
  double Rotation = 0;                       // degrees [50]
  std::int32_t Columns = 1, Rows = 1;        // [70, 71]
  double ColumnSpacing = 0, RowSpacing = 0;  // [44, 45]
  double Z = 0;                              // [30], the height along the extrusion
  TVector3 Normal{0, 0, 1};                  // extrusion [210, 220, 230]
  TRowKey Key;
  std::int32_t Owner = -1;  // the block it stands in; -1 for the ENTITIES section
};

// The records of one block definition: in each table the range from its
// first record up to the one before End.
struct TBlock {
  std::string Name;    // [2]
  TPoint2 Base{0, 0};  // [10, 20]
  std::int32_t Line[2], Arc[2], Circle[2], Ellipse[2], Spline[2], Poly[2];
  std::size_t Insert[2];
  std::vector<TTypeCount> Counts;  // what it holds besides references
  std::int64_t Size = -1;          // entities placed by one reference, nested ones included; -1 not known
  bool Sizing = false;             // its size is being found (a reference to itself)
  bool Placing = false;            // it is being placed (a reference to itself)
};

using dxf_fields::AssignRowKey;
using dxf_fields::TakeRecord;

bool IsByBlockColor(std::string_view Color) {
  std::int32_t value;
  return !Color.empty() && TryConvertInteger(Color, value) && value == 0;
}

bool IsByBlockLineType(std::string_view LineType) {
  constexpr std::string_view kByBlock = "BYBLOCK";
  if (LineType.size() != kByBlock.size()) return false;
  for (std::size_t i = 0; i < kByBlock.size(); ++i) {
    char c = LineType[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != kByBlock[i]) return false;
  }
  return true;
}

// An entity of a block takes the reference's layer when it is on layer 0,
// and the reference's colour and linetype where it has them BYBLOCK.
template <class TRec>
void Inherit(TRec& Rec, const TRowKey& Outer) {
  if (Rec.Layer.View() == "0") Rec.Layer = Outer.Layer;
  if (IsByBlockColor(Rec.Color.View())) Rec.Color = Outer.Color;
  if (IsByBlockLineType(Rec.LineType.View())) Rec.LineType = Outer.LineType;
}

std::size_t TypeIndex(std::string_view Type) {
  for (std::size_t i = EntityTallies.size(); i-- > 0;)
    if (EntityTallies[i].Type == Type) return i;
  EntityTallies.push_back({std::string(Type), 0, 0});
  return EntityTallies.size() - 1;
}

void AddCount(std::vector<TTypeCount>& Counts, std::size_t Type, bool Measured, std::int64_t Times = 1) {
  for (TTypeCount& c : Counts) {
    if (c.Type == Type) {
      (Measured ? c.Measured : c.NotMeasured) += Times;
      return;
    }
  }
  Counts.push_back({Type, Measured ? Times : 0, Measured ? 0 : Times});
}

void Tally(std::size_t Type, bool Measured, std::int64_t Times = 1) {
  (Measured ? EntityTallies[Type].Measured : EntityTallies[Type].NotMeasured) += Times;
}

constexpr double kDegree = 57.29577951308232087680;  // degrees in a radian

// The angle in degrees of the direction that Map gives the direction at
// Angle degrees.
double MappedAngle(const TLinear2& Map, double Angle) {
  const double a = Angle / kDegree;
  const TPoint2 d = ApplyLinear(Map, {std::cos(a), std::sin(a)});
  return std::atan2(d.Y, d.X) * kDegree;
}

// A circle or arc that Placement does not keep a circle: the ellipse it
// becomes, from Start to End degrees (counter-clockwise, as read).
void AddPlacedEllipse(const TPlacement& Placement, double CX, double CY, double CZ, double Radius, double Start,
                      double Sweep, const TText60& Layer, const TText60& Color, const TText60& LineType) {
  TEllipseRec& e = TakeRecord(Ellipses, EllipseCount);
  const TPoint2 c = Apply(Placement, {CX, CY});
  const TPoint2 u = ApplyLinear(Placement.Linear, {Radius, 0});
  const TPoint2 v = ApplyLinear(Placement.Linear, {0, Radius});
  e.CX = c.X, e.CY = c.Y, e.CZ = CZ;
  e.MajorX = u.X, e.MajorY = u.Y, e.MinorX = v.X, e.MinorY = v.Y;
  e.StartParam = Start / kDegree;
  e.EndParam = (Start + Sweep) / kDegree;
  e.Layer = Layer, e.Color = Color, e.LineType = LineType;
}

// Whether an entity with extrusion N is drawn mirrored: N is (0, 0, -1).
bool IsFlipped(const TVector3& N) { return !IsTilted(N) && N.Z < 0; }

// A circle or arc drawn in a plane that Placement maps to plan: where it
// lands, or, when the map does not keep circles circles, the ellipse it
// becomes (its record is then taken back from its table).
void PlaceArcInPlan(const TPlacement& Placement, double Start, double Sweep, TArcRec& Arc) {
  const TLinear2& m = Placement.Linear;
  if (!IsSimilarity(m)) {
    AddPlacedEllipse(Placement, Arc.CX, Arc.CY, Arc.CZ, Arc.Radius, Start, Sweep, Arc.Layer, Arc.Color, Arc.LineType);
    Arc = TArcRec{};
    --ArcCount;
    return;
  }
  const double det = Determinant(m);
  const TPoint2 c = Apply(Placement, {Arc.CX, Arc.CY});
  Arc.CX = c.X, Arc.CY = c.Y, Arc.Radius *= std::sqrt(std::fabs(det));
  // A mirror runs the arc the other way: its new start is the image of its end.
  const double start = MappedAngle(m, det < 0 ? Start + Sweep : Start);
  Arc.StartAngle = start;
  Arc.EndAngle = start + Sweep;
}

void PlaceCircleInPlan(const TPlacement& Placement, TCircleRec& Circle) {
  const TLinear2& m = Placement.Linear;
  if (!IsSimilarity(m)) {
    AddPlacedEllipse(Placement, Circle.CX, Circle.CY, Circle.CZ, Circle.Radius, 0, 360, Circle.Layer, Circle.Color,
                     Circle.LineType);
    Circle = TCircleRec{};
    --CircleCount;
    return;
  }
  const TPoint2 c = Apply(Placement, {Circle.CX, Circle.CY});
  Circle.CX = c.X, Circle.CY = c.Y, Circle.Radius *= std::sqrt(std::fabs(Determinant(m)));
}

// The vertices of a polyline drawn in a plane that Placement maps to plan.
// Where the map does not keep circles circles, its bulges are measured as
// the elliptic arcs they become: the map is kept beside the record.
void PlacePolylineInPlan(const TPlacement& Placement, TPolyRec& R) {
  const bool mirror = Determinant(Placement.Linear) < 0;
  bool bulges = false;
  for (std::int32_t k = 1; k <= R.VertexCount; ++k) {
    TVertex& v = PolyVertex(R, k);
    const TPoint2 q = Apply(Placement, {v.X, v.Y});
    v.X = q.X, v.Y = q.Y;
    double& bulge = PolyBulges[static_cast<std::size_t>(R.FirstVertex + k - 1)];
    if (mirror) bulge = -bulge;
    bulges = bulges || bulge != 0;
  }
  if (bulges && !IsSimilarity(Placement.Linear)) {
    PolyPlacements.Push() = Placement.Linear;
    R.Placement = static_cast<std::int32_t>(PolyPlacements.Length());
  }
}

// The state machine over the pairs of the BLOCKS and ENTITIES sections.
class TExactReader {
 public:
  bool Pair(std::int32_t Code, std::string_view Value);
  // Places the blocks' contents and leaves in the tables only the drawing's
  // own entities and the placed ones.
  void Finish();

 private:
  enum class TSection : std::uint8_t { Other, Blocks, Entities };
  void EntityPair(std::int32_t Code, std::string_view Value);
  void Open(std::string_view Type);
  void Close();
  void FinishPolyline();
  void Count(bool Measured);
  void ExpandInsert(const TInsert& Insert, const TPlacement& Outer, const TRowKey* OuterKey, int Depth);
  void PlaceBlock(TBlock& Block, const TPlacement& Placement, const TRowKey& Key, int Depth);
  std::int64_t BlockSize(TBlock& Block, int Depth);
  TBlock* FindBlock(const std::string& Name);

  TSection section_ = TSection::Other;
  bool afterSection_ = false;
  TKind open_ = TKind::None;
  std::size_t openType_ = 0;      // EntityTallies index of the open entity's type
  bool tallyOpen_ = false;        // the open entity is counted when it closes
  TVector3 normal_{0, 0, 1};      // extrusion [210, 220, 230] of the open entity
  double elevation_ = 0;          // its height along the extrusion: [38] of a LWPOLYLINE, [30] of a POLYLINE
  double majorZ_ = 0;             // [31] of an ELLIPSE
  double ratio_ = 0;              // [40] of an ELLIPSE
  bool polyActive_ = false;       // a POLYLINE takes VERTEX entities
  bool polyDropped_ = false;      // ...but is a mesh, not measured
  TVector3 polyNormal_{0, 0, 1};  // ...its extrusion
  double polyElevation_ = 0;      // ...and its height along it
  std::int32_t vertexFlags_ = 0;
  bool vertexHasPoint_ = false;
  std::int32_t currentBlock_ = -1;  // index in blocks_ while inside BLOCK ... ENDBLK
  std::vector<TBlock> blocks_;
  std::unordered_map<std::string, std::size_t> blockIndex_;  // by name; the first of a name counts
  std::vector<TInsert> inserts_;
  TInsert insert_;  // the open INSERT
  TBlock block_;    // the open BLOCK entity
  // Where the drawing's own records begin in each table (after the blocks').
  std::int32_t ownLine_ = 0, ownArc_ = 0, ownCircle_ = 0, ownEllipse_ = 0, ownSpline_ = 0, ownPoly_ = 0;
  std::int64_t placed_ = 0;
  TDrawingText text_;
};

// The groups whose values a record takes as text: block name [2], colour
// [62], linetype [6] and layer [8].
bool IsTextGroup(std::int32_t Code) { return Code == 2 || Code == 6 || Code == 8 || Code == 62; }

bool TExactReader::Pair(std::int32_t Code, std::string_view Value) {
  if (text_.InHeader()) text_.HeaderPair(Code, Value);
  if (Code == 0 && Value == "ENDSEC") {
    Close();
    if (polyActive_) FinishPolyline();
    if (section_ == TSection::Entities) return false;
    section_ = TSection::Other;
    currentBlock_ = -1;
    afterSection_ = false;
    return true;
  }
  if (section_ != TSection::Other) EntityPair(Code, Value);
  if (Code == 2 && afterSection_) {
    if (Value == "ENTITIES") {
      section_ = TSection::Entities;
      ownLine_ = LineCount, ownArc_ = ArcCount, ownCircle_ = CircleCount;
      ownEllipse_ = EllipseCount, ownSpline_ = SplineCount, ownPoly_ = PolyCount;
    } else if (Value == "BLOCKS") {
      section_ = TSection::Blocks;
    }
  }
  // A comment between (0, SECTION) and the section's name is no pair before.
  if (Code != 999) afterSection_ = Code == 0 && Value == "SECTION";
  return true;
}

void TExactReader::Count(bool Measured) {
  if (!tallyOpen_) return;
  tallyOpen_ = false;
  if (section_ == TSection::Entities)
    Tally(openType_, Measured);
  else if (currentBlock_ >= 0)
    AddCount(blocks_[static_cast<std::size_t>(currentBlock_)].Counts, openType_, Measured);
}

void TExactReader::EntityPair(std::int32_t Code, std::string_view Value) {
  if (Code == 0) {
    Close();
    Open(Value);
    return;
  }
  // What a record takes as text, it holds in code page 932, so that block
  // names match as the drawing wrote them.
  if (text_.Converting() && open_ != TKind::None && IsTextGroup(Code)) Value = text_.Cp932(Value);
  if ((Code == 210 || Code == 220 || Code == 230) && open_ != TKind::None) {
    (Code == 210 ? normal_.X : Code == 220 ? normal_.Y : normal_.Z) = ConvertRealFast(Value);
    return;
  }
  switch (open_) {
    case TKind::None:
      return;
    case TKind::Line:
      dxf_fields::AssignLinePair(Lines[static_cast<std::size_t>(LineCount) - 1], Code, Value);
      return;
    case TKind::Arc:
      dxf_fields::AssignArcPair(Arcs[static_cast<std::size_t>(ArcCount) - 1], Code, Value);
      return;
    case TKind::Circle:
      dxf_fields::AssignCirclePair(Circles[static_cast<std::size_t>(CircleCount) - 1], Code, Value);
      return;
    case TKind::Ellipse: {
      TEllipseRec& r = Ellipses[static_cast<std::size_t>(EllipseCount) - 1];
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
          AssignRowKey(r, Code, Value);
          break;
      }
      return;
    }
    case TKind::Spline: {
      TSplineRec& r = Splines[static_cast<std::size_t>(SplineCount) - 1];
      switch (Code) {
        case 71:
          r.Degree = ConvertInteger(Value);
          break;
        case 40:
          SplineKnots.Push() = ConvertRealFast(Value);
          ++r.KnotCount;
          break;
        case 41:
          SplineWeights.Push() = ConvertRealFast(Value);
          ++r.WeightCount;
          break;
        case 10:
          // Control points come before fit points; a late one is not taken.
          if (r.FitCount == 0) {
            SplinePoints.Push().X = ConvertRealFast(Value);
            ++r.ControlCount;
          }
          break;
        case 20:
          if (r.FitCount == 0 && r.ControlCount > 0) SplinePoints[SplinePoints.Length() - 1].Y = ConvertRealFast(Value);
          break;
        case 11:
          SplinePoints.Push().X = ConvertRealFast(Value);
          ++r.FitCount;
          break;
        case 21:
          if (r.FitCount > 0) SplinePoints[SplinePoints.Length() - 1].Y = ConvertRealFast(Value);
          break;
        default:
          AssignRowKey(r, Code, Value);
          break;
      }
      return;
    }
    case TKind::Polyline:
      if (Code == 30)
        elevation_ = ConvertRealFast(Value);
      else
        dxf_fields::AssignPolylinePair(Polys[static_cast<std::size_t>(PolyCount) - 1], Code, Value);
      return;
    case TKind::Vertex: {
      TPolyRec& r = Polys[static_cast<std::size_t>(PolyCount) - 1];
      switch (Code) {
        case 10:
          if (vertexHasPoint_) return;  // one point per vertex
          vertexHasPoint_ = true;
          if (r.VertexCount == 0) r.FirstVertex = static_cast<std::int64_t>(PolyVertices.Length());
          PolyVertices.Push().X = ConvertRealFast(Value);
          PolyVertexFlagSlots.Push() = vertexFlags_;
          PolyBulges.Push();
          ++r.VertexCount;
          break;
        // Before the first group 10 there is no vertex to write into; the
        // value is converted all the same, so that a bad one is an error.
        case 20: {
          const double y = ConvertRealFast(Value);
          if (vertexHasPoint_) PolyVertex(r, r.VertexCount).Y = y;
          break;
        }
        case 42:
          if (vertexHasPoint_) PolyBulges[PolyBulges.Length() - 1] = ConvertRealFast(Value);
          break;
        case 70:
          vertexFlags_ = ConvertInteger(Value);
          if (vertexHasPoint_) PolyVertexFlags(r, r.VertexCount) = vertexFlags_;
          break;
      }
      return;
    }
    case TKind::LwPolyline: {
      TPolyRec& r = Polys[static_cast<std::size_t>(PolyCount) - 1];
      switch (Code) {
        case 10:
          if (r.VertexCount == std::numeric_limits<std::int32_t>::max()) return;
          if (r.VertexCount == 0) r.FirstVertex = static_cast<std::int64_t>(PolyVertices.Length());
          PolyVertices.Push().X = ConvertRealFast(Value);
          PolyVertexFlagSlots.Push();
          PolyBulges.Push();
          ++r.VertexCount;
          break;
        case 20: {
          const double y = ConvertRealFast(Value);
          if (r.VertexCount > 0) PolyVertex(r, r.VertexCount).Y = y;
          break;
        }
        case 42:
          if (r.VertexCount > 0) PolyBulges[PolyBulges.Length() - 1] = ConvertRealFast(Value);
          break;
        case 70:
          r.Flags = ConvertInteger(Value);
          break;
        case 38:
          elevation_ = ConvertRealFast(Value);
          break;
        default:
          AssignRowKey(r, Code, Value);
          break;
      }
      return;
    }
    case TKind::Insert: {
      TInsert& r = insert_;
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
          AssignRowKey(r.Key, Code, Value);
          break;
      }
      return;
    }
    case TKind::Block: {
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
}

void TExactReader::Open(std::string_view Type) {
  normal_ = {0, 0, 1};
  elevation_ = majorZ_ = 0;
  if (polyActive_ && Type != "VERTEX") FinishPolyline();
  const bool inBlock = section_ == TSection::Blocks && currentBlock_ >= 0;
  if (section_ == TSection::Blocks) {
    if (Type == "BLOCK") {
      block_ = TBlock{};
      open_ = TKind::Block;
      return;
    }
    if (Type == "ENDBLK") {
      if (inBlock) {
        TBlock& b = blocks_[static_cast<std::size_t>(currentBlock_)];
        b.Line[1] = LineCount, b.Arc[1] = ArcCount, b.Circle[1] = CircleCount;
        b.Ellipse[1] = EllipseCount, b.Spline[1] = SplineCount, b.Poly[1] = PolyCount;
        b.Insert[1] = inserts_.size();
      }
      currentBlock_ = -1;
      return;
    }
    if (!inBlock) return;
  }
  if (Type == "VERTEX") {
    if (polyActive_) {
      open_ = TKind::Vertex;
      vertexFlags_ = 0;
      vertexHasPoint_ = false;
    }
    return;
  }
  if (Type == "SEQEND") return;
  openType_ = TypeIndex(Type);
  tallyOpen_ = true;
  if (Type == "LINE") {
    TakeRecord(Lines, LineCount);
    open_ = TKind::Line;
  } else if (Type == "ARC") {
    TakeRecord(Arcs, ArcCount);
    open_ = TKind::Arc;
  } else if (Type == "CIRCLE") {
    TakeRecord(Circles, CircleCount);
    open_ = TKind::Circle;
  } else if (Type == "ELLIPSE") {
    TakeRecord(Ellipses, EllipseCount).EndParam = kTwoPi;
    ratio_ = 1;
    open_ = TKind::Ellipse;
  } else if (Type == "SPLINE") {
    TSplineRec& r = TakeRecord(Splines, SplineCount);
    r.FirstControl = static_cast<std::int64_t>(SplinePoints.Length());
    r.FirstKnot = static_cast<std::int64_t>(SplineKnots.Length());
    r.FirstWeight = static_cast<std::int64_t>(SplineWeights.Length());
    open_ = TKind::Spline;
  } else if (Type == "POLYLINE") {
    TakeRecord(Polys, PolyCount);
    open_ = TKind::Polyline;
  } else if (Type == "LWPOLYLINE") {
    TakeRecord(Polys, PolyCount);
    open_ = TKind::LwPolyline;
  } else if (Type == "INSERT") {
    insert_ = TInsert{};
    tallyOpen_ = false;  // counted where it is expanded
    open_ = TKind::Insert;
  } else {
    Count(false);
    open_ = TKind::None;
  }
}

// Mirrors the vertices of a plane polyline drawn with the extrusion (0,0,-1).
void FlipPolyline(TPolyRec& R) {
  for (std::int32_t k = 1; k <= R.VertexCount; ++k) {
    PolyVertex(R, k).X = -PolyVertex(R, k).X;
    PolyBulges[static_cast<std::size_t>(R.FirstVertex + k - 1)] = -PolyBulge(R, k);
  }
}

void DropPolyline() {
  TPolyRec& r = Polys[static_cast<std::size_t>(PolyCount) - 1];
  if (r.VertexCount > 0) {
    PolyVertices.Shrink(static_cast<std::size_t>(r.FirstVertex));
    PolyVertexFlagSlots.Shrink(static_cast<std::size_t>(r.FirstVertex));
    PolyBulges.Shrink(static_cast<std::size_t>(r.FirstVertex));
  }
  r = TPolyRec{};
  --PolyCount;
}

void TExactReader::FinishPolyline() {
  polyActive_ = false;
  if (polyDropped_) {
    DropPolyline();
    Count(false);
    return;
  }
  TPolyRec& r = Polys[static_cast<std::size_t>(PolyCount) - 1];
  // A 3D polyline is drawn in the drawing's own coordinates.
  if (!(r.Flags & kPolyline3d)) {
    if (IsTilted(polyNormal_))
      PlacePolylineInPlan(OcsPlacement(polyNormal_, polyElevation_), r);
    else if (IsFlipped(polyNormal_))
      FlipPolyline(r);
  }
  Count(true);
}

void TExactReader::Close() {
  const TKind kind = open_;
  open_ = TKind::None;
  switch (kind) {
    case TKind::None:
      return;
    case TKind::Line:
      Count(true);
      return;
    case TKind::Arc: {
      TArcRec& r = Arcs[static_cast<std::size_t>(ArcCount) - 1];
      if (IsTilted(normal_)) {
        double sweep = r.EndAngle - r.StartAngle;
        if (sweep < 0) sweep += 360;
        PlaceArcInPlan(OcsPlacement(normal_, r.CZ), r.StartAngle, sweep, r);
      } else if (IsFlipped(normal_)) {
        const double start = r.StartAngle;
        r.CX = -r.CX;
        r.StartAngle = 180 - r.EndAngle;
        r.EndAngle = 180 - start;
      }
      Count(true);
      return;
    }
    case TKind::Circle: {
      TCircleRec& r = Circles[static_cast<std::size_t>(CircleCount) - 1];
      if (IsTilted(normal_))
        PlaceCircleInPlan(OcsPlacement(normal_, r.CZ), r);
      else if (IsFlipped(normal_))
        r.CX *= -1;
      Count(true);
      return;
    }
    case TKind::Ellipse: {
      TEllipseRec& r = Ellipses[static_cast<std::size_t>(EllipseCount) - 1];
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
        const double s = IsFlipped(normal_) ? -ratio_ : ratio_;
        r.MinorX = -s * r.MajorY;
        r.MinorY = s * r.MajorX;
      }
      if (r.EndParam < r.StartParam) r.EndParam += kTwoPi * std::ceil((r.StartParam - r.EndParam) / kTwoPi);
      Count(true);
      return;
    }
    case TKind::Spline: {
      TSplineRec& r = Splines[static_cast<std::size_t>(SplineCount) - 1];
      // A spline whose data do not form a curve is not measured.
      bool usable =
          r.ControlCount > 0 ? r.Degree >= 1 && r.KnotCount == r.ControlCount + r.Degree + 1 : r.FitCount >= 2;
      for (std::int32_t i = 1; usable && r.ControlCount > 0 && i < r.KnotCount; ++i)
        usable = SplineKnots[static_cast<std::size_t>(r.FirstKnot + i)] >=
                 SplineKnots[static_cast<std::size_t>(r.FirstKnot + i - 1)];
      if (r.WeightCount != r.ControlCount) r.WeightCount = 0;  // weights only with one per control point
      for (std::int32_t i = 0; usable && i < r.WeightCount; ++i)
        usable = SplineWeights[static_cast<std::size_t>(r.FirstWeight + i)] > 0;
      if (!usable && r.FitCount >= 2) {
        // The fit points still give the curve.
        usable = true;
        r.ControlCount = 0;
      }
      if (!usable) {
        SplinePoints.Shrink(static_cast<std::size_t>(r.FirstControl));
        SplineKnots.Shrink(static_cast<std::size_t>(r.FirstKnot));
        SplineWeights.Shrink(static_cast<std::size_t>(r.FirstWeight));
        r = TSplineRec{};
        --SplineCount;
      }
      Count(usable);
      return;
    }
    case TKind::Polyline: {
      const std::int32_t flags = Polys[static_cast<std::size_t>(PolyCount) - 1].Flags;
      polyActive_ = true;
      polyDropped_ = (flags & (kPolygonMesh | kPolyfaceMesh)) != 0;
      // The header's extrusion and height hold for its vertices: kept until
      // the end.
      polyNormal_ = normal_;
      polyElevation_ = elevation_;
      return;
    }
    case TKind::Vertex: {
      // Spline-frame control points are not on the curve.
      TPolyRec& r = Polys[static_cast<std::size_t>(PolyCount) - 1];
      if (vertexHasPoint_ && (vertexFlags_ & kSplineFrameVertex)) {
        --r.VertexCount;
        PolyVertices.Shrink(PolyVertices.Length() - 1);
        PolyVertexFlagSlots.Shrink(PolyVertexFlagSlots.Length() - 1);
        PolyBulges.Shrink(PolyBulges.Length() - 1);
      }
      return;
    }
    case TKind::LwPolyline: {
      TPolyRec& r = Polys[static_cast<std::size_t>(PolyCount) - 1];
      if (IsTilted(normal_))
        PlacePolylineInPlan(OcsPlacement(normal_, elevation_), r);
      else if (IsFlipped(normal_))
        FlipPolyline(r);
      Count(true);
      return;
    }
    case TKind::Insert: {
      if (section_ == TSection::Entities || currentBlock_ >= 0) {
        insert_.Normal = normal_;
        insert_.Owner = section_ == TSection::Entities ? -1 : currentBlock_;
        inserts_.push_back(std::move(insert_));
      }
      return;
    }
    case TKind::Block: {
      TBlock b = std::move(block_);
      b.Line[0] = LineCount, b.Arc[0] = ArcCount, b.Circle[0] = CircleCount;
      b.Ellipse[0] = EllipseCount, b.Spline[0] = SplineCount, b.Poly[0] = PolyCount;
      b.Insert[0] = inserts_.size();
      b.Line[1] = b.Line[0], b.Arc[1] = b.Arc[0], b.Circle[1] = b.Circle[0];
      b.Ellipse[1] = b.Ellipse[0], b.Spline[1] = b.Spline[0], b.Poly[1] = b.Poly[0];
      b.Insert[1] = b.Insert[0];
      blocks_.push_back(std::move(b));
      currentBlock_ = static_cast<std::int32_t>(blocks_.size() - 1);
      return;
    }
  }
}

TBlock* TExactReader::FindBlock(const std::string& Name) {
  const auto found = blockIndex_.find(Name);
  return found == blockIndex_.end() ? nullptr : &blocks_[found->second];
}

std::int64_t Cells(const TInsert& Insert) {
  return static_cast<std::int64_t>(Insert.Columns > 1 ? Insert.Columns : 1) * (Insert.Rows > 1 ? Insert.Rows : 1);
}

// The entities one reference to Block places, nested references included;
// a reference that leads back into itself or too deep counts nothing.
std::int64_t TExactReader::BlockSize(TBlock& Block, int Depth) {
  if (Block.Size >= 0) return Block.Size;
  if (Block.Sizing || Depth > kMaxDepth) return 0;
  Block.Sizing = true;
  std::int64_t size = (Block.Line[1] - Block.Line[0]) + (Block.Arc[1] - Block.Arc[0]) +
                      (Block.Circle[1] - Block.Circle[0]) + (Block.Ellipse[1] - Block.Ellipse[0]) +
                      (Block.Spline[1] - Block.Spline[0]) + (Block.Poly[1] - Block.Poly[0]);
  for (std::size_t i = Block.Insert[0]; i < Block.Insert[1]; ++i) {
    const TInsert nested = inserts_[i];
    TBlock* child = FindBlock(nested.Block);
    if (!child) continue;
    const std::int64_t childSize = BlockSize(*child, Depth + 1);
    if (childSize > 0 && Cells(nested) > (kMaxPlaced + 1) / childSize) {
      size = kMaxPlaced + 1;
      break;
    }
    size += Cells(nested) * childSize;
    if (size > kMaxPlaced) break;
  }
  Block.Sizing = false;
  Block.Size = size > kMaxPlaced ? kMaxPlaced + 1 : size;
  return Block.Size;
}

// Places every cell of one reference. OuterKey is null for a reference of the
// drawing itself, else the row key that the enclosing reference hands down.
void TExactReader::ExpandInsert(const TInsert& Insert, const TPlacement& Outer, const TRowKey* OuterKey, int Depth) {
  const std::size_t type = TypeIndex("INSERT");
  TBlock* block = FindBlock(Insert.Block);
  // A missing block, a block that refers to itself, nesting beyond reason and
  // more entities than one reading places are not measured.
  if (!block || block->Placing || Depth >= kMaxDepth) {
    Tally(type, false);
    return;
  }
  if (!OuterKey) {
    // What a reference of the drawing places, nested references included,
    // is placed whole or not at all.
    const std::int64_t cells = Cells(Insert);
    const std::int64_t size = BlockSize(*block, Depth);
    if (size > 0 && (cells > kMaxPlaced / size || placed_ + cells * size > kMaxPlaced)) {
      Tally(type, false);
      return;
    }
    placed_ += cells * size;
  }
  Tally(type, true);
  TRowKey key = Insert.Key;
  if (OuterKey) Inherit(key, *OuterKey);
  const std::int32_t columns = Insert.Columns > 1 ? Insert.Columns : 1;
  const std::int32_t rows = Insert.Rows > 1 ? Insert.Rows : 1;
  for (std::int32_t row = 0; row < rows; ++row) {
    for (std::int32_t column = 0; column < columns; ++column) {
      const TPoint2 cell{column * Insert.ColumnSpacing, row * Insert.RowSpacing};
      // Within its own plane, then that plane seen from above.
      const TPlacement inPlane = InsertPlacement(block->Base, Insert.At, Insert.ScaleX, Insert.ScaleY, Insert.Rotation,
                                                 cell, IsFlipped(Insert.Normal));
      const TPlacement own =
          IsTilted(Insert.Normal) ? Compose(OcsPlacement(Insert.Normal, Insert.Z), inPlane) : inPlane;
      PlaceBlock(*block, Compose(Outer, own), key, Depth + 1);
    }
  }
}

void TExactReader::PlaceBlock(TBlock& Block, const TPlacement& Placement, const TRowKey& Key, int Depth) {
  const TLinear2& m = Placement.Linear;
  const bool similar = IsSimilarity(m);
  const double det = Determinant(m);
  const double scale = std::sqrt(std::fabs(det));
  for (const TTypeCount& c : Block.Counts) {
    Tally(c.Type, true, c.Measured);
    Tally(c.Type, false, c.NotMeasured);
  }
  for (std::int32_t i = Block.Line[0]; i < Block.Line[1]; ++i) {
    TLineRec r = Lines[static_cast<std::size_t>(i)];
    const TPoint2 a = Apply(Placement, {r.X1, r.Y1}), b = Apply(Placement, {r.X2, r.Y2});
    r.X1 = a.X, r.Y1 = a.Y, r.X2 = b.X, r.Y2 = b.Y;
    Inherit(r, Key);
    TakeRecord(Lines, LineCount) = r;
  }
  for (std::int32_t i = Block.Circle[0]; i < Block.Circle[1]; ++i) {
    TCircleRec r = Circles[static_cast<std::size_t>(i)];
    Inherit(r, Key);
    if (!similar) {
      AddPlacedEllipse(Placement, r.CX, r.CY, r.CZ, r.Radius, 0, 360, r.Layer, r.Color, r.LineType);
      continue;
    }
    const TPoint2 c = Apply(Placement, {r.CX, r.CY});
    r.CX = c.X, r.CY = c.Y, r.Radius *= scale;
    TakeRecord(Circles, CircleCount) = r;
  }
  for (std::int32_t i = Block.Arc[0]; i < Block.Arc[1]; ++i) {
    TArcRec r = Arcs[static_cast<std::size_t>(i)];
    Inherit(r, Key);
    double sweep = r.EndAngle - r.StartAngle;
    if (sweep < 0) sweep += 360;
    if (!similar) {
      AddPlacedEllipse(Placement, r.CX, r.CY, r.CZ, r.Radius, r.StartAngle, sweep, r.Layer, r.Color, r.LineType);
      continue;
    }
    const TPoint2 c = Apply(Placement, {r.CX, r.CY});
    r.CX = c.X, r.CY = c.Y, r.Radius *= scale;
    // A mirror runs the arc the other way: its new start is the image of its end.
    const double start = MappedAngle(m, det < 0 ? r.EndAngle : r.StartAngle);
    r.StartAngle = start;
    r.EndAngle = start + sweep;
    TakeRecord(Arcs, ArcCount) = r;
  }
  for (std::int32_t i = Block.Ellipse[0]; i < Block.Ellipse[1]; ++i) {
    TEllipseRec r = Ellipses[static_cast<std::size_t>(i)];
    Inherit(r, Key);
    const TPoint2 c = Apply(Placement, {r.CX, r.CY});
    const TPoint2 u = ApplyLinear(m, {r.MajorX, r.MajorY}), v = ApplyLinear(m, {r.MinorX, r.MinorY});
    r.CX = c.X, r.CY = c.Y, r.MajorX = u.X, r.MajorY = u.Y, r.MinorX = v.X, r.MinorY = v.Y;
    TakeRecord(Ellipses, EllipseCount) = r;
  }
  for (std::int32_t i = Block.Spline[0]; i < Block.Spline[1]; ++i) {
    TSplineRec r = Splines[static_cast<std::size_t>(i)];
    Inherit(r, Key);
    const std::int64_t first = static_cast<std::int64_t>(SplinePoints.Length());
    for (std::int32_t k = 0; k < r.ControlCount + r.FitCount; ++k) {
      const TVertex p = SplinePoints[static_cast<std::size_t>(r.FirstControl + k)];
      const TPoint2 q = Apply(Placement, {p.X, p.Y});
      SplinePoints.Push() = {q.X, q.Y};
    }
    r.FirstControl = first;  // knots and weights do not change
    TakeRecord(Splines, SplineCount) = r;
  }
  for (std::int32_t i = Block.Poly[0]; i < Block.Poly[1]; ++i) {
    TPolyRec r = Polys[static_cast<std::size_t>(i)];
    Inherit(r, Key);
    const std::int64_t first = static_cast<std::int64_t>(PolyVertices.Length());
    bool bulges = false;
    for (std::int32_t k = 1; k <= r.VertexCount; ++k) {
      const std::size_t at = static_cast<std::size_t>(r.FirstVertex + k - 1);
      const TVertex p = PolyVertices[at];
      const std::int32_t flags = PolyVertexFlagSlots[at];
      const double bulge = PolyBulges[at];
      const TPoint2 q = Apply(Placement, {p.X, p.Y});
      PolyVertices.Push() = {q.X, q.Y};
      PolyVertexFlagSlots.Push() = flags;
      PolyBulges.Push() = det < 0 ? -bulge : bulge;
      bulges = bulges || bulge != 0;
    }
    r.FirstVertex = first;
    // A polyline drawn in a plane of its own was mapped to the block's plan
    // already: the two maps one after the other.
    const TLinear2 own =
        r.Placement > 0 ? PolyPlacements[static_cast<std::size_t>(r.Placement - 1)] : kIdentityPlacement.Linear;
    const TLinear2 total = Compose({m, 0, 0}, {own, 0, 0}).Linear;
    r.Placement = 0;
    if (bulges && !IsSimilarity(total)) {
      PolyPlacements.Push() = total;
      r.Placement = static_cast<std::int32_t>(PolyPlacements.Length());
    }
    TakeRecord(Polys, PolyCount) = r;
  }
  Block.Placing = true;
  for (std::size_t i = Block.Insert[0]; i < Block.Insert[1]; ++i) {
    const TInsert nested = inserts_[i];
    ExpandInsert(nested, Placement, &Key, Depth);
  }
  Block.Placing = false;
}

// Moves records From .. Count - 1 of a table to 0 .. Count - From - 1.
template <class TRec>
void DropFront(TTable<TRec>& Table, std::int32_t& Count, std::int32_t From) {
  if (From <= 0) return;
  for (std::int32_t i = From; i < Count; ++i)
    Table[static_cast<std::size_t>(i - From)] = Table[static_cast<std::size_t>(i)];
  for (std::int32_t i = Count - From; i < Count; ++i) Table[static_cast<std::size_t>(i)] = TRec{};
  Count -= From;
}

void TExactReader::Finish() {
  Close();
  if (polyActive_) FinishPolyline();
  if (section_ != TSection::Entities) {
    // No ENTITIES section: nothing of the blocks is drawn.
    ownLine_ = LineCount, ownArc_ = ArcCount, ownCircle_ = CircleCount;
    ownEllipse_ = EllipseCount, ownSpline_ = SplineCount, ownPoly_ = PolyCount;
  }
  for (std::size_t i = 0; i < blocks_.size(); ++i) blockIndex_.emplace(blocks_[i].Name, i);
  const std::size_t inserts = inserts_.size();
  for (std::size_t i = 0; i < inserts; ++i) {
    if (inserts_[i].Owner != -1) continue;
    const TInsert insert = inserts_[i];
    ExpandInsert(insert, kIdentityPlacement, nullptr, 0);
  }
  DropFront(Lines, LineCount, ownLine_);
  DropFront(Arcs, ArcCount, ownArc_);
  DropFront(Circles, CircleCount, ownCircle_);
  DropFront(Ellipses, EllipseCount, ownEllipse_);
  DropFront(Splines, SplineCount, ownSpline_);
  DropFront(Polys, PolyCount, ownPoly_);
  std::erase_if(EntityTallies, [](const TEntityTally& t) { return t.Measured == 0 && t.NotMeasured == 0; });
}

void ResetCounts() {
  LineCount = ArcCount = CircleCount = PolyCount = TextCount = 0;
  EllipseCount = SplineCount = 0;
}

}  // namespace

void ReadDxfExact(const std::string& Path) {
  ResetCounts();
  EntityTallies.clear();
  errno = 0;
  TFilePtr file(std::fopen(Path.c_str(), "rb"));
  if (!file) {
    if (errno != ENOENT && errno != ENOTDIR) throw CannotReadError(Path);
    Lines.Shrink(0);
    return;
  }
  Lines.Reset(TablesGrowStep);
  Arcs.Reset(TablesGrowStep);
  Circles.Reset(TablesGrowStep);
  Polys.Reset(TablesGrowStep);
  Ellipses.Reset(TablesGrowStep);
  Splines.Reset(TablesGrowStep);
  Texts.Reset(0);
  PolyVertices.Reset(0);
  PolyVertexFlagSlots.Reset(0);
  PolyBulges.Reset(0);
  PolyPlacements.Reset(0);
  SplinePoints.Reset(0);
  SplineKnots.Reset(0);
  SplineWeights.Reset(0);

  TExactReader reader;
  try {
    SkipFileStart(file.get(), Path);
    auto pair = [&reader](std::int32_t Code, std::string_view Value) { return reader.Pair(Code, Value); };
    ScanPairs(file.get(), Path, [&pair](const TPairChunk& Chunk) { return ForEachPair(Chunk, pair); });
  } catch (const TFileError&) {
    ResetCounts();
    throw;
  }
  reader.Finish();
  Lines.Shrink(static_cast<std::size_t>(LineCount));
}

void TallyEntityTypes(const std::string& Path) {
  EntityTallies.clear();
  errno = 0;
  TFilePtr file(std::fopen(Path.c_str(), "rb"));
  if (!file) {
    if (errno != ENOENT && errno != ENOTDIR) throw CannotReadError(Path);
    return;
  }
  bool inEntities = false, afterSection = false;
  auto pair = [&](std::int32_t Code, std::string_view Value) {
    if (inEntities && Code == 0) {
      if (Value == "ENDSEC") return false;
      if (Value != "VERTEX" && Value != "SEQEND") {
        const bool measured =
            Value == "LINE" || Value == "ARC" || Value == "CIRCLE" || Value == "POLYLINE" || Value == "LWPOLYLINE";
        Tally(TypeIndex(Value), measured);
      }
    }
    if (Code == 2 && afterSection && Value == "ENTITIES") inEntities = true;
    afterSection = Code == 0 && Value == "SECTION";
    return true;
  };
  SkipFileStart(file.get(), Path);
  ScanPairs(file.get(), Path, [&pair](const TPairChunk& Chunk) { return ForEachPair(Chunk, pair); });
}
