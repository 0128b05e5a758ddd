#include "dxf/dxf_reader.h"

#include <gtest/gtest.h>

#include <cstring>

#include "dxf/dxf_errors.h"
#include "dxf/entity_tables.h"
#include "dxf/pair_scanner.h"
#include "dxf/test_files.h"

namespace {

using testing_files::Pairs;

// The smallest drawing: one line on layer A from (0,0) to (3,4).
const std::string kOneLine = Pairs({"0", "SECTION", "2", "ENTITIES", "0", "LINE", "8", "A", "10", "0", "20", "0", "11",
                                    "3", "21", "4", "0", "ENDSEC"});

std::string Entities(std::string_view Body) {
  return Pairs({"0", "SECTION", "2", "ENTITIES"}) + std::string(Body) + Pairs({"0", "ENDSEC", "0", "EOF"});
}

// A STYLE table with the given entries (name, optional height).
std::string StyleTable(std::initializer_list<std::pair<const char*, const char*>> Entries) {
  std::string text = Pairs({"0", "SECTION", "2", "TABLES", "0", "TABLE", "2", "STYLE", "70", "1"});
  for (const auto& [name, height] : Entries) {
    text += Pairs({"0", "STYLE", "2", name, "70", "0"});
    if (height) text += Pairs({"40", height});
  }
  return text + Pairs({"0", "ENDTAB", "0", "ENDSEC"});
}

class ReadDxfTest : public ::testing::Test {
 protected:
  // Reads Text as ReadDxf reads a file, from memory.
  std::int32_t Read(std::string_view Text) {
    TMemorySource source(Text, "in.dxf");
    ReadDrawing(source, {}, CurrentDrawing);
    Lines.Shrink(static_cast<std::size_t>(LineCount));
    return LineCount;
  }
  testing_files::TTempFolder folder_;
};

TEST_F(ReadDxfTest, ReadsOneLine) {
  for (const std::string& text : {kOneLine, kOneLine.substr(0, kOneLine.size() - 12)}) {
    SCOPED_TRACE(text.size());  // with and without the final ENDSEC
    EXPECT_EQ(Read(text), 1);
    ASSERT_EQ(LineCount, 1);
    EXPECT_EQ(Lines.Length(), 1u);
    const TLineRec& line = Lines[0];
    EXPECT_EQ(line.Layer.View(), "A");
    EXPECT_EQ(line.X1, 0.0);
    EXPECT_EQ(line.Y1, 0.0);
    EXPECT_EQ(line.X2, 3.0);
    EXPECT_EQ(line.Y2, 4.0);
    EXPECT_EQ(line.Z1, 0.0);
    EXPECT_EQ(line.Z2, 0.0);
    EXPECT_TRUE(line.Color.Empty());
    EXPECT_TRUE(line.LineType.Empty());
  }
}

TEST_F(ReadDxfTest, LineEndsAndOddLastLine) {
  const struct {
    const char* name;
    std::string text;
    std::int32_t lines;
  } cases[] = {
      {"LF", "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n1\n", 1},
      {"lone CR", "0\rSECTION\r2\rENTITIES\r0\rLINE\r10\r1", 1},
      {"mixed", "  0\r\nSECTION\n  2\rENTITIES\r\n0\nLINE\r\n", 1},
      {"odd last line is not looked at", "0\nSECTION\n2\nENTITIES\n0\nLINE\nnot a code", 1},
      {"odd last line after a break", "0\nSECTION\n2\nENTITIES\n0\nLINE\nx\n", 1},
      {"NUL ends the text", std::string("0\nSECTION\n2\nENTITIES\n0\nLINE\n0\0\nLINE\n0\nLINE\n", 42), 1},
      {"empty file", "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Read(c.text), c.lines);
  }
  // The value of a last line without a line break is read whole.
  for (const char* end : {"\r\n", "\n", "\r"}) {
    SCOPED_TRACE(end);
    std::string text;
    for (const char* line : {"0", "SECTION", "2", "ENTITIES", "0", "LINE", "8", "A", "11"})
      text.append(line).append(end);
    text += "-12.75";
    ASSERT_EQ(Read(text), 1);
    EXPECT_EQ(Lines[0].X2, -12.75);
  }
  // A value line may be empty: CR LF CR LF is two line ends.
  Read("0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nLINE\r\n8\r\n\r\n62\r\n  1\r\n");
  EXPECT_TRUE(Lines[0].Layer.Empty());
  EXPECT_EQ(Lines[0].Color.View(), "  1");  // blanks kept
}

TEST_F(ReadDxfTest, LongLinesAcrossTheReadBuffer) {
  // Values far longer than the read buffer, and pairs cut by it everywhere:
  // comments of every length from 0 to 96 move the pairs across the chunk
  // ends. The same with each kind of line end.
  std::string body;
  for (int i = 0; i < 40000; ++i)
    body += Pairs({"0", "LINE", "8", "L", "10", std::to_string(i), "999", std::string(i % 97, 'x')});
  body += Pairs({"0", "LINE", "8", std::string(3 << 20, 'y'), "11", "7"});
  const std::string crlf = Entities(body);
  for (const char* end : {"\r\n", "\n", "\r"}) {
    SCOPED_TRACE(end);
    std::string text;
    text.reserve(crlf.size());
    for (std::size_t at = 0, brk; at < crlf.size(); at = brk + 2) {
      brk = crlf.find("\r\n", at);
      text.append(crlf, at, brk - at).append(end);
    }
    ASSERT_EQ(Read(text), 40001);
    bool allRead = true;
    for (int i = 0; i < 40000; ++i) allRead = allRead && Lines[i].X1 == i && Lines[i].Layer.View() == "L";
    EXPECT_TRUE(allRead);
    EXPECT_EQ(Lines[40000].Layer.View(), std::string(60, 'y'));
    EXPECT_EQ(Lines[40000].X2, 7.0);
  }
}

TEST_F(ReadDxfTest, FirstChunkEndAtEveryByteOfAPair) {
  // A comment pads the drawing so that the end of the first chunk falls on
  // each byte of the pair after it in turn: inside a line, before and after
  // a line end, between CR and LF.
  for (const char* end : {"\r\n", "\n", "\r"}) {
    auto lines = [end](std::initializer_list<std::string_view> Lines) {
      std::string text;
      for (std::string_view line : Lines) text.append(line).append(end);
      return text;
    };
    const std::string head = lines({"0", "SECTION", "2", "ENTITIES", "999"});
    const std::string pairs = lines({"  0", "LINE", "10", "1.5", " 20", "-2.5"});
    for (std::size_t before = 0; before <= pairs.size(); ++before) {
      SCOPED_TRACE(testing::Message() << "line end " << std::strlen(end) << " bytes, chunk ends " << before
                                      << " bytes into the pairs");
      const std::size_t pad = kPairChunkBytes - before - head.size() - std::strlen(end);
      const std::string text = head + std::string(pad, 'x') + end + pairs + lines({"0", "ENDSEC"});
      ASSERT_EQ(text.find(pairs), kPairChunkBytes - before);
      ASSERT_EQ(Read(text), 1);
      EXPECT_EQ(Lines[0].X1, 1.5);
      EXPECT_EQ(Lines[0].Y1, -2.5);
    }
  }
}

TEST_F(ReadDxfTest, ErrorsFarIntoTheFileComeInFileOrder) {
  // Megabytes of lines, then a bad group code: the lines before it stay read.
  // After the entities' ENDSEC the same bad code is never looked at.
  std::string lines;
  for (int i = 0; i < 50000; ++i) lines += Pairs({"0", "LINE", "8", "L", "10", "2.5"});
  const std::string bad = Pairs({"1O", "x"}) + lines;
  try {
    Read(Entities(lines + bad));
    ADD_FAILURE() << "no error";
  } catch (const TConvertError&) {}
  EXPECT_EQ(LineCount, 50000);
  EXPECT_EQ(Read(Entities(lines) + bad + bad), 50000);
  EXPECT_EQ(Lines[49999].X1, 2.5);
}

TEST_F(ReadDxfTest, SectionRules) {
  const std::string line = Pairs({"0", "LINE", "8", "A"});
  const struct {
    const char* name;
    std::string text;
    std::int32_t lines;
  } cases[] = {
      {"blocks are not read",
       Pairs({"0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "2", "B"}) + line + Pairs({"0", "ENDBLK", "0", "ENDSEC"}) +
           Entities(line),
       1},
      {"ENDSEC before the entities stops nothing",
       Pairs({"0", "SECTION", "2", "HEADER", "0", "ENDSEC"}) + Entities(line + line), 2},
      {"nothing after the entities' ENDSEC", Entities(line) + Pairs({"0", "SECTION", "2", "ENTITIES"}) + line, 1},
      {"a layer named ENTITIES starts nothing",
       Pairs({"0", "SECTION", "2", "TABLES", "0", "TABLE", "2", "LAYER", "0", "LAYER", "2", "ENTITIES", "0", "ENDTAB",
              "0", "ENDSEC"}) +
           line + Entities(line + line),
       2},
      {"a block named ENTITIES starts nothing",
       Pairs({"0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "2", "ENTITIES"}) + line +
           Pairs({"0", "ENDBLK", "0", "ENDSEC"}) + Entities(line),
       1},
      {"keywords match whole and case-sensitive",
       Entities(Pairs({"0", "LINE ", "0", "line", "0", " LINE", "0", "Line"}) + line), 1},
      {"no ENTITIES section", Pairs({"0", "LINE", "0", "SECTION", "2", "OBJECTS", "0", "LINE"}), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Read(c.text), c.lines);
  }
}

TEST_F(ReadDxfTest, OtherEntitiesChangeNoRecord) {
  Read(Entities(Pairs({"0", "LINE", "8", "A", "10",        "1",  "0", "INSERT", "8",    "X", "10",
                       "9", "20",   "9", "0", "DIMENSION", "62", "5", "0",      "LINE", "8", "B"})));
  ASSERT_EQ(LineCount, 2);
  EXPECT_EQ(Lines[0].Layer.View(), "A");
  EXPECT_EQ(Lines[0].X1, 1.0);
  EXPECT_EQ(Lines[0].Y1, 0.0);
  EXPECT_TRUE(Lines[0].Color.Empty());
  EXPECT_EQ(Lines[1].Layer.View(), "B");
}

TEST_F(ReadDxfTest, ArcsAndCircles) {
  Read(Entities(Pairs({"0", "ARC", "8",  "L",  "62", "3",  "6",   "DASHED", "10", "1",  "20",
                       "2", "30",  "3",  "40", "10", "50", "350", "51",     "10", "0",  "CIRCLE",
                       "8", "M",   "10", "-1", "20", "-2", "30",  "-3",     "40", "2.5"})));
  ASSERT_EQ(ArcCount, 1);
  ASSERT_EQ(CircleCount, 1);
  const TArcRec& a = Arcs[0];
  EXPECT_EQ(a.Layer.View(), "L");
  EXPECT_EQ(a.Color.View(), "3");
  EXPECT_EQ(a.LineType.View(), "DASHED");
  EXPECT_EQ(a.CX, 1.0);
  EXPECT_EQ(a.CY, 2.0);
  EXPECT_EQ(a.CZ, 3.0);
  EXPECT_EQ(a.Radius, 10.0);
  EXPECT_EQ(a.StartAngle, 350.0);
  EXPECT_EQ(a.EndAngle, 10.0);
  const TCircleRec& c = Circles[0];
  EXPECT_EQ(c.Layer.View(), "M");
  EXPECT_EQ(c.CX, -1.0);
  EXPECT_EQ(c.CY, -2.0);
  EXPECT_EQ(c.CZ, -3.0);
  EXPECT_EQ(c.Radius, 2.5);
}

TEST_F(ReadDxfTest, Polylines) {
  Read(Entities(Pairs({
      "0",          "POLYLINE", "8",  "P",  "66", "1",      "10", "0",  "20", "0",  "30", "0",  "70",     "1",      "0",
      "VERTEX",     "8",        "P",  "10", "1",  "20",     "2",  "30", "9",  "70", "32", "0",  "VERTEX", "10",     "3",
      "20",         "4",        "70", "0",  "0",  "VERTEX", "10", "5",  "20", "6",  "70", "16", "0",      "SEQEND", "0",
      "LWPOLYLINE", "8",        "W",  "90", "4",  "70",     "1",  "43", "0",  "10", "0",  "20", "0",      "10",     "1",
      "20",         "0",        "42", "1",  "10", "1",      "20", "1",  "10", "0",  "20", "1",
  })));
  ASSERT_EQ(PolyCount, 2);
  const TPolyRec& poly = Polys[0];
  EXPECT_EQ(poly.Layer.View(), "P");
  EXPECT_EQ(poly.Flags, 1);
  ASSERT_EQ(poly.VertexCount, 3);  // the POLYLINE's own 10 is no vertex
  const double expected[3][3] = {{1, 2, 32}, {3, 4, 0}, {5, 6, 16}};
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(PolyVertex(poly, k).X, expected[k - 1][0]);
    EXPECT_EQ(PolyVertex(poly, k).Y, expected[k - 1][1]);
    EXPECT_EQ(PolyVertexFlags(poly, k), expected[k - 1][2]);
  }
  const TPolyRec& lw = Polys[1];
  EXPECT_EQ(lw.Layer.View(), "W");
  EXPECT_EQ(lw.Flags, 0);
  ASSERT_EQ(lw.VertexCount, 4);
  EXPECT_EQ(PolyVertex(lw, 3).X, 1.0);
  EXPECT_EQ(PolyVertex(lw, 3).Y, 1.0);
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(PolyVertexFlags(lw, k), 0);
}

TEST_F(ReadDxfTest, VerticesWithoutRoomWriteNothing) {
  // A VERTEX before any polyline, and groups 20 and 70 before the first 10.
  Read(Entities(
      Pairs({"0",  "VERTEX", "10", "7",        "20", "7",      "70", "7", "0",  "LWPOLYLINE", "20", "5", "10", "1",
             "20", "2",      "0",  "POLYLINE", "0",  "VERTEX", "20", "8", "70", "9",          "10", "3", "20", "4"})));
  ASSERT_EQ(PolyCount, 2);
  ASSERT_EQ(Polys[0].VertexCount, 1);
  EXPECT_EQ(PolyVertex(Polys[0], 1).X, 1.0);
  EXPECT_EQ(PolyVertex(Polys[0], 1).Y, 2.0);
  ASSERT_EQ(Polys[1].VertexCount, 1);
  EXPECT_EQ(PolyVertex(Polys[1], 1).X, 3.0);
  EXPECT_EQ(PolyVertex(Polys[1], 1).Y, 4.0);
  EXPECT_EQ(PolyVertexFlags(Polys[1], 1), 0);
}

TEST_F(ReadDxfTest, PolylineKeepsEveryVertex) {
  std::string body = Pairs({"0", "LWPOLYLINE", "8", "0"});
  for (int k = 1; k <= 2500; ++k) body += Pairs({"10", std::to_string(k), "20", std::to_string(-k)});
  body += Pairs({"0", "POLYLINE", "0", "VERTEX", "10", "1", "20", "1"});
  Read(Entities(body));
  ASSERT_EQ(PolyCount, 2);
  ASSERT_EQ(Polys[0].VertexCount, 2500);
  EXPECT_EQ(PolyVertex(Polys[0], 2500).X, 2500.0);
  EXPECT_EQ(PolyVertex(Polys[0], 2500).Y, -2500.0);
  EXPECT_EQ(PolyVertex(Polys[1], 1).X, 1.0);
  // Exchanging records takes the vertices along.
  SwapPolyRec(Polys[0], Polys[1]);
  EXPECT_EQ(Polys[0].VertexCount, 1);
  EXPECT_EQ(PolyVertex(Polys[1], 2500).X, 2500.0);
}

TEST_F(ReadDxfTest, Texts) {
  Read(StyleTable({{"Standard", "2"}, {"Big", "3.0"}, {"NoHeight", nullptr}}) +
       Entities(Pairs({
           "0",  "TEXT",        "8",  "ignored", "10", "1",      "20", "2",        "30", "3",
           "11", "4",           "21", "5",       "31", "6",      "40", "2.5",      "7",  "Big",
           "1",  "\\U+03C6100", "72", "1",       "73", "2",      "62", "7",        "6",  "CENTER",
           "0",  "MTEXT",       "3",  "abc",     "1",  "de\\Pf", "0",  "TEXT",     "7",  "Big",
           "40", "1.5",         "1",  "x",       "0",  "TEXT",   "7",  "NoHeight", "1",  "A\\U+03C6B\\U+03C6",
           "0",  "TEXT",        "7",  "Missing", "0",  "MTEXT",  "1",  "head",     "3",  std::string(300, 'z'),
       })));
  ASSERT_EQ(TextCount, 6);
  const TTextRec& t = Texts[0];
  EXPECT_EQ(t.X, 1.0);
  EXPECT_EQ(t.Y, 2.0);
  EXPECT_EQ(t.Z, 3.0);
  EXPECT_EQ(t.X2, 4.0);
  EXPECT_EQ(t.Y2, 5.0);
  EXPECT_EQ(t.Z2, 6.0);
  EXPECT_EQ(t.Height, 3.0);  // group 7 came after group 40
  EXPECT_EQ(t.Content.View(),
            "\x83\xd3"
            "100");  // φ100
  EXPECT_EQ(t.HAlign, 1);
  EXPECT_EQ(t.VAlign, 2);
  EXPECT_EQ(t.Color.View(), "7");
  EXPECT_EQ(t.LineType.View(), "CENTER");
  EXPECT_EQ(Texts[1].Content.View(), "def");  // group 1 replaces group 3
  EXPECT_EQ(Texts[1].Height, 2.0);            // the height of "Standard"
  EXPECT_EQ(Texts[2].Height, 1.5);
  EXPECT_EQ(Texts[3].Height, 10.0);  // a style entry without group 40
  EXPECT_EQ(Texts[3].Content.View(),
            "A\x83\xd3"
            "B\\U+03C6");
  EXPECT_EQ(Texts[4].Height, 0.0);                                     // no style of that name
  EXPECT_EQ(Texts[5].Content.View(), "head" + std::string(251, 'z'));  // cut at 255
  EXPECT_EQ(StyleHeight("Big"), 3.0);
  EXPECT_EQ(StyleHeight("big"), 0.0);
}

TEST_F(ReadDxfTest, TextsWithoutStyleTableHaveHeightZero) {
  Read(Entities(Pairs({"0", "TEXT", "1", "a", "0", "MTEXT", "40", "4"})));
  ASSERT_EQ(TextCount, 2);
  EXPECT_EQ(Texts[0].Height, 0.0);
  EXPECT_EQ(Texts[1].Height, 4.0);
}

TEST_F(ReadDxfTest, FieldCapacities) {
  const std::string layer61(61, 'L'), style41(41, 'S');
  Read(StyleTable({{style41.c_str(), "7"}}) + Entities(Pairs({"0", "LINE", "8", layer61, "6", layer61})));
  EXPECT_EQ(Lines[0].Layer.View(), layer61.substr(0, 60));
  EXPECT_EQ(Lines[0].LineType.View(), layer61.substr(0, 60));
  EXPECT_EQ(Styles[0].Name.View(), style41.substr(0, 40));
  EXPECT_EQ(StyleHeight(style41.substr(0, 40)), 7.0);
  EXPECT_EQ(StyleHeight(style41), 0.0);  // a name longer than 40 bytes never matches
  // A cut may split a double-byte character: 59 bytes and the lead byte of 壁.
  Read(Entities(Pairs({"0", "LINE", "8", std::string(59, 'a') + "\x95\xc7"})));
  EXPECT_EQ(Lines[0].Layer.View(), std::string(59, 'a') + "\x95");
}

TEST_F(ReadDxfTest, TablesGrowInStepsAndAreRefilledEachRun) {
  std::string styles = Pairs({"0", "SECTION", "2", "TABLES", "0", "TABLE", "2", "STYLE"});
  for (int i = 0; i < 150; ++i)
    styles += Pairs({"0", "STYLE", "2", std::string(1, 'S').append(std::to_string(i)), "40", "1"});
  styles += Pairs({"0", "ENDTAB", "0", "ENDSEC"});
  std::string lines;
  for (int i = 0; i < 101; ++i) lines += Pairs({"0", "LINE", "8", "A", "62", "1", "6", "HIDDEN", "10", "1"});
  Read(styles + Entities(lines));
  EXPECT_EQ(LineCount, 101);
  EXPECT_EQ(Lines.Length(), 101u);
  EXPECT_EQ(Styles.Length(), 200u);
  EXPECT_EQ(Styles[149].Name.View(), "S149");
  EXPECT_EQ(Texts.Length(), 100u);

  // A smaller drawing: nothing of the first one stays in any record.
  Read(Entities(Pairs({"0", "LINE", "8", "B"})));
  EXPECT_EQ(LineCount, 1);
  EXPECT_EQ(Lines[0].Layer.View(), "B");
  EXPECT_TRUE(Lines[0].Color.Empty());
  EXPECT_TRUE(Lines[0].LineType.Empty());
  EXPECT_EQ(Lines[0].X1, 0.0);
  EXPECT_EQ(Styles.Length(), 100u);
  EXPECT_EQ(StyleHeight("S1"), 0.0);

  // The 101st line grows Lines to 200; an error leaves it uncut.
  EXPECT_THROW(Read(Entities(lines + Pairs({"0", "LINE", "10", "x"}))), TConvertError);
  EXPECT_EQ(LineCount, 102);
  EXPECT_EQ(Lines.Length(), 200u);
}

TEST_F(ReadDxfTest, MissingFileGivesEmptyTables) {
  Read(kOneLine);
  EXPECT_EQ(ReadDxf(folder_.File("missing.dxf")), 0);
  EXPECT_EQ(LineCount, 0);
  EXPECT_EQ(ArcCount + CircleCount + PolyCount + TextCount, 0);
  EXPECT_EQ(Lines.Length(), 0u);
}

TEST_F(ReadDxfTest, UnreadableFileIsAnError) {
  // A folder exists under that name but cannot be read as a file.
  Read(kOneLine);
  EXPECT_THROW(ReadDxf(folder_.File("")), TFileError);
  EXPECT_EQ(LineCount, 0);
}

TEST_F(ReadDxfTest, FileStartAndComments) {
  const std::string line = Pairs({"0", "LINE", "8", "A"});
  // A UTF-8 byte-order mark before the first group code is stepped over.
  EXPECT_EQ(Read("\xef\xbb\xbf" + Entities(line)), 1);
  // A comment between (0, SECTION) and the section's name is no pair before.
  EXPECT_EQ(Read(Pairs({"0", "SECTION", "999", "made by hand", "2", "ENTITIES"}) + line + line), 2);
  // A binary DXF file is refused by name, before any pair is read.
  const std::string binary = std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + std::string(40, '\x01');
  for (const auto& check :
       {+[](const std::string& Path) { ReadDxf(Path); }, +[](const std::string& Path) { CheckDrawing(Path); }}) {
    const std::string path = folder_.Write("binary.dxf", binary);
    try {
      check(path);
      ADD_FAILURE() << "no error";
    } catch (const TFileError& e) {
      // はバイナリ DXF です。読み込めるのはアスキー DXF だけです
      EXPECT_EQ(e.Reason(),
                "\x83\x6f\x83\x43\x83\x69\x83\x8a DXF \x82\xc5\x82\xb7\x81\x42\x93\xc7\x82\xdd\x8d\x9e\x82\xdf\x82\xe9"
                "\x82\xcc\x82\xcd\x83\x41\x83\x58\x83\x4c\x81\x5b DXF \x82\xbe\x82\xaf\x82\xc5\x82\xb7");
      EXPECT_EQ(e.Path(), path);
    }
  }
  EXPECT_EQ(LineCount, 0);
  // A folder cannot be a drawing; a missing file passes the check.
  EXPECT_THROW(CheckDrawing(folder_.File("")), TFileError);
  EXPECT_NO_THROW(CheckDrawing(folder_.File("missing.dxf")));
}

TEST_F(ReadDxfTest, ManyStylesFoundByNameFirstSlotWins) {
  // 3000 styles, a second "S7" later (the first wins), texts naming the last
  // and a missing one.
  std::string styles = Pairs({"0", "SECTION", "2", "TABLES", "0", "TABLE", "2", "STYLE"});
  for (int i = 0; i < 3000; ++i)
    styles += Pairs({"0", "STYLE", "2", "S" + std::to_string(i), "40", std::to_string(i) + ".5"});
  styles += Pairs({"0", "STYLE", "2", "S7", "40", "99", "0", "ENDTAB", "0", "ENDSEC"});
  Read(styles + Entities(Pairs({"0", "TEXT", "7", "S2999", "0", "TEXT", "7", "S7", "0", "TEXT", "7", "S3000"})));
  ASSERT_EQ(TextCount, 3);
  EXPECT_EQ(Texts[0].Height, 2999.5);
  EXPECT_EQ(Texts[1].Height, 7.5);
  EXPECT_EQ(Texts[2].Height, 0.0);
  // The next run knows only its own styles.
  Read(StyleTable({{"S7", "3"}}) + Entities(Pairs({"0", "TEXT", "7", "S2999", "0", "TEXT", "7", "S7"})));
  EXPECT_EQ(Texts[0].Height, 0.0);
  EXPECT_EQ(Texts[1].Height, 3.0);
}

TEST_F(ReadDxfTest, ConversionErrors) {
  const char kInteger[] = "' \x82\xcd\x90\xae\x90\x94\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
  const char kReal[] =
      "' \x82\xcd\x95\x82\x93\xae\x8f\xac\x90\x94\x93\x5f\x90\x94\x82\xc5\x82\xcd\x82\xa0\x82\xe8"
      "\x82\xdc\x82\xb9\x82\xf1";
  const struct {
    const char* name;
    std::string text;
    std::string message;
    std::int32_t lines;
  } cases[] = {
      {"letter in a group code", Entities(Pairs({"0", "LINE", "1O", "0"})), std::string("'1O") + kInteger, 1},
      {"empty group code", Pairs({"", "SECTION"}), std::string("'") + kInteger, 0},
      {"group code before any section", Pairs({"999", "x", "A", "x"}), std::string("'A") + kInteger, 0},
      {"coordinate", Entities(Pairs({"0", "LINE", "0", "LINE", "21", "1,5"})), std::string("'1,5") + kReal, 2},
      {"radius", Entities(Pairs({"0", "CIRCLE", "40", "inf"})), std::string("'inf") + kReal, 0},
      {"overflowing radius", Entities(Pairs({"0", "ARC", "40", "1e999"})), std::string("'1e999") + kReal, 0},
      {"vertex flags", Entities(Pairs({"0", "POLYLINE", "0", "VERTEX", "10", "0", "70", "1.0"})),
       std::string("'1.0") + kInteger, 0},
      {"text alignment", Entities(Pairs({"0", "TEXT", "72", "x"})), std::string("'x") + kInteger, 0},
      {"style height", StyleTable({{"S", "high"}}), std::string("'high") + kReal, 0},
      // Before the first vertex there is no slot for the value, but it is
      // converted all the same.
      {"vertex 20 before its 10", Entities(Pairs({"0", "POLYLINE", "0", "VERTEX", "20", "y", "10", "1"})),
       std::string("'y") + kReal, 0},
      {"vertex 70 before its 10", Entities(Pairs({"0", "POLYLINE", "0", "VERTEX", "70", "1.5"})),
       std::string("'1.5") + kInteger, 0},
      {"light polyline 20 before its 10", Entities(Pairs({"0", "LWPOLYLINE", "20", "1e999", "10", "1"})),
       std::string("'1e999") + kReal, 0},
      // A long bad value is quoted in its first 200 bytes of whole
      // characters: 199 bytes and 壁 would be 201.
      {"long value",
       Entities(Pairs({"0", "LINE", "10", std::string(199, '9') + "\x95\xc7" + std::string(1 << 20, 'x')})),
       "'" + std::string(199, '9') + "\x81\x63" + kReal, 1},  // …
      {"value of exactly 200 bytes", Entities(Pairs({"0", "LINE", "10", std::string(199, '9') + "x"})),
       "'" + std::string(199, '9') + "x" + kReal, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      Read(c.text);
      ADD_FAILURE() << "no error";
    } catch (const TConvertError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
    EXPECT_EQ(LineCount, c.lines);  // what was read up to the pair stays
  }
  // Values of groups that are not taken are never converted.
  EXPECT_EQ(Read(Entities(Pairs({"0", "LINE", "40", "x", "0", "INSERT", "10", "x", "0", "LWPOLYLINE", "70", "x", "0",
                                 "POLYLINE", "10", "x"}))),
            1);
}

}  // namespace
