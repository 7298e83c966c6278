// The grading method editor, driven through its widgets with scripted prompts.
#include "gui_test.h"

#include <array>

#include "model/scales.h"
#include "ui/dialogs/edit_method_dialog.h"

namespace {

struct Editor {
  mw::GradeBook gb;
  mw::test::ScriptedPrompts prompts;
  std::unique_ptr<mw::EditMethodDialog> dlg;

  // Two methods of at most two decimals, and one ("Fine") that the boxes show rounded.
  Editor() {
    const std::pair<const char*, std::array<double, mw::kGradeCount>> methods[] = {
        {"Plain", {4.3, 4, 3.7, 3.3, 3, 2.7, 2.3, 2, 1.7, 1.3, 1, 0.7, 0}},
        {"Thirds", {4.33, 4, 3.66, 3.33, 3, 2.66, 2.33, 2, 1.66, 1.33, 1, 0.66, 0}},
        {"Fine", {4, 3.667, 3.333, 3, 2.667, 2.333, 2, 1, 1, 1, 1, -1, 123456.25}}};
    for (const auto& [name, values] : methods) {
      gb.Methods.emplace_back().Name = name;
      gb.Methods.back().SetNumerical(values);
    }
    dlg = std::make_unique<mw::EditMethodDialog>(gb.Methods, prompts, nullptr);
  }
  QListWidget* list() { return dlg->findChild<QListWidget*>("MethodListBox"); }
  QLineEdit* box(int i) { return dlg->findChild<QLineEdit*>(QString("Text1_%1").arg(i)); }
  QPushButton* button(const char* name) { return dlg->findChild<QPushButton*>(name); }
  QStringList boxes() {
    QStringList out;
    for (int i = 0; i < mw::kGradeCount; ++i) out << box(i)->text();
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
  EXPECT_EQ(e.prompts.asked.at(0).icon, mw::Prompts::Icon::Critical);
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
  e.prompts.choices = {2, 2, int(mw::GradingScales().size()), -1};  // the third scale twice, the first method, none
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

}  // namespace
