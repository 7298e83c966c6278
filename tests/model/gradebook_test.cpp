#include <gtest/gtest.h>

#include <stdexcept>

#include "model/gradebook.h"

using namespace mw;

namespace {

Class MakeClass(const std::string& name, std::vector<std::string> groups = {}) {
  Class c;
  c.SetName(name);
  c.Groups = std::move(groups);
  return c;
}

}  // namespace

TEST(Method, ValuesHighestAndLowest) {
  Method fresh;
  EXPECT_EQ(fresh.GetHighest(), 0.0);
  EXPECT_EQ(fresh.GetLowest(), 0.0);

  Method m = BuiltInMethods()[0];
  EXPECT_EQ(m.GetEquiv(0), 4.3);
  EXPECT_EQ(m.GetEquiv(12), 0.0);
  EXPECT_EQ(m.GetEquiv(-1), 0.0);
  EXPECT_EQ(m.GetEquiv(13), 0.0);
  EXPECT_EQ(m.GetHighest(), 4.3);
  EXPECT_EQ(m.GetLowest(), 0.0);

  m.SetSpecific(4, 9.5);  // "B" above "A+": order does not matter
  m.SetSpecific(12, -1);
  EXPECT_EQ(m.GetHighest(), 9.5);
  EXPECT_EQ(m.GetLowest(), -1.0);
  EXPECT_THROW(m.SetSpecific(13, 1), std::out_of_range);
  EXPECT_THROW(m.SetSpecific(-1, 1), std::out_of_range);
}

TEST(Method, BuiltInTables) {
  const auto methods = BuiltInMethods();
  ASSERT_EQ(methods.size(), 3u);
  EXPECT_EQ(methods[0].Name, "4.0 (A- = 3.7, B+ = 3.3)");
  EXPECT_EQ(methods[1].Name, "4.0 (A- = 3.66, B+ = 3.33)");
  EXPECT_EQ(methods[2].Name, "Harvard (15 pt)");
  EXPECT_EQ(methods[1].GetEquiv(0), 4.33);
  EXPECT_EQ(methods[1].GetEquiv(11), 0.66);
  EXPECT_EQ(methods[2].GetEquiv(0), 0.0);  // "A+" is worth 0 in the 15-point method
  EXPECT_EQ(methods[2].GetEquiv(1), 15.0);
  EXPECT_EQ(LetterGrade(3), "B+");
  EXPECT_EQ(LetterGrade(13), "");
}

TEST(Lookups, ExactMatchOrLastElementWalked) {
  GradeBook gb;
  gb.Methods = BuiltInMethods();
  EXPECT_EQ(gb.GetMethod("Harvard (15 pt)"), &gb.Methods[2]);
  EXPECT_TRUE(gb.NotBogus);
  EXPECT_EQ(gb.GetMethod("harvard (15 pt)"), &gb.Methods[2]);  // case differs: last method
  EXPECT_FALSE(gb.NotBogus);
  EXPECT_EQ(gb.GetMethod("4.0 (A- = 3.7, B+ = 3.3)"), &gb.Methods[0]);
  EXPECT_TRUE(gb.NotBogus);

  gb.Methods.resize(1);
  EXPECT_EQ(gb.GetMethod("anything"), &gb.Methods[0]);
  EXPECT_FALSE(gb.NotBogus);
  gb.Methods.clear();
  EXPECT_EQ(gb.GetMethod("anything"), nullptr);
  EXPECT_FALSE(gb.NotBogus);

  EXPECT_EQ(gb.FindSemester("Fall"), nullptr);
  EXPECT_FALSE(gb.NotBogus);
  Semester fall, spring;
  fall.SetName("Fall");
  fall.AddClass(MakeClass("Math"));
  spring.SetName("Spring");
  spring.AddClass(MakeClass("Math"));
  spring.AddClass(MakeClass("Art"));
  gb.Semesters = {fall, spring};

  EXPECT_EQ(gb.FindSemester("fall"), &gb.Semesters[1]);
  EXPECT_FALSE(gb.NotBogus);
  Semester* f = gb.FindSemester("Fall");
  EXPECT_TRUE(gb.NotBogus);
  Semester* s = gb.FindSemester("Spring");
  EXPECT_EQ(gb.FindClass(f, "Math"), &f->Classes[0]);
  EXPECT_TRUE(gb.NotBogus);
  EXPECT_EQ(gb.FindClass(s, "Math"), &s->Classes[0]);
  EXPECT_EQ(gb.FindClass(s, "Biology"), &s->Classes[1]);
  EXPECT_FALSE(gb.NotBogus);

  Semester empty;
  EXPECT_EQ(gb.FindClass(&empty, "Math"), nullptr);
  EXPECT_FALSE(gb.NotBogus);
  gb.NotBogus = true;
  EXPECT_EQ(gb.FindClass(nullptr, "Math"), nullptr);
  EXPECT_FALSE(gb.NotBogus);
}

