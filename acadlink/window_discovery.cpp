#include "acadlink/window_discovery.h"

#include <cstring>
#include <exception>
#include <string>

#include "win32/window_text.h"

namespace {

// Link state: none at program start; a kept handle is trusted only while
// IsWindow holds for it.
HWND AcadWnd = nullptr;
DWORD AcadProcessId = 0;
HWND AcadTextWnd = nullptr;
HWND AcadCommandLineWnd = nullptr;
HWND InputPaneWnd = nullptr;
HWND OutputPaneWnd = nullptr;

// Window texts and class names are read into 256-byte buffers with 255 as
// the count given to the platform, so at most 254 bytes are seen. An empty
// text reads as "" and matches nothing below.
struct TNameBuffer {
  char text[256];
};

TNameBuffer ReadCaption(HWND Wnd) {
  TNameBuffer b{};
  if (GetWindowTextA(Wnd, b.text, 255) <= 0) b.text[0] = '\0';
  return b;
}

TNameBuffer ReadClassName(HWND Wnd) {
  TNameBuffer b{};
  if (GetClassNameA(Wnd, b.text, 255) <= 0) b.text[0] = '\0';
  return b;
}

DWORD OwnerProcess(HWND Wnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(Wnd, &pid);
  return pid;
}

bool StartsWith(const char* Text, const char* Prefix) { return std::strncmp(Text, Prefix, std::strlen(Prefix)) == 0; }

bool Contains(const char* Text, const char* Needle) { return std::strstr(Text, Needle) != nullptr; }

// Substring test that only starts a match at a character boundary of a
// text in the ANSI code page, so the trail byte of a double-byte character
// never begins a match.
bool ContainsMbcs(const char* Text, const char* Needle) {
  const std::size_t n = std::strlen(Needle);
  for (const char* p = Text; *p != '\0';) {
    if (std::strncmp(p, Needle, n) == 0) return true;
    if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != '\0')
      p += 2;
    else
      p += 1;
  }
  return false;
}

// Frame classes of the CAD program: "Afx:...:8:..." or one of the MDI frame
// classes "AfxMDIFrame10u" .. "AfxMDIFrame140u". Case-sensitive.
bool IsAcadFrameClass(const char* ClassName) {
  if (StartsWith(ClassName, "Afx:") && Contains(ClassName, ":8:")) return true;
  for (int n = 10; n <= 140; n += 10) {
    const std::string name = "AfxMDIFrame" + std::to_string(n) + "u";
    if (Contains(ClassName, name.c_str())) return true;
  }
  return false;
}

// One enumeration of windows with a per-window probe. The probe returns
// true to go on; an exception inside it is caught in the callback and
// rethrown once the platform call has returned.
template <class Probe>
struct TEnumCall {
  Probe probe;
  std::exception_ptr error;

  static BOOL CALLBACK Callback(HWND Wnd, LPARAM Param) {
    auto* call = reinterpret_cast<TEnumCall*>(Param);
    try {
      return call->probe(Wnd) ? TRUE : FALSE;
    } catch (...) {
      call->error = std::current_exception();
      return FALSE;
    }
  }
};

template <class Probe>
void EnumTopLevel(Probe Visit) {
  TEnumCall<Probe> call{Visit, nullptr};
  EnumWindows(&TEnumCall<Probe>::Callback, reinterpret_cast<LPARAM>(&call));
  if (call.error) std::rethrow_exception(call.error);
}

template <class Probe>
void EnumDescendants(HWND Parent, Probe Visit) {
  TEnumCall<Probe> call{Visit, nullptr};
  EnumChildWindows(Parent, &TEnumCall<Probe>::Callback, reinterpret_cast<LPARAM>(&call));
  if (call.error) std::rethrow_exception(call.error);
}

bool MainWindowProbe(HWND Wnd) {
  const TNameBuffer text = ReadCaption(Wnd);
  bool accept = false;
  if (StartsWith(text.text, "AutoCAD ") || StartsWith(text.text, "Autodesk ") || StartsWith(text.text, "ACAD")) {
    accept = IsAcadFrameClass(ReadClassName(Wnd).text);
  } else if (StartsWith(text.text, "DraftSight")) {
    accept = Contains(ReadClassName(Wnd).text, "QPopup");
  }
  if (!accept) return true;
  AcadWnd = Wnd;
  AcadProcessId = OwnerProcess(Wnd);
  return false;
}

