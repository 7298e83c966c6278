#pragma once
// The GPA overview: every semester's figures in a table, the trend chart, the GPA under every
// grading method, and the classes of the current semester with whether each counts. A
// non-modal window beside the main window; it follows every change of the open document.
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "edit/edit.h"
#include "model/figures.h"
#include "ui/overview/trend_chart.h"

class QLabel;
class QPrinter;
class QPushButton;
class QSplitter;
class QTableView;
class QTabWidget;
QT_BEGIN_NAMESPACE
class QChartView;
QT_END_NAMESPACE

namespace mw {

class BookDocument;
class FiguresTable;
class PlanTab;
class Prompts;
class SettingsStore;

class OverviewWindow : public QWidget {
  Q_OBJECT

 public:
  // doc: the open document, whose changes and selection the window follows. selectSemester
  // makes a semester current in the main window, as a click in its semester list does.
  OverviewWindow(BookDocument& doc, SettingsStore& settings, Prompts& prompts,
                 std::function<void(const QString&)> selectSemester, QWidget* parent = nullptr);
  ~OverviewWindow() override;

  // Something in the document or its selection changed: the window refreshes once the current
  // event is done (at once when it is next shown, while hidden).
  void ScheduleRefresh();
  // Recomputes and shows every figure now.
  void Refresh();

  const BookFigures& Figures() const { return figures_; }
  const TrendChart& Trend() const { return chart_; }
  PlanTab* Plan() const { return plan_; }

  // The buttons; each returns true when its file or printout was written.
  bool SaveChart_Click();
  bool ExportPdf_Click();
  bool Print_Click();

  // The date of a printout; tests replace it.
  std::function<QString()> DateText;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void OnSemesterRowChanged(int row);
  void ShowClasses();
  void SaveLayout();
  void RestoreLayout();
  void RestoreSplitters();
  bool PrintTo(QPrinter& printer);

  BookDocument& doc_;  // read, and changed only by the plan's "Add Plan as Semester..."
  std::optional<std::string> shownSemester_;  // the current semester at the last refresh
  SettingsStore& settings_;
  Prompts& prompts_;
  std::function<void(const QString&)> selectSemester_;
  BookFigures figures_;  // under the method in use
  // Under every method, for their comparison: worked out when that table first asks after a
  // refresh.
  std::optional<BookFigures> compared_;
  const BookFigures& Compared();
  QStringList methodHeaders_;  // the method table's columns, as last sized
  TrendChart chart_;
  bool pending_ = false;  // a refresh is scheduled
  bool stale_ = true;     // the figures shown are out of date (changes while hidden)
  bool syncing_ = false;  // the window sets its own selection
  bool shownBefore_ = false;

  QLabel* summary_ = nullptr;
  QLabel* scope_ = nullptr;  // the groups counted and how the method differs from the usual
  PlanTab* plan_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QSplitter* detailSplitter_ = nullptr;
  QTableView* semesterView_ = nullptr;
  FiguresTable* semesterTable_ = nullptr;
  QLabel* classesTitle_ = nullptr;
  QTableView* classView_ = nullptr;
  FiguresTable* classTable_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QChartView* chartView_ = nullptr;
  QTableView* methodView_ = nullptr;
  FiguresTable* methodTable_ = nullptr;
  QPushButton* saveChart_ = nullptr;
  QPushButton* exportPdf_ = nullptr;
  QPushButton* print_ = nullptr;
  QPushButton* close_ = nullptr;
};

}  // namespace mw
