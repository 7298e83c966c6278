#pragma once
// The grade book: semesters of classes, grading methods, the groups with the group mask, and
// the lookups by name that every command uses. It holds the document only; what the window
// has selected lives in the window.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/group_list.h"
#include "model/method.h"

namespace mw {

class Class {
 public:
  std::string Name;
  int16_t Grade = 0;     // position in the letter grade list; 0 is "A+", 12 is "E"
  double Credits = 0.0;  // any number, 0 and fractions included
  GroupList Groups;     // the groups the class belongs to, in order

  void SetName(std::string s) { Name = std::move(s); }
};

class Semester {
 public:
  std::vector<Class> Classes;  // in the order added
  std::string Name;

  void SetName(std::string s) { Name = std::move(s); }
  void AddClass(Class c) { Classes.push_back(std::move(c)); }
  // Removes the class named s (exact comparison); nothing happens when there is none.
  void RemoveClass(std::string_view s);
};

// An entry of the semester list: its text and its check mark (marked semesters count).
struct SemesterEntry {
  std::string Name;
  bool Marked = true;
  friend bool operator==(const SemesterEntry&, const SemesterEntry&) = default;
};

// An entry of the group list: the group's name and whether it is in the group mask.
struct GroupEntry {
  std::string Name;
  bool InMask = false;
  friend bool operator==(const GroupEntry&, const GroupEntry&) = default;
};

class GradeBook;

// The groups of a mask as flags by group id.
class GroupMask {
 public:
  GroupMask() = default;
  // The groups of gb's list that are in its mask.
  explicit GroupMask(const GradeBook& gb);
  // The groups named in names (names gb has never seen count nowhere anyway).
  GroupMask(const GradeBook& gb, const std::vector<std::string>& names);

  bool Has(GroupId id) const { return id < flags_.size() && flags_[id]; }
  bool Empty() const { return count_ == 0; }

 private:
  void Add(GroupId id);
  std::vector<std::uint8_t> flags_;
  std::size_t count_ = 0;
};

// True when the class belongs to at least one group of the mask: whether it counts.
inline bool IsCounted(const Class& c, const GroupMask& mask) {
  for (GroupId g : c.Groups)
    if (mask.Has(g)) return true;
  return false;
}

class GradeBook {
 public:
  // ---- The document ----
  std::vector<Semester> Semesters;           // in the order added or loaded
  std::vector<SemesterEntry> SemesterOrder;  // display order, with the check marks
  std::vector<Method> Methods;               // in the order added
  int MethodPos = -1;                        // the method in use, -1 none
  std::vector<GroupEntry> GroupNames;        // in the order added; InMask is the group mask

  // ---- File state ----
  std::string FileName;
  std::string FullFileName;
  bool IsPassProtected = false;
  std::string Password;

  // Name of the method in use, empty when none.
  std::string MethodText() const;

  // ---- Lookups by exact name: the first match, null when there is none ----
  Method* FindMethod(std::string_view name);
  const Method* FindMethod(std::string_view name) const;
  Semester* FindSemester(std::string_view name);
  const Semester* FindSemester(std::string_view name) const;
  static Class* FindClass(Semester* s, std::string_view name);
  static const Class* FindClass(const Semester* s, std::string_view name);
  // The method that names `name`, else the last method walked (the last of the list); null
  // only when there is no method at all. The figures use this for the method in use.
  const Method* MethodOrLast(std::string_view name) const;
  // MethodOrLast of the method in use.
  const Method* MethodInUse() const { return MethodOrLast(MethodText()); }

  // True when name is an entry of GroupNames.
  bool GroupExists(std::string_view name) const;
  // Position of the first semester list entry with this text, -1 when none.
  int SemesterEntryIndex(std::string_view name) const;
  // Position of the first semester with this name in Semesters, -1 when none.
  int SemesterIndex(std::string_view name) const;
  // Position of the first group with this name, -1 when none.
  int GroupPosition(std::string_view name) const;
  // The group names alone, in order.
  std::vector<std::string> GroupNameList() const;

  // ---- Group names by id ----
  // The id of name, given a new one when the book has not seen it yet.
  GroupId InternGroup(std::string_view name);
  std::optional<GroupId> GroupIdOf(std::string_view name) const;
  const std::string& GroupName(GroupId id) const { return groupNames_[id]; }
  // The names of a class's groups, in its order.
  std::vector<std::string> GroupsOf(const Class& c) const;
  void SetGroups(Class& c, const std::vector<std::string>& names);
  // True when one of the class's groups is named name.
  bool InGroup(const Class& c, std::string_view name) const;

  // Removes the semester named name from Semesters (not from SemesterOrder).
  void RemoveSemester(std::string_view name);
  void SelectAllSemesters();
  void DeselectAllSemesters();

  // Renames a group in every class: where old stands, it is removed and the new name is
  // appended at the end of that class's Groups.
  void RenameGroupInClasses(std::string_view oldName, const std::string& newName);
  // Removes every occurrence of a group name from every class's Groups.
  void RemoveGroupFromClasses(std::string_view name);

 private:
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::vector<std::string> groupNames_;                                            // by id
  std::unordered_map<std::string, GroupId, NameHash, std::equal_to<>> groupIds_;  // by name
};

// The three built-in grading methods of a new grade book, in order.
std::vector<Method> BuiltInMethods();

// A new grade book: no semesters, the built-in methods with the first in use, the one group
// "Everything" in the mask, no file, no password.
void ResetToFresh(GradeBook& gb);

}  // namespace mw