const char kTextWindowWords[] =
    "\x83\x65\x83\x4c\x83\x58\x83\x67\x20\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45";  // テキスト ウィンドウ
const char kCommandWindowTitle[] =
    "\x83\x52\x83\x7d\x83\x93\x83\x68\x20\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45";  // コマンド ウィンドウ
const char kCommandLineWords[] = "\x83\x52\x83\x7d\x83\x93\x83\x68\x20\x83\x89\x83\x43\x83\x93";  // コマンド ライン

bool TextWindowProbe(HWND Wnd) {
  const TNameBuffer text = ReadCaption(Wnd);
  bool accept = false;
  if (StartsWith(text.text, "AutoCAD ")) {
    const TNameBuffer cls = ReadClassName(Wnd);
    accept = StartsWith(cls.text, "Afx:") && Contains(cls.text, ":b:") && ContainsMbcs(text.text, kTextWindowWords) &&
             OwnerProcess(Wnd) == AcadProcessId;
  } else if (std::strcmp(text.text, kCommandWindowTitle) == 0) {
    // The first 20 bytes, the title's terminating zero among them, must
    // match: only the exact title passes.
    accept = OwnerProcess(Wnd) == AcadProcessId;
  }
  if (!accept) return true;
  AcadTextWnd = Wnd;
  return false;
}

bool CommandLineWindowProbe(HWND Wnd) {
  const TNameBuffer text = ReadCaption(Wnd);
  if (!ContainsMbcs(text.text, kCommandLineWords)) return true;
  const TNameBuffer cls = ReadClassName(Wnd);
  if (!(StartsWith(cls.text, "Afx:") && Contains(cls.text, ":8:"))) return true;
  AcadCommandLineWnd = Wnd;
  return false;
}

bool PaneProbe(HWND Wnd) {
  const TNameBuffer text = ReadCaption(Wnd);
  if (std::strcmp(text.text, "Headlands") == 0)
    InputPaneWnd = Wnd;
  else if (std::strcmp(text.text, "MountTam") == 0)
    OutputPaneWnd = Wnd;
  else if (std::strcmp(text.text, "input") == 0)
    InputPaneWnd = Wnd;
  else if (std::strcmp(text.text, "output") == 0)
    OutputPaneWnd = Wnd;
  // Both panes known: the search ends here.
  return InputPaneWnd == nullptr || OutputPaneWnd == nullptr;
}

void SearchPanes(HWND Parent) { EnumDescendants(Parent, PaneProbe); }

}  // namespace

HWND FindAcadWindow() {
  if (!IsLive(AcadWnd)) EnumTopLevel(MainWindowProbe);
  return AcadWnd;
}

bool ActivateAcad() {
  FindAcadWindow();
  if (!IsLive(AcadWnd)) return false;
  SetForegroundWindow(AcadWnd);
  return true;
}

HWND FindAcadTextWindow() {
  AcadTextWnd = nullptr;
  EnumTopLevel(TextWindowProbe);
  return AcadTextWnd;
}

HWND FindCommandInputPane() {
  if (!IsLive(AcadWnd)) FindAcadWindow();
  if (IsLive(AcadWnd) && !IsLive(InputPaneWnd)) {
    // Panes of a command line that has gone are forgotten, or a set but dead
    // handle would end the search before the new pane is reached.
    InputPaneWnd = nullptr;
    if (!IsLive(OutputPaneWnd)) OutputPaneWnd = nullptr;
    SearchPanes(AcadWnd);
    if (!IsLive(InputPaneWnd)) {
      EnumTopLevel(CommandLineWindowProbe);
      if (IsLive(AcadCommandLineWnd)) {
        SearchPanes(AcadCommandLineWnd);
      } else if (FindAcadTextWindow() != nullptr) {
        SearchPanes(AcadTextWnd);
      }
    }
  }
  return IsLive(InputPaneWnd) ? InputPaneWnd : nullptr;
}

TAcadLinkState AcadLinkState() {
  return {AcadWnd, AcadProcessId, AcadTextWnd, AcadCommandLineWnd, InputPaneWnd, OutputPaneWnd};
}

void ResetAcadLink() {
  AcadWnd = nullptr;
  AcadProcessId = 0;
  AcadTextWnd = nullptr;
  AcadCommandLineWnd = nullptr;
  InputPaneWnd = nullptr;
  OutputPaneWnd = nullptr;
}
