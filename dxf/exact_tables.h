// The process-wide names of what CurrentDrawing holds for exact lengths:
// ellipses, splines, the bulges of polyline vertices, the plane maps of
// placed polylines, and the tally of the entity types met.
#pragma once

#include <cstdint>
#include <vector>

#include "dxf/drawing.h"

extern TTable<TEllipseRec>& Ellipses;
extern TTable<TSplineRec>& Splines;
extern std::int32_t& EllipseCount;
extern std::int32_t& SplineCount;

extern TTable<TVertex>& SplinePoints;
extern TTable<double>& SplineKnots;
extern TTable<double>& SplineWeights;

extern TTable<double>& PolyBulges;
extern TTable<TLinear2>& PolyPlacements;

inline double PolyBulge(const TPolyRec& Rec, std::int32_t Slot) { return CurrentDrawing.Bulge(Rec, Slot); }

// The tally of the last reading of CurrentDrawing.
extern std::vector<TEntityTally>& EntityTallies;
