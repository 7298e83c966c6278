// The class sheet through the window: typing a semester with the keyboard only, a refused cell
// keeping its text, a paste as one step, and the sheet following undo made elsewhere.
#include <QClipboard>

#include "app/book_document.h"
#include "edit/edit.h"
#include "gui_test.h"
#include "ui/sheet/sheet_model.h"
#include "ui/sheet/sheet_window.h"

namespace mw {
namespace {

// The sheet's keyboard focus (a tooltip may hold the application's).
QWidget* Focus() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* sheet = qobject_cast<SheetWindow*>(w)) return sheet->focusWidget();
  return nullptr;
}
// Keys go wherever the keyboard focus is, as a user's would.
void Key(Qt::Key key) { QTest::keyClick(Focus(), key); }
void Type(const QString& text) {
  for (QChar c : text) QTest::keyClicks(Focus(), QString(c));
}
void TypeRow(const QStringList& cells) {
  for (int i = 0; i < cells.size(); ++i) {
    if (!cells[i].isEmpty()) Type(cells[i]);
    Key(i + 1 < cells.size() ? Qt::Key_Tab : Qt::Key_Return);
  }
}
QLineEdit* Editor() { return qobject_cast<QLineEdit*>(Focus()); }

class ClassSheet : public ::testing::Test {
 protected:
  void SetUp() override {
    GradeBook gb;
    ResetToFresh(gb);
    doc.Reset(std::move(gb));
    window = std::make_unique<SheetWindow>(doc, prompts, nullptr);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    SheetView* view = window->View();
    view->setFocus();
    view->setCurrentIndex(view->model()->index(view->model()->rowCount() - 1, 0));
  }
  const Class* Find(const std::string& semester, const std::string& cls) {
    return GradeBook::FindClass(doc.Book().FindSemester(semester), cls);
  }

  BookDocument doc;
  test::ScriptedPrompts prompts;
  std::unique_ptr<SheetWindow> window;
};

TEST_F(ClassSheet, AWholeSemesterTypedWithTheKeyboardOnly) {
  TypeRow({"Fall 2024", "Calculus", "4", "b+", "Major; Math"});
  TypeRow({"", "Physics", "3.5", "f", ""});  // the semester cell starts with the row above's
  TypeRow({"", "Essay", "", "a-", ""});

  const Semester* fall = doc.Book().FindSemester("Fall 2024");
  ASSERT_NE(fall, nullptr);
  ASSERT_EQ(fall->Classes.size(), 3u);
  // The typed groups replace the cell's "Everything"; new names join the group list.
  EXPECT_EQ(doc.Book().GroupsOf(fall->Classes[0]), (std::vector<std::string>{"Major", "Math"}));
  EXPECT_EQ(doc.Book().GroupPosition("Math"), 2);
  EXPECT_EQ(fall->Classes[1].Credits, 3.5);
  EXPECT_EQ(fall->Classes[2].Credits, 1.0);  // the default of a new class
  EXPECT_EQ(fall->Classes[2].Grade, 2);
  // The rows are there in the book's order, with the empty row last.
  EXPECT_EQ(window->Model()->rowCount(), 4);
  EXPECT_EQ(window->Model()->index(1, SheetModel::kGradePoints).data().toString(), "0.0");

  // Each committed cell is a step of its own, named for what it did.
  EXPECT_EQ(doc.History()->undoText(), "Change Grade");
  doc.History()->undo();
  EXPECT_EQ(Find("Fall 2024", "Essay")->Grade, 1);  // back to the new class's default
  doc.History()->undo();
  EXPECT_EQ(Find("Fall 2024", "Essay"), nullptr);
}

