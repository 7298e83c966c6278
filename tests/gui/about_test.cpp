// The About box and the help command, offscreen with scripted prompts.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "scripted_prompts.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/help_viewer.h"

namespace {

using mw::test::ScriptedPrompts;

TEST(AboutBox, ShowsVersionAndClosesOnEnterAndEsc) {
  ScriptedPrompts prompts;
  mw::AboutDialog dlg(prompts);
  EXPECT_EQ(dlg.findChild<QLabel*>("lblVersion")->text(), "Version " MARKWELL_VERSION);
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
  for (const QTemporaryDir* dir : {&first, &second}) {
    QFile f(dir->filePath("markwell.html"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html><body><p>Help kept in " + dir->path().toUtf8() + "</p></body></html>");
  }
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

}  // namespace
