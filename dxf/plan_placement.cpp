#include "dxf/plan_placement.h"

#include <cmath>

#include "dxf/entity_fields.h"

namespace {

constexpr double kDegree = 57.29577951308232087680;  // degrees in a radian

// The angle in degrees of the direction that Map gives the direction at
// Angle degrees.
double MappedAngle(const TLinear2& Map, double Angle) {
  const double a = Angle / kDegree;
  const TPoint2 d = ApplyLinear(Map, {std::cos(a), std::sin(a)});
  return std::atan2(d.Y, d.X) * kDegree;
}

// The ellipse that a circle or arc becomes, from Start to Start + Sweep
// degrees (counter-clockwise, as read).
template <class TRec>
void AddPlacedEllipse(TDrawing& D, const TPlacement& Placement, const TRec& Rec, double Start, double Sweep) {
  TEllipseRec& e = dxf_fields::TakeRecord(D.Ellipses, D.EllipseCount);
  const TPoint2 c = Apply(Placement, {Rec.CX, Rec.CY});
  const TPoint2 u = ApplyLinear(Placement.Linear, {Rec.Radius, 0});
  const TPoint2 v = ApplyLinear(Placement.Linear, {0, Rec.Radius});
  e.CX = c.X, e.CY = c.Y, e.CZ = Rec.CZ;
  e.MajorX = u.X, e.MajorY = u.Y, e.MinorX = v.X, e.MinorY = v.Y;
  e.StartParam = Start / kDegree;
  e.EndParam = (Start + Sweep) / kDegree;
  e.Layer = Rec.Layer, e.Color = Rec.Color, e.LineType = Rec.LineType;
}

}  // namespace

bool PlaceArc(TDrawing& D, const TPlacement& Placement, TArcRec& Arc) {
  const TLinear2& m = Placement.Linear;
  if (m.A == -1 && m.B == 0 && m.C == 0 && m.D == 1 && Placement.E == 0 && Placement.F == 0) {
    // Seen from below: the mirror image, its angles mirrored exactly.
    const double start = Arc.StartAngle;
    Arc.CX = -Arc.CX;
    Arc.StartAngle = 180 - Arc.EndAngle;
    Arc.EndAngle = 180 - start;
    return true;
  }
  double sweep = Arc.EndAngle - Arc.StartAngle;
  if (sweep < 0) sweep += 360;
  if (!IsSimilarity(m)) {
    AddPlacedEllipse(D, Placement, Arc, Arc.StartAngle, sweep);
    return false;
  }
  const double det = Determinant(m);
  const TPoint2 c = Apply(Placement, {Arc.CX, Arc.CY});
  Arc.CX = c.X, Arc.CY = c.Y, Arc.Radius *= std::sqrt(std::fabs(det));
  // A mirror runs the arc the other way: its new start is the image of its end.
  const double start = MappedAngle(m, det < 0 ? Arc.EndAngle : Arc.StartAngle);
  Arc.StartAngle = start;
  Arc.EndAngle = start + sweep;
  return true;
}

bool PlaceCircle(TDrawing& D, const TPlacement& Placement, TCircleRec& Circle) {
  const TLinear2& m = Placement.Linear;
  if (!IsSimilarity(m)) {
    AddPlacedEllipse(D, Placement, Circle, 0, 360);
    return false;
  }
  const TPoint2 c = Apply(Placement, {Circle.CX, Circle.CY});
  Circle.CX = c.X, Circle.CY = c.Y, Circle.Radius *= std::sqrt(std::fabs(Determinant(m)));
  return true;
}

void PlacePolyline(TDrawing& D, const TPlacement& Placement, TPolyRec& Poly) {
  const bool mirror = Determinant(Placement.Linear) < 0;
  bool bulges = false;
  for (std::int32_t k = 1; k <= Poly.VertexCount; ++k) {
    TVertex& v = D.Vertex(Poly, k);
    const TPoint2 q = Apply(Placement, {v.X, v.Y});
    v.X = q.X, v.Y = q.Y;
    double& bulge = D.PolyBulges[static_cast<std::size_t>(Poly.FirstVertex + k - 1)];
    if (mirror) bulge = -bulge;
    bulges = bulges || bulge != 0;
  }
  // A polyline drawn in a plane of its own was mapped to its block's plan
  // already: the two maps one after the other.
  const TLinear2 own =
      Poly.Placement > 0 ? D.PolyPlacements[static_cast<std::size_t>(Poly.Placement - 1)] : kIdentityPlacement.Linear;
  const TLinear2 total = Compose({Placement.Linear, 0, 0}, {own, 0, 0}).Linear;
  Poly.Placement = 0;
  if (bulges && !IsSimilarity(total)) {
    D.PolyPlacements.Push() = total;
    Poly.Placement = static_cast<std::int32_t>(D.PolyPlacements.Length());
  }
}

const TPlacement* PlanPlacement(const TVector3& Normal, double Elevation, TPlacement& Storage) {
  if (IsTilted(Normal)) {
    Storage = OcsPlacement(Normal, Elevation);
    return &Storage;
  }
  // (0, 0, -1): the plane seen from below, mirrored in X.
  if (Normal.Z < 0) return &kFlipPlacement;
  return nullptr;
}
