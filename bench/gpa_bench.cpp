// The full figure refresh on large grade books: it runs after every edit in the window.
#include <benchmark/benchmark.h>

#include "model/figures.h"
#include "model/predict.h"
#include "sample_book.h"

namespace {

// The main window's figures: the method in use only.
void BM_WindowFigures(benchmark::State& state) {
  const int semesters = static_cast<int>(state.range(0)) / 100;
  mw::GradeBook gb = mw::bench::MakeSampleBook(semesters, 100, 20, 10);
  for (auto _ : state) {
    auto figures = mw::ComputeFigures(gb, gb.Semesters.front().Name);
    benchmark::DoNotOptimize(figures);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["ns_per_class"] = benchmark::Counter(
      static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate |
                                               benchmark::Counter::kInvert);
}
BENCHMARK(BM_WindowFigures)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// The GPA overview's figures: every semester, the cumulative GPA and every method at once.
void BM_OverviewFigures(benchmark::State& state) {
  const int semesters = static_cast<int>(state.range(0)) / 100;
  mw::GradeBook gb = mw::bench::MakeSampleBook(semesters, 100, 20, 10);
  for (auto _ : state) benchmark::DoNotOptimize(mw::ComputeFigures(gb, {}, mw::FigureMethods::All));
}
BENCHMARK(BM_OverviewFigures)->Arg(1'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_Prediction(benchmark::State& state) {
  mw::GradeBook gb = mw::bench::MakeSampleBook(10, 10, 3, 3);
  const mw::BookFigures last = mw::ComputeFigures(gb, {});
  for (auto _ : state) benchmark::DoNotOptimize(mw::PredictNeeded(gb, last, "3.5", "4"));
}
BENCHMARK(BM_Prediction);

}  // namespace
