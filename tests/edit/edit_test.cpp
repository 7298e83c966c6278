// The editing layer: each command's refusals and effects, and steps that undo to the byte.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <tuple>

#include "book_helpers.h"
#include "edit/edit.h"

using namespace mw;
using mw::test::AddSemester;
using mw::test::MakeClass;

namespace {

// Fall: Math (B+, 4, Everything+Core), Art (A, 2, Everything); Spring: Gym (C, 1, Core).
GradeBook Book() {
  GradeBook gb = test::FreshBook();
  gb.GroupNames.push_back({"Core", false});
  AddSemester(gb, "Fall").Classes = {MakeClass(gb, "Math", 3, 4, {"Everything", "Core"}),
                                     MakeClass(gb, "Art", 1, 2, {"Everything"})};
  AddSemester(gb, "Spring").Classes = {MakeClass(gb, "Gym", 7, 1, {"Core"})};
  return gb;
}

std::string Bytes(const GradeBook& gb) {
  const EncodeResult r = EncodePlain(gb);
  EXPECT_TRUE(r.ok) << r.error;
  std::string marks;
  for (const auto& e : gb.SemesterOrder) marks += e.Marked ? '+' : '-';
  return r.bytes + marks + (gb.IsPassProtected ? "P" : "-");
}

struct Case {
  const char* what;
  std::function<edit::Outcome(const GradeBook&)> command;
  std::string status;         // the message
  bool changes;               // whether it gives a step
  std::function<bool(const GradeBook&)> effect = nullptr;  // checked after the step is made
};

const Class& ClassAt(const GradeBook& gb, size_t s, size_t c) { return gb.Semesters[s].Classes[c]; }

// Makes each case's step, checks its effect, then undoes and redoes it, comparing the file.
void RunCases(const std::vector<Case>& cases) {
  for (const auto& c : cases) {
    GradeBook gb = Book();
    const std::string before = Bytes(gb);
    edit::Outcome o = c.command(gb);
    EXPECT_EQ(o.status, c.status) << c.what;
    ASSERT_EQ(o.step != nullptr, c.changes) << c.what;
    if (!o.step) continue;
    o.step->Redo(gb);
    const std::string after = Bytes(gb);
    EXPECT_NE(after, before) << c.what;
    if (c.effect) { EXPECT_TRUE(c.effect(gb)) << c.what; }
    o.step->Undo(gb);
    EXPECT_EQ(Bytes(gb), before) << c.what;
    o.step->Redo(gb);
    EXPECT_EQ(Bytes(gb), after) << c.what;
  }
}

}  // namespace

TEST(EditSemesters, RefusalsEffectsAndUndo) {
  const std::string bad = "Line\nbreak";
  RunCases({
      {"add", [](auto& gb) { return edit::AddSemester(gb, "Summer"); }, "Semester Summer added.", true,
       [](auto& gb) { return gb.SemesterOrder.back().Name == "Summer" && gb.SemesterOrder.back().Marked; }},
      {"add empty", [](auto& gb) { return edit::AddSemester(gb, ""); }, "", false},
      {"add twice", [](auto& gb) { return edit::AddSemester(gb, "Fall"); },
       "A semester with that name already exists!", false},
      {"add unstorable", [&](auto& gb) { return edit::AddSemester(gb, bad); }, edit::kUnstorableName, false},
      {"rename", [](auto& gb) { return edit::RenameSemester(gb, "Fall", "Autumn"); }, "", true,
       [](auto& gb) { return gb.Semesters[0].Name == "Autumn" && gb.SemesterOrder[0].Name == "Autumn"; }},
      {"rename onto another", [](auto& gb) { return edit::RenameSemester(gb, "Fall", "Spring"); },
       "A semester with that name already exists!", false},
      {"delete", [](auto& gb) { return edit::DeleteSemester(gb, 0); }, "Semester deleted.", true,
       [](auto& gb) { return gb.Semesters.size() == 1 && gb.SemesterOrder.size() == 1; }},
      {"move", [](auto& gb) { return edit::MoveSemester(gb, 0, 1); }, "", true,
       [](auto& gb) { return gb.SemesterOrder[0].Name == "Spring"; }},
      {"move past the end", [](auto& gb) { return edit::MoveSemester(gb, 1, 2); }, "", false},
  });
}

