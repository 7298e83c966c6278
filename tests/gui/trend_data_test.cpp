// The trend chart's semester axis: every name distinct, tooltips with the full names.
#include <gtest/gtest.h>

#include "ui/overview/trend_chart.h"

namespace mw {
namespace {

TEST(TrendDataTest, RepeatedAndEmptyNamesGetACounterAndTipsKeepTheRealName) {
  BookFigures f;
  for (const char* name : {"A", "A", "", "Skipped", "", "A (2)"}) {
    SemesterRow r;
    r.Name = name;
    r.Marked = r.Name != "Skipped";
    r.Credits = 3;
    r.GpaText = "3.0";
    r.CumulativeText = "2.5";
    f.Rows.push_back(r);
  }
  const TrendData d = MakeTrendData(f, PlannedPoint{QStringLiteral("A"), 3, 2.75});
  EXPECT_EQ(d.categories, (QStringList{"A", "A (2)", "(no name)", " (2)", "A (2) (2)", "A (3)"}));
  EXPECT_EQ(d.TipText(1), "A\nGPA 3.0, cumulative GPA 2.5");
  EXPECT_EQ(d.TipText(5), "A (3)\nPlanned GPA 3.00, cumulative GPA 2.75");
  EXPECT_EQ(d.TipText(6), QString());
}

}  // namespace
}  // namespace mw
