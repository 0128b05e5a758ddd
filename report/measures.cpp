#include "report/measures.h"

#include <cmath>
#include <vector>

#include "report/curve_lengths.h"

namespace {

constexpr long double kPi = 3.14159265358979323851L;

}  // namespace

double MeasureLine(const TLineRec& Line) {
  const long double dx = static_cast<long double>(Line.X1) - Line.X2;
  const long double dy = static_cast<long double>(Line.Y1) - Line.Y2;
  return static_cast<double>(std::sqrt(dx * dx + dy * dy));
}

double MeasureCircle(const TCircleRec& Circle) { return static_cast<double>(2.0L * Circle.Radius * kPi); }

double MeasureArc(const TArcRec& Arc) {
  long double sweep = static_cast<long double>(Arc.EndAngle) - Arc.StartAngle;
  if (sweep < 0) sweep += 360.0L;
  return static_cast<double>(2.0L * Arc.Radius * kPi * sweep / 360.0L);
}

double MeasurePoly(const TDrawing& D, const TPolyRec& Poly) {
  long double length = 0.0L;
  for (std::int32_t k = 2; k <= Poly.VertexCount; ++k) {
    const TVertex& a = D.Vertex(Poly, k - 1);
    const TVertex& b = D.Vertex(Poly, k);
    const long double dx = static_cast<long double>(a.X) - b.X;
    const long double dy = static_cast<long double>(a.Y) - b.Y;
    length += std::sqrt(dx * dx + dy * dy);
  }
  return static_cast<double>(length);
}

double LineLength(std::int32_t Index) { return MeasureLine(Lines[static_cast<std::size_t>(Index)]); }
double CircleLength(std::int32_t Index) { return MeasureCircle(Circles[static_cast<std::size_t>(Index)]); }
double ArcLength(std::int32_t Index) { return MeasureArc(Arcs[static_cast<std::size_t>(Index)]); }
double PolyLength(std::int32_t Index) { return MeasurePoly(CurrentDrawing, Polys[static_cast<std::size_t>(Index)]); }

double MeasurePolyExact(const TDrawing& D, const TPolyRec& Poly) {
  const std::int32_t n = Poly.VertexCount;
  if (n < 2) return 0.0;
  const TLinear2* map = Poly.Placement > 0 ? &D.PolyPlacements[static_cast<std::size_t>(Poly.Placement - 1)] : nullptr;
  const bool hasBulges = D.PolyBulges.Length() >= static_cast<std::size_t>(Poly.FirstVertex + n);
  long double length = 0.0L;
  auto segment = [&](std::int32_t From, std::int32_t To) {
    const TVertex& a = D.Vertex(Poly, From);
    const TVertex& b = D.Vertex(Poly, To);
    const double bulge = hasBulges ? D.Bulge(Poly, From) : 0.0;
    if (bulge == 0) {
      const long double dx = static_cast<long double>(a.X) - b.X;
      const long double dy = static_cast<long double>(a.Y) - b.Y;
      length += std::sqrt(dx * dx + dy * dy);
    } else if (map) {
      length += PlacedBulgeSegmentLength({a.X, a.Y}, {b.X, b.Y}, bulge, *map);
    } else {
      length += BulgeSegmentLength({a.X, a.Y}, {b.X, b.Y}, bulge);
    }
  };
  for (std::int32_t k = 2; k <= n; ++k) segment(k - 1, k);
  if (Poly.Flags & 1) segment(n, 1);
  return static_cast<double>(length);
}

double MeasureEllipse(const TEllipseRec& Ellipse) {
  return EllipseArcLength({Ellipse.MajorX, Ellipse.MajorY}, {Ellipse.MinorX, Ellipse.MinorY}, Ellipse.StartParam,
                          Ellipse.EndParam);
}

double MeasureSpline(const TDrawing& D, const TSplineRec& Spline) {
  // The side tables are kept in blocks: the spline's data are copied out
  // into one piece each.
  std::vector<TPoint2> points(static_cast<std::size_t>(Spline.ControlCount + Spline.FitCount));
  for (std::size_t i = 0; i < points.size(); ++i) {
    const TVertex& p = D.SplinePoints[static_cast<std::size_t>(Spline.FirstControl) + i];
    points[i] = {p.X, p.Y};
  }
  if (Spline.ControlCount > 0) {
    std::vector<double> knots(static_cast<std::size_t>(Spline.KnotCount));
    for (std::size_t i = 0; i < knots.size(); ++i)
      knots[i] = D.SplineKnots[static_cast<std::size_t>(Spline.FirstKnot) + i];
    std::vector<double> weights(static_cast<std::size_t>(Spline.WeightCount));
    for (std::size_t i = 0; i < weights.size(); ++i)
      weights[i] = D.SplineWeights[static_cast<std::size_t>(Spline.FirstWeight) + i];
    const double length =
        BSplineLength(Spline.Degree, knots.data(), knots.size(), points.data(),
                      weights.empty() ? nullptr : weights.data(), static_cast<std::size_t>(Spline.ControlCount));
    if (length >= 0) return length;
  }
  return FitPointSplineLength(points.data() + Spline.ControlCount, static_cast<std::size_t>(Spline.FitCount));
}
