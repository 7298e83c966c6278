// The main of the window benchmarks: an offscreen QApplication, with the overview and printing
// linked in, around Google Benchmark.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "ui/views/views.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  mw::LinkViews(markwell_views());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
