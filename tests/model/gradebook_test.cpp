#include <gtest/gtest.h>

#include "model/gradebook.h"

using namespace mw;

namespace {

Semester MakeSemester(const std::string& name, std::initializer_list<const char*> classes) {
  Semester s;
  s.SetName(name);
  for (const char* c : classes) s.AddClass(Class{c, 0, 0, {}});
  return s;
}

}  // namespace

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
