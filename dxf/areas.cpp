#include "dxf/areas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace {

constexpr double kPi = 3.14159265358979323846;

double Cross(TPoint2 A, TPoint2 B) { return A.X * B.Y - A.Y * B.X; }

// Points along a full turn of an arc, for the crossing and nesting tests,
// at most; fewer where the chords stray from the arc by less than
// kChordStray of the boundary's extent.
constexpr int kStepsPerTurn = 1024;
constexpr double kChordStray = 1e-5;
// Points along each knot span of a spline.
constexpr int kStepsPerSpan = 128;
// How near, as a share of a boundary's extent, a curve may come to another
// piece without crossing it: above the chords' stray from the curves.
constexpr double kCurveTolerance = 1e-4;

// Gauss-Legendre nodes and weights on [-1, 1], worked out once.
constexpr int kGaussNodes = 16;
struct TGauss {
  std::array<double, kGaussNodes> Node, Weight;
  TGauss() {
    for (int i = 0; i < kGaussNodes; ++i) {
      double x = std::cos(kPi * (i + 0.75) / (kGaussNodes + 0.5));
      double derivative = 1;
      for (int iteration = 0; iteration < 100; ++iteration) {
        double p0 = 1, p1 = x;
        for (int k = 2; k <= kGaussNodes; ++k) {
          const double p2 = ((2 * k - 1) * x * p1 - (k - 1) * p0) / k;
          p0 = p1;
          p1 = p2;
        }
        derivative = kGaussNodes * (x * p1 - p0) / (x * x - 1);
        const double step = p1 / derivative;
        x -= step;
        if (std::fabs(step) < 1e-16) break;
      }
      Node[i] = x;
      Weight[i] = 2 / ((1 - x * x) * derivative * derivative);
    }
  }
};
const TGauss& Gauss() {
  static const TGauss gauss;
  return gauss;
}

// A point of a spline in homogeneous form: (w x, w y, w).
struct THomogeneous {
  double X, Y, W;
};

// De Boor's evaluation of a B-spline of degree Degree over Knots at T.
THomogeneous DeBoor(int Degree, const std::vector<double>& Knots, const std::vector<THomogeneous>& Control, double T) {
  const int count = static_cast<int>(Control.size());
  int span = Degree;
  while (span < count - 1 && Knots[static_cast<std::size_t>(span + 1)] <= T) ++span;
  std::vector<THomogeneous> d(static_cast<std::size_t>(Degree + 1));
  for (int j = 0; j <= Degree; ++j)
    d[static_cast<std::size_t>(j)] = Control[static_cast<std::size_t>(j + span - Degree)];
  for (int r = 1; r <= Degree; ++r) {
    for (int j = Degree; j >= r; --j) {
      const double left = Knots[static_cast<std::size_t>(j + span - Degree)];
      const double right = Knots[static_cast<std::size_t>(j + 1 + span - r)];
      const double alpha = right > left ? (T - left) / (right - left) : 0;
      THomogeneous& a = d[static_cast<std::size_t>(j)];
      const THomogeneous& b = d[static_cast<std::size_t>(j - 1)];
      a = {(1 - alpha) * b.X + alpha * a.X, (1 - alpha) * b.Y + alpha * a.Y, (1 - alpha) * b.W + alpha * a.W};
    }
  }
  return d[static_cast<std::size_t>(Degree)];
}

