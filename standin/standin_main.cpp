// The stand-in for the CAD program: a main frame window and a command line
// whose input pane shows the prompt, driven through WM_COPYDATA exactly as
// the real program is. Used by the tests and the demo; see README.md here
// for its options and its transcript.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "acadlink/ansi_text.h"
#include "standin/command_peer.h"
#include "standin/drawing.h"
#include "standin/standin_options.h"
#include "standin/standin_windows.h"

namespace {

bool FileExists(const std::string& Path) { return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WriteFileBytes(const std::string& Path, const std::string& Bytes) {
  std::FILE* f = std::fopen(Path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(Bytes.data(), 1, Bytes.size(), f) == Bytes.size();
  return std::fclose(f) == 0 && ok;
}

bool ReadFileBytes(const std::string& Path, std::string& Bytes) {
  std::FILE* f = std::fopen(Path.c_str(), "rb");
  if (f == nullptr) return false;
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) Bytes.append(buf, n);
  std::fclose(f);
  return true;
}

std::vector<std::string> Arguments() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(WideToAnsi(argv[i]));
  LocalFree(argv);
  return args;
}

// What the command line needs of the windows, the timers and the files.
TPeerHost MakePeerHost() {
  TPeerHost host;
  host.promptShown = [](const std::string& p) {
    Transcribe("PROMPT " + p);
    RepaintPanes();
  };
  host.historyLine = [](const std::string& line) {
    Standin->history.push_back(line);
    while (Standin->history.size() > static_cast<std::size_t>(kHistoryRows)) Standin->history.pop_front();
  };
  host.note = [](const std::string& what) { Transcribe(what); };
  host.startUserTimer = [](unsigned ms) { SetTimer(Standin->frame, kUserTimer, ms, nullptr); };
  host.startExportTimer = [](unsigned ms) { SetTimer(Standin->frame, kExportTimer, ms, nullptr); };
  host.fileExists = FileExists;
  host.writeFile = WriteExportFile;
  host.closeProgram = CloseEverything;
  host.startLingerTimer = [](unsigned ms) { SetTimer(Standin->frame, kLingerTimer, ms, nullptr); };
  host.openFileDialog = [] { PostMessageW(Standin->frame, kOpenFileDialogMessage, 0, 0); };
  return host;
}

int Run() {
  TStandin standin;
  Standin = &standin;
  std::string error;
  if (!ParseStandinOptions(Arguments(), standin.options, error)) {
    std::fprintf(stderr, "standin: %s\n", error.c_str());
    return 2;
  }
  const TStandinOptions& o = standin.options;

  TDrawing drawing;
  if (!o.drawing.empty()) {
    std::string bytes;
    if (!ReadFileBytes(o.drawing, bytes)) {
      std::fprintf(stderr, "standin: cannot read %s\n", o.drawing.c_str());
      return 2;
    }
    drawing = ParseDrawing(bytes);
  }
  for (std::size_t i = 0; i < drawing.entities.size(); ++i) standin.shapes.push_back(EntityShape(drawing, i));
  standin.peer = std::make_unique<TCommandPeer>(MakePeerHost(), o.peer, std::move(drawing));

  standin.font =
      TFontHandle(CreateFontW(-15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"MS Gothic"));
  if (!CreateStandinWindows()) {
    std::fprintf(stderr, "standin: cannot create the main window\n");
    return 2;
  }

  standin.peer->Start();
  ShowWindow(standin.frame, SW_SHOWNORMAL);
  UpdateWindow(standin.frame);
  if (standin.commandHost != nullptr) {
    ShowWindow(standin.commandHost, SW_SHOWNOACTIVATE);
    UpdateWindow(standin.commandHost);
  }
  Transcribe("READY " + std::to_string(GetCurrentProcessId()));
  if (!o.ready.empty()) WriteFileBytes(o.ready, std::to_string(GetCurrentProcessId()) + "\r\n");

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  Standin = nullptr;
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    return Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "standin: %s\n", e.what());
    return 3;
  }
}
