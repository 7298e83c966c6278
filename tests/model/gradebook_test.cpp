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

TEST(Lookups, ExactMatchOrLastElementWalked) {
  GradeBook gb;
  gb.Methods = BuiltInMethods();
  EXPECT_EQ(gb.GetMethod("harvard (15 pt)"), &gb.Methods[2]);  // case differs: last method
  EXPECT_FALSE(gb.NotBogus);
  gb.Methods.clear();
  EXPECT_TRUE(gb.GetMethod("anything") == nullptr && gb.FindSemester("Fall") == nullptr);
  EXPECT_FALSE(gb.NotBogus);

  gb.Semesters = {MakeSemester("Fall", {"Math"}), MakeSemester("Spring", {"Math", "Art"})};
  EXPECT_EQ(gb.FindSemester("fall"), &gb.Semesters[1]);
  EXPECT_FALSE(gb.NotBogus);
  Semester* s = gb.FindSemester("Spring");
  EXPECT_EQ(gb.FindClass(s, "Math"), &s->Classes[0]);
  EXPECT_TRUE(gb.NotBogus);
  EXPECT_EQ(gb.FindClass(s, "Biology"), &s->Classes[1]);
  EXPECT_FALSE(gb.NotBogus);
  gb.NotBogus = true;
  EXPECT_EQ(gb.FindClass(nullptr, "Math"), nullptr);
  EXPECT_FALSE(gb.NotBogus);
}

TEST(Groups, MaskIndexRenameAndDelete) {
  GradeBook gb;
  gb.GroupNames = {{"Everything", true}, {"Core", true}, {"Labs", false}};
  EXPECT_TRUE(gb.InGroupMask({"Labs", "Core"}));
  EXPECT_FALSE(gb.InGroupMask({"Labs"}));

  const std::vector<std::string> names = {"Everything", "Core", "Labs"};
  EXPECT_EQ(GroupIndex("Labs", names, 1), 0);   // looks no further than `last`
  EXPECT_EQ(GroupIndex("Labs", names, 99), 2);  // never reads past the names

  gb.Semesters = {MakeSemester("Fall", {"Math", "Art"})};
  gb.Semesters[0].Classes[0].Groups = {"Everything", "Core", "Labs"};
  gb.Semesters[0].Classes[1].Groups = {"Labs", "Labs", "Labs"};  // a repeat is removed too
  gb.RenameGroupInClasses("Everything", "All");
  EXPECT_EQ(gb.Semesters[0].Classes[0].Groups, (std::vector<std::string>{"Core", "Labs", "All"}));
  gb.RemoveGroupFromClasses("Labs");
  EXPECT_EQ(gb.Semesters[0].Classes[0].Groups, (std::vector<std::string>{"Core", "All"}));
  EXPECT_TRUE(gb.Semesters[0].Classes[1].Groups.empty());
}

TEST(Semesters, RemovalMarksAndSelection) {
  GradeBook gb;
  for (const char* name : {"A", "B", "C"}) {
    gb.Semesters.push_back(MakeSemester(name, {"X", "Y"}));
    gb.SemesterOrder.push_back({name, true});
  }
  gb.Semesters[0].RemoveClass("X");
  EXPECT_TRUE(gb.Semesters[0].Classes.size() == 1 && gb.Semesters[0].Classes[0].Name == "Y");

  gb.SemesterOrder[1].Marked = false;
  EXPECT_TRUE(gb.IsSemesterSelected("A") && !gb.IsSemesterSelected("B") &&
              !gb.IsSemesterSelected("Z"));

  gb.RemoveSemester("B");
  EXPECT_TRUE(gb.Semesters.size() == 2 && gb.Semesters[1].Name == "C");
  EXPECT_EQ(gb.SemesterOrder.size(), 3u);  // the list is the window's to change
  EXPECT_EQ(gb.SemesterEntryIndex("C"), 2);
}

TEST(Fresh, NewGradeBookState) {
  GradeBook gb;
  gb.resetting = gb.NotBogus = gb.IsPassProtected = true;
  gb.FileName = gb.Password = gb.CurrentSemester.emplace("x");
  gb.Semesters.resize(2);
  ResetToFresh(gb, 1);
  EXPECT_TRUE(gb.Semesters.empty() && gb.FileName.empty() && gb.Password.empty());
  EXPECT_EQ(gb.MethodText(), "4.0 (A- = 3.7, B+ = 3.3)");
  EXPECT_EQ(gb.GradePos, 1);
  EXPECT_FALSE(gb.IsPassProtected || gb.CurrentSemester.has_value());
  EXPECT_TRUE(gb.resetting && gb.NotBogus);  // flags are left as they were
  gb.MethodPos = 7;
  EXPECT_EQ(gb.MethodText(), "");
}

TEST(Groups, ListKeepsOrderAcrossItsTwoStorages) {
  const std::string long24(24, 'x');  // one byte too long to live in place
  GroupList g = {"A", "B", "C"};
  EXPECT_TRUE(g.KeysCoverAll());
  g.push_back(g[1]);  // a fourth name moves the list out of place, order kept
  EXPECT_FALSE(g.KeysCoverAll());
  EXPECT_EQ(g, (std::vector<std::string>{"A", "B", "C", "B"}));
  g.erase(g.begin() + 1);
  EXPECT_EQ(g, (std::vector<std::string>{"A", "C", "B"}));
  EXPECT_TRUE(g.KeysCoverAll());  // three short names fit in place again

  GroupList h = {"", std::string("N\0ul", 4), std::string(23, 'y')};  // any bytes, up to 23
  EXPECT_TRUE(h.KeysCoverAll());
  EXPECT_EQ(h[0], "");
  EXPECT_EQ(h[1], std::string_view("N\0ul", 4));
  EXPECT_EQ(h[2], std::string(23, 'y'));
  h.erase(h.begin());
  EXPECT_EQ(h, (std::vector<std::string>{std::string("N\0ul", 4), std::string(23, 'y')}));
  EXPECT_EQ(h.InPlaceKeys()[2], GroupList::UnusedKey());

  GroupList copy = h;
  copy.push_back(long24);
  EXPECT_FALSE(copy.KeysCoverAll());
  EXPECT_EQ(copy[2], long24);
  EXPECT_EQ(h.size(), 2u);  // the copy is independent
  GroupList moved = std::move(copy);
  EXPECT_EQ(moved.size(), 3u);
  EXPECT_TRUE(copy.empty());  // NOLINT: a moved-from list is left empty and usable
  copy.push_back("E");
  EXPECT_EQ(copy, (std::vector<std::string>{"E"}));
  moved.clear();
  EXPECT_TRUE(moved.empty() && moved.KeysCoverAll());
}
