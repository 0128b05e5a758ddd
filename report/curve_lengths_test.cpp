#include "report/curve_lengths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// The perimeter of the ellipse with semi-axes A and B by the arithmetic-
// geometric mean: 2 pi / M(A, B) (A^2 - sum 2^(n-1) c_n^2), c_0^2 = A^2 - B^2.
double EllipsePerimeter(double A, double B) {
  long double a = A, b = B, sum = 0.5L * (static_cast<long double>(A) * A - static_cast<long double>(B) * B);
  long double power = 0.5L;
  for (int n = 1; n < 60; ++n) {
    const long double c = (a - b) / 2;
    const long double nextA = (a + b) / 2, nextB = std::sqrt(a * b);
    a = nextA;
    b = nextB;
    power *= 2;
    sum += power * c * c;
  }
  return static_cast<double>(2 * 3.14159265358979323846264L / a * (static_cast<long double>(A) * A - sum));
}

// The same by Kummer's series: pi (A + B) sum binom(1/2, n)^2 h^n, with
// h = ((A - B) / (A + B))^2.
double EllipsePerimeterSeries(double A, double B) {
  const long double h = ((A - B) / (A + B)) * ((A - B) / (A + B));
  long double binom = 1, hn = 1, sum = 0;
  for (int n = 0; n < 400; ++n) {
    sum += binom * binom * hn;
    binom *= (0.5L - n) / (n + 1);
    hn *= h;
  }
  return static_cast<double>(3.14159265358979323846264L * (A + B) * sum);
}

void ExpectRelative(double Actual, double Expected, double Relative = 1e-12) {
  EXPECT_NEAR(Actual, Expected, Relative * std::fabs(Expected)) << "relative error " << (Actual - Expected) / Expected;
}

