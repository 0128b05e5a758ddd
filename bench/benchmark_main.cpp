// orveline-bench [FOLDER] [RUNS]: writes drawings of 100k and 1M entities
// with the generator and times orveline-report on each, end to end (read,
// measure, sort, write), as a separate process: median wall time of RUNS
// runs after one warm-up, peak resident memory, and a plain read of the same
// file for comparison.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/drawing_generator.h"

extern char** environ;

namespace {

using TClock = std::chrono::steady_clock;

double Median(std::vector<double> Values) {
  std::sort(Values.begin(), Values.end());
  const std::size_t n = Values.size();
  return n % 2 ? Values[n / 2] : (Values[n / 2 - 1] + Values[n / 2]) / 2;
}

// Seconds to read the whole file through a 1 MiB buffer (from the page cache).
double PlainRead(const std::string& Path) {
  std::vector<char> buffer(1 << 20);
  const auto start = TClock::now();
  std::FILE* file = std::fopen(Path.c_str(), "rb");
  if (!file) return -1;
  while (std::fread(buffer.data(), 1, buffer.size(), file) == buffer.size()) {}
  std::fclose(file);
  return std::chrono::duration<double>(TClock::now() - start).count();
}

// Runs the tool once; wall seconds and peak resident memory in bytes.
bool RunTool(const std::string& Dxf, const std::string& Csv, double& Seconds, long long& PeakBytes) {
  std::string tool = ORVELINE_REPORT_TOOL;
  char* argv[] = {tool.data(), const_cast<char*>(Dxf.c_str()), const_cast<char*>(Csv.c_str()), nullptr};
  const auto start = TClock::now();
  pid_t pid;
  if (posix_spawn(&pid, tool.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid) return false;
  Seconds = std::chrono::duration<double>(TClock::now() - start).count();
  PeakBytes = static_cast<long long>(usage.ru_maxrss) * 1024;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : "bench-data";
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  std::filesystem::create_directories(folder);

  std::printf("%9s %9s %9s %9s %9s %10s %9s %9s %9s\n", "entities", "file MB", "wall s", "MB/s", "peak MB", "peak/file",
              "read s", "wall/read", "rows");
  double previousWall = 0;
  for (long long entities : {100000LL, 1000000LL}) {
    const std::string dxf = (folder / ("drawing-" + std::to_string(entities) + ".dxf")).string();
    const std::string csv = (folder / ("drawing-" + std::to_string(entities) + ".csv")).string();
    std::FILE* file = std::fopen(dxf.c_str(), "wb");
    TDrawingOptions options;
    options.Entities = entities;
    // Written through to the disk first, so that no write-back runs beside the timings.
    if (!file || !WriteDrawing(file, options) || std::fflush(file) != 0 || fsync(fileno(file)) != 0 ||
        std::fclose(file) != 0) {
      std::fprintf(stderr, "cannot write %s\n", dxf.c_str());
      return 1;
    }
    const double mb = static_cast<double>(std::filesystem::file_size(dxf)) / 1e6;

    double seconds;
    long long peak = 0, maxPeak = 0;
    std::vector<double> walls, reads;
    PlainRead(dxf);
    if (!RunTool(dxf, csv, seconds, peak)) {  // warm-up
      std::fprintf(stderr, "orveline-report failed on %s\n", dxf.c_str());
      return 1;
    }
    for (int i = 0; i < runs; ++i) {
      reads.push_back(PlainRead(dxf));
      if (!RunTool(dxf, csv, seconds, peak)) return 1;
      walls.push_back(seconds);
      maxPeak = std::max(maxPeak, peak);
    }
    long long rows = 0;
    if (std::FILE* out = std::fopen(csv.c_str(), "rb")) {
      for (int c; (c = std::fgetc(out)) != EOF;) rows += c == '\n';
      std::fclose(out);
    }
    const double wall = Median(walls), read = Median(reads);
    std::printf("%9lld %9.1f %9.3f %9.0f %9.1f %10.2f %9.3f %9.1f %9lld\n", entities, mb, wall, mb / wall,
                static_cast<double>(maxPeak) / 1e6, static_cast<double>(maxPeak) / 1e6 / mb, read, wall / read, rows);
    if (previousWall > 0) std::printf("time ratio for ten times the entities: %.1f\n", wall / previousWall);
    previousWall = wall;
  }
  return 0;
}
