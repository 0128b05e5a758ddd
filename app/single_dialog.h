// One dialog at a time. Every start of the program shares the work folder
// and the time-stamped names of its work files, so a second start does not
// open a dialog of its own: it brings the first one forward and ends.
#pragma once

#include <windows.h>

#include "win32/win_handles.h"

// Claims the one dialog for this start: true when this start is to open it;
// Claim then holds the program's named mutex until the program ends. When
// another start holds it, that start's dialog is found (waiting up to
// Milliseconds for it to appear), restored when it is minimized and made,
// with the message box or window it has open, the foreground window; the
// result is false. Should the other start end meanwhile, this one takes
// over. A mutex that cannot be made at all leaves this start free.
bool ClaimDialog(TKernelHandle& Claim, DWORD Milliseconds = 10000);
