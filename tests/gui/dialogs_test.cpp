// The dialogs offscreen: the grading method editor driven through its widgets; the print/export
// dialog (its own copies of the choices, its running totals, and the export with its cancel and
// failure paths); the About box, the help command, the password prompt, and the Qt prompts that
// show it and the other questions.
#include "gui_test.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QRadioButton>
#include <QTextBrowser>
#include <array>

#include "model/scales.h"
#include "report/report_file.h"
#include "storage/file_io.h"
#include "storage/gradebook_file.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/edit_method_dialog.h"
#include "ui/printing/export_file_dialog.h"
#include "ui/dialogs/get_password_dialog.h"
#include "ui/dialogs/help_viewer.h"
#include "ui/dialogs/qt_prompts.h"
#include "ui/printing/report_printer.h"

namespace mw {
namespace {

struct Editor {
  GradeBook gb;
  test::ScriptedPrompts prompts;
  std::unique_ptr<EditMethodDialog> dlg;

  // Two methods of at most two decimals, and one ("Fine") that the boxes show rounded.
  Editor() {
    const std::pair<const char*, std::array<double, kGradeCount>> methods[] = {
        {"Plain", {4.3, 4, 3.7, 3.3, 3, 2.7, 2.3, 2, 1.7, 1.3, 1, 0.7, 0}},
        {"Thirds", {4.33, 4, 3.66, 3.33, 3, 2.66, 2.33, 2, 1.66, 1.33, 1, 0.66, 0}},
        {"Fine", {4, 3.667, 3.333, 3, 2.667, 2.333, 2, 1, 1, 1, 1, -1, 123456.25}}};
    for (const auto& [name, values] : methods) {
      gb.Methods.emplace_back().Name = name;
      gb.Methods.back().SetNumerical(values);
    }
    dlg = std::make_unique<EditMethodDialog>(gb.Methods, prompts, nullptr);
  }
  QListWidget* list() { return dlg->findChild<QListWidget*>("MethodListBox"); }
  QLineEdit* box(int i) { return dlg->findChild<QLineEdit*>(QString("Text1_%1").arg(i)); }
  QPushButton* button(const char* name) { return dlg->findChild<QPushButton*>(name); }
  QStringList boxes() {
    QStringList out;
    for (int i = 0; i < kGradeCount; ++i) out << box(i)->text();
    return out;
  }
  void select(int row) { list()->item(row)->setSelected(true); }
  QString asked(size_t i) { return prompts.asked.at(i).text + "|" + prompts.asked[i].title; }
};

TEST(EditMethod, UnsavedEditsAreDroppedSilentlyByAnotherSelectionEnterEscOrClosing) {
  Editor e;
  e.dlg->show();
  e.select(2);
  EXPECT_EQ(e.boxes().mid(0, 3), QStringList({"4.0", "3.67", "3.33"}));
  e.box(0)->setText("9");
  e.select(0);
  EXPECT_EQ(e.box(0)->text(), "4.3");
  e.box(4)->setFocus();
  e.box(4)->setText("1");
  QTest::keyClick(e.box(4), Qt::Key_Return);  // no default button
  QTest::keyClick(e.box(4), Qt::Key_Escape);  // no cancel button
  EXPECT_TRUE(e.dlg->isVisible());
  e.dlg->close();
  EXPECT_TRUE(e.prompts.asked.empty());
  EXPECT_EQ(e.gb.Methods[0].GetEquiv(4), 3.0);
}

TEST(EditMethod, AddRefusesTakenAndUnwritableNamesAndAppendsANewZeroMethod) {
  Editor e;
  e.select(1);
  // Cancel (empty answer) ends silently; a taken name and one the file cannot hold are refused.
  // Names compare case-sensitively: "thirds" is new.
  e.prompts.inputs = {"", "Thirds", QString::fromUtf8("Kanji \xe6\xbc\xa2"), "thirds"};
  for (int i = 0; i < 3; ++i) e.dlg->AddMethod_Click();
  EXPECT_EQ(e.asked(0), "Enter method name|Add a Method");
  EXPECT_EQ(e.prompts.messages().value(0), "A method with that name already exists!");
  EXPECT_EQ(e.prompts.messages().size(), 2);
  EXPECT_EQ(e.box(0)->text(), "4.33");  // a refusal leaves the boxes alone
  // The new one gets all zeros and goes last unselected; the boxes are emptied.
  e.dlg->AddMethod_Click();
  EXPECT_TRUE(e.gb.Methods.at(3).GetHighest() == 0.0 && e.gb.Methods[3].GetLowest() == 0.0);
  EXPECT_EQ(e.list()->item(3)->text(), "thirds");
  EXPECT_EQ(e.boxes(), QStringList(13, QString()));
}

TEST(EditMethod, DeleteKeyRemovesWithoutAskingButNeverTheLastMethod) {
  Editor e;
  e.list()->setFocus();
  QTest::keyClick(e.list(), Qt::Key_Delete);  // nothing selected: nothing happens
  e.select(1);
  QTest::keyClick(e.list(), Qt::Key_Delete);
  EXPECT_EQ(e.gb.Methods.at(1).Name, "Fine");
  for (int i = 0; i < 2; ++i) {
    e.select(0);
    QTest::keyClick(e.list(), Qt::Key_Delete);
  }
  EXPECT_TRUE(e.gb.Methods.size() == 1 && e.list()->count() == 1);
  EXPECT_EQ(e.prompts.messages(), QStringList{"There must be at least one grading method!"});
  EXPECT_EQ(e.prompts.asked.at(0).icon, Prompts::Icon::Critical);
}

TEST(EditMethod, OkAsksOnlyWhenTheBoxesDifferFromTheMethod) {
  {  // nothing selected, or values saved just before: no question
    Editor e;
    e.box(3)->setText("7");
    e.button("UpdateCurrent")->click();
    for (const auto& m : e.gb.Methods) EXPECT_NE(m.GetEquiv(3), 7.0);
    e.select(1);
    EXPECT_FALSE(e.dlg->MethodChanged()) << "two decimals are shown exactly";
    e.box(1)->setText("3.75");
    e.button("UpdateCurrent")->click();
    e.button("Return")->click();
    EXPECT_TRUE(e.prompts.asked.empty());
    EXPECT_EQ(e.gb.Methods[1].GetEquiv(1), 3.75);
  }
  {  // 3.667 shows as 3.67: changed; No keeps the stored values
    Editor e;
    e.select(2);
    e.prompts.yesNo = {false};
    e.button("Return")->click();
    EXPECT_EQ(e.asked(0), "Method has been changed; save changes?|SaveChanges");
    EXPECT_FALSE(e.prompts.asked[0].defaultYes) << "Enter must not overwrite the method";
    EXPECT_EQ(e.gb.Methods[2].GetEquiv(1), 3.667);
    // Yes stores every box, read as its leading number, in the selected method only.
    e.select(0);
    const char* typed[] = {" 4.5 points", "abc", "", "-2e1"};
    for (int i = 0; i < 4; ++i) e.box(i)->setText(typed[i]);
    e.prompts.yesNo = {true};
    e.button("Return")->click();
    const double stored[] = {4.5, 0, 0, -20, 3};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(e.gb.Methods[0].GetEquiv(i), stored[i]) << i;
    EXPECT_EQ(e.gb.Methods[1].GetEquiv(0), 4.33);
    // A value whose sums would overflow is refused, nothing is stored and the editor stays.
    e.dlg->show();
    e.box(5)->setText("1e307");
    e.prompts.yesNo = {true};
    e.button("Return")->click();
    EXPECT_EQ(e.prompts.messages().value(0),
              "Please enter a numeric value from -1000000000 to 1000000000 for each letter grade.");
    EXPECT_TRUE(e.dlg->isVisible() && e.gb.Methods[0].GetEquiv(5) != 1e307);
  }
}

// "Add From Scale...": a shipped scale or a method of the book, under a name not taken.
TEST(EditMethod, AddFromScaleCopiesAScaleOrAMethodUnderAFreshName) {
  Editor e;
  e.prompts.choices = {2, 2, int(GradingScales().size()), -1};  // the third scale twice, the first method, none
  e.prompts.inputs = {"Rice", "Rice", "Copy"};
  for (int i = 0; i < 4; ++i) e.button("AddFromScale")->click();
  const auto& methods = e.gb.Methods;
  ASSERT_EQ(methods.size(), 5u);
  EXPECT_EQ(methods[3].Name, "Rice");
  EXPECT_EQ(methods[3].GetEquiv(0), 4.33);
  EXPECT_EQ(e.prompts.messages(), QStringList{"A method with that name already exists!"});
  EXPECT_EQ(methods[4].Name, "Copy");
  EXPECT_EQ(methods[4].GetEquiv(0), methods[0].GetEquiv(0));
  EXPECT_EQ(e.list()->count(), 5);
}

class ExportFileTest : public ::testing::Test {
 protected:
  GradeBook gb;
  test::ScriptedPrompts prompts;
  QStringList statuses;
  std::unique_ptr<ExportFileDialog> d;