TEST_F(ClassSheet, ARefusedCellKeepsItsTextUntilCorrectedOrAbandoned) {
  TypeRow({"Spring", "Art", "2", "A", ""});
  TypeRow({"", "Music", "1", "B", ""});
  SheetView* view = window->View();
  const QModelIndex credits = view->model()->index(1, SheetModel::kCredits);
  view->setCurrentIndex(credits);
  Type("two");
  Key(Qt::Key_Return);
  auto* editor = Editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text(), "two");
  EXPECT_EQ(window->StatusText(), "Please enter a numeric value for the number of credits.");
  EXPECT_EQ(editor->toolTip(), window->StatusText());
  EXPECT_EQ(Find("Spring", "Music")->Credits, 1.0);
  // Tab, a click elsewhere and closing the window keep it too.
  EXPECT_FALSE(window->close());
  Key(Qt::Key_Tab);
  view->setCurrentIndex(view->model()->index(0, SheetModel::kClass));
  QApplication::processEvents();
  EXPECT_EQ(view->currentIndex().row(), 1);
  EXPECT_EQ(Editor()->text(), "two");
  // Corrected, it commits.
  editor->setText("2.5");
  Key(Qt::Key_Return);
  EXPECT_EQ(Find("Spring", "Music")->Credits, 2.5);

  // A duplicate name is refused; Escape abandons the edit and the name stays.
  view->setCurrentIndex(view->model()->index(1, SheetModel::kClass));
  Type("Art");
  Key(Qt::Key_Tab);
  EXPECT_EQ(window->StatusText(), "A class with that name already exists!");
  Key(Qt::Key_Escape);
  EXPECT_NE(Find("Spring", "Music"), nullptr);
  EXPECT_EQ(Editor(), nullptr);

  // A grade that is no letter.
  view->setCurrentIndex(view->model()->index(0, SheetModel::kGrade));
  Type("G");
  Key(Qt::Key_Return);
  EXPECT_EQ(Editor()->text(), "G");
  Key(Qt::Key_Escape);
  EXPECT_EQ(Find("Spring", "Art")->Grade, 1);
}

TEST_F(ClassSheet, PastedRowsAreOneStepAndTheSheetFollowsUndo) {
  TypeRow({"Fall", "Existing", "3", "A", ""});
  QString rows;
  for (int i = 1; i <= 15; ++i) rows += QStringLiteral("Class %1\t3\tB+\n").arg(i);
  rows += QStringLiteral("Existing\t3\tA\n");  // refused: the semester has it
  const int steps = doc.History()->count();
  window->Paste(rows);
  ASSERT_EQ(prompts.previews.size(), 1u);
  EXPECT_EQ(prompts.previews[0].classCount, 15);
  EXPECT_EQ(prompts.previews[0].refusedCount, 1);
  EXPECT_EQ(doc.Book().FindSemester("Fall")->Classes.size(), 16u);
  EXPECT_EQ(doc.History()->count(), steps + 1);
  EXPECT_EQ(doc.History()->undoText(), "Paste 15 Classes");
  EXPECT_EQ(window->Model()->rowCount(), 17);

  // Undone from the document's history (as the main window's Edit > Undo does), the sheet
  // drops the rows; made again, they come back.
  doc.History()->undo();
  EXPECT_EQ(window->Model()->rowCount(), 2);
  doc.History()->redo();
  EXPECT_EQ(window->Model()->rowCount(), 17);

  // A cancelled preview adds nothing.
  prompts.previewAnswers.push_back(std::nullopt);
  window->Paste(QStringLiteral("Other\t1\tC\n"));
  EXPECT_EQ(doc.Book().FindSemester("Fall")->Classes.size(), 16u);

  // Delete takes the selected rows away as one step.
  SheetView* view = window->View();
  view->selectionModel()->select(
      QItemSelection(view->model()->index(1, 0), view->model()->index(3, 0)),
      QItemSelectionModel::ClearAndSelect);
  window->DeleteSelection();
  EXPECT_EQ(doc.Book().FindSemester("Fall")->Classes.size(), 13u);
  EXPECT_EQ(doc.History()->undoText(), "Delete 3 Classes");
}

TEST_F(ClassSheet, SortingAndFilteringAreAViewWithTheEmptyRowLast) {
  TypeRow({"Fall", "Zoology", "3", "C", ""});
  TypeRow({"", "Art", "4", "A", ""});
  SheetView* view = window->View();
  view->sortByColumn(SheetModel::kClass, Qt::AscendingOrder);
  auto* model = view->model();
  EXPECT_EQ(model->index(0, SheetModel::kClass).data().toString(), "Art");
  EXPECT_EQ(model->index(2, SheetModel::kClass).data().toString(), "");
  view->sortByColumn(SheetModel::kCredits, Qt::DescendingOrder);
  EXPECT_EQ(model->index(0, SheetModel::kClass).data().toString(), "Art");
  EXPECT_EQ(model->index(2, SheetModel::kClass).data().toString(), "");
  EXPECT_EQ(doc.Book().FindSemester("Fall")->Classes[0].Name, "Zoology");
  window->Filter()->setText("zoo");
  EXPECT_EQ(model->rowCount(), 2);
  EXPECT_EQ(model->index(0, SheetModel::kClass).data().toString(), "Zoology");

  // Selecting a row makes its semester and class current.
  view->setCurrentIndex(model->index(0, SheetModel::kCredits));
  EXPECT_EQ(doc.CurrentClass(), std::optional<std::string>("Zoology"));
}

