// Start-up as whole processes, offscreen: the program's start to its first shown main window
// (startup_probe) against a bare QMainWindow (bare_window_probe), and beside them a window with a
// label and a button (label_window_probe). The probes sit next to this benchmark in the build
// folder.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "../run_process.h"

namespace {

// Runs the probe once; its exit status, or -1. Adds its processor time (user and system).
int RunOnce(const std::string& path, double& cpuSeconds) {
  return mw::bench::RunProcess({path}, cpuSeconds);
}

void BM_StartUp(benchmark::State& state, const char* probe) {
  std::error_code ec;
  const std::string path =
      (std::filesystem::read_symlink("/proc/self/exe", ec).parent_path() / probe).string();
  double cpu = 0;
  if (RunOnce(path, cpu) != 0) {
    state.SkipWithError(("cannot run " + path).c_str());
    return;
  }
  cpu = 0;
  for (auto _ : state) benchmark::DoNotOptimize(RunOnce(path, cpu));
  state.counters["process_cpu_ms"] = benchmark::Counter(cpu * 1000, benchmark::Counter::kAvgIterations);
}
BENCHMARK_CAPTURE(BM_StartUp, BareWindow, "bare_window_probe")
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(15)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_StartUp, LabelWindow, "label_window_probe")
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(15)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_StartUp, Markwell, "startup_probe")
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(15)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);  // the probes inherit it
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