  // Fall (marked): Calculus 4 A- in Everything+Core, Poetry 3 B+ in Everything;
  // Spring (not marked, listed first): Chemistry 2 A in Core. Mask: Everything. Second method.
  ExportFileTest() {
    ResetToFresh(gb);
    gb.GroupNames.push_back({"Core", false});
    const GroupId all = gb.InternGroup("Everything"), core = gb.InternGroup("Core");
    gb.Semesters = {{{{"Calculus", 2, 4, {all, core}}, {"Poetry", 3, 3, {all}}}, "Fall"},
                    {{{"Chemistry", 1, 2, {core}}}, "Spring"}};
    gb.SemesterOrder = {{"Spring", false}, {"Fall", true}};
    gb.MethodPos = 1;
    Open();
  }
  // A dialog over gb as it is now, its date fixed.
  void Open() {
    d = std::make_unique<ExportFileDialog>(gb, prompts, [this](const QString& s) { statuses << s; }, nullptr);
    d->DateText = [] { return QStringLiteral("12/5/2026 3:54:28 AM"); };
  }
  template <typename T>
  T* Find(const char* name) { return d->findChild<T*>(QString::fromUtf8(name)); }
  // Count, tooltip and GPA as shown.
  std::string Shown() {
    auto* count = Find<QLabel>("NumGroupMask");
    return (count->text() + ' ' + count->toolTip() + ' ' + Find<QLabel>("OverallGPABox")->text()).toStdString();
  }
};

TEST_F(ExportFileTest, KeepsItsOwnChoicesAndMatchesTheMainWindowsArithmetic) {
  auto* sems = Find<QListWidget>("SemesterList");
  auto* groups = Find<QListWidget>("GroupList");
  ASSERT_EQ(sems->count(), 2);  // the semester list's order, its marks copied
  EXPECT_EQ(sems->item(0)->text() + QString::number(sems->item(0)->checkState()) + sems->item(1)->text() +
                QString::number(sems->item(1)->checkState()), "Spring0Fall2");
  EXPECT_EQ(Shown(), "2 (7/7 credits) 3.519");  // (4 x 3.66 + 3 x 3.33) / 7

  // Every change recounts at once; the grade book keeps its own choices.
  Find<QPushButton>("SemAll")->click();
  QTest::mouseClick(groups->viewport(), Qt::LeftButton, {}, groups->visualItemRect(groups->item(1)).center());
  Find<QComboBox>("MethodList")->setCurrentIndex(2);  // Harvard: (4 x 14 + 3 x 12 + 2 x 15) / 9
  EXPECT_EQ(Shown(), "3 (9/9 credits) 13.556");
  EXPECT_EQ(gb.SemesterOrder[0].Marked || gb.GroupNames[1].InMask || gb.MethodPos != 1, false);

  Find<QPushButton>("GroupNone")->click();
  EXPECT_EQ(Shown(), "0 (0/9 credits) 0.0");
  Find<QPushButton>("SemNone")->click();
  EXPECT_EQ(Shown(), "0 (0/0 credits) 0.0");
}

TEST_F(ExportFileTest, ExportWritesTheReportAndClosesOnlyOnSuccess) {
  QTemporaryDir dir;
  d->show();
  QTest::keyClick(d.get(), Qt::Key_Escape);
  EXPECT_FALSE(d->isVisible());
  d->show();
  auto* exportButton = Find<QPushButton>("Export");
  Find<QRadioButton>("OrgGroup")->setChecked(true);

  prompts.files = {QString(), dir.filePath("missing/r.txt"), dir.filePath("r.txt")};
  exportButton->click();  // cancelled: nothing written, nothing said, the dialog stays
  EXPECT_TRUE(d->isVisible() && statuses.isEmpty() && prompts.messages().isEmpty());

  exportButton->click();  // a missing folder: the error box, no success, the dialog stays
  EXPECT_TRUE(d->isVisible() && statuses.isEmpty());
  ASSERT_TRUE(prompts.asked.back().kind == "message" && prompts.asked.back().icon == Prompts::Icon::Critical);
  EXPECT_EQ(prompts.asked.back().title + ": " + prompts.asked.back().text,
            "Error!: Error saving to file \"" + dir.filePath("missing/r.txt") + "\"! (Read-only?)");

  exportButton->click();  // written: the dialog's choices, the status line, the dialog closes
  EXPECT_FALSE(d->isVisible());
  EXPECT_EQ(statuses, QStringList{"Exported grades to file '" + dir.filePath("r.txt") + "'."});
  const ReportChoices choices = d->Choices();
  ASSERT_TRUE(choices.Organisation == ReportOrganisation::ByGroup && choices.SelectedGroups == std::vector<std::string>{"Everything"});
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(dir.filePath("r.txt").toStdString(), bytes));
  EXPECT_EQ(bytes, ReportBytes(GradeReport(gb, choices, UpdateTotals(gb, choices), "12/5/2026 3:54:28 AM")));
}

TEST_F(ExportFileTest, PrintsTheExportsTextPageByPageWithNoLineBroken) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) GTEST_SKIP() << "no pdftotext";
  gb = GradeBook();
  ResetToFresh(gb);
  for (int s = 0; s < 3; ++s) {
    Semester sem;
    sem.Name = "Semester " + std::to_string(s + 1);
    for (int c = 0; c < 40; ++c)  // long names are cut at 38 characters; a third of a credit wraps
      sem.Classes.push_back({"Class " + std::to_string(c) + " with a name longer than the column holds", int16_t(c % 13), c == 5 ? 1.0 / 3 : 3.0, {gb.InternGroup("Everything")}});
    gb.Semesters.push_back(sem);
    gb.SemesterOrder.push_back({sem.Name, true});
  }
  gb.MethodPos = 0;
  Open();
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("grades.pdf"));
  prompts.printFiles = {QString(), pdf};
  auto* print = Find<QPushButton>("Print");
  ASSERT_TRUE(print->isEnabled());
  EXPECT_FALSE(d->Print_Click());  // cancelled: nothing printed, the dialog stays
  EXPECT_FALSE(QFile::exists(pdf));
  QTest::mouseClick(print, Qt::LeftButton);
  EXPECT_EQ(statuses, QStringList{"Printed grades to file '" + pdf + "'."});
  EXPECT_EQ(d->result(), QDialog::Accepted);

  QStringList want;
  for (QString l : ReportLines(GradeReport(gb, d->Choices(), d->Totals(), "12/5/2026 3:54:28 AM"))) {
    while (!l.isEmpty() && l.back().isSpace()) l.chop(1);
    if (!l.isEmpty()) want << l;
  }
  const std::vector<QStringList> pages = test::PdfPages(pdf);
  ASSERT_GE(pages.size(), 3u);
  // Each page holds the next whole lines of the report, column for column, and together they
  // are the whole report.
  qsizetype at = 0;
  for (const QStringList& page : pages) {
    ASSERT_LE(at + page.size(), want.size());
    EXPECT_EQ(page.join('\n').toStdString(), want.mid(at, page.size()).join('\n').toStdString())
        << "page beginning at line " << at;
    at += page.size();
  }
  EXPECT_EQ(at, want.size());
}

