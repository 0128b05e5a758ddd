// The export run: the one job of the program. It has the user select entities
// in the CAD program, has the CAD program export them to this start's DXF file,
// writes the quantity list and paints where it was saved.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "report/report_options.h"
#include "report/report_run.h"

// What the run needs of the CAD program's command line. The program's own
// implementation talks to the real windows; the tests script the conversation.
class TCommandLinePort {
 public:
  virtual ~TCommandLinePort() = default;
  // Finds the CAD program's main window and brings it to the front; false
  // when the CAD program is not running.
  virtual bool ActivateAcad() = 0;
  virtual HWND FindCommandInputPane() = 0;
  // The main window found by ActivateAcad is still a live window.
  virtual bool AcadAlive() = 0;
  // Hands the text to the command line as typed input. Throws
  // TCadNotAnswering when the CAD program does not take it in time.
  virtual void SendCommandText(const std::wstring& Text) = 0;
  // The input pane's whole text (the prompt line), code page 932; empty when
  // there is no pane. Throws TCadNotAnswering when the CAD program does not
  // answer in time.
  virtual std::string ReadCommandLine() = 0;
  virtual void DrawCompletionNotice(HWND Pane, const std::string& Text) = 0;
};

// What the run needs of the dialog that started it.
class TRunDialogPort {
 public:
  virtual ~TRunDialogPort() = default;
  virtual std::string ResultFileName() = 0;  // the text of the file-name box
  virtual void ShowMessage(const std::string& Text) = 0;
  virtual void Minimize() = 0;
  virtual void Restore() = 0;
  // Handles every pending window message, so the dialog stays alive.
  virtual void ProcessMessages() = 0;
  // The user asked to close the dialog while the run waited.
  virtual bool CloseRequested() = 0;
  // The settings of the list this run writes.
  virtual TReportOptions ReportOptions() { return {}; }
  // After the notice of a run whose plain list measured polylines short:
  // Bulged with an arc segment measured by its chord, Closed without the
  // closing edge. The dialog tells the user, unless asked not to any more.
  virtual void TellShortMeasures(std::int64_t /*Bulged*/, std::int64_t /*Closed*/) {}
  // After every run that wrote a list (and after TellShortMeasures): what
  // it listed and what not, for the dialog to show when its settings ask.
  virtual void ShowRunResult(const std::string& /*CsvPath*/, const TReportResult& /*Result*/, bool /*Exact*/) {}
};

struct TExportRunTiming {
  DWORD PollInterval = 200;  // ms slept before each read of the prompt
  int MaxExportPolls = 600;  // bound of the wait for the export
  // A command line that takes typed text through its message queue still
  // shows the idle prompt for a while after the text that starts a wait;
  // the wait ends at the idle prompt only once the line has left it, or
  // after this many polls (5 s) when it never does. The same bound holds
  // the notice back while such a line takes the last text up.
  int MaxLeavePolls = 25;
  // After an export wait that did not end at the prompt, the DXF file is
  // taken only once its size holds still from one poll to the next, within
  // this many polls.
  int MaxSettlePolls = 25;
};

// How a run ended, for the caller's tests; the user learns it from the dialog,
// a message box or the notice.
enum class TExportRunEnd {
  NoFileName,          // the file-name box was empty
  NoAcad,              // the CAD program is not running: nothing typed (message shown)
  AcadClosed,          // the CAD program closed before its export was complete (message shown)
  SelectionAbandoned,  // the dialog was closed during the selection
  NoDxf,               // the CAD program wrote no DXF file
  StaleDxf,            // a DXF file is there, but not written by this run, or still growing
  AcadNotAnswering,    // a send or read was not answered in time (message shown)
  ReportNotCreated,    // the CSV file cannot be created, checked before anything is typed, or the
                       // report did not write it (message shown); the old one stays
  NothingSelected,     // the export holds no entity at all: no list (message shown); the old one stays
  Reported,            // the CSV file was written
};

// The whole run. WorkFileBase is the work folder and this start's time stamp;
// the DXF file is WorkFileBase + ".dxf". Errors of the reader and the report
// are not caught here: they leave the run after the dialog was restored. A
// CAD program that is not running, or that closes before its export is
// complete, ends the run with a message once the dialog is back; one that
// does not answer ends it as if it had gone, with the message
// "CAD が応答しません。". A CSV file that cannot be created in its folder is
// said before anything is typed. The old CSV file is left to the report,
// which replaces it only with a complete list. An export without a single
// entity writes no list and says "図形が選択されていません。".
TExportRunEnd RunExport(TRunDialogPort& Dialog, TCommandLinePort& Cad, const std::string& WorkFileBase,
                        const TExportRunTiming& Timing = {});

// True while a run is under way (a second click must not start another).
bool ExportRunActive();
