// The one message that the dialog's list shows itself
// ("ファイルを作成できません"), through WriteLengthReport. The dialog defines
// this as a message box (and a test as a record of what was shown). It only
// shows the message; the caller learns from WriteLengthReport's result that
// the CSV file was not created.
#pragma once

#include <string>

// Text is code-page-932 bytes.
void ShowReportMessage(const std::string& Text);
