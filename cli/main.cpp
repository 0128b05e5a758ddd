// orveline-report DRAWING.dxf REPORT.csv: the quantity list of a DXF file,
// byte for byte as the dialog writes it; with options, the list in other
// forms, of several drawings, or of what changed between two.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "cli/console_text.h"
#include "cli/drawing_list.h"
#include "cli/usage_text.h"
#include "dxf/dxf_errors.h"
#include "dxf/dxf_reader.h"
#include "dxf/file_identity.h"
#include "dxf/exact_tables.h"
#include "report/length_report.h"
#include "report/list_diff.h"
#include "report/list_writer.h"
#include "report/report_message.h"
#include "report/report_options.h"

#ifndef ORVELINE_VERSION
#define ORVELINE_VERSION "unknown"
#endif

namespace {

const char kFileNotFound[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82"
    "\xf1";  // ファイルが見つかりません
const char kCannotRead[] = "\x93\xc7\x82\xdd\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1";  // 読み込めません
const char kCannotCreate[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82"
    "\xf1";  // ファイルを作成できません

const char kMeasuredLabel[] = "\x8f\x57\x8c\x76";             // 集計
const char kNotMeasuredLabel[] = "\x8f\x57\x8c\x76\x8a\x4f";  // 集計外

// From this many drawings on, a progress count goes to a terminal.
constexpr std::size_t kProgressFrom = 4;

std::string CsvPath;

void PrintError(const std::string& Path, const std::string& Cp932Message) {
  const std::string line = "orveline-report: " + PathForTerminal(Path) + ": " + MessageForTerminal(Cp932Message) + "\n";
  std::fputs(line.c_str(), stderr);
}

// The entity types of every drawing read, for --summary, in the order in
// which they were first met.
std::vector<TEntityTally> Tallies;

void AddTallies(const std::string& Path, const TReportOptions& Options) {
  if (!Options.Exact) TallyEntityTypes(Path);  // the exact reading tallies as it reads
  for (const TEntityTally& t : EntityTallies) {
    auto same = std::find_if(Tallies.begin(), Tallies.end(), [&](const TEntityTally& u) { return u.Type == t.Type; });
    if (same == Tallies.end()) {
      Tallies.push_back(t);
    } else {
      same->Measured += t.Measured;
      same->NotMeasured += t.NotMeasured;
    }
  }
}

// One line per entity type: "LINE: 集計 12 集計外 0".
void PrintSummary() {
  std::string text;
  for (const TEntityTally& t : Tallies) {
    text += t.Type + ": " + kMeasuredLabel + " " + std::to_string(t.Measured) + " " + kNotMeasuredLabel + " " +
            std::to_string(t.NotMeasured) + "\n";
  }
  const std::string line = MessageForTerminal(text);
  std::fputs(line.c_str(), stderr);
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
class TProgress {
 public:
  explicit TProgress(std::size_t Total) : total_(Total), shown_(Total >= kProgressFrom && StandardErrorIsTerminal()) {}
  ~TProgress() {
    if (shown_) std::fprintf(stderr, "\r%*s\r", width_, "");
  }
  void Step(std::size_t Done) {
    if (!shown_) return;
    width_ = std::fprintf(stderr, "\rorveline-report: %zu/%zu", Done, total_) - 1;
    std::fflush(stderr);
  }

 private:
  std::size_t total_;
  bool shown_;
  int width_ = 0;
};

// Hands the rows on with the drawing's name in front.
class TNamedRows : public TRowSink {
 public:
  explicit TNamedRows(TRowSink& To) : to_(To) {}
  void Row(const TReportRow& Row) override {
    TReportRow named = Row;
    named.Drawing = name_;
    to_.Row(named);
  }
  std::string name_;

 private:
  TRowSink& to_;
};

// Probes each drawing before the report is touched: a missing or unreadable
// one is named, and false returned.
bool DrawingsOpen(const std::vector<std::string>& Paths) {
  for (const std::string& path : Paths) {
    errno = 0;
    if (std::FILE* probe = std::fopen(path.c_str(), "rb")) {
      std::fclose(probe);
      // Neither the report itself nor a drawing the reader refuses may
      // cost the report or the drawing a byte.
      try {
        if (IsSameFile(IdentifyFile(path), IdentifyFile(CsvPath))) throw SameAsDrawingError(CsvPath);
        CheckDrawing(path);
      } catch (const TFileError& e) {
        PrintError(e.Path(), e.Reason());
        return false;
      }
      continue;
    }
    PrintError(path, errno == ENOENT || errno == ENOTDIR ? kFileNotFound : kCannotRead);
    return false;
  }
  return true;
}

// Reads one drawing into the tables; its errors name it, and false is
// returned.
bool ReadDrawing(const std::string& Path, const TReportOptions& Options, bool Summary) {
  try {
    ReadReportDrawing(Path, Options);
    if (Summary) AddTallies(Path, Options);
    return true;
  } catch (const TFileError& e) {
    PrintError(e.Path(), e.Reason());
  } catch (const std::exception& e) {
    PrintError(Path, e.what());
  }
  return false;
}

int WriteList(const TDrawingList& Drawings, const TListForm& Form, const TReportOptions& Options, bool Summary) {
  TListWriter list(Form);
  if (!list.Open(CsvPath)) {
    PrintError(CsvPath, kCannotCreate);
    return 1;
  }
  TNamedRows named(list);
  TProgress progress(Drawings.Paths.size());
  for (std::size_t i = 0; i < Drawings.Paths.size(); ++i) {
    progress.Step(i + 1);
    if (!ReadDrawing(Drawings.Paths[i], Options, Summary)) {
      // A list of several drawings with some missing must not be taken for
      // the whole: it goes. A single drawing's stays, empty, as the dialog's.
      if (Drawings.Several) {
        try {
          list.Close();
        } catch (const std::exception&) {}
        std::remove(CsvPath.c_str());
      }
      return 1;
    }
    named.name_ = DrawingName(Drawings.Paths[i]);
    ForEachReportRow(Options, named);
  }
  list.Close();
  return 0;
}

int WriteDiff(const std::string& OldPath, const std::string& NewPath, const TListForm& Form,
              const TReportOptions& Options, bool Summary) {
  TListWriter list(Form);
  if (!list.Open(CsvPath)) {
    PrintError(CsvPath, kCannotCreate);
    return 1;
  }
  TRowCollector oldRows, newRows;
  if (!ReadDrawing(OldPath, Options, Summary)) return 1;
  ForEachReportRow(Options, oldRows);
  if (!ReadDrawing(NewPath, Options, Summary)) return 1;
  ForEachReportRow(Options, newRows);
  for (const TDiffRow& row : DiffLists(oldRows.Rows, newRows.Rows)) list.DiffRow(row);
  list.Close();
  return 0;
}

}  // namespace

// The report's "cannot create" message: a line on standard error.
void ShowReportMessage(const std::string& Text) { PrintError(CsvPath, Text); }

int main(int argc, char** argv) {
  TListForm form;
  TReportOptions options;
  bool summary = false;
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
      summary = true;
    } else if (argument == "--totals") {
      form.Totals = options.Totals = true;
    } else if (argument == "--header") {
      form.Header = options.Header = true;
    } else if (argument == "--utf8") {
      form.Utf8 = options.Utf8 = true;
    } else if (argument == "--json") {
      form.Json = true;
    } else if (argument == "--diff") {
      form.Diff = true;
    } else if (argument.size() > 1 && argument[0] == '-' && argument != "--") {
      return UsageError(kUnknownOption, argument);
    } else if (argument.empty()) {
      return UsageError(kEmptyName);
    } else {
      positional.push_back(argument);
    }
  }
  if (form.Header && form.Json) return UsageError(kHeaderWithJson);
  if (form.Diff && form.Totals) return UsageError(kTotalsWithDiff);
  if (form.Diff && positional.size() != 3) return UsageError(kDiffArguments);
  if (positional.size() < 2) return UsageError(kTooFewArguments);

  CsvPath = positional.back();
  positional.pop_back();
  try {
    if (form.Diff) {
      for (const std::string& path : positional)
        if (IsFolder(path)) return UsageError(kDiffFolders);
      if (!DrawingsOpen(positional)) return 1;
      const int status = WriteDiff(positional[0], positional[1], form, options, summary);
      if (status == 0 && summary) PrintSummary();
      return status;
    }
    const TDrawingList drawings = ExpandDrawings(positional);
    if (!DrawingsOpen(drawings.Paths)) return 1;
    form.Drawings = drawings.Several;
    const int status = WriteList(drawings, form, options, summary);
    if (status == 0 && summary) PrintSummary();
    return status;
  } catch (const TDrawingListError& e) {
    PrintError(e.Path(), e.what());
  } catch (const TFileError& e) {
    PrintError(e.Path(), e.Reason());
  } catch (const std::exception& e) {
    PrintError(CsvPath, e.what());
  }
  return 1;
}
