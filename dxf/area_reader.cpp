#include "dxf/area_reader.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "dxf/block_references.h"
#include "dxf/conversions.h"
#include "dxf/entity_fields.h"
#include "dxf/plan_placement.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;
constexpr double kRadian = kPi / 180;

// POLYLINE flags [70]: those that make no plane outline; VERTEX flags [70].
constexpr std::int32_t kClosed = 1;
constexpr std::int32_t kNotPlane = 8 | 16 | 64;  // 3D polyline, polygon mesh, polyface mesh
constexpr std::int32_t kSplineFrameVertex = 16;

// Whether the last vertex of an open polyline lies on its first, so that
// it closes all the same: within a billionth of its extent.
bool EndsOnStart(const std::vector<TPoint2>& Vertices) {
  double minX = Vertices[0].X, maxX = minX, minY = Vertices[0].Y, maxY = minY;
  for (const TPoint2& v : Vertices) {
    minX = std::min(minX, v.X), maxX = std::max(maxX, v.X), minY = std::min(minY, v.Y), maxY = std::max(maxY, v.Y);
  }
  const double tolerance = 1e-9 * std::max({1.0, maxX - minX, maxY - minY});
  const TPoint2 a = Vertices.front(), b = Vertices.back();
  return std::fabs(a.X - b.X) <= tolerance && std::fabs(a.Y - b.Y) <= tolerance;
}

// The loop of a polyline: one piece per vertex, the last back to the first.
std::vector<TAreaEdge> PolylineLoop(const std::vector<TPoint2>& Vertices, const std::vector<double>& Bulges,
                                    bool LastBulge) {
  std::vector<TAreaEdge> loop;
  for (std::size_t i = 0; i < Vertices.size(); ++i) {
    TAreaEdge e;
    e.Kind = TAreaEdge::TKind::Bulge;
    e.P = Vertices[i];
    e.Q = Vertices[(i + 1) % Vertices.size()];
    e.Bulge = i + 1 < Vertices.size() || LastBulge ? Bulges[i] : 0;
    loop.push_back(e);
  }
  return loop;
}

// The sweep of a hatch's arc edge in degrees, in (0, 360]: a start and an
// end angle equal, or a full turn apart, make a whole circle.
double EdgeSweep(double Start, double End) {
  if (End - Start >= 360) return 360;
  double sweep = std::fmod(End - Start, 360.0);
  if (sweep <= 0) sweep += 360;
  return sweep;
}

// The parameter of the point of an ellipse at Angle (radians, from the
// major axis) for a ratio of axes Ratio.
double AngleToParam(double Angle, double Ratio) { return std::atan2(std::sin(Angle) / Ratio, std::cos(Angle)); }

}  // namespace

void TAreaReader::Open(std::string_view Kind, std::int32_t Owner) {
  if (open_ == TOpen::Vertex || (polyActive_ && open_ == TOpen::Polyline)) {
    if (Kind == "VERTEX") {
      if (open_ == TOpen::Vertex) VertexPair(0, {});
      open_ = TOpen::Vertex;
      vertex_ = {0, 0}, vertexBulge_ = 0, vertexFlags_ = 0, vertexHasPoint_ = false;
      return;
    }
    if (open_ == TOpen::Vertex) VertexPair(0, {});
  }
  Finish();
  owner_ = Owner;
  if (Owner < -1) return;
  TOpen kind = TOpen::None;
  if (Kind == "LWPOLYLINE")
    kind = TOpen::LwPolyline;
  else if (Kind == "POLYLINE")
    kind = TOpen::Polyline;
  else if (Kind == "CIRCLE")
    kind = TOpen::Circle;
  else if (Kind == "ELLIPSE")
    kind = TOpen::Ellipse;
  else if (Kind == "SPLINE")
    kind = TOpen::Spline;
  else if (Kind == "HATCH")
    kind = TOpen::Hatch;
  if (kind == TOpen::None) return;
  open_ = kind;
  key_ = TRowKey{};
  normal_ = {0, 0, 1};
  vertices_.clear();
  bulges_.clear();
  flags_ = 0;
  polyActive_ = kind == TOpen::Polyline;
  center_ = {0, 0};
  radius_ = 0;
  major_ = {1, 0, 0};
  startParam_ = 0, endParam_ = kTwoPi;
  boundary_ = TAreaBoundary{};
  fitPoints_ = 0;
  hasFirst_ = false;
  part_ = THatchPart::Head;
  style_ = 0;
  unmeasurable_ = false;
  edgeType_ = 0;
}

