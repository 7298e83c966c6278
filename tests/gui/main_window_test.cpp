// The main window as it opens (the fresh grade book, its shortcuts, the method selector and the
// dialogs it opens), and its commands on semesters, classes and groups and the prediction,
// driven by real mouse and key events with scripted answers.
#include <QGroupBox>
#include <QMouseEvent>
#include <QStyleFactory>
#include <QWheelEvent>

#include "gui_test.h"
#include "ui/dialogs/edit_method_dialog.h"
#include "ui/views/views.h"
#include "ui/widgets/lean_style.h"

namespace mw {
namespace {

using test::Entries;

class MainWindowCommands : public test::MainWindowTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Start());
    QApplication::setActiveWindow(w.get());
  }
  // The object name of the modal dialog that `step` opens; `inside` runs on it, then it closes.
  QString DialogOpenedBy(const std::function<void()>& step, std::function<void(QWidget*)> inside = {}) {
    opened.clear();
    QTimer::singleShot(0, w.get(), [this, inside] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        opened = modal->objectName();
        if (inside) inside(modal);
        modal->close();
      }
    });
    step();
    QApplication::setActiveWindow(w.get());
    return opened;
  }
  // Each step returns the status line it leaves. A button may first queue the answer to the
  // question it asks.
  QString Press(const char* button, const QString& answer = QString()) {
    if (!answer.isNull()) prompts.inputs.push_back(answer);
    QTest::mouseClick(Main<QWidget>(button), Qt::LeftButton);
    return w->StatusText();
  }
  QString Key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers m = {}) {
    QTest::keyClick(target, key, m);
    return w->StatusText();
  }
  // A double click as the platform delivers it: press, release, double-click, release.
  QString Click(QListWidget* l, int row, Qt::KeyboardModifiers m = {}, bool twice = false) {
    const QPoint at = l->visualItemRect(l->item(row)).center();
    QTest::mouseClick(l->viewport(), Qt::LeftButton, m, at);
    if (twice) QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, at);
    if (twice) QTest::mouseRelease(l->viewport(), Qt::LeftButton, {}, at);
    return w->StatusText();
  }
  // A semester "Fall" listing Art (1 credit at C, 2.0) above Math (3 credits at A, 4.0).
  void MakeFall() {
    Press("AddSemesterButton", "Fall");
    settings.values = {{"Options/DefCredits", "3"}};
    Press("AddClassButton", "Math");
    settings.values = {{"Options/DefGrade", "7"}};
    Press("AddClassButton", "Art");
    settings.values.clear();
  }
  const Class& ClassNamed(const std::string& sem, const std::string& name) {
    return *w->Book().FindClass(w->Book().FindSemester(sem), name);
  }

  QListWidget *semesters = Main("SemesterList"), *classes = Main("ClassList"),
              *groups = Main("GroupList"), *members = Main("MemberGroup");
  QLineEdit* credits = Main<QLineEdit>("CreditsBox");
  QComboBox *grades = Main<QComboBox>("GradeListBox"), *methods = Main<QComboBox>("MethodList");
  QString opened;  // by DialogOpenedBy
};
using MainWindowLayout = MainWindowCommands;  // the window as it opens

