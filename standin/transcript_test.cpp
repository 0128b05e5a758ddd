// The transcript's lines: one event each, the typed bytes recoverable.
#include "standin/transcript.h"

#include <gtest/gtest.h>

namespace {

TEST(TranscriptTest, ControlCharactersAndTheOpeningBracketAreWrittenAsHex) {
  EXPECT_EQ(EscapeTranscriptText(std::string("\x03SELECT P\rU\r\r")), "<03>SELECT P<0D>U<0D><0D>");
  EXPECT_EQ(EscapeTranscriptText("a<b>\x7f\n"), "a<3C>b><7F><0A>");
  // Double-byte characters pass unchanged.
  EXPECT_EQ(EscapeTranscriptText("\x83\x52\x83\x7d\x83\x93\x83\x68: "), "\x83\x52\x83\x7d\x83\x93\x83\x68: ");
  EXPECT_EQ(EscapeTranscriptText(""), "");
}

}  // namespace
