// The program's one dialog: the banner, the result file name with its browse
// button, and the run and close buttons. It stays on top of other windows.
#pragma once

#include <windows.h>

#include <string>

#include "app/acad_command_line.h"
#include "app/export_run.h"
#include "app/settings.h"
#include "widgets/es_marquee.h"
#include "widgets/pl_button.h"
#include "win32/win_handles.h"

class TKirusaF : public TRunDialogPort {
 public:
  // The dialog's window class, by which a second start finds it.
  static constexpr const char* ClassName = "TKirusaF";

  TKirusaF();
  ~TKirusaF() override;
  TKirusaF(const TKirusaF&) = delete;
  TKirusaF& operator=(const TKirusaF&) = delete;

  // Creates the window and its components, runs FormCreate and shows the
  // dialog centred on the screen. Throws when the window cannot be made.
  void Create(HINSTANCE Instance);
  HWND Handle() const { return form_; }

  // Hands one message to the dialog's keyboard handling or dispatches it;
  // used by the message loop and by the waits of the export run.
  static void DispatchOne(HWND Form, MSG& Message);

  // The event handlers.
  void FormCreate(HWND Sender);
  void FormClose(HWND Sender);
  void Button1Click(HWND Sender);  // browse
  void Button4Click(HWND Sender);  // run
  void Button5Click(HWND Sender);  // close
  void SettingsClick();            // "設定..." of the system menu

  // What the export run needs of the dialog.
  std::string ResultFileName() override;
  void ShowMessage(const std::string& Text) override;
  void Minimize() override;
  void Restore() override;
  void ProcessMessages() override;
  bool CloseRequested() override { return closeWhenIdle_; }
  TReportOptions ReportOptions() override { return RunReportOptions(settings_); }
  void TellShortMeasures(std::int64_t Bulged, std::int64_t Closed) override;
  void ShowRunResult(const std::string& CsvPath, const TReportResult& Result, bool Exact) override;

  const std::string& WorkFolder() const { return folder_; }
  const std::string& WorkFileBase() const { return fileBase_; }

  // The components, under their usual names.
  TEsScrollingMarquee EsScrollingMarquee1;
  HWND Label1 = nullptr;
  TplButton plButton1{"plButton1"};
  TplButton plButton2{"plButton2"};
  HWND Edit1 = nullptr;
  HWND Button1 = nullptr;

 private:
  static LRESULT CALLBACK WindowProc(HWND Window, UINT Message, WPARAM W, LPARAM L);
  LRESULT HandleMessage(HWND Window, UINT Message, WPARAM W, LPARAM L);
  void CreateComponents(HINSTANCE Instance);
  void Close();
  int Scale(int Pixels) const;

  HWND form_ = nullptr;
  TFontHandle font_;
  int dpi_ = 96;
  std::string folder_;
  std::string fileBase_;
  TDialogSettings settings_;            // from the settings file
  bool shortMeasuresSilenced_ = false;  // "今後表示しない" was checked
  std::string lastSaveName_;            // the save dialog starts from the last name confirmed in it
  bool closeWhenIdle_ = false;
  TAcadCommandLine acad_;
};
