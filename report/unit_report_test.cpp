// Lengths written in another unit than the drawing's: converted from the
// unit the drawing states ($INSUNITS) or the one given for a drawing that
// states none, grouped after the conversion, and named in the titles, the
// JSON rows and the summary. The numbers are worked out by hand in the
// comments.
#include "report/units.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "dxf/dxf_errors.h"
#include "dxf/dxf_reader.h"
#include "dxf/test_files.h"
#include "report/report_run.h"
#include "report/run_summary.h"

namespace {

using testing_files::ReadBytes;
using testing_files::TTempFolder;

const std::string kLine = "\x90\xfc";                     // 線
const std::string kCircle = "\x89\x7e";                   // 円
const std::string kPoly = "\x91\xbd\x8a\x70\x90\xfc";     // 多角線
const std::string kBlock = "\x83u\x83\x8d\x83\x62\x83N";  // ブロック

// A drawing from blank-separated group codes and values, each pair's two
// lines ended by CR LF.
std::string Dxf(std::string_view Tokens) {
  std::istringstream in{std::string(Tokens)};
  std::string token, text;
  while (in >> token) text += token + "\r\n";
  return text;
}

// A drawing whose header holds Header (pairs, "" for no header section) and
// whose ENTITIES section holds Entities.
std::string Drawing(std::string_view Header, std::string_view Entities) {
  std::string text;
  if (!Header.empty()) text += Dxf("0 SECTION 2 HEADER " + std::string(Header) + " 0 ENDSEC");
  return text + Dxf("0 SECTION 2 ENTITIES " + std::string(Entities) + " 0 ENDSEC 0 EOF");
}

// A line along x from 0 to Length, on layer 0.
std::string Line(std::string_view Length) { return "0 LINE 8 0 10 0 20 0 11 " + std::string(Length) + " 21 0"; }

TReportOptions Unit(std::string Name, std::string DrawingUnit = "") {
  TReportOptions options;
  options.Unit = std::move(Name);
  options.DrawingUnit = std::move(DrawingUnit);
  return options;
}

class UnitReportTest : public ::testing::Test {
 protected:
  // The list of the drawings (written as a.dxf, b.dxf, ...), as the run
  // writes it.
  std::string List(const std::vector<std::string>& Drawings, const TReportOptions& Options,
                   TReportResult* Result = nullptr) {
    TReportJob job;
    for (std::size_t i = 0; i < Drawings.size(); ++i) {
      const std::string name = std::string(1, static_cast<char>('a' + i)) + ".dxf";
      job.Drawings.push_back(folder_.Write(name, Drawings[i]));
      if (Drawings.size() > 1 && !Options.Diff) job.Names.push_back(name);
    }
    job.Report = folder_.File("list.csv");
    job.Options = Options;
    const TReportResult result = WriteReport(job);
    if (Result) *Result = result;
    return ReadBytes(job.Report);
  }
  TTempFolder folder_;
};

TEST_F(UnitReportTest, LengthsAreConvertedFromTheDrawingsUnit) {
  const struct {
    const char* name;
    std::string header;
    std::string entities;
    TReportOptions options;
    std::string list;
  } cases[] = {
      {"millimetres to metres: a 12,000 line is 12 m", "9 $INSUNITS 70 4", Line("12000"), Unit("m"),
       "0,    12.000,1," + kLine + ",,,\r\n"},
      {"inches to millimetres: 1 in is 25.4 mm", "9 $INSUNITS 70 1", Line("1"), Unit("mm"),
       "0,    25.400,1," + kLine + ",,,\r\n"},
      {"feet to metres: 10 ft is 3.048 m", "9 $INSUNITS 70 2", Line("10"), Unit("m"),
       "0,     3.048,1," + kLine + ",,,\r\n"},
      {"metres to centimetres", "9 $INSUNITS 70 6", Line("2.5"), Unit("cm"), "0,   250.000,1," + kLine + ",,,\r\n"},
      {"millimetres to inches: 254 mm is 10 in", "9 $INSUNITS 70 4", Line("254"), Unit("in"),
       "0,    10.000,1," + kLine + ",,,\r\n"},
      {"yards to feet", "9 $INSUNITS 70 10", Line("7"), Unit("ft"), "0,    21.000,1," + kLine + ",,,\r\n"},
      {"US survey feet to metres: 3937 ft is 1200 m", "9 $INSUNITS 70 21", Line("3937"), Unit("m"),
       "0,  1200.000,1," + kLine + ",,,\r\n"},
      {"kilometres to metres", "9 $INSUNITS 70 7", Line("0.25"), Unit("m"), "0,   250.000,1," + kLine + ",,,\r\n"},
      {"the same unit", "9 $INSUNITS 70 4", Line("12000"), Unit("mm"), "0, 12000.000,1," + kLine + ",,,\r\n"},
      {"a drawing without a unit, given one", "9 $ACADVER 1 AC1015", Line("12000"), Unit("m", "mm"),
       "0,    12.000,1," + kLine + ",,,\r\n"},
      {"a drawing without a header, given a unit", "", Line("12000"), Unit("m", "mm"),
       "0,    12.000,1," + kLine + ",,,\r\n"},
      {"the unit a drawing states wins over the one given", "9 $INSUNITS 70 6", Line("12"), Unit("mm", "cm"),
       "0, 12000.000,1," + kLine + ",,,\r\n"},
      // 2 pi 1000 mm = 6.283 m; the circle's row follows the line's.
      {"every kind", "9 $INSUNITS 70 4", Line("500") + " 0 CIRCLE 8 0 10 0 20 0 40 1000", Unit("m"),
       "0,     0.500,1," + kLine + ",,,\r\n0,     6.283,1," + kCircle + ",,,\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(List({Drawing(c.header, c.entities)}, c.options), c.list);
  }
}

// Without a unit asked for, the list stays in drawing units whatever the
// drawing states, and none is needed.
TEST_F(UnitReportTest, WithoutAUnitTheListIsAsDrawn) {
  EXPECT_EQ(List({Drawing("9 $INSUNITS 70 4", Line("12000"))}, {}), "0, 12000.000,1," + kLine + ",,,\r\n");
  EXPECT_EQ(List({Drawing("", Line("12000"))}, {}), "0, 12000.000,1," + kLine + ",,,\r\n");
}

TEST_F(UnitReportTest, ADrawingThatStatesNoUnitFailsAndLeavesTheReport) {
  const struct {
    const char* name;
    std::string drawing;
  } cases[] = {
      {"no header", Drawing("", Line("1"))},
      {"no $INSUNITS", Drawing("9 $ACADVER 1 AC1015", Line("1"))},
      {"$INSUNITS 0: unitless", Drawing("9 $INSUNITS 70 0", Line("1"))},
      {"a code that is no length unit", Drawing("9 $INSUNITS 70 99", Line("1"))},
      {"not a number", Drawing("9 $INSUNITS 70 mm", Line("1"))},
  };
  const std::string message =
      "\x92P\x88\xca\x82\xaa\x82\xed\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81i$INSUNITS "
      "\x82\xc9\x92\xb7\x82\xb3\x82\xcc\x92P\x88\xca\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81j\x81\x42"
      "--drawing-unit \x82\xc5\x90\x7d\x96\xca\x82\xcc\x92P\x88\xca\x82\xf0\x8ew\x92\xe8\x82\xb5\x82\xc4\x82\xad"
      "\x82\xbe\x82\xb3\x82\xa2";  // 単位がわかりません（$INSUNITS に長さの単位がありません）。--drawing-unit
                                   // で図面の単位を指定してください
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TTempFolder folder;
    TReportJob job;
    // The second drawing is the one without a unit: the first one's rows
    // must not reach the report either.
    job.Drawings = {folder.Write("mm.dxf", Drawing("9 $INSUNITS 70 4", Line("1000"))),
                    folder.Write("plain.dxf", c.drawing)};
    job.Names = {"mm.dxf", "plain.dxf"};
    job.Report = folder.Write("list.csv", "the old list");
    job.Options = Unit("m");
    try {
      WriteReport(job);
      ADD_FAILURE() << "no error";
    } catch (const TFileError& e) {
      EXPECT_EQ(e.Path(), job.Drawings[1]);
      EXPECT_EQ(e.Reason(), message);
      EXPECT_EQ(std::string(e.what()), "'" + job.Drawings[1] + "' \x82\xcc" + message);  // の
    }
    EXPECT_EQ(ReadBytes(job.Report), "the old list");
    // Nothing else beside it: the new list was never put in place.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(std::filesystem::path(job.Report).parent_path()),
                            std::filesystem::directory_iterator()),
              3);
  }
  // No report file at all stays none.
  TTempFolder folder;
  TReportJob job;
  job.Drawings = {folder.Write("plain.dxf", Drawing("", Line("1")))};
  job.Report = folder.File("new.csv");
  job.Options = Unit("m");
  EXPECT_THROW(WriteReport(job), TFileError);
  EXPECT_FALSE(std::filesystem::exists(job.Report));
}