TEST(EditClasses, RefusalsEffectsAndUndo) {
  RunCases({
      {"add", [](auto& gb) { return edit::AddClass(gb, "Fall", "Bio", 4, 3); }, "Added class Bio.", true,
       [](auto& gb) { return gb.GroupsOf(ClassAt(gb, 0, 2)) == std::vector<std::string>{"Everything"}; }},
      {"add twice", [](auto& gb) { return edit::AddClass(gb, "Fall", "Math", 4, 3); },
       "A class with that name already exists!", false},
      {"add unstorable", [](auto& gb) { return edit::AddClass(gb, "Fall", "Bad\rname", 4, 3); },
       edit::kUnstorableName, false},
      {"rename", [](auto& gb) { return edit::RenameClass(gb, "Fall", "Math", "Calculus"); }, "", true},
      {"rename onto another", [](auto& gb) { return edit::RenameClass(gb, "Fall", "Math", "Art"); },
       "A class with that name already exists!", false},
      {"delete", [](auto& gb) { return edit::DeleteClass(gb, "Fall", "Math"); }, "", true,
       [](auto& gb) { return gb.Semesters[0].Classes.size() == 1; }},
      {"grade", [](auto& gb) { return edit::SetGrade(gb, "Fall", "Art", 12); },
       "Changed grade for class Art.", true, [](auto& gb) { return ClassAt(gb, 0, 1).Grade == 12; }},
      {"same grade", [](auto& gb) { return edit::SetGrade(gb, "Fall", "Art", 1); },
       "Changed grade for class Art.", false},
      {"credits", [](auto& gb) { return edit::SetCredits(gb, "Spring", "Gym", 0.5); },
       "Changed credits for class Gym to 0.5.", true},
      {"credits past the bound", [](auto& gb) { return edit::SetCredits(gb, "Spring", "Gym", 1e307); },
       "Please enter a numeric value for the number of credits.", false},
      {"groups", [](auto& gb) { return edit::SetClassGroups(gb, "Fall", "Art", {"Core", "Everything"}); },
       "Changed groups under which class Art falls.", true},
      {"missing class", [](auto& gb) { return edit::SetGrade(gb, "Fall", "Nope", 2); }, "", false},
      {"groups with new names", [](auto& gb) { return edit::SetClassGroups(gb, "Fall", "Art", {"Lab", "Core"}); },
       "Changed groups under which class Art falls.", true,
       [](auto& gb) { return gb.GroupNames.back() == GroupEntry{"Lab", true} && gb.GroupNames.size() == 3; }},
      {"groups with an empty name", [](auto& gb) { return edit::SetClassGroups(gb, "Fall", "Art", {""}); },
       edit::kUnstorableName, false},
      {"move to another semester", [](auto& gb) { return edit::MoveClass(gb, "Fall", "Math", "Spring"); },
       "Moved class Math to Spring.", true,
       [](auto& gb) { return gb.Semesters[1].Classes.back().Name == "Math" && gb.Semesters[0].Classes.size() == 1; }},
      {"move to a new semester", [](auto& gb) { return edit::MoveClass(gb, "Spring", "Gym", "Summer"); },
       "Moved class Gym to Summer.", true,
       [](auto& gb) { return gb.SemesterOrder.back().Name == "Summer" && gb.Semesters[2].Classes.size() == 1; }},
      {"move to an unstorable name", [](auto& gb) { return edit::MoveClass(gb, "Spring", "Gym", "A\nB"); },
       edit::kUnstorableName, false},
      {"move where it is", [](auto& gb) { return edit::MoveClass(gb, "Fall", "Art", "Fall"); }, "", false},
      {"delete the first", [](auto& gb) { return edit::DeleteClasses(gb, {{"Fall", "Math"}}); },
       "Deleted 1 class.", true, [](auto& gb) { return ClassAt(gb, 0, 0).Name == "Art"; }},
      {"delete many", [](auto& gb) {
         return edit::DeleteClasses(gb, {{"Fall", "Art"}, {"Spring", "Gym"}, {"Fall", "Math"}, {"Fall", "Nope"}});
       }, "Deleted 3 classes.", true,
       [](auto& gb) { return gb.Semesters[0].Classes.empty() && gb.Semesters[1].Classes.empty(); }},
  });
}

