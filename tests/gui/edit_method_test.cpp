// The grading method editor, driven through its widgets with scripted prompts.
#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "model/gradebook.h"
#include "scripted_prompts.h"
#include "ui/dialogs/edit_method_dialog.h"

namespace {

using mw::test::ScriptedPrompts;

mw::Method MakeMethod(const std::string& name, std::array<double, mw::kGradeCount> v) {
  mw::Method m;
  m.Name = name;
  m.SetNumerical(v);
  return m;
}

// Two methods with at most two decimals, and one with a value that a box cannot show.
mw::GradeBook ThreeMethods() {
  mw::GradeBook gb;
  gb.Methods.push_back(
      MakeMethod("Plain", {4.3, 4, 3.7, 3.3, 3, 2.7, 2.3, 2, 1.7, 1.3, 1, 0.7, 0}));
  gb.Methods.push_back(
      MakeMethod("Thirds", {4.33, 4, 3.66, 3.33, 3, 2.66, 2.33, 2, 1.66, 1.33, 1, 0.66, 0}));
  gb.Methods.push_back(
      MakeMethod("Fine", {4, 3.667, 3.333, 3, 2.667, 2.333, 2, 1, 1, 1, 1, -1, 123456.25}));
  return gb;
}

void ExpectAsked(const mw::test::Asked& a, const QString& text, const QString& title,
                 mw::Prompts::Icon icon = mw::Prompts::Icon::None) {
  EXPECT_EQ(a.text, text);
  EXPECT_EQ(a.title, title);
  EXPECT_EQ(a.icon, icon);
}

struct Editor {
  mw::GradeBook gb = ThreeMethods();
  ScriptedPrompts prompts;
  mw::EditMethodDialog dlg{gb, prompts, nullptr};

