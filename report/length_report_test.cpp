#include "report/length_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "dxf/dxf_errors.h"
#include "dxf/entity_tables.h"
#include "dxf/test_files.h"
#include "report/report_message.h"
#include "report/report_run.h"

std::vector<std::string> ShownMessages;
void ShowReportMessage(const std::string& Text) { ShownMessages.push_back(Text); }

namespace {

using testing_files::Pairs;
using testing_files::ReadBytes;

const std::string kLine = "\x90\xfc";                  // 線
const std::string kCircle = "\x89\x7e";                // 円
const std::string kArc = "\x89\x7e\x8c\xca";           // 円弧
const std::string kPoly = "\x91\xbd\x8a\x70\x90\xfc";  // 多角線

std::string Entities(const std::string& Body) {
  return Pairs({"0", "SECTION", "2", "ENTITIES"}) + Body + Pairs({"0", "ENDSEC", "0", "EOF"});
}

std::string Line(std::string_view Layer, std::string_view X1, std::string_view Y1, std::string_view X2,
                 std::string_view Y2, std::string_view Color = {}, std::string_view LineType = {}) {
  std::string text = Pairs({"0", "LINE", "8", Layer, "10", X1, "20", Y1, "11", X2, "21", Y2});
  if (!Color.empty()) text += Pairs({"62", Color});
  if (!LineType.empty()) text += Pairs({"6", LineType});
  return text;
}

std::string Circle(std::string_view X, std::string_view Y, std::string_view Radius) {
  return Pairs({"0", "CIRCLE", "8", "0", "10", X, "20", Y, "40", Radius});
}

std::string Arc(std::string_view X, std::string_view Start, std::string_view End) {
  return Pairs({"0", "ARC", "8", "0", "10", X, "20", "0", "40", "10", "50", Start, "51", End});
}

class LengthReportTest : public ::testing::Test {
 protected:
  void SetUp() override { ShownMessages.clear(); }
  std::string Report(const std::string& Dxf) {
    const std::string csv = folder_.File("out.csv");
    WriteLengthReport(folder_.Write("in.dxf", Dxf), csv);
    return ReadBytes(csv);
  }
  testing_files::TTempFolder folder_;
};

TEST_F(LengthReportTest, WorkedExampleMatchesGoldenFile) {
  const std::string csv = folder_.File("worked.csv");
  EXPECT_TRUE(WriteLengthReport(ORVELINE_TESTDATA "/worked_example.dxf", csv));
  EXPECT_EQ(ReadBytes(csv), ReadBytes(ORVELINE_TESTDATA "/worked_example.csv"));
  EXPECT_TRUE(ShownMessages.empty());
  // The tables are left in sorted order: layer 0 before 壁, then by length
  // and start point, equal lines in file order.
  const struct {
    const char* layer;
    double x1, x2, y2;
  } sorted[] = {
      {"0", 0, 5, 0}, {"\x95\xc7", 0, 0, 2}, {"\x95\xc7", 0, 3, 4}, {"\x95\xc7", 0, 3, 4}, {"\x95\xc7", 10, 13, 4}};
  ASSERT_EQ(LineCount, 5);
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Lines[i].Layer.View(), sorted[i].layer);
    EXPECT_EQ(Lines[i].X1, sorted[i].x1);
    EXPECT_EQ(Lines[i].X2, sorted[i].x2);
    EXPECT_EQ(Lines[i].Y2, sorted[i].y2);
  }
  EXPECT_EQ(Circles[0].CX, 0.0);
  EXPECT_EQ(Circles[1].CX, 5.0);
}