TEST_F(MainWindowLayout, OpensFreshShortcutsNewAndQuit) {
  EXPECT_EQ(w->StatusText(), "Welcome to Markwell!");
  EXPECT_EQ(DialogOpenedBy([&] { QTest::keyClick(credits, Qt::Key_O, Qt::AltModifier); }),
            "MWOptions");
  EXPECT_EQ(DialogOpenedBy([&] { QTest::mouseClick(Main<QLabel>("Picture1"), Qt::LeftButton); }),
            "AboutMe");
  // Clicking the "Credits:" label moves the cursor into the box.
  Main("GroupList")->setFocus();
  QTest::mouseClick(Main<QLabel>("Label2"), Qt::LeftButton);
  EXPECT_TRUE(credits->hasFocus());

  // New on a book without changes asks whether to start afresh (with changes it asks only
  // about them: MainWindowUnsaved). The default grade is read when it is used.
  settings.WriteSetting("Options", "DefGrade", "4");
  prompts.yesNo = {true, false, true};
  w->New_Click();
  EXPECT_EQ(prompts.asked.back().text, "Are you sure you want to create a new Markwell file?");
  EXPECT_EQ(grades->currentText() + " " + Text("ClassGPABox"), "B 3.0");
  EXPECT_EQ(grades->count(), 13);  // filled afresh, not appended to

  QTest::keyClick(methods, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(prompts.asked.back().text, "Are you sure you want to quit Markwell?");
  EXPECT_TRUE(w->isVisible());
  QTest::keyClick(credits, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(w->isVisible());
}

TEST_F(MainWindowLayout, MethodChangesReachEveryFigure) {
  prompts.inputs = {"Fall", "Poetry"};
  w->AddSemesterButton_Click();
  w->AddClassButton_Click();
  Main("ClassList")->setCurrentRow(0);
  grades->setCurrentIndex(0);  // A+
  EXPECT_EQ(Text("ClassGPABox") + " " + Text("OverallGPABox"), "4.3 4.3");
  methods->setFocus();
  QTest::keyClick(methods, Qt::Key_End);  // Harvard, where A+ is worth 0
  EXPECT_EQ(Text("ClassGPABox") + " " + Text("OverallGPABox") + " " + Text("SemGPABox"), "0.0 0.0 0.0");

  // Closing the editor refills the selector and shows the method in use afterwards.
  methods->setCurrentIndex(2);
  DialogOpenedBy([&] { QTest::mouseClick(Main<QPushButton>("AddMethod"), Qt::LeftButton); }, [](QWidget* editor) {
    editor->findChild<QListWidget*>("MethodListBox")->setCurrentRow(2);
    static_cast<EditMethodDialog*>(editor)->MethodListBox_KeyDown(Qt::Key_Delete);
  });
  EXPECT_EQ(methods->currentIndex(), 0);
  EXPECT_EQ(w->Book().MethodPos, 0);
}

// A message wider than the status line ends in "…" and is whole in the tooltip and the
// accessible description; StatusText() has it whole.
TEST_F(MainWindowLayout, LongStatusMessagesAreElidedNeverCutUnseen) {
  auto* line = Main<QLabel>("StatusText");
  const QString longText = "Exported grades to file '/home/student/" + QString(40, 'x') + "/" +
                           QString(60, 'y') + "/report of every semester.txt'.";
  w->SetStatusText(longText);
  EXPECT_EQ(w->StatusText(), longText);
  EXPECT_TRUE(line->text().endsWith(QChar(0x2026)) && longText.startsWith(line->text().chopped(1))) << line->text().toStdString();
  EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), line->contentsRect().width());
  EXPECT_EQ(line->toolTip() + "|" + line->accessibleDescription(), longText + "|" + longText);
  w->SetStatusText("Welcome to Markwell!");  // one that fits: shown whole, the bar's own tooltip
  EXPECT_TRUE(line->text() == "Welcome to Markwell!" && line->toolTip().isEmpty());
}

TEST_F(MainWindowCommands, SemestersAndClassesTakeOnlyNewStorableNames) {
  EXPECT_EQ(Press("AddClassButton"), "Please select a semester first.");  // nothing asked
  EXPECT_EQ(Press("AddSemesterButton", "Fall"), "Semester Fall added.");
  // A cancel adds nothing; the editing layer's tests hold the refusals.
  Press("AddSemesterButton", "");
  // Renaming by a double-click takes another letter case of the same name.
  Press("AddSemesterButton", "Spring");
  prompts.inputs = {"fall"};
  Click(semesters, 0, {}, true);
  EXPECT_EQ(Entries(semesters), QStringList({"fall", "Spring"}));
  EXPECT_EQ(w->Book().Semesters[0].Name + "/" + w->Book().SemesterOrder[0].Name, "fall/fall");

  // Classes: sorted without regard to case, none made current; another semester may have
  // the same name.
  for (const char* c : {"Physics", "algebra", "Chemistry"}) Press("AddClassButton", c);
  EXPECT_EQ(w->StatusText(), "Added class Chemistry.");
  EXPECT_EQ(Entries(classes), QStringList({"algebra", "Chemistry", "Physics"}));
  EXPECT_EQ(classes->currentRow(), -1);
  Click(semesters, 1);
  Press("AddClassButton", "Physics");
  EXPECT_EQ(Entries(classes), QStringList{"Physics"});
}

