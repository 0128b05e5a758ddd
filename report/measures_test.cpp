#include "report/measures.h"

#include <gtest/gtest.h>

#include <cmath>

#include "dxf/dxf_reader.h"
#include "dxf/test_files.h"

namespace {

TEST(Measures, LinesCirclesArcs) {
  EXPECT_EQ(MeasureLine({0, 0, 5, 3, 4, -5, {}, {}, {}}), 5.0);  // Z does not count
  EXPECT_EQ(MeasureLine({1, 1, 0, 1, 1, 0, {}, {}, {}}), 0.0);
  EXPECT_EQ(MeasureCircle({0, 0, 0, 2.5, {}, {}, {}}), 15.707963267948966);
  EXPECT_EQ(MeasureCircle({0, 0, 0, 0, {}, {}, {}}), 0.0);
  const struct {
    double radius, start, end, length;
  } arcs[] = {
      {10, 0, 90, 15.707963267948966},
      {10, 350, 10, 3.4906585039886591},
      {10, 90, 0, 47.123889803846897},
      {10, 45, 45, 0.0},
      {0, 0, 90, 0.0},
  };
  for (const auto& a : arcs) {
    SCOPED_TRACE(a.start);
    EXPECT_DOUBLE_EQ(MeasureArc({0, 0, 0, a.radius, a.start, a.end, {}, {}, {}}), a.length);
  }
  EXPECT_TRUE(std::isinf(MeasureLine({-1e308, 0, 0, 1e308, 0, 0, {}, {}, {}})));
}

TEST(Measures, PolylinesByIndex) {
  testing_files::TTempFolder folder;
  using testing_files::Pairs;
  ReadDxf(folder.Write("p.dxf", Pairs({
                                    "0",  "SECTION",  "2",  "ENTITIES", "0",  "LWPOLYLINE", "70", "1", "10", "0",
                                    "20", "0",        "10", "1",        "20", "0",          "10", "1", "20", "1",
                                    "10", "0",        "20", "1",        "0",  "LWPOLYLINE", "10", "4", "20", "4",
                                    "0",  "POLYLINE", "0",  "SEQEND",   "0",  "LINE",       "11", "3", "21", "4",
                                })));
  EXPECT_EQ(PolyLength(0), 3.0);  // closed or not: no closing edge
  EXPECT_EQ(PolyLength(1), 0.0);
  EXPECT_EQ(PolyLength(2), 0.0);
  EXPECT_EQ(LineLength(0), 5.0);
}

}  // namespace
