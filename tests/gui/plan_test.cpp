// The overview's Plan tab beside a real main window.
#include "../storage/book_helpers.h"
#include "gui_test.h"
#include "ui/overview/plan_tab.h"

namespace mw {
namespace {

class PlanTest : public test::MainWindowTest {
 protected:
  void SetUp() override {
    GradeBook gb = test::FreshBook();
    gb.GroupNames.push_back({"Major", false});
    test::AddSemester(gb, "Fall").Classes = {test::MakeClass(gb, "Calculus", 1, 4, {"Everything", "Major"}),
                                             test::MakeClass(gb, "Poetry", 4, 4, {"Everything"})};
    gb.FullFileName = "/books/mine.mw";
    Start(std::move(gb));
    ASSERT_NE(ov = OpenOverview(), nullptr);
    plan = ov->Plan();
    QApplication::processEvents();
  }

  OverviewWindow* ov = nullptr;
  PlanTab* plan = nullptr;
};

TEST_F(PlanTest, FollowsEditsAndUndoAndKeepsThePlanPerFile) {
  // 8 credits at 3.5 (A and B under the first method).
  plan->findChild<QLineEdit*>("PlanDesired")->setText("3.75");
  plan->findChild<QLineEdit*>("PlanLeft")->setText("8");
  const QString before = plan->PredictionText();
  EXPECT_EQ(before, "You need to average a 4.0 GPA over your next 8 credit(s).\n"
                    "Average needed 4.0: A");
  EXPECT_EQ(plan->MixText(), "Fewest top grades over 2 classes of 4.0 credits: all A reaches 3.75");
  w->SelectSemester("Fall");
  Main("ClassList")->setCurrentRow(1);
  Main<QComboBox>("GradeListBox")->setCurrentIndex(12);  // Poetry: E
  QApplication::processEvents();
  EXPECT_EQ(plan->PredictionText().section('\n', 0, 0),
            "You need to average a 5.5 GPA over your next 8 credit(s). Too high!");
  w->History()->undo();
  QApplication::processEvents();
  EXPECT_EQ(plan->PredictionText(), before);
  // A second look at the same file finds the plan; the mask shows in the header.
  PlanTab again(w->Book(), settings, prompts);
  again.Refresh(ov->Figures());
  EXPECT_EQ(again.CurrentPlan(), plan->CurrentPlan());
  Main("GroupList")->item(1)->setSelected(true);
  Main("GroupList")->item(0)->setSelected(false);
  QApplication::processEvents();
  EXPECT_EQ(ov->findChild<QLabel*>("OverviewScope")->text(),
            "Counting: Major     A+ counts 4.3 here; many schools count 4.0.");
}

TEST_F(PlanTest, PlannedClassesProjectAndBecomeASemesterInOneUndoStep) {
  plan->SetPlan(Plan{"3.5", true, "", {{"Physics", 4, 2}, {"Lab", 0, 1}}});  // A- on 4 credits
  QApplication::processEvents();
  EXPECT_EQ(plan->ProjectionText(), "Planned: 4 credits, semester GPA 3.7; cumulative GPA 3.567 (now 3.5)");
  ASSERT_FALSE(ov->Trend().Data().plan.isEmpty());
  EXPECT_EQ(ov->Trend().Data().categories.back(), "Plan");
  const size_t semesters = w->Book().Semesters.size();
  prompts.inputs = {"Fall"};  // taken
  plan->findChild<QPushButton*>("PlanAddAsSemester")->click();
  EXPECT_EQ(prompts.messages().value(0), "A semester with that name already exists!");
  prompts.inputs = {"Spring"};
  plan->findChild<QPushButton*>("PlanAddAsSemester")->click();
  QApplication::processEvents();
  ASSERT_EQ(w->Book().Semesters.size(), semesters + 1);
  EXPECT_EQ(w->Book().Semesters.back().Classes.size(), 2u);
  EXPECT_EQ(w->History()->count(), 1);
  w->History()->undo();
  EXPECT_EQ(w->Book().Semesters.size(), semesters);
}

}  // namespace
}  // namespace mw
