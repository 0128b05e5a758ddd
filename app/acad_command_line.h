// The export run's view of the real CAD program: its windows, found and
// talked to through the command-line link.
#pragma once

#include "app/export_run.h"

class TAcadCommandLine : public TCommandLinePort {
 public:
  bool ActivateAcad() override;
  HWND FindCommandInputPane() override;
  bool AcadAlive() override;
  void SendCommandText(const std::wstring& Text) override;
  std::string ReadCommandLine() override;
  void DrawCompletionNotice(HWND Pane, const std::string& Text) override;
};