void TAreaReader::End() {
  if (open_ == TOpen::Vertex) VertexPair(0, {});
  Finish();
  open_ = TOpen::None;
}

void TAreaReader::Pair(std::int32_t Code, std::string_view Value) {
  if (open_ == TOpen::None || Code >= 1000) return;
  if (open_ == TOpen::Vertex) {
    VertexPair(Code, Value);
    return;
  }
  if (Code == 210 || Code == 220 || Code == 230) {
    (Code == 210 ? normal_.X : Code == 220 ? normal_.Y : normal_.Z) = ConvertRealFast(Value);
    return;
  }
  if (dxf_fields::AssignRowKey(d_, key_, Code, Value)) return;
  switch (open_) {
    case TOpen::LwPolyline:
      if (Code == 10) {
        vertices_.push_back({ConvertRealFast(Value), 0});
        bulges_.push_back(0);
      } else if (Code == 20 && !vertices_.empty()) {
        vertices_.back().Y = ConvertRealFast(Value);
      } else if (Code == 42 && !vertices_.empty()) {
        bulges_.back() = ConvertRealFast(Value);
      } else if (Code == 70) {
        flags_ = ConvertInteger(Value);
      }
      return;
    case TOpen::Polyline:
      if (Code == 70) flags_ = ConvertInteger(Value);
      return;
    case TOpen::Circle:
    case TOpen::Ellipse:
      switch (Code) {
        case 10:
          center_.X = ConvertRealFast(Value);
          return;
        case 20:
          center_.Y = ConvertRealFast(Value);
          return;
        case 40:
          radius_ = ConvertRealFast(Value);
          return;
        case 11:
          major_.X = ConvertRealFast(Value);
          return;
        case 21:
          major_.Y = ConvertRealFast(Value);
          return;
        case 31:
          major_.Z = ConvertRealFast(Value);
          return;
        case 41:
          startParam_ = ConvertRealFast(Value);
          return;
        case 42:
          endParam_ = ConvertRealFast(Value);
          return;
      }
      return;
    case TOpen::Spline: {
      if (boundary_.Splines.empty()) boundary_.Splines.emplace_back();
      TAreaSpline& s = boundary_.Splines.back();
      switch (Code) {
        case 70:
          flags_ = ConvertInteger(Value);
          return;
        case 71:
          s.Degree = ConvertInteger(Value);
          return;
        case 40:
          s.Knots.push_back(ConvertRealFast(Value));
          return;
        case 41:
          s.Weights.push_back(ConvertRealFast(Value));
          return;
        case 10:
          if (fitPoints_ == 0) s.Control.push_back({ConvertRealFast(Value), 0});
          return;
        case 20:
          if (fitPoints_ == 0 && !s.Control.empty()) s.Control.back().Y = ConvertRealFast(Value);
          return;
        case 11:
          ++fitPoints_;
          return;
      }
      return;
    }
    case TOpen::Hatch:
      HatchPair(Code, Value);
      return;
    default:
      return;
  }
}

// The pairs of a VERTEX; Code 0 ends it: its point joins the polyline unless
// it is a spline frame's control point, which the curve does not pass.
void TAreaReader::VertexPair(std::int32_t Code, std::string_view Value) {
  switch (Code) {
    case 0:
      if (vertexHasPoint_ && !(vertexFlags_ & kSplineFrameVertex)) {
        vertices_.push_back(vertex_);
        bulges_.push_back(vertexBulge_);
      }
      vertexHasPoint_ = false;
      return;
    case 10:
      vertex_.X = ConvertRealFast(Value);
      vertexHasPoint_ = true;
      return;
    case 20:
      vertex_.Y = ConvertRealFast(Value);
      return;
    case 42:
      vertexBulge_ = ConvertRealFast(Value);
      return;
    case 70:
      vertexFlags_ = ConvertInteger(Value);
      return;
  }
}