TEST_F(MainWindowCommands, MovingMarkingAndDeletingSemesters) {
  for (const char* s : {"A", "B", "C"}) Press("AddSemesterButton", s);
  semesters->item(1)->setCheckState(Qt::Unchecked);  // makes B current

  // Only the keypad's + and - move, never past an end; marks go with their entries and the
  // moved entry stays current.
  Click(semesters, 0);
  Key(semesters, Qt::Key_Plus);
  Key(semesters, Qt::Key_Minus, Qt::KeypadModifier);
  EXPECT_EQ(Entries(semesters), QStringList({"A", "B", "C"}));
  EXPECT_EQ(Key(semesters, Qt::Key_Plus, Qt::KeypadModifier), "Selected semester A.");
  EXPECT_EQ(Entries(semesters), QStringList({"B", "A", "C"}));
  EXPECT_EQ(semesters->item(0)->checkState(), Qt::Unchecked);
  EXPECT_EQ(w->Book().Semesters[0].Name, "A");  // the collection keeps its order

  // Delete: No keeps everything; Yes removes the semester and clears the class display.
  Press("AddClassButton", "Math");
  prompts.yesNo = {false, true};
  Key(semesters, Qt::Key_Delete);
  EXPECT_EQ(semesters->count(), 3);
  EXPECT_EQ(Key(semesters, Qt::Key_Delete), "Semester deleted.");
  EXPECT_EQ(prompts.asked.back().text, "Delete entire semester?");
  EXPECT_EQ(Entries(semesters), QStringList({"B", "C"}));
  EXPECT_EQ(classes->count(), 0);
  EXPECT_NO_THROW(Key(semesters, Qt::Key_Delete));  // nothing current: nothing asked
}

TEST_F(MainWindowCommands, PredictionMaskAndEditingRenamingAndDeletingAClass) {
  MakeFall();
  QTest::keyClicks(Main<QLineEdit>("DesiredGPABox"), "3.x");
  EXPECT_EQ(w->StatusText(), "Please enter a numeric value for the desired GPA.");
  QTest::keyClicks(Main<QLineEdit>("ClassesLeftBox"), "2");
  EXPECT_EQ(Press("PredictGo"),  // 3.x reads as 3; 2 classes and 4 credits so far
            "Assuming each class is worth 2.0 credit(s), you need to average a 2.5 GPA for "
            "your next 2 classes.");
  Press("SemSelNone");
  EXPECT_EQ(Text("OverallGPABox"), "0.0");
  Press("SemSelAll");

  EXPECT_EQ(Click(classes, 0), "Selected class Art.");

  // Each change of the credits is reported; text that is no number is refused.
  const std::pair<QString, QString> typed[] = {{"", "Changed credits for class Art to 0."},
      {"3.5", "Changed credits for class Art to 3.5."}, {"3.5x", "Please enter a numeric value for the number of credits."}};
  for (const auto& [text, status] : typed) {
    credits->setText(text);
    EXPECT_EQ(w->StatusText(), status) << text.toStdString();
  }
  EXPECT_EQ(Text("OverallGPABox"), "2.923");  // (12 + 7) / 6.5
  EXPECT_EQ(Key(grades, Qt::Key_Up), "Changed grade for class Art.");

  // Renaming refuses a taken name, even its own, but not another letter case.
  prompts.inputs = {"Art", "art"};
  EXPECT_EQ(Click(classes, 0, {}, true), "A class with that name already exists!");
  Click(classes, 0, {}, true);
  EXPECT_EQ(Entries(classes), QStringList({"art", "Math"}));
  EXPECT_EQ(ClassNamed("Fall", "art").Grade, 6);

  // Take art out of the mask by its membership, then the mask's only group away and back.
  classes->setCurrentRow(0);
  Press("AddGroup", "Core");
  EXPECT_EQ(Click(members, 0), "Changed groups under which class art falls.");
  EXPECT_EQ(Click(groups, 1, Qt::ControlModifier), "Removed group Core from group mask.");
  EXPECT_EQ(Text("OverallGPABox"), "4.0");
  Click(groups, 0, Qt::ControlModifier);
  EXPECT_EQ(Text("NumGroupMask"), "(0 classes)");
  EXPECT_EQ(Click(groups, 0, Qt::ControlModifier), "Added group Everything to group mask.");

  // Deleting keeps the status line and shows the default grade.
  Click(classes, 0);
  prompts.yesNo = {true};
  w->SetStatusText("earlier");
  EXPECT_EQ(Key(classes, Qt::Key_Delete), "earlier");
  EXPECT_EQ(prompts.asked.back().text, "Delete class?");
  EXPECT_EQ(Entries(classes), QStringList{"Math"});
  EXPECT_EQ(grades->currentText(), "A");
  credits->setText("7");
  EXPECT_EQ(w->StatusText(), "Please select a class first.");
}

