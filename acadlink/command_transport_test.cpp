#include "acadlink/command_transport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acadlink/test_windows.h"
#include "acadlink/window_discovery.h"

namespace {

const char kFrameClass[] = "Afx:00400000:8:00010011:00000000:00000000";
const char kAnsiFrameClass[] = "Afx:00400000:8:00010011:00000000:0000A000";
const char kMainTitle[] = "AutoCAD LT 2000 - [test.dwg]";
const char kIdlePrompt[] = "\x83\x52\x83\x7d\x83\x93\x83\x68: ";  // コマンド:

class TransportTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetAcadLink();
    ReceivedMessages().clear();
  }
  void TearDown() override { ResetAcadLink(); }

  // What the window got, after the posted messages have been dispatched.
  std::vector<TReceived> Delivered() {
    PumpMessages();
    return std::exchange(ReceivedMessages(), {});
  }
};

std::string Utf16Bytes(const std::wstring& Text) {
  std::string bytes;
  for (wchar_t c : Text) {
    bytes += static_cast<char>(c & 0xff);
    bytes += static_cast<char>((c >> 8) & 0xff);
  }
  return bytes;
}

// Each copy-data message to the window and one WM_NULL for each. Within one
// thread the posted WM_NULLs arrive once the queue is served, after the
// copy-data messages of the same call.
void ExpectPiecesAndNulls(const std::vector<TReceived>& Got, HWND Wnd, std::size_t Pieces) {
  ASSERT_EQ(Got.size(), Pieces * 2);
  for (std::size_t i = 0; i < Got.size(); ++i) {
    EXPECT_EQ(Got[i].wnd, Wnd);
    EXPECT_EQ(Got[i].message, i < Pieces ? static_cast<UINT>(WM_COPYDATA) : static_cast<UINT>(WM_NULL));
    if (i < Pieces) {
      EXPECT_EQ(Got[i].id, 1u);
    }
  }
}

TEST_F(TransportTest, ByteCountsAndPayloadInBothForms) {
  struct TCase {
    const char* name;
    std::wstring text;
    DWORD unicodeCount;
    DWORD ansiCount;
    std::string ansiBytes;
  };
  const TCase cases[] = {
      {"empty", L"", 2, 1, ""},
      {"cancel and SELECT", L"\x0003SELECT ", 18, 9, "\x03SELECT "},
      {"selection answers", L"\x0003SELECT P\rU\r\r", 28, 14, "\x03SELECT P\rU\r\r"},
      {"Japanese", L"\x56f3\x9762 ", 8, 6, "\x90\x7d\x96\xca "},  // 図面
  };
  for (const bool unicode : {true, false}) {
    ResetAcadLink();
    TTestWindow main = TTestWindow::TopLevel(kMainTitle, unicode ? kFrameClass : kAnsiFrameClass, unicode);
    for (const TCase& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (unicode ? " (Unicode)" : " (ANSI)"));
      EXPECT_TRUE(SendCommandText(c.text));
      const std::vector<TReceived> got = Delivered();
      ExpectPiecesAndNulls(got, main.Get(), 1);
      if (got.empty()) continue;
      if (unicode) {
        EXPECT_EQ(got[0].byteCount, c.unicodeCount);
        EXPECT_EQ(got[0].payload, Utf16Bytes(c.text) + std::string(2, '\0'));
      } else {
        EXPECT_EQ(got[0].byteCount, c.ansiCount);
        EXPECT_EQ(got[0].payload, c.ansiBytes + std::string(1, '\0'));
      }
    }
  }
}

TEST_F(TransportTest, FormIsChosenOnEveryCall) {
  TTestWindow unicodeMain = TTestWindow::TopLevel(kMainTitle, kFrameClass, true);
  EXPECT_TRUE(SendCommandText(L"A"));
  std::vector<TReceived> got = Delivered();
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got[0].byteCount, 4u);

  unicodeMain.Destroy();
  TTestWindow ansiMain = TTestWindow::TopLevel(kMainTitle, kAnsiFrameClass, false);
  EXPECT_TRUE(SendCommandText(L"A"));
  got = Delivered();
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got[0].wnd, ansiMain.Get());
  EXPECT_EQ(got[0].byteCount, 2u);

  // The caller may also force a form.
  EXPECT_TRUE(SendCommandTextAs(L"A", true));
  got = Delivered();
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got[0].byteCount, 4u);
}

