// Feeds arbitrary bytes as a drawing to the reader and the report, read from
// memory. The first byte chooses the options (bit 0 exact lengths, bit 1 the
// tally, bit 2 the totals column, bit 3 block counts split by the attribute
// tag A, bit 4 areas); the rest is the drawing. Every input must end in a
// list or in one of the reader's errors; the list must hold rows of exactly
// seven fields (eight with totals), block rows two more (their name and the
// tag's value).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include <unistd.h>

#include "dxf/dxf_errors.h"
#include "dxf/dxf_reader.h"
#include "report/list_rows.h"
#include "report/list_writer.h"

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

// Every row: Fields or BlockFields fields, outside quotes one comma fewer,
// ended by CR LF.
void CheckRows(const std::string& Csv, std::size_t Fields, std::size_t BlockFields) {
  std::size_t commas = 0;
  bool quoted = false;
  for (std::size_t i = 0; i < Csv.size(); ++i) {
    const char c = Csv[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == ',') {
      ++commas;
    } else if (!quoted && c == '\r') {
      if ((commas != Fields - 1 && commas != BlockFields - 1) || i + 1 >= Csv.size() || Csv[i + 1] != '\n')
        __builtin_trap();
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
  if (Size == 0) return 0;
  const std::uint8_t flags = Data[0];
  TReportOptions options;
  options.Exact = (flags & 1) != 0;
  options.Summary = (flags & 2) != 0;
  options.Totals = (flags & 4) != 0;
  options.Blocks = (flags & 8) != 0;
  if (options.Blocks) options.AttributeTags = {"A"};
  options.Areas = (flags & 16) != 0;
  TMemorySource source(std::string_view(reinterpret_cast<const char*>(Data) + 1, Size - 1), "fuzz.dxf");
  // The tables' room is kept from one input to the next, as from one
  // drawing to the next of a list.
  static TDrawing drawing;
  try {
    ReadDrawing(source, {options.Exact, options.Summary, options.Blocks, options.Areas}, drawing);
  } catch (const TFileError&) {
    return 0;  // a value that is not a number, a binary drawing
  }
  const std::string csv = ScratchPath("out.csv");
  TListForm form;
  form.Totals = options.Totals;
  form.Blocks = options.Blocks;
  form.AttributeTags = options.AttributeTags;
  form.Areas = options.Areas;
  TListWriter list(form);
  if (!list.Open(csv)) __builtin_trap();  // the scratch folder is always writable
  ListDrawing(drawing, options, list);
  list.Close();
  std::string out;
  if (std::FILE* f = std::fopen(csv.c_str(), "rb")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) out.append(buffer, n);
    std::fclose(f);
  }
  const std::size_t fields = options.Totals ? 8 : 7;
  CheckRows(out, fields, options.Blocks ? fields + 2 : fields);
  return 0;
}