TEST_F(ExportFileTest, ALongMethodNameIsCutShortWithItsFullNameAsTooltip) {
  const std::string name(170, 'W');
  gb.Methods[1].Name = name;  // the method in use
  Open();
  d->show();
  auto* methods = Find<QComboBox>("MethodList");
  EXPECT_LE(d->width(), 1280 * 2 / 3);
  EXPECT_NE(methods->currentText(), QString::fromStdString(name));
  EXPECT_EQ(methods->itemData(1, Qt::ToolTipRole).toString(), QString::fromStdString(name));
  EXPECT_TRUE(methods->toolTip().startsWith(QString::fromStdString(name) + '\n'));
  EXPECT_EQ(d->Choices().MethodName, name);  // the report still names the whole method
  methods->setCurrentIndex(0);  // a name that fits: the selector's own tooltip again
  EXPECT_FALSE(methods->toolTip().contains(QString::fromStdString(name)));
}

// Runs `act` on the modal dialog once the event loop shows it.
template <typename D>
void WhenModal(std::function<void(D&)> act) {
  QTimer::singleShot(0, [act] { act(*dynamic_cast<D*>(QApplication::activeModalWidget())); });
}

TEST(PasswordPrompt, AnswersTextOnOkEmptyOnCancelNothingOnCloseAndEnterActsOnlyOnAButton) {
  GetPasswordDialog d;
  d.PromptMode = PromptMode::Open;
  auto* box = d.findChild<QLineEdit*>("Password");
  // No button: the frame's close box. byEnter: Enter on the focused button instead of a click.
  const auto answerAfter = [&](const char* button, bool byEnter = false) {
    d.show();
    QApplication::setActiveWindow(&d);
    EXPECT_TRUE(box->hasFocus() && box->text().isEmpty()) << "each showing starts empty";
    QTest::keyClicks(box, "longer than six");
    for (auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(box, key);
    EXPECT_TRUE(d.isVisible() && box->displayText() == QString(15, '*'));
    auto* pressed = button ? d.findChild<QPushButton*>(button) : nullptr;
    if (pressed && byEnter) {
      pressed->setFocus(Qt::TabFocusReason);
      QTest::keyClick(pressed, Qt::Key_Return);
    } else {
      pressed ? pressed->click() : void(d.close());
    }
    return d.Answer();
  };
  EXPECT_EQ(answerAfter("OK"), QString("longer than six"));
  EXPECT_EQ(answerAfter("Cancel"), QString(""));
  EXPECT_EQ(answerAfter("OK", true), QString("longer than six"));
  EXPECT_EQ(answerAfter("Cancel", true), QString(""));
  EXPECT_EQ(answerAfter(nullptr), std::nullopt);
}

// What is refused is the file layer's rule; here the prompt says why and stays open.
TEST(PasswordPrompt, RefusesWhatAFileCannotUseAndStaysOpen) {
  GetPasswordDialog d;
  d.PromptMode = PromptMode::Save;
  d.show();
  auto* box = d.findChild<QLineEdit*>("Password");
  box->insert("abcdefg");
  QString shown;
  WhenModal<QMessageBox>([&shown](QMessageBox& box) {
    shown = box.text();
    box.button(QMessageBox::Ok)->click();
  });
  d.findChild<QPushButton*>("OK")->click();
  EXPECT_TRUE(shown.contains("at most 6 characters") && d.isVisible() && !d.Answer()) << shown.toStdString();
  EXPECT_EQ(box->selectedText(), "abcdefg");
  QTest::keyClicks(box, "pw");  // typed over the selection
  d.findChild<QPushButton*>("OK")->click();
  EXPECT_EQ(d.Answer(), QString("pw"));
}

TEST(QtPrompts, BoxesAndFileDialogsAreSetUpAsAskedAndAnswer) {
  QtPrompts prompts(nullptr);
  WhenModal<QMessageBox>([](QMessageBox& box) {
    EXPECT_TRUE(box.icon() == QMessageBox::Critical && box.textFormat() == Qt::PlainText);
    box.button(QMessageBox::Ok)->click();
  });
  prompts.Message("Could not <b>read</b>", "Error!", Prompts::Icon::Critical);
  for (bool defaultYes : {true, false}) {  // Enter answers with the default button
    WhenModal<QMessageBox>([](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Return); });
    EXPECT_EQ(prompts.AskYesNo("Sure?", "Quit", defaultYes), defaultYes);
  }
  // A long name without blanks cannot wrap: the question widens to show it whole, as plain text.
  const QString name = QString(60, 'x') + "<b>.mw";
  WhenModal<GetPasswordDialog>([&](GetPasswordDialog& d) {
    auto* question = d.findChild<QLabel*>("Question");
    EXPECT_EQ(question->text(), "The file \"" + name + "\" requires a password. Please enter it "
                                "here. (only first 6 chars will be considered)");
    EXPECT_TRUE(question->textFormat() == Qt::PlainText &&
                question->width() >= question->fontMetrics().horizontalAdvance(name));
    QTest::keyClicks(d.findChild<QLineEdit*>("Password"), "pw");
    d.findChild<QPushButton*>("OK")->click();
  });
  EXPECT_EQ(prompts.GetPassword(PromptMode::Open, name), QString("pw"));
  WhenModal<QInputDialog>([](QInputDialog& box) { box.reject(); });
  EXPECT_EQ(prompts.InputBox("Name?", "New Semester", "Fall"), "");

  const Prompts::FileDialog ask{"Save As", {"Markwell Files (*.mw)"}, "mw", {}, false};
  WhenModal<QFileDialog>([&](QFileDialog& box) {
    box.selectFile(QDir::tempPath() + "/report");
    static_cast<QDialog&>(box).accept();
  });
  EXPECT_EQ(prompts.SaveFileName(ask), QDir::tempPath() + "/report.mw") << "default suffix added";
  WhenModal<QFileDialog>([&](QFileDialog& box) { box.reject(); });
  EXPECT_EQ(prompts.OpenFileName(ask), "");
}