  QListWidget* list() { return dlg.findChild<QListWidget*>("MethodListBox"); }
  QLineEdit* box(int i) { return dlg.findChild<QLineEdit*>(QString("Text1_%1").arg(i)); }
  QPushButton* button(const char* name) { return dlg.findChild<QPushButton*>(name); }
  QStringList names() {
    QStringList out;
    for (int i = 0; i < list()->count(); ++i) out << list()->item(i)->text();
    return out;
  }
  QStringList boxes() {
    QStringList out;
    for (int i = 0; i < mw::kGradeCount; ++i) out << box(i)->text();
    return out;
  }
  void select(int row) { list()->item(row)->setSelected(true); }
};

TEST(EditMethod, OpensWithNamesInOrderNothingSelectedAndShowsTheSelectedMethod) {
  Editor e;
  EXPECT_EQ(e.names(), QStringList({"Plain", "Thirds", "Fine"}));
  EXPECT_TRUE(e.list()->selectedItems().isEmpty());
  EXPECT_EQ(e.boxes(), QStringList(13, QString()));

  e.select(2);
  EXPECT_EQ(e.boxes(), QStringList({"4.0", "3.67", "3.33", "3.0", "2.67", "2.33", "2.0", "1.0",
                                    "1.0", "1.0", "1.0", "-1.0", "123456.25"}));

  // An edit is thrown away without a question when another method is selected.
  e.box(0)->setText("9");
  e.select(0);
  EXPECT_EQ(e.box(0)->text(), "4.3");
  EXPECT_EQ(e.gb.Methods[2].GetEquiv(0), 4.0);
}

TEST(EditMethod, AddRefusesDuplicatesAndBadNamesAndAppendsANewZeroMethod) {
  Editor e;
  e.select(1);

  e.prompts.inputs = {"Thirds"};
  e.dlg.AddMethod_Click();
  ASSERT_EQ(e.prompts.asked.size(), 2u);
  ExpectAsked(e.prompts.asked[0], "Enter method name", "Add a Method");
  ExpectAsked(e.prompts.asked[1], "A method with that name already exists!", "Markwell");
  EXPECT_EQ(e.gb.Methods.size(), 3u);
  EXPECT_EQ(e.box(0)->text(), "4.33");  // a refusal leaves the boxes alone

  // Cancel (empty answer) ends silently; a name the file cannot hold is refused.
  e.prompts.inputs = {"", QString::fromUtf8("Kanji \xe6\xbc\xa2")};
  e.dlg.AddMethod_Click();
  e.dlg.AddMethod_Click();
  EXPECT_EQ(e.prompts.messages().size(), 2);
  EXPECT_EQ(e.gb.Methods.size(), 3u);

  // Names compare case-sensitively: "thirds" is new. It gets all zeros, goes last, and is not
  // selected; the boxes are emptied while the old selection stays.
  e.prompts.inputs = {"thirds"};
  e.dlg.AddMethod_Click();
  EXPECT_EQ(e.prompts.messages().size(), 2);
  ASSERT_EQ(e.gb.Methods.size(), 4u);
  EXPECT_EQ(e.gb.Methods[3].Name, "thirds");
  EXPECT_TRUE(e.gb.Methods[3].GetHighest() == 0.0 && e.gb.Methods[3].GetLowest() == 0.0);
  EXPECT_EQ(e.names().last(), "thirds");
  EXPECT_EQ(e.list()->selectedItems().value(0)->text(), "Thirds");
  EXPECT_EQ(e.boxes(), QStringList(13, QString()));
}

TEST(EditMethod, DeleteKeyRemovesWithoutAskingButNeverTheLastMethod) {
  Editor e;
  e.list()->setFocus();

  // Nothing selected: the key does nothing.
  QTest::keyClick(e.list(), Qt::Key_Delete);
  EXPECT_EQ(e.gb.Methods.size(), 3u);

  e.select(1);
  const QStringList shown = e.boxes();
  QTest::keyClick(e.list(), Qt::Key_Delete);
  ASSERT_EQ(e.gb.Methods.size(), 2u);
  EXPECT_EQ(e.gb.Methods[1].Name, "Fine");
  EXPECT_EQ(e.names(), QStringList({"Plain", "Fine"}));
  EXPECT_TRUE(e.list()->selectedItems().isEmpty());
  EXPECT_EQ(e.boxes(), shown);

  e.select(0);
  QTest::keyClick(e.list(), Qt::Key_Delete);
  e.select(0);
  QTest::keyClick(e.list(), Qt::Key_Delete);
  ASSERT_EQ(e.gb.Methods.size(), 1u);
  EXPECT_EQ(e.gb.Methods[0].Name, "Fine");
  ASSERT_EQ(e.prompts.asked.size(), 1u);
  ExpectAsked(e.prompts.asked[0], "There must be at least one grading method!",
              "Cannot delete last method!", mw::Prompts::Icon::Critical);
  EXPECT_EQ(e.names(), QStringList({"Fine"}));
}

TEST(EditMethod, OkAsksOnlyWhenTheBoxesDifferFromTheMethod) {
  {  // nothing selected: the save button and OK do nothing with the boxes
    Editor e;
    e.box(3)->setText("7");
    e.button("UpdateCurrent")->click();
    e.button("Return")->click();
    EXPECT_TRUE(e.prompts.asked.empty());
    for (const auto& m : e.gb.Methods) EXPECT_NE(m.GetEquiv(3), 7.0);
    EXPECT_EQ(e.dlg.result(), QDialog::Accepted);
  }
  {  // two-decimal values, untouched, or saved just before
    Editor e;
    e.select(1);
    e.box(1)->setText("3.75");
    e.button("UpdateCurrent")->click();
    EXPECT_EQ(e.gb.Methods[1].GetEquiv(1), 3.75);
    e.button("Return")->click();
    EXPECT_TRUE(e.prompts.asked.empty());
  }
  {  // 3.667 shows as 3.67: changed; No keeps the stored values
    Editor e;
    e.select(2);
    e.prompts.yesNo = {false};
    e.button("Return")->click();
    ASSERT_EQ(e.prompts.asked.size(), 1u);
    EXPECT_EQ(e.prompts.asked[0].kind, "yesno");
    ExpectAsked(e.prompts.asked[0], "Method has been changed; save changes?", "SaveChanges");
    EXPECT_EQ(e.gb.Methods[2].GetEquiv(1), 3.667);
  }
  {  // the close box: no question and nothing saved
    Editor e;
    e.select(0);
    e.box(0)->setText("1");
    e.dlg.show();
    e.dlg.close();
    EXPECT_TRUE(e.prompts.asked.empty());
    EXPECT_EQ(e.gb.Methods[0].GetEquiv(0), 4.3);
  }
  {  // Yes stores every box, read as its leading number
    Editor e;
    e.select(0);
    e.box(0)->setText(" 4.5 points");
    e.box(1)->setText("abc");
    e.box(2)->setText("");
    e.box(12)->setText("-2e1");
    e.prompts.yesNo = {true};
    e.button("Return")->click();
    const mw::Method& m = e.gb.Methods[0];
    EXPECT_EQ(QList<double>({m.GetEquiv(0), m.GetEquiv(1), m.GetEquiv(2), m.GetEquiv(3),
                             m.GetEquiv(12)}),
              QList<double>({4.5, 0.0, 0.0, 3.3, -20.0}));
    EXPECT_EQ(e.gb.Methods[1].GetEquiv(0), 4.33);  // only the selected method changes
  }
}

TEST(EditMethod, KeyboardHasNoDefaultOrCancelButtonAndNothingIsClipped) {
  Editor e;
  e.dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&e.dlg));
  e.select(0);
  e.box(4)->setFocus();
  e.box(4)->setText("1");
  QTest::keyClick(e.box(4), Qt::Key_Return);
  QTest::keyClick(e.box(4), Qt::Key_Escape);
  EXPECT_TRUE(e.dlg.isVisible());
  EXPECT_TRUE(e.prompts.asked.empty());
  EXPECT_EQ(e.gb.Methods[0].GetEquiv(4), 3.0);

  for (auto* b : e.dlg.findChildren<QPushButton*>())
    EXPECT_GE(b->width(), b->sizeHint().width()) << b->objectName().toStdString();
  for (auto* child : e.dlg.findChildren<QWidget*>())
    EXPECT_TRUE(e.dlg.rect().contains(child->geometry()) || child->parentWidget() != &e.dlg)
        << child->objectName().toStdString();
  if (const QByteArray dir = qgetenv("MARKWELL_GRAB_DIR"); !dir.isEmpty())
    e.dlg.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath("edit_method.png"));

  // Enter on a focused button presses it.
  e.button("Return")->setFocus();
  e.prompts.yesNo = {false};
  QTest::keyClick(e.button("Return"), Qt::Key_Return);
  EXPECT_FALSE(e.dlg.isVisible());
}

}  // namespace
