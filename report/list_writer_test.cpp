// The forms of the list, on the worked example: its six rows are
//   0 5.000 1 線 - 1 HIDDEN | 壁 2.000 1 線 | 壁 5.000 3 線 1 | 0 6.283 2 円 |
//   0 15.708 1 円弧 | 0 3.000 1 多角線
// (three lines of 5, two circles of radius 1, an arc of radius 10 over a
// quarter, a square's three measured sides).
#include "report/list_writer.h"

#include <gtest/gtest.h>

#include <functional>

#include "dxf/dxf_reader.h"
#include "dxf/test_files.h"
#include "report/length_report.h"
#include "report/list_rows.h"
#include "report/list_diff.h"
#include "report/number_format.h"

namespace {

using testing_files::Pairs;
using testing_files::ReadBytes;

const char kWorked[] = ORVELINE_TESTDATA "/worked_example.dxf";

// The worked example's rows in code page 932, without their line ends.
const std::string kRows[] = {
    "0,     5.000,1,\x90\xfc,,1,HIDDEN",          // 線
    "\x95\xc7,     2.000,1,\x90\xfc,,,",          // 壁 線
    "\x95\xc7,     5.000,3,\x90\xfc,1,,",         // 壁 線
    "0,     6.283,2,\x89\x7e,,,",                 // 円
    "0,    15.708,1,\x89\x7e\x8c\xca,,,",         // 円弧
    "0,     3.000,1,\x91\xbd\x8a\x70\x90\xfc,,,"  // 多角線
};
// The summed lengths: one line of 5, of 2, three of 5, two circles of 2π,
// 5π, three sides of 1.
const char* const kTotals[] = {"     5.000", "     2.000", "    15.000", "    12.566", "    15.708", "     3.000"};

const std::string kTitles =
    "\x89\xe6\x91\x77,\x92\xb7\x82\xb3,\x96\x7b\x90\x94,\x8e\xed\x97\xde,\x8f\x64\x95\xa1,\x90\x46,"
    "\x90\xfc\x8e\xed";                               // 画層,長さ,本数,種類,重複,色,線種
const std::string kTotalTitle = ",\x8d\x87\x8c\x76";  // ,合計

class ListFormTest : public ::testing::Test {
 protected:
  // The worked example's list through the dialog's way (options).
  std::string Report(const TReportOptions& Options) {
    const std::string csv = folder_.File("out.csv");
    WriteLengthReport(kWorked, csv, Options);
    return ReadBytes(csv);
  }
  // Lists of one or more drawings through the writer, as the tool makes them.
  std::string List(const TListForm& Form, std::initializer_list<std::pair<const char*, std::string>> Drawings) {
    const std::string out = folder_.File("out.txt");
    TListWriter list(Form);
    EXPECT_TRUE(list.Open(out));
    for (const auto& [name, path] : Drawings) {
      ReadDxf(path);
      struct TNamed : TRowSink {
        TListWriter& List;
        const char* Name;
        TNamed(TListWriter& L, const char* N) : List(L), Name(N) {}
        void Row(const TReportRow& Row) override {
          TReportRow named = Row;
          named.Drawing = Name;
          List.Row(named);
        }
      } named(list, name);
      ListDrawing(CurrentDrawing, {}, named);
    }
    list.Close();
    return ReadBytes(out);
  }
  testing_files::TTempFolder folder_;
};

std::string Lines(const std::string& Head, std::function<std::string(int)> Row) {
  std::string text = Head.empty() ? "" : Head + "\r\n";
  for (int i = 0; i < 6; ++i) text += Row(i) + "\r\n";
  return text;
}

TEST_F(ListFormTest, TotalsAndTitles) {
  TReportOptions totals;
  totals.Totals = true;
  EXPECT_EQ(Report(totals), Lines("", [](int i) { return kRows[i] + "," + kTotals[i]; }));

  TReportOptions header;
  header.Header = true;
  EXPECT_EQ(Report(header), Lines(kTitles, [](int i) { return kRows[i]; }));

  TReportOptions both = totals;
  both.Header = true;
  EXPECT_EQ(Report(both), Lines(kTitles + kTotalTitle, [](int i) { return kRows[i] + "," + kTotals[i]; }));

  // With nothing to list the titles still stand.
  const std::string empty = folder_.Write("texts.dxf", Pairs({"0", "SECTION", "2", "ENTITIES", "0", "ENDSEC"}));
  WriteLengthReport(empty, folder_.File("e.csv"), both);
  EXPECT_EQ(ReadBytes(folder_.File("e.csv")), kTitles + kTotalTitle + "\r\n");
}

TEST_F(ListFormTest, Utf8WithByteOrderMark) {
  TReportOptions utf8;
  utf8.Utf8 = true;
  utf8.Header = true;
  EXPECT_EQ(Report(utf8),
            "\xef\xbb\xbf"
            "画層,長さ,本数,種類,重複,色,線種\r\n"
            "0,     5.000,1,線,,1,HIDDEN\r\n"
            "壁,     2.000,1,線,,,\r\n"
            "壁,     5.000,3,線,1,,\r\n"
            "0,     6.283,2,円,,,\r\n"
            "0,    15.708,1,円弧,,,\r\n"
            "0,     3.000,1,多角線,,,\r\n");
}

TEST_F(ListFormTest, SeveralDrawingsStandApartInTheirOrder) {
  TListForm form;
  form.Drawings = form.Header = true;
  const std::string other = folder_.Write("b.dxf", Pairs({"0", "SECTION", "2", "ENTITIES", "0", "LINE", "8", "\x95\xc7",
                                                          "10", "0", "20", "0", "11", "3", "21", "4", "0", "ENDSEC"}));
  // The line of b.dxf equals three of the worked example's, yet its row
  // stays its own; b.dxf was given first.
  EXPECT_EQ(List(form, {{"b.dxf", other}, {"w.dxf", kWorked}}),
            "\x90\x7d\x96\xca," + kTitles + "\r\n" +  // 図面,
                "b.dxf,\x95\xc7,     5.000,1,\x90\xfc,,,\r\n" + Lines("", [](int i) { return "w.dxf," + kRows[i]; }));
}

TEST_F(ListFormTest, Json) {
  TListForm form;
  form.Json = form.Totals = true;
  // Lengths unrounded, in the shortest digits that read back: 2π, 4π, 5π.
  EXPECT_EQ(
      List(form, {{"", kWorked}}),
      "[\r\n"
      R"({"layer":"0","length":5,"count":1,"kind":"線","duplicates":0,"color":"1","linetype":"HIDDEN","total":5},)"
      "\r\n"
      R"({"layer":"壁","length":2,"count":1,"kind":"線","duplicates":0,"color":"","linetype":"","total":2},)"
      "\r\n"
      R"({"layer":"壁","length":5,"count":3,"kind":"線","duplicates":1,"color":"","linetype":"","total":15},)"
      "\r\n"
      R"({"layer":"0","length":6.283185307179586,"count":2,"kind":"円","duplicates":0,"color":"","linetype":"",)"
      R"("total":12.566370614359172},)"
      "\r\n"
      R"({"layer":"0","length":15.707963267948966,"count":1,"kind":"円弧","duplicates":0,"color":"",)"
      R"("linetype":"","total":15.707963267948966},)"
      "\r\n"
      R"({"layer":"0","length":3,"count":1,"kind":"多角線","duplicates":0,"color":"","linetype":"","total":3})"
      "\r\n]\r\n");

  // Quotes, backslashes and control characters escaped; 表 (whose trail
  // byte is a backslash) and half-width ｱ kept whole; several drawings named.
  const std::string odd =
      folder_.Write("odd.dxf", Pairs({"0", "SECTION", "2", "ENTITIES", "0", "LINE", "8", "a\"b\\\x95\x5c\xb1\x01", "10",
                                      "0", "20", "0", "11", "1", "21", "0", "0", "ENDSEC"}));
  TListForm several;
  several.Json = several.Drawings = true;
  EXPECT_EQ(List(several, {{"\x95\x5c.dxf", odd}}),
            "[\r\n"
            R"({"drawing":"表.dxf","layer":"a\"b\\表ｱ\u0001","length":1,"count":1,"kind":"線","duplicates":0,)"
            R"("color":"","linetype":""})"
            "\r\n]\r\n");