// A spline ready to be evaluated: its control points in homogeneous form,
// and the derivative curve (one degree lower, the outer knots dropped).
class TSplineCurve {
 public:
  // False when the data do not form a spline.
  bool Set(const TAreaSpline& S) {
    const std::size_t n = S.Control.size();
    const int p = S.Degree;
    if (p < 1 || n < static_cast<std::size_t>(p) + 1 || S.Knots.size() != n + static_cast<std::size_t>(p) + 1)
      return false;
    if (!S.Weights.empty() && S.Weights.size() != n) return false;
    for (std::size_t i = 1; i < S.Knots.size(); ++i)
      if (!(S.Knots[i] >= S.Knots[i - 1]) || !std::isfinite(S.Knots[i])) return false;
    degree_ = p;
    knots_ = S.Knots;
    control_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      const double w = S.Weights.empty() ? 1 : S.Weights[i];
      if (!(w > 0) || !std::isfinite(w)) return false;
      control_[i] = {w * S.Control[i].X, w * S.Control[i].Y, w};
    }
    derivativeKnots_.assign(knots_.begin() + 1, knots_.end() - 1);
    derivative_.resize(n - 1);
    for (std::size_t i = 0; i + 1 < n; ++i) {
      const double span = knots_[i + static_cast<std::size_t>(p) + 1] - knots_[i + 1];
      const double f = span > 0 ? p / span : 0;
      derivative_[i] = {f * (control_[i + 1].X - control_[i].X), f * (control_[i + 1].Y - control_[i].Y),
                        f * (control_[i + 1].W - control_[i].W)};
    }
    return Start() < End();
  }
  double Start() const { return knots_[static_cast<std::size_t>(degree_)]; }
  double End() const { return knots_[control_.size()]; }
  TPoint2 Point(double T) const {
    const THomogeneous h = DeBoor(degree_, knots_, control_, T);
    return {h.X / h.W, h.Y / h.W};
  }
  // x y' - y x' of the curve: (X Y' - Y X') / W^2 in homogeneous terms.
  double SectorRate(double T) const {
    const THomogeneous h = DeBoor(degree_, knots_, control_, T);
    const THomogeneous d = DeBoor(degree_ - 1, derivativeKnots_, derivative_, T);
    return (h.X * d.Y - h.Y * d.X) / (h.W * h.W);
  }
  // The distinct knot values within the domain, in order.
  std::vector<double> Breaks() const {
    std::vector<double> breaks;
    for (std::size_t i = static_cast<std::size_t>(degree_); i <= control_.size(); ++i)
      if (breaks.empty() || knots_[i] > breaks.back()) breaks.push_back(knots_[i]);
    return breaks;
  }

 private:
  int degree_ = 0;
  std::vector<double> knots_, derivativeKnots_;
  std::vector<THomogeneous> control_, derivative_;
};

// Half the integral of x dy - y dx along a curve: each piece's share of the
// signed area of its loop.
double SectorArea(const TAreaEdge& E, const std::vector<TSplineCurve>& Curves) {
  switch (E.Kind) {
    case TAreaEdge::TKind::Line:
      return Cross(E.P, E.Q) / 2;
    case TAreaEdge::TKind::Bulge: {
      double area = Cross(E.P, E.Q) / 2;
      const double chord = std::hypot(E.Q.X - E.P.X, E.Q.Y - E.P.Y);
      if (E.Bulge != 0 && chord > 0) {
        // The circular segment between chord and arc, on the arc's side.
        const double angle = 4 * std::atan(E.Bulge);
        const double radius = chord / (2 * std::sin(std::fabs(angle) / 2));
        area += radius * radius * (angle - std::sin(angle)) / 2;
      }
      return area;
    }
    case TAreaEdge::TKind::Ellipse:
      return (Cross(E.U, E.V) * (E.T1 - E.T0) + Cross(E.Center, E.U) * (std::cos(E.T1) - std::cos(E.T0)) +
              Cross(E.Center, E.V) * (std::sin(E.T1) - std::sin(E.T0))) /
             2;
    case TAreaEdge::TKind::Spline: {
      const TSplineCurve& c = Curves[static_cast<std::size_t>(E.Spline)];
      const std::vector<double> breaks = c.Breaks();
      const TGauss& g = Gauss();
      double sum = 0;
      for (std::size_t i = 0; i + 1 < breaks.size(); ++i) {
        // Two rules per span: exact for a plain spline, close for a rational one.
        for (int half = 0; half < 2; ++half) {
          const double a = breaks[i] + (breaks[i + 1] - breaks[i]) * half / 2;
          const double b = breaks[i] + (breaks[i + 1] - breaks[i]) * (half + 1) / 2;
          const double mid = (a + b) / 2, radius = (b - a) / 2;
          for (int k = 0; k < kGaussNodes; ++k) sum += g.Weight[k] * radius * c.SectorRate(mid + radius * g.Node[k]);
        }
      }
      return sum / 2;
    }
  }
  return 0;
}

TPoint2 StartOf(const TAreaEdge& E, const std::vector<TSplineCurve>& Curves) {
  switch (E.Kind) {
    case TAreaEdge::TKind::Ellipse:
      return {E.Center.X + E.U.X * std::cos(E.T0) + E.V.X * std::sin(E.T0),
              E.Center.Y + E.U.Y * std::cos(E.T0) + E.V.Y * std::sin(E.T0)};
    case TAreaEdge::TKind::Spline: {
      const TSplineCurve& c = Curves[static_cast<std::size_t>(E.Spline)];
      return c.Point(c.Start());
    }
    default:
      return E.P;
  }
}

