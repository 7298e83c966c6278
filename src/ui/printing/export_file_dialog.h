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

  QLabel* Label1 = nullptr;
  QListWidget* SemesterList = nullptr;
  QLabel* Label2 = nullptr;
  QPushButton* SemAll = nullptr;
  QPushButton* SemNone = nullptr;
  QLabel* Label3 = nullptr;
  QListWidget* GroupList = nullptr;
  QLabel* Label4 = nullptr;
  QPushButton* GroupAll = nullptr;
  QPushButton* GroupNone = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* NumGroupMask = nullptr;
  QLabel* Label9 = nullptr;
  QLabel* OverallGPABox = nullptr;
  QLabel* Label10 = nullptr;
  QComboBox* MethodList = nullptr;
  QLabel* Label6 = nullptr;
  QRadioButton* OrgSem = nullptr;
  QRadioButton* OrgGroup = nullptr;
  QPushButton* Cancel = nullptr;
  QPushButton* Print = nullptr;
  QPushButton* Export = nullptr;
};

}  // namespace mw