// Scrolling past a selector or clicking beside the group list's entries changes nothing.
TEST_F(MainWindowCommands, StrayWheelAndEmptySpaceClicksChangeNothing) {
  MakeFall();
  Click(classes, 1);  // Math, an A
  auto wheel = [](QWidget* target) {
    QWheelEvent notch(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), {}, {0, -120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &notch);
  };
  for (QComboBox* box : {grades, methods}) {
    const QString status = w->StatusText(), overall = Text("OverallGPABox");
    const int index = box->currentIndex(), grade = ClassNamed("Fall", "Math").Grade;
    classes->setFocus();
    wheel(box);
    EXPECT_EQ(box->currentIndex(), index) << box->objectName().toStdString();
    EXPECT_EQ(w->StatusText() + Text("OverallGPABox") + QString::number(ClassNamed("Fall", "Math").Grade), status + overall + QString::number(grade));
    EXPECT_EQ(box->focusPolicy(), Qt::StrongFocus);  // the wheel does not take the focus either
    box->setFocus();  // clicked or tabbed into, it turns
    wheel(box);
    EXPECT_EQ(box->currentIndex(), index + 1) << box->objectName().toStdString();
  }

  // A press below the last group, or a drag begun there, leaves the mask alone.
  const QPoint empty(5, groups->viewport()->height() - 3), first = groups->visualItemRect(groups->item(0)).center();
  ASSERT_FALSE(groups->indexAt(empty).isValid());
  w->SetStatusText("kept");
  QTest::mouseClick(groups->viewport(), Qt::LeftButton, {}, empty);
  QTest::mousePress(groups->viewport(), Qt::LeftButton, {}, empty);
  QMouseEvent drag(QEvent::MouseMove, first, groups->viewport()->mapToGlobal(first), Qt::NoButton, Qt::LeftButton, {});
  QApplication::sendEvent(groups->viewport(), &drag);
  QTest::mouseRelease(groups->viewport(), Qt::LeftButton, {}, first);
  EXPECT_EQ(w->StatusText(), "kept");
  EXPECT_TRUE(groups->item(0)->isSelected() && w->Book().GroupNames[0].InMask);
  EXPECT_EQ(Click(groups, 0, Qt::ControlModifier), "Removed group Everything from group mask.");  // entries still work
}

