#include "app/single_dialog.h"

#include "app/kirusa_form.h"

namespace {

// "Local\": one dialog for each user's session.
const char* const kDialogMutexName = "Local\\Orveline.Dialog";

// The visible dialog of another process, or none.
HWND FindOtherDialog() {
  for (HWND form = FindWindowExA(nullptr, nullptr, TKirusaF::ClassName, nullptr); form;
       form = FindWindowExA(nullptr, form, TKirusaF::ClassName, nullptr)) {
    DWORD process = 0;
    GetWindowThreadProcessId(form, &process);
    if (process != GetCurrentProcessId() && IsWindowVisible(form)) return form;
  }
  return nullptr;
}

void BringForward(HWND Form) {
  DWORD process = 0;
  GetWindowThreadProcessId(Form, &process);
  AllowSetForegroundWindow(process);
  // As the taskbar button does; a dialog busy with a run answers between
  // its polls, a hung one is not waited for.
  DWORD_PTR answer = 0;
  if (IsIconic(Form)) SendMessageTimeoutA(Form, WM_SYSCOMMAND, SC_RESTORE, 0, SMTO_ABORTIFHUNG, 5000, &answer);
  SetForegroundWindow(GetLastActivePopup(Form));
}

}  // namespace

bool ClaimDialog(TKernelHandle& Claim, DWORD Milliseconds) {
  // Owned from the start by the first start; the others wait on it.
  const HANDLE mutex = CreateMutexA(nullptr, TRUE, kDialogMutexName);
  const bool held = GetLastError() == ERROR_ALREADY_EXISTS;
  Claim.Reset(mutex);
  if (!Claim || !held) return true;
  for (DWORD waited = 0; waited <= Milliseconds; waited += 50) {
    if (const HWND form = FindOtherDialog()) {
      BringForward(form);
      return false;
    }
    // The start that held it has ended (or is ending) without a dialog.
    const DWORD wait = WaitForSingleObject(Claim.Get(), 50);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) return true;
  }
  return false;
}
