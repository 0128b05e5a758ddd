// orveline-bench [FOLDER] [RUNS]: writes drawings of 100k and 1M entities
// with the generator and times, on each, orveline-report (the default list,
// and the list with --exact) and the dxflib-based peer that writes the same
// list, each end to end (read, measure, sort, write) as a separate process:
// median wall time of RUNS runs after one warm-up, and the most minor page
// faults and peak resident memory of any run. The default list and the
// peer's list must be byte for byte the same; a difference fails the run.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/drawing_generator.h"

extern char** environ;

namespace {

using TClock = std::chrono::steady_clock;

struct TProgram {
  const char* Name;
  std::string Path;
  std::vector<std::string> Options;
};

struct TMeasured {
  double Wall = 0;  // median seconds
  long long MinorFaults = 0;
  long long PeakBytes = 0;
};

double Median(std::vector<double> Values) {
  std::sort(Values.begin(), Values.end());
  const std::size_t n = Values.size();
  return n % 2 ? Values[n / 2] : (Values[n / 2 - 1] + Values[n / 2]) / 2;
}

// Runs the program once on the drawing; false when it fails.
bool RunOnce(const TProgram& Program, const std::string& Dxf, const std::string& Csv, double& Seconds,
             long long& MinorFaults, long long& PeakBytes) {
  std::vector<std::string> args{Program.Path};
  args.insert(args.end(), Program.Options.begin(), Program.Options.end());
  args.push_back(Dxf);
  args.push_back(Csv);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const auto start = TClock::now();
  pid_t pid;
  if (posix_spawn(&pid, Program.Path.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid) return false;
  Seconds = std::chrono::duration<double>(TClock::now() - start).count();
  MinorFaults = usage.ru_minflt;
  PeakBytes = static_cast<long long>(usage.ru_maxrss) * 1024;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool Measure(const TProgram& Program, const std::string& Dxf, const std::string& Csv, int Runs, TMeasured& Result) {
  double seconds;
  long long faults, peak;
  if (!RunOnce(Program, Dxf, Csv, seconds, faults, peak)) {  // warm-up
    std::fprintf(stderr, "%s failed on %s\n", Program.Name, Dxf.c_str());
    return false;
  }
  std::vector<double> walls;
  for (int i = 0; i < Runs; ++i) {
    if (!RunOnce(Program, Dxf, Csv, seconds, faults, peak)) return false;
    walls.push_back(seconds);
    Result.MinorFaults = std::max(Result.MinorFaults, faults);
    Result.PeakBytes = std::max(Result.PeakBytes, peak);
  }
  Result.Wall = Median(walls);
  return true;
}

std::string ReadWhole(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : "bench-data";
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  std::filesystem::create_directories(folder);

  std::vector<TProgram> programs{{"orveline-report", ORVELINE_REPORT_TOOL, {}},
                                 {"orveline --exact", ORVELINE_REPORT_TOOL, {"--exact"}}};
#ifdef ORVELINE_DXFLIB_PEER
  programs.push_back({"dxflib peer", ORVELINE_DXFLIB_PEER, {}});
#else
  std::printf("(dxflib not found at build time: no peer)\n");
#endif

  std::printf("%9s %8s  %-17s %8s %9s %9s %9s %8s\n", "entities", "file MB", "program", "wall s", "rel time", "minflt",
              "peak MB", "peak/file");
  double previousWall = 0;
  for (long long entities : {100000LL, 1000000LL}) {
    const std::string stem = (folder / ("drawing-" + std::to_string(entities))).string();
    const std::string dxf = stem + ".dxf";
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

    std::vector<TMeasured> measured(programs.size());
    for (std::size_t p = 0; p < programs.size(); ++p) {
      const std::string csv = stem + "." + std::to_string(p) + ".csv";
      if (!Measure(programs[p], dxf, csv, runs, measured[p])) return 1;
    }
    const double own = measured[0].Wall;
    for (std::size_t p = 0; p < programs.size(); ++p) {
      const TMeasured& m = measured[p];
      const double peakMb = static_cast<double>(m.PeakBytes) / 1e6;
      std::printf("%9lld %8.1f  %-17s %8.3f %9.1f %9lld %9.1f %8.2f\n", entities, mb, programs[p].Name, m.Wall,
                  m.Wall / own, m.MinorFaults, peakMb, peakMb / mb);
    }
    const std::string list = ReadWhole(stem + ".0.csv");
    const long long rows = std::count(list.begin(), list.end(), '\n');
    if (programs.size() > 2) {
      if (ReadWhole(stem + ".2.csv") != list) {
        std::printf("the lists of orveline-report and the dxflib peer DIFFER (%s.0.csv, %s.2.csv)\n", stem.c_str(),
                    stem.c_str());
        return 1;
      }
      std::printf(
          "lists of orveline-report and the dxflib peer identical: %lld rows; dxflib takes %.1f times as long\n", rows,
          measured[2].Wall / own);
    }
    std::printf("--exact takes %.2f times as long as the default list\n", measured[1].Wall / own);
    if (previousWall > 0) std::printf("ten times the entities take %.1f times the time\n", own / previousWall);
    previousWall = own;
  }
  return 0;
}