TEST_F(MainWindowCommands, GroupsAddRenameAndDelete) {
  MakeFall();
  EXPECT_EQ(Press("AddGroup", "Labs"), "Group Labs added.");  // no class current: mask only
  Click(classes, 1);
  Press("AddGroup", "Core");
  EXPECT_EQ(w->Book().GroupsOf(ClassNamed("Fall", "Math")), (std::vector<std::string>{"Everything", "Core"}));

  // Renaming by a double-click leaves the current class's memberships as they were.
  prompts.inputs = {"All"};
  Click(members, 0, {}, true);
  EXPECT_EQ(Entries(members), QStringList({"All", "Labs", "Core"}));
  EXPECT_EQ(w->Book().GroupsOf(ClassNamed("Fall", "Math")), (std::vector<std::string>{"Core", "All"}));

  // Deleting every group leaves no class counted; then there is nothing to ask about.
  prompts.yesNo = {true, true, true};
  for (int i = 0; i < 3; ++i) {
    groups->setCurrentRow(0);
    Key(groups, Qt::Key_Delete);
  }
  EXPECT_TRUE(ClassNamed("Fall", "Math").Groups.empty());
  EXPECT_EQ(Text("OverallGPABox"), "0.0");
  EXPECT_NO_THROW(Key(groups, Qt::Key_Delete));  // no answers are left to give
  EXPECT_NO_THROW(w->GroupList_DblClick());
}

TEST_F(MainWindowCommands, OddGradeBooksFromFilesAreShownSafely) {
  MakeFall();
  GradeBook gb = w->Book();
  gb.Semesters[0].Classes[0].Grade = 40;  // Math: no letter
  gb.MethodPos = 7;                      // no such method
  w->Document().Reset(gb);
  EXPECT_EQ(Main<QComboBox>("MethodList")->currentIndex(), -1);
  Click(semesters, 0);
  Click(classes, 1);
  EXPECT_EQ(grades->currentIndex(), -1);
  gb.Methods.clear();  // no method at all
  w->Document().Reset(gb);
  Click(semesters, 0);
  Click(classes, 0);
  grades->setCurrentIndex(2);
  EXPECT_EQ(Text("OverallGPABox"), "0.0");
}

// Saved through the window, the book comes back with its list order, every semester marked;
// opened by the setting, a protected one needs its password.
TEST_F(MainWindowCommands, SavedBookComesBackAsListedAndAtStartUpOnlyWithItsPassword) {
  QTemporaryDir dir;
  const QString path = dir.filePath("book.mw");
  auto caption = [](MainScreen& m) { return m.windowTitle().remove(QStringLiteral("[*]")); };
  Press("AddSemesterButton", "Fall");
  Press("AddClassButton", "Math");
  Press("AddSemesterButton", "Spring");
  Press("SemSelNone");
  Key(semesters, Qt::Key_Minus, Qt::KeypadModifier);  // Spring above Fall
  prompts.files = {path};
  EXPECT_EQ(Press("SaveButton"), "Sucessfully saved to file book.mw.");
  EXPECT_EQ(caption(*w), "Markwell - book.mw");

  test::Window b;  // by its path at start-up
  b.w->StartUp(path);
  EXPECT_EQ(caption(*b.w) + "|" + b.w->StatusText(), "Markwell - " + path + "|Sucessfully loaded from file " + path + ".");
  EXPECT_EQ(Entries(b.Main("SemesterList")), QStringList({"Spring", "Fall"}));
  EXPECT_EQ(b.Main("SemesterList")->item(1)->checkState(), Qt::Checked);
  EXPECT_EQ(b.Text("OverallGPABox"), "4.0");
  b.prompts.files = {path};
  QTest::mouseClick(b.Main<QWidget>("LoadButton"), Qt::LeftButton);
  EXPECT_EQ(caption(*b.w), "Markwell - book.mw");  // through the dialog, the file alone

  // Protected, then opened with the prompt cancelled.
  w->Document().SetFileState(w->Book().FileName, w->Book().FullFileName, true, "");
  prompts.passwords = {QString("pw"), QString("pw")};
  EXPECT_EQ(Press("SaveButton"), "Sucessfully saved to file book.mw. (password-protected)");
  test::Window c;
  c.settings.values = {{"Options/AutoOpen", "1"}, {"Options/OpenFileName", path.toStdString()}};
  c.prompts.passwords = {QString()};
  c.w->StartUp({});
  EXPECT_EQ(caption(*c.w) + "|" + c.w->StatusText(), "Markwell|Did not open file \"" + path + "\"!");
  EXPECT_EQ(c.Main("SemesterList")->count(), 0);
}

