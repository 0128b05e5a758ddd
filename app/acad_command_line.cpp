#include "app/acad_command_line.h"

#include "acadlink/command_transport.h"
#include "acadlink/window_discovery.h"
#include "app/completion_notice.h"

bool TAcadCommandLine::ActivateAcad() { return ::ActivateAcad(); }

HWND TAcadCommandLine::FindCommandInputPane() { return ::FindCommandInputPane(); }

bool TAcadCommandLine::AcadAlive() { return IsWindow(::FindAcadWindow()) != FALSE; }

void TAcadCommandLine::SendCommandText(const std::wstring& Text) {
  ::SendCommandText(Text);  // the run does not look at the result
}

std::string TAcadCommandLine::ReadCommandLine() { return ::ReadCommandLine(); }

void TAcadCommandLine::DrawCompletionNotice(HWND Pane, const std::string& Text) { ::DrawCompletionNotice(Pane, Text); }
