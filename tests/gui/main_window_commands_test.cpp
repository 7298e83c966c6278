// The main window's commands on semesters, classes and groups and the prediction, driven by
// real mouse and key events with scripted answers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "scripted_prompts.h"
#include "ui/main_window/main_screen.h"

// Texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace mw {
namespace {

class MainWindowCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    w = std::make_unique<MainScreen>(settings, &prompts);
    w->StartUp(QString());
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    semesters = Find<QListWidget>("SemesterList");
    classes = Find<QListWidget>("ClassList");
    groups = Find<QListWidget>("GroupList");
    members = Find<QListWidget>("MemberGroup");
    credits = Find<QLineEdit>("CreditsBox");
    grades = Find<QComboBox>("GradeListBox");
  }
  template <typename T>
  T* Find(const char* name) {
    return w->findChild<T*>(QLatin1String(name));
  }
  QString Text(const char* label) { return Find<QLabel>(label)->text(); }
  QString Status() { return w->StatusText(); }
  void Press(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
  void Answer(const QString& text, const char* button) {
    prompts.inputs.push_back(text);
    Press(button);
  }
  QPoint At(QListWidget* l, int row) { return l->visualItemRect(l->item(row)).center(); }
  void Click(QListWidget* l, int row, Qt::KeyboardModifiers m = {}) {
    QTest::mouseClick(l->viewport(), Qt::LeftButton, m, At(l, row));
  }
  // As the platform delivers it: press, release, double-click, release.
  void DoubleClick(QListWidget* l, int row) {
    Click(l, row);
    QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, At(l, row));
    QTest::mouseRelease(l->viewport(), Qt::LeftButton, {}, At(l, row));
  }
  void ClickCheckBox(int row) {
    const QRect r = semesters->visualItemRect(semesters->item(row));
    const int box = semesters->style()->pixelMetric(QStyle::PM_IndicatorWidth);
    QTest::mouseClick(semesters->viewport(), Qt::LeftButton, {},
                      QPoint(r.left() + 3 + box / 2, r.center().y()));
  }
  int Row(QListWidget* l, const QString& text) {
    const auto found = l->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? -1 : l->row(found[0]);
  }
  QStringList Entries(QListWidget* l) {
    QStringList out;
    for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
    return out;
  }
  void Type(QWidget* box, const QString& text) {
    box->setFocus();
    QTest::keyClicks(box, text);
  }
  // A semester "Fall" with classes of 3 credits at A (4.0) and 1 credit at C (2.0).
  void MakeFall() {
    Answer("Fall", "AddSemesterButton");
    settings.WriteSetting("Options", "DefCredits", "3");
    Answer("Math", "AddClassButton");
    settings.WriteSetting("Options", "DefCredits", "1");
    settings.WriteSetting("Options", "DefGrade", "7");
    Answer("Art", "AddClassButton");
    settings.values.clear();
  }
  Class& ClassNamed(const std::string& sem, const std::string& name) {
    Semester* s = w->Book().FindSemester(sem);
    return *w->Book().FindClass(s, name);
  }

  MemorySettingsStore settings;
  test::ScriptedPrompts prompts;
  std::unique_ptr<MainScreen> w;
  QListWidget *semesters, *classes, *groups, *members;
  QLineEdit* credits;
  QComboBox* grades;
};

