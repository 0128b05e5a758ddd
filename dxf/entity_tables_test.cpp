#include "dxf/entity_tables.h"

#include <gtest/gtest.h>

namespace {

TEST(TTable, GrownRecordsAreEmptyAfterAnEarlierLongerUse) {
  TTable<TLineRec> table;
  table.Reset(TablesGrowStep);
  for (std::size_t i = 0; i < 3000; ++i) {
    TLineRec& r = i < table.Length() ? table[i] : (table.GrowBy(TablesGrowStep), table[i]);
    r.X1 = 1.0;
    r.Layer.Assign("L");
  }
  table.Shrink(3);
  EXPECT_EQ(table.Length(), 3u);
  table.GrowBy(2000);
  table.Push();
  for (std::size_t i : {3u, 5u, 1023u, 1024u, 2002u, 2003u}) {
    SCOPED_TRACE(i);
    EXPECT_EQ(table[i].X1, 0.0);
    EXPECT_TRUE(table[i].Layer.Empty());
  }
  EXPECT_EQ(table[2].X1, 1.0);  // records kept by the cut stay
  EXPECT_EQ(table.Length(), 2004u);

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

TEST(TFixedText, CutsAtCapacity) {
  TText60 text{};
  text.Assign(std::string(70, 'a'));
  EXPECT_EQ(text.View(), std::string(60, 'a'));
  TText255 content{};
  content.Assign("abc");
  content.Append(std::string(300, 'z'));
  EXPECT_EQ(content.View().size(), 255u);
  EXPECT_EQ(content.View().substr(0, 4), "abcz");
}

}  // namespace
