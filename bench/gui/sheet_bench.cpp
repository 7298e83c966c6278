// The class sheet on a 100,000-class grade book (1000 semesters of 100): opening it to the
// first shown frame, one committed cell with the repaint that follows, a class added in the
// last row, and sorting by a text and a number column.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSortFilterProxyModel>
#include <QUndoStack>

#include "app/book_document.h"
#include "gui/no_prompts.h"
#include "sample_book.h"
#include "ui/sheet/sheet_model.h"
#include "ui/sheet/sheet_window.h"

namespace {

struct Sheet {
  mw::BookDocument doc;
  mw::bench::NoPrompts prompts;
  Sheet() { doc.Reset(mw::bench::MakeSampleBook(1000, 100, 20, 10)); }
  std::unique_ptr<mw::SheetWindow> Open() {
    auto window = std::make_unique<mw::SheetWindow>(doc, prompts, nullptr);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->show();
    QApplication::processEvents();
    return window;
  }
};

Sheet& Book() {
  static Sheet* sheet = new Sheet;
  return *sheet;
}

void BM_SheetOpen(benchmark::State& state) {
  Sheet& s = Book();
  for (auto _ : state) {
    auto window = s.Open();
    state.PauseTiming();
    window.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SheetOpen)->Unit(benchmark::kMillisecond);

// One credits cell committed, as Enter commits it, and the sheet repainted.
void BM_SheetCellEdit(benchmark::State& state) {
  Sheet& s = Book();
  auto window = s.Open();
  mw::SheetModel* sheet = window->Model();
  const int row = 50'000;
  int i = 0;
  for (auto _ : state) {
    sheet->CommitText(row, mw::SheetModel::kCredits, QString::number(1 + (i++ % 5)));
    window->View()->viewport()->repaint();
  }
}
BENCHMARK(BM_SheetCellEdit)->Unit(benchmark::kMicrosecond);

// A class typed into the empty last row: one step, and the row index rebuilt.
void BM_SheetAddRow(benchmark::State& state) {
  Sheet& s = Book();
  auto window = s.Open();
  mw::SheetModel* sheet = window->Model();
  for (auto _ : state) {
    sheet->CommitText(sheet->rowCount() - 1, mw::SheetModel::kClass, QStringLiteral("Typed"));
    window->View()->viewport()->repaint();
    state.PauseTiming();
    s.doc.History()->undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SheetAddRow)->Unit(benchmark::kMillisecond);

// A click on a column header: the sheet sorted by class name, or by credits.
void BM_SheetSort(benchmark::State& state) {
  Sheet& s = Book();
  auto window = s.Open();
  const int column = static_cast<int>(state.range(0));
  Qt::SortOrder order = Qt::AscendingOrder;
  for (auto _ : state) {
    window->View()->sortByColumn(column, order);
    window->View()->viewport()->repaint();
    order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
  }
}
BENCHMARK(BM_SheetSort)
    ->Arg(mw::SheetModel::kClass)
    ->Arg(mw::SheetModel::kCredits)
    ->Unit(benchmark::kMillisecond);

}  // namespace
