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
  for (int key : {Qt::Key_Return, Qt::Key_Escape}) {
    ScriptedPrompts prompts;
    mw::AboutDialog dlg(prompts);
    EXPECT_EQ(dlg.findChild<QLabel*>("lblVersion")->text(), "Version " MARKWELL_VERSION);
    dlg.show();
    QTest::keyClick(&dlg, static_cast<Qt::Key>(key));
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), key == Qt::Key_Return ? QDialog::Accepted : QDialog::Rejected);
    EXPECT_TRUE(prompts.asked.empty());
  }
}

TEST(AboutBox, SystemInfoStartsTheFirstToolFoundOrSaysItIsUnavailable) {
  QStringList started, onPath;
  bool startWorks = true;
  ScriptedPrompts prompts;
  mw::AboutDialog dlg(prompts);
  dlg.SetSysInfoLauncher({{"first", "second", "third"},
                          [&](const QString& name) {
                            return onPath.contains(name) ? "/bin/" + name : QString();
                          },
                          [&](const QString& path) {
                            started << path;
                            return startWorks;
                          }});
  auto* sysInfo = dlg.findChild<QPushButton*>("cmdSysInfo");
  sysInfo->click();  // none on PATH
  onPath = {"second", "third"};
  sysInfo->click();  // the first one found is started, and nothing is said
  EXPECT_EQ(started, QStringList({"/bin/second"}));
  EXPECT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(prompts.asked[0].title, "Markwell");
  startWorks = false;
  sysInfo->click();  // found but failing to start: the same message
  EXPECT_EQ(prompts.messages(), QStringList(2, "System Information Is Unavailable At This Time"));
}

TEST(Help, LooksInEachFolderInTurnAndReportsAMissingFile) {
  QTemporaryDir empty, first, second;
  for (const QTemporaryDir* dir : {&first, &second}) {
    QFile f(dir->filePath("markwell.html"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html><body><p>Help kept in " + dir->path().toUtf8() + "</p></body></html>");
  }
  EXPECT_EQ(mw::FindHelpFile({empty.path()}), QString());
  EXPECT_EQ(mw::FindHelpFile({empty.path(), second.path(), first.path()}),
            QDir(second.path()).filePath("markwell.html"));
  // The program's own folder comes first, the installed data folder after it.
  const QStringList folders = mw::HelpSearchFolders();
  EXPECT_EQ(folders.value(0), QCoreApplication::applicationDirPath());
  EXPECT_TRUE(folders.contains(QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                               "/../share/markwell")));

  ScriptedPrompts prompts;
  QWidget owner;
  EXPECT_EQ(mw::ShowHelp(&owner, prompts, {empty.path()}), nullptr);
  ASSERT_EQ(prompts.messages().size(), 1);
  EXPECT_TRUE(prompts.messages()[0].contains("markwell.html"));
  QWidget* viewer = mw::ShowHelp(&owner, prompts, {empty.path(), first.path()});
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(viewer->isVisible());
  EXPECT_TRUE(viewer->findChild<QTextBrowser*>()->toPlainText().contains(first.path()));
  // A second request shows the window already open rather than another one.
  EXPECT_EQ(mw::ShowHelp(&owner, prompts, {second.path()}), viewer);
  EXPECT_EQ(prompts.messages().size(), 1);
  viewer->close();
}

}  // namespace
