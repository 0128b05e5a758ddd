// The measure of each entity the report counts: its length in drawing units
// in the XY plane (Z is ignored). Intermediates are computed in long double.
#pragma once

#include <cstdint>

#include "dxf/drawing.h"

// Each takes the index of an entity in its table of CurrentDrawing (0 for the
// first record).
double LineLength(std::int32_t Index);
double CircleLength(std::int32_t Index);
double ArcLength(std::int32_t Index);
double PolyLength(std::int32_t Index);

// The same measures of one record (of drawing D, which holds its vertices).
double MeasureLine(const TLineRec& Line);
double MeasureCircle(const TCircleRec& Circle);
// Counter-clockwise from StartAngle to EndAngle: 360 is added to a negative
// sweep, so 350 to 10 degrees sweeps 20.
double MeasureArc(const TArcRec& Arc);
// Straight segments from vertex to vertex; a closed polyline gets no segment
// back to its first vertex.
double MeasurePoly(const TDrawing& D, const TPolyRec& Poly);

// Exact lengths, as drawn. A polyline's segments with a bulge are the arcs
// they are, a closed one (flag 1) gets the segment from its last vertex back
// to its first, and one placed out of a block by an unequal scale has its
// arcs stretched with it.
double MeasurePolyExact(const TDrawing& D, const TPolyRec& Poly);
double MeasureEllipse(const TEllipseRec& Ellipse);
double MeasureSpline(const TDrawing& D, const TSplineRec& Spline);
