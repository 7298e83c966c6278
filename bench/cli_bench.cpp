// markwell-cli summary of a 100,000-class plain grade book, timed as a whole process: start,
// read, decode, figures, print, exit. Wants a median under 300 ms.
//
// The program is found through the MARKWELL_CLI environment variable, else at
// ../src/cli/markwell-cli next to this benchmark in the build folder (build markwell-cli first).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "run_process.h"
#include "sample_book.h"
#include "storage/file_io.h"
#include "storage/gradebook_file.h"

namespace {

namespace fs = std::filesystem;

std::string CliPath() {
  if (const char* env = std::getenv("MARKWELL_CLI"); env && *env) return env;
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return (self.parent_path() / ".." / "src" / "cli" / "markwell-cli").lexically_normal().string();
}

// The sample file, written once and removed at exit: 1000 semesters of 100 classes, 20 groups,
// 10 of them in the mask.
struct SampleFile {
  std::string path;
  size_t bytes = 0;
  SampleFile() {
    const mw::EncodeResult encoded = mw::EncodePlain(mw::bench::MakeSampleBook(1000, 100, 20, 10));
    const fs::path p = fs::temp_directory_path() / ("markwell-cli-bench-" + std::to_string(getpid()) + ".mw");
    if (encoded.ok && mw::WriteFileAtomically(p.string(), encoded.bytes)) {
      path = p.string();
      bytes = encoded.bytes.size();
    }
  }
  ~SampleFile() {
    std::error_code ec;
    if (!path.empty()) fs::remove(path, ec);
  }
};

const SampleFile& Sample() {
  static const SampleFile sample;
  return sample;
}

// Runs the program once with its output thrown away; its exit status, or -1. Adds the
// process's processor time (user and system) to cpuSeconds: on a busy machine it says more
// than the wall-clock time.
int RunOnce(const std::string& cli, const std::string& file, double& cpuSeconds) {
  return mw::bench::RunProcess({cli, "summary", file}, cpuSeconds, false);
}

void BM_CliSummary100k(benchmark::State& state) {
  const std::string& file = Sample().path;
  const std::string cli = CliPath();
  double cpu = 0;
  if (file.empty() || RunOnce(cli, file, cpu) != 0) {
    state.SkipWithError(("cannot run " + cli + " summary on the sample file").c_str());
    return;
  }
  cpu = 0;
  for (auto _ : state) benchmark::DoNotOptimize(RunOnce(cli, file, cpu));
  state.counters["process_cpu_ms"] = benchmark::Counter(cpu * 1000, benchmark::Counter::kAvgIterations);
  state.counters["file_bytes"] = static_cast<double>(Sample().bytes);
}
BENCHMARK(BM_CliSummary100k)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

}  // namespace
