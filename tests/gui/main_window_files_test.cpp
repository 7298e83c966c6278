// Saving and loading through the real main window: buttons, caption, status line and lists.
#include <gtest/gtest.h>

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
};

TEST(MainWindowFiles, SavedBookComesBackAsListedAndAtStartUpOnlyWithItsPassword) {
  QTemporaryDir dir;
  const QString path = dir.filePath("book.mw");
  Window a;
  a.w.StartUp({});
  a.prompts.inputs = {"Fall", "Math", "Spring"};
  for (const char* b : {"AddSemesterButton", "AddClassButton", "AddSemesterButton", "SemSelNone"})
    a.Press(b);
  QTest::keyClick(a.Semesters(), Qt::Key_Minus, Qt::KeypadModifier);  // Spring above Fall
  a.prompts.files = {path};
  a.Press("SaveButton");
  EXPECT_EQ(a.w.windowTitle().remove(QStringLiteral("[*]")), "Markwell - book.mw");
  EXPECT_EQ(a.w.StatusText(), "Sucessfully saved to file book.mw.");

  // By its path at start-up: the list order is kept and every semester marked.
  Window b;
  b.w.StartUp(path);
  EXPECT_EQ(b.w.windowTitle().remove(QStringLiteral("[*]")), "Markwell - " + path);
  EXPECT_EQ(b.w.StatusText(), "Sucessfully loaded from file " + path + ".");
  ASSERT_EQ(b.Semesters()->count(), 2);
  EXPECT_EQ(b.Semesters()->item(0)->text(), "Spring");
  EXPECT_EQ(b.Semesters()->item(1)->checkState(), Qt::Checked);
  EXPECT_EQ(b.w.findChild<QLabel*>("OverallGPABox")->text(), "4.0");
  b.prompts.files = {path};
  b.Press("LoadButton");  // through the dialog the caption names the file alone
  EXPECT_EQ(b.w.windowTitle().remove(QStringLiteral("[*]")), "Markwell - book.mw");

  // Protected, then opened by the setting with the password prompt cancelled.
  a.w.Book().IsPassProtected = true;
  a.prompts.passwords = {QString("pw")};
  a.Press("SaveButton");
  EXPECT_EQ(a.w.StatusText(), "Sucessfully saved to file book.mw. (password-protected)");
  Window c;
  c.settings.WriteSetting("Options", "AutoOpen", "1");
  c.settings.WriteSetting("Options", "OpenFileName", path.toStdString());
  c.prompts.passwords = {QString()};
  c.w.StartUp({});
  EXPECT_EQ(c.w.StatusText(), "Did not open file \"" + path + "\"!");
  EXPECT_EQ(c.w.windowTitle().remove(QStringLiteral("[*]")), "Markwell");
  EXPECT_EQ(c.Semesters()->count(), 0);
}

}  // namespace
}  // namespace mw
