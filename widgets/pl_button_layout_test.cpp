#include "widgets/pl_button_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(PlButtonLayout, GradientRowsStepTowardTheEndColourRoundedTowardZero) {
  const TRgbValue white = RgbValue(255, 255, 255);
  const TRgbValue moneyGreen = RgbValue(192, 220, 192);
  const struct {
    const char* name;
    TRgbValue begin, end;
    int y, height;
    TRgbValue want;
  } cases[] = {
      {"first row", white, moneyGreen, 0, 26, white},
      {"row 1: 255 - 63 / 25, 255 - 35 / 25", white, moneyGreen, 1, 26, RgbValue(253, 254, 253)},
      {"row 12: 255 - 756 / 25, 255 - 420 / 25", white, moneyGreen, 12, 26, RgbValue(225, 239, 225)},
      {"last row", white, moneyGreen, 25, 26, moneyGreen},
      {"falling: 200 - 200 / 3", RgbValue(200, 0, 0), RgbValue(0, 0, 0), 1, 4, RgbValue(134, 0, 0)},
      {"each component on its own", RgbValue(10, 200, 50), RgbValue(250, 0, 50), 2, 5, RgbValue(130, 100, 50)},
      {"one row: the begin colour", RgbValue(10, 20, 30), white, 0, 1, RgbValue(10, 20, 30)},
      {"no rows: the begin colour", RgbValue(10, 20, 30), white, 0, 0, RgbValue(10, 20, 30)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GradientRow(c.begin, c.end, c.y, c.height), c.want);
  }
  EXPECT_EQ(RgbValue(0x12, 0x34, 0x56), 0x563412u) << "laid out as a COLORREF";
}

TEST(PlButtonLayout, CaptionLinesCentredOrFromTheGivenTop) {
  const struct {
    const char* name;
    int height, heightA, heightB;
    bool hasA, hasB;
    bool centred;
    int captionTop;
    TCaptionPlace want;
  } cases[] = {
      {"one line centred: (26 - 12) / 2 + 1", 26, 12, 12, true, false, true, 0, {8, 24, 8}},
      {"one line centred, odd room: 13 / 2 + 1", 25, 12, 12, true, false, true, 0, {7, 23, 7}},
      {"two lines centred: (40 - 24 - 4) / 2, then 6 + 12 + 4", 40, 12, 12, true, true, true, 0, {6, 22, 6}},
      {"second line alone centred: (26 - 12) / 2 (the empty first line is not drawn)",
       26,
       12,
       12,
       false,
       true,
       true,
       0,
       {-1, 7, 7}},
      {"not centred: from the top, the second 12 + 4 below", 40, 12, 12, true, true, false, 5, {5, 21, 5}},
      {"not centred, second line alone at the top", 26, 12, 12, false, true, false, 5, {5, 5, 5}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TCaptionPlace got = PlaceCaptions(c.height, c.heightA, c.heightB, c.hasA, c.hasB, 4, c.centred, c.captionTop);
    EXPECT_EQ(got.TopA, c.want.TopA);
    EXPECT_EQ(got.TopB, c.want.TopB);
    EXPECT_EQ(got.CaptionTop, c.want.CaptionTop);
  }
}

TEST(PlButtonLayout, PictureCentredOrWhereGiven) {
  EXPECT_EQ(PictureOffset(true, 75, 16, 3), 29);
  EXPECT_EQ(PictureOffset(false, 75, 16, 3), 3);
  EXPECT_EQ(PictureOffset(true, 10, 16, 0), -3) << "a picture larger than the button overhangs both sides";
}

TEST(PlButtonLayout, SpreadEvenSharesTheSpareSpaceWithTheRemainderFromTheLeft) {
  const struct {
    const char* name;
    std::vector<int> widths;
    int total, span, x0;
    std::vector<int> xs;
  } cases[] = {
      {"gap 20, one pixel left over", {10, 10, 10}, 30, 71, 2, {2, 33, 63}},
      {"too wide: gap -9, remainder -1", {30, 30, 30}, 90, 71, 2, {2, 22, 43}},
      {"two characters: the second ends at the span's end", {5, 7}, 12, 30, 0, {0, 23}},
      {"one character stays at x0", {8}, 8, 50, 4, {4}},
      {"nothing to spread", {}, 0, 50, 4, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SpreadEven(c.widths, c.total, c.span, c.x0), c.xs);
  }
}

TEST(PlButtonLayout, CharactersStartAfterWholeDoubleByteCharacters) {
  EXPECT_EQ(CharacterStarts("\x8e\xc0\x81\x40\x8d\x73"), (std::vector<std::size_t>{0, 2, 4}));  // 実　行
  EXPECT_EQ(CharacterStarts("a\x8e\xc0z"), (std::vector<std::size_t>{0, 1, 3}));                // a実z
  EXPECT_EQ(CharacterStarts("a\x8e"), (std::vector<std::size_t>{0, 1})) << "a lead byte at the end stands alone";
  EXPECT_EQ(CharacterStarts("\xb1\xb2"), (std::vector<std::size_t>{0, 1})) << "half-width katakana are single bytes";
}

}  // namespace