// A hatch: its head up to the count of boundary paths [91], the paths
// (each starting with its flags [92]), then from the style [75] on the
// pattern and seed points, which hold no boundary.
void TAreaReader::HatchPair(std::int32_t Code, std::string_view Value) {
  if (Code == 75) {
    style_ = ConvertInteger(Value);
    ClosePolylinePath();
    part_ = THatchPart::Tail;
    return;
  }
  if (part_ == THatchPart::Tail) return;
  if (Code == 92) {
    const std::int32_t flags = ConvertInteger(Value);
    ClosePolylinePath();
    part_ = (flags & 2) ? THatchPart::PolylinePath : THatchPart::EdgePath;
    boundary_.Loops.emplace_back();
    vertices_.clear();
    bulges_.clear();
    pathBulges_ = pathClosed_ = false;
    edgeType_ = 0;
    return;
  }
  if (part_ == THatchPart::PolylinePath) {
    switch (Code) {
      case 72:
        pathBulges_ = ConvertInteger(Value) != 0;
        return;
      case 73:
        pathClosed_ = ConvertInteger(Value) != 0;
        return;
      case 10:
        vertices_.push_back({ConvertRealFast(Value), 0});
        bulges_.push_back(0);
        return;
      case 20:
        if (vertices_.empty()) return;
        vertices_.back().Y = ConvertRealFast(Value);
        if (!hasFirst_) first_ = vertices_.back(), hasFirst_ = true;
        return;
      case 42:
        if (!vertices_.empty()) bulges_.back() = ConvertRealFast(Value);
        return;
    }
    return;
  }
  if (part_ == THatchPart::EdgePath) EdgePair(Code, Value);
}

// A polyline path's vertices become its loop once the path ends; its last
// vertex's bulge counts only in a path marked closed.
void TAreaReader::ClosePolylinePath() {
  if (part_ != THatchPart::PolylinePath || boundary_.Loops.empty()) return;
  if (!vertices_.empty()) boundary_.Loops.back() = PolylineLoop(vertices_, bulges_, pathClosed_);
  vertices_.clear();
  bulges_.clear();
  part_ = THatchPart::Head;
}

