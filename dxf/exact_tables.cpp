#include "dxf/exact_tables.h"

TTable<TEllipseRec> Ellipses;
TTable<TSplineRec> Splines;
std::int32_t EllipseCount = 0;
std::int32_t SplineCount = 0;

TTable<TVertex> SplinePoints;
TTable<double> SplineKnots;
TTable<double> SplineWeights;

TTable<double> PolyBulges;
TTable<TLinear2> PolyPlacements;

std::vector<TEntityTally> EntityTallies;
