// Where a plane map (dxf/placement.h) puts the records of arcs, circles and
// polylines: the one placement that serves both the plane an entity is drawn
// in and the block references that place a block's contents. Internal to the
// dxf library.
#pragma once

#include "dxf/drawing.h"
#include "dxf/placement.h"

// Places an arc with Placement. True when it stays an arc (Arc is changed);
// false when the map does not keep circles circles: the ellipse it becomes is
// added to D.Ellipses instead, and Arc is left as it was.
bool PlaceArc(TDrawing& D, const TPlacement& Placement, TArcRec& Arc);

// The same for a circle.
bool PlaceCircle(TDrawing& D, const TPlacement& Placement, TCircleRec& Circle);

// Places the vertices of a polyline in its own slots. Where the map, together
// with the plane map the polyline had already, does not keep circles circles,
// its bulges are measured as the elliptic arcs they become: the whole map is
// kept beside the record (TPolyRec::Placement).
void PlacePolyline(TDrawing& D, const TPlacement& Placement, TPolyRec& Poly);

// The map of an entity drawn with extrusion Normal at Elevation along it,
// seen from above; null for one drawn in the XY plane itself.
const TPlacement* PlanPlacement(const TVector3& Normal, double Elevation, TPlacement& Storage);
