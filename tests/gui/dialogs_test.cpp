// The small dialogs offscreen: the About box, the help command, the password prompt, and the
// Qt prompts that show it and the other questions.
#include "gui_test.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTextBrowser>

#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/edit_method_dialog.h"
#include "ui/dialogs/get_password_dialog.h"
#include "ui/dialogs/help_viewer.h"
#include "ui/dialogs/qt_prompts.h"

namespace mw {
namespace {

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
