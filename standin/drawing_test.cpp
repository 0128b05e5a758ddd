// The export of a selection: the chosen entities, and of the block
// definitions only the layouts and those the chosen entities reach.
#include "standin/drawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// Pairs as the export writes them: each line ending in CR LF.
std::string Dxf(std::initializer_list<std::string_view> Lines) {
  std::string text;
  for (std::string_view line : Lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

const std::string kBlocksStart = Dxf({"  0", "SECTION", "  2", "BLOCKS"});
const std::string kModel = Dxf({"  0", "BLOCK", "  8", "0", "  2", "*Model_Space", "  0", "ENDBLK", "  8", "0"});
const std::string kBlockA = Dxf({"  0", "BLOCK", "  8", "0", "  2", "A", " 10", "0.0", "  0", "LINE", "  8", "0", " 11",
                                 "10.0", "  0", "ENDBLK", "  8", "0"});
// B holds a reference to A.
const std::string kBlockB =
    Dxf({"  0", "BLOCK", "  8", "0", "  2", "B", "  0", "INSERT", "  8", "0", "  2", "A", "  0", "ENDBLK", "  8", "0"});
const std::string kBlockC =
    Dxf({"  0", "BLOCK", "  8", "0", "  2", "C", "  0", "CIRCLE", " 40", "1.0", "  0", "ENDBLK", "  8", "0"});
// S refers to itself.
const std::string kBlockS =
    Dxf({"  0", "BLOCK", "  8", "0", "  2", "S", "  0", "INSERT", "  8", "0", "  2", "S", "  0", "ENDBLK", "  8", "0"});
const std::string kBlockD = Dxf({"  0", "BLOCK", "  2", "*D1", "  0", "LINE", "  0", "ENDBLK"});
const std::string kEntitiesStart = Dxf({"  0", "ENDSEC", "  0", "SECTION", "  2", "ENTITIES"});
// A reference to B with an attribute whose tag is C: the tag names no block.
const std::string kInsertB = Dxf({"  0", "INSERT", "  8", "W", "  2", "B", " 66", "1",      "  0", "ATTRIB",
                                  "  8", "W",      "  2", "C", "  1", "x", "  0", "SEQEND", "  8", "W"});
const std::string kLine = Dxf({"  0", "LINE", "  8", "W", " 11", "5.0"});
const std::string kInsertS = Dxf({"  0", "INSERT", "  8", "W", "  2", "S"});
const std::string kDimension = Dxf({"  0", "DIMENSION", "  8", "W", "  2", "*D1", " 70", "0"});
// A hatch whose pattern (group 2) has a block's name: a pattern, no reference.
const std::string kHatch =
    Dxf({"  0", "HATCH", "  8", "W",   "100", "AcDbHatch", "  2", "A",   " 70", "0",   " 91", "1",   " 92",
         "2",   " 72",   "0",   " 73", "1",   " 93",       "3",   " 10", "0.0", " 20", "0.0", " 10", "1.0",
         " 20", "0.0",   " 10", "0.0", " 20", "1.0",       " 97", "0",   " 75", "0",   " 76", "1"});
const std::string kEnd = Dxf({"  0", "ENDSEC", "  0", "EOF"});

TEST(DrawingTest, ExportKeepsTheBlocksTheSelectionRefersTo) {
  const TDrawing drawing = ParseDrawing(kBlocksStart + kModel + kBlockA + kBlockB + kBlockC + kBlockS + kBlockD +
                                        kEntitiesStart + kInsertB + kLine + kInsertS + kDimension + kHatch + kEnd);
  ASSERT_EQ(drawing.entities.size(), 5u);  // the attribute and its SEQEND belong to their reference
  EXPECT_EQ(drawing.entities[0].kind, "INSERT");
  EXPECT_EQ(drawing.entities[1].kind, "LINE");
  const struct {
    const char* name;
    std::vector<std::size_t> selection;
    std::string expected;
  } cases[] = {
      {"a line: model space only", {1}, kBlocksStart + kModel + kEntitiesStart + kLine + kEnd},
      {"a reference reaches the blocks nested in its block",
       {0},
       kBlocksStart + kModel + kBlockA + kBlockB + kEntitiesStart + kInsertB + kEnd},
      {"a block that refers to itself is written once",
       {2},
       kBlocksStart + kModel + kBlockS + kEntitiesStart + kInsertS + kEnd},
      {"a dimension refers to its block", {3}, kBlocksStart + kModel + kBlockD + kEntitiesStart + kDimension + kEnd},
      {"a hatch keeps its boundary paths and needs no block",
       {4},
       kBlocksStart + kModel + kEntitiesStart + kHatch + kEnd},
      {"a reference with its attributes, then a hatch",
       {4, 0},
       kBlocksStart + kModel + kBlockA + kBlockB + kEntitiesStart + kInsertB + kHatch + kEnd},
      {"everything but the block nothing refers to",
       {3, 2, 1, 0, 0, 9},
       kBlocksStart + kModel + kBlockA + kBlockB + kBlockS + kBlockD + kEntitiesStart + kInsertB + kLine + kInsertS +
           kDimension + kEnd},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ExportDrawing(drawing, c.selection), c.expected);
  }
}

TEST(DrawingTest, DrawingWithoutBlocksExportsAsBefore) {
  // Lines ending in LF are written with CR LF; the pairs stay as they were.
  const TDrawing drawing =
      ParseDrawing("  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  8\nW\n 11\n5.0\n  0\nENDSEC\n  0\nEOF\n");
  EXPECT_EQ(ExportDrawing(drawing, {0}), Dxf({"  0", "SECTION", "  2", "ENTITIES"}) + kLine + kEnd);
  EXPECT_EQ(ExportDrawing(drawing, {}), Dxf({"  0", "SECTION", "  2", "ENTITIES"}) + kEnd);
}

// What the stand-in paints of a reference and of a hatch, in drawing units.
TEST(DrawingTest, ReferencesArePaintedAsTheirPlacedContentsAndHatchesAsTheirPaths) {
  // Block L: base point (5,0), a line from (5,0) to (15,0). Placed at
  // (100,50), scaled 2 and turned 90 degrees: from (100,50) to (100,70).
  const std::string blockL = Dxf({"  0", "BLOCK", "  2", "L",   " 10", "5.0",  " 20", "0.0", "  0", "LINE",
                                  " 10", "5.0",   " 20", "0.0", " 11", "15.0", " 21", "0.0", "  0", "ENDBLK"});
  const std::string insertL =
      Dxf({"  0", "INSERT", "  2", "L", " 10", "100.0", " 20", "50.0", " 41", "2.0", " 42", "2.0", " 50", "90.0"});
  // A room of 4 x 3 with a column of 1 x 1: two closed runs; the seed point
  // (10, 20 after 98) is no vertex.
  const std::string hatch =
      Dxf({"  0", "HATCH", " 10", "0.0", " 20", "0.0", "  2", "SOLID", " 91", "2",   " 92", "3",   " 72", "0",
           " 73", "1",     " 93", "4",   " 10", "0.0", " 20", "0.0",   " 10", "4.0", " 20", "0.0", " 10", "4.0",
           " 20", "3.0",   " 10", "0.0", " 20", "3.0", " 97", "0",     " 92", "2",   " 72", "0",   " 73", "1",
           " 93", "3",     " 10", "1.0", " 20", "1.0", " 10", "2.0",   " 20", "1.0", " 10", "2.0", " 20", "2.0",
           " 97", "0",     " 75", "0",   " 76", "1",   " 98", "1",     " 10", "0.5", " 20", "0.5"});
  const TDrawing drawing = ParseDrawing(kBlocksStart + blockL + kEntitiesStart + insertL + hatch + kEnd);
  ASSERT_EQ(drawing.entities.size(), 2u);
  auto runsOf = [&](std::size_t index) {
    std::vector<std::vector<std::pair<long, long>>> runs;  // to a thousandth, rounded
    for (const auto& run : EntityShape(drawing, index).runs) {
      runs.emplace_back();
      for (const TPoint2& p : run) runs.back().emplace_back(std::lround(p.x * 1000), std::lround(p.y * 1000));
    }
    return runs;
  };
  using TRuns = std::vector<std::vector<std::pair<long, long>>>;
  EXPECT_EQ(runsOf(0), (TRuns{{{100000, 50000}, {100000, 70000}}}));
  EXPECT_EQ(runsOf(1), (TRuns{{{0, 0}, {4000, 0}, {4000, 3000}, {0, 3000}, {0, 0}},
                              {{1000, 1000}, {2000, 1000}, {2000, 2000}, {1000, 1000}}}));
}

}  // namespace