TEST_F(MainWindowCommands, AddingAndRenamingSemesters) {
  Answer("Fall", "AddSemesterButton");
  EXPECT_EQ(Status(), "Semester Fall added.");
  EXPECT_EQ(Entries(semesters), QStringList{"Fall"});
  EXPECT_EQ(w->Book().CurrentSemesterText(), "Fall");
  EXPECT_EQ(Text("ClassListTitle"), "Fall");
  EXPECT_TRUE(Find<QLabel>("ClassListTitle")->font().bold());

  // The prompt offers the current entry; accepting it is refused.
  Answer("Fall", "AddSemesterButton");
  EXPECT_EQ(prompts.asked.back().defaultText, "Fall");
  EXPECT_EQ(Status(), "A semester with that name already exists!");
  Answer("", "AddSemesterButton");  // Cancel: nothing said
  EXPECT_EQ(Status(), "A semester with that name already exists!");
  Answer("Line\nbreak", "AddSemesterButton");
  Answer(QString::fromUtf8("\xe6\x97\xa5\xe6\x9c\xac"), "AddSemesterButton");
  EXPECT_TRUE(Status().startsWith("That name cannot be kept in a Markwell file"));
  EXPECT_EQ(w->Book().Semesters.size(), 1u);
  EXPECT_EQ(semesters->count(), 1);

  Answer("Spring", "AddSemesterButton");
  prompts.inputs = {"Spring", "fall"};
  DoubleClick(semesters, 0);
  EXPECT_EQ(prompts.asked.back().title, "Change Semester Name");
  EXPECT_EQ(prompts.asked.back().defaultText, "Fall");
  EXPECT_EQ(Status(), "A semester with that name already exists!");
  Click(semesters, 1);
  semesters->item(0)->setCheckState(Qt::Unchecked);  // marks stay with their entries
  Click(semesters, 0);
  DoubleClick(semesters, 0);
  EXPECT_EQ(Entries(semesters), QStringList({"fall", "Spring"}));
  EXPECT_EQ(semesters->item(0)->checkState(), Qt::Unchecked);
  EXPECT_EQ(semesters->currentRow(), 0);
  EXPECT_EQ(w->Book().Semesters[0].Name, "fall");
  EXPECT_FALSE(w->Book().SemesterOrder[0].Marked);
  EXPECT_EQ(Text("ClassListTitle"), "fall");
}

