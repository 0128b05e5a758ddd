#include "dxf/drawing.h"

#include "dxf/exact_tables.h"

TDrawing CurrentDrawing;

TTextPool& RunTexts = CurrentDrawing.Pool;

TTable<TLineRec>& Lines = CurrentDrawing.Lines;
TTable<TArcRec>& Arcs = CurrentDrawing.Arcs;
TTable<TCircleRec>& Circles = CurrentDrawing.Circles;
TTable<TPolyRec>& Polys = CurrentDrawing.Polys;
TTable<TTextRec>& Texts = CurrentDrawing.Texts;
TTable<TStyleRec>& Styles = CurrentDrawing.Styles;
TTable<TVertex>& PolyVertices = CurrentDrawing.PolyVertices;
TTable<std::int32_t>& PolyVertexFlagSlots = CurrentDrawing.PolyVertexFlagSlots;
std::int32_t& LineCount = CurrentDrawing.LineCount;
std::int32_t& ArcCount = CurrentDrawing.ArcCount;
std::int32_t& CircleCount = CurrentDrawing.CircleCount;
std::int32_t& PolyCount = CurrentDrawing.PolyCount;
std::int32_t& TextCount = CurrentDrawing.TextCount;

TTable<TEllipseRec>& Ellipses = CurrentDrawing.Ellipses;
TTable<TSplineRec>& Splines = CurrentDrawing.Splines;
std::int32_t& EllipseCount = CurrentDrawing.EllipseCount;
std::int32_t& SplineCount = CurrentDrawing.SplineCount;
TTable<TVertex>& SplinePoints = CurrentDrawing.SplinePoints;
TTable<double>& SplineKnots = CurrentDrawing.SplineKnots;
TTable<double>& SplineWeights = CurrentDrawing.SplineWeights;
TTable<double>& PolyBulges = CurrentDrawing.PolyBulges;
TTable<TLinear2>& PolyPlacements = CurrentDrawing.PolyPlacements;
std::vector<TEntityTally>& EntityTallies = CurrentDrawing.Tally;

double TDrawing::StyleHeight(std::string_view Name) const {
  if (!styleIndexFresh_) {
    styleIndex_.clear();
    for (std::int32_t i = 0; i < StyleCount; ++i)
      styleIndex_.try_emplace(std::string(Text(Styles[static_cast<std::size_t>(i)].Name)), i);  // the first wins
    styleIndexFresh_ = true;
  }
  const auto found = styleIndex_.find(Name);
  return found == styleIndex_.end() ? 0.0 : Styles[static_cast<std::size_t>(found->second)].Height;
}

void TDrawing::Clear() {
  Pool.Clear();
  LineCount = ArcCount = CircleCount = PolyCount = TextCount = StyleCount = 0;
  EllipseCount = SplineCount = 0;
  Lines.Reset(TablesGrowStep);
  Arcs.Reset(TablesGrowStep);
  Circles.Reset(TablesGrowStep);
  Polys.Reset(TablesGrowStep);
  Texts.Reset(TablesGrowStep);
  Styles.Reset(TablesGrowStep);
  PolyVertices.Reset(0);
  PolyVertexFlagSlots.Reset(0);
  Ellipses.Reset(0);
  Splines.Reset(0);
  SplinePoints.Reset(0);
  SplineKnots.Reset(0);
  SplineWeights.Reset(0);
  PolyBulges.Reset(0);
  PolyPlacements.Reset(0);
  Blocks.clear();
  Inserts.clear();
  Attributes.clear();
  PlacedBlocks.clear();
  AnonymousLeftOut = BlocksNotPlaced = 0;
  BlockCounts = false;
  AreaShapes.clear();
  for (TTable<TAreaRec>& table : AreaRecs) table.Reset(0);
  AreaRecCounts = {};
  AreasNotMeasured = {};
  Areas = false;
  OwnStart = {};
  Tally.clear();
  BulgedPolylines = ClosedPolylines = 0;
  Exact = false;
  Complete = true;
  Utf8 = false;
  CodePage = 0;
  Units = 0;
  styleIndexFresh_ = false;
}