// Grouping holds in the list's unit: lengths 1000 and 1000.009 mm differ by
// 0.009 mm, more than 0.00001, so in millimetres they are two rows; in
// metres they differ by 0.000009, within 0.00001, and are one row of two.
TEST_F(UnitReportTest, LengthsAreGroupedAfterTheConversion) {
  const std::string drawing = Drawing("9 $INSUNITS 70 4", Line("1000") + " " + Line("1000.009"));
  EXPECT_EQ(List({drawing}, Unit("mm")), "0,  1000.000,1," + kLine + ",,,\r\n0,  1000.009,1," + kLine + ",,,\r\n");
  EXPECT_EQ(List({drawing}, Unit("m")), "0,     1.000,2," + kLine + ",,,\r\n");
}

TEST_F(UnitReportTest, TitlesNameTheUnit) {
  const std::string drawing = Drawing("9 $INSUNITS 70 4", Line("12000") + " " + Line("12000"));
  TReportOptions options = Unit("m");
  options.Header = true;
  options.Totals = true;
  // 画層,長さ(m),本数,種類,重複,色,線種,合計(m)
  EXPECT_EQ(
      List({drawing}, options),
      "\x89\xe6\x91w,\x92\xb7\x82\xb3(m),\x96{\x90\x94,\x8e\xed\x97\xde,\x8f\x64\x95\xa1,\x90\x46,\x90\xfc\x8e\xed,"
      "\x8d\x87\x8cv(m)\r\n0,    12.000,2," +
          kLine + ",1,,,    24.000\r\n");  // the same line twice: one duplicate
  // A difference: 画層,長さ(ft),種類,色,線種,旧本数,新本数,増減, and the
  // 12,000 mm line is 39.370 ft.
  options = Unit("ft");
  options.Header = true;
  options.Diff = true;
  EXPECT_EQ(List({Drawing("9 $INSUNITS 70 4", ""), drawing}, options),
            "\x89\xe6\x91w,\x92\xb7\x82\xb3(ft),\x8e\xed\x97\xde,\x90\x46,\x90\xfc\x8e\xed,\x8b\x8c\x96{\x90\x94,"
            "\x90V\x96{\x90\x94,\x91\x9d\x8c\xb8\r\n0,    39.370," +
                kLine + ",,,0,2,+2\r\n");
  // In UTF-8 the same titles: 長さ(mm).
  options = Unit("mm");
  options.Header = true;
  options.Utf8 = true;
  EXPECT_EQ(List({drawing}, options).substr(0, 21),
            "\xef\xbb\xbf\xe7\x94\xbb\xe5\xb1\xa4,\xe9\x95\xb7\xe3\x81\x95(mm),");
}