// The steps for a turn of Turn radians on a curve of radius Radius, within
// a boundary of extent Size.
int ArcSteps(double Turn, double Radius, double Size) {
  const double most = std::ceil(std::fabs(Turn) / (2 * kPi) * kStepsPerTurn);
  const double stray = kChordStray * Size;
  if (!(Radius > stray)) return 1;
  // A chord of angle a strays from its arc by Radius (1 - cos(a / 2)).
  const double step = 2 * std::acos(1 - stray / Radius);
  return static_cast<int>(std::max(1.0, std::min(most, std::ceil(std::fabs(Turn) / step))));
}

// The points of a piece after its start, up to its end; Size is the
// boundary's extent.
void AppendPoints(const TAreaEdge& E, const std::vector<TSplineCurve>& Curves, double Size,
                  std::vector<TPoint2>& Points) {
  switch (E.Kind) {
    case TAreaEdge::TKind::Line:
      Points.push_back(E.Q);
      return;
    case TAreaEdge::TKind::Bulge: {
      const double angle = 4 * std::atan(E.Bulge);
      const double chord = std::hypot(E.Q.X - E.P.X, E.Q.Y - E.P.Y);
      const double radius = chord / (2 * std::sin(std::fabs(angle) / 2));
      const int steps = E.Bulge != 0 && chord > 0 ? ArcSteps(angle, radius, Size) : 1;
      if (steps > 1) {
        // The centre lies off the chord's middle, to the left for a positive bulge.
        const TPoint2 mid{(E.P.X + E.Q.X) / 2, (E.P.Y + E.Q.Y) / 2};
        const double offset = chord / 2 / std::tan(angle / 2);
        const TPoint2 normal{-(E.Q.Y - E.P.Y) / chord, (E.Q.X - E.P.X) / chord};
        const TPoint2 center{mid.X + normal.X * offset, mid.Y + normal.Y * offset};
        const double start = std::atan2(E.P.Y - center.Y, E.P.X - center.X);
        for (int k = 1; k < steps; ++k) {
          const double a = start + angle * k / steps;
          Points.push_back({center.X + radius * std::cos(a), center.Y + radius * std::sin(a)});
        }
      }
      Points.push_back(E.Q);
      return;
    }
    case TAreaEdge::TKind::Ellipse: {
      const double radius = std::max(std::hypot(E.U.X, E.U.Y), std::hypot(E.V.X, E.V.Y));
      const int steps = ArcSteps(E.T1 - E.T0, radius, Size);
      for (int k = 1; k <= steps; ++k) {
        const double t = E.T0 + (E.T1 - E.T0) * k / steps;
        Points.push_back({E.Center.X + E.U.X * std::cos(t) + E.V.X * std::sin(t),
                          E.Center.Y + E.U.Y * std::cos(t) + E.V.Y * std::sin(t)});
      }
      return;
    }
    case TAreaEdge::TKind::Spline: {
      const TSplineCurve& c = Curves[static_cast<std::size_t>(E.Spline)];
      const std::vector<double> breaks = c.Breaks();
      for (std::size_t i = 0; i + 1 < breaks.size(); ++i)
        for (int k = 1; k <= kStepsPerSpan; ++k) {
          const double t = breaks[i] + (breaks[i + 1] - breaks[i]) * k / kStepsPerSpan;
          Points.push_back(c.Point(std::min(t, c.End())));
        }
      return;
    }
  }
}

struct TSegment {
  TPoint2 A, B;
  std::size_t Loop, Index, LoopSize;
  bool Curved;  // a chord of a curve, off the curve by up to its sagitta
  double MinX, MaxX, MinY, MaxY;
};

double Orientation(TPoint2 A, TPoint2 B, TPoint2 C) { return Cross({B.X - A.X, B.Y - A.Y}, {C.X - A.X, C.Y - A.Y}); }

