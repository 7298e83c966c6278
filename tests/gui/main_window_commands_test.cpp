// The main window's commands on semesters, classes and groups and the prediction, driven by
// real mouse and key events with scripted answers.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "scripted_prompts.h"
#include "ui/main_window/main_screen.h"

// Texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace mw {
namespace {

using Names = std::vector<std::string>;
const QString kSemesterTaken = "A semester with that name already exists!";
const QString kNoCreditsNumber = "Please enter a numeric value for the number of credits.";

class MainWindowCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    w->StartUp(QString());
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
  }
  template <typename T = QListWidget>
  T* Find(const char* name) { return w->findChild<T*>(QLatin1String(name)); }
  QString Text(const char* label) { return Find<QLabel>(label)->text(); }
  QString Status() { return w->StatusText(); }
  // Each step returns the status line it leaves.
  QString Press(const char* button) {
    QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton);
    return Status();
  }
  QString Answer(const QString& text, const char* button) {
    prompts.inputs.push_back(text);
    return Press(button);
  }
  QString Key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers m = {}) {
    QTest::keyClick(target, key, m);
    return Status();
  }
  QPoint At(QListWidget* l, int row) { return l->visualItemRect(l->item(row)).center(); }
  QString Click(QListWidget* l, int row, Qt::KeyboardModifiers m = {}) {
    QTest::mouseClick(l->viewport(), Qt::LeftButton, m, At(l, row));
    return Status();
  }
  // As the platform delivers it: press, release, double-click, release.
  QString DoubleClick(QListWidget* l, int row) {
    Click(l, row);
    QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, At(l, row));
    QTest::mouseRelease(l->viewport(), Qt::LeftButton, {}, At(l, row));
    return Status();
  }
  QStringList Entries(QListWidget* l) {
    QStringList out;
    for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
    return out;
  }
  // A semester "Fall" listing Art (1 credit at C, 2.0) above Math (3 credits at A, 4.0).
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
    return *w->Book().FindClass(w->Book().FindSemester(sem), name);
  }

  MemorySettingsStore settings;
  test::ScriptedPrompts prompts;
  std::unique_ptr<MainScreen> w = std::make_unique<MainScreen>(settings, &prompts);
  QListWidget *semesters = Find("SemesterList"), *classes = Find("ClassList"),
              *groups = Find("GroupList"), *members = Find("MemberGroup");
  QLineEdit* credits = Find<QLineEdit>("CreditsBox");
  QComboBox* grades = Find<QComboBox>("GradeListBox");
};

TEST_F(MainWindowCommands, SemestersTakeOnlyNewStorableNames) {
  EXPECT_EQ(Answer("Fall", "AddSemesterButton"), "Semester Fall added.");
  // A taken name, a cancel and an unstorable name add nothing.
  EXPECT_EQ(Answer("Fall", "AddSemesterButton"), kSemesterTaken);
  Answer("", "AddSemesterButton");
  EXPECT_TRUE(Answer(QString::fromUtf8("\xe6\x97\xa5\xe6\x9c\xac"), "AddSemesterButton")
                  .startsWith("That name cannot be kept in a Markwell file"));
  EXPECT_EQ(Entries(semesters), QStringList{"Fall"});

  // Renaming refuses a taken name but not another letter case.
  Answer("Spring", "AddSemesterButton");
  prompts.inputs = {"Spring", "fall"};
  EXPECT_EQ(DoubleClick(semesters, 0), kSemesterTaken);
  DoubleClick(semesters, 0);
  EXPECT_EQ(Entries(semesters), QStringList({"fall", "Spring"}));
  EXPECT_EQ(w->Book().Semesters[0].Name + "/" + w->Book().SemesterOrder[0].Name, "fall/fall");
  EXPECT_EQ(Text("ClassListTitle"), "fall");
}