TEST_F(LengthReportTest, GroupsSortsAndCountsDuplicates) {
  const struct {
    const char* name;
    std::string dxf;
    std::string csv;
  } cases[] = {
      {"only texts", Entities(Pairs({"0", "TEXT", "1", "a"})), ""},
      {"single line", Entities(Line("A", "0", "0", "3", "4")), "A,     5.000,1," + kLine + ",,,\r\n"},
      {"two identical lines", Entities(Line("A", "0", "0", "3", "4") + Line("A", "0", "0", "3", "4")),
       "A,     5.000,2," + kLine + ",1,,\r\n"},
      {"opposite direction is no duplicate", Entities(Line("A", "0", "0", "3", "4") + Line("A", "3", "4", "0", "0")),
       "A,     5.000,2," + kLine + ",,,\r\n"},
      {"a line between keeps identical lines apart",
       Entities(Line("A", "0", "0", "3", "4") + Line("A", "0", "0", "4", "3") + Line("A", "0", "0", "3", "4")),
       "A,     5.000,3," + kLine + ",,,\r\n"},
      {"position brings identical lines together",
       Entities(Line("A", "5", "0", "8", "4") + Line("A", "0", "0", "3", "4") + Line("A", "5", "0", "8", "4")),
       "A,     5.000,3," + kLine + ",1,,\r\n"},
      {"layers in byte order",
       Entities(Line("\x95\xc7", "0", "0", "1", "0") + Line("b", "0", "0", "1", "0") + Line("B", "0", "0", "1", "0") +
                Line("BB", "0", "0", "1", "0")),
       "B,     1.000,1," + kLine + ",,,\r\nBB,     1.000,1," + kLine + ",,,\r\nb,     1.000,1," + kLine +
           ",,,\r\n\x95\xc7,     1.000,1," + kLine + ",,,\r\n"},
      {"empty colour orders first",
       Entities(Line("A", "0", "0", "1", "0", "1") + Line("A", "0", "0", "1", "0", {}, "HIDDEN") +
                Line("A", "0", "0", "1", "0")),
       "A,     1.000,1," + kLine + ",,,\r\nA,     1.000,1," + kLine + ",,,HIDDEN\r\nA,     1.000,1," + kLine +
           ",,1,\r\n"},
      {"the tolerance chains",
       Entities(Line("A", "0", "0", "1.000016", "0") + Line("A", "0", "0", "1", "0") +
                Line("A", "0", "0", "1.000008", "0")),
       "A,     1.000,3," + kLine + ",,,\r\n"},
      {"the second coordinate brings identical lines together",
       Entities(Line("A", "0", "5", "1", "5") + Line("A", "0", "0", "1", "0") + Line("A", "0", "5", "1", "5")),
       "A,     1.000,3," + kLine + ",1,,\r\n"},
      {"a row shows the measure of its last entity",
       Entities(Line("A", "0", "0", "1.000504", "0") + Line("A", "0", "0", "1.000496", "0")),
       "A,     1.001,2," + kLine + ",,,\r\n"},
      {"beyond the tolerance", Entities(Line("A", "0", "0", "1.00002", "0") + Line("A", "0", "0", "1", "0")),
       "A,     1.000,1," + kLine + ",,,\r\nA,     1.000,1," + kLine + ",,,\r\n"},
      {"wide and rounded numbers", Entities(Line("A", "0", "0", "1234567", "0") + Line("A", "0", "0", "0", "2.0625")),
       "A,     2.063,1," + kLine + ",,,\r\nA,1234567.000,1," + kLine + ",,,\r\n"},
      {"arcs are compared by centre only", Entities(Arc("0", "0", "90") + Arc("0", "90", "180") + Arc("5", "0", "90")),
       "0,    15.708,3," + kArc + ",1,,\r\n"},
      {"three coincident circles", Entities(Circle("1", "1", "1") + Circle("1", "1", "1") + Circle("1", "1", "1")),
       "0,     6.283,3," + kCircle + ",2,,\r\n"},
      {"concentric circles", Entities(Circle("1", "1", "1") + Circle("1", "1", "2")),
       "0,     6.283,1," + kCircle + ",,,\r\n0,    12.566,1," + kCircle + ",,,\r\n"},
      {"polylines by their first vertex",
       Entities(Pairs({"0",  "LWPOLYLINE", "8",  "P", "10", "0",      "20", "0",          "10", "2", "20", "0",
                       "0",  "POLYLINE",   "8",  "P", "0",  "VERTEX", "10", "0",          "20", "0", "0",  "VERTEX",
                       "10", "0",          "20", "2", "0",  "SEQEND", "0",  "LWPOLYLINE", "8",  "P"})),
       "P,     0.000,1," + kPoly + ",,,\r\nP,     2.000,2," + kPoly + ",1,,\r\n"},
      {"kinds in order lines, circles, arcs, polylines",
       Entities(Pairs({"0", "LWPOLYLINE", "8", "0"}) + Arc("0", "0", "90") + Circle("0", "0", "1") +
                Line("0", "0", "0", "1", "0")),
       "0,     1.000,1," + kLine + ",,,\r\n0,     6.283,1," + kCircle + ",,,\r\n0,    15.708,1," + kArc +
           ",,,\r\n0,     0.000,1," + kPoly + ",,,\r\n"},
      {"fields with comma or quote are quoted", Entities(Line("a,b", "0", "0", "1", "0", "1", "x\"y")),
       "\"a,b\",     1.000,1," + kLine + ",,1,\"x\"\"y\"\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Report(c.dxf), c.csv);
  }
}

// Sorting moves every record far from its place in the file: pairs of lines
// whose lengths run one step behind their order, so that the records move in
// two long cycles. A pair is a duplicate only where its second line ends
// where its first does, which is seen only if each record ends up in its row.
TEST_F(LengthReportTest, RecordsMovedFarStayWithTheirRows) {
  constexpr int kPairs = 6000;
  std::string body, csv;
  for (int group = 0; group < kPairs; ++group) {
    const std::string length = std::to_string((group + 1) % kPairs + 1);
    body += Line("A", "0", "0", length, "0");
    body += group % 2 == 0 ? Line("A", "0", "0", length, "0") : Line("A", "0", "0", "0", length);
  }
  for (int length = 1; length <= kPairs; ++length) {
    const int group = (length - 2 + kPairs) % kPairs;
    char measure[32];
    std::snprintf(measure, sizeof measure, "%10.3f", static_cast<double>(length));
    csv += "A," + std::string(measure) + ",2," + kLine + (group % 2 == 0 ? ",1,,\r\n" : ",,,\r\n");
  }
  EXPECT_EQ(Report(Entities(body)), csv);
}

// A length beyond the range of a double is never listed as INF: the run
// fails, naming the kind, and the old list stays.
TEST_F(LengthReportTest, OverflowingMeasureIsAnError) {
  const std::string csv = folder_.Write("old.csv", "old list");
  const std::string dxf =
      folder_.Write("in.dxf", Entities(Line("A", "0", "0", "1", "0") + Line("A", "-1e308", "0", "1e308", "0")));
  try {
    WriteLengthReport(dxf, csv);
    ADD_FAILURE() << "no error";
  } catch (const TFileError& e) {
    // 長さが大きすぎて測れません（線）
    EXPECT_EQ(std::string(e.what()),
              "\x92\xb7\x82\xb3\x82\xaa\x91\xe5\x82\xab\x82\xb7\x82\xac\x82\xc4\x91\xaa\x82\xea\x82\xdc\x82\xb9"
              "\x82\xf1\x81i" +
                  kLine + "\x81j");
    EXPECT_EQ(e.Path(), dxf);
  }
  EXPECT_EQ(ReadBytes(csv), "old list");
}

TEST_F(LengthReportTest, CsvThatCannotBeCreated) {
  const std::string dxf = folder_.Write("bad.dxf", Entities(Pairs({"0", "LINE", "10", "x"})));
  const std::string csv = folder_.File("no-such-folder/out.csv");
  EXPECT_FALSE(WriteLengthReport(dxf, csv));  // the DXF file is not read: no conversion error
  ASSERT_EQ(ShownMessages.size(), 1u);
  // ファイルを作成できません
  EXPECT_EQ(ShownMessages[0],
            "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1");
  EXPECT_FALSE(std::filesystem::exists(csv));
}

TEST_F(LengthReportTest, RefusedBeforeAnyFileIsTouched) {
  const std::string drawing = Entities(Line("A", "0", "0", "3", "4"));
  const std::string dxf = folder_.Write("in.dxf", drawing);
  const std::string csv = folder_.Write("old.csv", "old contents");
  std::vector<std::pair<std::string, std::string>> cases = {
      {dxf, dxf},                                                     // the drawing as its own report
      {dxf, folder_.File(".") + "/in.dxf"},                           // another spelling of it
      {folder_.File(""), csv},                                        // a folder as the drawing
      {folder_.Write("bin.dxf", "AutoCAD Binary DXF\r\n\x1a"), csv},  // a binary drawing
  };
#ifdef __linux__
  std::filesystem::create_symlink(dxf, folder_.File("link.csv"));
  cases.push_back({dxf, folder_.File("link.csv")});
#endif
  for (const auto& [from, to] : cases) {
    SCOPED_TRACE(from + " -> " + to);
    EXPECT_THROW(WriteLengthReport(from, to), TFileError);
    EXPECT_EQ(ReadBytes(dxf), drawing);
    EXPECT_EQ(ReadBytes(csv), "old contents");
  }
  try {
    WriteLengthReport(dxf, dxf);
  } catch (const TFileError& e) {
    // %s は図面と同じファイルです
    EXPECT_EQ(
        std::string(e.what()),
        dxf + " \x82\xcd\x90\x7d\x96\xca\x82\xc6\x93\xaf\x82\xb6\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xc5\x82\xb7");
  }
  EXPECT_TRUE(ShownMessages.empty());
}

TEST_F(LengthReportTest, ReaderErrorsPassThroughLeavingTheOldList) {
  const std::string csv = folder_.Write("old.csv", "old contents");
  EXPECT_THROW(WriteLengthReport(folder_.Write("bad.dxf", Entities(Line("A", "0", "0", "1", "x"))), csv),
               TConvertError);
  EXPECT_EQ(ReadBytes(csv), "old contents");
  EXPECT_TRUE(ShownMessages.empty());
  // Nothing but the old list is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(std::filesystem::path(csv).parent_path()),
                          std::filesystem::directory_iterator()),
            2);
  // A missing drawing gives an empty list.
  EXPECT_TRUE(WriteLengthReport(folder_.File("missing.dxf"), csv));
  EXPECT_EQ(ReadBytes(csv), "");
}

