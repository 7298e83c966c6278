// Importing a 100,000-row CSV (1,000 semesters of 100 classes, 20 groups) into a fresh grade
// book: reading the table, the preview and the one step that adds the classes; beside it the
// plain load of the same book, the figure the import is held to.
#include <benchmark/benchmark.h>

#include "edit/edit.h"
#include "sample_book.h"
#include "storage/gradebook_file.h"
#include "table/import.h"

namespace {

const mw::GradeBook& LargeBook() {
  static const mw::GradeBook gb = mw::bench::MakeSampleBook(1000, 100, 20, 10);
  return gb;
}

void BM_ImportCsv(benchmark::State& state) {
  const std::string csv = mw::table::ClassesCsv(LargeBook());
  for (auto _ : state) {
    mw::GradeBook gb;
    mw::ResetToFresh(gb);
    const auto read = mw::table::ReadTable(csv, mw::table::TableKind::Csv);
    auto plan = mw::table::PlanImport(gb, read.table, mw::table::GuessMapping(read.table), "");
    const int count = plan.classCount;
    auto outcome = mw::edit::AddClasses(gb, std::move(plan).Accepted(), "Import");
    if (count != 100000 || !mw::edit::Apply(gb, outcome))
      state.SkipWithError("did not import");
    benchmark::DoNotOptimize(gb);
  }
  state.counters["file_bytes"] = static_cast<double>(csv.size());
}

void BM_ReadCsvTable(benchmark::State& state) {
  const std::string csv = mw::table::ClassesCsv(LargeBook());
  for (auto _ : state) benchmark::DoNotOptimize(mw::table::ReadTable(csv, mw::table::TableKind::Csv));
}

void BM_LoadPlainSameBook(benchmark::State& state) {
  const std::string bytes = mw::EncodePlain(LargeBook()).bytes;
  for (auto _ : state) benchmark::DoNotOptimize(mw::DecodeGradeBook(bytes, "", nullptr));
  state.counters["file_bytes"] = static_cast<double>(bytes.size());
}

void BM_ExportCsv(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(mw::table::ClassesCsv(LargeBook()));
}

}  // namespace

BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCsvTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPlainSameBook)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);
