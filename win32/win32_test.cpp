#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win32/win32_error.h"
#include "win32/window_text.h"

namespace {

std::string MessageOf(const std::exception& Error) { return Error.what(); }

TEST(Win32Error, CarriesTheCallAndTheSystemsText) {
  // A file that is not there: the call fails with code 2.
  ASSERT_FALSE(DeleteFileA("Z:\\orveline-win32-test-no-such-file"));
  ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  try {
    ThrowLastError("DeleteFileA");
    FAIL() << "nothing thrown";
  } catch (const TWin32Error& error) {
    const std::string text = MessageOf(error);
    EXPECT_EQ(error.Code(), 2u);
    EXPECT_EQ(text.rfind("DeleteFileA: ", 0), 0u) << text;
    EXPECT_EQ(text.substr(text.size() - 4), " (2)") << text;
    // The system's own words stand between, without their line end.
    EXPECT_GT(text.size(), std::string("DeleteFileA:  (2)").size()) << text;
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
  }
  EXPECT_EQ(MessageOf(TWin32Error("CreatePen", ERROR_SUCCESS)), "CreatePen failed") << "no code, no borrowed text";
}

TEST(Win32Error, CheckCreatedPassesAHandleAndThrowsForNone) {
  const HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  EXPECT_EQ(CheckCreated(brush, "CreateSolidBrush"), brush);
  DeleteObject(brush);
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_THROW(CheckCreated(static_cast<HPEN>(nullptr), "CreatePen"), TWin32Error);
}

TEST(WindowText, ReadsTheWholeTextAndKnowsWhenAWindowHasGone) {
  const char kTitle[] = "\x83\x52\x83\x7d\x83\x93\x83\x68: a long line";  // コマンド: a long line
  HWND window = CreateWindowExA(0, "STATIC", kTitle, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(ReadWindowText(window), kTitle);
  EXPECT_TRUE(IsLive(window));
  DestroyWindow(window);
  EXPECT_FALSE(IsLive(window));
  EXPECT_FALSE(IsLive(nullptr));
  EXPECT_EQ(ReadWindowText(window), "");
}

}  // namespace