  const std::string nothing = folder_.Write("none.dxf", Pairs({"0", "EOF"}));
  EXPECT_EQ(List(TListForm{.Json = true}, {{"", nothing}}), "[]\r\n");
}

TEST(ListDiffTest, QuantitiesMatchedByPrintedLength) {
  auto row = [](const char* layer, int kind, double measure, std::int64_t count) {
    TKeptRow r;
    r.Layer = layer;
    r.KindOrder = kind;
    r.KindWord = kind == 0 ? "L" : "C";
    r.Measure = measure;
    r.Printed = FormatMeasure(measure);
    r.Count = count;
    return r;
  };
  const std::vector<TKeptRow> old = {row("A", 0, 1.0, 2), row("A", 0, 1.0002, 1), row("A", 0, 5.0, 3),
                                     row("B", 0, 2.0, 1), row("A", 1, 6.0, 1)};
  // 1.0 and 1.0002 both print 1.000 (three counted), 1.0004 too; the
  // circle vanishes, a line of 9 appears, B is unchanged.
  const std::vector<TKeptRow> now = {row("A", 0, 1.0004, 4), row("A", 0, 5.0, 1), row("A", 0, 9.0, 2),
                                     row("B", 0, 2.0, 1)};
  const std::vector<TDiffRow> changed = DiffLists(old, now);
  const struct {
    const char* layer;
    int kind;
    double measure;
    std::int64_t oldCount, newCount;
  } expected[] = {{"A", 0, 1.0004, 3, 4}, {"A", 0, 5.0, 3, 1}, {"A", 0, 9.0, 0, 2}, {"A", 1, 6.0, 1, 0}};
  ASSERT_EQ(changed.size(), std::size(expected));
  for (std::size_t i = 0; i < changed.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(changed[i].Layer, expected[i].layer);
    EXPECT_EQ(changed[i].KindOrder, expected[i].kind);
    EXPECT_EQ(changed[i].Measure, expected[i].measure);
    EXPECT_EQ(changed[i].OldCount, expected[i].oldCount);
    EXPECT_EQ(changed[i].NewCount, expected[i].newCount);
  }
  EXPECT_TRUE(DiffLists(old, old).empty());
}

