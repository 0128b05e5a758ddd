// The one message the report shows itself ("ファイルを作成できません").
// Each program defines this: the dialog shows a message box, the
// command-line tool writes a line on standard error. It only shows the
// message; the report's caller learns from WriteLengthReport's result that
// the CSV file was not created.
#pragma once

#include <string>

// Text is code-page-932 bytes.
void ShowReportMessage(const std::string& Text);
