// The overview's figures against the main window's refresh, on generated grade books.
#include <gtest/gtest.h>

#include <tuple>

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
      EXPECT_EQ(std::tuple(f.OverallGpa, f.MethodOverall[static_cast<size_t>(method)], f.Classes, f.Credits, f.AllCredits),
                std::tuple(want.OverallGPA, want.OverallGPA, want.ClassCount, want.CountedCredits, want.AllCredits));
      EXPECT_EQ(f.OverallText + f.CountCaption + f.CountTooltip, want.OverallGPAText + want.CountCaption + want.CountTooltip);
      ASSERT_EQ(f.Rows.size(), gb.SemesterOrder.size());
      double points = 0, credits = 0;  // the cumulative GPA, semester by semester down the list
      for (size_t i = 0; i < f.Rows.size(); ++i) {
        const OverviewRow& row = f.Rows[i];
        EXPECT_TRUE(row.Name == gb.SemesterOrder[i].Name && row.Marked == gb.SemesterOrder[i].Marked) << i;
        const GpaFigures sem = UpdateGPABoxes(gb, row.Name);
        EXPECT_EQ(std::tuple(row.Gpa, row.MethodGpa[static_cast<size_t>(method)], row.GpaText),
                  std::tuple(sem.SemesterGPA, sem.SemesterGPA, sem.SemGPAText)) << row.Name;
        points += row.Gpa * row.Credits;
        credits += row.Credits;
        EXPECT_NEAR(row.Cumulative, credits == 0 ? 0 : points / credits, 1e-9);
        if (!row.Marked) EXPECT_EQ(row.Classes, 0);
      }
      // Listed in collection order, the cumulative GPA ends on the overall GPA, bit for bit.
      if (seed % 2 == 0 && !f.Rows.empty()) EXPECT_EQ(f.Rows.back().Cumulative, f.OverallGpa);
    }
  }
}

TEST(Overview, NoMethodsNoSemestersAndClassDetails) {
  GradeBook empty;
  const OverviewFigures none = ComputeOverview(empty);
  EXPECT_EQ(none.MethodIndex, -1);
  EXPECT_EQ(none.OverallText + " " + none.CountCaption + " " + none.CountTooltip, "0.0 (0 classes) (0/0 credits)");

  GradeBook gb;
  ResetToFresh(gb);
  gb.GroupNames.push_back({"Gym", false});
  gb.Semesters.push_back({{{"Math", 1, 3, {gb.InternGroup("Everything")}}, {"Run", 1, 1, {gb.InternGroup("Gym")}}}, "Fall"});
  gb.SemesterOrder.push_back({"Fall", false});
  const std::vector<ClassLine> lines = ClassDetails(gb, "Fall");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(lines[0].GradePoints == 4.0 && lines[0].InMask);
  EXPECT_FALSE(lines[0].Counts);  // the semester is not marked
  gb.SemesterOrder[0].Marked = true;
  EXPECT_TRUE(ClassDetails(gb, "Fall")[0].Counts);
  EXPECT_FALSE(ClassDetails(gb, "Fall")[1].Counts);
  EXPECT_TRUE(ClassDetails(gb, "Spring").empty());
}

}  // namespace
}  // namespace mw
