// File-name rules of the export run, on code-page-932 byte strings.
#pragma once

#include <string>

// Replaces the extension of FileName by Ext (".csv"), or appends Ext when there
// is none. The extension runs from the last "." that follows the last "\" or
// ":"; the trail byte of a double-byte character is never taken for any of them.
std::string ChangeFileExt(const std::string& FileName, const std::string& Ext);

// The part of Path after its last "\" or ":" (double-byte aware).
std::string ExtractFileName(const std::string& Path);

// "集計結果を" + CsvPath + "へ保存しました"
std::string CompletionNoticeText(const std::string& CsvPath);

// "yymmddhhnnss": two digits each of the year within the century, month, day,
// hour (00-23), minute and second.
std::string FormatTimeStamp(int Year, int Month, int Day, int Hour, int Minute, int Second);
