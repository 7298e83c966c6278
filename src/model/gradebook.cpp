#include "model/gradebook.h"

#include <algorithm>

namespace mw {

void Semester::RemoveClass(std::string_view s) {
  // The walk advances after every step, whether or not a class was removed.
  for (size_t p = 0; p < Classes.size(); ++p)
    if (Classes[p].Name == s) Classes.erase(Classes.begin() + static_cast<std::ptrdiff_t>(p));
}

std::string GradeBook::MethodText() const {
  if (MethodPos < 0 || MethodPos >= static_cast<int>(Methods.size())) return {};
  return Methods[static_cast<size_t>(MethodPos)].Name;
}

Method* GradeBook::GetMethod(std::string_view s) {
  Method* result = nullptr;
  for (auto& m : Methods) {
    result = &m;
    if (m.Name == s) {
      NotBogus = true;
      return result;
    }
  }
  NotBogus = false;
  return result;
}

Semester* GradeBook::FindSemester(std::string_view name) {
  Semester* result = nullptr;
  for (auto& s : Semesters) {
    result = &s;
    if (s.Name == name) {
      NotBogus = true;
      return result;
    }
  }
  NotBogus = false;
  return result;
}

Class* GradeBook::FindClass(Semester* s, std::string_view name) {
  Class* result = nullptr;
  if (s) {
    for (auto& c : s->Classes) {
      result = &c;
      if (c.Name == name) {
        NotBogus = true;
        return result;
      }
    }
  }
  NotBogus = false;
  return result;
}

bool GradeBook::GroupExists(std::string_view name) const {
  return std::any_of(GroupNames.begin(), GroupNames.end(),
                     [&](const GroupEntry& g) { return g.Name == name; });
}

bool GradeBook::InGroupMask(const GroupList& groups) const {
  for (const auto& g : GroupNames) {
    if (!g.InMask) continue;
    for (const auto& name : groups)
      if (g.Name == name) return true;
  }
  return false;
}

bool GradeBook::IsSemesterSelected(std::string_view name) const {
  return std::any_of(SemesterOrder.begin(), SemesterOrder.end(),
                     [&](const SemesterEntry& e) { return e.Name == name && e.Marked; });
}

int GradeBook::SemesterEntryIndex(std::string_view name) const {
  for (size_t i = 0; i < SemesterOrder.size(); ++i)
    if (SemesterOrder[i].Name == name) return static_cast<int>(i);
  return -1;
}

int GradeBook::GroupPosition(std::string_view name) const {
  for (size_t i = 0; i < GroupNames.size(); ++i)
    if (GroupNames[i].Name == name) return static_cast<int>(i);
  return -1;
}

std::vector<std::string> GradeBook::GroupNameList() const {
  std::vector<std::string> names;
  names.reserve(GroupNames.size());
  for (const auto& g : GroupNames) names.push_back(g.Name);
  return names;
}

void GradeBook::RemoveSemester(std::string_view name) {
  auto it = std::find_if(Semesters.begin(), Semesters.end(),
                         [&](const Semester& s) { return s.Name == name; });
  if (it != Semesters.end()) Semesters.erase(it);
}

void GradeBook::SelectAllSemesters() {
  for (auto& e : SemesterOrder) e.Marked = true;
}

void GradeBook::DeselectAllSemesters() {
  for (auto& e : SemesterOrder) e.Marked = false;
}

void GradeBook::RenameGroupInClasses(std::string_view oldName, const std::string& newName) {
  for (auto& s : Semesters) {
    for (auto& c : s.Classes) {
      auto& g = c.Groups;
      // One walk over the positions the list had at the start.
      const size_t count = g.size();
      for (size_t i = 0; i < count && i < g.size(); ++i) {
        if (g[i] == oldName) {
          g.erase(g.begin() + static_cast<std::ptrdiff_t>(i));
          g.push_back(newName);
        }
      }
    }
  }
}

void GradeBook::RemoveGroupFromClasses(std::string_view name) {
  for (auto& s : Semesters) {
    for (auto& c : s.Classes) {
      auto& g = c.Groups;
      // An erase moves the next name to q: look at q again, or a repeated name stays.
      for (size_t q = 0; q < g.size();) {
        if (g[q] == name) g.erase(g.begin() + static_cast<std::ptrdiff_t>(q));
        else ++q;
      }
    }
  }
}

bool GetGroup(std::string_view s, const GroupList& c) {
  return std::find(c.begin(), c.end(), s) != c.end();
}

int16_t GroupIndex(std::string_view s, const std::vector<std::string>& names, int last) {
  const int end = std::min(last, static_cast<int>(names.size()) - 1);
  for (int p = 0; p <= end; ++p)
    if (names[static_cast<size_t>(p)] == s) return static_cast<int16_t>(p);
  return 0;
}

std::vector<Method> BuiltInMethods() {
  struct Table {
    const char* name;
    std::array<double, kGradeCount> values;
  };
  static const Table tables[] = {
      {"4.0 (A- = 3.7, B+ = 3.3)", {4.3, 4, 3.7, 3.3, 3, 2.7, 2.3, 2, 1.7, 1.3, 1, 0.7, 0}},
      {"4.0 (A- = 3.66, B+ = 3.33)",
       {4.33, 4, 3.66, 3.33, 3, 2.66, 2.33, 2, 1.66, 1.33, 1, 0.66, 0}},
      {"Harvard (15 pt)", {0, 15, 14, 12, 11, 10, 8, 7, 6, 4, 3, 2, 0}},
  };
  std::vector<Method> methods;
  for (const auto& t : tables) {
    Method m;
    m.Name = t.name;
    m.SetNumerical(t.values);
    methods.push_back(std::move(m));
  }
  return methods;
}

void ResetToFresh(GradeBook& gb, int defaultGrade) {
  gb.Semesters.clear();
  gb.Methods = BuiltInMethods();
  gb.MethodPos = 0;
  gb.SemesterOrder.clear();
  gb.GroupNames.clear();
  gb.GroupNames.push_back({"Everything", true});
  gb.GradePos = defaultGrade;
  gb.CurrentSemester.reset();
  gb.CurrentClass.reset();
  gb.FileName.clear();
  gb.FullFileName.clear();
  gb.IsPassProtected = false;
  gb.Password.clear();
}

}  // namespace mw
