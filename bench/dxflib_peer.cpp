// orveline-dxflib-peer DRAWING.dxf REPORT.csv: the benchmark's peer. It reads
// the drawing with dxflib (DL_Dxf and a DL_CreationAdapter) instead of our
// reader, puts the lines, circles, arcs and polylines of the ENTITIES section
// into the entity tables, and writes them with our own measuring, sorting and
// CSV code, so that its list is byte for byte the default list of
// orveline-report and the two times compare the reading.
#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

#include "dxf/drawing.h"
#include "report/list_rows.h"
#include "report/list_writer.h"
#include "report/report_options.h"

namespace {

// Fills the tables from dxflib's callbacks. Entities inside block
// definitions are not the drawing's own and are left out, as the report
// reads only the ENTITIES section.
class TTableFiller : public DL_CreationAdapter {
 public:
  void addBlock(const DL_BlockData&) override { inBlock_ = true; }
  void endBlock() override { inBlock_ = false; }

  void addLine(const DL_LineData& Data) override {
    if (inBlock_) return;
    TLineRec& r = Lines.Push();
    ++LineCount;
    r.X1 = Data.x1, r.Y1 = Data.y1, r.Z1 = Data.z1;
    r.X2 = Data.x2, r.Y2 = Data.y2, r.Z2 = Data.z2;
    AssignRowKey(r);
  }
  void addArc(const DL_ArcData& Data) override {
    if (inBlock_) return;
    TArcRec& r = Arcs.Push();
    ++ArcCount;
    r.CX = Data.cx, r.CY = Data.cy, r.CZ = Data.cz;
    r.Radius = Data.radius;
    r.StartAngle = Data.angle1, r.EndAngle = Data.angle2;
    AssignRowKey(r);
  }
  void addCircle(const DL_CircleData& Data) override {
    if (inBlock_) return;
    TCircleRec& r = Circles.Push();
    ++CircleCount;
    r.CX = Data.cx, r.CY = Data.cy, r.CZ = Data.cz;
    r.Radius = Data.radius;
    AssignRowKey(r);
  }
  // Both kinds of polyline: dxflib hands their vertices to addVertex.
  void addPolyline(const DL_PolylineData&) override {
    poly_ = nullptr;
    if (inBlock_) return;
    poly_ = &Polys.Push();
    ++PolyCount;
    AssignRowKey(*poly_);
  }
  void addVertex(const DL_VertexData& Data) override {
    if (inBlock_ || poly_ == nullptr) return;
    if (poly_->VertexCount == 0) poly_->FirstVertex = static_cast<std::int64_t>(PolyVertices.Length());
    TVertex& v = PolyVertices.Push();
    v.X = Data.x, v.Y = Data.y;
    PolyVertexFlagSlots.Push();
    ++poly_->VertexCount;
  }

 private:
  // dxflib gives the colour as a number, 256 (by layer) when the entity has
  // no group 62, and the linetype "BYLAYER" when it has no group 6; the
  // tables hold the texts, empty for a missing group.
  template <class TRec>
  void AssignRowKey(TRec& Rec) {
    const DL_Attributes& a = attributes;
    Rec.Layer.Assign(a.getLayer());
    const int color = a.getColor();
    Rec.Color.Assign(color == 256 ? std::string() : std::to_string(color));
    const std::string lineType = a.getLinetype();
    Rec.LineType.Assign(lineType == "BYLAYER" ? std::string() : lineType);
  }

  bool inBlock_ = false;
  TPolyRec* poly_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: orveline-dxflib-peer DRAWING.dxf REPORT.csv\n");
    return 2;
  }
  try {
    CurrentDrawing.Clear();
    Lines.Reset(0);
    Arcs.Reset(0);
    Circles.Reset(0);
    Polys.Reset(0);
    TTableFiller filler;
    DL_Dxf dxf;
    if (!dxf.in(argv[1], &filler)) {
      std::fprintf(stderr, "dxflib cannot read %s\n", argv[1]);
      return 1;
    }
    TListWriter list(TListForm{});
    if (!list.Open(argv[2])) {
      std::fprintf(stderr, "cannot create %s\n", argv[2]);
      return 1;
    }
    ListDrawing(CurrentDrawing, TReportOptions{}, list);
    list.Close();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