TEST(AboutBox, ClosesOnEnterAndEsc) {
  test::ScriptedPrompts prompts;
  AboutDialog dlg(prompts);
  for (auto key : {Qt::Key_Return, Qt::Key_Escape}) {  // Enter accepts, Esc rejects
    dlg.show();
    QTest::keyClick(&dlg, key);
    EXPECT_TRUE(!dlg.isVisible() && dlg.result() == (key == Qt::Key_Return)) << key;
  }
}

TEST(AboutBox, SystemInfoStartsTheFirstToolFoundOrSaysItIsUnavailable) {
  QStringList started, onPath;
  bool startWorks = true;
  test::ScriptedPrompts prompts;
  AboutDialog dlg(prompts);
  dlg.SetSysInfoLauncher(
      {{"first", "second", "third"},
       [&](const QString& name) { return onPath.contains(name) ? "/bin/" + name : QString(); },
       [&](const QString& path) { return started << path, startWorks; }});
  auto* sysInfo = dlg.findChild<QPushButton*>("cmdSysInfo");
  sysInfo->click();  // none on PATH
  onPath = {"second", "third"};
  sysInfo->click();  // the first one found is started, and nothing is said
  startWorks = false;
  sysInfo->click();  // found but failing to start: the same message
  EXPECT_EQ(started, QStringList({"/bin/second", "/bin/second"}));
  EXPECT_EQ(prompts.messages(), QStringList(2, "System Information Is Unavailable At This Time"));
}

