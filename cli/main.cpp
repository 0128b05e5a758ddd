// orveline-report DRAWING.dxf REPORT.csv: the quantity list of a DXF file,
// byte for byte as the dialog writes it.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "cli/console_text.h"
#include "dxf/dxf_errors.h"
#include "dxf/exact_tables.h"
#include "report/length_report.h"
#include "report/report_message.h"

#ifndef ORVELINE_VERSION
#define ORVELINE_VERSION "unknown"
#endif

namespace {

const char kUsage[] =
    "Usage: orveline-report DRAWING.dxf REPORT.csv\n"
    "\n"
    "Reads the lines, circles, arcs and polylines of the ENTITIES section of an\n"
    "ASCII DXF file and writes their quantity list as a Shift-JIS CSV file: one\n"
    "row per layer, colour, linetype, kind and length, with the count and the\n"
    "number of duplicates. An existing REPORT.csv is replaced.\n"
    "\n"
    "  --exact    lengths as drawn: polyline arcs and closing edges, ellipses and\n"
    "             splines (written after the polylines), and the entities inside\n"
    "             block references, placed where the references put them\n"
    "  --summary  after the list, one line per entity type on standard error:\n"
    "             how many entities were measured and how many not\n"
    "  --help     show this text\n"
    "  --version  show the version\n"
    "\n"
    "Exit status: 0 when the report was written, 1 on an error (the message is\n"
    "on standard error), 2 on wrong arguments.\n";

const char kFileNotFound[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82"
    "\xf1";  // ファイルが見つかりません
const char kCannotRead[] = "\x93\xc7\x82\xdd\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1";  // 読み込めません

const char kMeasuredLabel[] = "\x8f\x57\x8c\x76";             // 集計
const char kNotMeasuredLabel[] = "\x8f\x57\x8c\x76\x8a\x4f";  // 集計外

std::string CsvPath;

void PrintError(const std::string& Path, const std::string& Cp932Message) {
  const std::string line = "orveline-report: " + PathForTerminal(Path) + ": " + MessageForTerminal(Cp932Message) + "\n";
  std::fputs(line.c_str(), stderr);
}

// One line per entity type: "LINE: 集計 12 集計外 0".
void PrintSummary() {
  std::string text;
  for (const TEntityTally& t : EntityTallies) {
    text += t.Type + ": " + kMeasuredLabel + " " + std::to_string(t.Measured) + " " + kNotMeasuredLabel + " " +
            std::to_string(t.NotMeasured) + "\n";
  }
  const std::string line = MessageForTerminal(text);
  std::fputs(line.c_str(), stderr);
}

}  // namespace

// The report's "cannot create" message: a line on standard error.
void ShowReportMessage(const std::string& Text) { PrintError(CsvPath, Text); }

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("orveline-report %s\n", ORVELINE_VERSION);
    return 0;
  }
  TReportOptions options;
  bool summary = false;
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--exact") == 0)
      options.Exact = true;
    else if (std::strcmp(argv[i], "--summary") == 0)
      summary = true;
    else
      paths.emplace_back(argv[i]);
  }
  if (paths.size() != 2 || paths[0].empty() || paths[1].empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string dxfPath = paths[0];
  CsvPath = paths[1];

  // The report takes a missing drawing for an empty one; here it is an error,
  // found before the CSV file is touched.
  errno = 0;
  if (std::FILE* probe = std::fopen(dxfPath.c_str(), "rb")) {
    std::fclose(probe);
  } else {
    PrintError(dxfPath, errno == ENOENT || errno == ENOTDIR ? kFileNotFound : kCannotRead);
    return 1;
  }

  try {
    if (!WriteLengthReport(dxfPath, CsvPath, options)) return 1;
    if (summary) {
      if (!options.Exact) TallyEntityTypes(dxfPath);
      PrintSummary();
    }
  } catch (const TFileError& e) {
    PrintError(e.Path(), e.Reason());
    return 1;
  } catch (const TConvertError& e) {
    PrintError(dxfPath, e.what());
    return 1;
  } catch (const std::exception& e) {
    PrintError(dxfPath, e.what());
    return 1;
  }
  return 0;
}