TEST_F(MainWindowCommands, MovingMarkingAndDeletingSemesters) {
  for (const char* s : {"A", "B", "C"}) Answer(s, "AddSemesterButton");
  ClickCheckBox(1);  // unmarks B and makes it current
  EXPECT_FALSE(w->Book().SemesterOrder[1].Marked);
  EXPECT_EQ(w->Book().CurrentSemesterText(), "B");
  EXPECT_EQ(Status(), "Selected semester B.");

  Click(semesters, 0);
  QTest::keyClick(semesters, Qt::Key_Plus);  // main keyboard: no move
  EXPECT_EQ(Entries(semesters), QStringList({"A", "B", "C"}));
  QTest::keyClick(semesters, Qt::Key_Minus, Qt::KeypadModifier);  // first entry: no move
  EXPECT_EQ(Entries(semesters), QStringList({"A", "B", "C"}));
  QTest::keyClick(semesters, Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(Entries(semesters), QStringList({"B", "A", "C"}));
  EXPECT_EQ(semesters->item(0)->checkState(), Qt::Unchecked);
  EXPECT_EQ(semesters->item(1)->checkState(), Qt::Checked);
  EXPECT_EQ(semesters->currentRow(), 1);
  EXPECT_EQ(Status(), "Selected semester A.");
  EXPECT_EQ(w->Book().SemesterOrder[0].Name, "B");
  EXPECT_EQ(w->Book().Semesters[0].Name, "A");  // the collection keeps its order
  QTest::keyClick(semesters, Qt::Key_Minus, Qt::KeypadModifier);
  EXPECT_EQ(Entries(semesters), QStringList({"A", "B", "C"}));

  // Delete: No keeps everything; Yes removes the semester and clears the class display.
  prompts.inputs = {"Math"};
  Press("AddClassButton");
  prompts.yesNo = {false, true};
  QTest::keyClick(semesters, Qt::Key_Delete);
  EXPECT_EQ(semesters->count(), 3);
  QTest::keyClick(semesters, Qt::Key_Delete);
  EXPECT_EQ(prompts.asked.back().text, "Delete entire semester?");
  EXPECT_EQ(Entries(semesters), QStringList({"B", "C"}));
  EXPECT_EQ(w->Book().Semesters.size(), 2u);
  EXPECT_FALSE(w->Book().CurrentSemester.has_value());
  EXPECT_EQ(Text("ClassListTitle"), "Class:");
  EXPECT_FALSE(Find<QLabel>("ClassListTitle")->font().bold());
  EXPECT_EQ(classes->count(), 0);
  EXPECT_EQ(Status(), "Semester deleted.");
  EXPECT_EQ(Text("OverallGPABox"), "0.0");

  // Delete without a current entry asks nothing.
  const size_t asked = prompts.asked.size();
  QTest::keyClick(semesters, Qt::Key_Delete);
  EXPECT_EQ(prompts.asked.size(), asked);
}

TEST_F(MainWindowCommands, MarksAndMaskDecideWhatCounts) {
  MakeFall();
  EXPECT_EQ(Text("OverallGPABox"), "3.5");
  EXPECT_EQ(Text("SemGPABox"), "3.5");
  EXPECT_EQ(Text("NumGroupMask"), "(2 classes)");
  EXPECT_EQ(Find<QLabel>("NumGroupMask")->toolTip(), "(4/4 credits)");
  Press("SemSelNone");
  EXPECT_EQ(Text("OverallGPABox"), "0.0");
  Press("SemSelAll");
  EXPECT_EQ(Text("OverallGPABox"), "3.5");

  // Take Art out of the mask by its membership, then the mask's only group away.
  classes->setCurrentRow(Row(classes, "Art"));
  Answer("Core", "AddGroup");
  Click(members, 0);  // Art leaves Everything
  EXPECT_EQ(Status(), "Changed groups under which class Art falls.");
  EXPECT_EQ(ClassNamed("Fall", "Art").Groups, std::vector<std::string>{"Core"});
  Click(groups, 1, Qt::ControlModifier);
  EXPECT_EQ(Status(), "Removed group Core from group mask.");
  EXPECT_EQ(Text("OverallGPABox"), "4.0");
  EXPECT_EQ(Text("NumGroupMask"), "(1 class)");
  EXPECT_EQ(Find<QLabel>("NumGroupMask")->toolTip(), "(3/4 credits)");
  Click(groups, 0, Qt::ControlModifier);
  EXPECT_EQ(Status(), "Removed group Everything from group mask.");
  EXPECT_FALSE(w->Book().GroupNames[0].InMask);
  EXPECT_EQ(Text("NumGroupMask"), "(0 classes)");
  Click(groups, 0, Qt::ControlModifier);
  EXPECT_EQ(Status(), "Added group Everything to group mask.");
  EXPECT_EQ(Text("OverallGPABox"), "4.0");
}

TEST_F(MainWindowCommands, AddingClasses) {
  Answer("Physics", "AddClassButton");
  EXPECT_EQ(Status(), "Please select a semester first.");
  EXPECT_TRUE(prompts.inputs.size() == 1);  // nothing asked
  prompts.inputs.clear();

  Answer("Fall", "AddSemesterButton");
  for (const char* c : {"Physics", "algebra", "Chemistry"}) Answer(c, "AddClassButton");
  EXPECT_EQ(Entries(classes), QStringList({"algebra", "Chemistry", "Physics"}));
  EXPECT_EQ(classes->currentRow(), -1);
  const Class& physics = ClassNamed("Fall", "Physics");
  EXPECT_EQ(physics.Grade, 1);
  EXPECT_EQ(physics.Credits, 1.0);
  EXPECT_EQ(physics.Groups, std::vector<std::string>{"Everything"});

  Answer("Physics", "AddClassButton");
  EXPECT_EQ(Status(), "A class with that name already exists!");
  Answer("Bad\rname", "AddClassButton");
  EXPECT_EQ(w->Book().Semesters[0].Classes.size(), 3u);

  // The same name in another semester; the settings of the moment; no "Everything" any more.
  Answer("Spring", "AddSemesterButton");
  settings.WriteSetting("Options", "DefCredits", "2.5");
  Answer("Physics", "AddClassButton");
  EXPECT_EQ(ClassNamed("Spring", "Physics").Credits, 2.5);
  prompts.yesNo = {true};
  groups->setCurrentRow(0);
  QTest::keyClick(groups, Qt::Key_Delete);
  Answer("Optics", "AddClassButton");
  EXPECT_TRUE(ClassNamed("Spring", "Optics").Groups.empty());
}

TEST_F(MainWindowCommands, SelectingAndEditingAClass) {
  MakeFall();
  const std::string before = w->StatusText().toStdString();
  Click(classes, Row(classes, "Art"));
  EXPECT_EQ(Status(), "Selected class Art.");
  EXPECT_EQ(grades->currentText(), "C");
  EXPECT_EQ(credits->text(), "1");
  EXPECT_EQ(ClassNamed("Fall", "Art").Grade, 7);

  // Typing 3.5 over the credits reports each step.
  credits->selectAll();
  QTest::keyClick(credits, Qt::Key_Backspace);
  EXPECT_EQ(Status(), "Changed credits for class Art to 0.");
  QTest::keyClick(credits, Qt::Key_3);
  EXPECT_EQ(Status(), "Changed credits for class Art to 3.");
  QTest::keyClicks(credits, ".5");
  EXPECT_EQ(Status(), "Changed credits for class Art to 3.5.");
  EXPECT_EQ(ClassNamed("Fall", "Art").Credits, 3.5);
  EXPECT_EQ(Text("OverallGPABox"), "2.923");  // (12 + 7) / 6.5
  QTest::keyClick(credits, Qt::Key_X);
  EXPECT_EQ(Status(), "Please enter a numeric value for the number of credits.");
  EXPECT_EQ(ClassNamed("Fall", "Art").Credits, 3.5);
  credits->setText("1e999");  // beyond any double: refused, not kept as infinity
  EXPECT_EQ(Status(), "Please enter a numeric value for the number of credits.");
  EXPECT_EQ(ClassNamed("Fall", "Art").Credits, 3.5);

  grades->setFocus();
  QTest::keyClick(grades, Qt::Key_Up);
  EXPECT_EQ(Status(), "Changed grade for class Art.");
  EXPECT_EQ(ClassNamed("Fall", "Art").Grade, 6);
  EXPECT_EQ(Text("ClassGPABox"), "2.3");

  // Renaming: the same name is refused, another letter case is fine; then nothing is current.
  prompts.inputs = {"Art", "art"};
  DoubleClick(classes, Row(classes, "Art"));
  EXPECT_EQ(Status(), "A class with that name already exists!");
  DoubleClick(classes, Row(classes, "Art"));
  EXPECT_EQ(Entries(classes), QStringList({"art", "Math"}));
  EXPECT_EQ(classes->currentRow(), -1);
  EXPECT_EQ(Text("ClassName"), "Art");
  QTest::keyClick(grades, Qt::Key_Up);
  EXPECT_EQ(Status(), "Please select a class first.");
  EXPECT_EQ(ClassNamed("Fall", "art").Grade, 6);
}

TEST_F(MainWindowCommands, DeletingAClassKeepsTheStatusAndShowsTheDefaultGrade) {
  MakeFall();
  Click(classes, Row(classes, "Art"));
  grades->setCurrentIndex(10);
  prompts.yesNo = {false, true};
  QTest::keyClick(classes, Qt::Key_Delete);
  EXPECT_EQ(classes->count(), 2);
  w->SetStatusText("earlier");
  QTest::keyClick(classes, Qt::Key_Delete);
  EXPECT_EQ(prompts.asked.back().text, "Delete class?");
  EXPECT_EQ(w->Book().Semesters[0].Classes.size(), 1u);
  EXPECT_EQ(Status(), "earlier");
  EXPECT_EQ(grades->currentText(), "A");
  EXPECT_EQ(credits->text(), "1");
  EXPECT_EQ(Text("OverallGPABox"), "4.0");
  credits->setText("7");
  EXPECT_EQ(Status(), "Please select a class first.");
}

TEST_F(MainWindowCommands, GroupsAddRenameAndDelete) {
  MakeFall();
  Answer("Labs", "AddGroup");  // no class current: only the mask gets it
  EXPECT_EQ(Status(), "Group Labs added.");
  EXPECT_TRUE(groups->item(1)->isSelected());
  EXPECT_FALSE(members->item(1)->isSelected());
  Click(classes, Row(classes, "Math"));
  Answer("Core", "AddGroup");
  EXPECT_EQ(ClassNamed("Fall", "Math").Groups, std::vector<std::string>({"Everything", "Core"}));
  EXPECT_TRUE(members->item(2)->isSelected());
  EXPECT_TRUE(groups->item(2)->isSelected());
  Answer("Core", "AddGroup");
  EXPECT_EQ(Status(), "A group of that name already exists!");

  // Renaming moves the group to the end of each class's groups.
  prompts.inputs = {"Core", "All"};
  DoubleClick(groups, 0);
  EXPECT_EQ(Status(), "A group with that name already exists!");
  DoubleClick(members, 0);
  EXPECT_EQ(Entries(members), QStringList({"All", "Labs", "Core"}));
  EXPECT_EQ(ClassNamed("Fall", "Math").Groups, std::vector<std::string>({"Core", "All"}));
  EXPECT_EQ(ClassNamed("Fall", "Art").Groups, std::vector<std::string>{"All"});
  EXPECT_TRUE(members->item(0)->isSelected());

  // Deleting every group leaves no class counted.
  prompts.yesNo = {true, true, true};
  for (int i = 0; i < 3; ++i) {
    groups->setCurrentRow(0);
    QTest::keyClick(groups, Qt::Key_Delete);
  }
  EXPECT_EQ(members->count(), 0);
  EXPECT_TRUE(ClassNamed("Fall", "Math").Groups.empty());
  EXPECT_EQ(Text("OverallGPABox"), "0.0");
  EXPECT_EQ(Text("NumGroupMask"), "(0 classes)");
  const size_t asked = prompts.asked.size();
  QTest::keyClick(groups, Qt::Key_Delete);  // empty list: nothing asked
  w->GroupList_DblClick();                  // no current entry: nothing asked
  EXPECT_EQ(prompts.asked.size(), asked);
}

TEST_F(MainWindowCommands, PredictionBoxes) {
  MakeFall();  // 2 classes, 4 credits, GPA 3.5
  Type(Find<QLineEdit>("DesiredGPABox"), "3.x");
  EXPECT_EQ(Status(), "Please enter a numeric value for the desired GPA.");
  Type(Find<QLineEdit>("ClassesLeftBox"), "2");
  EXPECT_EQ(Status(), "");
  Press("PredictGo");  // 3.x reads as 3
  EXPECT_EQ(Status(), "Assuming each class is worth 2.0 credit(s), you need to average a 2.5 GPA "
                      "for your next 2 classes.");
}

TEST_F(MainWindowCommands, OddGradeBooksFromFilesAreShownSafely) {
  MakeFall();
  GradeBook& gb = w->Book();
  gb.Semesters[0].Classes[0].Grade = 40;  // Math: no letter
  gb.MethodPos = 7;                      // no such method
  w->ShowLoadedGradeBook();
  EXPECT_EQ(Find<QComboBox>("MethodList")->currentIndex(), -1);
  Click(semesters, 0);
  Click(classes, Row(classes, "Math"));
  EXPECT_EQ(grades->currentIndex(), -1);
  EXPECT_EQ(Text("ClassGPABox"), "0.0");
  gb.Methods.clear();
  w->ShowLoadedGradeBook();
  Click(semesters, 0);
  Click(classes, Row(classes, "Art"));
  grades->setCurrentIndex(2);
  EXPECT_EQ(Text("OverallGPABox"), "0.0");
  EXPECT_EQ(ClassNamed("Fall", "Art").Grade, 2);
}

TEST_F(MainWindowCommands, SavedAndLoadedGradeBookRefillsEveryList) {
  QTemporaryDir dir;
  MakeFall();
  Answer("Spring", "AddSemesterButton");
  QTest::keyClick(semesters, Qt::Key_Minus, Qt::KeypadModifier);
  Press("SemSelNone");
  const QString path = dir.filePath("book.mw");
  prompts.files = {path, path};
  Press("SaveButton");
  EXPECT_EQ(Status(), "Sucessfully saved to file book.mw.");
  prompts.yesNo = {true};
  w->New_Click();
  Press("LoadButton");
  EXPECT_EQ(w->windowTitle(), "Markwell - book.mw");
  EXPECT_EQ(Entries(semesters), QStringList({"Spring", "Fall"}));
  EXPECT_EQ(semesters->item(1)->checkState(), Qt::Checked);
  EXPECT_EQ(semesters->currentRow(), -1);
  EXPECT_EQ(Text("OverallGPABox"), "3.5");
  EXPECT_EQ(grades->currentText(), "A");
  Click(semesters, 1);
  EXPECT_EQ(Entries(classes), QStringList({"Art", "Math"}));
}

}  // namespace
}  // namespace mw
