#include "app/modal_loop.h"

#include <algorithm>

#include "win32/win32_error.h"

TWindowHandle CreateModalWindow(HWND Owner, const char* ClassName, WNDPROC Proc, const char* Caption, int ClientWidth,
                                int ClientHeight, TModalPlace Place, void* CreateParam) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = ClassName;
  RegisterClassExA(&wc);  // fails harmlessly when already registered

  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_CONTROLPARENT;
  RECT frame{0, 0, ClientWidth, ClientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT owner{};
  GetWindowRect(Owner, &owner);
  const int left = std::clamp(static_cast<int>((owner.left + owner.right - width) / 2), 0,
                              std::max(0, GetSystemMetrics(SM_CXSCREEN) - width));
  const int above = static_cast<int>(owner.top) - height;
  const int wanted = Place == TModalPlace::OverOwner ? static_cast<int>((owner.top + owner.bottom - height) / 2)
                     : above >= 0                    ? above
                                                     : static_cast<int>(owner.bottom);
  const int top = std::clamp(wanted, 0, std::max(0, GetSystemMetrics(SM_CYSCREEN) - height));
  return TWindowHandle(CheckCreated(CreateWindowExA(exStyle, ClassName, Caption, style, left, top, width, height, Owner,
                                                    nullptr, instance, CreateParam),
                                    "CreateWindowExA"));
}

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
