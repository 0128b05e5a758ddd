#include "report/measures.h"

#include <cmath>

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

double MeasurePoly(const TPolyRec& Poly) {
  long double length = 0.0L;
  for (std::int32_t k = 2; k <= Poly.VertexCount; ++k) {
    const TVertex& a = PolyVertex(Poly, k - 1);
    const TVertex& b = PolyVertex(Poly, k);
    const long double dx = static_cast<long double>(a.X) - b.X;
    const long double dy = static_cast<long double>(a.Y) - b.Y;
    length += std::sqrt(dx * dx + dy * dy);
  }
  return static_cast<double>(length);
}

double LineLength(std::int32_t Index) { return MeasureLine(Lines[static_cast<std::size_t>(Index)]); }
double CircleLength(std::int32_t Index) { return MeasureCircle(Circles[static_cast<std::size_t>(Index)]); }
double ArcLength(std::int32_t Index) { return MeasureArc(Arcs[static_cast<std::size_t>(Index)]); }
double PolyLength(std::int32_t Index) { return MeasurePoly(Polys[static_cast<std::size_t>(Index)]); }
