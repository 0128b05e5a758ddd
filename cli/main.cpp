// orveline-report DRAWING.dxf REPORT.csv: the quantity list of a DXF file,
// byte for byte as the dialog writes it.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "cli/console_text.h"
#include "dxf/dxf_errors.h"
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
    "  --help     show this text\n"
    "  --version  show the version\n"
    "\n"
    "Exit status: 0 when the report was written, 1 on an error (the message is\n"
    "on standard error), 2 on wrong arguments.\n";

const char kFileNotFound[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82"
    "\xf1";  // ファイルが見つかりません
const char kCannotRead[] = "\x93\xc7\x82\xdd\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1";  // 読み込めません

std::string CsvPath;

void PrintError(const std::string& Path, const std::string& Cp932Message) {
  const std::string line = "orveline-report: " + PathForTerminal(Path) + ": " + MessageForTerminal(Cp932Message) + "\n";
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
  if (argc != 3 || argv[1][0] == '\0' || argv[2][0] == '\0') {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string dxfPath = argv[1];
  CsvPath = argv[2];

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
    if (!WriteLengthReport(dxfPath, CsvPath)) return 1;
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
