#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <tuple>

#include "model/gpa.h"
#include "model/predict.h"

using namespace mw;

namespace {

Class MakeClass(const char* name, int grade, double credits) {
  return Class{name, static_cast<int16_t>(grade), credits, {"Everything"}};
}

// One marked semester "Fall" (current) with a 3-credit "A" and a 1-credit "C", both in
// "Everything", under the first built-in method (A = 4.0, C = 2.0).
GradeBook SmallBook() {
  GradeBook gb;
  ResetToFresh(gb, 1);
  gb.Semesters.push_back(
      Semester{{MakeClass("Algebra", 1, 3), MakeClass("Chemistry", 7, 1)}, "Fall"});
  gb.SemesterOrder.push_back({"Fall", true});
  gb.CurrentSemester = "Fall";
  return gb;
}

// Overall text, semester text, count caption and count tooltip.
void ExpectFigures(GradeBook& gb, const char* overall, const char* sem, const char* caption,
                   const char* tooltip) {
  const GpaFigures f = UpdateGPABoxes(gb);
  EXPECT_EQ(f.OverallGPAText, overall);
  EXPECT_EQ(f.SemGPAText, sem);
  EXPECT_EQ(f.CountCaption, caption);
  EXPECT_EQ(f.CountTooltip, tooltip);
}

}  // namespace

TEST(Gpa, NothingCounted) {
  GradeBook gb;
  ResetToFresh(gb, 1);
  ExpectFigures(gb, "0.0", "0.0", "(0 classes)", "(0/0 credits)");
  // A zero-credit class counts but weighs nothing; the credits stored are then 1.
  gb = SmallBook();
  gb.Semesters[0].Classes.resize(1);
  gb.Semesters[0].Classes[0].Credits = 0;
  ExpectFigures(gb, "0.0", "0.0", "(1 class)", "(0/0 credits)");
  EXPECT_EQ(gb.MaskCredits, 1.0);
}

TEST(Gpa, CreditWeightedMaskedAndOddGrades) {
  GradeBook gb = SmallBook();
  ExpectFigures(gb, "3.5", "3.5", "(2 classes)", "(4/4 credits)");
  // The second class in no selected group: it still counts in the credits after the slash.
  gb.GroupNames.push_back({"Labs", false});
  gb.Semesters[0].Classes[1].Groups = {"Labs"};
  ExpectFigures(gb, "4.0", "4.0", "(1 class)", "(3/4 credits)");
  gb.GroupNames[0].InMask = false;
  ExpectFigures(gb, "0.0", "0.0", "(0 classes)", "(0/4 credits)");

  // A grade position from outside the letter list is worth 0 and is never an index.
  gb = SmallBook();
  gb.Semesters[0].Classes[0].Grade = 200;
  gb.Semesters[0].Classes[1].Grade = -5;
  ExpectFigures(gb, "0.0", "0.0", "(2 classes)", "(4/4 credits)");
  // The class count does not wrap at 16 bits.
  gb.Semesters[0].Classes.assign(40000, MakeClass("c", 1, 1));
  ExpectFigures(gb, "4.0", "4.0", "(40000 classes)", "(40000/40000 credits)");
}

TEST(Gpa, SemesterFigureOnlyForTheMarkedCurrentSemester) {
  GradeBook gb = SmallBook();
  gb.Semesters.push_back(Semester{{MakeClass("Biology", 12, 4)}, "Spring"});
  gb.SemesterOrder.push_back({"Spring", true});
  ExpectFigures(gb, "1.75", "3.5", "(3 classes)", "(8/8 credits)");  // 14 / 8
  gb.SemesterOrder[0].Marked = false;  // the current semester unmarked
  ExpectFigures(gb, "0.0", "0.0", "(1 class)", "(4/4 credits)");
  gb.CurrentSemester.reset();
  gb.SemesterOrder[0].Marked = true;
  EXPECT_EQ(UpdateGPABoxes(gb).SemGPAText, "0.0");
}

TEST(Gpa, ClassGradePointsAndNoMethods) {
  GradeBook gb = SmallBook();
  const std::tuple<int, int, const char*> cases[] = {
      {0, 2, "3.7"}, {0, -1, "0.0"}, {2, 0, "0.0"}, {1, 2, "3.66"}};
  for (auto [method, grade, text] : cases) {
    gb.MethodPos = method;
    gb.GradePos = grade;
    EXPECT_EQ(UpdateClassGPABox(gb).Text, text) << method << "/" << grade;
  }
  // A grade book read from a file may hold no methods at all: every grade is worth 0.
  gb.Methods.clear();
  gb.MethodPos = -1;
  gb.GradePos = 1;
  EXPECT_EQ(UpdateClassGPABox(gb).Text, "0.0");
  ExpectFigures(gb, "0.0", "0.0", "(2 classes)", "(4/4 credits)");
  EXPECT_EQ(PredictNeeded(gb, "3", "2"), "Desired GPA value is out of range.");
}