TEST_F(MainWindowCommands, UndoRedoRestoreFiguresListsAndTheChangedEntry) {
  QAction *undo = Main<QAction>("Undo"), *redo = Main<QAction>("Redo");
  auto Shown = [](QAction* a) { return a->text().remove(QLatin1Char('&')); };
  MakeFall();
  EXPECT_TRUE(w->isWindowModified());
  Click(classes, 1);  // Math
  grades->setCurrentIndex(12);
  EXPECT_EQ(Text("OverallGPABox"), "0.5");
  EXPECT_EQ(Shown(undo), "Undo Change Grade");
  Click(classes, 0);  // the selection moves on; undo brings Math back
  undo->trigger();
  EXPECT_EQ(Text("OverallGPABox") + " " + classes->currentItem()->text() + " " + grades->currentText(), "3.5 Math A");
  EXPECT_EQ(Shown(redo), "Redo Change Grade");
  redo->trigger();
  EXPECT_EQ(Text("OverallGPABox") + " " + grades->currentText(), "0.5 E");

  // Credits typed digit by digit are one step; check marks are none.
  const int steps = w->History()->count();
  credits->selectAll();
  QTest::keyClicks(credits, "012");
  EXPECT_EQ(credits->text(), "012");  // each change coming back leaves the typed text alone
  w->SemSelNone_Click();
  w->SemSelAll_Click();
  EXPECT_EQ(w->History()->count(), steps + 1);
  undo->trigger();
  EXPECT_EQ(credits->text(), "3");

  // A rename and a group deletion come back with their lists.
  prompts.inputs = {"Autumn"};
  w->SemesterList_DblClick();
  EXPECT_EQ(Shown(undo), "Undo Rename Semester");
  undo->trigger();
  EXPECT_EQ(Entries(semesters), QStringList{"Fall"});
  EXPECT_EQ(Shown(redo), "Redo Rename Semester");
  prompts.yesNo = {true};
  groups->setCurrentRow(0);
  Key(groups, Qt::Key_Delete);
  EXPECT_EQ(groups->count(), 0);
  undo->trigger();
  EXPECT_EQ(Entries(groups), QStringList{"Everything"});
  EXPECT_TRUE(groups->item(0)->isSelected());
  EXPECT_EQ(Text("OverallGPABox"), "0.5");

  // Undoing back to the saved state clears the title's mark.
  w->History()->setClean();
  Click(classes, 1);
  grades->setCurrentIndex(0);
  EXPECT_TRUE(w->isWindowModified());
  undo->trigger();
  EXPECT_FALSE(w->isWindowModified());
}

// Without the library of the overview and printing, their commands say why in an error box and
// the window goes on.
TEST_F(MainWindowCommands, MissingOverviewLibraryIsSaid) {
  QTemporaryDir dir;
  QFile junk(dir.filePath("markwell-views.so"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly) && junk.write("not a library") > 0);
  junk.close();
  QString error;
  EXPECT_EQ(OpenViewsLibrary({dir.filePath("none.so"), junk.fileName()}, &error), nullptr);
  EXPECT_TRUE(error.contains(junk.fileName())) << error.toStdString();
  LinkViews(nullptr);
  w->Overview_Click();
  w->PrintExport_Click();
  LinkViews(markwell_views());
  EXPECT_EQ(prompts.messages().size(), 2) << prompts.messages().join('|').toStdString();
  EXPECT_TRUE(prompts.messages().value(0).contains("markwell-views.so is missing"));
  EXPECT_EQ(w->findChild<OverviewWindow*>(), nullptr);
}

