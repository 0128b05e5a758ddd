// orveline-report DRAWING.dxf REPORT.csv: the quantity list of a DXF file,
// byte for byte as the dialog writes it; with options, the list in other
// forms, of several drawings, or of what changed between two.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <csignal>
#include <unistd.h>
#endif

#include "cli/console_text.h"
#include "cli/drawing_list.h"
#include "cli/usage_text.h"
#include "dxf/dxf_errors.h"
#include "report/report_options.h"
#include "report/report_run.h"
#include "report/units.h"
#include "text/cp932_convert.h"

#ifndef ORVELINE_VERSION
#define ORVELINE_VERSION "unknown"
#endif

namespace {

const char kReportIsADrawing[] =
    "\x90}\x96\xca\x82\xcc\x96\xbc\x91O\x82\xc5\x82\xb7\x81\x42\x8fW\x8cv\x95\x5c\x82\xc5\x90}\x96\xca\x82\xf0\x92u"
    "\x82\xab\x8a\xb7\x82\xa6\x82\xc4\x82\xb5\x82\xdc\x82\xa4\x82\xbd\x82\xdf\x8f\x91\x82\xab\x8fo\x82\xb5\x82\xdc"
    "\x82\xb9\x82\xf1";  // 図面の名前です。集計表で図面を置き換えてしまうため書き出しません

// A report named like a drawing (".dxf" or ".dwg" in any case) would replace
// one: most likely the report's name was forgotten.
bool NamesADrawing(const std::string& Path) {
  if (Path.size() < 4 || Path[Path.size() - 4] != '.') return false;
  std::string extension = Path.substr(Path.size() - 3);
  for (char& c : extension)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return extension == "dxf" || extension == "dwg";
}

// From this many drawings on, a progress count goes to a terminal.
constexpr std::size_t kProgressFrom = 4;

void PrintError(const std::string& Path, const std::string& Cp932Message) {
  const std::string line = "orveline-report: " + PathForTerminal(Path) + ": " + MessageForTerminal(Cp932Message) + "\n";
  std::fputs(line.c_str(), stderr);
}

// "（12 行目）": where in the drawing an error was met.
std::string LineSuffix(std::int64_t Line) {
  if (Line <= 0) return {};
  return "\x81\x69" + std::to_string(Line) + " \x8d\x73\x96\xda\x81\x6a";  // （n 行目）
}

// Wrong arguments: the reason (with the argument at fault, as given), then
// where the usage is.
int UsageError(const char* Cp932Message, const std::string& Argument = "") {
  const std::string text = "orveline-report: " + MessageForTerminal(Cp932Message) + PathForTerminal(Argument) + "\n" +
                           MessageForTerminal(kTryHelp) + "\n";
  std::fputs(text.c_str(), stderr);
  return 2;
}

bool StandardErrorIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(STDERR_FILENO) != 0;
#endif
}

// One line on the terminal, "orveline-report: 3/12", rewritten in place and
// cleared at the end.
class TProgress : public TReportProgress {
 public:
  explicit TProgress(std::size_t Total) : shown_(Total >= kProgressFrom && StandardErrorIsTerminal()) {}
  ~TProgress() {
    if (shown_) std::fprintf(stderr, "\r%*s\r", width_, "");
  }
  void Drawing(std::size_t Number, std::size_t Total) override {
    if (!shown_) return;
    width_ = std::fprintf(stderr, "\rorveline-report: %zu/%zu", Number, Total) - 1;
    std::fflush(stderr);
  }

 private:
  bool shown_;
  int width_ = 0;
};

