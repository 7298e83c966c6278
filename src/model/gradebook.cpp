#include "model/gradebook.h"

#include <algorithm>
#include <array>

namespace mw {

void Semester::RemoveClass(std::string_view s) {
  // The walk advances after every step, whether or not a class was removed.
  for (size_t p = 0; p < Classes.size(); ++p)
    if (Classes[p].Name == s) Classes.erase(Classes.begin() + static_cast<std::ptrdiff_t>(p));
}

GroupMask::GroupMask(const GradeBook& gb) {
  for (const auto& g : gb.GroupNames)
    if (g.InMask)
      if (auto id = gb.GroupIdOf(g.Name)) Add(*id);
}

GroupMask::GroupMask(const GradeBook& gb, const std::vector<std::string>& names) {
  for (const auto& name : names)
    if (auto id = gb.GroupIdOf(name)) Add(*id);
}

void GroupMask::Add(GroupId id) {
  if (id >= flags_.size()) flags_.resize(id + 1, 0);
  if (!flags_[id]) ++count_;
  flags_[id] = 1;
}

std::string GradeBook::MethodText() const {
  if (MethodPos < 0 || MethodPos >= static_cast<int>(Methods.size())) return {};
  return Methods[static_cast<size_t>(MethodPos)].Name;
}

namespace {

template <typename T>
auto* FirstNamed(T& items, std::string_view name) {
  auto it = std::find_if(items.begin(), items.end(), [&](const auto& x) { return x.Name == name; });
  return it == items.end() ? nullptr : &*it;
}

}  // namespace

Method* GradeBook::FindMethod(std::string_view name) { return FirstNamed(Methods, name); }
const Method* GradeBook::FindMethod(std::string_view name) const {
  return FirstNamed(Methods, name);
}
Semester* GradeBook::FindSemester(std::string_view name) { return FirstNamed(Semesters, name); }
const Semester* GradeBook::FindSemester(std::string_view name) const {
  return FirstNamed(Semesters, name);
}
Class* GradeBook::FindClass(Semester* s, std::string_view name) {
  return s ? FirstNamed(s->Classes, name) : nullptr;
}
const Class* GradeBook::FindClass(const Semester* s, std::string_view name) {
  return s ? FirstNamed(s->Classes, name) : nullptr;
}

const Method* GradeBook::MethodOrLast(std::string_view name) const {
  if (const Method* m = FindMethod(name)) return m;
  return Methods.empty() ? nullptr : &Methods.back();
}

bool GradeBook::GroupExists(std::string_view name) const {
  return GroupPosition(name) >= 0;
}

int GradeBook::SemesterEntryIndex(std::string_view name) const {
  for (size_t i = 0; i < SemesterOrder.size(); ++i)
    if (SemesterOrder[i].Name == name) return static_cast<int>(i);
  return -1;
}

int GradeBook::SemesterIndex(std::string_view name) const {
  for (size_t i = 0; i < Semesters.size(); ++i)
    if (Semesters[i].Name == name) return static_cast<int>(i);
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

GroupId GradeBook::InternGroup(std::string_view name) {
  auto it = groupIds_.find(name);
  if (it != groupIds_.end()) return it->second;
  const auto id = static_cast<GroupId>(groupNames_.size());
  groupNames_.emplace_back(name);
  groupIds_.emplace(std::string(name), id);
  return id;
}

std::optional<GroupId> GradeBook::GroupIdOf(std::string_view name) const {
  auto it = groupIds_.find(name);
  if (it == groupIds_.end()) return std::nullopt;
  return it->second;
}

std::vector<std::string> GradeBook::GroupsOf(const Class& c) const {
  std::vector<std::string> names;
  names.reserve(c.Groups.size());
  for (GroupId g : c.Groups) names.push_back(GroupName(g));
  return names;
}

void GradeBook::SetGroups(Class& c, const std::vector<std::string>& names) {
  c.Groups.clear();
  c.Groups.reserve(names.size());
  for (const auto& name : names) c.Groups.push_back(InternGroup(name));
}

bool GradeBook::InGroup(const Class& c, std::string_view name) const {
  const auto id = GroupIdOf(name);
  return id && std::find(c.Groups.begin(), c.Groups.end(), *id) != c.Groups.end();
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
  const auto from = GroupIdOf(oldName);
  if (!from) return;
  const GroupId to = InternGroup(newName);
  for (auto& s : Semesters) {
    for (auto& c : s.Classes) {
      auto& g = c.Groups;
      // One walk over the positions the list had at the start.
      const size_t count = g.size();
      for (size_t i = 0; i < count && i < g.size(); ++i) {
        if (g[i] == *from) {
          g.erase(g.begin() + static_cast<std::ptrdiff_t>(i));
          g.push_back(to);
        }
      }
    }
  }
}

void GradeBook::RemoveGroupFromClasses(std::string_view name) {
  const auto id = GroupIdOf(name);
  if (!id) return;
  for (auto& s : Semesters)
    for (auto& c : s.Classes) erase(c.Groups, *id);
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

void ResetToFresh(GradeBook& gb) {
  gb = GradeBook();
  gb.Methods = BuiltInMethods();
  gb.MethodPos = 0;
  gb.GroupNames.push_back({"Everything", true});
}

}  // namespace mw
