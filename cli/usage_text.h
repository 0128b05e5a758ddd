// The command-line tool's usage text and its argument errors, in code page
// 932 like its other messages; MessageForTerminal (cli/console_text.h) shows
// them in the terminal's encoding.
#pragma once

// The usage text, shown by --help and -h.
extern const char kUsage[];

// Argument errors: each is one line after "orveline-report: ", followed by
// kTryHelp on a line of its own; the tool exits 2.
extern const char kUnknownOption[];  // the option follows
extern const char kEmptyName[];
extern const char kHeaderWithJson[];
extern const char kTotalsWithDiff[];
extern const char kDiffArguments[];
extern const char kTooFewArguments[];
extern const char kDiffFolders[];
extern const char kAttributesWithoutBlocks[];
extern const char kAttributeTagsMissing[];
extern const char kUnitMissing[];
extern const char kDrawingUnitMissing[];
extern const char kDrawingUnitWithoutUnit[];
extern const char kAfterVersion[];  // the argument follows
extern const char kTryHelp[];
