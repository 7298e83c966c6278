#include <gtest/gtest.h>

#include "model/gpa.h"
#include "model/predict.h"

using namespace mw;

namespace {

// One marked semester "Fall" (current) with a 3-credit "A" and a 1-credit "C", both in
// "Everything", under the first built-in method (A = 4.0, C = 2.0).
GradeBook SmallBook() {
  GradeBook gb;
  ResetToFresh(gb, 1);
  Semester s;
  s.SetName("Fall");
  Class a, c;
  a.SetName("Algebra");
  a.Grade = 1;
  a.Credits = 3;
  a.Groups = {"Everything"};
  c.SetName("Chemistry");
  c.Grade = 7;
  c.Credits = 1;
  c.Groups = {"Everything"};
  s.AddClass(a);
  s.AddClass(c);
  gb.Semesters.push_back(s);
  gb.SemesterOrder.push_back({"Fall", true});
  gb.CurrentSemester = "Fall";
  return gb;
}

}  // namespace

TEST(Gpa, NothingCounted) {
  GradeBook gb;
  ResetToFresh(gb, 1);
  auto f = UpdateGPABoxes(gb);
  EXPECT_EQ(f.OverallGPAText, "0.0");
  EXPECT_EQ(f.SemGPAText, "0.0");
  EXPECT_EQ(f.CountCaption, "(0 classes)");
  EXPECT_EQ(f.CountTooltip, "(0/0 credits)");
  EXPECT_EQ(gb.MaskGPA, 0.0);
  EXPECT_EQ(gb.MaskClassCount, 0);
  EXPECT_EQ(gb.MaskCredits, 1.0);

  gb = SmallBook();
  gb.DeselectAllSemesters();
  f = UpdateGPABoxes(gb);
  EXPECT_EQ(f.CountCaption, "(0 classes)");
  EXPECT_EQ(f.CountTooltip, "(0/0 credits)");
}

TEST(Gpa, CreditWeightedAndMasked) {
  GradeBook gb = SmallBook();
  auto f = UpdateGPABoxes(gb);
  EXPECT_EQ(f.OverallGPA, 3.5);
  EXPECT_EQ(f.OverallGPAText, "3.5");
  EXPECT_EQ(f.SemGPAText, "3.5");
  EXPECT_EQ(f.CountCaption, "(2 classes)");
  EXPECT_EQ(f.CountTooltip, "(4/4 credits)");
  EXPECT_EQ(gb.MaskClassCount, 2);
  EXPECT_EQ(gb.MaskCredits, 4.0);

  // The second class in no selected group: it still counts in the credits after the slash.
  gb.GroupNames.push_back({"Labs", false});
  gb.Semesters[0].Classes[1].Groups = {"Labs"};
  f = UpdateGPABoxes(gb);
  EXPECT_EQ(f.OverallGPAText, "4.0");
  EXPECT_EQ(f.SemGPAText, "4.0");
  EXPECT_EQ(f.CountCaption, "(1 class)");
  EXPECT_EQ(f.CountTooltip, "(3/4 credits)");

  // Another method changes every figure.
  gb.MethodPos = 2;
  f = UpdateGPABoxes(gb);
  EXPECT_EQ(f.OverallGPAText, "15.0");

  // No group in the mask: nothing counts.
  gb.GroupNames[0].InMask = false;
  f = UpdateGPABoxes(gb);
  EXPECT_EQ(f.CountCaption, "(0 classes)");
  EXPECT_EQ(f.CountTooltip, "(0/4 credits)");
}

TEST(Gpa, ZeroCreditClassesAndOddGrades) {
  GradeBook gb = SmallBook();
  gb.Semesters[0].Classes.resize(1);
  gb.Semesters[0].Classes[0].Credits = 0;
  auto f = UpdateGPABoxes(gb);
  EXPECT_EQ(f.OverallGPAText, "0.0");
  EXPECT_EQ(f.CountCaption, "(1 class)");
  EXPECT_EQ(f.CountTooltip, "(0/0 credits)");
  EXPECT_EQ(gb.MaskCredits, 1.0);

  // A grade position from outside the letter list is worth 0 and is never an index.
  gb = SmallBook();
  gb.Semesters[0].Classes[0].Grade = 200;
  gb.Semesters[0].Classes[1].Grade = -5;
  f = UpdateGPABoxes(gb);
  EXPECT_EQ(f.OverallGPAText, "0.0");
  EXPECT_EQ(f.CountCaption, "(2 classes)");
}

TEST(Gpa, SemesterFigureOnlyForTheMarkedCurrentSemester) {
  GradeBook gb = SmallBook();
  Semester spring;
  spring.SetName("Spring");
  Class b;
  b.SetName("Biology");
  b.Grade = 12;
  b.Credits = 4;
  b.Groups = {"Everything"};
  spring.AddClass(b);
  gb.Semesters.push_back(spring);
  gb.SemesterOrder.push_back({"Spring", true});

  auto f = UpdateGPABoxes(gb);
  EXPECT_EQ(f.SemGPAText, "3.5");
  EXPECT_EQ(f.OverallGPAText, "1.75");  // 14 / 8

  gb.SemesterOrder[0].Marked = false;  // the current semester unmarked
  f = UpdateGPABoxes(gb);
  EXPECT_EQ(f.SemGPAText, "0.0");
  EXPECT_EQ(f.OverallGPAText, "0.0");
  EXPECT_EQ(f.CountCaption, "(1 class)");

  gb.CurrentSemester.reset();
  gb.SemesterOrder[0].Marked = true;
  f = UpdateGPABoxes(gb);
  EXPECT_EQ(f.SemGPAText, "0.0");
}

