#pragma once
// The main window: the semester, class and group lists, the class panel, the GPA figures, the
// prediction and every command of the program. It owns the one open grade book and the undo
// history of its changes. The document lives in the grade book; what is selected (the current
// semester, class and grade) and the figures of the last refresh are the window's own. Every
// change goes through the editing layer (edit/edit.h) and becomes one step of the history.
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "app/file_commands.h"
#include "app/prompts.h"
#include "edit/edit.h"
#include "model/gpa.h"
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
class QUndoStack;

namespace mw {

class ElidedLabel;
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
  QUndoStack* History() { return undo_; }
  // The window's selection and the figures of its last refresh.
  const std::optional<std::string>& CurrentSemester() const { return curSemester_; }
  const std::optional<std::string>& CurrentClass() const { return curClass_; }
  int GradePos() const { return gradePos_; }
  const GpaFigures& LastFigures() const { return last_; }
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
  void MarkSaved() override;

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
  void Load_Click();
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
  void closeEvent(QCloseEvent* event) override;

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

  // The current semester and class by name; null when not found or when the list has no
  // current entry.
  Semester* CurrentSemesterObj();
  Class* CurrentClassObj(Semester* s);
  // The current class; without one, the status line says what to select first.
  Class* CurrentClassOrSay();
  // DisplayMe on the current class when both lookups succeed.
  void ShowClassAgain();
  // Shows the outcome's message and, when it changes the book, makes its step (one step of
  // the history). False when the command was refused.
  bool Run(edit::Outcome outcome);
  // After an undo or redo: the lists and figures again, with place current.
  void Resync(unsigned touches, const edit::Place& place);
  // With unsaved changes, asks whether to save them; false when the user cancelled or the
  // save did not happen.
  bool MaybeSave();
  friend class UndoStep;
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

  static constexpr int kUndoLimit = 1000;
  // The history also keeps at most this many bytes of steps, dropping the oldest.
  static constexpr std::size_t kHistoryBytes = std::size_t{64} << 20;

  GradeBook gb_;
  std::optional<std::string> curSemester_;  // text of the semester list's current entry
  std::optional<std::string> curClass_;     // text of the class list's current entry
  int gradePos_ = -1;                       // current entry of the grade selector, -1 none
  bool resetting_ = false;                  // the program itself is filling the class panel
  GpaFigures last_;                         // the figures of the last refresh
  QUndoStack* undo_ = nullptr;
  bool quitting_ = false;  // Quit has asked its questions: closing asks none
  SettingsStore& settings_;
  std::unique_ptr<Prompts> ownedPrompts_;
  Prompts* prompts_;
  FileCommands files_;
  double scale_ = 1.0;
  bool syncing_ = false;  // code fills widgets: their change notifications are ignored
  QPointer<OverviewWindow> overview_;

  QWidget* central_ = nullptr;
  ElidedLabel* statusLabel_ = nullptr;
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
