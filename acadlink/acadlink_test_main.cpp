// The link's test program. Started with --helper-window TITLE CLASS it is
// instead the helper that owns a window in another process.
#include <gtest/gtest.h>

#include <cstring>

#include "acadlink/test_windows.h"

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--helper-window") == 0) return RunHelperWindow(argv[2], argv[3]);
  testing::InitGoogleTest(&argc, argv);
  ReadTestOptions(argc, argv);
  return RUN_ALL_TESTS();
}