TEST_F(MainWindowCommands, MovingMarkingAndDeletingSemesters) {
  for (const char* s : {"A", "B", "C"}) Answer(s, "AddSemesterButton");
  semesters->item(1)->setCheckState(Qt::Unchecked);  // makes B current
  EXPECT_FALSE(w->Book().SemesterOrder[1].Marked);
  EXPECT_EQ(Status(), "Selected semester B.");

  // Only the keypad's + and - move, never past an end; marks go with their entries and the
  // moved entry stays current.
  Click(semesters, 0);
  Key(semesters, Qt::Key_Plus);
  EXPECT_EQ(Entries(semesters), QStringList({"A", "B", "C"}));
  Key(semesters, Qt::Key_Minus, Qt::KeypadModifier);
  EXPECT_EQ(Entries(semesters), QStringList({"A", "B", "C"}));
  EXPECT_EQ(Key(semesters, Qt::Key_Plus, Qt::KeypadModifier), "Selected semester A.");
  EXPECT_EQ(Entries(semesters), QStringList({"B", "A", "C"}));
  EXPECT_EQ(semesters->item(0)->checkState(), Qt::Unchecked);
  EXPECT_EQ(w->Book().Semesters[0].Name, "A");  // the collection keeps its order

  // Delete: No keeps everything; Yes removes the semester and clears the class display.
  Answer("Math", "AddClassButton");
  prompts.yesNo = {false, true};
  Key(semesters, Qt::Key_Delete);
  EXPECT_EQ(semesters->count(), 3);
  EXPECT_EQ(Key(semesters, Qt::Key_Delete), "Semester deleted.");
  EXPECT_EQ(prompts.asked.back().text, "Delete entire semester?");
  EXPECT_EQ(Entries(semesters), QStringList({"B", "C"}));
  EXPECT_EQ(w->Book().Semesters.size(), 2u);
  EXPECT_EQ(classes->count(), 0);
  const size_t asked = prompts.asked.size();
  Key(semesters, Qt::Key_Delete);  // nothing current: nothing asked
  EXPECT_EQ(prompts.asked.size(), asked);
}

TEST_F(MainWindowCommands, MarksMaskAndPrediction) {
  MakeFall();
  EXPECT_EQ(Text("OverallGPABox"), "3.5");
  QTest::keyClicks(Find<QLineEdit>("DesiredGPABox"), "3.x");
  EXPECT_EQ(Status(), "Please enter a numeric value for the desired GPA.");
  QTest::keyClicks(Find<QLineEdit>("ClassesLeftBox"), "2");
  EXPECT_EQ(Press("PredictGo"),  // 3.x reads as 3; 2 classes and 4 credits so far
            "Assuming each class is worth 2.0 credit(s), you need to average a 2.5 GPA for "
            "your next 2 classes.");
  Press("SemSelNone");
  EXPECT_EQ(Text("OverallGPABox"), "0.0");
  Press("SemSelAll");
  EXPECT_EQ(Text("OverallGPABox"), "3.5");

  // Take Art out of the mask by its membership, then the mask's only group away and back.
  classes->setCurrentRow(0);
  Answer("Core", "AddGroup");
  EXPECT_EQ(Click(members, 0), "Changed groups under which class Art falls.");
  EXPECT_EQ(ClassNamed("Fall", "Art").Groups, Names{"Core"});
  EXPECT_EQ(Click(groups, 1, Qt::ControlModifier), "Removed group Core from group mask.");
  EXPECT_EQ(Text("OverallGPABox"), "4.0");
  Click(groups, 0, Qt::ControlModifier);
  EXPECT_EQ(Text("NumGroupMask"), "(0 classes)");
  EXPECT_EQ(Click(groups, 0, Qt::ControlModifier), "Added group Everything to group mask.");
}

TEST_F(MainWindowCommands, AddingClasses) {
  EXPECT_EQ(Answer("Physics", "AddClassButton"), "Please select a semester first.");
  EXPECT_EQ(prompts.inputs.size(), 1u);  // nothing asked
  prompts.inputs.clear();

  // Sorted without regard to case, none made current; refused when taken or unstorable.
  Answer("Fall", "AddSemesterButton");
  for (const char* c : {"Physics", "algebra", "Chemistry"}) Answer(c, "AddClassButton");
  EXPECT_EQ(Status(), "Added class Chemistry.");
  EXPECT_EQ(Entries(classes), QStringList({"algebra", "Chemistry", "Physics"}));
  EXPECT_EQ(classes->currentRow(), -1);
  EXPECT_EQ(ClassNamed("Fall", "Physics").Groups, Names{"Everything"});
  EXPECT_EQ(Answer("Physics", "AddClassButton"), "A class with that name already exists!");
  Answer("Bad\rname", "AddClassButton");
  EXPECT_EQ(w->Book().Semesters[0].Classes.size(), 3u);
  Answer("Spring", "AddSemesterButton");  // another semester may have the same name
  Answer("Physics", "AddClassButton");
  EXPECT_EQ(Entries(classes), QStringList{"Physics"});
}