#ifdef __linux__
TEST_F(LengthReportTest, WriteErrorIsRaisedNotSwallowed) {
  // A device that takes no data: the error surfaces when the rows are written.
  try {
    WriteLengthReport(ORVELINE_TESTDATA "/worked_example.dxf", "/dev/full");
    ADD_FAILURE() << "no error";
  } catch (const TFileError& e) {
    // %s に書き込めません
    EXPECT_EQ(std::string(e.what()), "/dev/full \x82\xc9\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1");
  }
}
#endif

// Rows of the two golden lists worked out by hand from the drawings' entity
// data, so that a fault in the report cannot hide in a golden file it wrote
// itself. Each list must hold them, in this order, and so must the report.
TEST_F(LengthReportTest, GoldenListsHoldRowsDerivedByHand) {
  const std::string kHome = "\x89\xc6\x8b\xef";          // 家具
  const std::string kOuterWall = "\x8a\x4f\x95\xc7";     // 外壁
  const std::string kFitting = "\x8c\x9a\x8b\xef";       // 建具
  const std::string kColumn = "\x92\x8c";                // 柱
  const std::string kGrid = "\x92\xca\x82\xe8\x90\x63";  // 通り芯
  const struct {
    const char* dxf;
    const char* golden;
    std::vector<std::string> rows;
  } lists[] = {
      {ORVELINE_TESTDATA "/../samples/sample.dxf",
       ORVELINE_TESTDATA "/sample.csv",
       {
           // A LINE from (3232.797, 25119.593) to (3232.797, 30819.593), linetype CENTER: 5700.
           "0,  5700.000,1," + kLine + ",,,CENTER",
           // A CIRCLE of radius 450: 900 pi = 2827.4334.
           kHome + ",  2827.433,1," + kCircle + ",,,",
           // Two CIRCLEs of radius 300 at one centre, colours 6 and 7: 600 pi = 1884.9556 each.
           kGrid + ",  1884.956,1," + kCircle + ",,6,",
           kGrid + ",  1884.956,1," + kCircle + ",,7,",
           // Two identical ARCs of radius 900 from 105 to 330 degrees: 900 * 225 * pi / 180 = 3534.2917.
           kColumn + ",  3534.292,2," + kArc + ",1,,",
           // An ARC of radius 200 from 75 to 60 degrees, through 0: 200 * 345 * pi / 180 = 1204.2772.
           kGrid + ",  1204.277,1," + kArc + ",,,",
           // An LWPOLYLINE of 8 vertices, edges 2400 2300 500 2500 2100 2600 500
           // (the closing edge is not counted): 12900.
           kHome + ", 12900.000,1," + kPoly + ",,,",
           // An LWPOLYLINE, colour 4, edges 2300 200 2500 (a chord: bulges are not
           // counted) 2000 1700 1300: 10000.
           kGrid + ", 10000.000,1," + kPoly + ",,4,",
       }},
      {ORVELINE_TESTDATA "/sample_selection.dxf",
       ORVELINE_TESTDATA "/sample_selection.csv",
       {
           // A LINE from (32940.23, 3254.949) to (32940.23, 6554.949): 3300.
           "0,  3300.000,1," + kLine + ",,,",
           // A LINE from (18810.981, 25627.733) to (23310.981, 25627.733), linetype HIDDEN: 4500.
           kOuterWall + ",  4500.000,1," + kLine + ",,,HIDDEN",
           // A CIRCLE of radius 200: 400 pi = 1256.6371.
           kFitting + ",  1256.637,1," + kCircle + ",,,",
           // An ARC of radius 800 from 15 to 195 degrees: 800 pi = 2513.2741.
           kOuterWall + ",  2513.274,1," + kArc + ",,,",
           kColumn + ",  3534.292,2," + kArc + ",1,,",
       }},
  };
  for (const auto& list : lists) {
    SCOPED_TRACE(list.golden);
    const std::string csv = folder_.File("out.csv");
    ASSERT_TRUE(WriteLengthReport(list.dxf, csv));
    for (const std::string& text : {ReadBytes(list.golden), ReadBytes(csv)}) {
      std::vector<std::string> lines;
      for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
      auto next = lines.begin();
      for (const std::string& row : list.rows) {
        SCOPED_TRACE(row);
        next = std::find(next, lines.end(), row);
        ASSERT_NE(next, lines.end());
        ++next;
      }
    }
  }
}

}  // namespace

