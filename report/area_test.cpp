// Areas of closed shapes: polylines with arcs, circles and ellipses, hatches
// with islands as their style nests them, shapes placed by block references,
// boundaries that cross themselves, duplicates, and the forms of the list.
// The numbers are worked out by hand in the comments.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>

#include "dxf/dxf_reader.h"
#include "dxf/test_files.h"
#include "report/list_rows.h"
#include "report/list_writer.h"
#include "report/report_run.h"
#include "report/run_summary.h"

namespace {

using testing_files::ReadBytes;
using testing_files::TTempFolder;

const std::string kPolyArea = "\x91\xbd\x8a\x70\x90\xfc\x96\xca\x90\xcf";                    // 多角線面積
const std::string kCircleArea = "\x89\x7e\x96\xca\x90\xcf";                                  // 円面積
const std::string kEllipseArea = "\x91\xc8\x89\x7e\x96\xca\x90\xcf";                         // 楕円面積
const std::string kHatchArea = "\x83\x6e\x83\x62\x83\x60\x96\xca\x90\xcf";                   // ハッチ面積
const std::string kSplineArea = "\x83\x58\x83\x76\x83\x89\x83\x43\x83\x93\x96\xca\x90\xcf";  // スプライン面積
const std::string kArea = "\x96\xca\x90\xcf";                                                // 面積

// A drawing from blank-separated group codes and values, each pair's two
// lines ended by CR LF.
std::string Dxf(std::string_view Tokens) {
  std::istringstream in{std::string(Tokens)};
  std::string token, text;
  while (in >> token) text += token + "\r\n";
  return text;
}

std::string Entities(std::string_view Tokens) {
  return Dxf("0 SECTION 2 ENTITIES " + std::string(Tokens) + " 0 ENDSEC 0 EOF");
}

TReportOptions Areas(bool Exact = false) {
  TReportOptions options;
  options.Areas = true;
  options.Exact = Exact;
  return options;
}

// The list of a drawing read from memory, as the writer writes it.
std::string List(const std::string& Drawing, const TReportOptions& Options, TListForm Form = {}) {
  TTempFolder folder;
  TMemorySource source(Drawing);
  static TDrawing drawing;  // the tables' room kept from one reading to the next
  ReadDrawing(source, {Options.Exact, false, Options.Blocks, Options.Areas}, drawing);
  Form.Areas = Options.Areas;
  TListWriter list(Form);
  const std::string out = folder.File("list.csv");
  EXPECT_TRUE(list.Open(out));
  ListDrawing(drawing, Options, list);
  list.Close();
  return ReadBytes(out);
}

// The area rows of a CSV list; the other rows are left out.
std::string AreaRows(const std::string& Csv) {
  std::string rows;
  std::size_t start = 0;
  while (start < Csv.size()) {
    const std::size_t end = Csv.find("\r\n", start);
    const std::string row = Csv.substr(start, end - start + 2);
    if (row.find(kArea) != std::string::npos) rows += row;
    start = end + 2;
  }
  return rows;
}

// The rest: every row that is not an area row.
std::string OtherRows(const std::string& Csv) {
  std::string rows;
  std::size_t start = 0;
  while (start < Csv.size()) {
    const std::size_t end = Csv.find("\r\n", start);
    const std::string row = Csv.substr(start, end - start + 2);
    if (row.find(kArea) == std::string::npos) rows += row;
    start = end + 2;
  }
  return rows;
}

// A rectangle 4000 x 3000 whose corner at (4000, 3000) is rounded with a
// radius of 500 by a bulge of tan(90 / 4 degrees): the rectangle less the
// corner's square, 500 x 500, less the quarter circle in it:
// 12,000,000 - (1 - pi / 4) 250,000 = 11,946,349.5408.
const char kRoundedLw[] =
    "0 LWPOLYLINE 8 A 90 5 70 1 10 0 20 0 10 4000 20 0 10 4000 20 2500 42 0.41421356237309503 "
    "10 3500 20 3000 10 0 20 3000";

TEST(AreaTest, ClosedPolylinesWithArcs) {
  struct TCase {
    const char* Name;
    std::string Entities;
    std::string Rows;
  };
  const TCase cases[] = {
      {"closed, with a round corner", kRoundedLw, "A,11946349.541,1," + kPolyArea + ",,,\r\n"},
      // A 2D POLYLINE, open, but its last vertex lies on its first.
      {"open, ending on its start",
       "0 POLYLINE 8 B 66 1 70 0 0 VERTEX 8 B 10 0 20 0 0 VERTEX 8 B 10 4000 20 0 "
       "0 VERTEX 8 B 10 4000 20 2500 42 0.41421356237309503 0 VERTEX 8 B 10 3500 20 3000 "
       "0 VERTEX 8 B 10 0 20 3000 0 VERTEX 8 B 10 0 20 0 0 SEQEND",
       "B,11946349.541,1," + kPolyArea + ",,,\r\n"},
      // Two vertices with bulge 1 each: two half circles of radius 5.
      {"a circle of two half circles", "0 LWPOLYLINE 8 C 70 1 10 0 20 0 42 1 10 10 20 0 42 1",
       "C,    78.540,1," + kPolyArea + ",,,\r\n"},
      // Drawn clockwise, the area is the same.
      {"clockwise", "0 LWPOLYLINE 8 D 70 1 10 0 20 0 10 0 20 3 10 2 20 3 10 2 20 0",
       "D,     6.000,1," + kPolyArea + ",,,\r\n"},
      // Two triangles meeting at (1, 1), both counter-clockwise: a pinch, 1 + 1.
      {"touching itself at a vertex",
       "0 LWPOLYLINE 8 G 70 1 10 0 20 0 10 1 20 1 10 2 20 0 10 2 20 2 10 1 20 1 10 0 20 2",
       "G,     2.000,1," + kPolyArea + ",,,\r\n"},
      // The same triangles, the right one run clockwise: a bow-tie whose
      // crossing is a vertex visited twice; not measured.
      {"crossing itself at a vertex",
       "0 LWPOLYLINE 8 G 70 1 10 0 20 0 10 1 20 1 10 2 20 2 10 2 20 0 10 1 20 1 10 0 20 2", ""},
      // A vertex on an edge: touching from one side, two triangles of 4;
      // passing through to the other side, not measured.
      {"a vertex touching an edge", "0 LWPOLYLINE 8 J 70 1 10 0 20 0 10 4 20 0 10 4 20 4 10 2 20 0 10 0 20 4",
       "J,     8.000,1," + kPolyArea + ",,,\r\n"},
      {"a vertex passing through an edge",
       "0 LWPOLYLINE 8 J 70 1 10 0 20 0 10 4 20 0 10 4 20 2 10 2 20 0 10 2 20 -2 10 0 20 -2", ""},
      // Open, and not ending where it starts: no shape.
      {"open", "0 LWPOLYLINE 8 E 70 0 10 0 20 0 10 0 20 3 10 2 20 3", ""},
      // A 3D polyline is no plane outline.
      {"3D", "0 POLYLINE 8 F 66 1 70 9 0 VERTEX 8 F 10 0 20 0 0 VERTEX 8 F 10 1 20 0 0 VERTEX 8 F 10 1 20 1 0 SEQEND",
       ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(AreaRows(List(Entities(c.Entities), Areas())), c.Rows);
    EXPECT_EQ(AreaRows(List(Entities(c.Entities), Areas(true))), c.Rows);
  }
}

TEST(AreaTest, CirclesEllipsesAndSplines) {
  // pi 10^2 = 314.159; pi 20 x 10 = 628.319. An elliptic arc encloses
  // nothing. A circle of radius 10 in a plane tilted to (0, 0.6, 0.8) looks
  // from above like an ellipse of area 0.8 x 314.159 = 251.327.
  const std::string drawing = Entities(
      "0 CIRCLE 8 L 10 5 20 5 40 10 "
      "0 ELLIPSE 8 L 10 0 20 0 11 20 21 0 40 0.5 41 0 42 6.283185307179586 "
      "0 ELLIPSE 8 L 10 0 20 0 11 20 21 0 40 0.5 41 0 42 3.14 "
      "0 CIRCLE 8 T 10 0 20 0 40 10 210 0 220 0.6 230 0.8 "
      // A closed spline of degree 1 around a square 2 x 2: 4. One of fit
      // points alone is not measured.
      "0 SPLINE 8 P 70 1 71 1 40 0 40 0 40 1 40 2 40 3 40 4 40 4 "
      "10 0 20 0 10 2 20 0 10 2 20 2 10 0 20 2 10 0 20 0 "
      "0 SPLINE 8 P 70 1 71 3 11 0 21 0 11 2 21 0 11 2 21 2 11 0 21 0");
  EXPECT_EQ(AreaRows(List(drawing, Areas())), "L,   314.159,1," + kCircleArea + ",,,\r\nL,   628.319,1," +
                                                  kEllipseArea + ",,,\r\nT,   251.327,1," + kEllipseArea +
                                                  ",,,\r\nP,     4.000,1," + kSplineArea + ",,,\r\n");
}

// A hatch from its paths and its style [75].
std::string Hatch(int Paths, const std::string& Boundary, int Style) {
  return "0 HATCH 8 H 10 0 20 0 30 0 210 0 220 0 230 1 2 SOLID 70 1 71 0 91 " + std::to_string(Paths) + " " + Boundary +
         " 75 " + std::to_string(Style) + " 76 1 98 1 10 5 20 5";
}

// An outer square 10 x 10 (a polyline path), a square 4 x 4 inside it (an
// edge path of lines) and a square 2 x 2 inside that one (a polyline path).
const std::string kOuter = "92 3 72 0 73 1 93 4 10 0 20 0 10 10 20 0 10 10 20 10 10 0 20 10 97 0";
const std::string kIsland =
    "92 0 93 4 72 1 10 3 20 3 11 7 21 3 72 1 10 7 20 3 11 7 21 7 72 1 10 7 20 7 11 3 21 7 "
    "72 1 10 3 20 7 11 3 21 3 97 0";
const std::string kInner = "92 2 72 0 73 1 93 4 10 4 20 4 10 6 20 4 10 6 20 6 10 4 20 6 97 0";

TEST(AreaTest, HatchIslandsAsTheStyleNestsThem) {
  struct TCase {
    const char* Name;
    std::string Hatch;
    std::string Area;
  };
  const TCase cases[] = {
      // 100 - 16 = 84.
      {"an island", Hatch(2, kOuter + " " + kIsland, 0), "    84.000"},
      // Normal: in and out again, 100 - 16 + 4 = 88.
      {"normal, three deep", Hatch(3, kOuter + " " + kIsland + " " + kInner, 0), "    88.000"},
      // Outer: the outermost area only, 100 - 16 = 84.
      {"outer, three deep", Hatch(3, kOuter + " " + kIsland + " " + kInner, 1), "    84.000"},
      // Ignore: the whole outer square.
      {"ignore, three deep", Hatch(3, kOuter + " " + kIsland + " " + kInner, 2), "   100.000"},
      // A quarter of the unit circle: a line up, a clockwise arc stored with
      // its angles taken from 360 (from 90 degrees clockwise to 0), a line
      // back: pi / 4 = 0.785.
      {"a clockwise arc edge",
       Hatch(1,
             "92 0 93 3 72 1 10 0 20 0 11 0 21 1 72 2 10 0 20 0 40 1 50 270 51 360 73 0 72 1 10 1 20 0 11 0 21 0 97 0",
             0),
       "     0.785"},
      // A full ellipse edge, axes 2 and 1, with a hole of radius 0.5 (a
      // counter-clockwise arc edge): 2 pi - pi / 4 = 5.498.
      {"ellipse with a round hole",
       Hatch(2,
             "92 1 93 1 72 3 10 0 20 0 11 2 21 0 40 0.5 50 0 51 360 73 1 97 0 "
             "92 16 93 1 72 2 10 0 20 0 40 0.5 50 0 51 360 73 1 97 0",
             0),
       "     5.498"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(AreaRows(List(Entities(c.Hatch), Areas())), "H," + c.Area + ",1," + kHatchArea + ",,,\r\n");
  }
}

// Block B: a circle of radius 1 and a square 2 x 2, on layer 0. Block A
// holds B at twice its size.
const std::string kBlocks =
    "0 SECTION 2 BLOCKS "
    "0 BLOCK 8 0 2 B 70 0 10 0 20 0 "
    "0 CIRCLE 8 0 10 0 20 0 40 1 "
    "0 LWPOLYLINE 8 0 70 1 10 0 20 0 10 2 20 0 10 2 20 2 10 0 20 2 "
    "0 ENDBLK "
    "0 BLOCK 8 0 2 A 70 0 10 0 20 0 0 INSERT 8 0 2 B 10 0 20 0 41 2 42 2 0 ENDBLK "
    "0 ENDSEC ";

TEST(AreaTest, ShapesPlacedByBlockReferencesScaleWithThem) {
  const std::string drawing = Dxf(kBlocks +
                                  "0 SECTION 2 ENTITIES "
                                  // Scaled 2 by 3 and turned 30 degrees: the circle becomes an
                                  // ellipse of pi x 2 x 3 = 18.850, the square 4 x 6 = 24.
                                  "0 INSERT 8 S 2 B 10 100 20 0 41 2 42 3 50 30 "
                                  // An array of 3 x 2 cells: six circles of pi, six squares of 4.
                                  "0 INSERT 8 M 2 B 10 0 20 100 70 3 71 2 44 10 45 10 "
                                  // Mirrored: the same areas.
                                  "0 INSERT 8 R 2 B 10 0 20 200 41 -1 "
                                  // Nested at twice the size: 4 pi = 12.566 and 16.
                                  "0 INSERT 8 N 2 A 10 0 20 300 "
                                  // Seen from below: the same areas.
                                  "0 INSERT 8 X 2 B 10 0 20 400 210 0 220 0 230 -1 "
                                  "0 ENDSEC 0 EOF");
  const std::string rows = "M,     4.000,6," + kPolyArea + ",,,\r\nN,    16.000,1," + kPolyArea +
                           ",,,\r\nR,     4.000,1," + kPolyArea + ",,,\r\nS,    24.000,1," + kPolyArea +
                           ",,,\r\nX,     4.000,1," + kPolyArea + ",,,\r\nM,     3.142,6," + kCircleArea +
                           ",,,\r\nN,    12.566,1," + kCircleArea + ",,,\r\nR,     3.142,1," + kCircleArea +
                           ",,,\r\nX,     3.142,1," + kCircleArea + ",,,\r\nS,    18.850,1," + kEllipseArea + ",,,\r\n";
  EXPECT_EQ(AreaRows(List(drawing, Areas())), rows);
  EXPECT_EQ(AreaRows(List(drawing, Areas(true))), rows);
  // The length rows stay those of the reading asked for: without exact
  // lengths the plain list's bytes (the blocks' contents not drawn).
  EXPECT_EQ(OtherRows(List(drawing, Areas())), List(drawing, {}));
  TReportOptions exact;
  exact.Exact = true;
  EXPECT_EQ(OtherRows(List(drawing, Areas(true))), List(drawing, exact));
  // Without areas, no area rows.
  EXPECT_EQ(AreaRows(List(drawing, exact)), "");
}

TEST(AreaTest, ShapesOnEachOtherAreDuplicates) {
  struct TCase {
    const char* Name;
    std::string Entities;
    std::string Rows;
  };
  // pi 5^2 = 78.540.
  const TCase cases[] = {
      {"a circle copied onto itself", "0 CIRCLE 8 L 10 1 20 1 40 5 0 CIRCLE 8 L 10 1 20 1 40 5",
       "L,    78.540,2," + kCircleArea + ",1,,\r\n"},
      {"a third elsewhere", "0 CIRCLE 8 L 10 1 20 1 40 5 0 CIRCLE 8 L 10 9 20 9 40 5 0 CIRCLE 8 L 10 1 20 1 40 5",
       "L,    78.540,3," + kCircleArea + ",1,,\r\n"},
      {"a square copied onto itself",
       "0 LWPOLYLINE 8 L 70 1 10 0 20 0 10 2 20 0 10 2 20 2 10 0 20 2 "
       "0 LWPOLYLINE 8 L 70 1 10 0 20 0 10 2 20 0 10 2 20 2 10 0 20 2",
       "L,     4.000,2," + kPolyArea + ",1,,\r\n"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(AreaRows(List(Entities(c.Entities), Areas())), c.Rows);
  }
}

// The run as the tool makes it: a bow-tie is not measured, and the summary
// says so; titles, totals, JSON and a difference carry the area rows.
TEST(AreaTest, SummaryFormsAndDifference) {
  TTempFolder folder;
  const std::string square = "0 LWPOLYLINE 8 L 70 1 10 0 20 0 10 2 20 0 10 2 20 2 10 0 20 2 ";
  const std::string bowTie = "0 LWPOLYLINE 8 L 70 1 10 0 20 0 10 2 20 2 10 2 20 0 10 0 20 2 ";
  const std::string circle = "0 CIRCLE 8 L 10 0 20 0 40 10 ";
  const std::string oldPath = folder.Write("old.dxf", Entities(square + bowTie + circle));
  const std::string newPath = folder.Write("new.dxf", Entities(square + bowTie + circle + circle));
  TReportJob job;
  job.Drawings = {oldPath};
  job.Report = folder.File("list.csv");
  job.Options = Areas();
  job.Options.Summary = true;
  const TReportResult result = WriteReport(job);
  EXPECT_EQ(AreaRows(ReadBytes(job.Report)),
            "L,     4.000,1," + kPolyArea + ",,,\r\nL,   314.159,1," + kCircleArea + ",,,\r\n");
  const std::string summary = SummaryText(result.Drawings, false);
  EXPECT_NE(summary.find(kPolyArea + ": \x8fW\x8cv 1 \x8fW\x8cv\x8aO 1\n"), std::string::npos)
      << summary;  // 集計 1 集計外 1
  EXPECT_NE(summary.find(kCircleArea + ": \x8fW\x8cv 1 \x8fW\x8cv\x8aO 0\n"), std::string::npos) << summary;

  // Titles: the length column holds the areas too; totals sum the areas.
  job.Drawings = {newPath};
  job.Options = Areas();
  job.Options.Header = true;
  job.Options.Totals = true;
  WriteReport(job);
  const std::string list = ReadBytes(job.Report);
  EXPECT_EQ(
      list.substr(0, list.find("\r\n")),
      "\x89\xe6\x91\x77,\x92\xb7\x82\xb3\x81\x45\x96\xca\x90\xcf,\x96\x7b\x90\x94,\x8e\xed\x97\xde,"
      "\x8f\x64\x95\xa1,\x90\x46,\x90\xfc\x8e\xed,\x8d\x87\x8c\x76");  // 画層,長さ・面積,本数,種類,重複,色,線種,合計
  EXPECT_NE(list.find("L,   314.159,2," + kCircleArea + ",1,,,   628.319\r\n"), std::string::npos) << list;

  // JSON: "length" is null in an area row, "area" the unrounded area.
  job.Options = Areas();
  job.Options.Json = true;
  WriteReport(job);
  EXPECT_NE(ReadBytes(job.Report)
                .find("{\"layer\":\"L\",\"length\":null,\"area\":314.1592653589793,\"count\":2,\"kind\":"
                      "\"\xe5\x86\x86\xe9\x9d\xa2\xe7\xa9\x8d\",\"duplicates\":1,\"color\":\"\",\"linetype\":\"\"}"),
            std::string::npos)
      << ReadBytes(job.Report);

  // A difference: the circles' areas counted 1, then 2.
  job.Drawings = {oldPath, newPath};
  job.Options = Areas();
  job.Options.Diff = true;
  WriteReport(job);
  EXPECT_EQ(AreaRows(ReadBytes(job.Report)), "L,   314.159," + kCircleArea + ",,,1,2,+1\r\n");
}

}  // namespace