// Each row of JSON says its unit: a length row the unit's name, a block row
// null (a count has none).
TEST_F(UnitReportTest, JsonRowsCarryTheUnit) {
  const std::string drawing =
      Dxf("0 SECTION 2 HEADER 9 $INSUNITS 70 4 0 ENDSEC "
          "0 SECTION 2 BLOCKS 0 BLOCK 8 0 2 B 70 0 10 0 20 0 0 ENDBLK 0 ENDSEC "
          "0 SECTION 2 ENTITIES 0 LINE 8 0 10 0 20 0 11 1500 21 0 0 INSERT 8 0 2 B 10 0 20 0 0 ENDSEC 0 EOF");
  TReportOptions options = Unit("m");
  options.Json = true;
  options.Blocks = true;
  EXPECT_EQ(
      List({drawing}, options),
      "[\r\n{\"layer\":\"0\",\"length\":1.5,\"unit\":\"m\",\"count\":1,\"kind\":\"\xe7\xb7\x9a\",\"duplicates\":0,"
      "\"color\":\"\",\"linetype\":\"\"},\r\n"
      "{\"layer\":\"0\",\"length\":null,\"unit\":null,\"count\":1,\"kind\":\"\xe3\x83\x96\xe3\x83\xad\xe3\x83\x83"
      "\xe3\x82\xaf\",\"duplicates\":0,\"color\":\"\",\"linetype\":\"\",\"block\":\"B\",\"attributes\":{}}\r\n]\r\n");
}

