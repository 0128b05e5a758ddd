#include "app/modal_loop.h"

void RunModalLoop(HWND Owner, HWND Window, HWND Focus, const bool& Done) {
  struct TOwnerDisabled {
    HWND Owner;
    explicit TOwnerDisabled(HWND O) : Owner(O) { EnableWindow(Owner, FALSE); }
    ~TOwnerDisabled() {
      EnableWindow(Owner, TRUE);
      SetForegroundWindow(Owner);
    }
  } disabled(Owner);
  ShowWindow(Window, SW_SHOWNORMAL);
  SetForegroundWindow(Window);
  SetFocus(Focus);
  while (!Done) {
    MSG message;
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));  // for the loop outside
      break;
    }
    if (got < 0) break;
    if (IsDialogMessageA(Window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}
