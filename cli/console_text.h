// Texts of the command-line tool for the terminal: the program's messages are
// code-page-932 bytes; the terminal wants UTF-8 (Linux) or the console's code
// page (Windows).
#pragma once

#include <string>

// A code-page-932 message in the terminal's encoding.
std::string MessageForTerminal(const std::string& Cp932);

// A path as given on the command line, in the terminal's encoding.
std::string PathForTerminal(const std::string& Path);