TEST(Groups, MaskMembershipAndIndex) {
  GradeBook gb;
  gb.GroupNames = {{"Everything", true}, {"Core", true}, {"Labs", false}};
  EXPECT_TRUE(gb.InGroupMask({"Core"}));
  EXPECT_FALSE(gb.InGroupMask({}));
  EXPECT_FALSE(gb.InGroupMask({"Labs"}));
  gb.GroupNames[1].InMask = false;
  EXPECT_FALSE(gb.InGroupMask({"Core"}));
  EXPECT_TRUE(gb.GroupExists("Labs"));
  EXPECT_FALSE(gb.GroupExists("labs"));

  const std::vector<std::string> names = {"Everything", "Core", "Labs"};
  EXPECT_EQ(GroupIndex("Labs", names, 2), 2);
  EXPECT_EQ(GroupIndex("Missing", names, 2), 0);
  EXPECT_EQ(GroupIndex("Labs", names, 1), 0);
  EXPECT_EQ(GroupIndex("Labs", names, -1), 0);
  EXPECT_EQ(GroupIndex("Labs", names, 99), 2);  // never reads past the names
  EXPECT_TRUE(GetGroup("Core", names));
  EXPECT_FALSE(GetGroup("core", names));
}

TEST(Groups, RenameMovesToTheEndAndDeleteRemovesEverywhere) {
  GradeBook gb;
  Semester s;
  s.SetName("Fall");
  s.AddClass(MakeClass("Math", {"Everything", "Core", "Labs"}));
  s.AddClass(MakeClass("Art", {"Labs"}));
  gb.Semesters.push_back(s);

  gb.RenameGroupInClasses("Everything", "All");
  EXPECT_EQ(gb.Semesters[0].Classes[0].Groups, (std::vector<std::string>{"Core", "Labs", "All"}));
  EXPECT_EQ(gb.Semesters[0].Classes[1].Groups, (std::vector<std::string>{"Labs"}));

  gb.RemoveGroupFromClasses("Labs");
  EXPECT_EQ(gb.Semesters[0].Classes[0].Groups, (std::vector<std::string>{"Core", "All"}));
  EXPECT_TRUE(gb.Semesters[0].Classes[1].Groups.empty());
}

TEST(Semesters, RemovalMarksAndSelection) {
  GradeBook gb;
  for (const char* name : {"A", "B", "C"}) {
    Semester s;
    s.SetName(name);
    s.AddClass(MakeClass("X"));
    s.AddClass(MakeClass("Y"));
    gb.Semesters.push_back(s);
    gb.SemesterOrder.push_back({name, true});
  }
  gb.Semesters[0].RemoveClass("nothing");
  EXPECT_EQ(gb.Semesters[0].Classes.size(), 2u);
  gb.Semesters[0].RemoveClass("X");
  ASSERT_EQ(gb.Semesters[0].Classes.size(), 1u);
  EXPECT_EQ(gb.Semesters[0].Classes[0].Name, "Y");

  gb.SemesterOrder[1].Marked = false;
  EXPECT_TRUE(gb.IsSemesterSelected("A"));
  EXPECT_FALSE(gb.IsSemesterSelected("B"));
  EXPECT_FALSE(gb.IsSemesterSelected("Z"));
  gb.DeselectAllSemesters();
  EXPECT_FALSE(gb.IsSemesterSelected("A"));
  gb.SelectAllSemesters();
  EXPECT_TRUE(gb.IsSemesterSelected("B"));

  gb.RemoveSemester("B");
  ASSERT_EQ(gb.Semesters.size(), 2u);
  EXPECT_EQ(gb.Semesters[1].Name, "C");
  EXPECT_EQ(gb.SemesterOrder.size(), 3u);  // the list is the window's to change
  EXPECT_EQ(gb.SemesterEntryIndex("C"), 2);
  EXPECT_EQ(gb.SemesterEntryIndex("Q"), -1);
}

TEST(Fresh, NewGradeBookState) {
  GradeBook gb;
  gb.resetting = true;
  gb.NotBogus = true;
  gb.FileName = "old.mw";
  gb.IsPassProtected = true;
  gb.Password = "secret";
  gb.Semesters.resize(2);
  gb.CurrentSemester = "x";
  ResetToFresh(gb, 1);
  EXPECT_TRUE(gb.Semesters.empty());
  EXPECT_TRUE(gb.SemesterOrder.empty());
  EXPECT_EQ(gb.Methods.size(), 3u);
  EXPECT_EQ(gb.MethodPos, 0);
  EXPECT_EQ(gb.MethodText(), "4.0 (A- = 3.7, B+ = 3.3)");
  ASSERT_EQ(gb.GroupNames.size(), 1u);
  EXPECT_EQ(gb.GroupNames[0].Name, "Everything");
  EXPECT_TRUE(gb.GroupNames[0].InMask);
  EXPECT_EQ(gb.GradePos, 1);
  EXPECT_TRUE(gb.FileName.empty());
  EXPECT_FALSE(gb.IsPassProtected);
  EXPECT_TRUE(gb.Password.empty());
  EXPECT_FALSE(gb.CurrentSemester.has_value());
  EXPECT_TRUE(gb.resetting);  // flags are left as they were
  EXPECT_TRUE(gb.NotBogus);
  gb.MethodPos = 7;
  EXPECT_EQ(gb.MethodText(), "");
}
