// The stand-in's options as the tests and the demo give them.
#include "standin/standin_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(StandinOptionsTest, DefaultsWithoutArguments) {
  TStandinOptions o;
  std::string error;
  ASSERT_TRUE(ParseStandinOptions({}, o, error));
  EXPECT_EQ(o.peer.pick.kind, TPickRule::kAll);
  EXPECT_EQ(o.peer.pickDelayMs, 300u);
  EXPECT_EQ(o.place, TCommandLinePlace::kDocked);
  EXPECT_FALSE(o.ansi);
  EXPECT_FALSE(o.inputOutputNames);
  EXPECT_EQ(o.killPaneAfter, 0u);
  EXPECT_TRUE(o.transcript.empty());
  // The imperfections of a real program are all off.
  EXPECT_EQ(o.lagMs, 0u);
  EXPECT_EQ(o.busyDuringExportMs, 0u);
  EXPECT_EQ(o.hangAfter, 0u);
  EXPECT_FALSE(o.peer.filediaDialog);
  EXPECT_EQ(o.peer.questionLingerMs, 0u);
  EXPECT_FALSE(o.peer.nestedCancel);
}

TEST(StandinOptionsTest, EveryOptionReachesItsField) {
  TStandinOptions o;
  std::string error;
  ASSERT_TRUE(ParseStandinOptions({"--drawing",
                                   "/tmp/a b/s.dxf",
                                   "--transcript",
                                   "C:\\t.txt",
                                   "--ready",
                                   "/r",
                                   "--title",
                                   "ACAD x",
                                   "--class",
                                   "AfxMDIFrame140u",
                                   "--text-title",
                                   "T",
                                   "--ansi",
                                   "--panes",
                                   "input",
                                   "--cmdline",
                                   "textwindow",
                                   "--pick",
                                   "layer:\x95\xc7",
                                   "--pick-delay",
                                   "1500",
                                   "--export-delay",
                                   "20",
                                   "--export-hang",
                                   "--no-dxf",
                                   "--ask-export",
                                   "--kill-pane-after",
                                   "4",
                                   "--close-during-select",
                                   "--lag",
                                   "350",
                                   "--busy-during-export",
                                   "2500",
                                   "--hang-after",
                                   "3",
                                   "--filedia-dialog",
                                   "--question-lingers",
                                   "700",
                                   "--nested-cancel"},
                                  o, error))
      << error;
  EXPECT_EQ(o.drawing, "Z:\\tmp\\a b\\s.dxf");  // a host path is reached through drive Z:
  EXPECT_EQ(o.transcript, "C:\\t.txt");
  EXPECT_EQ(o.ready, "Z:\\r");
  EXPECT_EQ(o.title, "ACAD x");
  EXPECT_EQ(o.className, "AfxMDIFrame140u");
  EXPECT_EQ(o.textTitle, "T");
  EXPECT_TRUE(o.ansi);
  EXPECT_TRUE(o.inputOutputNames);
  EXPECT_EQ(o.place, TCommandLinePlace::kTextWindow);
  EXPECT_EQ(o.peer.pick.kind, TPickRule::kLayer);
  EXPECT_EQ(o.peer.pick.layer, "\x95\xc7");  // 壁
  EXPECT_EQ(o.peer.pickDelayMs, 1500u);
  EXPECT_EQ(o.peer.exportDelayMs, 20u);
  EXPECT_TRUE(o.peer.exportHangs);
  EXPECT_TRUE(o.peer.writeNoDxf);
  EXPECT_TRUE(o.peer.askExport);
  EXPECT_EQ(o.killPaneAfter, 4u);
  EXPECT_TRUE(o.peer.closeDuringSelect);
  EXPECT_EQ(o.lagMs, 350u);
  EXPECT_EQ(o.busyDuringExportMs, 2500u);
  EXPECT_EQ(o.hangAfter, 3u);
  EXPECT_TRUE(o.peer.filediaDialog);
  EXPECT_EQ(o.peer.questionLingerMs, 700u);
  EXPECT_TRUE(o.peer.nestedCancel);
}

TEST(StandinOptionsTest, PickRules) {
  struct TCase {
    const char* value;
    TPickRule::TKind kind;
    std::vector<std::size_t> indexes;
  };
  const TCase cases[] = {
      {"all", TPickRule::kAll, {}},
      {"none", TPickRule::kNone, {}},
      {"7", TPickRule::kIndexes, {7}},
      {"0,2,15", TPickRule::kIndexes, {0, 2, 15}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.value);
    TStandinOptions o;
    std::string error;
    ASSERT_TRUE(ParseStandinOptions({"--pick", c.value}, o, error));
    EXPECT_EQ(o.peer.pick.kind, c.kind);
    EXPECT_EQ(o.peer.pick.indexes, c.indexes);
  }
}

TEST(StandinOptionsTest, BadArgumentsAreRefusedWithAReason) {
  struct TCase {
    std::vector<std::string> args;
    const char* error;
  };
  const TCase cases[] = {
      {{"--frobnicate"}, "unknown option --frobnicate"},
      {{"--drawing"}, "--drawing needs a value"},
      {{"--pick-delay", "soon"}, "--pick-delay needs a number"},
      {{"--pick-delay", "-5"}, "--pick-delay needs a number"},
      {{"--lag", "99999999999"}, "--lag needs a number"},
      {{"--hang-after"}, "--hang-after needs a value"},
      {{"--kill-pane-after", "99999999999999999999"}, "--kill-pane-after needs a number"},
      {{"--pick", "1,,2"}, "--pick takes all, none, layer:NAME or indexes like 0,2,5"},
      {{"--pick", "1,"}, "--pick takes all, none, layer:NAME or indexes like 0,2,5"},
      {{"--panes", "left"}, "--panes takes headlands or input"},
      {{"--cmdline", "docking"}, "--cmdline takes docked, floating, textwindow or cmdwindow"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.args[0]);
    TStandinOptions o;
    std::string error;
    EXPECT_FALSE(ParseStandinOptions(c.args, o, error));
    EXPECT_EQ(error, c.error);
  }
}

}  // namespace
