// The stand-in's command-line options, parsed by portable code so that the
// native suite tests them too.
#pragma once

#include <string>
#include <vector>

#include "standin/command_peer.h"

enum class TCommandLinePlace { kDocked, kFloating, kTextWindow, kCommandWindow };

struct TStandinOptions {
  std::string drawing;  // Windows paths (a host path /tmp/x becomes Z:\tmp\x)
  std::string transcript;
  std::string ready;
  std::string title;      // empty: the default main window title
  std::string className;  // empty: the default main window class
  std::string textTitle;  // empty: the default title of the separate command-line window
  bool ansi = false;
  bool inputOutputNames = false;  // panes "input"/"output" instead of "Headlands"/"MountTam"
  TCommandLinePlace place = TCommandLinePlace::kDocked;
  unsigned long killPaneAfter = 0;  // destroy the input pane after this many texts (0: never)
  unsigned lagMs = 0;               // typed text is taken up this long after it arrives
  unsigned busyDuringExportMs = 0;  // the windows answer nothing this long while the DXF file is written
  unsigned long hangAfter = 0;      // after this many texts the program answers no message (0: never)
  TPeerOptions peer;
};

// Fills Options from the arguments (without the program's name). False with
// a one-line Error for an unknown option, a missing value or a bad one.
bool ParseStandinOptions(const std::vector<std::string>& Args, TStandinOptions& Options, std::string& Error);
