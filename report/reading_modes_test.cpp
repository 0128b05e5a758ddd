// The plain and the exact reading follow the same rules: where a drawing's
// geometry is straight, both list the same rows and count the same entity
// types. Drawings are read from memory, with each of the three line ends.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "dxf/dxf_reader.h"
#include "report/list_diff.h"
#include "report/list_rows.h"

namespace {

const std::string kLine = "\x90\xfc";                  // 線
const std::string kCircle = "\x89\x7e";                // 円
const std::string kArc = "\x89\x7e\x8c\xca";           // 円弧
const std::string kPoly = "\x91\xbd\x8a\x70\x90\xfc";  // 多角線

// Group codes and values, one a line, each line ended by End.
std::string Lines(std::initializer_list<std::string_view> Items, std::string_view End) {
  std::string text;
  for (std::string_view item : Items) {
    text.append(item);
    text.append(End);
  }
  return text;
}

// "layer,length,count,kind" for each row, the length as the list prints it.
std::vector<std::string> Rows(TDrawing& D, bool Exact) {
  TRowCollector rows;
  TReportOptions options;
  options.Exact = Exact;
  ListDrawing(D, options, rows);
  std::vector<std::string> out;
  for (const TKeptRow& r : rows.Rows) {
    const std::string printed = r.Printed.substr(r.Printed.find_first_not_of(' '));
    out.push_back(r.Layer + "," + printed + "," + std::to_string(r.Count) + "," + r.KindWord);
  }
  return out;
}

// "TYPE measured/not measured" for each type counted, in the order met.
std::vector<std::string> Tally(const TDrawing& D) {
  std::vector<std::string> out;
  for (const TEntityTally& t : D.Tally)
    out.push_back(t.Type + " " + std::to_string(t.Measured) + "/" + std::to_string(t.NotMeasured));
  return out;
}

struct TModeCase {
  const char* Name;
  std::initializer_list<std::string_view> Entities;  // the pairs of the ENTITIES section
  std::vector<std::string> PlainRows;
  std::vector<std::string> ExactRows;  // empty: the same as PlainRows
  std::vector<std::string> Tally;
};

TEST(ReadingModesTest, StraightGeometryListsAlikeInBothModes) {
  const TModeCase cases[] = {
      {"a stray VERTEX after a LWPOLYLINE is one more vertex of it",
       {"0", "LWPOLYLINE", "8", "A", "90",     "2", "10", "0",  "20", "0",  "10",
        "3", "20",         "4", "0", "VERTEX", "8", "A",  "10", "6",  "20", "8"},
       {"A,10.000,1," + kPoly},
       {},
       {"LWPOLYLINE 1/0"}},
      {"every point of a VERTEX is a vertex",
       {"0", "POLYLINE", "8", "A", "66", "1", "0",  "VERTEX", "8",  "A", "10", "0",  "20", "0",
        "0", "VERTEX",   "8", "A", "10", "3", "20", "4",      "10", "9", "20", "12", "0",  "SEQEND"},
       {"A,15.000,1," + kPoly},
       {},
       {"POLYLINE 1/0"}},
      {"lines, a circle, an arc, an open polyline and a text",
       {"0",  "LINE", "8",  "A", "10", "0",  "20", "0",          "11", "3",    "21", "4",      "0",  "LINE",
        "8",  "A",    "10", "5", "20", "5",  "11", "8",          "21", "9",    "0",  "CIRCLE", "8",  "B",
        "10", "0",    "20", "0", "40", "1",  "0",  "ARC",        "8",  "B",    "10", "0",      "20", "0",
        "40", "10",   "50", "0", "51", "90", "0",  "LWPOLYLINE", "8",  "C",    "10", "0",      "20", "0",
        "10", "1",    "20", "0", "10", "1",  "20", "1",          "0",  "TEXT", "8",  "A",      "1",  "x"},
       {"A,5.000,2," + kLine, "B,6.283,1," + kCircle, "B,15.708,1," + kArc, "C,2.000,1," + kPoly},
       {},
       {"LINE 2/0", "CIRCLE 1/0", "ARC 1/0", "LWPOLYLINE 1/0", "TEXT 0/1"}},
      {"a closed square: the exact list adds its closing edge",
       {"0",    "LWPOLYLINE", "8", "A",  "70",   "1",  "10",   "0",  "20", "0",  "10",
        "1000", "20",         "0", "10", "1000", "20", "1000", "10", "0",  "20", "1000"},
       {"A,3000.000,1," + kPoly},
       {"A,4000.000,1," + kPoly},
       {"LWPOLYLINE 1/0"}},
  };
  const char* const ends[] = {"\r\n", "\n", "\r"};
  for (const TModeCase& c : cases) {
    for (const char* end : ends) {
      SCOPED_TRACE(std::string(c.Name) + (end[0] == '\r' ? (end[1] ? " (CR LF)" : " (CR)") : " (LF)"));
      const std::string text = Lines({"0", "SECTION", "2", "ENTITIES"}, end) + Lines(c.Entities, end) +
                               Lines({"0", "ENDSEC", "0", "EOF"}, end);
      for (const bool exact : {false, true}) {
        SCOPED_TRACE(exact ? "exact" : "plain");
        TMemorySource source(text);
        TDrawing drawing = ReadDrawing(source, {exact, true});
        EXPECT_EQ(Rows(drawing, exact), exact && !c.ExactRows.empty() ? c.ExactRows : c.PlainRows);
        EXPECT_EQ(Tally(drawing), c.Tally);
      }
    }
  }
}

TEST(ReadingModesTest, CommentBeforeTheSectionNameIsNoPairBefore) {
  const std::string text =
      Lines({"0", "SECTION", "999", "a comment", "2", "ENTITIES", "0", "LINE", "8",      "A", "10",
             "0", "20",      "0",   "11",        "3", "21",       "4", "0",    "ENDSEC", "0", "EOF"},
            "\r\n");
  for (const bool exact : {false, true}) {
    SCOPED_TRACE(exact ? "exact" : "plain");
    TMemorySource source(text);
    TDrawing drawing = ReadDrawing(source, {exact, true});
    EXPECT_EQ(Rows(drawing, exact), std::vector<std::string>{"A,5.000,1," + kLine});
    EXPECT_EQ(Tally(drawing), std::vector<std::string>{"LINE 1/0"});
  }
}

// A drawing read after another holds nothing of the first: not its
// ellipses (read for exact lengths), nor its texts, nor its tally.
TEST(ReadingModesTest, NothingIsLeftFromAnEarlierDrawing) {
  const std::string first = Lines(
      {"0",  "SECTION", "2", "ENTITIES", "0", "ELLIPSE", "8",  "E", "10", "0", "20", "0", "11", "2", "21", "0",
       "40", "0.5",     "0", "LINE",     "8", "old",     "10", "0", "20", "0", "11", "1", "21", "0", "0",  "ENDSEC"},
      "\n");
  const std::string second = Lines({"0", "SECTION", "2", "ENTITIES", "0", "LINE", "8", "A", "10", "0", "20", "0", "11",
                                    "0", "21", "2", "0", "ENDSEC"},
                                   "\n");
  TDrawing drawing;
  TMemorySource one(first);
  ReadDrawing(one, {true, true}, drawing);
  ASSERT_EQ(drawing.EllipseCount, 1);
  TMemorySource two(second);
  ReadDrawing(two, {false, true}, drawing);
  // Listed with the exact flag, a plainly read drawing lists no ellipse.
  EXPECT_EQ(Rows(drawing, true), std::vector<std::string>{"A,2.000,1," + kLine});
  EXPECT_EQ(Tally(drawing), std::vector<std::string>{"LINE 1/0"});
}

}  // namespace
