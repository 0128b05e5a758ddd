// The settings window: opened from the dialog's system menu ("設定..."), a
// small modal window with a check box for each setting of the list's form
// and for the window of results, then the take-off (symbols counted, with a
// box for the attribute tags that split them, areas, and a drop-down list of
// the unit), OK and キャンセル.
#pragma once

#include <windows.h>

#include "app/settings.h"

// The window's class name, for those who look for it from outside.
extern const char* const SettingsWindowClassName;

// Shows the window over Owner, in Owner's font, with Settings checked, until
// the user chooses OK (true, the choices in Settings) or キャンセル, Esc or the
// close box (false, Settings unchanged). Owner is disabled meanwhile.
bool ShowSettingsWindow(HWND Owner, HFONT Font, int Dpi, TDialogSettings& Settings);
