// The one place where errors that nothing else catches are shown to the user.
#pragma once

#include <windows.h>

#include <exception>

// Shows the error's own message (code page 932) in a message box captioned
// "Orveline", owned by Owner.
void ShowUncaughtError(HWND Owner, const std::exception& Error);
void ShowUncaughtError(HWND Owner);  // for an error of unknown type

// Runs Action and shows any error it raises; true when it raised none. Every
// window procedure and callback of the program goes through here, so no
// exception crosses a Win32 frame.
template <typename TAction>
bool RunShowingErrors(HWND Owner, TAction&& Action) {
  try {
    Action();
    return true;
  } catch (const std::exception& e) {
    ShowUncaughtError(Owner, e);
  } catch (...) {
    ShowUncaughtError(Owner);
  }
  return false;
}
