// The About box and the help command, offscreen with scripted prompts.
#include "gui_test.h"

#include <QPointer>
#include <QTextBrowser>

#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/edit_method_dialog.h"
#include "ui/dialogs/help_viewer.h"

namespace {

using mw::test::ScriptedPrompts;

TEST(AboutBox, ClosesOnEnterAndEsc) {
  ScriptedPrompts prompts;
  mw::AboutDialog dlg(prompts);
  for (auto key : {Qt::Key_Return, Qt::Key_Escape}) {  // Enter accepts, Esc rejects
    dlg.show();
    QTest::keyClick(&dlg, key);
    EXPECT_TRUE(!dlg.isVisible() && dlg.result() == (key == Qt::Key_Return)) << key;
  }
}

TEST(AboutBox, SystemInfoStartsTheFirstToolFoundOrSaysItIsUnavailable) {
  QStringList started, onPath;
  bool startWorks = true;
  ScriptedPrompts prompts;
  mw::AboutDialog dlg(prompts);
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
    mw::test::WriteFile(dir->filePath("markwell.html"), "<html><body><p>Help kept in " + dir->path().toUtf8() + "</p></body></html>");
  EXPECT_EQ(mw::FindHelpFile({empty.path(), second.path(), first.path()}),
            QDir(second.path()).filePath("markwell.html"));
  // The program's own folder comes first, the installed data folder after it.
  const QString app = QCoreApplication::applicationDirPath();
  EXPECT_EQ(mw::HelpSearchFolders().value(0), app);
  EXPECT_TRUE(mw::HelpSearchFolders().contains(QDir::cleanPath(app + "/../share/markwell")));

  ScriptedPrompts prompts;
  QWidget owner;
  EXPECT_EQ(mw::ShowHelp(&owner, prompts, {empty.path()}), nullptr);
  EXPECT_TRUE(prompts.messages().value(0).contains("markwell.html"));
  QWidget* viewer = mw::ShowHelp(&owner, prompts, {empty.path(), first.path()});
  ASSERT_TRUE(viewer && viewer->isVisible());
  EXPECT_TRUE(viewer->findChild<QTextBrowser*>()->toPlainText().contains(first.path()));
  // A second request shows the window already open rather than another one.
  EXPECT_EQ(mw::ShowHelp(&owner, prompts, {second.path()}), viewer);
  EXPECT_EQ(prompts.messages().size(), 1);
}

// A modal dialog blocks every other window, so the viewer moves over it while it is open
// (opened before or by F1 from it), takes clicks there, and moves back when it closes.
TEST(Help, UsableWhileAModalDialogIsOpen) {
  QTemporaryDir data;  // a data folder where F1 finds the help, as an installed one
  const QDir dir(data.filePath("markwell"));
  ASSERT_TRUE(dir.mkpath("."));
  qputenv("XDG_DATA_DIRS", data.path().toUtf8());
  mw::test::WriteFile(dir.filePath("markwell.html"), "<html><body><p>Help</p></body></html>");
  ScriptedPrompts prompts;
  QWidget owner;
  owner.show();
  QPointer<QWidget> viewer = mw::ShowHelp(&owner, prompts, {dir.path()});
  std::vector<mw::Method> methods(1);
  methods[0].Name = "Only";
  mw::EditMethodDialog dialog(methods, prompts, &owner);
  QTimer::singleShot(0, &dialog, [&] {
    struct Closer {
      QDialog& d;
      ~Closer() { d.accept(); }
    } closer{dialog};
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    EXPECT_EQ(mw::ShowHelp(&dialog, prompts, {dir.path()}), viewer.data());
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
