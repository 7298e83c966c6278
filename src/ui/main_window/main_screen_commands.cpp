// The main window's commands on semesters, classes and groups, and the prediction.
#include <QComboBox>
#include <QScopedValueRollback>
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
#include "model/predict.h"
#include "ui/main_window/undo_step.h"
#include "ui/main_window/main_screen.h"
#include "ui/main_window/main_screen_util.h"

namespace mw {

using main_window::Q;
using main_window::ClassListItem;

namespace {

const QString kSelectSemesterAndClass = QStringLiteral("Please select a semester and a class first.");
const QString kSelectClass = QStringLiteral("Please select a class first.");

}  // namespace

// ---- Lookups of the current semester and class ----

Semester* MainScreen::CurrentSemesterObj() {
  return curSemester_ ? gb_.FindSemester(*curSemester_) : nullptr;
}

Class* MainScreen::CurrentClassObj(Semester* s) {
  return s && curClass_ ? GradeBook::FindClass(s, *curClass_) : nullptr;
}

Class* MainScreen::CurrentClassOrSay() {
  Semester* s = CurrentSemesterObj();
  if (!s) {
    SetStatusText(kSelectSemesterAndClass);
    return nullptr;
  }
  Class* c = CurrentClassObj(s);
  if (!c) SetStatusText(kSelectClass);
  return c;
}

void MainScreen::ShowClassAgain() {
  if (Class* c = CurrentClassObj(CurrentSemesterObj())) DisplayMe(*c);
}

bool MainScreen::Run(edit::Outcome outcome) {
  if (!outcome.status.empty()) SetStatusText(Q(outcome.status));
  if (!outcome.step) return !outcome.refused;
  undo_->push(new UndoStep(*this, std::move(outcome.step)));
  UndoStep::TrimHistory(*undo_, *this, kHistoryBytes);
  emit FiguresChanged();  // a view of the whole book refreshes once the command is through
  return true;
}

// ---- Semesters ----

void MainScreen::SemesterList_Click() {
  Semester* s = CurrentSemesterObj();
  if (!s) return;
  ClearClassDisplay();
  DisplayClasses(*s);
  UpdateGPABoxes();
  SetStatusText(QStringLiteral("Selected semester ") + Q(s->Name) + QStringLiteral("."));
}

void MainScreen::AddSemesterButton_Click() {
  const QString answer = prompts_->InputBox(QStringLiteral("Enter semester name"),
                                            QStringLiteral("Add a Semester"),
                                            Q(curSemester_.value_or(std::string())));
  const std::string name = answer.toStdString();
  edit::Outcome o = edit::AddSemester(gb_, name);
  if (!o.step) {
    Run(std::move(o));
    return;
  }
  Run(std::move(o));
  {
    const QScopedValueRollback guard(syncing_, true);
    auto* item = new QListWidgetItem(answer);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    SemesterList->addItem(item);
  }
  curSemester_ = name;
  ShowSemesterCurrent();
  DisplayClasses(gb_.Semesters.back());
  ClearClassDisplay();
  UpdateGPABoxes();
}

void MainScreen::SemesterList_DblClick() {
  Semester* s = CurrentSemesterObj();
  if (!s) return;
  const std::string oldName = s->Name;
  const QString answer =
      prompts_->InputBox(QStringLiteral("Enter the new name of the semester:"),
                         QStringLiteral("Change Semester Name"), Q(oldName));
  const std::string name = answer.toStdString();
  const int row = gb_.SemesterEntryIndex(oldName);
  if (!Run(edit::RenameSemester(gb_, oldName, name))) return;
  ClassListTitle->setText(answer);
  if (row >= 0) {
    const QScopedValueRollback guard(syncing_, true);
    SemesterList->item(row)->setText(answer);
  }
  curSemester_ = name;
}

void MainScreen::SemesterList_KeyDown(int key, Qt::KeyboardModifiers modifiers) {
  const int count = static_cast<int>(gb_.SemesterOrder.size());
  const int row = curSemester_ ? gb_.SemesterEntryIndex(*curSemester_) : -1;
  const bool keypad = modifiers & Qt::KeypadModifier;

  if (key == Qt::Key_Delete && row >= 0) {
    if (prompts_->AskYesNo(QStringLiteral("Delete entire semester?"),
                           QStringLiteral("Delete Semester?"))) {
      Run(edit::DeleteSemester(gb_, row));
      curSemester_.reset();
      {
        const QScopedValueRollback guard(syncing_, true);
        delete SemesterList->takeItem(row);
      }
      ShowSemesterCurrent();
      ClearClassDisplay();
      SetClassListTitle(QStringLiteral("Class:"), false);
    }
  } else if (keypad && (key == Qt::Key_Plus || key == Qt::Key_Minus) && row >= 0) {
    const int other = key == Qt::Key_Plus ? row + 1 : row - 1;
    if (other >= 0 && other < count) {
      // The entries trade places, each keeping its own mark; the moved one stays current.
      Run(edit::MoveSemester(gb_, row, other));
      {
        const QScopedValueRollback guard(syncing_, true);
        for (int r : {row, other}) {
          QListWidgetItem* item = SemesterList->item(r);
          item->setText(Q(gb_.SemesterOrder[r].Name));
          item->setCheckState(gb_.SemesterOrder[r].Marked ? Qt::Checked : Qt::Unchecked);
        }
      }
      curSemester_ = gb_.SemesterOrder[other].Name;
      ShowSemesterCurrent();
      SemesterList_Click();
    }
  }
  UpdateGPABoxes();
}

void MainScreen::SemSelAll_Click() {
  gb_.SelectAllSemesters();
  ShowSemesterMarks();
  UpdateGPABoxes();
}

void MainScreen::SemSelNone_Click() {
  gb_.DeselectAllSemesters();
  ShowSemesterMarks();
  UpdateGPABoxes();
}

// ---- Classes ----

void MainScreen::AddClassButton_Click() {
  if (!curSemester_) {
    SetStatusText(QStringLiteral("Please select a semester first."));
    UpdateGPABoxes();
    return;
  }
  const QString answer = prompts_->InputBox(QStringLiteral("Enter class name"),
                                            QStringLiteral("Add a Class"), QString());
  Semester* s = CurrentSemesterObj();
  if (answer.isEmpty() || !s) return;
  edit::Outcome o = edit::AddClass(gb_, s->Name, answer.toStdString(), ReadDefGrade(settings_),
                                   ReadDefCredits(settings_));
  const bool added = o.step != nullptr;
  Run(std::move(o));
  if (added) {
    // The list places the new entry in its alphabetical order; it does not become current.
    const QScopedValueRollback guard(syncing_, true);
    ClassList->addItem(new ClassListItem(answer));
    ClassList->sortItems();
  }
  UpdateGPABoxes();
}

void MainScreen::ClassList_Click() {
  Class* c = CurrentClassObj(CurrentSemesterObj());
  if (!c) return;
  DisplayMe(*c);
  SetStatusText(QStringLiteral("Selected class ") + Q(c->Name) + QStringLiteral("."));
}

void MainScreen::ClassList_DblClick() {
  Semester* s = CurrentSemesterObj();
  Class* c = CurrentClassObj(s);
  if (!c) return;
  const QString answer = prompts_->InputBox(QStringLiteral("Enter the new name of the class:"),
                                            QStringLiteral("Change Class Name"), Q(c->Name));
  if (!Run(edit::RenameClass(gb_, s->Name, c->Name, answer.toStdString()))) return;
  DisplayClasses(*CurrentSemesterObj());
}

void MainScreen::ClassList_KeyDown(int key) {
  if (key == Qt::Key_Delete && curClass_ &&
      prompts_->AskYesNo(QStringLiteral("Delete class?"), QStringLiteral("Delete class?"))) {
    if (Semester* s = CurrentSemesterObj()) Run(edit::DeleteClass(gb_, s->Name, *curClass_));
    {
      const QScopedValueRollback guard(syncing_, true);
      delete ClassList->takeItem(ClassList->currentRow());
      ClassList->setCurrentRow(-1);
      ClassList->clearSelection();
      curClass_.reset();
    }
    ClassName->setText(QString());
    const QScopedValueRollback reset(resetting_, true);
    gradePos_ = ReadDefGrade(settings_);
    ShowGradePos();
    UpdateClassGPABox();
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
  if (Class* c = CurrentClassOrSay()) Run(edit::SetCredits(gb_, *curSemester_, c->Name, *value));
  UpdateClassGPABox();
  UpdateGPABoxes();
}

void MainScreen::GradeListBox_Click() {
  if (resetting_) return;
  if (Class* c = CurrentClassOrSay()) Run(edit::SetGrade(gb_, *curSemester_, c->Name, gradePos_));
  UpdateClassGPABox();
  UpdateGPABoxes();
}

// ---- Groups ----

void MainScreen::AddGroup_Click() {
  const QString answer = prompts_->InputBox(QStringLiteral("Enter group name"),
                                            QStringLiteral("Add a Group"), QString());
  Class* c = CurrentClassObj(CurrentSemesterObj());
  const std::string className = c ? c->Name : std::string();
  const std::string* semester = c ? &*curSemester_ : nullptr;
  if (!Run(edit::AddGroup(gb_, answer.toStdString(), semester, c ? &className : nullptr)))
    return;
  {
    const QScopedValueRollback guard(syncing_, true);
    GroupList->addItem(answer);
    GroupList->item(GroupList->count() - 1)->setSelected(true);
    MemberGroup->addItem(answer);
  }
  ShowClassAgain();
  UpdateGPABoxes();
}

void MainScreen::GroupList_Click() {
  std::vector<bool> inMask;
  for (int i = 0; i < GroupList->count(); ++i) inMask.push_back(GroupList->item(i)->isSelected());
  Run(edit::SetMask(gb_, inMask, GroupList->currentRow()));
  UpdateGPABoxes();
}

void MainScreen::MemberGroup_Click() {
  if (resetting_) return;
  if (Class* c = CurrentClassOrSay()) {
    std::vector<std::string> groups;
    for (int i = 0; i < MemberGroup->count(); ++i)
      if (MemberGroup->item(i)->isSelected())
        groups.push_back(MemberGroup->item(i)->text().toStdString());
    Run(edit::SetClassGroups(gb_, *curSemester_, c->Name, groups));
  }
  UpdateGPABoxes();
}

void MainScreen::RenameGroup(QListWidget* list) {
  // A list without a current entry has no group to rename.
  const int p = list->currentRow();
  if (p < 0 || p >= static_cast<int>(gb_.GroupNames.size())) return;
  const std::string oldName = gb_.GroupNames[p].Name;
  const QString answer = prompts_->InputBox(QStringLiteral("Enter the new name of the group:"),
                                            QStringLiteral("Change Group Name"), Q(oldName));
  if (answer.isEmpty() || !Run(edit::RenameGroup(gb_, p, answer.toStdString()))) return;
  const QScopedValueRollback reset(resetting_, true);
  {
    const QScopedValueRollback guard(syncing_, true);
    GroupList->item(p)->setText(answer);
    MemberGroup->item(p)->setText(answer);
  }
  ShowClassAgain();
}

void MainScreen::GroupList_DblClick() { RenameGroup(GroupList); }
void MainScreen::MemberGroup_DblClick() { RenameGroup(MemberGroup); }

void MainScreen::DeleteGroup(QListWidget* list, int key) {
  const int p = list->currentRow();
  if (key == Qt::Key_Delete && list->count() > 0 && p >= 0 &&
      p < static_cast<int>(gb_.GroupNames.size())) {
    const std::string name = gb_.GroupNames[p].Name;
    if (prompts_->AskYesNo(QStringLiteral("Delete group ") + Q(name) + QStringLiteral("?"),
                           QStringLiteral("Delete Group?"))) {
      Run(edit::DeleteGroup(gb_, p));
      const QScopedValueRollback guard(syncing_, true);
      delete MemberGroup->takeItem(p);
      delete GroupList->takeItem(p);
    }
  }
  UpdateGPABoxes();
}

void MainScreen::GroupList_KeyDown(int key) { DeleteGroup(GroupList, key); }
void MainScreen::MemberGroup_KeyDown(int key) { DeleteGroup(MemberGroup, key); }

// ---- The prediction ----

void MainScreen::PredictGo_Click() {
  SetStatusText(Q(PredictNeeded(gb_, last_, DesiredGPABox->text().toStdString(),
                                ClassesLeftBox->text().toStdString())));
}

void MainScreen::DesiredGPABox_Change() {
  SetStatusText(Q(DesiredGpaChangeMessage(DesiredGPABox->text().toStdString())));
}

void MainScreen::ClassesLeftBox_Change() {
  SetStatusText(Q(ClassesLeftChangeMessage(ClassesLeftBox->text().toStdString())));
}

}  // namespace mw