TEST(Prediction, MessagesAndRangeChecks) {
  const Method m = BuiltInMethods()[0];  // 0.0 to 4.3
  const std::string need = "Assuming each class is worth 3.0 credit(s), you need to average a ";
  // 4 classes, 12 credits, GPA 3.0.
  EXPECT_EQ(PredictNeeded("3", "1.5", &m, 0, 0, 1),
            "Assuming each class is worth 0.0 credit(s), you need to average a 3.0 GPA for "
            "your next 1.5 classes.");
  // The range check comes first; the top of the range is inside it.
  for (const char* desired : {"0", "4.31", "abc"})
    EXPECT_EQ(PredictNeeded(desired, "", &m, 3, 4, 12), "Desired GPA value is out of range.");
  EXPECT_EQ(PredictNeeded("4.3", "2", &m, 3, 4, 12).rfind(need, 0), 0u);
  for (const char* left : {"0.5", "", "x"})  // the desired GPA reads "3.x" as 3
    EXPECT_EQ(PredictNeeded("3.x", left, &m, 3, 4, 12),
              "You must have a postive number of classes left.");
}

TEST(Prediction, InputBoxMessages) {
  EXPECT_EQ(DesiredGpaChangeMessage("3.") + DesiredGpaChangeMessage(""), "");
  EXPECT_EQ(ClassesLeftChangeMessage("two"),
            "Please enter a numeric value for the number of classes left.");
  EXPECT_EQ(ClassesLeftChangeMessage("2"), "");
}

// The refresh takes a word-comparison path for classes whose few short group names live in
// place, and a name-lookup path for the rest. Both must give, bit for bit, what the plain
// definition gives: every class of a marked semester adds its credits to the total, and one in
// a group of the mask adds to the counted sums, in order.
TEST(Gpa, RefreshMatchesThePlainDefinition) {
  const std::vector<std::string> pool = {
      "Everything", "", "Core", "Core ", std::string("Co\0re", 5), std::string(23, 'g'),
      std::string(24, 'g'), "Labs and other long group names", std::string(20, 'h'),
      std::string(19, 'h') + "i", "Minor"};
  std::mt19937 rng(7);
  auto pick = [&rng](size_t n) { return static_cast<size_t>(rng() % n); };

  for (int round = 0; round < 200; ++round) {
    GradeBook gb;
    ResetToFresh(gb, 1);
    gb.GroupNames.clear();
    for (const auto& name : pool) gb.GroupNames.push_back({name, pick(2) == 0});
    if (round % 50 == 49) {  // a mask far too big for the word table
      for (int i = 0; i < 5000; ++i) gb.GroupNames.push_back({"Extra " + std::to_string(i), true});
    }
    const double credits[] = {3, 0, -0.0, -2, 0.5, 1e300, 4};
    for (int s = 0; s < 4; ++s) {
      Semester sem;
      sem.SetName(s == 3 ? "Fall" : "Term " + std::to_string(s));  // "Fall" twice in the list
      for (size_t c = pick(30); c > 0; --c) {
        Class cls{"c", static_cast<int16_t>(pick(15)), credits[pick(7)], {}};
        for (size_t n = pick(6); n > 0; --n) {
          const std::string& g = pool[pick(pool.size())];
          if (!GetGroup(g, cls.Groups)) cls.Groups.push_back(g);
        }
        sem.AddClass(std::move(cls));
      }
      gb.SemesterOrder.push_back({sem.Name, pick(4) != 0});
      gb.Semesters.push_back(std::move(sem));
    }
    gb.Semesters[0].SetName("Fall");
    gb.CurrentSemester = "Fall";
    gb.MethodPos = static_cast<int>(pick(3));

    const Method* m = gb.GetMethod(gb.MethodText());
    double P = 0, C = 0, Ps = 0, Cs = 0, A = 0;
    int64_t k = 0;
    for (const auto& s : gb.Semesters) {
      if (!gb.IsSemesterSelected(s.Name)) continue;
      for (const auto& c : s.Classes) {
        A += c.Credits;
        if (!gb.InGroupMask(c.Groups)) continue;
        const double x = m->GetEquiv(c.Grade) * c.Credits;
        P += x;
        C += c.Credits;
        ++k;
        if (s.Name == "Fall") {
          Ps += x;
          Cs += c.Credits;
        }
      }
    }
    const GpaFigures f = UpdateGPABoxes(gb);
    auto bits = [](double d) { return std::bit_cast<uint64_t>(d); };
    ASSERT_EQ(f.ClassCount, k) << round;
    ASSERT_EQ(bits(f.AllCredits), bits(A)) << round;
    ASSERT_EQ(bits(f.CountedCredits), bits(C)) << round;
    ASSERT_EQ(bits(f.OverallGPA), bits(P / (C == 0 ? 1 : C))) << round;
    ASSERT_EQ(bits(f.SemesterGPA), bits(Ps / (Cs == 0 ? 1 : Cs))) << round;
  }
}
