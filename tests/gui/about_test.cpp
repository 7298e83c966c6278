// The About box and the help command, offscreen with scripted prompts.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
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
    EXPECT_EQ(dlg.windowTitle(), "About Markwell");
    EXPECT_EQ(dlg.findChild<QLabel*>("lblVersion")->text(),
              QStringLiteral("Version ") + QStringLiteral(MARKWELL_VERSION));
    EXPECT_EQ(mw::VersionText(), "Version 2.0.8");
    EXPECT_EQ(dlg.findChild<QLabel*>("lblTitle")->font().pointSize(), 16);
    // The author and web-site lines can be selected and copied but not edited or tabbed into.
    for (const char* name : {"Text1", "Text2"}) {
      auto* field = dlg.findChild<QLineEdit*>(name);
      EXPECT_TRUE(field->isReadOnly() && !(field->focusPolicy() & Qt::TabFocus)) << name;
    }

    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    for (auto* b : dlg.findChildren<QPushButton*>())
      EXPECT_GE(b->width(), b->sizeHint().width()) << b->objectName().toStdString();
    for (auto* child : dlg.findChildren<QWidget*>())
      EXPECT_TRUE(dlg.rect().contains(child->geometry())) << child->objectName().toStdString();
    if (const QByteArray dir = qgetenv("MARKWELL_GRAB_DIR"); !dir.isEmpty())
      dlg.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath("about.png"));

    QTest::keyClick(&dlg, static_cast<Qt::Key>(key));
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), key == Qt::Key_Return ? QDialog::Accepted : QDialog::Rejected);
    EXPECT_TRUE(prompts.asked.empty());
  }
}

TEST(AboutBox, SystemInfoStartsTheFirstToolFoundOrSaysItIsUnavailable) {
  QStringList started;
  QStringList onPath;
  bool startWorks = true;
  mw::SysInfoLauncher launcher;
  launcher.candidates = {"first", "second", "third"};
  launcher.findExecutable = [&](const QString& name) {
    return onPath.contains(name) ? "/bin/" + name : QString();
  };
  launcher.startDetached = [&](const QString& path) {
    started << path;
    return startWorks;
  };

  ScriptedPrompts prompts;
  mw::AboutDialog dlg(prompts);
  dlg.SetSysInfoLauncher(launcher);
  dlg.show();
  auto* sysInfo = dlg.findChild<QPushButton*>("cmdSysInfo");
  EXPECT_EQ(sysInfo->text(), "&System Info...");

  // None on PATH.
  sysInfo->click();
  EXPECT_TRUE(started.isEmpty());
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(prompts.asked[0].text, "System Information Is Unavailable At This Time");
  EXPECT_EQ(prompts.asked[0].title, "Markwell");

  // The first one found is started, and nothing is said.
  onPath = {"second", "third"};
  sysInfo->click();
  EXPECT_EQ(started, QStringList({"/bin/second"}));
  EXPECT_EQ(prompts.asked.size(), 1u);

  // Found but failing to start: the same message.
  startWorks = false;
  sysInfo->click();
  EXPECT_EQ(prompts.messages(), QStringList(2, "System Information Is Unavailable At This Time"));
  EXPECT_TRUE(dlg.isVisible());
}

TEST(Help, LooksInEachFolderInTurnAndReportsAMissingFile) {
  QTemporaryDir empty, first, second;
  ASSERT_TRUE(empty.isValid() && first.isValid() && second.isValid());
  auto write = [](const QTemporaryDir& dir, const QByteArray& html) {
    QFile f(dir.filePath("markwell.html"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(html);
  };
  write(first, "<html><body><h1>First copy</h1><p>Semesters and classes.</p></body></html>");
  write(second, "<html><body><h1>Second copy</h1></body></html>");

  EXPECT_EQ(mw::FindHelpFile({empty.path()}), QString());
  EXPECT_EQ(mw::FindHelpFile({empty.path(), second.path(), first.path()}),
            QDir(second.path()).filePath("markwell.html"));

  // The program's own folder comes first, the installed data folder after it.
  const QStringList folders = mw::HelpSearchFolders();
  ASSERT_GE(folders.size(), 2);
  EXPECT_EQ(folders.front(), QCoreApplication::applicationDirPath());
  EXPECT_TRUE(folders.contains(QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                               "/../share/markwell")));

  ScriptedPrompts prompts;
  QWidget owner;
  EXPECT_EQ(mw::ShowHelp(&owner, prompts, {empty.path()}), nullptr);
  ASSERT_EQ(prompts.messages().size(), 1);
  EXPECT_TRUE(prompts.messages()[0].contains("markwell.html"));
  EXPECT_EQ(prompts.asked[0].title, "Markwell");

  QWidget* viewer = mw::ShowHelp(&owner, prompts, {empty.path(), first.path()});
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(viewer->isVisible());
  auto* text = viewer->findChild<QTextBrowser*>();
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->toPlainText().contains("Semesters and classes."));
  // A second request shows the window already open rather than another one.
  EXPECT_EQ(mw::ShowHelp(&owner, prompts, {first.path()}), viewer);
  EXPECT_EQ(prompts.messages().size(), 1);
  viewer->close();
}

}  // namespace