TEST_F(TransportTest, NothingIsSentWithoutMainWindow) {
  EXPECT_FALSE(SendCommandText(L"FILEDIA 0 "));
  EXPECT_FALSE(SendCopyDataW(L"FILEDIA 0 "));
  EXPECT_FALSE(SendCopyDataA(L"FILEDIA 0 "));
  EXPECT_TRUE(Delivered().empty());
  EXPECT_EQ(ReadCommandLine(), "");
}

TEST_F(TransportTest, UnicodeFormCarriesOnlyWhatTheCodePageHolds) {
  TTestWindow main = TTestWindow::TopLevel(kMainTitle, kFrameClass, true);
  ASSERT_EQ(FindAcadWindow(), main.Get());
  // U+1F600 is outside code page 932: it arrives as the default character,
  // while the byte count still follows the text's length.
  EXPECT_TRUE(SendCopyDataW(L"a\xD83D\xDE00"));
  const std::vector<TReceived> got = Delivered();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].byteCount, 8u);
  EXPECT_EQ(got[0].payload.substr(0, 4), Utf16Bytes(L"a?"));
  EXPECT_EQ(got[0].payload.find('\xD8'), std::string::npos);
}

// Texts longer than one payload go in pieces, cut between characters.
TEST_F(TransportTest, LongTextIsSplitBetweenCharacters) {
  const std::wstring japanese = L"\x56f3";  // 図: two bytes in code page 932
  const std::wstring text = std::wstring(254, L'a') + japanese + std::wstring(40, L'b');

  {
    SCOPED_TRACE("ANSI");
    TTestWindow main = TTestWindow::TopLevel(kMainTitle, kAnsiFrameClass, false);
    EXPECT_TRUE(SendCommandText(text));
    const std::vector<TReceived> got = Delivered();
    ExpectPiecesAndNulls(got, main.Get(), 2);
    if (got.size() == 4) {
      EXPECT_EQ(got[0].byteCount, 255u);  // 254 bytes: the double-byte character would not fit
      EXPECT_EQ(got[1].byteCount, 43u);
      EXPECT_EQ(got[0].payload.substr(0, 254) + got[1].payload.substr(0, 42),
                std::string(254, 'a') + "\x90\x7d" + std::string(40, 'b'));
    }
    ResetAcadLink();
  }
  {
    SCOPED_TRACE("Unicode");
    TTestWindow main = TTestWindow::TopLevel(kMainTitle, kFrameClass, true);
    EXPECT_TRUE(SendCommandText(text));
    const std::vector<TReceived> got = Delivered();
    ExpectPiecesAndNulls(got, main.Get(), 2);
    if (got.size() == 4) {
      EXPECT_EQ(got[0].byteCount, 512u);
      EXPECT_EQ(got[1].byteCount, 82u);
      EXPECT_EQ(got[0].payload.substr(0, 510) + got[1].payload.substr(0, 80), Utf16Bytes(text));
    }
  }
}

TEST_F(TransportTest, ReadWindowTextGivesShiftJisBytes) {
  TTestWindow main = TTestWindow::TopLevel(kMainTitle, kFrameClass);
  TTestWindow pane = TTestWindow::Child(main.Get(), "Headlands");
  SetWindowTextW(pane.Get(), L"\x30b3\x30de\x30f3\x30c9: ");  // コマンド:
  EXPECT_EQ(ReadWindowText(pane.Get()), kIdlePrompt);
  SetWindowTextW(pane.Get(), L"");
  EXPECT_EQ(ReadWindowText(pane.Get()), "");
}

}  // namespace
