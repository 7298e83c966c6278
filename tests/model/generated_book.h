#pragma once
// Generated grade books for the figure tests.
#include <algorithm>
#include <random>
#include <string>

#include "model/gradebook.h"

namespace mw::test {

// A book whose sums round differently in every order: fractional credits, odd grade points,
// grades outside the letter list, classes in no group, a semester listed out of collection
// order and one not marked, and a method with negative points.
inline GradeBook GeneratedBook(unsigned seed) {
  std::mt19937 rnd(seed);
  auto pick = [&rnd](int n) { return static_cast<int>(rnd() % static_cast<unsigned>(n)); };
  GradeBook gb;
  ResetToFresh(gb);
  Method odd;
  odd.Name = "Odd";
  for (int g = 0; g < kGradeCount; ++g) odd.SetSpecific(g, 4.3 - g / 3.0);
  gb.Methods.push_back(odd);
  gb.GroupNames = {{"Everything", true}, {"Major", pick(2) == 0}, {"A group name far too long to be kept in place", true}, {"Minor", false}};
  const int semesters = 2 + pick(6);
  for (int s = 0; s < semesters; ++s) {
    Semester sem;
    sem.Name = "Term " + std::to_string(s);
    for (int c = pick(9); c > 0; --c) {
      Class cls;
      cls.Name = "Class " + std::to_string(c);
      cls.Grade = static_cast<int16_t>(pick(15) - 1);  // -1 and 13 are worth 0
      cls.Credits = pick(5) == 0 ? 0.0 : (1 + pick(40)) / 3.0;
      for (int g = pick(3); g > 0; --g) {
        const GroupId id = gb.InternGroup(gb.GroupNames[static_cast<size_t>(pick(4))].Name);
        if (std::find(cls.Groups.begin(), cls.Groups.end(), id) == cls.Groups.end())
          cls.Groups.push_back(id);
      }
      sem.Classes.push_back(cls);
    }
    gb.Semesters.push_back(sem);
    gb.SemesterOrder.push_back({sem.Name, pick(4) != 0});
  }
  if (seed % 2) std::swap(gb.SemesterOrder.front(), gb.SemesterOrder.back());
  return gb;
}

}  // namespace mw::test
