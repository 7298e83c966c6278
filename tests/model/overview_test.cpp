// The overview's figures against the main window's refresh, on generated grade books.
#include <gtest/gtest.h>

#include "model/gpa.h"
#include "model/overview.h"
#include "generated_book.h"

namespace mw {
namespace {

TEST(Overview, EqualsTheRefreshForEveryRowAndMethod) {
  for (unsigned seed = 1; seed <= 60; ++seed) {
    GradeBook gb = test::GeneratedBook(seed);
    for (int method = 0; method < static_cast<int>(gb.Methods.size()); ++method) {
      SCOPED_TRACE("seed " + std::to_string(seed) + ", method " + std::to_string(method));
      gb.MethodPos = method;
      const OverviewFigures f = ComputeOverview(gb);
      const GpaFigures want = UpdateGPABoxes(gb, {});
      EXPECT_EQ(f.MethodName, gb.Methods[static_cast<size_t>(method)].Name);
      EXPECT_EQ(f.OverallGpa, want.OverallGPA);
      EXPECT_EQ(f.MethodOverall[static_cast<size_t>(method)], want.OverallGPA);
      EXPECT_EQ(f.OverallText, want.OverallGPAText);
      EXPECT_EQ(f.Classes, want.ClassCount);
      EXPECT_EQ(f.Credits, want.CountedCredits);
      EXPECT_EQ(f.AllCredits, want.AllCredits);
      EXPECT_EQ(f.CountCaption, want.CountCaption);
      EXPECT_EQ(f.CountTooltip, want.CountTooltip);
      ASSERT_EQ(f.Rows.size(), gb.SemesterOrder.size());
      double points = 0, credits = 0;  // the cumulative GPA, semester by semester down the list
      for (size_t i = 0; i < f.Rows.size(); ++i) {
        const OverviewRow& row = f.Rows[i];
        EXPECT_EQ(row.Name, gb.SemesterOrder[i].Name);
        EXPECT_EQ(row.Marked, gb.SemesterOrder[i].Marked);
        const GpaFigures sem = UpdateGPABoxes(gb, row.Name);
        EXPECT_EQ(row.Gpa, sem.SemesterGPA) << row.Name;
        EXPECT_EQ(row.MethodGpa[static_cast<size_t>(method)], sem.SemesterGPA);
        EXPECT_EQ(row.GpaText, sem.SemGPAText);
        points += row.Gpa * row.Credits;
        credits += row.Credits;
        EXPECT_NEAR(row.Cumulative, credits == 0 ? 0 : points / credits, 1e-9);
        if (!row.Marked) {
          EXPECT_EQ(row.Classes, 0);
        }
      }
      // Listed in collection order, the cumulative GPA ends on the overall GPA, bit for bit.
      if (seed % 2 == 0 && !f.Rows.empty()) {
        EXPECT_EQ(f.Rows.back().Cumulative, f.OverallGpa);
      }
    }
  }
}

TEST(Overview, NoMethodsNoSemestersAndClassDetails) {
  GradeBook empty;
  const OverviewFigures none = ComputeOverview(empty);
  EXPECT_EQ(none.MethodIndex, -1);
  EXPECT_EQ(none.OverallText, "0.0");
  EXPECT_EQ(none.CountCaption, "(0 classes)");
  EXPECT_EQ(none.CountTooltip, "(0/0 credits)");

  GradeBook gb;
  ResetToFresh(gb);
  gb.GroupNames.push_back({"Gym", false});
  gb.Semesters.push_back({{{"Math", 1, 3, {gb.InternGroup("Everything")}}, {"Run", 1, 1, {gb.InternGroup("Gym")}}}, "Fall"});
  gb.SemesterOrder.push_back({"Fall", false});
  const std::vector<ClassLine> lines = ClassDetails(gb, "Fall");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].GradePoints, 4.0);
  EXPECT_TRUE(lines[0].InMask);
  EXPECT_FALSE(lines[0].Counts);  // the semester is not marked
  gb.SemesterOrder[0].Marked = true;
  EXPECT_TRUE(ClassDetails(gb, "Fall")[0].Counts);
  EXPECT_FALSE(ClassDetails(gb, "Fall")[1].Counts);
  EXPECT_TRUE(ClassDetails(gb, "Spring").empty());
}

}  // namespace
}  // namespace mw
