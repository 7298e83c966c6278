// Every kind of change on the 100,000-class book: building the step (with its checks), making
// it, undoing it and making it again, as the window's history does. The counter bytes_per_step
// is the memory one step of the kind keeps in the history.
#include <benchmark/benchmark.h>

#include <functional>

#include "edit/edit.h"
#include "sample_book.h"

namespace {

using Command = std::function<mw::edit::Outcome(const mw::GradeBook&)>;

void RunCycle(benchmark::State& state, const Command& command) {
  mw::GradeBook gb = mw::bench::MakeSampleBook(1000, 100, 20, 10);
  for (auto _ : state) {
    mw::edit::Outcome o = command(gb);
    if (!o.step) {
      state.SkipWithError("the command changed nothing");
      return;
    }
    o.step->Redo(gb);
    o.step->Undo(gb);
    o.step->Redo(gb);
    state.counters["bytes_per_step"] = static_cast<double>(o.step->Bytes);
    state.PauseTiming();
    o.step->Undo(gb);  // the next round starts from the same book
    state.ResumeTiming();
  }
}

const std::string kSem = "Semester 500";
const std::string kClass = "Class 50 of semester 500";

BENCHMARK_CAPTURE(RunCycle, SetGrade, [](const mw::GradeBook& gb) {
  const int grade = gb.Semesters[499].Classes[49].Grade == 0 ? 1 : 0;
  return mw::edit::SetGrade(gb, kSem, kClass, grade);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCycle, AddSemester, [](const mw::GradeBook& gb) {
  return mw::edit::AddSemester(gb, "New semester");
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCycle, RenameClass, [](const mw::GradeBook& gb) {
  return mw::edit::RenameClass(gb, kSem, kClass, "Renamed class");
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCycle, SetClassGroups, [](const mw::GradeBook& gb) {
  return mw::edit::SetClassGroups(gb, kSem, kClass, {gb.GroupNames[1].Name});
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCycle, SetProtection, [](const mw::GradeBook& gb) {
  return mw::edit::SetProtection(gb, !gb.IsPassProtected);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCycle, SetCredits, [](const mw::GradeBook& gb) {
  return mw::edit::SetCredits(gb, kSem, kClass, 12.5);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCycle, AddClass, [](const mw::GradeBook& gb) {
  return mw::edit::AddClass(gb, kSem, "New class", 1, 3);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCycle, DeleteClass, [](const mw::GradeBook& gb) {
  return mw::edit::DeleteClass(gb, kSem, kClass);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCycle, DeleteSemester, [](const mw::GradeBook& gb) {
  return mw::edit::DeleteSemester(gb, 500);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCycle, MoveSemester, [](const mw::GradeBook& gb) {
  return mw::edit::MoveSemester(gb, 500, 501);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCycle, RenameGroup, [](const mw::GradeBook& gb) {
  return mw::edit::RenameGroup(gb, 3, "Renamed");
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCycle, DeleteGroup, [](const mw::GradeBook& gb) {
  return mw::edit::DeleteGroup(gb, 3);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCycle, SetMask, [](const mw::GradeBook& gb) {
  std::vector<bool> mask(gb.GroupNames.size(), true);
  return mw::edit::SetMask(gb, mask, 0);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunCycle, ReplaceMethods, [](const mw::GradeBook& gb) {
  std::vector<mw::Method> methods = gb.Methods;
  methods[0].SetSpecific(0, 9);
  return mw::edit::ReplaceMethods(gb, methods, 0);
})->Unit(benchmark::kMillisecond);

}  // namespace
