#pragma once
// The overview's "Plan" tab: the average needed over the credits (or classes) left to reach a
// desired GPA, named by the letters around it; planned classes with the semester and
// cumulative GPA they would give; the fewest top grades that reach the target; and "Add Plan
// as Semester...". A plan never changes the grade book by itself; it is kept in the settings
// for the grade book's file.
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "edit/edit.h"
#include "model/figures.h"
#include "model/plan.h"
#include "ui/overview/trend_chart.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace mw {

class Prompts;
class SettingsStore;

class PlanTab : public QWidget {
  Q_OBJECT

 public:
  PlanTab(const GradeBook& gb, SettingsStore& settings, Prompts& prompts, QWidget* parent = nullptr);

  // The book or its figures changed: the plan of the book's file (when it is another file
  // than before) and every figure again.
  void Refresh(const BookFigures& figures);

  // Makes a step of the book (one undo step in the main window); false when refused.
  std::function<bool(edit::Outcome)> RunStep;

  // What the chart shows for the planned classes; none without planned credits.
  std::optional<PlannedPoint> ChartPoint() const;

  // The plan as the controls hold it.
  Plan CurrentPlan() const;
  void SetPlan(const Plan& plan);

  // The handlers.
  void AddRow_Click();
  void RemoveRow_Click();
  void AddAsSemester_Click();

  // The texts shown, for the tests.
  QString PredictionText() const;
  QString MixText() const;
  QString ProjectionText() const;

 signals:
  // The planned classes changed what the chart shows.
  void ChartChanged();

 private:
  void Recompute();
  void Edited();  // a control changed: keep the plan and show it
  void LoadPlanFor(const std::string& path);

  const GradeBook& gb_;
  SettingsStore& settings_;
  Prompts& prompts_;
  // What the prediction starts from: the overall GPA, the counted credits and classes.
  struct Start {
    double OverallGpa = 0.0;
    double Credits = 0.0;
    int64_t Classes = 0;
  } figures_;
  std::optional<std::string> planPath_;  // the file whose plan is shown; none before the first
  bool filling_ = false;

  QLineEdit* desired_ = nullptr;
  QRadioButton* byCredits_ = nullptr;
  QRadioButton* byClasses_ = nullptr;
  QLineEdit* left_ = nullptr;
  QLabel* prediction_ = nullptr;
  QLabel* letters_ = nullptr;
  QLabel* mix_ = nullptr;
  QTableWidget* rows_ = nullptr;
  QLabel* projection_ = nullptr;
  QPushButton* addRow_ = nullptr;
  QPushButton* removeRow_ = nullptr;
  QPushButton* addAsSemester_ = nullptr;
};

}  // namespace mw
