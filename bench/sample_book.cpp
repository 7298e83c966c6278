#include "sample_book.h"

#include <algorithm>
#include <string>

namespace mw::bench {

GradeBook MakeSampleBook(int semesters, int classesPerSemester, int groups, int maskGroups,
                         const std::string& groupPrefix) {
  GradeBook gb;
  ResetToFresh(gb);
  gb.GroupNames.clear();
  for (int g = 0; g < groups; ++g) gb.GroupNames.push_back({groupPrefix + std::to_string(g), g < maskGroups});

  unsigned seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  for (int s = 0; s < semesters; ++s) {
    Semester sem;
    sem.SetName("Semester " + std::to_string(s + 1));
    for (int c = 0; c < classesPerSemester; ++c) {
      Class cls;
      cls.SetName("Class " + std::to_string(c + 1) + " of semester " + std::to_string(s + 1));
      cls.Grade = static_cast<int16_t>(next() % 13);
      cls.Credits = 1 + static_cast<double>(next() % 8) / 2;
      const int memberships = 1 + static_cast<int>(next() % 3);
      for (int m = 0; m < memberships && groups > 0; ++m) {
        const GroupId id =
            gb.InternGroup(groupPrefix + std::to_string(next() % static_cast<unsigned>(groups)));
        if (std::find(cls.Groups.begin(), cls.Groups.end(), id) == cls.Groups.end())
          cls.Groups.push_back(id);
      }
      sem.AddClass(std::move(cls));
    }
    gb.SemesterOrder.push_back({sem.Name, true});
    gb.Semesters.push_back(std::move(sem));
  }
  return gb;
}

}  // namespace mw::bench