TEST_F(MainWindowCommands, EditingRenamingAndDeletingAClass) {
  MakeFall();
  EXPECT_EQ(Click(classes, 0), "Selected class Art.");
  EXPECT_EQ(grades->currentText(), "C");

  // Each change of the credits is reported; what is no finite number is refused.
  const std::pair<QString, QString> typed[] = {
      {"", "Changed credits for class Art to 0."},
      {"3.5", "Changed credits for class Art to 3.5."},
      {"3.5x", kNoCreditsNumber},
      {"1e999", kNoCreditsNumber}};  // not kept as infinity
  for (const auto& [text, status] : typed) {
    credits->setText(text);
    EXPECT_EQ(Status(), status) << text.toStdString();
  }
  EXPECT_EQ(ClassNamed("Fall", "Art").Credits, 3.5);
  EXPECT_EQ(Text("OverallGPABox"), "2.923");  // (12 + 7) / 6.5
  EXPECT_EQ(Key(grades, Qt::Key_Up), "Changed grade for class Art.");

  // Renaming refuses a taken name but not another letter case; then nothing is current.
  prompts.inputs = {"Art", "art"};
  EXPECT_EQ(DoubleClick(classes, 0), "A class with that name already exists!");
  DoubleClick(classes, 0);
  EXPECT_EQ(Entries(classes), QStringList({"art", "Math"}));
  EXPECT_EQ(classes->currentRow(), -1);
  EXPECT_EQ(ClassNamed("Fall", "art").Grade, 6);

  // Deleting (after a No) keeps the status line and shows the default grade.
  Click(classes, 0);
  prompts.yesNo = {false, true};
  Key(classes, Qt::Key_Delete);
  EXPECT_EQ(classes->count(), 2);
  w->SetStatusText("earlier");
  EXPECT_EQ(Key(classes, Qt::Key_Delete), "earlier");
  EXPECT_EQ(prompts.asked.back().text, "Delete class?");
  EXPECT_EQ(Entries(classes), QStringList{"Math"});
  EXPECT_EQ(grades->currentText(), "A");
  EXPECT_EQ(Text("OverallGPABox"), "4.0");
  credits->setText("7");
  EXPECT_EQ(Status(), "Please select a class first.");
}

TEST_F(MainWindowCommands, GroupsAddRenameAndDelete) {
  MakeFall();
  EXPECT_EQ(Answer("Labs", "AddGroup"), "Group Labs added.");  // no class current: mask only
  EXPECT_TRUE(groups->item(1)->isSelected());
  Click(classes, 1);
  Answer("Core", "AddGroup");
  EXPECT_EQ(ClassNamed("Fall", "Math").Groups, Names({"Everything", "Core"}));
  EXPECT_EQ(Answer("Core", "AddGroup"), "A group of that name already exists!");

  // Renaming by a double-click leaves the current class's memberships as they were.
  prompts.inputs = {"Core", "All"};
  EXPECT_EQ(DoubleClick(groups, 0), "A group with that name already exists!");
  DoubleClick(members, 0);
  EXPECT_EQ(Entries(members), QStringList({"All", "Labs", "Core"}));
  EXPECT_EQ(ClassNamed("Fall", "Math").Groups, Names({"Core", "All"}));
  EXPECT_EQ(ClassNamed("Fall", "Art").Groups, Names{"All"});

  // Deleting every group leaves no class counted; then there is nothing to ask about.
  prompts.yesNo = {true, true, true};
  for (int i = 0; i < 3; ++i) {
    groups->setCurrentRow(0);
    Key(groups, Qt::Key_Delete);
  }
  EXPECT_TRUE(ClassNamed("Fall", "Math").Groups.empty());
  EXPECT_EQ(Text("OverallGPABox"), "0.0");
  const size_t asked = prompts.asked.size();
  Key(groups, Qt::Key_Delete);
  w->GroupList_DblClick();
  EXPECT_EQ(prompts.asked.size(), asked);
}

TEST_F(MainWindowCommands, OddGradeBooksFromFilesAreShownSafely) {
  MakeFall();
  GradeBook& gb = w->Book();
  gb.Semesters[0].Classes[0].Grade = 40;  // Math: no letter
  gb.MethodPos = 7;                      // no such method
  w->ShowLoadedGradeBook();
  EXPECT_EQ(Find<QComboBox>("MethodList")->currentIndex(), -1);
  Click(semesters, 0);
  Click(classes, 1);
  EXPECT_EQ(grades->currentIndex(), -1);
  EXPECT_EQ(Text("ClassGPABox"), "0.0");
  gb.Methods.clear();  // no method at all
  w->ShowLoadedGradeBook();
  Click(semesters, 0);
  Click(classes, 0);
  grades->setCurrentIndex(2);
  EXPECT_EQ(Text("OverallGPABox"), "0.0");
  EXPECT_EQ(ClassNamed("Fall", "Art").Grade, 2);
}

}  // namespace
}  // namespace mw
