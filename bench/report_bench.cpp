// The grade report of the 100,000-class book as the export writes it: the running totals, the
// report text and its Windows-1252 bytes, every semester checked and the mask's groups chosen.
#include <benchmark/benchmark.h>

#include "report/grade_report.h"
#include "report/report_file.h"
#include "sample_book.h"

namespace {

void Export(benchmark::State& state, mw::ReportOrganisation organisation) {
  const mw::GradeBook gb = mw::bench::MakeSampleBook(1000, 100, 20, 10);
  mw::ReportChoices choices;
  choices.Organisation = organisation;
  for (const auto& e : gb.SemesterOrder) choices.CheckedSemesters.push_back(e.Name);
  for (const auto& g : gb.GroupNames)
    if (g.InMask) choices.SelectedGroups.push_back(g.Name);
  choices.MethodName = gb.MethodText();
  size_t size = 0;
  for (auto _ : state) {
    const mw::ReportTotals totals = mw::UpdateTotals(gb, choices);
    const std::string bytes =
        mw::ReportBytes(mw::GradeReport(gb, choices, totals, "12/7/2026 3:14:22 AM"));
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.counters["report_bytes"] = static_cast<double>(size);
}

BENCHMARK_CAPTURE(Export, BySemester, mw::ReportOrganisation::BySemester)
    ->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(Export, ByGroup, mw::ReportOrganisation::ByGroup)
    ->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
