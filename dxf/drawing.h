// One read drawing as a value: its tables and counts, the pool that holds
// their texts, what the exact lengths need beyond the plain tables, the
// tally of the entity types met and the text encoding it was read in. The
// reader fills a drawing (dxf/dxf_reader.h); the report lists one. Nothing
// of one reading is left in the drawing after the next.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dxf/entity_tables.h"
#include "dxf/exact_records.h"
#include "dxf/placement.h"
#include "dxf/pool_text.h"

// Layer, colour and linetype: the key of a row, and what a block reference
// hands down to the contents of its block.
struct TRowKey {
  TText60 Layer, Color, LineType;
};

// One INSERT: a reference to a block, or an array of references (MINSERT:
// columns and rows).
struct TInsertRef {
  std::string Block;                         // [2], code page 932
  TPoint2 At{0, 0};                          // [10, 20]
  double ScaleX = 1, ScaleY = 1;             // [41, 42]
  double Rotation = 0;                       // degrees [50]
  std::int32_t Columns = 1, Rows = 1;        // [70, 71]
  double ColumnSpacing = 0, RowSpacing = 0;  // [44, 45]
  double Z = 0;                              // [30], the height along the extrusion
  TVector3 Normal{0, 0, 1};                  // extrusion [210, 220, 230]
  TRowKey Key;
  std::int32_t Owner = -1;  // index in Blocks of the block it stands in; -1 for the ENTITIES section
  // Read with block counts only: its attributes, Attributes[FirstAttribute]
  // on, and the name of the block its anonymous block copies, where the
  // reference itself records it.
  std::uint32_t FirstAttribute = 0, AttributeCount = 0;
  std::string TrueName;
};

// One ATTRIB that follows a block reference: its tag [2] and value [1], in
// code page 932.
struct TAttribute {
  std::string Tag, Value;
};

// One block reference placed in the listed space, with block counts: a
// reference of the drawing, a cell of an array reference, or a reference
// inside a placed block, once per placement of its parents.
struct TPlacedBlock {
  std::uint32_t Name;    // pool text: the block's name, or for a copy of a named block that name
  std::uint32_t Insert;  // index in Inserts: the reference, with its attributes
  TRowKey Key;           // as handed down through the references around it
  TPlacement Placement;  // where a point of the block lands in the drawing
};

// The kinds of closed shapes whose areas are listed, in the list's order.
enum class TAreaKind : std::uint8_t { Polyline, Circle, Ellipse, Spline, Hatch };
constexpr std::size_t kAreaKinds = 5;

// One closed shape of the drawing or of a block, read for areas: its area
// measured in the plane it is drawn in, or not measured (it crosses itself,
// or its area cannot be determined).
struct TAreaShape {
  TAreaKind Kind;
  bool Measured;
  std::int32_t Owner;  // index in Blocks of the block it stands in; -1 for the ENTITIES section
  double Area;         // in its own plane
  TPoint2 At;          // its first point in its own plane: where it lies, for duplicates
  TPlacement Plan;     // from its own plane to the drawing seen from above
  TRowKey Key;
};

// One shape placed in the drawing, measured: its area and first point as
// placed.
struct TAreaRec {
  double Area;
  double X, Y;
  TText60 Layer;
  TText60 Color;
  TText60 LineType;
};

inline void SwapAreaRec(TAreaRec& A, TAreaRec& B) { std::swap(A, B); }

// The counts of one entity type (an index in TDrawing::Tally) in one block.
struct TTypeCount {
  std::size_t Type;
  std::int64_t Measured, NotMeasured;
};

// One block definition: its records are, in each table, the range from its
// first record up to the one before End.
struct TBlockDef {
  std::string Name;    // [2], code page 932
  TPoint2 Base{0, 0};  // [10, 20]
  std::int32_t Line[2], Arc[2], Circle[2], Ellipse[2], Spline[2], Poly[2];
  std::size_t Insert[2];
  std::vector<TTypeCount> Counts;  // what it holds besides references
  // With block counts: for an anonymous block ("*" first) that copies a
  // named one, that name; else empty.
  std::string TrueName;
};

// A count of records in each table that block definitions fill.
struct TTableMarks {
  std::int32_t Line = 0, Arc = 0, Circle = 0, Ellipse = 0, Spline = 0, Poly = 0;
};

// One DXF entity type met in the ENTITIES section, and inside blocks where
// their references were placed: how many were measured and how many not.
// Type as the file names it.
struct TEntityTally {
  std::string Type;
  std::int64_t Measured = 0;
  std::int64_t NotMeasured = 0;
};

class TDrawing {
 public:
  TDrawing() = default;
  TDrawing(TDrawing&&) = default;
  TDrawing& operator=(TDrawing&&) = default;

  // The distinct texts of the records.
  TTextPool Pool;

  TTable<TLineRec> Lines;
  TTable<TArcRec> Arcs;
  TTable<TCircleRec> Circles;
  TTable<TPolyRec> Polys;
  TTable<TTextRec> Texts;
  TTable<TStyleRec> Styles;
  TTable<TVertex> PolyVertices;              // the vertices of every record of Polys
  TTable<std::int32_t> PolyVertexFlagSlots;  // their flags, index for index
  std::int32_t LineCount = 0, ArcCount = 0, CircleCount = 0, PolyCount = 0, TextCount = 0, StyleCount = 0;