// Several drawings are each converted from their own unit, and a
// difference compares both sides converted: 12,000 mm and 12 m are the same
// 12.000 m, so nothing changed.
TEST_F(UnitReportTest, EachDrawingIsConvertedFromItsOwnUnit) {
  const std::string millimetres = Drawing("9 $INSUNITS 70 4", Line("12000"));
  const std::string metres = Drawing("9 $INSUNITS 70 6", Line("12"));
  EXPECT_EQ(List({millimetres, metres}, Unit("m")),
            "a.dxf,0,    12.000,1," + kLine + ",,,\r\nb.dxf,0,    12.000,1," + kLine + ",,,\r\n");
  TReportOptions diff = Unit("m");
  diff.Diff = true;
  EXPECT_EQ(List({millimetres, metres}, diff), "");
  // As drawn, the one line of 12,000 went and one of 12 came.
  diff.Unit.clear();
  EXPECT_EQ(List({millimetres, metres}, diff),
            "0,    12.000," + kLine + ",,,0,1,+1\r\n0, 12000.000," + kLine + ",,,1,0,-1\r\n");
}

// Areas are converted by the square of the factor: a closed rectangle of
// 4000 x 3000 mm is 12,000,000 mm², 12 m²; its area row (after the length
// rows: the line, and the rectangle without its closing edge, 11 m) is
// named so in the titles, and in JSON as "ft2" in square feet.
TEST_F(UnitReportTest, AreasAreInTheSquareOfTheUnit) {
  const std::string drawing =
      Drawing("9 $INSUNITS 70 4",
              Line("12000") + " 0 LWPOLYLINE 8 0 90 4 70 1 10 0 20 0 10 4000 20 0 10 4000 20 3000 10 0 20 3000");
  TReportOptions options = Unit("m");
  options.Areas = true;
  options.Header = true;
  options.Totals = true;
  const std::string area = "\x91\xbd\x8a\x70\x90\xfc\x96\xca\x90\xcf";  // 多角線面積
  // 画層,長さ(m)・面積(㎡),本数,種類,重複,色,線種,合計(m・㎡)
  EXPECT_EQ(List({drawing}, options),
            "\x89\xe6\x91w,\x92\xb7\x82\xb3(m)\x81\x45\x96\xca\x90\xcf(\x87u),\x96{\x90\x94,\x8e\xed\x97\xde,"
            "\x8f\x64\x95\xa1,\x90\x46,\x90\xfc\x8e\xed,\x8d\x87\x8cv(m\x81\x45\x87u)\r\n"
            "0,    12.000,1," +
                kLine + ",,,,    12.000\r\n0,    11.000,1," + kPoly + ",,,,    11.000\r\n0,    12.000,1," + area +
                ",,,,    12.000\r\n");
  options = Unit("ft");
  options.Areas = true;
  options.Json = true;
  // 12,000,000 mm² = 12 / 0.3048² ft² = 129.16692 ft²: checked to 0.001.
  const std::string json = List({drawing}, options);
  const std::size_t at = json.find("\"area\":129.166");
  ASSERT_NE(at, std::string::npos) << json;
  EXPECT_EQ(json.substr(json.find(',', at), 13), ",\"unit\":\"ft2\"");
  EXPECT_NE(json.find("\"length\":39.37007874015748,\"unit\":\"ft\""), std::string::npos) << json;
}