TEST(Help, LooksInEachFolderInTurnAndReportsAMissingFile) {
  QTemporaryDir empty, first, second;
  for (const QTemporaryDir* dir : {&first, &second})
    test::WriteFile(dir->filePath("markwell.html"), "<html><body><p>Help kept in " + dir->path().toUtf8() + "</p></body></html>");
  EXPECT_EQ(FindHelpFile({empty.path(), second.path(), first.path()}),
            QDir(second.path()).filePath("markwell.html"));
  // The program's own folder comes first, the installed data folder after it.
  const QString app = QCoreApplication::applicationDirPath();
  EXPECT_EQ(HelpSearchFolders().value(0), app);
  EXPECT_TRUE(HelpSearchFolders().contains(QDir::cleanPath(app + "/../share/markwell")));

  test::ScriptedPrompts prompts;
  QWidget owner;
  EXPECT_EQ(ShowHelp(&owner, prompts, {empty.path()}), nullptr);
  EXPECT_TRUE(prompts.messages().value(0).contains("markwell.html"));
  QWidget* viewer = ShowHelp(&owner, prompts, {empty.path(), first.path()});
  ASSERT_TRUE(viewer && viewer->isVisible());
  EXPECT_TRUE(viewer->findChild<QTextBrowser*>()->toPlainText().contains(first.path()));
  // A second request shows the window already open rather than another one.
  EXPECT_EQ(ShowHelp(&owner, prompts, {second.path()}), viewer);
  EXPECT_EQ(prompts.messages().size(), 1);
}

