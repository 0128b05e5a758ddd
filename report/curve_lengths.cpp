#include "report/curve_lengths.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace curve_lengths_detail {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The positive nodes of the Legendre polynomial of degree kNodes and their
// weights, found by Newton's method once.
struct TRule {
  std::array<double, kNodes / 2> X{}, W{};
  TRule() {
    for (int i = 0; i < kNodes / 2; ++i) {
      long double x = std::cos(kPi * (i + 0.75) / (kNodes + 0.5));
      long double derivative = 0;
      for (int iteration = 0; iteration < 100; ++iteration) {
        long double p0 = 1, p1 = x;
        for (int k = 2; k <= kNodes; ++k) {
          const long double p2 = ((2 * k - 1) * x * p1 - (k - 1) * p0) / k;
          p0 = p1;
          p1 = p2;
        }
        derivative = kNodes * (x * p1 - p0) / (x * x - 1);
        const long double step = p1 / derivative;
        x -= step;
        if (std::fabs(static_cast<double>(step)) < 1e-19) break;
      }
      X[static_cast<std::size_t>(i)] = static_cast<double>(x);
      W[static_cast<std::size_t>(i)] = static_cast<double>(2 / ((1 - x * x) * derivative * derivative));
    }
  }
};

const TRule& Rule16() {
  static const TRule rule;
  return rule;
}

}  // namespace

const double* Nodes() { return Rule16().X.data(); }
const double* Weights() { return Rule16().W.data(); }

}  // namespace curve_lengths_detail

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxDegree = 30;

double Distance(TPoint2 P, TPoint2 Q) { return std::hypot(Q.X - P.X, Q.Y - P.Y); }

}  // namespace

double BulgeSegmentLength(TPoint2 P, TPoint2 Q, double Bulge) {
  const double chord = Distance(P, Q);
  const double b = std::fabs(Bulge);
  if (b == 0 || chord == 0) return chord;
  // The arc of included angle 4 atan(b) over the chord: radius
  // chord (1 + b^2) / (4 b), so the length is chord (1 + b^2) atan(b) / b.
  const double ratio = b < 1e-8 ? 1 - b * b / 3 : std::atan(b) / b;
  return chord * (1 + b * b) * ratio;
}

double PlacedBulgeSegmentLength(TPoint2 P, TPoint2 Q, double Bulge, const TLinear2& Map) {
  if (Bulge == 0 || IsSimilarity(Map)) return BulgeSegmentLength(P, Q, Bulge);
  const double det = Map.A * Map.D - Map.B * Map.C;
  if (det == 0 || !std::isfinite(det)) return Distance(P, Q);
  // The chord as it was drawn in the block.
  const double dx = Q.X - P.X, dy = Q.Y - P.Y;
  const double lx = (Map.D * dx - Map.B * dy) / det, ly = (-Map.C * dx + Map.A * dy) / det;
  const double chord = std::hypot(lx, ly);
  if (chord == 0) return 0.0;
  const double theta = 4 * std::atan(Bulge);  // included angle, signed
  const double radius = chord / (2 * std::fabs(std::sin(theta / 2)));
  // The radius at the start points a quarter turn off the start tangent,
  // which is the chord turned back by half the included angle; either side
  // gives the same speed, so the sign of the quarter turn does not matter.
  const double start = std::atan2(ly, lx) - theta / 2 - kPi / 2;
  const TPoint2 u{Map.A * radius, Map.C * radius}, v{Map.B * radius, Map.D * radius};
  return EllipseArcLength(u, v, std::min(start, start + theta), std::max(start, start + theta));
}

double EllipseArcLength(TPoint2 U, TPoint2 V, double T0, double T1) {
  if (!(T1 > T0)) return 0.0;
  auto speed = [&](double t) {
    const double s = std::sin(t), c = std::cos(t);
    return std::hypot(V.X * c - U.X * s, V.Y * c - U.Y * s);
  };
  // More than a turn, or parameters so large that a quarter turn is lost in
  // their rounding: whole turns are one perimeter each, and the rest is
  // measured from the start reduced to one turn, so the work is bounded.
  constexpr double kTurn = 2 * kPi;
  if (T1 - T0 > kTurn * (1 + 1e-9) || std::fabs(T0) > 1e6 || std::fabs(T1) > 1e6) {
    const double span = T1 - T0;
    if (!std::isfinite(span)) return span;
    const double turns = std::floor(span / kTurn);
    const double start = std::fmod(T0, kTurn);
    const double rest = span - turns * kTurn;
    const double whole = turns > 0 ? turns * EllipseArcLength(U, V, 0, kTurn) : 0.0;
    return whole + (rest > 0 ? EllipseArcLength(U, V, start, start + std::min(rest, kTurn)) : 0.0);
  }
  // Pieces between quarter turns, where the speed of an ellipse has its
  // extremes when U and V are its axes.
  double total = 0.0;
  double a = T0;
  while (a < T1) {
    double b = (std::floor(a / (kPi / 2)) + 1) * (kPi / 2);
    if (b <= a) b = a + kPi / 2;  // far from 0 the step may round away
    if (b > T1) b = T1;
    total += IntegrateAdaptive(speed, a, b);
    a = b;
  }
  return total;
}

