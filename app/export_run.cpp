#include "app/export_run.h"

#include "acadlink/ansi_text.h"
#include "app/file_names.h"
#include "report/length_report.h"
#include "report/report_message.h"

#include <stdexcept>

const char* const IdlePrompt = "\x83\x52\x83\x7d\x83\x93\x83\x68\x3a\x20";  // コマンド:

namespace {

const char* const AskExport = "\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xdc\x82\xb7\x82\xa9";   // 書き出しますか
const char* const AskReplace = "\x92\x75\x82\xab\x8a\xb7\x82\xa6\x82\xdc\x82\xb7\x82\xa9";  // 置き換えますか
const char* const NoFileNameMessage =
    "\x95\xdb\x91\xb6\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc\x82\xaa\x8e\x77"
    "\x92\xe8\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1";  // 保存ファイル名が指定されていません

// The dialog of the run in progress (none between runs), so that the report's
// "cannot create" message goes to it.
TRunDialogPort* CurrentDialog = nullptr;

class TRunGuard {
 public:
  explicit TRunGuard(TRunDialogPort& Dialog) { CurrentDialog = &Dialog; }
  ~TRunGuard() { CurrentDialog = nullptr; }
  TRunGuard(const TRunGuard&) = delete;
  TRunGuard& operator=(const TRunGuard&) = delete;
};

bool FileExists(const std::string& Path) { return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool Contains(const std::string& Line, const char* Phrase) { return Line.find(Phrase) != std::string::npos; }

std::string WaitAndRead(TRunDialogPort& Dialog, TCommandLinePort& Cad, const TExportRunTiming& Timing) {
  Sleep(Timing.PollInterval);
  Dialog.ProcessMessages();
  return Cad.ReadCommandLine();
}

// Waits for the user's selection to end at the idle prompt. False when the run
// must end instead: the CAD program went away or the user closed the dialog.
bool AwaitSelection(TRunDialogPort& Dialog, TCommandLinePort& Cad, const TExportRunTiming& Timing) {
  for (;;) {
    const std::string line = WaitAndRead(Dialog, Cad, Timing);
    if (line == IdlePrompt) return true;
    if (!Cad.AcadAlive()) return false;
    if (Dialog.CloseRequested()) {
      Cad.SendCommandText(L"\x0003");  // cancel the pending selection
      return false;
    }
  }
}

void AwaitExport(TRunDialogPort& Dialog, TCommandLinePort& Cad, const TExportRunTiming& Timing) {
  for (int poll = 0; poll < Timing.MaxExportPolls; ++poll) {
    const std::string line = WaitAndRead(Dialog, Cad, Timing);
    // A question still on the line at the next poll is answered again.
    if (Contains(line, AskExport)) Cad.SendCommandText(L"Y\r");
    if (Contains(line, AskReplace)) Cad.SendCommandText(L"Y\r");
    if (line == IdlePrompt || line.empty()) return;
    if (Dialog.CloseRequested()) return;
  }
}

}  // namespace

bool ExportRunActive() { return CurrentDialog != nullptr; }

void ShowReportMessage(const std::string& Text) {
  if (CurrentDialog)
    CurrentDialog->ShowMessage(Text);
  else
    MessageBoxA(nullptr, Text.c_str(), "Orveline", MB_OK | MB_ICONERROR);
}

TExportRunEnd RunExport(TRunDialogPort& Dialog, TCommandLinePort& Cad, const std::string& WorkFileBase,
                        const TExportRunTiming& Timing) {
  if (Dialog.ResultFileName().empty()) {
    Dialog.ShowMessage(NoFileNameMessage);
    return TExportRunEnd::NoFileName;
  }
  if (CurrentDialog) throw std::logic_error("export run entered twice");
  TRunGuard guard(Dialog);

  Dialog.Minimize();
  const std::string dxfPath = WorkFileBase + ".dxf";
  DeleteFileA(dxfPath.c_str());
  const std::string csvPath = ChangeFileExt(Dialog.ResultFileName(), ".csv");
  DeleteFileA(csvPath.c_str());

  HWND pane = nullptr;
  bool selected = false;
  const bool acadFound = Cad.ActivateAcad();
  if (acadFound) {
    pane = Cad.FindCommandInputPane();
    Cad.SendCommandText(
        L"\x0003"
        L"SELECT P\rU\r\r");
    Cad.SendCommandText(
        L"\x0003"
        L"SELECT ");
    selected = AwaitSelection(Dialog, Cad, Timing);
    if (selected) {
      Cad.SendCommandText(L"FILEDIA 0 ");
      // Assembled in the ANSI code page, which the path is in, then widened.
      Cad.SendCommandText(AnsiToWide("DXFOUT \"" + dxfPath + "\"\rVER 2000 OBJ PREV \r16 "));
      AwaitExport(Dialog, Cad, Timing);
      Cad.SendCommandText(L"FILEDIA 1 ");
    }
  }
  Dialog.Restore();

  if (!acadFound) return TExportRunEnd::NoAcad;
  if (!selected || Dialog.CloseRequested()) return TExportRunEnd::SelectionAbandoned;
  if (!FileExists(dxfPath)) return TExportRunEnd::NoDxf;
  // Only this run's CSV file is announced: a stale one that could not be
  // deleted is not, when the report could not create the file anew.
  if (!WriteLengthReport(dxfPath, csvPath, Dialog.ReportOptions()) || !FileExists(csvPath))
    return TExportRunEnd::ReportNotCreated;
  if (pane) Cad.DrawCompletionNotice(pane, CompletionNoticeText(csvPath));
  return TExportRunEnd::Reported;
}