// The two windows share one history: a step made in either is undone from the other, and each
// shows the other's changes and selection.
using ClassSheetBesideMainWindow = test::MainWindowTest;
TEST_F(ClassSheetBesideMainWindow, UndoAndSelectionCrossBetweenTheWindows) {
  settings.WriteSetting("Options", "DefCredits", "3");
  Start();
  Main<QAction>("ClassSheet")->trigger();
  auto* sheet = w->findChild<SheetWindow*>();
  ASSERT_NE(sheet, nullptr);
  sheet->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
  SheetView* view = sheet->View();
  view->setFocus();
  view->setCurrentIndex(view->model()->index(0, 0));
  TypeRow({"Fall", "Biology", "", "", ""});
  TypeRow({"", "History", "", "", ""});
  EXPECT_EQ(w->Book().FindSemester("Fall")->Classes[0].Credits, 3.0);  // the option's default
  auto* classList = Main<QListWidget>("ClassList");
  EXPECT_EQ(classList->count(), 2);

  // Undo in the main window takes back the sheet's last step, and the sheet follows.
  Main<QAction>("Undo")->trigger();
  EXPECT_EQ(sheet->Model()->rowCount(), 2);
  EXPECT_EQ(classList->count(), 1);

  // Selecting a row in the sheet makes its class current in the main window; a grade picked
  // there shows in the sheet, and the sheet's Undo takes it back.
  view->setCurrentIndex(view->model()->index(0, SheetModel::kGrade));
  ASSERT_NE(classList->currentItem(), nullptr);
  EXPECT_EQ(classList->currentItem()->text(), "Biology");
  Main<QComboBox>("GradeListBox")->setCurrentIndex(4);
  EXPECT_EQ(sheet->Model()->index(0, SheetModel::kGrade).data().toString(), "B");
  for (QAction* a : sheet->findChildren<QAction*>())  // the sheet's Undo, named for its step
    if (a->text().startsWith("&Undo")) a->trigger();
  EXPECT_EQ(sheet->Model()->index(0, SheetModel::kGrade).data().toString(), "A");

  // Edit > Paste Classes in the main window pastes into the current semester as one step.
  QApplication::clipboard()->setText("Class\tCredits\tGrade\nArt\t2\tb\nMusic\t1\tf\n");
  Main<QAction>("PasteClasses")->trigger();
  EXPECT_EQ(w->Book().FindSemester("Fall")->Classes.size(), 3u);
  EXPECT_EQ(sheet->Model()->rowCount(), 4);

  // Export as CSV and import it again: the same classes, once more, under a changed mapping.
  QTemporaryDir dir;
  const QString csv = dir.filePath("classes.csv");
  prompts.files = {csv, csv};
  Main<QAction>("ExportClassesCsv")->trigger();
  Main<QAction>("Undo")->trigger();  // the paste
  table::ColumnMapping mapping;
  mapping.header = true;
  mapping.column = {-1, 1, 2, 3, -1};  // no semester column: into the current one; no groups
  prompts.previewAnswers = {mapping};
  Main<QAction>("ImportClasses")->trigger();
  ASSERT_EQ(prompts.previews.size(), 2u);
  EXPECT_EQ(prompts.previews[1].classCount, 2);  // Art and Music; Biology is there already
  const Semester* fall = w->Book().FindSemester("Fall");
  ASSERT_EQ(fall->Classes.size(), 3u);
  EXPECT_EQ(fall->Classes[2].Name, "Music");
  EXPECT_EQ(w->Document().History()->undoText(), "Import 2 Classes");
}

}  // namespace
}  // namespace mw
