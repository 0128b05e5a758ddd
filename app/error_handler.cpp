#include "app/error_handler.h"

namespace {
const char* const AppTitle = "Orveline";
}

void ShowUncaughtError(HWND Owner, const std::exception& Error) {
  MessageBoxA(Owner, Error.what(), AppTitle, MB_OK | MB_ICONERROR);
}

void ShowUncaughtError(HWND Owner) { MessageBoxA(Owner, "Unknown error", AppTitle, MB_OK | MB_ICONERROR); }