TEST(MainWindowUnsaved, EveryPathAsksWithSaveDiscardAndCancel) {
  using Choice = Prompts::SaveChoice;
  enum Path { Close, Quit, New, Load };
  QTemporaryDir dir;
  // Each answer, and whether the save dialog is then cancelled.
  const std::pair<Choice, bool> answers[] = {
      {Choice::Save, false}, {Choice::Save, true}, {Choice::Discard, false}, {Choice::Cancel, false}};
  for (Path path : {Close, Quit, New, Load}) {
    for (const auto& [choice, saveCancelled] : answers) {
      const std::string what = std::to_string(path) + "/" + std::to_string(int(choice)) +
                               (saveCancelled ? "/cancelled" : "");
      test::Window t;
      t.Start();
      MainScreen& w = *t.w;
      test::ScriptedPrompts& prompts = t.prompts;
      prompts.inputs = {"Fall"};
      w.AddSemesterButton_Click();
      prompts.asked.clear();
      const QString file = dir.filePath(QString::fromStdString("b" + what + ".mw").replace('/', '-'));
      prompts.saveChanges = {choice};
      if (choice == Choice::Save) prompts.files.push_back(saveCancelled ? QString() : file);
      if (path == Load) prompts.files.push_back(QString());  // the open dialog, cancelled
      switch (path) {
        case Close: w.close(); break;
        case Quit: w.Quit_Click(); break;
        case New: w.New_Click(); break;
        case Load: w.Load_Click(); break;
      }
      const bool goesOn = choice == Choice::Discard || (choice == Choice::Save && !saveCancelled);
      // Only the question and what it leads to were asked: no "Are you sure" after it.
      for (const auto& a : prompts.asked) EXPECT_NE(a.kind, "yesno") << what;
      EXPECT_EQ(prompts.asked.front().text, "The grade book has unsaved changes. Save them?") << what;
      EXPECT_TRUE(prompts.files.empty() || !goesOn || path != Load) << what;
      EXPECT_EQ(QFile::exists(file), choice == Choice::Save && !saveCancelled) << what;
      if (path == Close || path == Quit) { EXPECT_EQ(w.isVisible(), !goesOn) << what; }
      if (path == New) { EXPECT_EQ(w.Book().Semesters.empty(), goesOn) << what; }
      if (path == Load) { EXPECT_EQ(prompts.asked.back().kind == "open", goesOn) << what; }
      EXPECT_EQ(w.isWindowModified(), !(choice == Choice::Save && !saveCancelled) && !(goesOn && path == New)) << what;
    }
  }
}

// The program's style draws what Fusion draws: group box frames, with and without a title or a
// check box, and the menu bar's overflow icon, at 1x and 2x.
TEST(LeanStyle, DrawsWhatFusionDraws) {
  std::unique_ptr<QStyle> fusion(QStyleFactory::create("Fusion")), lean(MakeLeanStyle());
  QGroupBox titled("Commands"), plain, checkable("Check");
  checkable.setCheckable(true);
  for (qreal ratio : {1.0, 2.0}) {
    auto draw = [ratio](QStyle* style, QGroupBox* box) {
      box->setStyle(style);
      box->resize(120, 60);
      QPixmap p(box->size() * ratio);
      p.setDevicePixelRatio(ratio);
      box->render(&p);
      return p.toImage();
    };
    for (QGroupBox* box : {&titled, &plain, &checkable})
      EXPECT_EQ(draw(fusion.get(), box), draw(lean.get(), box)) << box->title().toStdString() << ratio;
    const auto icon = [ratio](QStyle* s) {
      return s->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton).pixmap(QSize(16, 16), ratio).toImage();
    };
    EXPECT_EQ(icon(fusion.get()), icon(lean.get())) << ratio;
  }
}

}  // namespace
}  // namespace mw