// A modal dialog blocks every other window, so the viewer moves over it while it is open
// (opened before or by F1 from it), takes clicks there, and moves back when it closes.
TEST(Help, UsableWhileAModalDialogIsOpen) {
  QTemporaryDir data;  // a data folder where F1 finds the help, as an installed one
  const QDir dir(data.filePath("markwell"));
  ASSERT_TRUE(dir.mkpath("."));
  qputenv("XDG_DATA_DIRS", data.path().toUtf8());
  test::WriteFile(dir.filePath("markwell.html"), "<html><body><p>Help</p></body></html>");
  test::ScriptedPrompts prompts;
  QWidget owner;
  owner.show();
  QPointer<QWidget> viewer = ShowHelp(&owner, prompts, {dir.path()});
  std::vector<Method> methods(1);
  methods[0].Name = "Only";
  EditMethodDialog dialog(methods, prompts, &owner);
  QTimer::singleShot(0, &dialog, [&] {
    struct Closer {
      QDialog& d;
      ~Closer() { d.accept(); }
    } closer{dialog};
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    EXPECT_EQ(ShowHelp(&dialog, prompts, {dir.path()}), viewer.data());
    EXPECT_TRUE(viewer->parentWidget() == &dialog && viewer->isVisible());
    QTest::mouseClick(viewer->findChild<QPushButton*>("HelpClose"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(viewer) << "the click reached the viewer, which closed";
    QApplication::setActiveWindow(&dialog);
    QTest::keyClick(&dialog, Qt::Key_F1);
    viewer = dialog.findChild<QWidget*>("HelpViewer");
    ASSERT_TRUE(viewer && viewer->isVisible());
  });
  dialog.exec();
  ASSERT_TRUE(viewer);
  EXPECT_TRUE(viewer->parentWidget() == &owner && viewer->isVisible());
}

}  // namespace
}  // namespace mw
