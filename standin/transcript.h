// The stand-in's transcript: one event per line, CR LF, text in code page
// 932, so a test reads back exactly what arrived and in which order.
#pragma once

#include <string>

// Control characters (below 0x20 and 0x7F) and '<' written as <HH>, so that
// every line is one event and the typed bytes can be read back exactly.
std::string EscapeTranscriptText(const std::string& Text);

// Appends the escaped line and CR LF to the file at Path (created if
// missing); nothing when Path is empty or cannot be opened.
void AppendTranscriptLine(const std::string& Path, const std::string& Line);