TEST(EditGroupsMethodsOptions, RefusalsEffectsAndUndo) {
  const std::string fall = "Fall", art = "Art";
  RunCases({
      {"add to the current class", [&](auto& gb) { return edit::AddGroup(gb, "Labs", &fall, &art); },
       "Group Labs added.", true, [](auto& gb) {
         return gb.GroupNames.back() == GroupEntry{"Labs", true} && gb.InGroup(ClassAt(gb, 0, 1), "Labs");
       }},
      {"add twice", [](auto& gb) { return edit::AddGroup(gb, "Core", nullptr, nullptr); },
       "A group of that name already exists!", false},
      {"rename moves it last", [](auto& gb) { return edit::RenameGroup(gb, 0, "All"); }, "", true,
       [](auto& gb) { return gb.GroupsOf(ClassAt(gb, 0, 0)) == std::vector<std::string>{"Core", "All"}; }},
      {"rename onto another", [](auto& gb) { return edit::RenameGroup(gb, 0, "Core"); },
       "A group with that name already exists!", false},
      {"delete", [](auto& gb) { return edit::DeleteGroup(gb, 1); }, "", true,
       [](auto& gb) { return ClassAt(gb, 1, 0).Groups.empty() && gb.GroupNames.size() == 1; }},
      {"mask", [](auto& gb) { return edit::SetMask(gb, {true, true}, 1); }, "Added group Core to group mask.", true},
      {"same mask", [](auto& gb) { return edit::SetMask(gb, {false, false}, 0); },
       "Removed group Everything from group mask.", true},
      {"method", [](auto& gb) { return edit::SetMethodInUse(gb, 2); },
       "Changed grading method to \"Harvard (15 pt)\".", true},
      {"methods", [](auto& gb) {
         std::vector<Method> m = gb.Methods;
         edit::AddMethod(m, "Mine");
         edit::SaveMethod(m, "Mine", {9, 8});
         edit::DeleteMethod(m, "Harvard (15 pt)");
         return edit::ReplaceMethods(gb, m, 2);
       }, "", true, [](auto& gb) { return gb.MethodText() == "Mine" && gb.Methods[2].GetEquiv(1) == 8; }},
      {"protection", [](auto& gb) { return edit::SetProtection(gb, true); }, "", true},
      {"same protection", [](auto& gb) { return edit::SetProtection(gb, false); }, "", false},
  });
  std::vector<Method> one(1);
  EXPECT_EQ(edit::DeleteMethod(one, ""), "There must be at least one grading method!");
  EXPECT_EQ(edit::AddMethod(one, ""), "A method with that name already exists!");
}

// Which method is in use once the method editor closes with the first `left` methods.
TEST(EditSteps, MethodEditorCloseKeepsTheMethodInUseWhileItIsThere) {
  const std::tuple<int, int, int> cases[] = {{2, 2, 0}, {1, 2, 1}, {40, 1, -1}, {-1, 1, -1}};
  for (auto [before, left, after] : cases) {
    GradeBook gb = Book();
    gb.MethodPos = before;
    edit::Outcome o = edit::CloseMethodEditor(gb, {gb.Methods.begin(), gb.Methods.begin() + left});
    ASSERT_TRUE(o.step) << before;
    o.step->Redo(gb);
    EXPECT_EQ(gb.MethodPos, after) << before;
  }
  GradeBook gb = Book();
  gb.MethodPos = 40;
  EXPECT_FALSE(edit::CloseMethodEditor(gb, gb.Methods).step);  // nothing changed
}

TEST(EditSteps, CreditsTypedDigitByDigitAreOneStep) {
  GradeBook gb = Book();
  const std::string before = Bytes(gb);
  auto first = edit::SetCredits(gb, "Fall", "Art", 1).step;
  first->Redo(gb);
  for (double v : {12.0, 125.0}) {
    auto next = edit::SetCredits(gb, "Fall", "Art", v).step;
    next->Redo(gb);
    EXPECT_TRUE(first->MergeWith(*next));
  }
  EXPECT_FALSE(first->MergeWith(*edit::SetCredits(gb, "Fall", "Math", 1).step));
  EXPECT_FALSE(first->MergeWith(*edit::SetGrade(gb, "Fall", "Art", 5).step));
  // A committed cell of the class sheet is a step of its own.
  EXPECT_EQ(edit::SetCredits(gb, "Fall", "Art", 7, false).step->MergeId(), -1);
  first->Undo(gb);
  EXPECT_EQ(Bytes(gb), before);
  first->Redo(gb);
  EXPECT_EQ(ClassAt(gb, 0, 1).Credits, 125);
  // Typed back to where it started, the merged step changes nothing.
  first->MergeWith(*edit::SetCredits(gb, "Fall", "Art", 2).step);
  EXPECT_FALSE(first->Changes());
}

