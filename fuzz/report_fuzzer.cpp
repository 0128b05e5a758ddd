// Feeds arbitrary bytes as a DXF file to the reader and the report. Every
// input must end in a CSV or in one of the reader's errors; the CSV must hold
// rows of exactly seven fields.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "dxf/dxf_errors.h"
#include "report/length_report.h"
#include "report/report_message.h"

void ShowReportMessage(const std::string&) { __builtin_trap(); }  // the CSV path is always creatable

namespace {

std::string ScratchPath(const char* Name) {
  static const std::filesystem::path folder = [] {
    std::filesystem::path base =
        std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    base /= "orveline-fuzz-" + std::to_string(::getpid());
    std::filesystem::create_directories(base);
    return base;
  }();
  return (folder / Name).string();
}

// Every row: seven fields, outside quotes six commas, ended by CR LF.
void CheckRows(const std::string& Csv) {
  std::size_t commas = 0;
  bool quoted = false;
  for (std::size_t i = 0; i < Csv.size(); ++i) {
    const char c = Csv[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == ',') {
      ++commas;
    } else if (!quoted && c == '\r') {
      if (commas != 6 || i + 1 >= Csv.size() || Csv[i + 1] != '\n') __builtin_trap();
      commas = 0;
      ++i;
    } else if (!quoted && c == '\n') {
      __builtin_trap();
    }
  }
  if (commas != 0 || quoted) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string dxf = ScratchPath("in.dxf");
  const std::string csv = ScratchPath("out.csv");
  if (std::FILE* f = std::fopen(dxf.c_str(), "wb")) {
    if (Size > 0) std::fwrite(Data, 1, Size, f);
    std::fclose(f);
  }
  try {
    WriteLengthReport(dxf, csv);
  } catch (const TConvertError&) {
    return 0;
  } catch (const TFileError&) {
    return 0;  // a drawing refused as a whole (a binary drawing), before the list is touched
  }
  std::string out;
  if (std::FILE* f = std::fopen(csv.c_str(), "rb")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) out.append(buffer, n);
    std::fclose(f);
  }
  CheckRows(out);
  return 0;
}
