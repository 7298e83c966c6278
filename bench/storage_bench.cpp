// Saving and loading a large grade book in memory, both forms: 1,000 semesters of 100 classes,
// 20 groups. The multiplied protected form cannot hold that many classes (a multiplier position
// above 257 fails the save), so the large protected figures use the same layout with format
// word 2, where every multiplier is 1; the multiplied form is measured on the largest book
// shape it can hold in one semester.
// On a virtual machine where page faults are dear, the figures depend much on whether the
// allocator hands freed memory back between iterations: MALLOC_TRIM_THRESHOLD_=1000000000
// MALLOC_MMAP_THRESHOLD_=1000000000 in the environment measures the work without that.
#include <benchmark/benchmark.h>

#include "sample_book.h"
#include "storage/gradebook_file.h"
#include "storage/storage_detail.h"

namespace {

const mw::GradeBook& LargeBook() {
  static const mw::GradeBook gb = mw::bench::MakeSampleBook(1000, 100, 20, 10);
  return gb;
}

const std::string kPassword = "Grade9";  // six characters, as a save takes

std::string ProtectedBytes(const mw::GradeBook& gb, int16_t word) {
  // Word 3 as the program saves it, the read-back check included.
  auto r = word == 3 ? mw::EncodeProtected(gb, kPassword, [] { return 100; })
                     : mw::storage_detail::EncodeProtectedWord(gb, kPassword, [] { return 100; }, word);
  return r.ok ? r.bytes : std::string();
}

void Report(benchmark::State& state, size_t bytes) {
  state.counters["file_bytes"] = static_cast<double>(bytes);
}

void BM_EncodePlain(benchmark::State& state) {
  size_t size = 0;
  for (auto _ : state) {
    auto r = mw::EncodePlain(LargeBook());
    size = r.bytes.size();
    benchmark::DoNotOptimize(r);
  }
  Report(state, size);
}

void BM_DecodePlain(benchmark::State& state) {
  const std::string bytes = mw::EncodePlain(LargeBook()).bytes;
  for (auto _ : state) {
    auto d = mw::DecodeGradeBook(bytes, "", nullptr);
    if (d.status != mw::DecodeStatus::Ok) state.SkipWithError("did not read");
    benchmark::DoNotOptimize(d);
  }
  Report(state, bytes.size());
}

void BM_EncodeProtectedWord2(benchmark::State& state) {
  size_t size = 0;
  for (auto _ : state) {
    auto bytes = ProtectedBytes(LargeBook(), 2);
    if (bytes.empty()) state.SkipWithError("did not encode");
    size = bytes.size();
    benchmark::DoNotOptimize(bytes);
  }
  Report(state, size);
}

void BM_DecodeProtectedWord2(benchmark::State& state) {
  const std::string bytes = ProtectedBytes(LargeBook(), 2);
  auto prompt = [](mw::PromptMode) -> std::optional<std::string> { return kPassword; };
  for (auto _ : state) {
    auto d = mw::DecodeGradeBook(bytes, "", prompt);
    if (d.status != mw::DecodeStatus::Ok) state.SkipWithError("did not read");
    benchmark::DoNotOptimize(d);
  }
  Report(state, bytes.size());
}

// One semester of 255 classes: the most a multiplied file holds in a single semester.
void BM_ProtectedWord3RoundTrip(benchmark::State& state) {
  const mw::GradeBook gb = mw::bench::MakeSampleBook(1, 255, 20, 10);
  std::string bytes = ProtectedBytes(gb, 3);
  if (bytes.empty()) state.SkipWithError("did not encode");
  auto prompt = [](mw::PromptMode) -> std::optional<std::string> { return kPassword; };
  for (auto _ : state) {
    bytes = ProtectedBytes(gb, 3);
    auto d = mw::DecodeGradeBook(bytes, "", prompt);
    if (d.status != mw::DecodeStatus::Ok) state.SkipWithError("did not read");
    benchmark::DoNotOptimize(d);
  }
  Report(state, bytes.size());
}

#define STORAGE_BENCH(fn) \
  BENCHMARK(fn)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)
STORAGE_BENCH(BM_EncodePlain);
STORAGE_BENCH(BM_DecodePlain);
STORAGE_BENCH(BM_EncodeProtectedWord2);
STORAGE_BENCH(BM_DecodeProtectedWord2);
STORAGE_BENCH(BM_ProtectedWord3RoundTrip);

}  // namespace