// The pairs of an edge path: each edge starts with its type [72].
void TAreaReader::EdgePair(std::int32_t Code, std::string_view Value) {
  std::vector<TAreaEdge>& loop = boundary_.Loops.back();
  if (Code == 72) {
    edgeType_ = ConvertInteger(Value);
    TAreaEdge e;
    edgeStart_ = 0, edgeEnd_ = 360, edgeCcw_ = true, edgeRational_ = false;
    if (edgeType_ == 1) {
      e.Kind = TAreaEdge::TKind::Line;
    } else if (edgeType_ == 2 || edgeType_ == 3) {
      e.Kind = TAreaEdge::TKind::Ellipse;
      e.U = {1, 0};
    } else if (edgeType_ == 4) {
      e.Kind = TAreaEdge::TKind::Spline;
      e.Spline = static_cast<std::int32_t>(boundary_.Splines.size());
      boundary_.Splines.emplace_back();
      fitPoints_ = 0;
    } else {
      unmeasurable_ = true;  // an edge of a kind that has no curve
      edgeType_ = 0;
      return;
    }
    loop.push_back(e);
    return;
  }
  if (edgeType_ == 0 || loop.empty()) return;
  TAreaEdge& e = loop.back();
  const auto notePoint = [this](TPoint2 P) {
    if (!hasFirst_) first_ = P, hasFirst_ = true;
  };
  if (edgeType_ == 1) {
    switch (Code) {
      case 10:
        e.P.X = ConvertRealFast(Value);
        return;
      case 20:
        e.P.Y = ConvertRealFast(Value);
        notePoint(e.P);
        return;
      case 11:
        e.Q.X = ConvertRealFast(Value);
        return;
      case 21:
        e.Q.Y = ConvertRealFast(Value);
        return;
    }
    return;
  }
  if (edgeType_ == 2 || edgeType_ == 3) {
    // Arcs and elliptic arcs: the centre [10, 20], the radius or the ratio
    // of the axes [40], the major axis [11, 21], the angles [50, 51] in
    // degrees and the direction [73]. Clockwise arcs are stored with their
    // angles taken from 360: the arc runs clockwise from -start to -end.
    switch (Code) {
      case 10:
        e.Center.X = ConvertRealFast(Value);
        return;
      case 20:
        e.Center.Y = ConvertRealFast(Value);
        notePoint(e.Center);
        return;
      case 40:
        radius_ = ConvertRealFast(Value);
        break;
      case 11:
        e.U.X = ConvertRealFast(Value);
        break;
      case 21:
        e.U.Y = ConvertRealFast(Value);
        break;
      case 50:
        edgeStart_ = ConvertRealFast(Value);
        break;
      case 51:
        edgeEnd_ = ConvertRealFast(Value);
        break;
      case 73:
        edgeCcw_ = ConvertInteger(Value) != 0;
        break;
      default:
        return;
    }
    // Worked out again after every value, so that the edge is whole after
    // its last one, in whatever order they come.
    const double sweep = EdgeSweep(edgeStart_, edgeEnd_) * (edgeCcw_ ? 1 : -1);
    const double start = edgeCcw_ ? edgeStart_ : -edgeStart_;
    if (edgeType_ == 2) {
      e.U = {radius_, 0};
      e.V = {0, radius_};
      e.T0 = start * kRadian;
      e.T1 = (start + sweep) * kRadian;
    } else {
      // The minor axis is the major one turned a quarter and scaled by the
      // ratio; the angles are those of points on the ellipse, turned into
      // its parameters.
      e.V = {-radius_ * e.U.Y, radius_ * e.U.X};
      const double ratio = radius_ > 0 ? radius_ : 1;
      e.T0 = AngleToParam(start * kRadian, ratio);
      double t1 = AngleToParam((start + sweep) * kRadian, ratio);
      if (std::fabs(sweep) >= 360) {
        t1 = e.T0 + (sweep > 0 ? kTwoPi : -kTwoPi);
      } else if (sweep > 0) {
        while (t1 <= e.T0) t1 += kTwoPi;
      } else {
        while (t1 >= e.T0) t1 -= kTwoPi;
      }
      e.T1 = t1;
    }
    return;
  }
  // A spline edge: degree [94], rational [73], knots [40], control points
  // [10, 20], weights [42], fit points [11, 21].
  TAreaSpline& s = boundary_.Splines[static_cast<std::size_t>(e.Spline)];
  switch (Code) {
    case 94:
      s.Degree = ConvertInteger(Value);
      return;
    case 73:
      edgeRational_ = ConvertInteger(Value) != 0;
      return;
    case 40:
      s.Knots.push_back(ConvertRealFast(Value));
      return;
    case 42:
      s.Weights.push_back(ConvertRealFast(Value));
      return;
    case 10:
      s.Control.push_back({ConvertRealFast(Value), 0});
      return;
    case 20:
      if (!s.Control.empty()) {
        s.Control.back().Y = ConvertRealFast(Value);
        notePoint(s.Control.back());
      }
      return;
  }
}

void TAreaReader::Finish() {
  const TOpen kind = open_;
  open_ = TOpen::None;
  switch (kind) {
    case TOpen::LwPolyline:
    case TOpen::Polyline:
    case TOpen::Vertex:
      FinishPolyline();
      return;
    case TOpen::Circle: {
      // A circle of a negative radius has no area to measure.
      const bool measured = radius_ >= 0 && std::isfinite(radius_);
      AddShape(TAreaKind::Circle, {measured, measured ? kPi * radius_ * radius_ : 0}, center_, true);
      return;
    }
    case TOpen::Ellipse:
      FinishEllipse();
      return;
    case TOpen::Spline:
      FinishSpline();
      return;
    case TOpen::Hatch:
      FinishHatch();
      return;
    case TOpen::None:
      return;
  }
}

// A closed polyline, or an open one that ends where it starts. Not a plane
// outline (3D polyline, meshes): no shape.
void TAreaReader::FinishPolyline() {
  polyActive_ = false;
  if (flags_ & kNotPlane) return;
  bool closed = (flags_ & kClosed) != 0;
  if (!closed && vertices_.size() >= 3 && EndsOnStart(vertices_)) {
    vertices_.pop_back();
    bulges_.pop_back();
    closed = true;
  }
  if (!closed) return;
  if (vertices_.size() < 2) {
    AddShape(TAreaKind::Polyline, {}, vertices_.empty() ? TPoint2{0, 0} : vertices_[0], true);
    return;
  }
  TAreaBoundary boundary;
  boundary.Loops.push_back(PolylineLoop(vertices_, bulges_, true));
  AddShape(TAreaKind::Polyline, EnclosedArea(boundary, TIslands::Alternate), vertices_[0], true);
}