namespace {

// The dialog's run: an export without a single entity writes nothing and
// says that nothing was selected; another tells what it listed.
TEST_F(LengthReportTest, ExportReportOfNothingSelectedKeepsTheOldList) {
  const std::string csv = folder_.Write("old.csv", "old list");
  TReportResult result;
  try {
    WriteExportReport(folder_.Write("empty.dxf", Entities("")), csv, {}, result);
    ADD_FAILURE() << "no error";
  } catch (const TFileError& e) {
    EXPECT_EQ(e.Kind(), TFileError::TKind::NothingSelected);
    // 図形が選択されていません。
    EXPECT_EQ(
        std::string(e.what()),
        "\x90\x7d\x8c\x60\x82\xaa\x91\x49\x91\xf0\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1\x81\x42");
  }
  EXPECT_EQ(ReadBytes(csv), "old list");

  EXPECT_TRUE(WriteExportReport(
      folder_.Write("two.dxf", Entities(Line("A", "0", "0", "3", "4") + Pairs({"0", "TEXT", "1", "x"}))), csv, {},
      result));
  ASSERT_EQ(result.Drawings.size(), 1u);
  EXPECT_EQ(result.Drawings[0].Rows, 1);
  EXPECT_EQ(ReadBytes(csv), "A,     5.000,1," + kLine + ",,,\r\n");
}

}  // namespace

