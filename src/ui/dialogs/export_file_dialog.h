#pragma once
// The print/export dialog: the user chooses semesters, groups, the grading method and the
// organisation of the grade report, sees the chosen classes' count and GPA as they choose,
// and exports the report to a text file. The dialog starts from the main window's choices
// (the check marks, the group mask, the method) but keeps its own copies: nothing it does
// changes the grade book or the main window's choices.
#include <QDialog>
#include <QString>

#include <functional>

#include "model/gradebook.h"
#include "report/grade_report.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace mw {

class Prompts;

class ExportFileDialog : public QDialog {
  Q_OBJECT

 public:
  // setMainStatus writes the main window's status line.
  ExportFileDialog(const GradeBook& gb, Prompts& prompts,
                   std::function<void(const QString&)> setMainStatus, QWidget* parent = nullptr);

  // Recounts the running totals and shows them (the chosen class count, its credits in the
  // tooltip, the GPA); runs after every change of the choices.
  void UpdateTotals();

  // The handlers.
  void SemAll_Click();
  void SemNone_Click();
  void GroupAll_Click();
  void GroupNone_Click();
  // Asks for the file and writes the report; true when it was written (the dialog then
  // closes). Cancelling the file dialog or a failed write keeps the dialog open.
  bool Export_Click();
  // Asks for a printer (or a PDF file) and prints the report that Export would write; true
  // when it was printed (the dialog then closes).
  bool Print_Click();

  // The choices as the report writer takes them, and the totals of the last UpdateTotals.
  ReportChoices Choices() const;
  const ReportTotals& Totals() const { return totals_; }

  // The clock of the report's first line; tests replace it.
  std::function<QString()> DateText;

 private:
  void Fill();
  void FillLists();  // the lists from the grade book, without recomputing the totals
  void ShowMethodTip();

  const GradeBook& gb_;
  Prompts& prompts_;
  std::function<void(const QString&)> setMainStatus_;
  ReportTotals totals_;
  bool filling_ = false;

  QLabel* Label1_ = nullptr;
  QListWidget* SemesterList_ = nullptr;
  QLabel* Label2_ = nullptr;
  QPushButton* SemAll_ = nullptr;
  QPushButton* SemNone_ = nullptr;
  QLabel* Label3_ = nullptr;
  QListWidget* GroupList_ = nullptr;
  QLabel* Label4_ = nullptr;
  QPushButton* GroupAll_ = nullptr;
  QPushButton* GroupNone_ = nullptr;
  QLabel* Label5_ = nullptr;
  QLabel* NumGroupMask_ = nullptr;
  QLabel* Label9_ = nullptr;
  QLabel* OverallGPABox_ = nullptr;
  QLabel* Label10_ = nullptr;
  QComboBox* MethodList_ = nullptr;
  QLabel* Label6_ = nullptr;
  QRadioButton* OrgSem_ = nullptr;
  QRadioButton* OrgGroup_ = nullptr;
  QPushButton* Cancel_ = nullptr;
  QPushButton* Print_ = nullptr;
  QPushButton* Export_ = nullptr;
};

}  // namespace mw
