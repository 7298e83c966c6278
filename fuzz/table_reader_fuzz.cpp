// The table readers on any bytes (the first byte picks CSV, TSV, .ods or .xlsx): never a
// crash, and the classes a table gives, written as CSV and imported again, give the same CSV.
#include <cstdint>
#include <string>

#include "edit/edit.h"
#include "table/import.h"

namespace {

std::string ImportedCsv(const mw::table::Table& table) {
  mw::GradeBook gb;
  mw::ResetToFresh(gb);
  const auto plan = mw::table::PlanImport(gb, table, mw::table::GuessMapping(table), "Now");
  auto outcome = mw::edit::AddClasses(gb, plan.Accepted(), "Import");
  if (outcome.refused) __builtin_trap();  // the preview accepted exactly what can be added
  mw::edit::Apply(gb, outcome);
  return mw::table::ClassesCsv(gb);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  using mw::table::TableKind;
  constexpr TableKind kinds[] = {TableKind::Csv, TableKind::Tsv, TableKind::Ods, TableKind::Xlsx};
  const TableKind kind = kinds[data[0] % 4];
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  (void)mw::table::DetectKind("table", bytes);
  const mw::table::ReadResult read = mw::table::ReadTable(bytes, kind, "");
  if (!read.ok()) return 0;
  const std::string once = ImportedCsv(read.table);
  const std::string twice = ImportedCsv(mw::table::ReadTable(once, TableKind::Csv).table);
  if (twice != once) __builtin_trap();
  return 0;
}
