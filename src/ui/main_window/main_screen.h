#pragma once
// The main window: the semester, class and group lists, the class panel, the GPA figures, the
// prediction and every command of the program. It is a view of the open document (the grade
// book, the selection and the undo history, app/book_document.h): each command asks its
// questions, runs an edit:: command through the document and writes the status line; the
// widgets follow the document's Changed signal.
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "app/book_document.h"
#include "app/file_commands.h"
#include "app/prompts.h"
#include "edit/edit.h"
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
struct Views;
class SheetWindow;

class MainScreen : public QMainWindow, public WindowHost {
  Q_OBJECT

 public:
  // prompts: every question goes there; null makes the window ask with Qt dialogs.
  explicit MainScreen(SettingsStore& settings, Prompts* prompts = nullptr,
                      QWidget* parent = nullptr);
  ~MainScreen() override;

  BookDocument& Document() { return doc_; }
  const GradeBook& Book() const { return doc_.Book(); }
  Prompts& Asker() { return *prompts_; }
  FileCommands& Files() { return files_; }
  QUndoStack* History() { return doc_.History(); }
  const std::optional<std::string>& CurrentSemester() const { return doc_.CurrentSemester(); }
  const std::optional<std::string>& CurrentClass() const { return doc_.CurrentClass(); }
  int GradePos() const { return gradePos_; }
  // The one line of the status bar.
  QString StatusText() const;

  // Start-up: a fresh grade book, then the file named by the argument text or by the
  // settings. The caller shows the window afterwards.
  void StartUp(const QString& argumentText);

  // ---- WindowHost ----
  void SetCaption(const QString& caption) override;
  void SetStatusText(const QString& text) override;
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
  void Load_Click();
  void Quit_Click();
  void Options_Click();
  void PrintExport_Click();
  void Help_Click();
  void About_Click();
  void Overview_Click();  // opens the GPA overview, or brings it to the front
  void Sheet_Click();     // opens the class sheet, or brings it to the front
  void PasteClasses_Click();  // the clipboard's rows into the current semester
  void ImportClasses_Click();
  void ExportClassesCsv_Click();
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

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  void SetTabOrder();
  void ConnectSignals();
  // The overview and printing, opened on first use; null, after an error box, when they
  // cannot be opened.
  const Views* ViewsOrSay();

  // Model -> widgets, with the widgets' own change notifications ignored.
  void FillSemesterList();
  void ShowSemesterMarks();  // the check marks from the model
  void FillMethodList();
  void FillGroupLists();
  void FillGradeList();
  void ShowSemesterCurrent();
  void ShowGradePos();

  // The current semester and class; null when there is none.
  const Semester* CurrentSemesterObj() const { return doc_.CurrentSemesterObj(); }
  const Class* CurrentClassObj() const { return doc_.CurrentClassObj(); }
  // The current class; without one, the status line says what to select first.
  const Class* CurrentClassOrSay();
  // DisplayMe on the current class when both lookups succeed.
  void ShowClassAgain();
  // Shows the outcome's message and runs it through the document.
  BookDocument::Result Run(edit::Outcome outcome);

  // ---- Document -> widgets ----
  void OnDocumentChanged(unsigned touches, const edit::Place& place, BookDocument::Cause cause);
  // A step just made: the widgets the user did not change themselves follow the book.
  void ShowStep(unsigned touches, const edit::Place& place);
  void ShowSemesterListStep();
  void ShowClassListStep(const edit::Place& place);
  // After an undo or redo: the lists and figures again, with the step's place current.
  void Resync(unsigned touches);
  // A new or loaded book: every list afresh, nothing current.
  void ShowWholeBook();
  void FillClassList(const Semester& s);  // the entries, the current class current
  void SyncGroupLists();                  // entries and selections, keeping the member picks
  void ShowMethodInUse();

  // With unsaved changes, asks whether to save them; false when the user cancelled or the
  // save did not happen.
  bool MaybeSave();
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

  BookDocument doc_;
  std::optional<std::string> shownSemester_;  // the semester whose classes the class list shows
  std::optional<std::string> panelClass_;     // the class the class panel shows
  int gradePos_ = -1;                         // current entry of the grade selector, -1 none
  bool resetting_ = false;                    // the program itself is filling the class panel
  bool quitting_ = false;  // Quit has asked its questions: closing asks none
  SettingsStore& settings_;
  std::unique_ptr<Prompts> ownedPrompts_;
  Prompts* prompts_;
  FileCommands files_;
  double scale_ = 1.0;
  bool syncing_ = false;  // code fills widgets: their change notifications are ignored
  QPointer<QWidget> overview_;
  QPointer<SheetWindow> sheet_;

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
