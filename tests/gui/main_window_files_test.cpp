// Saving and loading through the real main window: buttons, caption, status line and lists.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "scripted_prompts.h"
#include "ui/main_window/main_screen.h"

namespace mw {
namespace {

struct Window {
  test::ScriptedPrompts prompts;
  MemorySettingsStore settings;
  MainScreen w{settings, &prompts};
  void Press(const char* button) {
    QTest::mouseClick(w.findChild<QPushButton*>(button), Qt::LeftButton);
  }
  QListWidget* Semesters() { return w.findChild<QListWidget*>("SemesterList"); }
  QString Overall() { return w.findChild<QLabel*>("OverallGPABox")->text(); }
};

TEST(MainWindowFiles, SavedBookComesBackAtStartUpAndSurvivesAFailedLoad) {
  QTemporaryDir dir;
  const QString path = dir.filePath("book.mw"), cut = dir.filePath("cut.mw");
  Window a;
  a.w.StartUp({});
  a.prompts.inputs = {"Fall", "Math"};
  a.Press("AddSemesterButton");
  a.Press("AddClassButton");
  a.prompts.files = {path};
  a.Press("SaveButton");
  EXPECT_EQ(a.w.windowTitle(), "Markwell - book.mw");
  EXPECT_EQ(a.w.StatusText(), "Sucessfully saved to file book.mw.");

  Window b;
  b.w.StartUp(path);
  EXPECT_EQ(b.w.windowTitle(), "Markwell - " + path);
  EXPECT_EQ(b.w.StatusText(), "Sucessfully loaded from file " + path + ".");
  ASSERT_EQ(b.Semesters()->count(), 1);
  EXPECT_EQ(b.Semesters()->item(0)->checkState(), Qt::Checked);
  EXPECT_EQ(b.Overall(), a.Overall());
  EXPECT_EQ(b.w.Book().Semesters.at(0).Classes.size(), 1u);

  QFile f(cut);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("1\r\n3\r\n0\r\nname\r\n") > 0);
  f.close();
  b.prompts.files = {cut};
  b.Press("LoadButton");
  EXPECT_EQ(b.prompts.messages(), QStringList{"Error reading in file \"" + cut + "\"!"});
  EXPECT_EQ(b.w.windowTitle(), "Markwell - " + path);
  EXPECT_EQ(b.Semesters()->count(), 1);
  EXPECT_EQ(b.w.Book().FullFileName, path.toStdString());
}

TEST(MainWindowFiles, CancelledPasswordAtStartUpLeavesTheFreshBook) {
  QTemporaryDir dir;
  const QString path = dir.filePath("secret.mw");
  Window a;
  a.w.StartUp({});
  a.prompts.inputs = {"Fall"};
  a.Press("AddSemesterButton");
  a.w.Book().IsPassProtected = true;
  a.prompts.files = {path};
  a.prompts.passwords = {QString("pw")};
  a.Press("SaveButton");
  ASSERT_EQ(a.w.StatusText(), "Sucessfully saved to file secret.mw. (password-protected)");

  Window b;
  b.settings.WriteSetting("Options", "AutoOpen", "1");
  b.settings.WriteSetting("Options", "OpenFileName", path.toStdString());
  b.prompts.passwords = {QString()};
  b.w.StartUp({});
  EXPECT_EQ(b.w.StatusText(), "Did not open file \"" + path + "\"!");
  EXPECT_EQ(b.w.windowTitle(), "Markwell");
  EXPECT_EQ(b.Semesters()->count(), 0);
  EXPECT_EQ(b.w.Book().FileName, "");
}

}  // namespace
}  // namespace mw