namespace {

// Removes a drawing when the reading of another begins.
class TRemoveWhenReading : public TReportProgress {
 public:
  TRemoveWhenReading(std::size_t Number, std::string Path) : number_(Number), path_(std::move(Path)) {}
  void Drawing(std::size_t Number, std::size_t) override {
    if (Number == number_) std::filesystem::remove(path_);
  }

 private:
  std::size_t number_;
  std::string path_;
};

// A drawing that goes while a list of several is read is no empty drawing:
// the run fails naming it, and the old list stays.
TEST_F(LengthReportTest, DrawingThatVanishesWhileReadFailsTheRun) {
  const std::string csv = folder_.Write("old.csv", "old list");
  const std::string first = folder_.Write("first.dxf", Entities(Line("A", "0", "0", "3", "4")));
  const std::string second = folder_.Write("second.dxf", Entities(Line("B", "0", "0", "3", "4")));
  TRemoveWhenReading remove(1, second);
  TReportJob job;
  job.Drawings = {first, second};
  job.Names = {"first.dxf", "second.dxf"};
  job.Report = csv;
  job.Progress = &remove;
  try {
    WriteReport(job);
    ADD_FAILURE() << "no error";
  } catch (const TFileError& e) {
    EXPECT_EQ(e.Kind(), TFileError::TKind::Missing);
    EXPECT_EQ(e.Path(), second);
  }
  EXPECT_EQ(ReadBytes(csv), "old list");
}

}  // namespace
