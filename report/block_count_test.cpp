// Block references counted: every reference placed (array cells and nested
// references included) once under its block's name, anonymous copies of a
// named block under that name, duplicates where a symbol lies on another,
// and attribute values splitting the rows. The numbers are worked out by
// hand in the comments.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "dxf/dxf_reader.h"
#include "dxf/test_files.h"
#include "report/list_rows.h"
#include "report/list_writer.h"
#include "report/report_run.h"
#include "report/run_summary.h"

namespace {

using testing_files::ReadBytes;
using testing_files::TTempFolder;

const std::string kBlock = "\x83u\x83\x8d\x83\x62\x83N";  // ブロック
const std::string kLine = "\x90\xfc";                     // 線

// A drawing from blank-separated group codes and values, each pair's two
// lines ended by CR LF.
std::string Dxf(std::string_view Tokens) {
  std::istringstream in{std::string(Tokens)};
  std::string token, text;
  while (in >> token) text += token + "\r\n";
  return text;
}

// The list of a drawing read from memory, as the writer writes it.
std::string List(const std::string& Drawing, const TReportOptions& Options, const TListForm& Form = {}) {
  TTempFolder folder;
  TMemorySource source(Drawing);
  static TDrawing drawing;  // the tables' room kept from one reading to the next
  ReadDrawing(source, {Options.Exact, false, Options.Blocks}, drawing);
  TListForm form = Form;
  form.Blocks = Options.Blocks;
  form.AttributeTags = Options.AttributeTags;
  TListWriter list(form);
  const std::string out = folder.File("list.csv");
  EXPECT_TRUE(list.Open(out));
  ListDrawing(drawing, Options, list);
  list.Close();
  return ReadBytes(out);
}

TReportOptions Blocks(std::vector<std::string> Tags = {}) {
  TReportOptions options;
  options.Blocks = true;
  options.AttributeTags = std::move(Tags);
  return options;
}

// Block A holds two references to B (on layer 0, colour BYBLOCK), at (0,0)
// and (10,0) of A; B holds a line of length 5. The drawing places A once by
// a MINSERT of 3 columns (spacing 100) and 2 rows (spacing 50) on layer E,
// colour 1: 3 x 2 = 6 references to A, and 2 x 6 = 12 to B, every one at
// its own point, so no duplicates; B takes layer E and colour 1 handed down,
// the line in it (on layer 0, colour by layer) layer E alone.
const std::string kArray = Dxf(R"(
  0 SECTION 2 BLOCKS
  0 BLOCK 8 0 2 B 70 0 10 0 20 0
  0 LINE 8 0 10 0 20 0 11 3 21 4
  0 ENDBLK
  0 BLOCK 8 0 2 A 70 0 10 0 20 0
  0 INSERT 8 0 62 0 2 B 10 0 20 0
  0 INSERT 8 0 62 0 2 B 10 10 20 0
  0 ENDBLK
  0 ENDSEC
  0 SECTION 2 ENTITIES
  0 INSERT 8 E 62 1 2 A 10 0 20 0 70 3 71 2 44 100 45 50
  0 ENDSEC 0 EOF)");

TEST(BlockCountTest, ArrayCellsAndNestedReferencesCountOncePerPlacement) {
  // Without exact lengths the length rows stay the plain ones (the blocks'
  // lines are not drawn); with them the twelve lines of B are listed.
  EXPECT_EQ(List(kArray, Blocks()), "E,,6," + kBlock + ",,1,,A\r\nE,,12," + kBlock + ",,1,,B\r\n");
  TReportOptions exact = Blocks();
  exact.Exact = true;
  EXPECT_EQ(List(kArray, exact),
            "E,     5.000,12," + kLine + ",,,\r\nE,,6," + kBlock + ",,1,,A\r\nE,,12," + kBlock + ",,1,,B\r\n");
  // Without block counts nothing of them is listed.
  EXPECT_EQ(List(kArray, {}), "");
}

TEST(BlockCountTest, TitlesTotalsAndJson) {
  TListForm form;
  form.Header = true;
  form.Totals = true;
  EXPECT_EQ(
      List(kArray, Blocks({"SIZE"}), form),
      "\x89\xe6\x91\x77,\x92\xb7\x82\xb3,\x96\x7b\x90\x94,\x8e\xed\x97\xde,\x8f\x64\x95\xa1,\x90\x46,"
      "\x90\xfc\x8e\xed,\x8d\x87\x8c\x76,\x83u\x83\x8d\x83\x62\x83N\x96\xbc,SIZE\r\n"  // 画層,長さ,本数,種類,重複,色,線種,合計,ブロック名,SIZE
      "E,,6," +
          kBlock + ",,1,,,A,\r\nE,,12," + kBlock + ",,1,,,B,\r\n");
  TListForm json;
  json.Json = true;
  EXPECT_EQ(List(kArray, Blocks({"SIZE"}), json),
            "[\r\n{\"layer\":\"E\",\"length\":null,\"count\":6,\"kind\":\"\xe3\x83\x96\xe3\x83\xad\xe3\x83\x83"
            "\xe3\x82\xaf\",\"duplicates\":0,\"color\":\"1\",\"linetype\":\"\",\"block\":\"A\",\"attributes\":{"
            "\"SIZE\":\"\"}},\r\n{\"layer\":\"E\",\"length\":null,\"count\":12,\"kind\":\"\xe3\x83\x96\xe3\x83\xad"
            "\xe3\x83\x83\xe3\x82\xaf\",\"duplicates\":0,\"color\":\"1\",\"linetype\":\"\",\"block\":\"B\","
            "\"attributes\":{\"SIZE\":\"\"}}\r\n]\r\n");
}

TEST(BlockCountTest, SymbolsLyingOnEachOtherAreDuplicates) {
  struct TCase {
    const char* Name;
    std::string Entities;
    std::string Rows;
  };
  const TCase cases[] = {
      // The same point, scale and rotation: two references, one a duplicate.
      {"copied onto itself", "0 INSERT 8 L 2 S 10 5 20 5 0 INSERT 8 L 2 S 10 5 20 5", "L,,2," + kBlock + ",1,,,S\r\n"},
      // A third elsewhere joins the row but is no duplicate; the two copies
      // still lie side by side once sorted.
      {"a third elsewhere", "0 INSERT 8 L 2 S 10 5 20 5 0 INSERT 8 L 2 S 10 9 20 9 0 INSERT 8 L 2 S 10 5 20 5",
       "L,,3," + kBlock + ",1,,,S\r\n"},
      // Turned or scaled, it is another symbol in the same place.
      {"turned", "0 INSERT 8 L 2 S 10 5 20 5 0 INSERT 8 L 2 S 10 5 20 5 50 90", "L,,2," + kBlock + ",,,,S\r\n"},
      {"scaled", "0 INSERT 8 L 2 S 10 5 20 5 0 INSERT 8 L 2 S 10 5 20 5 41 2", "L,,2," + kBlock + ",,,,S\r\n"},
      // Another layer is another row.
      {"another layer", "0 INSERT 8 L 2 S 10 5 20 5 0 INSERT 8 M 2 S 10 5 20 5",
       "L,,1," + kBlock + ",,,,S\r\nM,,1," + kBlock + ",,,,S\r\n"},
  };
  for (const TCase& c : cases) {
    const std::string drawing =
        Dxf("0 SECTION 2 BLOCKS 0 BLOCK 2 S 10 0 20 0 0 ENDBLK 0 ENDSEC "
            "0 SECTION 2 ENTITIES " +
            c.Entities + " 0 ENDSEC 0 EOF");
    EXPECT_EQ(List(drawing, Blocks()), c.Rows) << c.Name;
  }
}

// Four references to P with attributes MODEL and SIZE (in the order MODEL,
// SIZE in the file); the third has no SIZE. A UTF-8 drawing: the value 東 is
// held in code page 932.
const std::string kAttributes =
    Dxf("0 SECTION 2 HEADER 9 $ACADVER 1 AC1021 0 ENDSEC "
        "0 SECTION 2 BLOCKS 0 BLOCK 2 P 10 0 20 0 0 ENDBLK 0 ENDSEC "
        "0 SECTION 2 ENTITIES "
        "0 INSERT 8 L 66 1 2 P 10 0 20 0 0 ATTRIB 8 L 2 MODEL 1 X1 0 ATTRIB 8 L 2 SIZE 1 50 0 SEQEND 8 L "
        "0 INSERT 8 L 66 1 2 P 10 1 20 0 0 ATTRIB 8 L 2 MODEL 1 X1 0 ATTRIB 8 L 2 SIZE 1 25 0 SEQEND 8 L "
        "0 INSERT 8 L 66 1 2 P 10 2 20 0 0 ATTRIB 8 L 2 MODEL 1 \xe6\x9d\xb1 0 SEQEND 8 L "
        "0 INSERT 8 L 66 1 2 P 10 3 20 0 0 ATTRIB 8 L 2 MODEL 1 X1 0 ATTRIB 8 L 2 SIZE 1 50 0 SEQEND 8 L "
        "0 LINE 8 L 10 0 20 0 11 0 21 2 "
        "0 ENDSEC 0 EOF");

TEST(BlockCountTest, AttributeValuesSplitRowsInTheOrderGiven) {
  const std::string line = "L,     2.000,1," + kLine + ",,,\r\n";
  // Without tags the attributes split nothing; the line after an ATTRIB's
  // SEQEND belongs to no reference.
  EXPECT_EQ(List(kAttributes, Blocks()), line + "L,,4," + kBlock + ",,,,P\r\n");
  // SIZE first, then MODEL: rows sorted by SIZE (the empty value first),
  // then MODEL; a tag is found whatever the case of its letters.
  EXPECT_EQ(List(kAttributes, Blocks({"size", "MODEL"})), line + "L,,1," + kBlock + ",,,,P,,\x93\x8c\r\n" + "L,,1," +
                                                              kBlock + ",,,,P,25,X1\r\n" + "L,,2," + kBlock +
                                                              ",,,,P,50,X1\r\n");
  // MODEL first: 東 (0x93) orders after X1 (0x58).
  EXPECT_EQ(List(kAttributes, Blocks({"MODEL", "SIZE"})), line + "L,,1," + kBlock + ",,,,P,X1,25\r\n" + "L,,2," +
                                                              kBlock + ",,,,P,X1,50\r\n" + "L,,1," + kBlock +
                                                              ",,,,P,\x93\x8c,\r\n");
}

// Anonymous blocks: a dimension's block is left out; a dynamic block's
// anonymous copy counts under the block it copies, named by the copy's
// BLOCK_RECORD entry (the handle of the named block's entry after
// AcDbBlockRepBTag) or by the reference itself (AcDbDynamicBlockTrueName).
TEST(BlockCountTest, AnonymousBlocksCountUnderTheNameTheyCopyOrNotAtAll) {
  const std::string records =
      Dxf("0 SECTION 2 TABLES 0 TABLE 2 BLOCK_RECORD 70 3 "
          "0 BLOCK_RECORD 5 1F 100 AcDbSymbolTableRecord 100 AcDbBlockTableRecord 2 Door "
          "0 BLOCK_RECORD 5 2A 100 AcDbSymbolTableRecord 100 AcDbBlockTableRecord 2 *U3 "
          "1001 AcDbBlockRepBTag 1070 1 1005 1F "
          "0 BLOCK_RECORD 5 2B 100 AcDbSymbolTableRecord 100 AcDbBlockTableRecord 2 *D1 "
          "0 ENDTAB 0 ENDSEC "
          "0 SECTION 2 BLOCKS 0 BLOCK 2 Door 70 0 10 0 20 0 0 ENDBLK "
          "0 BLOCK 2 *U3 70 1 10 0 20 0 0 ENDBLK 0 BLOCK 2 *D1 70 1 10 0 20 0 0 ENDBLK "
          "0 BLOCK 2 *U4 70 1 10 0 20 0 0 ENDBLK 0 ENDSEC ");
  struct TCase {
    const char* Name;
    std::string Entities;
    std::string Rows;
    std::int64_t LeftOut;
  };
  const TCase cases[] = {
      {"a dimension's block", "0 INSERT 8 L 2 *D1 10 0 20 0", "", 1},
      {"a copy named by its block record", "0 INSERT 8 L 2 *U3 10 0 20 0 0 INSERT 8 L 2 Door 10 0 20 0",
       "L,,2," + kBlock + ",1,,,Door\r\n", 0},
      {"a copy named by its reference",
       "0 INSERT 8 L 2 *U4 10 0 20 0 1001 AcDbDynamicBlockTrueName 1000 Door 0 INSERT 8 L 2 *D1 10 0 20 0",
       "L,,1," + kBlock + ",,,,Door\r\n", 1},
  };
  for (const TCase& c : cases) {
    const std::string drawing = records + Dxf("0 SECTION 2 ENTITIES " + c.Entities + " 0 ENDSEC 0 EOF");
    EXPECT_EQ(List(drawing, Blocks()), c.Rows) << c.Name;
    TMemorySource source(drawing);
    TDrawing read;
    ReadDrawing(source, {false, false, true}, read);
    EXPECT_EQ(read.AnonymousLeftOut, c.LeftOut) << c.Name;
  }
}

// The run as the tool makes it: the summary says what was counted and what
// was left out, and a difference lists changed counts of symbols.
TEST(BlockCountTest, SummaryAndDifference) {
  TTempFolder folder;
  const std::string head =
      "0 SECTION 2 BLOCKS 0 BLOCK 2 S 10 0 20 0 0 ENDBLK 0 BLOCK 2 *D1 10 0 20 0 0 ENDBLK "
      "0 ENDSEC 0 SECTION 2 ENTITIES ";
  const std::string oldPath = folder.Write(
      "old.dxf", Dxf(head + "0 INSERT 8 L 2 S 10 0 20 0 0 INSERT 8 L 2 S 10 1 20 0 0 INSERT 8 L 2 *D1 10 0 20 0 "
                            "0 ENDSEC 0 EOF"));
  const std::string newPath = folder.Write(
      "new.dxf", Dxf(head + "0 INSERT 8 L 2 S 10 0 20 0 0 INSERT 8 L 2 S 10 1 20 0 0 INSERT 8 L 2 S 10 2 20 0 "
                            "0 ENDSEC 0 EOF"));
  TReportJob job;
  job.Drawings = {oldPath};
  job.Report = folder.File("list.csv");
  job.Options = Blocks();
  job.Options.Summary = true;
  const TReportResult result = WriteReport(job);
  EXPECT_EQ(ReadBytes(job.Report), "L,,2," + kBlock + ",,,,S\r\n");
  EXPECT_EQ(
      SummaryText(result.Drawings, false),
      "\x8fW\x8cv\x82\xb5\x82\xbd\x8ds: 1\n"                                       // 集計した行
      "\x83u\x83\x8d\x83\x62\x83N\x8eQ\x8f\xc6: \x8fW\x8cv 0 \x8fW\x8cv\x8aO 3\n"  // ブロック参照: 集計 0 集計外 3
      "\x8d\x87\x8cv: \x8fW\x8cv 0 \x8fW\x8cv\x8aO 3\n"                            // 合計: 集計 0 集計外 3
      "\x83u\x83\x8d\x83\x62\x83N\x82\xcc\x8c\xc2\x90\x94: \x8fW\x8cv 2 \x8fW\x8cv\x8aO 1\n"  // ブロックの個数
      "\x8fW\x8cv\x8aO\x82\xcc\x96\xb3\x96\xbc\x83u\x83\x8d\x83\x62\x83N: 1\n");  // 集計外の無名ブロック

  job.Drawings = {oldPath, newPath};
  job.Options.Summary = false;
  job.Options.Diff = true;
  WriteReport(job);
  EXPECT_EQ(ReadBytes(job.Report), "L,," + kBlock + ",,,2,3,+1,S\r\n");
}

}  // namespace