// Whether two segments cross, each passing strictly through the other;
// touching, and running along one another, is no crossing. An end nearer
// to the other segment's line than the tolerance counts as on it: Exact
// (a rounding's worth) between straight pieces, Curved (more than the
// chords of a curve stray from it) where a curve takes part, so that curves
// that touch, such as a ring between tangent ellipses, do not cross.
bool Crosses(const TSegment& S, const TSegment& T, double Exact, double Curved) {
  const double tolerance = S.Curved || T.Curved ? Curved : Exact;
  const double lengthS = std::hypot(S.B.X - S.A.X, S.B.Y - S.A.Y), lengthT = std::hypot(T.B.X - T.A.X, T.B.Y - T.A.Y);
  const double o1 = Orientation(S.A, S.B, T.A), o2 = Orientation(S.A, S.B, T.B);
  const double o3 = Orientation(T.A, T.B, S.A), o4 = Orientation(T.A, T.B, S.B);
  const auto opposite = [tolerance](double a, double b, double length) {
    const double off = tolerance * length;
    return (a > off && b < -off) || (a < -off && b > off);
  };
  return opposite(o1, o2, lengthS) && opposite(o3, o4, lengthT);
}

bool Adjacent(const TSegment& S, const TSegment& T) {
  if (S.Loop != T.Loop) return false;
  const std::size_t a = std::min(S.Index, T.Index), b = std::max(S.Index, T.Index);
  return b == a + 1 || (a == 0 && b + 1 == S.LoopSize);
}

// Whether any two segments that do not follow one another cross: a sweep
// over the segments in order of their left ends.
// Whether the boundary passes through S at the start of T without the two
// crossing strictly: T's start lies on S (within the tolerance) and the
// boundary goes on from one side of S to the other there. At the start of S
// itself two visits of one point cross where the directions of one visit
// separate those of the other. Told between straight pieces only: where a
// curve's chords meet, touching is all that the points can tell.
bool PassesThrough(const TSegment& S, const TSegment& T, const std::vector<std::vector<TPoint2>>& Polygons,
                   const std::vector<std::vector<bool>>& Bent, double Tolerance) {
  const auto bentBefore = [&Bent](const TSegment& X) { return Bent[X.Loop][(X.Index + X.LoopSize - 1) % X.LoopSize]; };
  if (S.Curved || T.Curved || bentBefore(S) || bentBefore(T)) return false;
  const double tolerance = Tolerance;
  const std::vector<TPoint2>& loop = Polygons[T.Loop];
  const TPoint2 v = T.A, next = T.B, previous = loop[(T.Index + T.LoopSize - 1) % T.LoopSize];
  const double length = std::hypot(S.B.X - S.A.X, S.B.Y - S.A.Y);
  if (!(length > 0)) return false;
  const double off = tolerance * length;
  if (std::fabs(Orientation(S.A, S.B, v)) > off) return false;
  const double along = ((v.X - S.A.X) * (S.B.X - S.A.X) + (v.Y - S.A.Y) * (S.B.Y - S.A.Y)) / (length * length);
  const double near = tolerance / length;  // the tolerance as a share of S
  if (along > near && along < 1 - near) {
    const double a = Orientation(S.A, S.B, previous), b = Orientation(S.A, S.B, next);
    return (a > off && b < -off) || (a < -off && b > off);
  }
  if (std::fabs(along) > near) return false;  // at S's end: that is the start of the segment after S
  // Both visits at S.A: T's comes from previous and goes to next, S's comes
  // from the point before S and goes to S.B.
  const TPoint2 before = Polygons[S.Loop][(S.Index + S.LoopSize - 1) % S.LoopSize];
  const auto angle = [v](TPoint2 P) { return std::atan2(P.Y - v.Y, P.X - v.X); };
  const auto turn = [](double From, double To) {  // counter-clockwise, in [0, 2 pi)
    double t = std::fmod(To - From, 2 * kPi);
    return t < 0 ? t + 2 * kPi : t;
  };
  const double from = angle(previous), sector = turn(from, angle(next));
  const double x = turn(from, angle(before)), y = turn(from, angle(S.B));
  // Directions closer than this (radians, either way round) are one: no
  // crossing told.
  constexpr double kApart = 1e-6;
  const auto same = [](double A, double B) {
    const double d = std::fabs(A - B);
    return d < kApart || d > 2 * kPi - kApart;
  };
  if (same(x, 0) || same(y, 0) || same(x, sector) || same(y, sector)) return false;
  return (x < sector) != (y < sector);
}