  // Read for exact lengths only; empty otherwise.
  TTable<TEllipseRec> Ellipses;
  TTable<TSplineRec> Splines;
  std::int32_t EllipseCount = 0, SplineCount = 0;
  TTable<TVertex> SplinePoints;
  TTable<double> SplineKnots;
  TTable<double> SplineWeights;
  TTable<double> PolyBulges;        // the bulge [42] of each vertex of PolyVertices, index for index
  TTable<TLinear2> PolyPlacements;  // plane maps of polylines (TPolyRec::Placement)
  std::vector<TBlockDef> Blocks;    // the block definitions, in file order
  std::vector<TInsertRef> Inserts;  // the block references of the blocks and of the drawing
  TTableMarks OwnStart;             // where the drawing's own records follow the blocks' records
  bool Exact = false;               // read for exact lengths

  // Read for block counts only; empty otherwise.
  std::vector<TAttribute> Attributes;      // of the references, reference by reference
  std::vector<TPlacedBlock> PlacedBlocks;  // every reference placed, in drawing order
  std::int64_t AnonymousLeftOut = 0;       // placements of anonymous blocks that copy no named block
  std::int64_t BlocksNotPlaced = 0;        // placements refused: a cycle, nesting too deep, too many
  bool BlockCounts = false;                // read for block counts

  // Read for areas only; empty otherwise. The shapes as read, then, kind by
  // kind (TAreaKind), the measured ones placed, and how many of each kind
  // were placed measured and not measured.
  std::vector<TAreaShape> AreaShapes;
  std::array<TTable<TAreaRec>, kAreaKinds> AreaRecs;
  std::array<std::int32_t, kAreaKinds> AreaRecCounts{};
  std::array<std::int64_t, kAreaKinds> AreasNotMeasured{};
  bool Areas = false;  // read for areas
  // False when the bytes end inside the ENTITIES section: the drawing was
  // cut, and what is missing cannot be known.
  bool Complete = true;

  // The entity types met, in the order first met; filled when asked for,
  // with the polylines that have a segment with a bulge (an arc) and those
  // marked closed (group 70 bit 1), which the plain list measures short.
  std::vector<TEntityTally> Tally;
  std::int64_t BulgedPolylines = 0;
  std::int64_t ClosedPolylines = 0;

  // The drawing's stored encoding: UTF-8 ($ACADVER AC1021 and later), else
  // the code page of $DWGCODEPAGE (0 for none or 932). Texts are held in
  // code page 932 whatever it is.
  bool Utf8 = false;
  std::uint32_t CodePage = 0;
  // The unit its lengths are drawn in: the code of $INSUNITS (4 millimetres,
  // 6 metres, 1 inches, ...); 0 when the header states none.
  std::int32_t Units = 0;

  template <std::size_t N>
  std::string_view Text(const TPoolText<N>& Field) const {
    return Pool.View(Field.Id);
  }
  template <std::size_t N>
  void Assign(TPoolText<N>& Field, std::string_view Value) {
    Field.Id = Pool.Intern(Value.substr(0, N));
  }
  // Appends as much of Value as still fits.
  template <std::size_t N>
  void Append(TPoolText<N>& Field, std::string_view Value) {
    const std::string_view held = Text(Field);
    if (Value.empty() || held.size() >= N) return;
    std::string joined(held);
    joined.append(Value.substr(0, N - held.size()));
    Field.Id = Pool.Intern(joined);
  }

  // Vertex slot Slot (1 to VertexCount) of a polyline record, its flags and
  // its bulge (the bulge with exact lengths only).
  TVertex& Vertex(const TPolyRec& Rec, std::int32_t Slot) {
    return PolyVertices[static_cast<std::size_t>(Rec.FirstVertex + Slot - 1)];
  }
  const TVertex& Vertex(const TPolyRec& Rec, std::int32_t Slot) const {
    return PolyVertices[static_cast<std::size_t>(Rec.FirstVertex + Slot - 1)];
  }
  double Bulge(const TPolyRec& Rec, std::int32_t Slot) const {
    return PolyBulges[static_cast<std::size_t>(Rec.FirstVertex + Slot - 1)];
  }

  // The Height of the first text style named exactly Name; 0.0 when no
  // style has that name.
  double StyleHeight(std::string_view Name) const;
  // The style table changed: the index by name is built again when next
  // asked.
  void StylesChanged() { styleIndexFresh_ = false; }

  // Empties the drawing for a new reading; the tables keep their room.
  void Clear();

 private:
  struct TNameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view Name) const { return std::hash<std::string_view>()(Name); }
  };
  mutable std::unordered_map<std::string, std::int32_t, TNameHash, std::equal_to<>> styleIndex_;
  mutable bool styleIndexFresh_ = false;
};

// The drawing that the dialog's run reads and lists, which the process-wide
// names of the tables (Lines, LineCount and the rest) stand for.
extern TDrawing CurrentDrawing;
