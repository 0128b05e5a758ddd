// What the reader keeps beyond the plain tables when a drawing is read for
// exact lengths: ellipses, splines, the bulges of polyline vertices, the
// plane maps of polylines placed out of blocks, and a tally of the entity
// types met.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dxf/entity_tables.h"
#include "dxf/placement.h"

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

extern TTable<TEllipseRec> Ellipses;
extern TTable<TSplineRec> Splines;
extern std::int32_t EllipseCount;
extern std::int32_t SplineCount;

extern TTable<TVertex> SplinePoints;
extern TTable<double> SplineKnots;
extern TTable<double> SplineWeights;

// The bulge [42] of each vertex of PolyVertices, index for index (0 for a
// straight segment from that vertex on).
extern TTable<double> PolyBulges;
// Plane maps of polylines placed out of blocks (TPolyRec::Placement).
extern TTable<TLinear2> PolyPlacements;

inline double PolyBulge(const TPolyRec& Rec, std::int32_t Slot) {
  return PolyBulges[static_cast<std::size_t>(Rec.FirstVertex + Slot - 1)];
}

inline void SwapEllipseRec(TEllipseRec& A, TEllipseRec& B) { std::swap(A, B); }
inline void SwapSplineRec(TSplineRec& A, TSplineRec& B) { std::swap(A, B); }

// One DXF entity type met in the ENTITIES section, and inside blocks where
// their references were expanded: how many of them were measured and how many
// were not. Type as the file names it.
struct TEntityTally {
  std::string Type;
  std::int64_t Measured = 0;
  std::int64_t NotMeasured = 0;
};

// The tally of the last reading, in the order in which the types were first
// met.
extern std::vector<TEntityTally> EntityTallies;

// Reads the DXF file at Path for exact lengths: the lines, arcs, circles,
// polylines (with their bulges, closing edges and flags), ellipses and splines
// of the ENTITIES section, and in place of each block reference the entities
// of its block from the BLOCKS section, placed where the reference puts them.
// Fills Lines, Arcs, Circles, Polys, Ellipses and Splines with their counts and
// EntityTallies; texts and styles are not read. Errors, a binary file and a
// UTF-8 byte-order mark at the file start as for ReadDxf.
void ReadDxfExact(const std::string& Path);

// Fills EntityTallies from the ENTITIES section as the plain reading counts:
// lines, arcs, circles and both kinds of polyline measured, everything else
// not. The tables are left alone. A UTF-8 byte-order mark at the file start
// is stepped over.
void TallyEntityTypes(const std::string& Path);
