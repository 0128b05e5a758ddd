// The records that the exact lengths read beyond the plain tables:
// ellipses and splines.
#pragma once

#include <cstdint>
#include <utility>

#include "dxf/entity_tables.h"

// One ELLIPSE, or a circle or arc that a block reference stretched unequally:
// the curve Center + Major cos t + Minor sin t for t from StartParam to
// EndParam (radians), in the XY plane.
struct TEllipseRec {
  double CX, CY, CZ;      // center [10, 20, 30]
  double MajorX, MajorY;  // end of the major axis from the center [11, 21]
  double MinorX, MinorY;  // the other semi-diameter: [40] times the major one turned a quarter
  double StartParam;      // [41]
  double EndParam;        // [42]; 2 pi is added while it is below StartParam
  TText60 Layer;
  TText60 Color;
  TText60 LineType;
};

// One SPLINE: its points and knots live in SplinePoints, SplineKnots and
// SplineWeights from the First indices on.
struct TSplineRec {
  std::int64_t FirstControl;  // control points [10, 20], then fit points [11, 21], in SplinePoints
  std::int64_t FirstKnot;     // knots [40] in SplineKnots
  std::int64_t FirstWeight;   // weights [41] in SplineWeights; WeightCount 0 for a plain B-spline
  std::int32_t Degree;        // [71]
  std::int32_t ControlCount;  // control points read
  std::int32_t FitCount;      // fit points read, after the control points
  std::int32_t KnotCount;     // knots read
  std::int32_t WeightCount;   // weights read
  TText60 Layer;
  TText60 Color;
  TText60 LineType;
};

inline void SwapEllipseRec(TEllipseRec& A, TEllipseRec& B) { std::swap(A, B); }
inline void SwapSplineRec(TSplineRec& A, TSplineRec& B) { std::swap(A, B); }
