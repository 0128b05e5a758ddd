#include "app/shell_open.h"

#include <objbase.h>
#include <shellapi.h>

#include <vector>

#include "acadlink/ansi_text.h"
#include "text/shift_jis.h"

void ShellOpen(HWND Owner, const char* Verb, const std::string& Path) {
  // The shell's handlers may be COM objects: the thread is an apartment for
  // the request (or already was one).
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  const std::wstring verb = AnsiToWide(Verb);
  const std::wstring file = AnsiToWide(Path);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOASYNC;
  info.hwnd = Owner;
  info.lpVerb = verb.c_str();
  info.lpFile = file.c_str();
  info.nShow = SW_SHOWNORMAL;
  ShellExecuteExW(&info);
  if (SUCCEEDED(com)) CoUninitialize();
}

std::string FolderOf(const std::string& Path) {
  std::vector<char> full(MAX_PATH);
  for (;;) {
    const DWORD n = GetFullPathNameA(Path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0) {
      full.assign(Path.begin(), Path.end());
      full.push_back('\0');
      break;
    }
    if (n < full.size()) break;
    full.resize(n + 1);
  }
  const std::string whole = full.data();
  const std::size_t slash = FindLastShiftJisOf(whole, "\\/:");
  if (slash == std::string::npos) return std::string();
  // A drive's root keeps its "\"; a folder is named without one, which
  // would otherwise escape the quote after it on a command line.
  const bool root = slash == 0 || whole[slash - 1] == ':' || whole[slash] == ':';
  return whole.substr(0, root ? slash + 1 : slash);
}
