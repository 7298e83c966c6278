// The main window's commands on semesters, classes and groups, and the prediction.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <algorithm>
#include <cmath>
#include <utility>

#include "model/amount.h"
#include "model/codepage.h"
#include "model/numtext.h"
#include "edit/edit.h"
#include "model/gpa.h"
#include "model/predict.h"
#include "ui/main_window/main_screen.h"
#include "ui/main_window/main_screen_util.h"

namespace mw {

using main_window::Q;
using main_window::ClassListItem;

namespace {

const QString kSelectSemesterAndClass = QStringLiteral("Please select a semester and a class first.");
const QString kSelectClass = QStringLiteral("Please select a class first.");

}  // namespace

// ---- The current class ----

const Class* MainScreen::CurrentClassOrSay() {
  if (!CurrentSemesterObj()) {
    SetStatusText(kSelectSemesterAndClass);
    return nullptr;
  }
  const Class* c = CurrentClassObj();
  if (!c) SetStatusText(kSelectClass);
  return c;
}

void MainScreen::ShowClassAgain() {
  if (const Class* c = CurrentClassObj()) DisplayMe(*c);
}

BookDocument::Result MainScreen::Run(edit::Outcome outcome) {
  if (!outcome.status.empty()) SetStatusText(Q(outcome.status));
  return doc_.Run(std::move(outcome));
}

// ---- Semesters ----

void MainScreen::SemesterList_Click() {
  const Semester* s = CurrentSemesterObj();
  if (!s) return;
  ClearClassDisplay();
  DisplayClasses(*s);
  UpdateGPABoxes();
  SetStatusText(QStringLiteral("Selected semester ") + Q(s->Name) + QStringLiteral("."));
}

void MainScreen::AddSemesterButton_Click() {
  const QString answer = prompts_->InputBox(QStringLiteral("Enter semester name"),
                                            QStringLiteral("Add a Semester"),
                                            Q(CurrentSemester().value_or(std::string())));
  Run(edit::AddSemester(Book(), answer.toStdString()));
}

void MainScreen::SemesterList_DblClick() {
  const Semester* s = CurrentSemesterObj();
  if (!s) return;
  const std::string oldName = s->Name;
  const QString answer =
      prompts_->InputBox(QStringLiteral("Enter the new name of the semester:"),
                         QStringLiteral("Change Semester Name"), Q(oldName));
  Run(edit::RenameSemester(Book(), oldName, answer.toStdString()));
}

void MainScreen::SemesterList_KeyDown(int key, Qt::KeyboardModifiers modifiers) {
  const int count = static_cast<int>(Book().SemesterOrder.size());
  const int row = CurrentSemester() ? Book().SemesterEntryIndex(*CurrentSemester()) : -1;
  const bool keypad = modifiers & Qt::KeypadModifier;

  if (key == Qt::Key_Delete && row >= 0) {
    if (prompts_->AskYesNo(QStringLiteral("Delete entire semester?"),
                           QStringLiteral("Delete Semester?")))
      Run(edit::DeleteSemester(Book(), row));
  } else if (keypad && (key == Qt::Key_Plus || key == Qt::Key_Minus) && row >= 0) {
    const int other = key == Qt::Key_Plus ? row + 1 : row - 1;
    // The entries trade places, each keeping its own mark; the moved one stays current and is
    // selected afresh.
    if (other >= 0 && other < count && Run(edit::MoveSemester(Book(), row, other)))
      SemesterList_Click();
  }
  UpdateGPABoxes();
}

void MainScreen::SemSelAll_Click() { doc_.SetAllMarked(true); }

void MainScreen::SemSelNone_Click() { doc_.SetAllMarked(false); }

// ---- Classes ----

void MainScreen::AddClassButton_Click() {
  if (!CurrentSemester()) {
    SetStatusText(QStringLiteral("Please select a semester first."));
    UpdateGPABoxes();
    return;
  }
  const QString answer = prompts_->InputBox(QStringLiteral("Enter class name"),
                                            QStringLiteral("Add a Class"), QString());
  const Semester* s = CurrentSemesterObj();
  if (answer.isEmpty() || !s) return;
  if (!Run(edit::AddClass(Book(), s->Name, answer.toStdString(), ReadDefGrade(settings_),
                          ReadDefCredits(settings_)))
           .changed)
    UpdateGPABoxes();
}

void MainScreen::ClassList_Click() {
  const Class* c = CurrentClassObj();
  if (!c) return;
  DisplayMe(*c);
  SetStatusText(QStringLiteral("Selected class ") + Q(c->Name) + QStringLiteral("."));
}

void MainScreen::ClassList_DblClick() {
  const Semester* s = CurrentSemesterObj();
  const Class* c = CurrentClassObj();
  if (!c) return;
  const QString answer = prompts_->InputBox(QStringLiteral("Enter the new name of the class:"),
                                            QStringLiteral("Change Class Name"), Q(c->Name));
  Run(edit::RenameClass(Book(), s->Name, c->Name, answer.toStdString()));
}

void MainScreen::ClassList_KeyDown(int key) {
  if (key == Qt::Key_Delete && CurrentClass() &&
      prompts_->AskYesNo(QStringLiteral("Delete class?"), QStringLiteral("Delete class?"))) {
    if (const Semester* s = CurrentSemesterObj())
      Run(edit::DeleteClass(Book(), s->Name, *CurrentClass()));
  }
  UpdateGPABoxes();
}

void MainScreen::CreditsBox_Change() {
  const std::string text = CreditsBox->text().toStdString();
  std::optional<double> value = text.empty() ? std::optional<double>(0.0) : TextToDouble(text);
  // Credits beyond the safe range (or too large for a double) would make the sums overflow.
  if (value && !IsSafeAmount(*value)) value.reset();
  if (!value) {
    SetStatusText(QStringLiteral("Please enter a numeric value for the number of credits."));
    return;
  }
  if (resetting_) return;
  const Class* c = CurrentClassOrSay();
  if (!c || !Run(edit::SetCredits(Book(), *CurrentSemester(), c->Name, *value)).changed) {
    UpdateClassGPABox();
    UpdateGPABoxes();
  }
}

void MainScreen::GradeListBox_Click() {
  if (resetting_) return;
  const Class* c = CurrentClassOrSay();
  if (!c || !Run(edit::SetGrade(Book(), *CurrentSemester(), c->Name, gradePos_)).changed) {
    UpdateClassGPABox();
    UpdateGPABoxes();
  }
}

// ---- Groups ----

void MainScreen::AddGroup_Click() {
  const QString answer = prompts_->InputBox(QStringLiteral("Enter group name"),
                                            QStringLiteral("Add a Group"), QString());
  const Class* c = CurrentClassObj();
  const std::string className = c ? c->Name : std::string();
  const std::string* semester = c ? &*CurrentSemester() : nullptr;
  Run(edit::AddGroup(Book(), answer.toStdString(), semester, c ? &className : nullptr));
}

void MainScreen::GroupList_Click() {
  std::vector<bool> inMask;
  for (int i = 0; i < GroupList->count(); ++i) inMask.push_back(GroupList->item(i)->isSelected());
  if (!Run(edit::SetMask(Book(), inMask, GroupList->currentRow())).changed) UpdateGPABoxes();
}

void MainScreen::MemberGroup_Click() {
  if (resetting_) return;
  bool changed = false;
  if (const Class* c = CurrentClassOrSay()) {
    std::vector<std::string> groups;
    for (int i = 0; i < MemberGroup->count(); ++i)
      if (MemberGroup->item(i)->isSelected())
        groups.push_back(MemberGroup->item(i)->text().toStdString());
    changed = Run(edit::SetClassGroups(Book(), *CurrentSemester(), c->Name, groups)).changed;
  }
  if (!changed) UpdateGPABoxes();
}

void MainScreen::RenameGroup(QListWidget* list) {
  // A list without a current entry has no group to rename.
  const int p = list->currentRow();
  if (p < 0 || p >= static_cast<int>(Book().GroupNames.size())) return;
  const std::string oldName = Book().GroupNames[p].Name;
  const QString answer = prompts_->InputBox(QStringLiteral("Enter the new name of the group:"),
                                            QStringLiteral("Change Group Name"), Q(oldName));
  if (!answer.isEmpty()) Run(edit::RenameGroup(Book(), p, answer.toStdString()));
}

void MainScreen::GroupList_DblClick() { RenameGroup(GroupList); }
void MainScreen::MemberGroup_DblClick() { RenameGroup(MemberGroup); }

void MainScreen::DeleteGroup(QListWidget* list, int key) {
  const int p = list->currentRow();
  if (key == Qt::Key_Delete && list->count() > 0 && p >= 0 &&
      p < static_cast<int>(Book().GroupNames.size())) {
    const std::string name = Book().GroupNames[p].Name;
    if (prompts_->AskYesNo(QStringLiteral("Delete group ") + Q(name) + QStringLiteral("?"),
                           QStringLiteral("Delete Group?")) &&
        Run(edit::DeleteGroup(Book(), p)).changed)
      return;
  }
  UpdateGPABoxes();
}

void MainScreen::GroupList_KeyDown(int key) { DeleteGroup(GroupList, key); }
void MainScreen::MemberGroup_KeyDown(int key) { DeleteGroup(MemberGroup, key); }

// ---- The prediction ----

void MainScreen::PredictGo_Click() {
  const GpaFigures figures = mw::UpdateGPABoxes(Book(), CurrentSemester().value_or(std::string()));
  SetStatusText(Q(PredictNeeded(Book(), figures, DesiredGPABox->text().toStdString(),
                                ClassesLeftBox->text().toStdString())));
}

void MainScreen::DesiredGPABox_Change() {
  SetStatusText(Q(DesiredGpaChangeMessage(DesiredGPABox->text().toStdString())));
}

void MainScreen::ClassesLeftBox_Change() {
  SetStatusText(Q(ClassesLeftChangeMessage(ClassesLeftBox->text().toStdString())));
}

}  // namespace mw
