// The small windows that follow a run that wrote a list: what it listed, with
// buttons to open the list or its folder, and the word about polylines that
// the plain list measures short.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The windows' class names, for those who look for them from outside.
extern const char* const ResultsWindowClassName;
extern const char* const ShortMeasureWindowClassName;

// Lines ended by "\n" as Windows controls show them: ended by "\r\n", the
// last one without.
std::string ControlText(const std::string& Lines);

// Shows Summary (code page 932, lines ended by "\r\n") over Owner, in Owner's
// font, with "開く", "フォルダを開く" and "閉じる", until the user chooses one
// (Enter opens, Esc closes). "開く" asks the shell to open the CSV file at
// CsvPath, "フォルダを開く" its folder. Owner is disabled meanwhile.
void ShowResultsWindow(HWND Owner, HFONT Font, int Dpi, const std::string& Summary, const std::string& CsvPath);

// The message about polylines measured short: Bulged measured with their arcs
// as chords, Closed without their closing edges (a line each, only when not
// 0), and the setting that measures them as drawn.
std::string ShortMeasureText(std::int64_t Bulged, std::int64_t Closed);

// Shows ShortMeasureText over Owner, in Owner's font, with the check box
// "今後表示しない" and OK, until OK, Enter, Esc or the close box. True when the
// box was checked: the user asks not to be told again.
bool ShowShortMeasureWindow(HWND Owner, HFONT Font, int Dpi, std::int64_t Bulged, std::int64_t Closed);
