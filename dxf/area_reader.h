// The closed shapes of a drawing read for areas: closed polylines, circles,
// full ellipses, closed splines and hatches, each measured in its own plane
// as its last pair is read; and the pass after reading that places the
// shapes of blocks where the references put them. Internal to the dxf
// library.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "dxf/areas.h"
#include "dxf/drawing.h"

// Takes the entities of the ENTITIES section and of block definitions, pair
// by pair, beside the entity reader, and adds one TAreaShape to
// D.AreaShapes for each closed shape.
class TAreaReader {
 public:
  explicit TAreaReader(TDrawing& D) : d_(D) {}

  // An entity of DXF type Kind starts; Owner is the index in D.Blocks of the
  // block it stands in, -1 for the ENTITIES section, -2 elsewhere (not read).
  void Open(std::string_view Kind, std::int32_t Owner);
  // One pair of the open entity; the values of layer, colour and linetype in
  // code page 932.
  void Pair(std::int32_t Code, std::string_view Value);
  // The section or the file ends: what is open is finished.
  void End();

 private:
  enum class TOpen : std::uint8_t { None, LwPolyline, Polyline, Vertex, Circle, Ellipse, Spline, Hatch };
  enum class THatchPart : std::uint8_t { Head, PolylinePath, EdgePath, Tail };

  void Finish();
  void FinishPolyline();
  void FinishEllipse();
  void FinishSpline();
  void FinishHatch();
  void VertexPair(std::int32_t Code, std::string_view Value);
  void HatchPair(std::int32_t Code, std::string_view Value);
  void EdgePair(std::int32_t Code, std::string_view Value);
  void ClosePolylinePath();
  void AddShape(TAreaKind Kind, const TAreaResult& Result, TPoint2 At, bool InPlane);

  TDrawing& d_;
  TOpen open_ = TOpen::None;
  std::int32_t owner_ = -2;
  TRowKey key_{};
  TVector3 normal_{0, 0, 1};

  // Polylines: the vertices, their bulges, the flags [70].
  std::vector<TPoint2> vertices_;
  std::vector<double> bulges_;
  std::int32_t flags_ = 0;
  bool polyActive_ = false;  // a POLYLINE takes VERTEX entities
  TPoint2 vertex_{0, 0};     // the open VERTEX
  double vertexBulge_ = 0;
  std::int32_t vertexFlags_ = 0;
  bool vertexHasPoint_ = false;

  // Circles and ellipses: centre [10, 20], radius [40] or ratio [40],
  // major axis [11, 21, 31], parameters [41, 42].
  TPoint2 center_{0, 0};
  double radius_ = 0;
  TVector3 major_{0, 0, 0};
  double startParam_ = 0, endParam_ = 0;

  // Splines and hatches: the boundary read so far.
  TAreaBoundary boundary_;
  std::int32_t fitPoints_ = 0;
  bool hasFirst_ = false;
  TPoint2 first_{0, 0};  // the first point read of a hatch's boundary

  // Hatches.
  THatchPart part_ = THatchPart::Head;
  std::int32_t style_ = 0;     // [75]
  bool pathBulges_ = false;    // [72] of a polyline path
  bool pathClosed_ = false;    // [73] of a polyline path
  bool unmeasurable_ = false;  // an edge or spline that gives no curve
  std::int32_t edgeType_ = 0;  // [72] of the open edge: 1 line, 2 arc, 3 elliptic arc, 4 spline
  double edgeStart_ = 0, edgeEnd_ = 0;
  bool edgeCcw_ = true;
  bool edgeRational_ = false;
};

// Places the shapes read: each of the drawing's own once, each of a block
// once per placement of the block (array cells and nesting included, with
// the bounds of block placement), the layer, colour and linetype handed down
// as for measured contents. Fills D.AreaRecs with the measured ones and
// counts in D.AreasNotMeasured the others.
void PlaceAreaShapes(TDrawing& D);