// A full ellipse: its axes as seen from above, the minor one worked out as
// the exact reading does (the major one turned a quarter about the
// extrusion, scaled by the ratio [40]).
void TAreaReader::FinishEllipse() {
  double sweep = endParam_ - startParam_;
  if (sweep < 0) sweep += kTwoPi * std::ceil(-sweep / kTwoPi);
  if (!(std::fabs(sweep - kTwoPi) <= 1e-9 || sweep > kTwoPi)) return;  // an elliptic arc: open
  const double ratio = radius_;
  TPoint2 minor;
  if (IsTilted(normal_)) {
    const double n = std::sqrt(normal_.X * normal_.X + normal_.Y * normal_.Y + normal_.Z * normal_.Z);
    const TVector3 u{normal_.X / n, normal_.Y / n, normal_.Z / n};
    minor = {ratio * (u.Y * major_.Z - u.Z * major_.Y), ratio * (u.Z * major_.X - u.X * major_.Z)};
  } else {
    const double s = normal_.Z < 0 ? -ratio : ratio;
    minor = {-s * major_.Y, s * major_.X};
  }
  const double area = kPi * std::fabs(major_.X * minor.Y - major_.Y * minor.X);
  AddShape(TAreaKind::Ellipse, {std::isfinite(area), area}, center_, false);
}

// A closed spline [70 bit 1], by its control points; one given by fit
// points alone has no curve the file fixes.
void TAreaReader::FinishSpline() {
  if (!(flags_ & kClosed)) return;
  TAreaSpline& s = boundary_.Splines.empty() ? boundary_.Splines.emplace_back() : boundary_.Splines.back();
  if (s.Weights.size() != s.Control.size()) s.Weights.clear();
  const TPoint2 at = s.Control.empty() ? TPoint2{0, 0} : s.Control[0];
  if (s.Control.empty()) {
    AddShape(TAreaKind::Spline, {}, at, false);
    return;
  }
  TAreaEdge e;
  e.Kind = TAreaEdge::TKind::Spline;
  e.Spline = 0;
  boundary_.Loops.assign(1, {e});
  AddShape(TAreaKind::Spline, EnclosedArea(boundary_, TIslands::Alternate), at, false);
}

void TAreaReader::FinishHatch() {
  ClosePolylinePath();
  TAreaBoundary boundary;
  boundary.Splines = std::move(boundary_.Splines);
  for (TAreaSpline& s : boundary.Splines) {
    if (s.Control.empty()) unmeasurable_ = true;  // fit points alone
    if (s.Weights.size() != s.Control.size()) s.Weights.clear();
  }
  boundary.Loops = std::move(boundary_.Loops);
  const TIslands islands = style_ == 1 ? TIslands::Outermost : style_ == 2 ? TIslands::Ignore : TIslands::Alternate;
  const TAreaResult result = unmeasurable_ ? TAreaResult{} : EnclosedArea(boundary, islands);
  AddShape(TAreaKind::Hatch, result, hasFirst_ ? first_ : TPoint2{0, 0}, true);
}

// InPlane: drawn in the plane of its extrusion (a polyline, circle or
// hatch), rather than in the drawing's own coordinates (ellipse, spline).
void TAreaReader::AddShape(TAreaKind Kind, const TAreaResult& Result, TPoint2 At, bool InPlane) {
  TAreaShape shape{};
  shape.Kind = Kind;
  shape.Measured = Result.Measured && std::isfinite(Result.Area);
  shape.Owner = owner_;
  shape.Area = Result.Area;
  shape.At = At;
  shape.Plan = kIdentityPlacement;
  TPlacement storage;
  if (InPlane)
    if (const TPlacement* plan = PlanPlacement(normal_, 0, storage)) shape.Plan = *plan;
  shape.Key = key_;
  d_.AreaShapes.push_back(shape);
}