TEST(CurveLengths, BulgeSegments) {
  const struct {
    const char* name;
    TPoint2 p, q;
    double bulge, length;
  } cases[] = {
      {"straight", {0, 0}, {3, 4}, 0.0, 5.0},
      {"half circle", {0, 0}, {2, 0}, 1.0, kPi},
      {"half circle clockwise", {0, 0}, {0, 6}, -1.0, 3 * kPi},
      {"quarter circle", {1, 0}, {0, 1}, std::tan(kPi / 8), kPi / 2},
      {"three quarters", {1, 0}, {0, -1}, std::tan(3 * kPi / 8), 1.5 * kPi},
      {"tiny bulge is nearly the chord", {0, 0}, {1, 0}, 1e-12, 1.0},
      {"zero chord", {2, 2}, {2, 2}, 1.0, 0.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectRelative(BulgeSegmentLength(c.p, c.q, c.bulge), c.length);
  }
  // A closed square of quarter-circle bulges is the circle through its corners.
  const TPoint2 corners[] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
  double square = 0;
  for (int k = 0; k < 4; ++k) square += BulgeSegmentLength(corners[k], corners[(k + 1) % 4], std::tan(kPi / 8));
  ExpectRelative(square, 2 * kPi);
}

TEST(CurveLengths, PlacedBulgeUnderUnequalScaleIsAnEllipseArc) {
  // A half circle of radius 1 over (0,0)-(2,0), stretched 2 times along X:
  // half of the ellipse with semi-axes 2 and 1.
  ExpectRelative(PlacedBulgeSegmentLength({0, 0}, {4, 0}, 1.0, {2, 0, 0, 1}), EllipsePerimeterSeries(2, 1) / 2);
  // Stretched along Y instead: the half ellipse with semi-axes 1 (along
  // the chord) and 3.
  ExpectRelative(PlacedBulgeSegmentLength({0, 0}, {2, 0}, 1.0, {1, 0, 0, 3}), EllipsePerimeterSeries(3, 1) / 2);
  // A similarity changes nothing but the size.
  ExpectRelative(PlacedBulgeSegmentLength({0, 0}, {0, 4}, -1.0, {0, -2, 2, 0}), 2 * kPi);
}

TEST(CurveLengths, EllipseArcs) {
  const struct {
    const char* name;
    TPoint2 u, v;
    double t0, t1, length;
  } cases[] = {
      {"ratio 1 is a circle", {3, 0}, {0, 3}, 0, 2 * kPi, 6 * kPi},
      {"ratio 1, quarter, turned", {0, 5}, {-5, 0}, 1, 1 + kPi / 2, 2.5 * kPi},
      {"quarter ellipse 2 by 1", {2, 0}, {0, 1}, 0, kPi / 2, EllipsePerimeterSeries(2, 1) / 4},
      {"full ellipse, axes turned 30 degrees",
       {5 * std::cos(kPi / 6), 5 * std::sin(kPi / 6)},
       {-1.5 * std::sin(kPi / 6), 1.5 * std::cos(kPi / 6)},
       0,
       2 * kPi,
       EllipsePerimeter(5, 1.5)},
      {"very flat full ellipse", {1, 0}, {0, 0.001}, 0, 2 * kPi, EllipsePerimeter(1, 0.001)},
      {"second half of a flat ellipse", {1, 0}, {0, 0.001}, kPi, 2 * kPi, EllipsePerimeter(1, 0.001) / 2},
      // Conjugate semi-diameters of the circle of radius 1 sheared: (1,0) and
      // (1,1) are the image of the unit circle under x' = x + y.
      {"sheared circle",
       {1, 0},
       {1, 1},
       0,
       2 * kPi,
       EllipsePerimeter(std::sqrt((3 + std::sqrt(5.0)) / 2), std::sqrt((3 - std::sqrt(5.0)) / 2))},
      {"empty range", {1, 0}, {0, 1}, 2, 2, 0.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectRelative(EllipseArcLength(c.u, c.v, c.t0, c.t1), c.length);
  }
  // The two series agree on the ellipse they both converge fast for.
  ExpectRelative(EllipsePerimeter(2, 1), EllipsePerimeterSeries(2, 1), 1e-15);
}

TEST(CurveLengths, Splines) {
  const double r = std::sqrt(0.5);
  const struct {
    const char* name;
    int degree;
    std::vector<double> knots;
    std::vector<TPoint2> control;
    std::vector<double> weights;
    double length;
  } cases[] = {
      {"degree 1 is its control polygon", 1, {0, 0, 1, 2, 3, 3}, {{0, 0}, {3, 4}, {3, 0}, {10, 0}}, {}, 16.0},
      {"degree 1, uneven knots", 1, {0, 0, 0.1, 7, 7}, {{0, 0}, {0, 2}, {2, 2}}, {}, 4.0},
      // B(t) = (2t, 4t(1 - t)) + ..., speed 2 sqrt(1 + (2 - 4t)^2): the
      // length is sqrt(5) + asinh(2) / 2.
      {"quadratic Bezier", 2, {0, 0, 0, 1, 1, 1}, {{0, 0}, {1, 2}, {2, 0}}, {}, std::sqrt(5.0) + std::asinh(2.0) / 2},
      {"quadratic, knots scaled",
       2,
       {5, 5, 5, 9, 9, 9},
       {{0, 0}, {1, 2}, {2, 0}},
       {},
       std::sqrt(5.0) + std::asinh(2.0) / 2},
      {"rational quarter circle", 2, {0, 0, 0, 1, 1, 1}, {{1, 0}, {1, 1}, {0, 1}}, {1, r, 1}, kPi / 2},
      {"rational full circle of radius 2",
       2,
       {0, 0, 0, 0.25, 0.25, 0.5, 0.5, 0.75, 0.75, 1, 1, 1},
       {{2, 0}, {2, 2}, {0, 2}, {-2, 2}, {-2, 0}, {-2, -2}, {0, -2}, {2, -2}, {2, 0}},
       {1, r, 1, r, 1, r, 1, r, 1},
       4 * kPi},
      // A cubic Bezier whose control points lie evenly on a line is the
      // straight segment between its ends.
      {"cubic on a line", 3, {0, 0, 0, 0, 1, 1, 1, 1}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}, {}, 3 * std::sqrt(2.0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectRelative(BSplineLength(c.degree, c.knots.data(), c.knots.size(), c.control.data(),
                                 c.weights.empty() ? nullptr : c.weights.data(), c.control.size()),
                   c.length);
  }
  // Far from the origin, with three equal control points: the speed near the
  // start is rounding noise, which must not keep the halving going without
  // end. B(t) = P0 + (P3 - P0) t^3, length 1.
  {
    const std::vector<double> knots{0, 0, 0, 0, 1, 1, 1, 1};
    const std::vector<TPoint2> far{{1e7, 1e7}, {1e7, 1e7}, {1e7, 1e7}, {1e7 + 1, 1e7}};
    ExpectRelative(BSplineLength(3, knots.data(), knots.size(), far.data(), nullptr, far.size()), 1.0, 1e-9);
  }
  const std::vector<TPoint2> control{{0, 0}, {1, 2}, {2, 0}};
  const std::vector<double> shortKnots{0, 0, 0, 1, 1};
  const std::vector<double> falling{0, 0, 1, 0.5, 1, 1};
  const std::vector<double> badWeights{1, 0, 1};
  EXPECT_LT(BSplineLength(2, shortKnots.data(), shortKnots.size(), control.data(), nullptr, 3), 0);
  EXPECT_LT(BSplineLength(2, falling.data(), falling.size(), control.data(), nullptr, 3), 0);
  const std::vector<double> knots{0, 0, 0, 1, 1, 1};
  EXPECT_LT(BSplineLength(2, knots.data(), knots.size(), control.data(), badWeights.data(), 3), 0);
  EXPECT_LT(BSplineLength(0, knots.data(), 3, control.data(), nullptr, 3), 0);
}

TEST(CurveLengths, FitPoints) {
  const std::vector<TPoint2> line{{0, 0}, {1, 0}, {1, 0}, {3, 0}, {6, 0}};
  ExpectRelative(FitPointSplineLength(line.data(), line.size()), 6.0);
  const std::vector<TPoint2> two{{0, 0}, {3, 4}};
  ExpectRelative(FitPointSplineLength(two.data(), two.size()), 5.0);
  // Through the corners of a right angle the curve bends outside the corner
  // polygon, so it is longer than the polygon and shorter than a detour.
  const std::vector<TPoint2> bend{{0, 0}, {1, 0}, {1, 1}};
  const double length = FitPointSplineLength(bend.data(), bend.size());
  EXPECT_GT(length, 2.0);
  EXPECT_LT(length, 2.5);
  EXPECT_EQ(FitPointSplineLength(two.data(), 1), 0.0);
}

TEST(Placement, InsertsArraysNestingAndFlips) {
  const struct {
    const char* name;
    TPlacement placement;
    TPoint2 in, out;
  } cases[] = {
      {"base, scale 2, rotation 90, insertion point",
       InsertPlacement({1, 1}, {10, 0}, 2, 2, 90, {0, 0}, false),
       {2, 1},
       {10, 2}},
      {"unequal scale", InsertPlacement({0, 0}, {0, 0}, 3, -1, 0, {0, 0}, false), {1, 1}, {3, -1}},
      {"array cell, turned with the reference",
       InsertPlacement({0, 0}, {1, 1}, 1, 1, 90, {5, 7}, false),
       {0, 0},
       {-6, 6}},
      {"rotation 180", InsertPlacement({0, 0}, {0, 0}, 1, 1, -180, {0, 0}, false), {1, 2}, {-1, -2}},
      {"flipped extrusion", InsertPlacement({0, 0}, {10, 0}, 1, 1, 0, {0, 0}, true), {1, 0}, {-11, 0}},
      {"nested: inner scaled 2, outer turned 90 and moved",
       Compose(InsertPlacement({0, 0}, {100, 0}, 1, 1, 90, {0, 0}, false),
               InsertPlacement({0, 0}, {1, 0}, 2, 2, 0, {0, 0}, false)),
       {1, 0},
       {100, 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TPoint2 p = Apply(c.placement, c.in);
    EXPECT_NEAR(p.X, c.out.X, 1e-12);
    EXPECT_NEAR(p.Y, c.out.Y, 1e-12);
  }
  // 30 degrees turns (1, 0) to (cos 30, sin 30).
  const TPoint2 p = Apply(InsertPlacement({0, 0}, {0, 0}, 1, 1, 30, {0, 0}, false), {1, 0});
  EXPECT_NEAR(p.X, std::sqrt(3.0) / 2, 1e-15);
  EXPECT_NEAR(p.Y, 0.5, 1e-15);
}

}  // namespace
