// Drawings whose text is not in code page 932: what the reader stores is in
// code page 932 all the same, as the drawing's header tells.
#include "dxf/drawing_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dxf/dxf_reader.h"
#include "dxf/entity_tables.h"
#include "dxf/test_files.h"

namespace {

using testing_files::Pairs;

const std::string kWallUtf8 = "\xe5\xa3\x81";  // 壁
const std::string kWall = "\x95\xc7";          // 壁
const std::string kEAcuteUtf8 = "\xc3\xa9";    // é, which code page 932 lacks

// A header section with the given variables (name, group code, value).
std::string Header(std::initializer_list<std::vector<std::string_view>> Variables) {
  std::string text = Pairs({"0", "SECTION", "2", "HEADER"});
  for (const auto& v : Variables) text += Pairs({"9", v[0], v[1], v[2]});
  return text + Pairs({"0", "ENDSEC"});
}

// A style named Name of height 3.5; a line on layer Name, of linetype Name;
// a text of style Name whose group 1 and group 3 are Name.
std::string Body(std::string_view Name) {
  return Pairs({"0",  "SECTION", "2",   "TABLES", "0",      "TABLE", "2",      "STYLE", "0",       "STYLE", "2",
                Name, "40",      "3.5", "0",      "ENDTAB", "0",     "ENDSEC", "0",     "SECTION", "2",     "ENTITIES",
                "0",  "LINE",    "8",   Name,     "6",      Name,    "62",     "1",     "0",       "TEXT",  "7",
                Name, "1",       Name,  "3",      Name,     "0",     "ENDSEC", "0",     "EOF"});
}

class DrawingTextTest : public ::testing::Test {
 protected:
  void Read(std::string_view Text) {
    TMemorySource source(Text);
    ReadDrawing(source, {}, CurrentDrawing);
  }
};

TEST_F(DrawingTextTest, StoredTextIsInCodePage932) {
  const struct {
    const char* name;
    std::string header;
    std::string text, stored;
  } cases[] = {
      {"AC1021 is UTF-8", Header({{"$ACADVER", "1", "AC1021"}}), kWallUtf8 + kEAcuteUtf8, kWall + "\\U+00E9"},
      {"UTF-8 whatever the code page", Header({{"$ACADVER", "1", "AC1032"}, {"$DWGCODEPAGE", "3", "ANSI_932"}}),
       kWallUtf8, kWall},
      {"code page before the version", Header({{"$DWGCODEPAGE", "3", "ANSI_1252"}, {"$ACADVER", "1", "AC1027"}}),
       kWallUtf8, kWall},
      {"values trimmed of blanks", Header({{"$ACADVER", "1", "  AC1024 "}}), kWallUtf8, kWall},
      {"older version in a code page", Header({{"$ACADVER", "1", "AC1018"}, {"$DWGCODEPAGE", "3", " ANSI_1251"}}),
       "\xc4", "\x84\x44"},  // Д
      {"1252", Header({{"$ACADVER", "1", "AC1015"}, {"$DWGCODEPAGE", "3", "ANSI_1252"}}), "Caf\xe9", "Caf\\U+00E9"},
      // The bytes are kept:
      {"ANSI_932", Header({{"$ACADVER", "1", "AC1015"}, {"$DWGCODEPAGE", "3", "ANSI_932"}}), kWall, kWall},
      {"no code page", Header({{"$ACADVER", "1", "AC1018"}}), "\xe9\xa3", "\xe9\xa3"},
      {"an unknown code page", Header({{"$DWGCODEPAGE", "3", "ANSI_99999"}}), "\xe9\xa3", "\xe9\xa3"},
      {"no version number", Header({{"$ACADVER", "1", "AC1021x"}}), kWallUtf8, kWallUtf8},
      {"no header", "", kWallUtf8, kWallUtf8},
      // A variable given twice: its first value holds.
      {"the first version holds", Header({{"$ACADVER", "1", "AC1021"}, {"$ACADVER", "1", "AC1015"}}), kWallUtf8, kWall},
      {"the first code page holds",
       Header({{"$ACADVER", "1", "AC1015"}, {"$DWGCODEPAGE", "3", "ANSI_1251"}, {"$DWGCODEPAGE", "3", "ANSI_932"}}),
       "\xc4", "\x84\x44"},
      {"variables after the first ENDSEC",
       Pairs({"0", "SECTION", "2", "HEADER", "0", "ENDSEC"}) + Header({{"$ACADVER", "1", "AC1021"}}), kWallUtf8,
       kWallUtf8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Read(c.header + Body(c.text));
    ASSERT_EQ(LineCount, 1);
    EXPECT_EQ(Lines[0].Layer.View(), c.stored);
    EXPECT_EQ(Lines[0].LineType.View(), c.stored);
    EXPECT_EQ(Lines[0].Color.View(), "1");
    ASSERT_EQ(TextCount, 1);
    EXPECT_EQ(Texts[0].Content.View(), c.stored + c.stored);
    EXPECT_EQ(Texts[0].Height, 3.5);  // the style is found by its stored name
  }
}

TEST_F(DrawingTextTest, WhatIsCutIsTheConvertedText) {
  // 28 kanji and two characters that code page 932 lacks: 88 bytes of UTF-8,
  // 70 once converted, cut to 60.
  std::string name, kanji;
  for (int i = 0; i < 28; ++i) name += kWallUtf8, kanji += kWall;
  name += kEAcuteUtf8 + kEAcuteUtf8;
  Read(Header({{"$ACADVER", "1", "AC1021"}}) + Body(name));
  ASSERT_EQ(LineCount, 1);
  EXPECT_EQ(Lines[0].Layer.View(), kanji + "\\U+0");
}

TEST_F(DrawingTextTest, GroupOneIsCleanedOnceConverted) {
  // The last byte of 壁 in UTF-8 would be a lead byte in code page 932, one
  // that takes the backslash after it for its trail byte.
  Read(Header({{"$ACADVER", "1", "AC1021"}}) +
       Pairs({"0", "SECTION", "2", "ENTITIES", "0", "TEXT", "1", kWallUtf8 + "\\Pb\\U+03C6", "0", "ENDSEC"}));
  ASSERT_EQ(TextCount, 1);
  EXPECT_EQ(Texts[0].Content.View(), kWall + "b\x83\xd3");  // 壁bφ
}

}  // namespace
