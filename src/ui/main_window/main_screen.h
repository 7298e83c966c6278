#pragma once
// The main window: the semester, class and group lists, the class panel, the GPA figures, the
// prediction and every command of the program. It owns the one open grade book. The selection
// (current semester, class, method and grade, the marks, the group mask) lives in the grade
// book; the widgets mirror it and feed the user's changes back into it.
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <memory>

#include "app/file_commands.h"
#include "app/prompts.h"
#include "model/gradebook.h"
#include "settings/settings_store.h"

class QAction;
class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace mw {

class OverviewWindow;

class MainScreen : public QMainWindow, public WindowHost {
  Q_OBJECT

 public:
  // prompts: every question goes there; null makes the window ask with Qt dialogs.
  explicit MainScreen(SettingsStore& settings, Prompts* prompts = nullptr,
                      QWidget* parent = nullptr);
  ~MainScreen() override;

  GradeBook& Book() { return gb_; }
  const GradeBook& Book() const { return gb_; }
  Prompts& Asker() { return *prompts_; }
  FileCommands& Files() { return files_; }
  // The one line of the status bar.
  QString StatusText() const;

  // Start-up: a fresh grade book, then the file named by the argument text or by the
  // settings. The caller shows the window afterwards.
  void StartUp(const QString& argumentText);

  // ---- WindowHost ----
  void SetCaption(const QString& caption) override;
  void SetStatusText(const QString& text) override;
  void ShowLoadedGradeBook() override;
  void RefreshFigures() override;

  // ---- Refresh and display ----
  void NewGradeBook();
  void ClearClassDisplay();
  void UpdateGPABoxes();
  void UpdateClassGPABox();
  void DisplayClasses(const Semester& s);
  void DisplayMe(const Class& c);
  void DeselectMemberGroups();

  // ---- Commands: each reads the selection from the grade book ----
  void New_Click();
  void Quit_Click();
  void Options_Click();
  void PrintExport_Click();
  void Help_Click();
  void About_Click();
  void Overview_Click();  // opens the GPA overview, or brings it to the front
  // Makes the semester named `name` current, as a click on its entry does.
  void SelectSemester(const QString& name);
  void AddMethod_Click();
  void MethodList_Click();

  void SemesterList_Click();  // select: the current entry changed or a mark flipped
  void SemesterList_DblClick();
  void SemesterList_KeyDown(int key, Qt::KeyboardModifiers modifiers);
  void AddSemesterButton_Click();
  void SemSelAll_Click();
  void SemSelNone_Click();

  void AddClassButton_Click();
  void ClassList_Click();
  void ClassList_DblClick();
  void ClassList_KeyDown(int key);
  void CreditsBox_Change();
  void GradeListBox_Click();

  void AddGroup_Click();
  void GroupList_Click();
  void GroupList_DblClick();
  void GroupList_KeyDown(int key);
  void MemberGroup_Click();
  void MemberGroup_DblClick();
  void MemberGroup_KeyDown(int key);

  void PredictGo_Click();
  void DesiredGPABox_Change();
  void ClassesLeftBox_Change();

 signals:
  // A figure, a name or a choice that the GPA overview shows may have changed.
  void FiguresChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  void SetTabOrder();
  void FitFont();
  void ConnectSignals();

  // Model -> widgets, with the widgets' own change notifications ignored.
  void FillSemesterList();
  void ShowSemesterMarks();  // the check marks from the model
  void FillMethodList();
  void FillGroupLists();
  void FillGradeList();
  void ShowSemesterCurrent();
  void ShowGradePos();

  // The current semester and class by name, with NotBogus set; null when not found or when
  // the list has no current entry.
  Semester* CurrentSemesterObj();
  Class* CurrentClassObj(Semester* s);
  // The current class; without one, the status line says what to select first.
  Class* CurrentClassOrSay();
  // DisplayMe on the current class when both lookups succeed.
  void ShowClassAgain();
  // The refusal of a name that a grade book file could not hold; true when refused.
  bool RefuseUnstorable(const QString& name);
  void SetClassListTitle(const QString& text, bool bold);
  void RenameGroup(QListWidget* list);
  void DeleteGroup(QListWidget* list, int key);

  // Widget -> model.
  void OnSemesterCurrentChanged();
  void OnSemesterItemChanged(QListWidgetItem* item);
  void OnClassCurrentChanged();
  void OnGradeIndexChanged(int index);
  void OnMethodIndexChanged(int index);
  void OnGroupListSelectionChanged();
  void OnMemberGroupSelectionChanged();

  int Px(int twips) const;
  QRect Tw(int left, int top, int width, int height) const;

  GradeBook gb_;
  SettingsStore& settings_;
  std::unique_ptr<Prompts> ownedPrompts_;
  Prompts* prompts_;
  FileCommands files_;
  double scale_ = 1.0;
  int syncing_ = 0;  // > 0 while code fills widgets: their change notifications are ignored
  QPointer<OverviewWindow> overview_;

  QWidget* central_ = nullptr;
  QLabel* statusLabel_ = nullptr;
  // Controls, named as their objectName.
  QLabel* Label1 = nullptr;
  QListWidget* SemesterList = nullptr;
  QLabel* Label4 = nullptr;
  QPushButton* SemSelAll = nullptr;
  QPushButton* SemSelNone = nullptr;
  QPushButton* AddSemesterButton = nullptr;
  QLabel* ClassListTitle = nullptr;
  QListWidget* ClassList = nullptr;
  QPushButton* AddClassButton = nullptr;
  QLabel* ClassName = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* ClassGPABox = nullptr;
  QComboBox* GradeListBox = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* CreditsBox = nullptr;
  QLabel* Label6 = nullptr;
  QListWidget* MemberGroup = nullptr;
  QPushButton* AddGroup = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* OverallGPABox = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* SemGPABox = nullptr;
  QLabel* Picture1 = nullptr;
  QLabel* Label8 = nullptr;
  QLabel* NumGroupMask = nullptr;
  QListWidget* GroupList = nullptr;
  QLabel* Label9 = nullptr;
  QComboBox* MethodList = nullptr;
  QPushButton* AddMethod = nullptr;
  QLabel* Label10 = nullptr;
  QLineEdit* DesiredGPABox = nullptr;
  QLabel* Label11 = nullptr;
  QLineEdit* ClassesLeftBox = nullptr;
  QPushButton* PredictGo = nullptr;
  QGroupBox* Frame1 = nullptr;
  QPushButton* SaveButton = nullptr;
  QPushButton* LoadButton = nullptr;
  QPushButton* OptionsButton = nullptr;
};

}  // namespace mw