// The tags of --attributes, separated by commas, in code page 932 (as the
// drawing's texts are held); false for an empty tag or a character that
// code page 932 lacks.
bool SplitTags(const std::string& Argument, std::vector<std::string>& Tags) {
  std::string text = Argument;
#ifndef _WIN32
  // The terminal's UTF-8; on Windows the arguments come in the ANSI code page.
  if (!Utf8ToCp932(Argument, text)) return false;
#endif
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    const std::string tag = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (tag.empty()) return false;
    Tags.push_back(tag);
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  TReportOptions options;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--help" || argument == "-h") {
      std::fputs(MessageForTerminal(kUsage).c_str(), stdout);
      return 0;
    }
    if (argument == "--version") {
      if (i + 1 < argc) return UsageError(kAfterVersion, argv[i + 1]);
      std::printf("orveline-report %s\n", ORVELINE_VERSION);
      return 0;
    }
    if (argument == "--exact") {
      options.Exact = true;
    } else if (argument == "--summary") {
      options.Summary = true;
    } else if (argument == "--totals") {
      options.Totals = true;
    } else if (argument == "--header") {
      options.Header = true;
    } else if (argument == "--utf8") {
      options.Utf8 = true;
    } else if (argument == "--json") {
      options.Json = true;
    } else if (argument == "--diff") {
      options.Diff = true;
    } else if (argument == "--blocks") {
      options.Blocks = true;
    } else if (argument == "--areas") {
      options.Areas = true;
    } else if (argument == "--attributes" || argument.starts_with("--attributes=")) {
      std::string tags;
      if (argument == "--attributes") {
        if (i + 1 >= argc) return UsageError(kAttributeTagsMissing);
        tags = argv[++i];
      } else {
        tags = argument.substr(argument.find('=') + 1);
      }
      if (!SplitTags(tags, options.AttributeTags)) return UsageError(kAttributeTagsMissing);
    } else if (argument == "--unit" || argument.starts_with("--unit=") || argument == "--drawing-unit" ||
               argument.starts_with("--drawing-unit=")) {
      const bool drawing = argument.starts_with("--drawing-unit");
      std::string name;
      if (argument.find('=') != std::string::npos) {
        name = argument.substr(argument.find('=') + 1);
      } else {
        if (i + 1 >= argc) return UsageError(drawing ? kDrawingUnitMissing : kUnitMissing);
        name = argv[++i];
      }
      if (!IsListUnit(name)) return UsageError(drawing ? kDrawingUnitMissing : kUnitMissing);
      (drawing ? options.DrawingUnit : options.Unit) = name;
    } else if (argument.size() > 1 && argument[0] == '-' && argument != "--") {
      return UsageError(kUnknownOption, argument);
    } else if (argument.empty()) {
      return UsageError(kEmptyName);
    } else {
      positional.push_back(argument);
    }
  }
  if (options.Header && options.Json) return UsageError(kHeaderWithJson);
  if (options.Diff && options.Totals) return UsageError(kTotalsWithDiff);
  if (!options.AttributeTags.empty() && !options.Blocks) return UsageError(kAttributesWithoutBlocks);
  if (!options.DrawingUnit.empty() && options.Unit.empty()) return UsageError(kDrawingUnitWithoutUnit);
  if (options.Diff && positional.size() != 3) return UsageError(kDiffArguments);
  if (positional.size() < 2) return UsageError(kTooFewArguments);

  TReportJob job;
  job.Report = positional.back();
  positional.pop_back();
  if (NamesADrawing(job.Report)) {
    PrintError(job.Report, kReportIsADrawing);
    return 2;
  }
  if (job.Report == "-") {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);  // the list's own CR LF, not doubled
#endif
  }
#ifndef _WIN32
  // A file grown past its limit fails its write, as a full disk does,
  // instead of ending the program with the new list half written.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  job.Options = options;
  try {
    if (options.Diff) {
      for (const std::string& path : positional)
        if (IsFolder(path)) return UsageError(kDiffFolders);
      job.Drawings = positional;
    } else {
      const TDrawingList drawings = ExpandDrawings(positional);
      job.Drawings = drawings.Paths;
      if (drawings.Several)
        for (const std::string& path : drawings.Paths) job.Names.push_back(DrawingName(path));
    }
    TProgress progress(job.Drawings.size());
    job.Progress = &progress;
    const TReportResult result = WriteReport(job);
    if (options.Summary) std::fputs(MessageForTerminal(SummaryText(result.Drawings, options.Exact)).c_str(), stderr);
    return 0;
  } catch (const TDrawingListError& e) {
    PrintError(e.Path(), e.what());
  } catch (const TFileError& e) {
    PrintError(e.Path(), e.Reason() + LineSuffix(e.Line()));
  } catch (const std::exception& e) {
    PrintError(job.Report, e.what());
  }
  return 1;
}
