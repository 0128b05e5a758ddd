// orveline.exe: the dialog and its message loop.
#include <windows.h>

#include "app/error_handler.h"
#include "app/kirusa_form.h"
#include "app/single_dialog.h"

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE, LPSTR, int) {
  // Another start that has the dialog open comes forward instead.
  TKernelHandle claim;
  if (!ClaimDialog(claim)) return 0;
  TKirusaF form;
  if (!RunShowingErrors(nullptr, [&] { form.Create(Instance); })) return 1;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0)
    RunShowingErrors(form.Handle(), [&] { TKirusaF::DispatchOne(form.Handle(), message); });
  return static_cast<int>(message.wParam);
}
