#include "app/export_run.h"

#include <algorithm>
#include <stdexcept>

#include "acadlink/ansi_text.h"
#include "acadlink/command_transport.h"
#include "app/file_names.h"
#include "dxf/dxf_errors.h"
#include "report/length_report.h"
#include "report/report_message.h"
#include "text/shift_jis.h"

namespace {

const char* const kIdlePrompt = "\x83\x52\x83\x7d\x83\x93\x83\x68\x3a\x20";  // コマンド:

const char* const kAskExport = "\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xdc\x82\xb7\x82\xa9";   // 書き出しますか
const char* const kAskReplace = "\x92\x75\x82\xab\x8a\xb7\x82\xa6\x82\xdc\x82\xb7\x82\xa9";  // 置き換えますか
const char* const kNoFileNameMessage =
    "\x95\xdb\x91\xb6\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc\x82\xaa\x8e\x77"
    "\x92\xe8\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1";  // 保存ファイル名が指定されていません
const char* const kCannotCreateMessage =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1";  // ファイルを作成できません
const char* const kNoAcadMessage =
    "CAD \x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1"
    "\x81\x42\x90\x7d\x96\xca\x82\xf0\x8a\x4a\x82\xa2\x82\xc4\x82\xa9\x82\xe7\x8e\xc0\x8d\x73\x82\xb5\x82\xc4"
    "\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42";  // CAD プログラムが見つかりません。図面を開いてから実行してください。
const char* const kAcadClosedMessage =
    "CAD \x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80\x82\xaa\x8f\x49\x97\xb9\x82\xb5\x82\xdc\x82\xb5\x82\xbd"
    "\x81\x42";  // CAD プログラムが終了しました。

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

// What a path held when looked at: whether a file was there, its last write
// time and its size.
struct TFileState {
  bool Exists = false;
  ULONGLONG WriteTime = 0;  // 100 ns units
  ULONGLONG Size = 0;
};

TFileState FileStateOf(const std::string& Path) {
  TFileState state;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(Path.c_str(), GetFileExInfoStandard, &data)) return state;
  state.Exists = true;
  state.WriteTime = (ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
  state.Size = (ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  return state;
}

// Whether a file can be created in the folder of Path: a probe file of a
// name no other program uses is created there and removed again. The list
// itself is not touched. A path without a folder is in the current one.
bool CanCreateFileBeside(const std::string& Path) {
  const std::size_t slash = FindLastShiftJisOf(Path, "\\/:");
  const std::string folder = slash == std::string::npos ? std::string() : Path.substr(0, slash + 1);
  const std::string stem =
      folder + "~orveline-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string probe = stem + std::to_string(attempt) + ".tmp";
    const HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      DeleteFileA(probe.c_str());
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

bool Contains(const std::string& Line, const char* Phrase) { return Line.find(Phrase) != std::string::npos; }

// One poll: sleep, let the dialog handle its messages, then read the line.
void Pause(TRunDialogPort& Dialog, const TExportRunTiming& Timing) {
  Sleep(Timing.PollInterval);
  Dialog.ProcessMessages();
}

std::string WaitAndRead(TRunDialogPort& Dialog, TCommandLinePort& Cad, const TExportRunTiming& Timing) {
  Pause(Dialog, Timing);
  return Cad.ReadCommandLine();
}

// Whether the idle prompt read now ends a wait. The prompt that was on the
// line before the text that started the wait does not: only one seen after
// the line has left it (or after the text has visibly been carried out:
// Done), or once the bound for leaving it has passed.
class TIdlePromptFilter {
 public:
  explicit TIdlePromptFilter(const TExportRunTiming& Timing) : maxPolls_(Timing.MaxLeavePolls) {}
  bool EndsWait(const std::string& Line, bool Done = false) {
    if (!left_) {
      seenLeaving_ = Line != kIdlePrompt;
      left_ = seenLeaving_ || Done || ++polls_ >= maxPolls_;
    }
    return left_ && Line == kIdlePrompt;
  }
  // How many polls the line still showed the idle prompt of before, when it
  // was then seen to leave it: how late the command line takes typed text
  // up. 0 when that was not seen.
  int LagPolls() const { return seenLeaving_ ? polls_ : 0; }

 private:
  int maxPolls_;
  int polls_ = 0;
  bool left_ = false;
  bool seenLeaving_ = false;
};

enum class TSelectionEnd { Selected, AcadGone, DialogClosed };

// Waits for the user's selection to end at the idle prompt, unless the CAD
// program goes away or the user closes the dialog first.
TSelectionEnd AwaitSelection(TRunDialogPort& Dialog, TCommandLinePort& Cad, const TExportRunTiming& Timing,
                             TIdlePromptFilter& Idle) {
  for (;;) {
    const std::string line = WaitAndRead(Dialog, Cad, Timing);
    if (Idle.EndsWait(line)) return TSelectionEnd::Selected;
    if (!Cad.AcadAlive()) return TSelectionEnd::AcadGone;
    if (Dialog.CloseRequested()) {
      Cad.SendCommandText(L"\x0003");  // cancel the pending selection
      return TSelectionEnd::DialogClosed;
    }
  }
}

enum class TExportWaitEnd { AtPrompt, EmptyLine, Bound };

bool WrittenSince(const TFileState& Before, const TFileState& Now) {
  return Now.Exists && (!Before.Exists || Now.WriteTime > Before.WriteTime);
}

// Answers the export's questions until the CAD program is back at its
// prompt. A close asked for meanwhile waits for this wait to end. A DXF
// file written since LeftOver shows that the export command was taken, even
// when the line was never seen away from the prompt.
TExportWaitEnd AwaitExport(TRunDialogPort& Dialog, TCommandLinePort& Cad, const TExportRunTiming& Timing,
                           const std::string& DxfPath, const TFileState& LeftOver, TIdlePromptFilter& Idle) {
  for (int poll = 0; poll < Timing.MaxExportPolls; ++poll) {
    const std::string line = WaitAndRead(Dialog, Cad, Timing);
    // A question still on the line at the next poll is answered again.
    if (Contains(line, kAskExport)) Cad.SendCommandText(L"Y\r");
    if (Contains(line, kAskReplace)) Cad.SendCommandText(L"Y\r");
    if (Idle.EndsWait(line, line == kIdlePrompt && WrittenSince(LeftOver, FileStateOf(DxfPath))))
      return TExportWaitEnd::AtPrompt;
    if (line.empty()) return TExportWaitEnd::EmptyLine;
  }
  return TExportWaitEnd::Bound;
}

// The DXF file of this run, once its size holds still from one poll to the
// next (the CAD program may still be writing it).
bool SizeHoldsStill(TRunDialogPort& Dialog, const std::string& Path, const TExportRunTiming& Timing) {
  TFileState last = FileStateOf(Path);
  for (int poll = 0; last.Exists && poll < Timing.MaxSettlePolls; ++poll) {
    Pause(Dialog, Timing);
    const TFileState now = FileStateOf(Path);
    if (now.Exists && now.Size == last.Size) return true;
    last = now;
  }
  return false;
}

// A command line that takes typed text up late repaints itself when it takes
// up the last text, "FILEDIA 1 ", and a notice painted before that is wiped
// at once. The line shows the idle prompt before and after, so the notice
// waits twice as many polls as the line was seen to lag, and until the line
// shows the idle prompt, within the bound for leaving it. No wait without a
// lag seen. False when the CAD program does not answer: it gets no notice.
bool AwaitLastTextTakenUp(TRunDialogPort& Dialog, TCommandLinePort& Cad, const TExportRunTiming& Timing, int LagPolls) {
  if (LagPolls == 0) return true;
  try {
    for (int poll = 1; poll <= Timing.MaxLeavePolls; ++poll)
      if (WaitAndRead(Dialog, Cad, Timing) == kIdlePrompt && poll > 2 * LagPolls) break;
  } catch (const TCadNotAnswering&) {
    return false;
  }
  return true;
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
    Dialog.ShowMessage(kNoFileNameMessage);
    return TExportRunEnd::NoFileName;
  }
  if (CurrentDialog) throw std::logic_error("export run entered twice");
  TRunGuard guard(Dialog);

  // A list that could not be saved is said before the user selects anything.
  // The old list stays where it is until the report replaces it with a
  // complete one.
  const std::string csvPath = ChangeFileExt(Dialog.ResultFileName(), ".csv");
  if (!CanCreateFileBeside(csvPath)) {
    Dialog.ShowMessage(kCannotCreateMessage);
    return TExportRunEnd::ReportNotCreated;
  }

  Dialog.Minimize();
  const std::string dxfPath = WorkFileBase + ".dxf";
  DeleteFileA(dxfPath.c_str());
  // A DXF file that could not be deleted (held open, read-only) is no
  // export of this run unless the CAD program writes it anew.
  const TFileState leftOver = FileStateOf(dxfPath);

  HWND pane = nullptr;
  TSelectionEnd selection = TSelectionEnd::DialogClosed;
  bool acadClosed = false;
  bool dxfComplete = false;
  TIdlePromptFilter selectionIdle(Timing), exportIdle(Timing);
  const bool acadFound = Cad.ActivateAcad();
  try {
    if (acadFound) {
      pane = Cad.FindCommandInputPane();
      Cad.SendCommandText(
          L"\x0003"
          L"SELECT P\rU\r\r");
      Cad.SendCommandText(
          L"\x0003"
          L"SELECT ");
      selection = AwaitSelection(Dialog, Cad, Timing, selectionIdle);
      acadClosed = selection == TSelectionEnd::AcadGone;
      if (selection == TSelectionEnd::Selected) {
        Cad.SendCommandText(L"FILEDIA 0 ");
        // Assembled in the ANSI code page, which the path is in, then widened.
        Cad.SendCommandText(AnsiToWide("DXFOUT \"" + dxfPath + "\"\rVER 2000 OBJ PREV \r16 "));
        const TExportWaitEnd end = AwaitExport(Dialog, Cad, Timing, dxfPath, leftOver, exportIdle);
        if (end == TExportWaitEnd::AtPrompt) {
          dxfComplete = true;
        } else if (!Cad.AcadAlive()) {
          // Gone in the middle of the export: whatever it left is no
          // complete export.
          acadClosed = true;
        } else {
          // A question or a dialog may still be pending, perhaps inside
          // another prompt: two cancels reach the prompt before FILEDIA.
          Cad.SendCommandText(L"\x0003\x0003");
          dxfComplete = SizeHoldsStill(Dialog, dxfPath, Timing);
        }
        if (!acadClosed) Cad.SendCommandText(L"FILEDIA 1 ");
      }
    }
  } catch (const TCadNotAnswering& e) {
    // As if the CAD program had gone, but the user is told.
    Dialog.Restore();
    Dialog.ShowMessage(e.what());
    return TExportRunEnd::AcadNotAnswering;
  }
  Dialog.Restore();

  if (!acadFound) {
    Dialog.ShowMessage(kNoAcadMessage);
    return TExportRunEnd::NoAcad;
  }
  if (acadClosed) {
    Dialog.ShowMessage(kAcadClosedMessage);
    return TExportRunEnd::AcadClosed;
  }
  if (selection != TSelectionEnd::Selected) return TExportRunEnd::SelectionAbandoned;
  const TFileState dxf = FileStateOf(dxfPath);
  if (!dxf.Exists) return TExportRunEnd::NoDxf;
  if (!WrittenSince(leftOver, dxf) || !dxfComplete) return TExportRunEnd::StaleDxf;
  // Only a list that this run wrote is announced; a file at the CSV path may
  // be the old list, kept because this one could not be written.
  const TReportOptions options = Dialog.ReportOptions();
  TReportResult result;
  try {
    if (!WriteExportReport(dxfPath, csvPath, options, result)) return TExportRunEnd::ReportNotCreated;
  } catch (const TFileError& e) {
    if (e.Kind() != TFileError::TKind::NothingSelected) throw;
    Dialog.ShowMessage(e.what());
    return TExportRunEnd::NothingSelected;
  }
  if (pane && AwaitLastTextTakenUp(Dialog, Cad, Timing, std::max(selectionIdle.LagPolls(), exportIdle.LagPolls())))
    Cad.DrawCompletionNotice(pane, CompletionNoticeText(csvPath));
  // The plain list measures a polyline's arcs by their chords and leaves the
  // closing edge of a closed one out: never without a word to the user.
  std::int64_t bulged = 0, closed = 0;
  for (const TDrawingSummary& drawing : result.Drawings) {
    bulged += drawing.BulgedPolylines;
    closed += drawing.ClosedPolylines;
  }
  if (!options.Exact && (bulged > 0 || closed > 0)) Dialog.TellShortMeasures(bulged, closed);
  Dialog.ShowRunResult(csvPath, result, options.Exact);
  return TExportRunEnd::Reported;
}
