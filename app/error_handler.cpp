#include "app/error_handler.h"

namespace {
const char* const kAppTitle = "Orveline";
}

void ShowUncaughtError(HWND Owner, const std::exception& Error) {
  MessageBoxA(Owner, Error.what(), kAppTitle, MB_OK | MB_ICONERROR);
}

void ShowUncaughtError(HWND Owner) { MessageBoxA(Owner, "Unknown error", kAppTitle, MB_OK | MB_ICONERROR); }
