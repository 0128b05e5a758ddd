// Lengths of the curves that exact measuring meets, in the XY plane: arc
// segments of polylines, ellipse arcs and B-splines. Curves without a closed
// form are integrated numerically (adaptive Gauss-Legendre) to a relative
// error far below 1e-9.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "dxf/placement.h"

// The polyline segment from P to Q with bulge Bulge (the tangent of a quarter
// of its included angle; 0 is straight, 1 a half circle, negative clockwise).
double BulgeSegmentLength(TPoint2 P, TPoint2 Q, double Bulge);
// The same segment drawn in a block and placed by Map: P and Q are where it
// ends after the placement. A map that is not a similarity turns the arc into
// an elliptical arc.
double PlacedBulgeSegmentLength(TPoint2 P, TPoint2 Q, double Bulge, const TLinear2& Map);

// The arc Center + U cos t + V sin t for t from T0 to T1 (radians, T0 <= T1):
// an ellipse arc with U and V conjugate semi-diameters (the major axis and
// the minor one for an ELLIPSE, any pair for a placed circle).
double EllipseArcLength(TPoint2 U, TPoint2 V, double T0, double T1);

// A B-spline of degree Degree with Count control points (X and Y),
// Weights (nullptr or Count values: a rational spline) and Count + Degree + 1
// knots, over its whole domain (knot Degree to knot Count). Returns a
// negative value when the data do not form a spline (wrong knot count,
// decreasing knots, degree below 1, a weight that is not positive).
double BSplineLength(int Degree, const double* Knots, std::size_t KnotCount, const TPoint2* Control,
                     const double* Weights, std::size_t Count);

// The cubic spline through Count fit points, with chord-length parameters
// and natural ends (for a SPLINE that has fit points and no control points).
double FitPointSplineLength(const TPoint2* Fit, std::size_t Count);

// The adaptive Gauss-Legendre integral of F from A to B (A <= B) to the
// relative error RelativeError; F is smooth or has a few kinks. The work is
// bounded whatever F is.
template <class TFunction>
double IntegrateAdaptive(TFunction F, double A, double B, double RelativeError = 1e-13);

// Implementation of the template.
namespace curve_lengths_detail {
constexpr int kNodes = 16;
// Nodes and weights on [-1, 1], the nodes positive half first.
const double* Nodes();
const double* Weights();

template <class TFunction>
double Rule(TFunction& F, double A, double B) {
  const double half = 0.5 * (B - A), mid = 0.5 * (A + B);
  const double* x = Nodes();
  const double* w = Weights();
  double sum = 0.0;
  for (int i = 0; i < kNodes / 2; ++i) sum += w[i] * (F(mid - half * x[i]) + F(mid + half * x[i]));
  return sum * half;
}

// Halves [A, B] until the two halves agree with the whole to Tolerance, an
// absolute error that each half gets half of. Floor (a few units of
// rounding of the whole integral) ends the halving where rounding noise is
// all that is left, and Pieces bounds the work on any integrand.
template <class TFunction>
double Adapt(TFunction& F, double A, double B, double Whole, double Tolerance, double Floor, int Depth, int& Pieces) {
  const double mid = 0.5 * (A + B);
  const double left = Rule(F, A, mid), right = Rule(F, mid, B);
  const double fine = left + right;
  const double error = std::abs(fine - Whole);
  if (error <= Tolerance || error <= Floor || Depth >= 30 || ++Pieces > 20000 || !(mid > A && mid < B)) return fine;
  return Adapt(F, A, mid, left, Tolerance / 2, Floor, Depth + 1, Pieces) +
         Adapt(F, mid, B, right, Tolerance / 2, Floor, Depth + 1, Pieces);
}
}  // namespace curve_lengths_detail

template <class TFunction>
double IntegrateAdaptive(TFunction F, double A, double B, double RelativeError) {
  if (!(B > A)) return 0.0;
  const double whole = curve_lengths_detail::Rule(F, A, B);
  const double mid = 0.5 * (A + B);
  const double estimate = std::max(
      std::abs(whole), std::abs(curve_lengths_detail::Rule(F, A, mid) + curve_lengths_detail::Rule(F, mid, B)));
  int pieces = 0;
  return curve_lengths_detail::Adapt(F, A, B, whole, RelativeError * estimate, 1e-15 * estimate, 0, pieces);
}