TEST_F(ListFormTest, DiffRows) {
  TDiffRow grown{"\x95\xc7", "", "HIDDEN", 0, "\x90\xfc", 5.0, 1, 3};
  TDiffRow gone{"0", "1", "", 1, "\x89\x7e", 6.283185307179586, 2, 0};
  for (bool json : {false, true}) {
    SCOPED_TRACE(json);
    TListForm form;
    form.Diff = true;
    form.Header = !json;
    form.Json = json;
    TListWriter list(form);
    ASSERT_TRUE(list.Open(folder_.File("d")));
    list.DiffRow(grown);
    list.DiffRow(gone);
    list.Close();
    EXPECT_EQ(
        ReadBytes(folder_.File("d")),
        json
            ? "[\r\n"
              R"({"layer":"壁","length":5,"kind":"線","color":"","linetype":"HIDDEN","old_count":1,)"
              R"("new_count":3,"change":2},)"
              "\r\n"
              R"({"layer":"0","length":6.283185307179586,"kind":"円","color":"1","linetype":"",)"
              R"("old_count":2,"new_count":0,"change":-2})"
              "\r\n]\r\n"
            : "\x89\xe6\x91\x77,\x92\xb7\x82\xb3,\x8e\xed\x97\xde,\x90\x46,\x90\xfc\x8e\xed,"
              "\x8b\x8c\x96\x7b\x90\x94,\x90\x56\x96\x7b\x90\x94,\x91\x9d\x8c\xb8\r\n"  // 画層,長さ,種類,色,線種,旧本数,新本数,増減
              "\x95\xc7,     5.000,\x90\xfc,,HIDDEN,1,3,+2\r\n"
              "0,     6.283,\x89\x7e,1,,2,0,-2\r\n");
  }
}

}  // namespace
