// The main window's commands on a large grade book (1000 semesters of 100 classes), each
// through the widget the user touches, the refresh of the figures included; and start-up to
// the first shown window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QUndoStack>
#include <memory>

#include "gui/no_prompts.h"
#include "sample_book.h"
#include "settings/settings_store.h"
#include "ui/main_window/main_screen.h"

namespace {

struct BigWindow {
  mw::MemorySettingsStore settings;
  mw::bench::NoPrompts prompts;
  mw::MainScreen window{settings, &prompts};
  QListWidget* semesters;
  QListWidget* classes;
  QListWidget* groups;

  BigWindow() {
    window.StartUp(QString());
    window.Document().Reset(mw::bench::MakeSampleBook(1000, 100, 20, 10));
    window.show();
    semesters = window.findChild<QListWidget*>(QStringLiteral("SemesterList"));
    classes = window.findChild<QListWidget*>(QStringLiteral("ClassList"));
    groups = window.findChild<QListWidget*>(QStringLiteral("GroupList"));
    semesters->setCurrentRow(0);
    classes->setCurrentRow(0);
    QApplication::processEvents();
  }
};

BigWindow& Big() {
  static BigWindow* big = new BigWindow();
  return *big;
}

void BM_GradeChange(benchmark::State& state) {
  BigWindow& big = Big();
  auto* grade = big.window.findChild<QComboBox*>(QStringLiteral("GradeListBox"));
  int i = 0;
  for (auto _ : state) grade->setCurrentIndex(i++ % 2 ? 3 : 4);
}
BENCHMARK(BM_GradeChange)->Unit(benchmark::kMillisecond);

void BM_CreditsEdit(benchmark::State& state) {
  BigWindow& big = Big();
  auto* credits = big.window.findChild<QLineEdit*>(QStringLiteral("CreditsBox"));
  credits->setFocus();
  int i = 0;
  for (auto _ : state) {
    // One keystroke typed over the whole text: one change of the credits.
    state.PauseTiming();
    credits->selectAll();
    state.ResumeTiming();
    QTest::keyClick(credits, i++ % 2 ? Qt::Key_3 : Qt::Key_4);
  }
}
BENCHMARK(BM_CreditsEdit)->Unit(benchmark::kMillisecond);

void BM_MaskClick(benchmark::State& state) {
  BigWindow& big = Big();
  const QPoint at = big.groups->visualItemRect(big.groups->item(3)).center();
  for (auto _ : state)
    QTest::mouseClick(big.groups->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
}
BENCHMARK(BM_MaskClick)->Unit(benchmark::kMillisecond);

void BM_SemesterSelection(benchmark::State& state) {
  BigWindow& big = Big();
  int i = 0;
  for (auto _ : state) big.semesters->setCurrentRow(i++ % 2 ? 1 : 2);
}
BENCHMARK(BM_SemesterSelection)->Unit(benchmark::kMillisecond);

// Undo and redo of a grade change: the book, the lists and the figures shown again.
void BM_UndoRedo(benchmark::State& state) {
  BigWindow& big = Big();
  auto* grade = big.window.findChild<QComboBox*>(QStringLiteral("GradeListBox"));
  grade->setCurrentIndex(grade->currentIndex() == 3 ? 4 : 3);
  QUndoStack* history = big.window.History();
  int i = 0;
  for (auto _ : state) {
    if (i++ % 2)
      history->redo();
    else
      history->undo();
  }
}
BENCHMARK(BM_UndoRedo)->Unit(benchmark::kMillisecond);

void BM_StartUpToShownWindow(benchmark::State& state) {
  for (auto _ : state) {
    mw::MemorySettingsStore settings;
    mw::bench::NoPrompts prompts;
    auto window = std::make_unique<mw::MainScreen>(settings, &prompts);
    window->StartUp(QString());
    window->show();
    QApplication::processEvents();
    state.PauseTiming();
    window.reset();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartUpToShownWindow)->Unit(benchmark::kMillisecond);

}  // namespace