namespace {

using block_refs::Cells;
using block_refs::kMaxPlaced;

class TAreaPlacer {
 public:
  // One placement costs one for itself and one per shape of its block; a
  // missing block places nothing.
  explicit TAreaPlacer(TDrawing& D)
      : d_(D),
        byBlock_(D.Blocks.size()),
        blocks_(
            D,
            [this](const TBlockDef& b) {
              return 1 + static_cast<std::int64_t>(byBlock_[static_cast<std::size_t>(&b - d_.Blocks.data())].size());
            },
            0) {
    for (std::size_t i = 0; i < D.AreaShapes.size(); ++i)
      if (D.AreaShapes[i].Owner >= 0) byBlock_[static_cast<std::size_t>(D.AreaShapes[i].Owner)].push_back(i);
  }
  void Run();

 private:
  void Place(const TInsertRef& Insert, const TPlacement& Outer, const TRowKey* OuterKey, int Depth);
  void Add(const TAreaShape& Shape, const TPlacement& Placement, const TRowKey& Key);

  static constexpr std::size_t kNone = block_refs::TBlockPlacements::kNone;
  TDrawing& d_;
  std::vector<std::vector<std::size_t>> byBlock_;  // the shapes of each block
  block_refs::TBlockPlacements blocks_;
  std::int64_t placed_ = 0;
};

// A placed shape: its area times the area scale of the whole map (the plane
// it is drawn in, then the references around it). A circle that the map
// stretches unequally is the ellipse it becomes.
void TAreaPlacer::Add(const TAreaShape& Shape, const TPlacement& Placement, const TRowKey& Key) {
  std::size_t kind = static_cast<std::size_t>(Shape.Kind);
  const TPlacement total = Compose(Placement, Shape.Plan);
  const double area = Shape.Area * std::fabs(Determinant(total.Linear));
  if (!Shape.Measured || !std::isfinite(area)) {
    ++d_.AreasNotMeasured[kind];
    return;
  }
  if (Shape.Kind == TAreaKind::Circle && !IsSimilarity(total.Linear))
    kind = static_cast<std::size_t>(TAreaKind::Ellipse);
  const TPoint2 at = Apply(total, Shape.At);
  TAreaRec& r = dxf_fields::TakeRecord(d_.AreaRecs[kind], d_.AreaRecCounts[kind]);
  r.Area = area;
  r.X = at.X, r.Y = at.Y;
  r.Layer = Key.Layer, r.Color = Key.Color, r.LineType = Key.LineType;
}

void TAreaPlacer::Place(const TInsertRef& Insert, const TPlacement& Outer, const TRowKey* OuterKey, int Depth) {
  const std::size_t block = blocks_.Find(Insert.Block);
  if (block == kNone || blocks_.Refused(block, Depth)) return;
  if (!OuterKey) {
    // What a reference of the drawing places is placed whole or not at all.
    const std::int64_t cells = Cells(Insert);
    const std::int64_t size = blocks_.Cost(block, Depth + 1);
    if (cells > kMaxPlaced / size || placed_ + cells * size > kMaxPlaced) return;
    placed_ += cells * size;
  }
  TRowKey key = Insert.Key;
  if (OuterKey) block_refs::Inherit(d_, key, *OuterKey);
  const TBlockDef& b = d_.Blocks[block];
  const std::int32_t columns = Insert.Columns > 1 ? Insert.Columns : 1;
  const std::int32_t rows = Insert.Rows > 1 ? Insert.Rows : 1;
  for (std::int32_t row = 0; row < rows; ++row) {
    for (std::int32_t column = 0; column < columns; ++column) {
      const TPlacement placement = Compose(Outer, block_refs::CellPlacement(Insert, b.Base, column, row));
      for (std::size_t i : byBlock_[block]) {
        TAreaShape shape = d_.AreaShapes[i];
        block_refs::Inherit(d_, shape.Key, key);
        Add(shape, placement, shape.Key);
      }
      blocks_.Placing(block) = true;
      for (std::size_t i = b.Insert[0]; i < b.Insert[1]; ++i) Place(d_.Inserts[i], placement, &key, Depth + 1);
      blocks_.Placing(block) = false;
    }
  }
}

void TAreaPlacer::Run() {
  for (const TAreaShape& shape : d_.AreaShapes)
    if (shape.Owner == -1) Add(shape, kIdentityPlacement, shape.Key);
  for (const TInsertRef& insert : d_.Inserts)
    if (insert.Owner == -1) Place(insert, kIdentityPlacement, nullptr, 0);
}

}  // namespace

void PlaceAreaShapes(TDrawing& D) { TAreaPlacer(D).Run(); }