bool AnyCrossing(std::vector<TSegment>& Segments, const std::vector<std::vector<TPoint2>>& Polygons,
                 const std::vector<std::vector<bool>>& Bent, double Exact, double Curved) {
  std::sort(Segments.begin(), Segments.end(), [](const TSegment& a, const TSegment& b) { return a.MinX < b.MinX; });
  for (std::size_t i = 0; i < Segments.size(); ++i) {
    const TSegment& s = Segments[i];
    for (std::size_t j = i + 1; j < Segments.size() && Segments[j].MinX <= s.MaxX; ++j) {
      const TSegment& t = Segments[j];
      if (t.MinY > s.MaxY || t.MaxY < s.MinY || Adjacent(s, t)) continue;
      if (Crosses(s, t, Exact, Curved) || PassesThrough(s, t, Polygons, Bent, Exact) ||
          PassesThrough(t, s, Polygons, Bent, Exact))
        return true;
    }
  }
  return false;
}

// Whether P lies inside the polygon of Points (even-odd rule).
bool Inside(TPoint2 P, const std::vector<TPoint2>& Points) {
  bool inside = false;
  for (std::size_t i = 0, j = Points.size() - 1; i < Points.size(); j = i++) {
    const TPoint2 a = Points[i], b = Points[j];
    if ((a.Y > P.Y) != (b.Y > P.Y) && P.X < (b.X - a.X) * (P.Y - a.Y) / (b.Y - a.Y) + a.X) inside = !inside;
  }
  return inside;
}

// The distance from P to the segment from A to B.
double Distance(TPoint2 P, TPoint2 A, TPoint2 B) {
  const double dx = B.X - A.X, dy = B.Y - A.Y, length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((P.X - A.X) * dx + (P.Y - A.Y) * dy) / length2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(P.X - (A.X + t * dx), P.Y - (A.Y + t * dy));
}

// Whether the loop Outer holds the loop Inner: the first point of Inner
// (the middles of its segments, then its vertices) that lies farther than
// Near from Outer's boundary decides; a loop all on the other's boundary is
// not held.
bool Holds(const std::vector<TPoint2>& Outer, const std::vector<TPoint2>& Inner, double Near) {
  const auto offBoundary = [&](TPoint2 P) {
    for (std::size_t i = 0; i < Outer.size(); ++i)
      if (Distance(P, Outer[i], Outer[(i + 1) % Outer.size()]) <= Near) return false;
    return true;
  };
  for (int pass = 0; pass < 2; ++pass)
    for (std::size_t i = 0; i < Inner.size(); ++i) {
      const TPoint2 a = Inner[i], b = Inner[(i + 1) % Inner.size()];
      const TPoint2 p = pass == 0 ? TPoint2{(a.X + b.X) / 2, (a.Y + b.Y) / 2} : a;
      if (offBoundary(p)) return Inside(p, Outer);
    }
  return false;
}

}  // namespace

bool SplineSectorArea(const TAreaSpline& Spline, double& Area) {
  std::vector<TSplineCurve> curves(1);
  if (!curves[0].Set(Spline)) return false;
  TAreaEdge edge;
  edge.Kind = TAreaEdge::TKind::Spline;
  edge.Spline = 0;
  Area = SectorArea(edge, curves);
  return true;
}