double BSplineLength(int Degree, const double* Knots, std::size_t KnotCount, const TPoint2* Control,
                     const double* Weights, std::size_t Count) {
  const std::size_t p = static_cast<std::size_t>(Degree);
  if (Degree < 1 || Degree > kMaxDegree || Count < p + 1 || KnotCount != Count + p + 1) return -1.0;
  for (std::size_t i = 1; i < KnotCount; ++i)
    if (!(Knots[i] >= Knots[i - 1]) || !std::isfinite(Knots[i])) return -1.0;
  if (Weights)
    for (std::size_t i = 0; i < Count; ++i)
      if (!(Weights[i] > 0)) return -1.0;

  double total = 0.0;
  for (std::size_t span = p; span < Count; ++span) {
    if (!(Knots[span + 1] > Knots[span])) continue;
    // The speed at u in this span, from the basis functions of degree p - 1
    // and p (de Boor's triangle) and their derivatives.
    auto speed = [&](double u) {
      double left[kMaxDegree + 1], right[kMaxDegree + 1], n[kMaxDegree + 1], lower[kMaxDegree + 1];
      n[0] = 1.0;
      for (std::size_t j = 1; j <= p; ++j) {
        if (j == p) std::copy(n, n + p, lower);
        left[j] = u - Knots[span + 1 - j];
        right[j] = Knots[span + j] - u;
        double saved = 0.0;
        for (std::size_t r = 0; r < j; ++r) {
          const double temp = n[r] / (right[r + 1] + left[j - r]);
          n[r] = saved + right[r + 1] * temp;
          saved = left[j - r] * temp;
        }
        n[j] = saved;
      }
      if (p == 1) lower[0] = 1.0;
      double ax = 0, ay = 0, w = 0, dax = 0, day = 0, dw = 0;
      for (std::size_t k = 0; k <= p; ++k) {
        double d = 0.0;
        if (k >= 1) {
          const double den = Knots[span + k] - Knots[span - p + k];
          if (den > 0) d += lower[k - 1] / den;
        }
        if (k + 1 <= p) {
          const double den = Knots[span + k + 1] - Knots[span - p + k + 1];
          if (den > 0) d -= lower[k] / den;
        }
        d *= static_cast<double>(p);
        const std::size_t j = span - p + k;
        const double weight = Weights ? Weights[j] : 1.0;
        ax += n[k] * weight * Control[j].X;
        ay += n[k] * weight * Control[j].Y;
        w += n[k] * weight;
        dax += d * weight * Control[j].X;
        day += d * weight * Control[j].Y;
        dw += d * weight;
      }
      if (!Weights) return std::hypot(dax, day);
      // (A / w)' = (A' - (A / w) w') / w
      return std::hypot(dax - ax / w * dw, day - ay / w * dw) / w;
    };
    total += IntegrateAdaptive(speed, Knots[span], Knots[span + 1]);
  }
  return total;
}

double FitPointSplineLength(const TPoint2* Fit, std::size_t Count) {
  std::vector<TPoint2> points;
  points.reserve(Count);
  for (std::size_t i = 0; i < Count; ++i)
    if (points.empty() || Distance(points.back(), Fit[i]) > 0) points.push_back(Fit[i]);
  const std::size_t n = points.size();
  if (n < 2) return 0.0;
  if (n == 2) return Distance(points[0], points[1]);
  std::vector<double> h(n - 1);
  for (std::size_t k = 0; k + 1 < n; ++k) h[k] = Distance(points[k], points[k + 1]);
  // Second derivatives of the natural cubic spline, one tridiagonal system
  // per coordinate (Thomas algorithm).
  std::vector<double> mx(n, 0.0), my(n, 0.0), c(n, 0.0), rx(n, 0.0), ry(n, 0.0);
  for (std::size_t k = 1; k + 1 < n; ++k) {
    const double diag = 2 * (h[k - 1] + h[k]);
    const double sx = 6 * ((points[k + 1].X - points[k].X) / h[k] - (points[k].X - points[k - 1].X) / h[k - 1]);
    const double sy = 6 * ((points[k + 1].Y - points[k].Y) / h[k] - (points[k].Y - points[k - 1].Y) / h[k - 1]);
    const double lowerC = k > 1 ? h[k - 1] : 0.0;
    const double m = diag - lowerC * c[k - 1];
    c[k] = h[k] / m;
    rx[k] = (sx - lowerC * rx[k - 1]) / m;
    ry[k] = (sy - lowerC * ry[k - 1]) / m;
  }
  for (std::size_t k = n - 2; k >= 1; --k) {
    mx[k] = rx[k] - (k + 2 < n ? c[k] * mx[k + 1] : 0.0);
    my[k] = ry[k] - (k + 2 < n ? c[k] * my[k + 1] : 0.0);
  }
  double total = 0.0;
  for (std::size_t k = 0; k + 1 < n; ++k) {
    const double hk = h[k];
    const double slopeX = (points[k + 1].X - points[k].X) / hk - (mx[k + 1] - mx[k]) * hk / 6;
    const double slopeY = (points[k + 1].Y - points[k].Y) / hk - (my[k + 1] - my[k]) * hk / 6;
    auto speed = [&](double t) {
      const double a = (hk - t) * (hk - t) / (2 * hk), b = t * t / (2 * hk);
      return std::hypot(-mx[k] * a + mx[k + 1] * b + slopeX, -my[k] * a + my[k + 1] * b + slopeY);
    };
    total += IntegrateAdaptive(speed, 0.0, hk);
  }
  return total;
}