TEST_F(UnitReportTest, SummaryNamesTheUnits) {
  TReportOptions options = Unit("m", "mm");
  options.Summary = true;
  TReportResult result;
  List({Drawing("9 $INSUNITS 70 2", Line("1")), Drawing("", Line("1"))}, options, &result);
  // 図面: a.dxf / 集計した行: 1 / 単位: ft → m / 線: 集計 1 集計外 0 / 合計: ...
  const std::string text = SummaryText(result.Drawings, false);
  EXPECT_NE(text.find("\x8fW\x8cv\x82\xb5\x82\xbd\x8ds: 1\n\x92P\x88\xca: ft \x81\xa8 m\n"), std::string::npos) << text;
  // 単位: mm（図面に単位なし） → m
  EXPECT_NE(text.find("\x92P\x88\xca: mm\x81i\x90\x7d\x96\xca\x82\xc9\x92P\x88\xca\x82\xc8\x82\xb5\x81j \x81\xa8 m\n"),
            std::string::npos)
      << text;
  // Without a unit asked for, no such line.
  options = {};
  options.Summary = true;
  List({Drawing("9 $INSUNITS 70 2", Line("1"))}, options, &result);
  EXPECT_EQ(SummaryText(result.Drawings, false).find("\x92P\x88\xca: "), std::string::npos);
}

// The reader keeps the drawing's unit whatever it is read for; a value is
// read without the blanks around it, and a variable given twice by its first
// value.
TEST(DrawingUnitsTest, EveryReadingKeepsTheUnit) {
  const std::string drawing = Dxf("0 SECTION 2 HEADER 9 $ACADVER 1 AC1015 9 $INSUNITS") + "70\r\n     5 \r\n" +
                              Drawing("9 $INSUNITS 70 6", Line("1")).substr(Dxf("0 SECTION 2 HEADER").size());
  for (const TReadOptions reading : {TReadOptions{}, TReadOptions{true, false, false}, TReadOptions{false, true, true},
                                     TReadOptions{true, true, true}}) {
    TMemorySource source(drawing);
    EXPECT_EQ(ReadDrawing(source, reading).Units, 5);
  }
}

TEST(UnitNamesTest, AreasAreInTheUnitsSquare) {
  EXPECT_EQ(AreaUnitWord("m"), "\x87u");                   // ㎡
  EXPECT_EQ(AreaUnitWord("mm"), "\x95\xbd\x95\xfbmm");     // 平方mm
  EXPECT_EQ(AreaUnitWord("ft"), "\x95\xbd\x95\xfb\x66t");  // 平方ft
  EXPECT_EQ(AreaTitle("m"), "\x96\xca\x90\xcf(\x87u)");    // 面積(㎡)
  EXPECT_EQ(AreaTitle(""), "\x96\xca\x90\xcf");            // 面積
  EXPECT_EQ(LengthTitle("in"), "\x92\xb7\x82\xb3(in)");    // 長さ(in)
  EXPECT_EQ(JsonAreaUnit("cm"), "cm2");
  for (std::string_view name : {"mm", "cm", "m", "in", "ft"}) EXPECT_TRUE(IsListUnit(name)) << name;
  for (std::string_view name : {"", "M", "km", "yd", "mm "}) EXPECT_FALSE(IsListUnit(name)) << name;
}

}  // namespace