TAreaResult EnclosedArea(const TAreaBoundary& Boundary, TIslands Islands) {
  std::vector<TSplineCurve> curves(Boundary.Splines.size());
  for (std::size_t i = 0; i < curves.size(); ++i)
    if (!curves[i].Set(Boundary.Splines[i])) return {};
  // The extent of the boundary, roughly: the ends of its pieces, the boxes
  // of its ellipses, the control points of its splines.
  double lowX = INFINITY, highX = -INFINITY, lowY = INFINITY, highY = -INFINITY;
  const auto take = [&](double x, double y, double r) {
    lowX = std::min(lowX, x - r), highX = std::max(highX, x + r), lowY = std::min(lowY, y - r),
    highY = std::max(highY, y + r);
  };
  for (const std::vector<TAreaEdge>& loop : Boundary.Loops)
    for (const TAreaEdge& e : loop) {
      if (e.Kind == TAreaEdge::TKind::Line || e.Kind == TAreaEdge::TKind::Bulge)
        take(e.P.X, e.P.Y, 0), take(e.Q.X, e.Q.Y, 0);
      else if (e.Kind == TAreaEdge::TKind::Ellipse)
        take(e.Center.X, e.Center.Y, std::hypot(e.U.X, e.U.Y) + std::hypot(e.V.X, e.V.Y));
    }
  for (const TAreaSpline& s : Boundary.Splines)
    for (const TPoint2& p : s.Control) take(p.X, p.Y, 0);
  const double extent = std::max(highX - lowX, highY - lowY);

  std::vector<double> areas;
  std::vector<std::vector<TPoint2>> polygons;
  std::vector<std::vector<bool>> curved;  // of each polygon point: the chord from it is part of a curve
  double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
  for (const std::vector<TAreaEdge>& loop : Boundary.Loops) {
    if (loop.empty()) continue;
    double area = 0;
    std::vector<TPoint2> points{StartOf(loop.front(), curves)};
    std::vector<bool> bent;
    for (std::size_t e = 0; e < loop.size(); ++e) {
      const TAreaEdge& edge = loop[e];
      const TPoint2 start = StartOf(edge, curves);
      area += Cross(points.back(), start) / 2;  // the gap from the piece before, straight
      if (e > 0) {
        points.push_back(start);
        bent.push_back(false);
      }
      area += SectorArea(edge, curves);
      AppendPoints(edge, curves, extent, points);
      const bool curve =
          edge.Kind != TAreaEdge::TKind::Line && !(edge.Kind == TAreaEdge::TKind::Bulge && edge.Bulge == 0);
      bent.resize(points.size() - 1, curve);
    }
    bent.push_back(false);                             // back to the start
    area += Cross(points.back(), points.front()) / 2;  // back to the start
    for (const TPoint2& p : points) {
      if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return {};
      minX = std::min(minX, p.X), maxX = std::max(maxX, p.X), minY = std::min(minY, p.Y), maxY = std::max(maxY, p.Y);
    }
    if (!std::isfinite(area)) return {};
    // Points that repeat make no segment.
    std::vector<TPoint2> distinct;
    std::vector<bool> distinctBent;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const TPoint2 p = points[i];
      if (!distinct.empty() && p.X == distinct.back().X && p.Y == distinct.back().Y) {
        distinctBent.back() = bent[i];
        continue;
      }
      distinct.push_back(p);
      distinctBent.push_back(bent[i]);
    }
    while (distinct.size() > 1 && distinct.back().X == distinct.front().X && distinct.back().Y == distinct.front().Y) {
      distinct.pop_back();
      distinctBent.pop_back();
    }
    areas.push_back(std::fabs(area));
    polygons.push_back(std::move(distinct));
    curved.push_back(std::move(distinctBent));
  }
  if (areas.empty()) return {};

  const double size = std::max(maxX - minX, maxY - minY);
  const double tolerance = 1e-9 * size;
  std::vector<TSegment> segments;
  for (std::size_t l = 0; l < polygons.size(); ++l) {
    const std::vector<TPoint2>& p = polygons[l];
    if (p.size() < 3) continue;  // a point or a line there and back: nothing to cross
    for (std::size_t i = 0; i < p.size(); ++i) {
      const TPoint2 a = p[i], b = p[(i + 1) % p.size()];
      segments.push_back({a, b, l, i, p.size(), curved[l][i], std::min(a.X, b.X), std::max(a.X, b.X),
                          std::min(a.Y, b.Y), std::max(a.Y, b.Y)});
    }
  }
  if (AnyCrossing(segments, polygons, curved, tolerance, kCurveTolerance * size)) return {};

  // How deep each loop lies among the others: the loops that hold it, told
  // by a point of it off their boundary (loops that do not cross lie
  // wholly inside or wholly outside one another).
  double total = 0;
  for (std::size_t l = 0; l < polygons.size(); ++l) {
    int depth = 0;
    for (std::size_t other = 0; other < polygons.size(); ++other)
      if (other != l && polygons[other].size() >= 3 && Holds(polygons[other], polygons[l], 1e-6 * size)) ++depth;
    switch (Islands) {
      case TIslands::Alternate:
        total += depth % 2 == 0 ? areas[l] : -areas[l];
        break;
      case TIslands::Outermost:
        total += depth == 0 ? areas[l] : depth == 1 ? -areas[l] : 0;
        break;
      case TIslands::Ignore:
        total += depth == 0 ? areas[l] : 0;
        break;
    }
  }
  return {true, std::max(total, 0.0)};
}
