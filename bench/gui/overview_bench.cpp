// The GPA overview on a large grade book (1000 semesters of 100 classes) and on a 1,000-class
// one (10 semesters of 100): opening it to the first shown frame, and one grade change in the
// main window followed by the overview's refresh; also the refresh alone, the methods compared
// shown after a change, and the chart's drawing alone.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QListWidget>
#include <QTabWidget>
#include <memory>

#include "gui/no_prompts.h"
#include "sample_book.h"
#include "settings/settings_store.h"
#include "ui/main_window/main_screen.h"
#include "ui/overview/overview_window.h"

namespace {

struct Window {
  mw::MemorySettingsStore settings;
  mw::bench::NoPrompts prompts;
  mw::MainScreen window{settings, &prompts};
  QComboBox* grade;

  explicit Window(int semesters) {
    window.StartUp(QString());
    window.Document().Reset(mw::bench::MakeSampleBook(semesters, 100, 20, 10));
    window.show();
    window.findChild<QListWidget*>(QStringLiteral("SemesterList"))->setCurrentRow(0);
    window.findChild<QListWidget*>(QStringLiteral("ClassList"))->setCurrentRow(0);
    grade = window.findChild<QComboBox*>(QStringLiteral("GradeListBox"));
    QApplication::processEvents();
  }
  mw::OverviewWindow* Overview() { return window.findChild<mw::OverviewWindow*>(); }
};

Window& Book(int semesters) {
  static Window* big = nullptr;
  static Window* small = nullptr;
  Window*& w = semesters == 1000 ? big : small;
  if (!w) w = new Window(semesters);
  return *w;
}

void BM_OverviewOpen(benchmark::State& state) {
  Window& w = Book(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    w.window.Overview_Click();
    QApplication::processEvents();
    state.PauseTiming();
    w.Overview()->close();  // deletes it
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OverviewOpen)->Arg(1000)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_OverviewEditAndUpdate(benchmark::State& state) {
  Window& w = Book(static_cast<int>(state.range(0)));
  w.window.Overview_Click();
  QApplication::processEvents();
  int i = 0;
  for (auto _ : state) {
    w.grade->setCurrentIndex(i++ % 2 ? 3 : 4);  // the main window's refresh, then the overview's
    QApplication::processEvents();
  }
  w.Overview()->close();
  QApplication::processEvents();
}
BENCHMARK(BM_OverviewEditAndUpdate)->Arg(1000)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_OverviewRefreshAlone(benchmark::State& state) {
  Window& w = Book(static_cast<int>(state.range(0)));
  w.window.Overview_Click();
  QApplication::processEvents();
  int i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    w.grade->setCurrentIndex(i++ % 2 ? 3 : 4);
    state.ResumeTiming();
    w.Overview()->Refresh();
  }
  w.Overview()->close();
  QApplication::processEvents();
}
BENCHMARK(BM_OverviewRefreshAlone)->Arg(1000)->Arg(10)->Unit(benchmark::kMillisecond);

// The methods compared shown after a change: their figures' pass and the table's first frame.
void BM_OverviewCompareAfterEdit(benchmark::State& state) {
  Window& w = Book(static_cast<int>(state.range(0)));
  w.window.Overview_Click();
  QApplication::processEvents();
  auto* tabs = w.Overview()->findChild<QTabWidget*>(QStringLiteral("OverviewTabs"));
  int i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    tabs->setCurrentIndex(0);
    w.grade->setCurrentIndex(i++ % 2 ? 3 : 4);
    QApplication::processEvents();
    state.ResumeTiming();
    tabs->setCurrentIndex(1);
    QApplication::processEvents();
  }
  w.Overview()->close();
  QApplication::processEvents();
}
BENCHMARK(BM_OverviewCompareAfterEdit)->Arg(1000)->Unit(benchmark::kMillisecond);

// The trend chart drawn once, as its view paints it.
void BM_TrendChartPaint(benchmark::State& state) {
  Window& w = Book(static_cast<int>(state.range(0)));
  w.window.Overview_Click();
  QApplication::processEvents();
  auto* view = w.Overview()->findChild<QChartView*>();
  QImage image(view->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&image);
    static_cast<QWidget*>(view)->render(&painter);
  }
  w.Overview()->close();
  QApplication::processEvents();
}
BENCHMARK(BM_TrendChartPaint)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