TEST(Gpa, ClassGradePointsAndNoMethods) {
  GradeBook gb = SmallBook();
  gb.GradePos = 2;
  EXPECT_EQ(UpdateClassGPABox(gb).Text, "3.7");
  gb.GradePos = -1;
  EXPECT_EQ(UpdateClassGPABox(gb).Text, "0.0");
  gb.MethodPos = 2;
  gb.GradePos = 0;
  EXPECT_EQ(UpdateClassGPABox(gb).Text, "0.0");  // "A+" is 0 in the 15-point method
  gb.MethodPos = 1;
  gb.GradePos = 2;
  EXPECT_EQ(UpdateClassGPABox(gb).Text, "3.66");

  // A grade book read from a file may hold no methods at all: every grade is worth 0.
  gb.Methods.clear();
  gb.MethodPos = -1;
  gb.GradePos = 1;
  EXPECT_EQ(UpdateClassGPABox(gb).Text, "0.0");
  auto f = UpdateGPABoxes(gb);
  EXPECT_EQ(f.OverallGPAText, "0.0");
  EXPECT_EQ(f.CountCaption, "(2 classes)");
  EXPECT_EQ(PredictNeeded(gb, "3", "2"), "Desired GPA value is out of range.");
}

TEST(Gpa, CountBeyondSixteenBits) {
  GradeBook gb;
  ResetToFresh(gb, 1);
  Semester s;
  s.SetName("Big");
  Class c;
  c.SetName("c");
  c.Credits = 1;
  c.Grade = 1;
  c.Groups = {"Everything"};
  s.Classes.assign(40000, c);
  gb.Semesters.push_back(s);
  gb.SemesterOrder.push_back({"Big", true});
  auto f = UpdateGPABoxes(gb);
  EXPECT_EQ(f.CountCaption, "(40000 classes)");
  EXPECT_EQ(gb.MaskClassCount, 40000);
  EXPECT_EQ(f.OverallGPAText, "4.0");
}

TEST(Prediction, Examples) {
  const Method m = BuiltInMethods()[0];  // 0.0 to 4.3
  // 4 classes, 12 credits, GPA 3.0.
  EXPECT_EQ(PredictNeeded("3.5", "2", &m, 3.0, 4, 12),
            "Assuming each class is worth 3.0 credit(s), you need to average a 4.5 GPA for "
            "your next 2 classes. Too high!");
  EXPECT_EQ(PredictNeeded("3.2", "4", &m, 3.0, 4, 12),
            "Assuming each class is worth 3.0 credit(s), you need to average a 3.4 GPA for "
            "your next 4 classes.");
  EXPECT_EQ(PredictNeeded("0.5", "1", &m, 3.0, 4, 12),
            "Assuming each class is worth 3.0 credit(s), you need to average a -9.5 GPA for "
            "your next 1 class. Too low!");
  EXPECT_EQ(PredictNeeded("3", "1.5", &m, 0, 0, 1),
            "Assuming each class is worth 0.0 credit(s), you need to average a 3.0 GPA for "
            "your next 1.5 classes.");
}

TEST(Prediction, RangeCheckComesFirst) {
  const Method m = BuiltInMethods()[0];
  EXPECT_EQ(PredictNeeded("0", "2", &m, 3, 4, 12), "Desired GPA value is out of range.");
  EXPECT_EQ(PredictNeeded("4.31", "2", &m, 3, 4, 12), "Desired GPA value is out of range.");
  EXPECT_EQ(PredictNeeded("abc", "", &m, 3, 4, 12), "Desired GPA value is out of range.");
  EXPECT_NE(PredictNeeded("4.3", "2", &m, 3, 4, 12), "Desired GPA value is out of range.");
  EXPECT_EQ(PredictNeeded("3", "0.5", &m, 3, 4, 12),
            "You must have a postive number of classes left.");
  EXPECT_EQ(PredictNeeded("3", "", &m, 3, 4, 12),
            "You must have a postive number of classes left.");
  EXPECT_EQ(PredictNeeded("3.x", "x", &m, 3, 4, 12),
            "You must have a postive number of classes left.");
}

TEST(Prediction, InputBoxMessages) {
  EXPECT_EQ(DesiredGpaChangeMessage("3.x"), "Please enter a numeric value for the desired GPA.");
  EXPECT_EQ(DesiredGpaChangeMessage("3."), "");
  EXPECT_EQ(DesiredGpaChangeMessage(""), "");
  EXPECT_EQ(ClassesLeftChangeMessage("two"),
            "Please enter a numeric value for the number of classes left.");
  EXPECT_EQ(ClassesLeftChangeMessage("2"), "");
}
