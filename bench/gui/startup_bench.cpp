// Start-up as whole processes, offscreen: the program's start to its first shown main window
// (startup_probe) against a bare QMainWindow (bare_window_probe). Both probes sit next to this
// benchmark in the build folder.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

extern char** environ;

namespace {

// Runs the probe once; its exit status, or -1. Adds its processor time (user and system).
int RunOnce(const std::string& path, double& cpuSeconds) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::string a0 = path;
  char* argv[] = {a0.data(), nullptr};
  pid_t pid = 0;
  int status = -1;
  if (posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ) == 0) {
    int ws = 0;
    struct rusage usage {};
    if (wait4(pid, &ws, 0, &usage) == pid && WIFEXITED(ws)) status = WEXITSTATUS(ws);
    cpuSeconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                  static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }
  posix_spawn_file_actions_destroy(&actions);
  return status;
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
