// The one message the report shows itself ("ファイルを作成できません").
// Each program defines this: the dialog shows a message box, the
// command-line tool writes a line on standard error.
#pragma once

#include <string>

// Text is code-page-932 bytes.
void ShowReportMessage(const std::string& Text);
