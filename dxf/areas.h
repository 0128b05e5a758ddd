// The area a closed boundary encloses, in the plane it is drawn in: loops of
// straight segments, arcs given by a bulge, elliptic arcs and B-splines, and
// islands taken out as a hatch's style nests them. Pure arithmetic; areas in
// the square of the drawing's unit.
#pragma once

#include <cstdint>
#include <vector>

#include "dxf/placement.h"

// A B-spline of degree Degree: Knots.size() == Control.size() + Degree + 1;
// Weights empty (a plain B-spline) or one per control point.
struct TAreaSpline {
  std::int32_t Degree = 0;
  std::vector<double> Knots;
  std::vector<TPoint2> Control;
  std::vector<double> Weights;
};

// One piece of a loop.
struct TAreaEdge {
  enum class TKind : std::uint8_t { Line, Bulge, Ellipse, Spline };
  TKind Kind = TKind::Line;
  TPoint2 P{0, 0}, Q{0, 0};  // Line and Bulge: from P to Q
  double Bulge = 0;          // the tangent of a quarter of the included angle; negative clockwise
  // Ellipse: Center + U cos t + V sin t for t from T0 to T1 (radians; T1
  // below T0 runs the arc backwards).
  TPoint2 Center{0, 0}, U{0, 0}, V{0, 0};
  double T0 = 0, T1 = 0;
  std::int32_t Spline = -1;  // Spline: index in TAreaBoundary::Splines
};

// A boundary of one or more loops. Within a loop one piece follows the
// other; a gap between the end of a piece and the start of the next (and
// between the last and the first) is closed by a straight segment.
struct TAreaBoundary {
  std::vector<std::vector<TAreaEdge>> Loops;
  std::vector<TAreaSpline> Splines;
};

// How loops inside loops count: the hatch style [75].
enum class TIslands : std::uint8_t {
  Alternate,  // 0, normal: a loop inside an odd number of others is a hole, inside an even number filled again
  Outermost,  // 1, outer: the outermost loops less the loops directly inside them
  Ignore      // 2, ignore: the outermost loops whole
};

struct TAreaResult {
  bool Measured = false;  // false: the area cannot be determined
  double Area = 0;        // not negative
};

// The area the boundary encloses. Not measured: no loop, a value that is not
// finite, a spline that does not form a curve, a loop that crosses itself or
// another loop.
TAreaResult EnclosedArea(const TAreaBoundary& Boundary, TIslands Islands);

// The signed area of a B-spline piece against the origin, half the integral
// of x dy - y dx over its whole domain; false when the data do not form a
// spline.
bool SplineSectorArea(const TAreaSpline& Spline, double& Area);
