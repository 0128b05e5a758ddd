#include "app/dialog_driver.h"

#include <stdexcept>

namespace {

std::vector<HWND> ChildWindows(HWND Parent) {
  std::vector<HWND> found;
  EnumChildWindows(
      Parent,
      [](HWND w, LPARAM p) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

std::string WindowClassOf(HWND Window) {
  char name[256] = {};
  GetClassNameA(Window, name, sizeof name);
  return name;
}

std::vector<HWND> VisibleTopLevelWindows(DWORD ProcessId, const char* ClassName) {
  struct TSearch {
    DWORD Id;
    const char* Class;
    std::vector<HWND> Found;
  } search{ProcessId, ClassName, {}};
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<TSearch*>(p);
        DWORD id = 0;
        GetWindowThreadProcessId(w, &id);
        if ((s->Id == 0 || id == s->Id) && WindowClassOf(w) == s->Class && IsWindowVisible(w)) s->Found.push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

TDialogDriver::TDialogDriver(DWORD Id, DWORD Milliseconds) {
  for (DWORD waited = 0; !Form && waited <= Milliseconds; waited += 50) {
    const std::vector<HWND> forms = VisibleTopLevelWindows(Id, "TKirusaF");
    if (!forms.empty())
      Form = forms[0];
    else
      Sleep(50);
  }
  if (!Form) throw std::runtime_error("the Orveline dialog did not appear");
  GetWindowThreadProcessId(Form, &ProcessId);
  for (HWND child : ChildWindows(Form)) {
    const std::string cls = WindowClassOf(child);
    if (cls == "Edit")
      Edit1 = child;
    else if (cls == "Button")
      Button1 = child;
    else if (cls == "OrvelineWindowedControl")
      (RunButton ? CloseButton : RunButton) = child;  // created in tab order: run, close
  }
}

void TDialogDriver::Type(const std::string& Text) {
  SendMessageA(Edit1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()));
}

std::string TDialogDriver::FileName() const { return ReadWindowText(Edit1); }

void TDialogDriver::Click(HWND Button) {
  PostMessageA(Button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  PostMessageA(Button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
}

HWND TDialogDriver::FocusedWindow() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(Form, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

std::string TDialogDriver::MessageBoxText() const {
  for (HWND box : VisibleTopLevelWindows(ProcessId, "#32770"))
    for (HWND child : ChildWindows(box))
      if (WindowClassOf(child) == "Static" && !ReadWindowText(child).empty()) return ReadWindowText(child);
  return std::string();
}

void TDialogDriver::DismissMessageBox() const {
  for (HWND box : VisibleTopLevelWindows(ProcessId, "#32770")) PostMessageA(box, WM_COMMAND, IDOK, 0);
}
