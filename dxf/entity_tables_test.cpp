#include "dxf/entity_tables.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(TTable, GrownRecordsAreEmptyAfterAnEarlierLongerUse) {
  TTable<TLineRec> table;
  const std::size_t block = TTable<TLineRec>::BlockSize;
  table.Reset(TablesGrowStep);
  for (std::size_t i = 0; i < block + 1000; ++i) {
    TLineRec& r = i < table.Length() ? table[i] : (table.GrowBy(TablesGrowStep), table[i]);
    r.X1 = 1.0;
    r.Layer.Assign("L");
  }
  table.Shrink(3);
  EXPECT_EQ(table.Length(), 3u);
  table.GrowBy(block + 500);
  table.Push();
  for (std::size_t i : {std::size_t{3}, std::size_t{5}, block - 1, block, block + 502, block + 503}) {
    SCOPED_TRACE(i);
    EXPECT_EQ(table[i].X1, 0.0);
    EXPECT_TRUE(table[i].Layer.Empty());
  }
  EXPECT_EQ(table[2].X1, 1.0);  // records kept by the cut stay
  EXPECT_EQ(table.Length(), block + 504);

  // A new run reuses the room: every record it is given is empty again.
  table.Reset(2);
  EXPECT_EQ(table.Length(), 2u);
  table.GrowBy(TablesGrowStep);
  table.Push();
  for (std::size_t i : {0u, 2u, 101u, 102u}) {
    SCOPED_TRACE(i);
    EXPECT_EQ(table[i].X1, 0.0);
    EXPECT_TRUE(table[i].Layer.Empty());
  }
}

// Blocks made ready on another thread (as the scanning thread does) are
// handed to growing tables while the tables are filled: every record they
// give is empty, and blocks not taken are let go.
TEST(TTable, BlocksMadeReadyElsewhereComeEmpty) {
  const std::size_t block = TTable<TLineRec>::BlockSize;
  TTable<TLineRec> lines;
  TTable<TVertex> vertices;
  std::thread ahead([] { PrepareLargeBlocks(3); });
  for (std::size_t i = 0; i < 4 * block; ++i) {
    if (i % block == 0 && i > 0) PrepareLargeBlocks(2);
    TLineRec& r = lines.Push();
    EXPECT_EQ(r.X1, 0.0);
    EXPECT_TRUE(r.Layer.Empty());
    r.X1 = 1.0;
    r.Layer.Assign("L");
    TVertex& v = vertices.Push();
    EXPECT_EQ(v.X, 0.0);
    v.X = 2.0;
    if (i == block / 2) {
      ahead.join();
      ahead = std::thread([] { PrepareLargeBlocks(2); });
    }
  }
  ahead.join();
  EXPECT_EQ(lines[3 * block + 1].X1, 1.0);
  EXPECT_EQ(vertices[4 * block - 1].X, 2.0);
  ReleasePreparedBlocks();
  EXPECT_EQ(lines.Push().X1, 0.0);
}

TEST(TPoolText, CutsAtCapacityAndKeepsEachTextOnce) {
  TText60 text{};
  text.Assign(std::string(70, 'a'));
  EXPECT_EQ(text.View(), std::string(60, 'a'));
  TText255 content{};
  content.Assign("abc");
  content.Append(std::string(300, 'z'));
  EXPECT_EQ(content.View().size(), 255u);
  EXPECT_EQ(content.View().substr(0, 4), "abcz");
  content.Append("more");  // full: nothing fits
  EXPECT_EQ(content.View().size(), 255u);

  // Equal texts are equal fields, whichever way they were made; a text cut
  // out of a longer pooled one is a text of its own.
  TText60 same{}, other{}, empty{};
  same.Assign(std::string(60, 'a'));
  other.Assign("a");
  TText40 cut{};
  cut.Assign(text.View());
  EXPECT_TRUE(same == text);
  EXPECT_FALSE(other == text);
  EXPECT_EQ(cut.View(), std::string(40, 'a'));
  EXPECT_EQ(text.View(), std::string(60, 'a'));
  empty.Assign("");
  EXPECT_TRUE(empty.Empty());
  EXPECT_TRUE(empty == TText60{});
}

}  // namespace
