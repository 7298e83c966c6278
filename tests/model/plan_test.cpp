#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <tuple>

#include "model/gradebook.h"
#include "model/plan.h"
#include "model/scales.h"

using namespace mw;

namespace {

Method Builtin(int i) { return BuiltInMethods()[size_t(i)]; }

TEST(PlanTest, PredictionOverCreditsLeft) {
  const Method m = Builtin(0);  // 0.0 .. 4.3
  // Desired GPA and credits left as typed, the GPA and credits so far, and the message.
  const std::tuple<const char*, const char*, double, double, const char*> cases[] = {
      // A published example: 2.878 over 56 credits, 14 hours next term, target 3.0 -> 3.488.
      {"3.0", "14", 2.878, 56, "You need to average a 3.49 GPA over your next 14 credit(s)."},
      {"3.5", "6", 3.0, 12, "You need to average a 4.5 GPA over your next 6 credit(s). Too high!"},
      {"0.5", "3", 3.0, 12, "You need to average a -9.5 GPA over your next 3 credit(s). Too low!"},
      {"3.2", "0.5", 0.0, 0, "You need to average a 3.2 GPA over your next 0.5 credit(s)."},
      {"4.3", "1", 4.3, 3, "You need to average a 4.3 GPA over your next 1 credit(s)."},
      {"0", "14", 3.0, 12, "Desired GPA value is out of range."},
      {"4.31", "14", 3.0, 12, "Desired GPA value is out of range."},
      {"3", "0", 3.0, 12, "You must have a postive number of credits left."},
      {"3", "-2", 3.0, 12, "You must have a postive number of credits left."},
  };
  for (const auto& [desired, left, gpa, credits, text] : cases)
    EXPECT_EQ(PredictByCredits(desired, left, &m, gpa, credits), text) << desired;
  EXPECT_EQ(PredictByCredits("3", "3", nullptr, 0, 0), "Desired GPA value is out of range.");
  EXPECT_NEAR(NeededOverCredits(3.0, 14, 2.878, 56), 3.488, 1e-9);
}

TEST(PlanTest, NearestLettersNameTheAverage) {
  const Method common = GradingScales()[0].ToMethod("x");
  const Method harvard = Builtin(2);
  EXPECT_EQ(NearestLetters(3.69, Builtin(0)), "3.69: between A- (3.7) and B+ (3.3), just under A-");
  EXPECT_EQ(NearestLetters(3.4, Builtin(0)), "3.4: between A- (3.7) and B+ (3.3), just over B+");
  EXPECT_EQ(NearestLetters(4.0, common), "4.0: A");  // A+ and A share 4.0: the lower names it
  EXPECT_EQ(NearestLetters(4.5, Builtin(0)), "4.5: above A+ (4.3)");
  EXPECT_EQ(NearestLetters(-1, Builtin(0)), "-1.0: below E (0.0)");
  EXPECT_EQ(NearestLetters(0.0, harvard), "0.0: E");
  EXPECT_EQ(NearestLetters(14.5, harvard), "14.5: between A (15.0) and A- (14.0), just under A");
  EXPECT_EQ(MethodNote(Builtin(0)), "A+ counts 4.3 here; many schools count 4.0.");
  EXPECT_EQ(MethodNote(common), "");
}

// The mix by trying every letter for all classes, then every set of classes at the lowest such
// letter with the next lower value for the others.
struct Brute {
  double uniform = -1;  // the lowest value reaching with every class at it; -1 out of reach
  int upper = -1;       // fewest classes at it with the others one value lower
};
Brute BruteMix(const std::vector<double>& c, const Method& m, double target, double gpa, double counted) {
  double all = 0;
  for (double x : c) all += x;
  Brute b;
  for (int g = 0; g < kGradeCount; ++g) {
    const double v = m.GetEquiv(g);
    if ((b.uniform < 0 || v < b.uniform) && Reaches(gpa * counted + v * all, counted + all, target))
      b.uniform = v;
  }
  if (b.uniform < 0) return b;
  double lower = -1e300;
  for (int g = 0; g < kGradeCount; ++g)
    if (m.GetEquiv(g) < b.uniform) lower = std::max(lower, m.GetEquiv(g));
  const size_t n = c.size();
  b.upper = int(n);
  if (lower == -1e300) return b;
  for (unsigned mask = 0; mask < (1u << n); ++mask) {
    double points = gpa * counted;
    for (size_t i = 0; i < n; ++i) points += c[i] * ((mask >> i & 1) ? b.uniform : lower);
    if (Reaches(points, counted + all, target)) b.upper = std::min(b.upper, __builtin_popcount(mask));
  }
  return b;
}

// Each shipped scale, value by value, as its institution's published table gives it.
TEST(PlanTest, ScalesMatchTheirPublishedTables) {
  const std::pair<const char*, std::array<double, kGradeCount>> rows[] = {
      {"A+ = 4.0 (A- = 3.7, B+ = 3.3)", {4, 4, 3.7, 3.3, 3, 2.7, 2.3, 2, 1.7, 1.3, 1, 0.7, 0}},
      {"A = 4.0, thirds (A- = 3.67, B+ = 3.33)",
       {4, 4, 3.67, 3.33, 3, 2.67, 2.33, 2, 1.67, 1.33, 1, 0.67, 0}},
      {"A+ = 4.33, thirds", {4.33, 4, 3.67, 3.33, 3, 2.67, 2.33, 2, 1.67, 1.33, 1, 0.67, 0}},
      {"A+ = 4.3, tenths", {4.3, 4, 3.7, 3.3, 3, 2.7, 2.3, 2, 1.7, 1.3, 1, 0.7, 0}},
      {"MIT 5.0", {5, 5, 5, 4, 4, 4, 3, 3, 3, 2, 2, 2, 0}},
      {"NUS 5.0 (A- = 4.5, B+ = 4.0)", {5, 5, 4.5, 4, 3.5, 3, 2.5, 2, 2, 1.5, 1, 1, 0}},
      {"A+ = 4.0, A = 3.75 (Bangladesh)",
       {4, 3.75, 3.5, 3.25, 3, 2.75, 2.5, 2.25, 2.25, 2, 2, 2, 0}},
  };
  ASSERT_EQ(GradingScales().size(), std::size(rows));
  for (const auto& [name, values] : rows) {
    const GradingScale* s = FindScale(name);
    ASSERT_NE(s, nullptr) << name;
    EXPECT_FALSE(s->Source.empty());
    const Method m = s->ToMethod(name);
    for (int g = 0; g < kGradeCount; ++g) EXPECT_EQ(m.GetEquiv(g), values[size_t(g)]) << name << g;
  }
}

TEST(PlanTest, GradeMixAgreesWithBruteForceOnEverySmallPlan) {
  std::vector<Method> methods = BuiltInMethods();
  methods.push_back(FindScale("A = 4.0, thirds (A- = 3.67, B+ = 3.33)")->ToMethod("h"));
  methods.push_back(FindScale("NUS 5.0 (A- = 4.5, B+ = 4.0)")->ToMethod("n"));
  const double sizes[] = {1, 3, 4.5};
  int checked = 0;
  for (const Method& m : methods) {
    const double hi = m.GetHighest();
    for (size_t n = 1; n <= 6; ++n) {
      std::vector<double> c(n);
      std::function<void(size_t)> each = [&](size_t i) {
        if (i < n) {
          for (double s : sizes) {
            c[i] = s;
            each(i + 1);
          }
          return;
        }
        for (double frac : {0.1, 0.55, 0.8, 0.93, 1.01}) {
          const double target = hi * frac, gpa = hi * 0.7, counted = 30;
          const GradeMix mix = FindGradeMix(c, m, target, gpa, counted);
          const Brute b = BruteMix(c, m, target, gpa, counted);
          ASSERT_EQ(mix.Reachable, b.uniform >= 0) << m.Name << " n=" << n << " t=" << target;
          if (!mix.Reachable) continue;
          ASSERT_EQ(m.GetEquiv(mix.UniformGrade), b.uniform) << m.Name;
          ASSERT_EQ(mix.RestGrade < 0 ? int(n) : mix.TopCount, b.upper) << m.Name << " n=" << n;
          EXPECT_GE(mix.MixGpa, target - 1e-9);
          ++checked;
        }
      };
      each(0);
    }
  }
  EXPECT_GT(checked, 5000);
}

TEST(PlanTest, MixIsDescribedAndCreditsSplitIntoClasses) {
  const Method m = Builtin(0);
  // Nothing counted: six 3-credit classes aiming at 3.5.
  const std::vector<double> six(6, 3.0);
  const GradeMix mix = FindGradeMix(six, m, 3.5, 0, 0);
  EXPECT_EQ(DescribeMix(mix, 6), "3 \u00d7 A- and 3 \u00d7 B+ reach 3.50; all A- reaches 3.70");
  // Uneven classes: the upper letter goes to the largest.
  const GradeMix uneven = FindGradeMix({1, 4, 1}, m, 3.5, 0, 0);
  EXPECT_EQ(uneven.TopClasses, std::vector<int>{1});
  EXPECT_EQ(DescribeMix(FindGradeMix(six, m, 4.4, 0, 0), 6), "Out of reach: all A+ gives 4.30");
  EXPECT_EQ(DescribeMix(FindGradeMix(six, m, 0.1, 3, 12), 6), "all E reaches 1.20");
  EXPECT_EQ(ClassesForCredits(10, 3), (std::vector<double>{3, 3, 3, 1}));
  EXPECT_TRUE(ClassesForCredits(0, 3).empty());
  EXPECT_TRUE(ClassesForCredits(1e9, 3).empty());
  const Projection p = Project({{"Art", 3, 1}, {"Lab", 1, 7}}, m, 3.0, 12);  // A, C
  EXPECT_DOUBLE_EQ(p.SemesterGpa, 3.5);
  EXPECT_DOUBLE_EQ(p.Cumulative, (36 + 14) / 16.0);
}

TEST(PlanTest, PlanTextKeepsEveryFieldAndDropsWhatDoesNotRead) {
  const Plan plan{"3.5", false, "4", {{"Tab\there\\ and\nline", 3.5, 2}, {"", 0, 12}}};
  EXPECT_EQ(PlanFromText(PlanToText(plan)), plan);
  const Plan bad = PlanFromText("row\tX\tthree\t1\nrow\tY\t3\t13\nrow\tZ\t3\t4\n");
  ASSERT_EQ(bad.Rows.size(), 1u);
  EXPECT_EQ(bad.Rows[0].Name, "Z");
}

}  // namespace
