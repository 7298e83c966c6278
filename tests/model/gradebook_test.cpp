// The grade book model: methods, lookups, groups and a fresh book; then its figures and the
// prediction.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "generated_book.h"
#include "model/figures.h"
#include "model/predict.h"

using namespace mw;

namespace {

Semester MakeSemester(const std::string& name, std::initializer_list<const char*> classes) {
  Semester s;
  s.SetName(name);
  for (const char* c : classes) s.AddClass(Class{c, 0, 0, {}});
  return s;
}

// A class in the group "Everything", which every test book gives id 0.
Class MakeClass(const char* name, int grade, double credits) {
  return Class{name, static_cast<int16_t>(grade), credits, {0}};
}

// One marked semester "Fall" (current) with a 3-credit "A" and a 1-credit "C", both in
// "Everything", under the first built-in method (A = 4.0, C = 2.0).
GradeBook SmallBook() {
  GradeBook gb;
  ResetToFresh(gb);
  gb.InternGroup("Everything");
  gb.Semesters.push_back(Semester{{MakeClass("Algebra", 1, 3), MakeClass("Chemistry", 7, 1)}, "Fall"});
  gb.SemesterOrder.push_back({"Fall", true});
  return gb;
}

// Overall text, semester text, count caption and count tooltip.
BookFigures ExpectFigures(const GradeBook& gb, const char* overall, const char* sem,
                         const char* caption, const char* tooltip,
                         std::string_view current = "Fall") {
  const BookFigures f = ComputeFigures(gb, current);
  EXPECT_EQ(f.OverallText, overall);
  EXPECT_EQ(f.SemesterText, sem);
  EXPECT_EQ(f.CountCaption, caption);
  EXPECT_EQ(f.CountTooltip, tooltip);
  return f;
}

}  // namespace

TEST(Figures, NothingCounted) {
  GradeBook gb;
  ResetToFresh(gb);
  ExpectFigures(gb, "0.0", "0.0", "(0 classes)", "(0/0 credits)");
  // A zero-credit class counts but weighs nothing; the credits stored are then 1.
  gb = SmallBook();
  gb.Semesters[0].Classes.resize(1);
  gb.Semesters[0].Classes[0].Credits = 0;
  EXPECT_EQ(ExpectFigures(gb, "0.0", "0.0", "(1 class)", "(0/0 credits)").MaskCredits, 1.0);
}

TEST(Figures, CreditWeightedMaskedAndOddGrades) {
  GradeBook gb = SmallBook();
  ExpectFigures(gb, "3.5", "3.5", "(2 classes)", "(4/4 credits)");
  // The second class in no selected group: it still counts in the credits after the slash.
  gb.GroupNames.push_back({"Labs", false});
  gb.SetGroups(gb.Semesters[0].Classes[1], {"Labs"});
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

TEST(Figures, SemesterFigureOnlyForTheMarkedCurrentSemester) {
  GradeBook gb = SmallBook();
  gb.Semesters.push_back(Semester{{MakeClass("Biology", 12, 4)}, "Spring"});
  gb.SemesterOrder.push_back({"Spring", true});
  ExpectFigures(gb, "1.75", "3.5", "(3 classes)", "(8/8 credits)");  // 14 / 8
  gb.SemesterOrder[0].Marked = false;  // the current semester unmarked
  ExpectFigures(gb, "0.0", "0.0", "(1 class)", "(4/4 credits)");
  gb.SemesterOrder[0].Marked = true;
  EXPECT_EQ(ComputeFigures(gb, "").SemesterText, "0.0");  // no semester current
}

TEST(Figures, ClassGradePointsAndNoMethods) {
  GradeBook gb = SmallBook();
  const std::tuple<int, int, const char*> cases[] = {
      {0, 2, "3.7"}, {0, -1, "0.0"}, {2, 0, "0.0"}, {1, 2, "3.66"}};
  for (auto [method, grade, text] : cases) {
    gb.MethodPos = method;
    EXPECT_EQ(ClassGradePoints(gb, grade).Text, text) << method << "/" << grade;
  }
  // A grade book read from a file may hold no methods at all: every grade is worth 0.
  gb.Methods.clear();
  gb.MethodPos = -1;
  EXPECT_EQ(ClassGradePoints(gb, 1).Text, "0.0");
  const BookFigures f = ExpectFigures(gb, "0.0", "0.0", "(2 classes)", "(4/4 credits)");
  EXPECT_EQ(PredictNeeded(gb, f, "3", "2"), "Desired GPA value is out of range.");
}

// Every method's figures and rows come from the same pass as the main window's: the rows
// (also those of the method in use alone) agree with the window's semester figure, and listed
// in collection order the cumulative GPA ends on the overall GPA, bit for bit.
TEST(Figures, RowsAndEveryMethodAgreeWithTheWindowsFigures) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    GradeBook gb = test::GeneratedBook(seed);
    gb.MethodPos = static_cast<int>(seed % gb.Methods.size());
    const BookFigures all = ComputeFigures(gb, {}, FigureMethods::All);
    EXPECT_EQ(all.OverallGpa, ComputeFigures(gb, {}).OverallGpa) << seed;
    EXPECT_EQ(all.MethodOverall.at(static_cast<size_t>(gb.MethodPos)), all.OverallGpa) << seed;
    for (const SemesterRow& row : all.Rows)
      EXPECT_EQ(row.GpaText, ComputeFigures(gb, row.Name).SemesterText) << seed << row.Name;
    if (seed % 2 == 0 && !all.Rows.empty()) { EXPECT_EQ(all.Rows.back().Cumulative, all.OverallGpa); }
    const BookFigures summary = ComputeFigures(gb, {}, FigureMethods::InUseRows);
    const BookFigures rows = ComputeFigures(gb, {}, FigureMethods::Rows);
    for (size_t i = 0; i < all.Rows.size(); ++i) {
      EXPECT_EQ(summary.Rows.at(i).Gpa, all.Rows[i].Gpa) << seed;
      EXPECT_EQ(rows.Rows.at(i).Cumulative, all.Rows[i].Cumulative) << seed;
      EXPECT_EQ(rows.Rows[i].GpaText + rows.Rows[i].CumulativeText, all.Rows[i].GpaText + all.Rows[i].CumulativeText);
    }
  }
}