// Random commands on random books, each made at once; undoing them all in reverse gives back
// the starting file, byte for byte.
// A step keeps only what it changed and says how many bytes that is: renaming or deleting a
// group that one of 20,000 classes is in keeps that class's list, not every class's.
TEST(EditSteps, StepsKeepOnlyWhatTheyChange) {
  GradeBook gb = Book();
  for (int s = 0; s < 100; ++s) {
    Semester& sem = AddSemester(gb, "S" + std::to_string(s));
    for (int k = 0; k < 200; ++k) sem.Classes.push_back(MakeClass(gb, "C" + std::to_string(k), 1, 3, {"Everything"}));
  }
  const edit::Outcome small[] = {edit::RenameGroup(gb, 1, "Major"), edit::DeleteGroup(gb, 1),
                                 edit::SetGrade(gb, "Fall", "Math", 0), edit::SetMask(gb, {false, true}, 0),
                                 edit::SetCredits(gb, "Fall", "Art", 5), edit::MoveSemester(gb, 0, 1)};
  for (const auto& o : small) {
    ASSERT_TRUE(o.step);
    EXPECT_TRUE(o.step->Bytes > 0 && o.step->Bytes < 1024) << o.step->Name << " " << o.step->Bytes;
  }
  // What a change of every class, or the removal of a semester, keeps is counted whole.
  EXPECT_GT(edit::RenameGroup(gb, 0, "All").step->Bytes, 20000 * sizeof(GroupId));
  EXPECT_GT(edit::DeleteSemester(gb, 5).step->Bytes, 200 * sizeof(Class));
}

TEST(EditSteps, RandomSequencesUndoToTheStartingBytes) {
  std::mt19937 rng(2026);
  auto pick = [&rng](size_t n) { return n ? static_cast<size_t>(rng() % n) : 0; };
  const std::vector<std::string> names = {"A", "B", "C", "Core", "Everything", "Labs", ""};
  for (int round = 0; round < 60; ++round) {
    GradeBook gb = Book();
    for (size_t s = pick(3); s > 0; --s) {
      Semester& sem = AddSemester(gb, "S" + std::to_string(s) + names[pick(names.size())]);
      for (size_t c = pick(5); c > 0; --c)
        sem.Classes.push_back(MakeClass(gb, names[pick(names.size())], int(pick(13)), double(pick(5)),
                                        {names[pick(names.size())], names[pick(names.size())]}));
    }
    const std::string start = Bytes(gb);
    std::vector<std::unique_ptr<edit::Step>> done;
    for (int n = 0; n < 40; ++n) {
      const auto& sems = gb.Semesters;
      const std::string sem = sems.empty() ? "" : sems[pick(sems.size())].Name;
      const Semester* s = gb.FindSemester(sem);
      const std::string cls = s && !s->Classes.empty() ? s->Classes[pick(s->Classes.size())].Name : "";
      const std::string name = names[pick(names.size())] + std::to_string(pick(3));
      const int row = int(pick(gb.SemesterOrder.size() + 1));
      const int group = int(pick(gb.GroupNames.size() + 1));
      edit::Outcome o;
      switch (pick(14)) {
        case 0: o = edit::AddSemester(gb, name); break;
        case 1: o = edit::RenameSemester(gb, sem, name); break;
        case 2: o = edit::DeleteSemester(gb, row); break;
        case 3: o = edit::MoveSemester(gb, row, row + 1); break;
        case 4: o = edit::AddClass(gb, sem, name, int(pick(13)), double(pick(9)) / 2); break;
        case 5: o = edit::RenameClass(gb, sem, cls, name); break;
        case 6: o = edit::DeleteClass(gb, sem, cls); break;
        case 7: o = edit::SetGrade(gb, sem, cls, int(pick(13))); break;
        case 8: o = edit::SetCredits(gb, sem, cls, double(pick(9)) - 2); break;
        case 9: o = edit::SetClassGroups(gb, sem, cls, {name, names[pick(names.size())]}); break;
        case 10: o = edit::AddGroup(gb, name, &sem, &cls); break;
        case 11: o = edit::RenameGroup(gb, group, name); break;
        case 12: o = edit::DeleteGroup(gb, group); break;
        default: {
          std::vector<bool> mask;
          for (size_t i = 0; i < gb.GroupNames.size(); ++i) mask.push_back(pick(2) == 0);
          o = edit::SetMask(gb, mask, group);
        }
      }
      if (edit::Apply(gb, o)) done.push_back(std::move(o.step));
    }
    for (auto it = done.rbegin(); it != done.rend(); ++it) (*it)->Undo(gb);
    ASSERT_EQ(Bytes(gb), start) << "round " << round;
  }
}
