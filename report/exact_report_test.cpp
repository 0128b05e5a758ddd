// The quantity list with exact lengths: bytes of the CSV for drawings whose
// true lengths are known by hand, and the tally of what was measured.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dxf/dxf_errors.h"
#include "dxf/dxf_reader.h"
#include "dxf/exact_tables.h"
#include "dxf/test_files.h"
#include "report/length_report.h"

namespace {

using testing_files::Pairs;
using testing_files::ReadBytes;

const std::string kLine = "\x90\xfc";                                    // 線
const std::string kCircle = "\x89\x7e";                                  // 円
const std::string kArc = "\x89\x7e\x8c\xca";                             // 円弧
const std::string kPoly = "\x91\xbd\x8a\x70\x90\xfc";                    // 多角線
const std::string kEllipse = "\x91\xc8\x89\x7e";                         // 楕円
const std::string kSpline = "\x83\x58\x83\x76\x83\x89\x83\x43\x83\x93";  // スプライン
const std::string kWall = "\x95\xc7";                                    // 壁

// tan(pi / 8): the bulge of a quarter circle.
const char kQuarterBulge[] = "0.41421356237309503";

std::string Drawing(const std::string& Blocks, const std::string& Entities, const std::string& HeaderVariables = "") {
  return Pairs({"0", "SECTION", "2", "HEADER"}) + HeaderVariables +
         Pairs({"0", "ENDSEC", "0", "SECTION", "2", "BLOCKS"}) + Blocks +
         Pairs({"0", "ENDSEC", "0", "SECTION", "2", "ENTITIES"}) + Entities +
         Pairs({"0", "ENDSEC", "0", "SECTION", "2", "OBJECTS", "0", "ENDSEC", "0", "EOF"});
}

std::string Block(std::string_view Name, std::string_view BaseX, std::string_view BaseY, const std::string& Body) {
  return Pairs({"0", "BLOCK", "8", "0", "2", Name, "70", "0", "10", BaseX, "20", BaseY, "30", "0", "3", Name}) + Body +
         Pairs({"0", "ENDBLK", "8", "0"});
}

// A line of length 10 along X from (X, Y), on layer 0, colour and linetype
// BYBLOCK.
std::string ByBlockLine(std::string_view X, std::string_view Y, std::string_view X2) {
  return Pairs({"0", "LINE", "8", "0", "62", "     0", "6", "ByBlock", "10", X, "20", Y, "11", X2, "21", Y});
}

std::string Insert(std::string_view Name, std::string_view X, std::string_view Y,
                   std::initializer_list<std::string_view> More = {}) {
  return Pairs({"0", "INSERT", "8", "0", "2", Name, "10", X, "20", Y, "30", "0"}) + Pairs(More);
}

class ExactReportTest : public ::testing::Test {
 protected:
  std::string Report(const std::string& Dxf, bool Exact = true) {
    const std::string csv = folder_.File("out.csv");
    TReportOptions options;
    options.Exact = Exact;
    EXPECT_TRUE(WriteLengthReport(folder_.Write("in.dxf", Dxf), csv, options));
    return ReadBytes(csv);
  }
  testing_files::TTempFolder folder_;
};

TEST_F(ExactReportTest, CurvesAsDrawn) {
  const struct {
    const char* name;
    std::string entities;
    std::string csv;
  } cases[] = {
      // pi times half the chord of 2000000.
      {"a bulge of 1 is a half circle",
       Pairs({"0", "LWPOLYLINE", "8", "0", "90", "2", "70", "0", "10", "0", "20", "0", "42", "1", "10", "2000000", "20",
              "0"}),
       "0,3141592.654,1," + kPoly + ",,,\r\n"},
      {"a closed square of quarter-circle bulges is a circle of radius 1000",
       Pairs({"0",  "LWPOLYLINE",  "8",  "0", "90", "4",     "70", "1",           "10", "1000",  "20", "0",
              "42", kQuarterBulge, "10", "0", "20", "1000",  "42", kQuarterBulge, "10", "-1000", "20", "0",
              "42", kQuarterBulge, "10", "0", "20", "-1000", "42", kQuarterBulge}),
       "0,  6283.185,1," + kPoly + ",,,\r\n"},
      {"a closed POLYLINE gets its closing edge, with the last vertex's bulge",
       Pairs({"0",  "POLYLINE", "8",  "0", "66", "1",      "70", "1", "0",  "VERTEX", "8",  "0",
              "10", "0",        "20", "0", "0",  "VERTEX", "8",  "0", "10", "3",      "20", "0",
              "0",  "VERTEX",   "8",  "0", "10", "3",      "20", "4", "42", "-1",     "0",  "SEQEND"}),
       // 3 + 4, then a half circle over the chord of 5
       "0,    14.854,1," + kPoly + ",,,\r\n"},
      {"a spline frame measures its fit vertices only",
       Pairs({"0",  "POLYLINE", "8",  "0",  "70", "4",  "0", "VERTEX", "10", "0",  "20", "0", "70", "16", "0", "VERTEX",
              "10", "10",       "20", "40", "70", "16", "0", "VERTEX", "10", "20", "20", "0", "70", "16", "0", "VERTEX",
              "10", "0",        "20", "0",  "70", "8",  "0", "VERTEX", "10", "7",  "20", "0", "70", "8",  "0", "VERTEX",
              "10", "20",       "20", "0",  "70", "8",  "0", "SEQEND"}),
       "0,    20.000,1," + kPoly + ",,,\r\n"},
      {"meshes are no lengths",
       Pairs({"0",  "POLYLINE", "8",  "0",  "70", "16",     "71", "2", "72", "2", "0",  "VERTEX", "10", "0",
              "20", "0",        "70", "64", "0",  "VERTEX", "10", "5", "20", "0", "70", "64",     "0",  "SEQEND"}),
       ""},
      {"circles with the extrusion (0,0,-1) lie mirrored: these two coincide",
       Pairs({"0",    "CIRCLE", "8",      "0", "10", "5",  "20", "2",  "40", "1",  "230",
              "-1.0", "0",      "CIRCLE", "8", "0",  "10", "-5", "20", "2",  "40", "1"}),
       "0,     6.283,2," + kCircle + ",1,,\r\n"},
      {"a mirrored arc from 0 to 90 degrees covers 90 to 180 degrees",
       Pairs({"0",  "ARC", "8",   "0", "10", "0",  "20", "0",  "40", "10", "50", "0",  "51", "90", "230",
              "-1", "0",   "ARC", "8", "0",  "10", "0",  "20", "0",  "40", "10", "50", "90", "51", "180"}),
       "0,    15.708,2," + kArc + ",1,,\r\n"},
      {"an ellipse of ratio 1 is a circle",
       Pairs({"0", "ELLIPSE", "8", "0", "10", "0", "20", "0", "11", "0", "21", "1000", "40", "1.0", "41", "0", "42",
              "6.283185307179586"}),
       "0,  6283.185,1," + kEllipse + ",,,\r\n"},
      // The perimeter of the ellipse with semi-axes 2 and 1 is 9.68844822054767...
      {"a quarter of an ellipse 2000 by 1000",
       Pairs({"0", "ELLIPSE", "8", "0", "10", "0", "20", "0", "11", "2000", "21", "0", "40", "0.5", "41",
              "1.5707963267948966", "42", "3.141592653589793"}),
       "0,  2422.112,1," + kEllipse + ",,,\r\n"},
      {"an ellipse running past 2 pi",
       Pairs({"0", "ELLIPSE", "8", "0", "10", "0", "20", "0", "11", "-2000", "21", "0", "40", "0.5", "41",
              "4.71238898038469", "42", "1.5707963267948966"}),
       "0,  4844.224,1," + kEllipse + ",,,\r\n"},
      {"a degree-1 spline is its control polygon",
       Pairs({"0",  "SPLINE", "8",  "0", "70", "8", "71", "1", "72", "6", "73", "4",  "74", "0",
              "40", "0",      "40", "0", "40", "1", "40", "2", "40", "3", "40", "3",  "10", "0",
              "20", "0",      "10", "3", "20", "4", "10", "3", "20", "0", "10", "10", "20", "0"}),
       "0,    16.000,1," + kSpline + ",,,\r\n"},
      // sqrt(5) + asinh(2) / 2 = 2.95788571508919..., times 1000
      {"a quadratic spline", Pairs({"0",  "SPLINE", "8",  "0", "70", "8",    "71", "2",    "72", "6",    "73", "3",
                                    "40", "0",      "40", "0", "40", "0",    "40", "1",    "40", "1",    "40", "1",
                                    "10", "0",      "20", "0", "10", "1000", "20", "2000", "10", "2000", "20", "0"}),
       "0,  2957.886,1," + kSpline + ",,,\r\n"},
      {"a spline of fit points only, on a line",
       Pairs({"0", "SPLINE", "8", "0",  "70", "8",  "71", "3",  "74", "3",  "11",
              "0", "21",     "0", "11", "1",  "21", "1",  "11", "3",  "21", "3"}),
       "0,     4.243,1," + kSpline + ",,,\r\n"},
      {"a spline whose knots do not fit is not measured",
       Pairs({"0", "SPLINE", "8", "0",  "71", "2",  "40", "0",  "40", "1",  "10",
              "0", "20",     "0", "10", "1",  "20", "2",  "10", "2",  "20", "0"}),
       ""},
      {"kinds in order: lines, circles, arcs, polylines, ellipses, splines", Pairs({"0",  "SPLINE",
                                                                                    "8",  "0",
                                                                                    "71", "1",
                                                                                    "40", "0",
                                                                                    "40", "0",
                                                                                    "40", "1",
                                                                                    "40", "1",
                                                                                    "10", "0",
                                                                                    "20", "0",
                                                                                    "10", "1",
                                                                                    "20", "0",
                                                                                    "0",  "ELLIPSE",
                                                                                    "8",  "0",
                                                                                    "11", "1",
                                                                                    "40", "1",
                                                                                    "41", "0",
                                                                                    "42", "6.283185307179586",
                                                                                    "0",  "LWPOLYLINE",
                                                                                    "8",  "0",
                                                                                    "10", "0",
                                                                                    "20", "0",
                                                                                    "10", "1",
                                                                                    "20", "0",
                                                                                    "0",  "LINE",
                                                                                    "8",  "0",
                                                                                    "11", "1"}),
       "0,     1.000,1," + kLine + ",,,\r\n0,     1.000,1," + kPoly + ",,,\r\n0,     6.283,1," + kEllipse +
           ",,,\r\n0,     1.000,1," + kSpline + ",,,\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Report(Drawing("", c.entities)), c.csv);
  }
}

TEST_F(ExactReportTest, BlockReferences) {
  const std::string lineBlock = Block("L", "0", "0", ByBlockLine("0", "0", "10"));
  const struct {
    const char* name;
    std::string blocks, entities;
    std::string csv;
  } cases[] = {
      {"scale 2 and rotation 90: the line runs from (100,100) to (100,120) and takes the reference's keys", lineBlock,
       Insert("L", "100", "100", {"8", kWall, "62", "3", "6", "DASHED", "41", "2", "42", "2", "50", "90"}) +
           Pairs(
               {"0", "LINE", "8", kWall, "62", "3", "6", "DASHED", "10", "100", "20", "100", "11", "100", "21", "120"}),
       kWall + ",    20.000,2," + kLine + ",1,3,DASHED\r\n"},
      {"the base point: block (5,5) inserted at (0,0) coincides with a line from (0,0)",
       Block("B", "5", "5", ByBlockLine("5", "5", "15")),
       Insert("B", "0", "0") + Pairs({"0", "LINE", "8", "0", "10", "0", "20", "0", "11", "10", "21", "0"}),
       "0,    10.000,2," + kLine + ",1,,\r\n"},
      {"an array of 3 columns by 2 rows places 6 lines", lineBlock,
       Insert("L", "0", "0", {"70", "3", "71", "2", "44", "50", "45", "30"}), "0,    10.000,6," + kLine + ",,,\r\n"},
      {"an array turned 90 degrees: cells at (0,0), (0,50) and (0,100), one of them on a line of the drawing",
       lineBlock,
       Insert("L", "0", "0", {"50", "90", "70", "3", "44", "50"}) +
           Pairs({"0", "LINE", "8", "0", "10", "0", "20", "50", "11", "0", "21", "60"}),
       "0,    10.000,4," + kLine + ",1,,\r\n"},
      {"nested two deep: scales 2 and 3 make the line 60 long",
       lineBlock + Block("M", "0", "0", Insert("L", "0", "0", {"41", "2", "42", "2"})) +
           Block("N", "0", "0", Insert("M", "0", "0", {"41", "3", "42", "3"})),
       Insert("N", "0", "0"), "0,    60.000,1," + kLine + ",,,\r\n"},
      {"layer 0 and BYBLOCK are handed down through a BYBLOCK reference; own keys stay",
       lineBlock + Block("M", "0", "0",
                         Insert("L", "0", "0", {"62", "0", "6", "BYBLOCK"}) +
                             Pairs({"0", "LINE", "8", "A", "62", "5", "10", "0", "20", "0", "11", "1", "21", "0"})),
       Insert("M", "0", "0", {"8", kWall, "62", "2", "6", "CENTER"}),
       "A,     1.000,1," + kLine + ",,5,\r\n" + kWall + ",    10.000,1," + kLine + ",,2,CENTER\r\n"},
      {"a circle under unequal scale is the ellipse it becomes",
       Block("C", "0", "0", Pairs({"0", "CIRCLE", "8", "0", "10", "0", "20", "0", "40", "1000"})),
       Insert("C", "0", "0", {"41", "2", "42", "1"}), "0,  9688.448,1," + kEllipse + ",,,\r\n"},
      {"a mirrored arc keeps its length and lands where the mirror puts it",
       Block("A", "0", "0", Pairs({"0", "ARC", "8", "0", "10", "5", "20", "0", "40", "10", "50", "0", "51", "90"})),
       Insert("A", "0", "0", {"41", "-1"}) +
           Pairs({"0", "ARC", "8", "0", "10", "-5", "20", "0", "40", "10", "50", "90", "51", "180"}),
       "0,    15.708,2," + kArc + ",1,,\r\n"},
      {"a polyline's half circle stretched 2 times is half an ellipse 2 by 1",
       Block("P", "0", "0",
             Pairs({"0", "LWPOLYLINE", "8", "0", "10", "0", "20", "0", "42", "1", "10", "2000", "20", "0"})),
       Insert("P", "0", "0", {"41", "1", "42", "2"}), "0,  4844.224,1," + kPoly + ",,,\r\n"},
      {"a flipped reference mirrors its contents", lineBlock,
       Insert("L", "20", "0", {"230", "-1"}) +
           Pairs({"0", "LINE", "8", "0", "10", "-20", "20", "0", "11", "-30", "21", "0"}),
       "0,    10.000,2," + kLine + ",1,,\r\n"},
      {"a missing block adds nothing", "", Insert("NOWHERE", "0", "0"), ""},
      {"a block that refers to itself is placed once",
       Block("S", "0", "0", ByBlockLine("0", "0", "10") + Insert("S", "1", "1")), Insert("S", "0", "0"),
       "0,    10.000,1," + kLine + ",,,\r\n"},
      {"blocks refer to each other in a circle",
       Block("X", "0", "0", ByBlockLine("0", "0", "10") + Insert("Y", "0", "0")) +
           Block("Y", "0", "0", ByBlockLine("0", "0", "20") + Insert("X", "0", "0")),
       Insert("X", "0", "0"), "0,    10.000,1," + kLine + ",,,\r\n0,    20.000,1," + kLine + ",,,\r\n"},
      {"a block never referred to adds nothing", lineBlock, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Report(Drawing(c.blocks, c.entities)), c.csv);
  }
  // Without exact lengths, blocks are not looked at.
  EXPECT_EQ(Report(Drawing(lineBlock, Insert("L", "0", "0")), false), "");
}

TEST_F(ExactReportTest, UnicodeDrawingFindsItsBlocks) {
  // A drawing of version AC1021 stores UTF-8: the reference to block 扉 on
  // layer 壁 places its line on 壁 in code page 932.
  const std::string doorUtf8 = "\xe6\x89\x89", wallUtf8 = "\xe5\xa3\x81";
  EXPECT_EQ(Report(Drawing(Block(doorUtf8, "0", "0", ByBlockLine("0", "0", "10")),
                           Insert(doorUtf8, "0", "0", {"8", wallUtf8}), Pairs({"9", "$ACADVER", "1", "AC1021"}))),
            kWall + ",    10.000,1," + kLine + ",,,\r\n");
}

// The extrusion (sin 60, 0, cos 60): the plane's x axis is Wz x N = Y, its
// y axis N x Y = (-cos 60, 0, sin 60), so seen from above a point (x, y) of
// the plane lands at (-y / 2, x): x keeps its length, y is halved.
const char kTiltX[] = "0.8660254037844386";
const char kTiltZ[] = "0.5";

TEST_F(ExactReportTest, TiltedPlanesSeenFromAbove) {
  // The ellipse with semi-axes 1000 and 500 has the perimeter 4844.2241102738...
  // (half that of 2000 by 1000; by series: pi (a + b) sum (1/2 choose n)^2 h^n,
  // h = ((a - b) / (a + b))^2 = 1/9).
  const struct {
    const char* name;
    std::string blocks, entities;
    std::string csv;
  } cases[] = {
      {"a circle of radius 1000 tilted 60 degrees is an ellipse 1000 by 500", "",
       Pairs({"0", "CIRCLE", "8", "0", "10", "0", "20", "0", "30", "1000", "40", "1000", "210", kTiltX, "220", "0",
              "230", kTiltZ}),
       "0,  4844.224,1," + kEllipse + ",,,\r\n"},
      {"a half circle seen edge-on is its diameter", "",
       Pairs({"0",  "ARC", "8",  "0",   "10",  "0", "20",  "0",  "40",  "10",
              "50", "0",   "51", "180", "210", "0", "220", "-1", "230", "0"}),
       "0,    20.000,1," + kEllipse + ",,,\r\n"},
      {"a circle in a plane of ellipse: its major axis lies in the plane", "",
       Pairs({"0",    "ELLIPSE", "8", "0",  "10", "0",   "20",   "0",   "11", "0",   "21",
              "1000", "31",      "0", "40", "1",  "210", kTiltX, "220", "0",  "230", kTiltZ}),
       "0,  4844.224,1," + kEllipse + ",,,\r\n"},
      // Half of the ellipse 1000 by 500, then 1000 along y halved, then the
      // closing edge from (-500, 2000) to (0, 0): sqrt(500^2 + 2000^2) =
      // 2061.5528128...; all told 4983.6648679457...
      {"a tilted polyline: its bulge an elliptic arc, its sides seen shortened", "",
       Pairs({"0",  "LWPOLYLINE", "8",  "0", "70", "1",    "38", "100",  "10",  "0",    "20",  "0", "42",  "1",
              "10", "2000",       "20", "0", "10", "2000", "20", "1000", "210", kTiltX, "220", "0", "230", kTiltZ}),
       "0,  4983.665,1," + kPoly + ",,,\r\n"},
      {"a tilted 2D POLYLINE likewise; a 3D one is in the drawing's own coordinates", "",
       Pairs({"0",   "POLYLINE", "8",   "0",      "70",  "0",      "30", "5",        "210", kTiltX, "220", "0",
              "230", kTiltZ,     "0",   "VERTEX", "10",  "0",      "20", "0",        "42",  "1",    "0",   "VERTEX",
              "10",  "2000",     "20",  "0",      "0",   "SEQEND", "0",  "POLYLINE", "8",   "0",    "70",  "8",
              "210", kTiltX,     "220", "0",      "230", kTiltZ,   "0",  "VERTEX",   "10",  "0",    "20",  "0",
              "70",  "32",       "0",   "VERTEX", "10",  "3",      "20", "4",        "70",  "32",   "0",   "SEQEND"}),
       "0,     5.000,1," + kPoly + ",,,\r\n0,  2422.112,1," + kPoly + ",,,\r\n"},
      {"a tilted reference: its line along y is halved, its circle becomes an ellipse",
       Block("T", "0", "0", Pairs({"0",  "LINE", "8",      "0", "10", "0",  "20", "0",  "11", "0",  "21",
                                   "10", "0",    "CIRCLE", "8", "0",  "10", "0",  "20", "0",  "40", "1000"})),
       Insert("T", "0", "0", {"210", kTiltX, "220", "0", "230", kTiltZ}),
       "0,     5.000,1," + kLine + ",,,\r\n0,  4844.224,1," + kEllipse + ",,,\r\n"},
      {"a tilted polyline in a reference stretched along x: 1000 by 1000 again, a circle",
       Block("Q", "0", "0", Pairs({"0",  "LWPOLYLINE", "8",  "0",    "10",  "0",    "20",  "0", "42",  "1",
                                   "10", "0",          "20", "2000", "210", kTiltX, "220", "0", "230", kTiltZ})),
       Insert("Q", "0", "0", {"41", "2", "42", "1"}), "0,  3141.593,1," + kPoly + ",,,\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Report(Drawing(c.blocks, c.entities)), c.csv);
  }
  // Without exact lengths the tilted circle is the plain circle it was read as.
  EXPECT_EQ(Report(Drawing("", Pairs({"0", "CIRCLE", "8", "0", "40", "1000", "210", kTiltX, "230", kTiltZ})), false),
            "0,  6283.185,1," + kCircle + ",,,\r\n");
}

TEST_F(ExactReportTest, TallyOfMeasuredAndUnmeasured) {
  Report(Drawing(Block("T", "0", "0",
                       ByBlockLine("0", "0", "10") + Pairs({"0", "TEXT", "8", "0", "1", "a"}) + Insert("T", "0", "0")),
                 Insert("T", "0", "0", {"70", "2"}) + Insert("MISSING", "0", "0") +
                     Pairs({"0", "LINE",     "8",  "0",  "11", "1",      "0",  "HATCH", "8", "0",
                            "0", "POLYLINE", "70", "64", "0",  "VERTEX", "10", "0",     "0", "SEQEND"})));
  const struct {
    const char* type;
    std::int64_t measured, notMeasured;
  } expected[] = {
      {"INSERT", 1, 3},  // the array is placed; the missing block and the two self-references are not
      {"LINE", 3, 0},    // one of the drawing, one in each of the two cells
      {"HATCH", 0, 1},  {"POLYLINE", 0, 1},  // a polyface mesh
      {"TEXT", 0, 2},
  };
  ASSERT_EQ(EntityTallies.size(), std::size(expected));
  for (const auto& e : expected) {
    SCOPED_TRACE(e.type);
    const auto found = std::find_if(EntityTallies.begin(), EntityTallies.end(),
                                    [&](const TEntityTally& t) { return t.Type == e.type; });
    ASSERT_NE(found, EntityTallies.end());
    EXPECT_EQ(found->Measured, e.measured);
    EXPECT_EQ(found->NotMeasured, e.notMeasured);
  }
}

TEST_F(ExactReportTest, ReadsThePairsAsThePlainReadingDoes) {
  const std::string line = Pairs({"0", "LINE", "8", "A", "10", "0", "20", "0", "11", "3", "21", "4"});
  // A comment between the section start and its name.
  EXPECT_EQ(Report(Pairs({"0", "SECTION", "999", "made by hand", "2", "ENTITIES"}) + line +
                   Pairs({"0", "ENDSEC", "0", "EOF"})),
            "A,     5.000,1," + kLine + ",,,\r\n");
  // A bad value before a vertex has its point is an error all the same.
  const std::string bad[] = {
      Pairs({"0", "POLYLINE", "8", "0", "0", "VERTEX", "20", "x", "10", "0"}),
      Pairs({"0", "POLYLINE", "8", "0", "0", "VERTEX", "70", "x", "10", "0"}),
      Pairs({"0", "LWPOLYLINE", "8", "0", "20", "x", "10", "0"}),
  };
  for (const std::string& entities : bad) {
    SCOPED_TRACE(entities);
    const std::string csv = folder_.File("out.csv");
    TReportOptions options;
    options.Exact = true;
    EXPECT_THROW(WriteLengthReport(folder_.Write("in.dxf", Drawing("", entities)), csv, options), TConvertError);
  }
}

TEST_F(ExactReportTest, ByteOrderMarkAtFileStartIsSteppedOver) {
  const std::string drawing = Drawing("", Pairs({"0", "LINE", "8", "A", "10", "0", "20", "0", "11", "3", "21", "4"}));
  const std::string expected = "A,     5.000,1," + kLine + ",,,\r\n";
  EXPECT_EQ(Report(drawing), expected);
  EXPECT_EQ(Report("\xef\xbb\xbf" + drawing), expected);
  // The tally of the plain reading reads the same file start.
  const std::string bytes = "\xef\xbb\xbf" + drawing;
  TMemorySource source(bytes);
  const TDrawing read = ReadDrawing(source, {false, true});
  ASSERT_EQ(read.Tally.size(), 1u);
  EXPECT_EQ(read.Tally[0].Type, "LINE");
  EXPECT_EQ(read.Tally[0].Measured, 1);
}

}  // namespace

namespace {

// Work that would never end or take all memory is bounded: an ellipse's
// parameters far beyond a turn, a grid of an empty block, a cycle of blocks
// inserted as a grid. Each ends at once with what it could measure, and
// what it left out is counted as not measured.
TEST_F(ExactReportTest, UnboundedDrawingsEndAtOnce) {
  // A circle of radius 1 drawn as an ellipse: every turn is 2 pi long, so
  // the parameter run is the length.
  EXPECT_EQ(Report(Drawing("", Pairs({"0", "ELLIPSE", "8", "0", "10", "0", "20", "0", "11", "1", "21", "0", "40", "1.0",
                                      "41", "0", "42", "1000000"}))),
            "0,1000000.000,1," + kEllipse + ",,,\r\n");
  // Far beyond: listed (a finite length), not looped over.
  const std::string far = Report(Drawing("", Pairs({"0", "ELLIPSE", "8", "0", "10", "0", "20", "0", "11", "1", "21",
                                                    "0", "40", "1.0", "41", "0", "42", "1e308"})));
  EXPECT_NE(far.find(kEllipse), std::string::npos);
  EXPECT_EQ(far.find("INF"), std::string::npos);

  const struct {
    const char* name;
    std::string blocks, entities;
  } refused[] = {
      {"a grid of 30000 by 30000 of an empty block", Block("E", "0", "0", ""),
       Insert("E", "0", "0", {"70", "30000", "71", "30000", "44", "1", "45", "1"})},
      {"a cycle of two blocks inserted as a grid",
       Block("A", "0", "0", ByBlockLine("0", "0", "10") + Insert("B", "0", "0", {"70", "100", "71", "100"})) +
           Block("B", "0", "0", ByBlockLine("0", "0", "10") + Insert("A", "0", "0", {"70", "100", "71", "100"})),
       Insert("A", "0", "0", {"70", "1000", "71", "1000", "44", "1", "45", "1"})},
      {"the same cycle, its blocks in the other order",
       Block("B", "0", "0", ByBlockLine("0", "0", "10") + Insert("A", "0", "0", {"70", "100", "71", "100"})) +
           Block("A", "0", "0", ByBlockLine("0", "0", "10") + Insert("B", "0", "0", {"70", "100", "71", "100"})),
       Insert("A", "0", "0", {"70", "1000", "71", "1000", "44", "1", "45", "1"})},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Report(Drawing(c.blocks, c.entities)), "");
    const auto insert = std::find_if(EntityTallies.begin(), EntityTallies.end(),
                                     [](const TEntityTally& t) { return t.Type == "INSERT"; });
    ASSERT_NE(insert, EntityTallies.end());
    EXPECT_EQ(insert->Measured, 0);
    EXPECT_EQ(insert->NotMeasured, 1);
  }
}

}  // namespace