TEST(Figures, NoMethodsNoSemestersAndClassDetails) {
  GradeBook empty;
  const BookFigures none = ComputeFigures(empty, {}, FigureMethods::All);
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

// The window's and the command line's messages are tested there; here the edges.
TEST(Prediction, NothingCountedAndTheEdgesOfTheRange) {
  const Method m = BuiltInMethods()[0];  // 0.0 to 4.3
  EXPECT_EQ(PredictNeeded("3", "1.5", &m, 0, 0, 1),  // no division by zero classes
            "Assuming each class is worth 0.0 credit(s), you need to average a 3.0 GPA for "
            "your next 1.5 classes.");
  // The range check comes first; the top of the range is inside it.
  for (const char* desired : {"4.31", "abc"})
    EXPECT_EQ(PredictNeeded(desired, "", &m, 3, 4, 12), "Desired GPA value is out of range.");
  EXPECT_EQ(PredictNeeded("4.3", "2", &m, 3, 4, 12).rfind("Assuming each class", 0), 0u);
  EXPECT_EQ(PredictNeeded("3", "", &m, 3, 4, 12), "You must have a postive number of classes left.");
  // 4 classes of 3 credits at 3.0: one class or several, above or below the range, a part of one.
  const std::string start = "Assuming each class is worth 3.0 credit(s), you need to average a ";
  for (const auto& [desired, left, text] : std::vector<std::array<std::string, 3>>{
           {"3.2", " 4", start + "3.4 GPA for your next 4 classes."},
           {"0.5", "1", start + "-9.5 GPA for your next 1 class. Too low!"},
           {"3", "0.5", "You must have a postive number of classes left."}})
    EXPECT_EQ(PredictNeeded(desired, left, &m, 3, 4, 12), text) << desired;
  EXPECT_EQ(DesiredGpaChangeMessage("3.") + DesiredGpaChangeMessage(""), "");  // typing on
}

TEST(Method, ValuesHighestLowestAndBuiltIns) {
  EXPECT_EQ(Method().GetHighest(), 0.0);
  Method m = BuiltInMethods()[0];
  EXPECT_EQ(m.GetEquiv(-1) + m.GetEquiv(13), 0.0);
  m.SetSpecific(4, 9.5);  // "B" above "A+": order does not matter
  m.SetSpecific(12, -1);
  EXPECT_EQ(std::pair(m.GetHighest(), m.GetLowest()), std::pair(9.5, -1.0));
  EXPECT_THROW(m.SetSpecific(13, 1), std::out_of_range);
  EXPECT_THROW(m.SetSpecific(-1, 1), std::out_of_range);
  EXPECT_EQ(LetterGrade(13), "");
}

TEST(Lookups, ExactMatchOrNullAndTheNamedFallback) {
  GradeBook gb;
  gb.Methods = BuiltInMethods();
  EXPECT_EQ(gb.FindMethod("harvard (15 pt)"), nullptr);  // case differs
  EXPECT_EQ(gb.MethodOrLast("harvard (15 pt)"), &gb.Methods[2]);
  gb.MethodPos = -1;
  EXPECT_EQ(gb.MethodInUse(), &gb.Methods[2]);  // none in use: the last one counts
  gb.Methods.clear();
  EXPECT_TRUE(gb.MethodOrLast("anything") == nullptr && gb.FindSemester("Fall") == nullptr);

  gb.Semesters = {MakeSemester("Fall", {"Math"}), MakeSemester("Spring", {"Math", "Art"})};
  EXPECT_EQ(gb.FindSemester("fall"), nullptr);
  Semester* s = gb.FindSemester("Spring");
  EXPECT_EQ(GradeBook::FindClass(s, "Math"), &s->Classes[0]);
  EXPECT_EQ(GradeBook::FindClass(s, "Biology"), nullptr);
  EXPECT_EQ(GradeBook::FindClass(static_cast<Semester*>(nullptr), "Math"), nullptr);
}

TEST(Groups, IdsMaskRenameAndDelete) {
  GradeBook gb;
  gb.GroupNames = {{"Everything", true}, {"Core", true}, {"Labs", false}};
  gb.Semesters = {MakeSemester("Fall", {"Math", "Art", "Gym"})};
  auto& classes = gb.Semesters[0].Classes;
  gb.SetGroups(classes[0], {"Everything", "Core", "Labs"});
  gb.SetGroups(classes[1], {"Labs", "Labs"});
  gb.SetGroups(classes[2], {"Unlisted"});  // a name the group list lacks counts nowhere
  EXPECT_EQ(gb.InternGroup("Core"), *gb.GroupIdOf("Core"));  // one id per name
  const GroupMask mask(gb);
  EXPECT_TRUE(IsCounted(classes[0], mask));
  EXPECT_FALSE(IsCounted(classes[1], mask) || IsCounted(classes[2], mask));
  EXPECT_TRUE(IsCounted(classes[1], GroupMask(gb, {"Labs", "Nowhere"})));

  gb.RenameGroupInClasses("Everything", "All");  // the renamed group moves to the end
  EXPECT_EQ(gb.GroupsOf(classes[0]), (std::vector<std::string>{"Core", "Labs", "All"}));
  gb.RenameGroupInClasses("Core", "Unlisted");  // into a name classes already hold
  EXPECT_TRUE(gb.InGroup(classes[0], "Unlisted") && gb.InGroup(classes[2], "Unlisted"));
  gb.RemoveGroupFromClasses("Labs");  // every occurrence, neighbours included
  EXPECT_EQ(gb.GroupsOf(classes[0]), (std::vector<std::string>{"All", "Unlisted"}));
  EXPECT_TRUE(classes[1].Groups.empty());
}

TEST(Groups, ListsShortAndLongCopyMoveAndErase) {
  // Up to four ids live in the list itself, more in a heap block: both ways, every operation.
  for (GroupId n : {3u, 4u, 5u, 9u}) {
    GroupList list;
    std::vector<GroupId> want;
    for (GroupId id = 0; id < n; ++id) list.push_back(id), want.push_back(id);
    GroupList copy = list;
    const GroupList& self = copy;
    copy = self;
    GroupList moved = std::move(list);
    EXPECT_TRUE(copy == moved && list.empty()) << n;
    list = copy;  // a moved-from list takes new ids
    list.push_back(n);
    EXPECT_EQ(std::vector<GroupId>(list.begin(), list.end() - 1), want) << n;
    list.erase(list.begin() + 1);
    want.erase(want.begin() + 1);
    EXPECT_EQ(erase(list, 0), 1u);
    want.erase(want.begin());
    want.push_back(n);
    EXPECT_EQ(std::vector<GroupId>(list.begin(), list.end()), want) << n;
    moved = std::move(copy);  // over a list of its own
    EXPECT_EQ(moved.size(), n);
  }
}

TEST(Fresh, NewGradeBookState) {
  GradeBook gb;
  gb.IsPassProtected = true;
  gb.FileName = gb.Password = "x";
  gb.Semesters.resize(2);
  ResetToFresh(gb);
  EXPECT_TRUE(gb.Semesters.empty() && gb.FileName.empty() && gb.Password.empty() && !gb.IsPassProtected);
  gb.MethodPos = 7;  // a position past the methods names none
  EXPECT_EQ(gb.MethodText(), "");
}
