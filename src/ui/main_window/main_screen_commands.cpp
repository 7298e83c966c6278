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
#include "model/predict.h"
#include "ui/main_window/main_screen.h"
#include "ui/main_window/main_screen_util.h"

namespace mw {

using main_window::Q;
using main_window::ClassListItem;
using main_window::Syncing;

namespace {

const QString kSelectSemesterAndClass = QStringLiteral("Please select a semester and a class first.");
const QString kSelectClass = QStringLiteral("Please select a class first.");

}  // namespace

// ---- Lookups of the current semester and class ----

Semester* MainScreen::CurrentSemesterObj() {
  if (!gb_.CurrentSemester) {
    gb_.NotBogus = false;
    return nullptr;
  }
  Semester* s = gb_.FindSemester(*gb_.CurrentSemester);
  return gb_.NotBogus ? s : nullptr;
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

Class* MainScreen::CurrentClassObj(Semester* s) {
  if (!s || !gb_.CurrentClass) {
    gb_.NotBogus = false;
    return nullptr;
  }
  Class* c = gb_.FindClass(s, *gb_.CurrentClass);
  return gb_.NotBogus ? c : nullptr;
}

void MainScreen::ShowClassAgain() {
  if (Class* c = CurrentClassObj(CurrentSemesterObj())) DisplayMe(*c);
}

bool MainScreen::RefuseUnstorable(const QString& name) {
  if (IsStorableName(name.toStdString())) return false;
  SetStatusText(QStringLiteral(
      "That name cannot be kept in a Markwell file (it holds a line break or a character "
      "outside Western European text); please type another."));
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
                                            Q(gb_.CurrentSemesterText()));
  if (answer.isEmpty()) return;
  const std::string name = answer.toStdString();
  gb_.FindSemester(name);
  if (gb_.NotBogus) {
    SetStatusText(QStringLiteral("A semester with that name already exists!"));
    return;
  }
  if (RefuseUnstorable(answer)) return;

  Semester s;
  s.SetName(name);
  gb_.Semesters.push_back(std::move(s));
  gb_.SemesterOrder.push_back({name, true});
  {
    Syncing guard(syncing_);
    auto* item = new QListWidgetItem(answer);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    SemesterList->addItem(item);
  }
  gb_.CurrentSemester = name;
  ShowSemesterCurrent();
  SetStatusText(QStringLiteral("Semester ") + answer + QStringLiteral(" added."));
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
  gb_.FindSemester(name);
  if (gb_.NotBogus) {
    SetStatusText(QStringLiteral("A semester with that name already exists!"));
    return;
  }
  if (answer.isEmpty() || RefuseUnstorable(answer)) return;

  s->Name = name;
  ClassListTitle->setText(answer);
  const int row = gb_.SemesterEntryIndex(oldName);
  if (row >= 0) {
    gb_.SemesterOrder[row].Name = name;
    Syncing guard(syncing_);
    SemesterList->item(row)->setText(answer);
  }
  gb_.CurrentSemester = name;
}

void MainScreen::SemesterList_KeyDown(int key, Qt::KeyboardModifiers modifiers) {
  const int count = static_cast<int>(gb_.SemesterOrder.size());
  const int row = gb_.CurrentSemester ? gb_.SemesterEntryIndex(*gb_.CurrentSemester) : -1;
  const bool keypad = modifiers & Qt::KeypadModifier;

  if (key == Qt::Key_Delete && row >= 0) {
    if (prompts_->AskYesNo(QStringLiteral("Delete entire semester?"),
                           QStringLiteral("Delete Semester?"))) {
      gb_.RemoveSemester(gb_.SemesterOrder[row].Name);
      gb_.SemesterOrder.erase(gb_.SemesterOrder.begin() + row);
      gb_.CurrentSemester.reset();
      {
        Syncing guard(syncing_);
        delete SemesterList->takeItem(row);
      }
      ShowSemesterCurrent();
      ClearClassDisplay();
      SetClassListTitle(QStringLiteral("Class:"), false);
      SetStatusText(QStringLiteral("Semester deleted."));
    }
  } else if (keypad && (key == Qt::Key_Plus || key == Qt::Key_Minus) && row >= 0) {
    const int other = key == Qt::Key_Plus ? row + 1 : row - 1;
    if (other >= 0 && other < count) {
      // The entries trade places, each keeping its own mark; the moved one stays current.
      std::swap(gb_.SemesterOrder[row], gb_.SemesterOrder[other]);
      {
        Syncing guard(syncing_);
        for (int r : {row, other}) {
          QListWidgetItem* item = SemesterList->item(r);
          item->setText(Q(gb_.SemesterOrder[r].Name));
          item->setCheckState(gb_.SemesterOrder[r].Marked ? Qt::Checked : Qt::Unchecked);
        }
      }
      gb_.CurrentSemester = gb_.SemesterOrder[other].Name;
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
  if (!gb_.CurrentSemester) {
    SetStatusText(QStringLiteral("Please select a semester first."));
    UpdateGPABoxes();
    return;
  }
  const QString answer = prompts_->InputBox(QStringLiteral("Enter class name"),
                                            QStringLiteral("Add a Class"), QString());
  Semester* s = CurrentSemesterObj();
  if (answer.isEmpty() || !s) return;
  const std::string name = answer.toStdString();
  gb_.FindClass(s, name);
  if (gb_.NotBogus) {
    SetStatusText(QStringLiteral("A class with that name already exists!"));
    UpdateGPABoxes();
    return;
  }
  if (RefuseUnstorable(answer)) return;

  Class c;
  c.SetName(name);
  c.Grade = static_cast<int16_t>(ReadDefGrade(settings_));
  c.Credits = ReadDefCredits(settings_);
  if (gb_.GroupExists("Everything")) c.Groups.push_back("Everything");
  s->AddClass(std::move(c));
  {
    // The list places the new entry in its alphabetical order; it does not become current.
    Syncing guard(syncing_);
    ClassList->addItem(new ClassListItem(answer));
    ClassList->sortItems();
  }
  SetStatusText(QStringLiteral("Added class ") + answer + QStringLiteral("."));
  UpdateGPABoxes();
}

void MainScreen::ClassList_Click() {
  Semester* s = CurrentSemesterObj();
  if (!s) return;
  Class* c = CurrentClassObj(s);
  if (!c) return;
  DisplayMe(*c);
  SetStatusText(QStringLiteral("Selected class ") + Q(c->Name) + QStringLiteral("."));
}

void MainScreen::ClassList_DblClick() {
  Semester* s = CurrentSemesterObj();
  if (!s) return;
  Class* c = CurrentClassObj(s);
  if (!c) return;
  const QString answer = prompts_->InputBox(QStringLiteral("Enter the new name of the class:"),
                                            QStringLiteral("Change Class Name"), Q(c->Name));
  const std::string name = answer.toStdString();
  gb_.FindClass(s, name);
  if (gb_.NotBogus) {
    SetStatusText(QStringLiteral("A class with that name already exists!"));
    return;
  }
  if (answer.isEmpty() || RefuseUnstorable(answer)) return;
  c->Name = name;
  DisplayClasses(*s);
}

void MainScreen::ClassList_KeyDown(int key) {
  if (key == Qt::Key_Delete && gb_.CurrentClass &&
      prompts_->AskYesNo(QStringLiteral("Delete class?"), QStringLiteral("Delete class?"))) {
    const std::string name = *gb_.CurrentClass;
    if (Semester* s = CurrentSemesterObj()) s->RemoveClass(name);
    {
      Syncing guard(syncing_);
      delete ClassList->takeItem(ClassList->currentRow());
      ClassList->setCurrentRow(-1);
      ClassList->clearSelection();
      gb_.CurrentClass.reset();
    }
    ClassName->setText(QString());
    const bool saved = gb_.resetting;
    gb_.resetting = true;
    gb_.GradePos = ReadDefGrade(settings_);
    ShowGradePos();
    UpdateClassGPABox();
    gb_.resetting = saved;
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
  if (gb_.resetting) return;
  if (Class* c = CurrentClassOrSay()) {
    c->Credits = *value;
    SetStatusText(QStringLiteral("Changed credits for class ") + Q(c->Name) +
                  QStringLiteral(" to ") + Q(PlainNumber(c->Credits)) + QStringLiteral("."));
  }
  UpdateClassGPABox();
  UpdateGPABoxes();
}

void MainScreen::GradeListBox_Click() {
  if (gb_.resetting) return;
  if (Class* c = CurrentClassOrSay()) {
    if (gb_.GradePos >= 0 && gb_.GradePos < kGradeCount)
      c->Grade = static_cast<int16_t>(gb_.GradePos);
    SetStatusText(QStringLiteral("Changed grade for class ") + Q(c->Name) + QStringLiteral("."));
  }
  UpdateClassGPABox();
  UpdateGPABoxes();
}

// ---- Groups ----

void MainScreen::AddGroup_Click() {
  const QString answer = prompts_->InputBox(QStringLiteral("Enter group name"),
                                            QStringLiteral("Add a Group"), QString());
  if (answer.isEmpty()) return;
  const std::string name = answer.toStdString();
  if (gb_.GroupExists(name)) {
    SetStatusText(QStringLiteral("A group of that name already exists!"));
    return;
  }
  if (RefuseUnstorable(answer)) return;

  // The new group joins the group mask.
  gb_.GroupNames.push_back({name, true});
  {
    Syncing guard(syncing_);
    GroupList->addItem(answer);
    GroupList->item(GroupList->count() - 1)->setSelected(true);
    MemberGroup->addItem(answer);
  }
  if (Class* c = CurrentClassObj(CurrentSemesterObj())) {
    c->Groups.push_back(name);
    DisplayMe(*c);
  }
  UpdateGPABoxes();
  SetStatusText(QStringLiteral("Group ") + answer + QStringLiteral(" added."));
}

void MainScreen::GroupList_Click() {
  const int row = GroupList->currentRow();
  if (row >= 0 && row < static_cast<int>(gb_.GroupNames.size())) {
    const QString name = Q(gb_.GroupNames[row].Name);
    if (gb_.GroupNames[row].InMask)
      SetStatusText(QStringLiteral("Added group ") + name + QStringLiteral(" to group mask."));
    else
      SetStatusText(QStringLiteral("Removed group ") + name +
                    QStringLiteral(" from group mask."));
  }
  UpdateGPABoxes();
}

void MainScreen::MemberGroup_Click() {
  if (gb_.resetting) return;
  if (Class* c = CurrentClassOrSay()) {
    std::vector<std::string> groups;
    for (int i = 0; i < MemberGroup->count(); ++i)
      if (MemberGroup->item(i)->isSelected()) groups.push_back(MemberGroup->item(i)->text().toStdString());
    c->Groups = std::move(groups);
    SetStatusText(QStringLiteral("Changed groups under which class ") + Q(c->Name) +
                  QStringLiteral(" falls."));
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
  if (answer.isEmpty()) return;
  const std::string name = answer.toStdString();
  if (gb_.GroupExists(name)) {
    SetStatusText(QStringLiteral("A group with that name already exists!"));
    return;
  }
  if (RefuseUnstorable(answer)) return;

  const bool saved = gb_.resetting;
  gb_.resetting = true;
  gb_.GroupNames[p].Name = name;
  {
    Syncing guard(syncing_);
    GroupList->item(p)->setText(answer);
    MemberGroup->item(p)->setText(answer);
  }
  gb_.RenameGroupInClasses(oldName, name);
  ShowClassAgain();
  gb_.resetting = saved;
}

void MainScreen::GroupList_DblClick() { RenameGroup(GroupList); }
void MainScreen::MemberGroup_DblClick() { RenameGroup(MemberGroup); }

void MainScreen::DeleteGroup(QListWidget* list, int key) {
  const bool saved = gb_.resetting;
  const int p = list->currentRow();
  if (key == Qt::Key_Delete && list->count() > 0 && p >= 0 &&
      p < static_cast<int>(gb_.GroupNames.size())) {
    const std::string name = gb_.GroupNames[p].Name;
    if (prompts_->AskYesNo(QStringLiteral("Delete group ") + Q(name) + QStringLiteral("?"),
                           QStringLiteral("Delete Group?"))) {
      gb_.resetting = true;
      gb_.GroupNames.erase(gb_.GroupNames.begin() + p);
      {
        Syncing guard(syncing_);
        delete MemberGroup->takeItem(p);
        delete GroupList->takeItem(p);
      }
      gb_.RemoveGroupFromClasses(name);
    }
  }
  gb_.resetting = saved;
  UpdateGPABoxes();
}

void MainScreen::GroupList_KeyDown(int key) { DeleteGroup(GroupList, key); }
void MainScreen::MemberGroup_KeyDown(int key) { DeleteGroup(MemberGroup, key); }

// ---- The prediction ----

void MainScreen::PredictGo_Click() {
  SetStatusText(Q(PredictNeeded(gb_, DesiredGPABox->text().toStdString(),
                                ClassesLeftBox->text().toStdString())));
}

void MainScreen::DesiredGPABox_Change() {
  SetStatusText(Q(DesiredGpaChangeMessage(DesiredGPABox->text().toStdString())));
}

void MainScreen::ClassesLeftBox_Change() {
  SetStatusText(Q(ClassesLeftChangeMessage(ClassesLeftBox->text().toStdString())));
}

}  // namespace mw
