#pragma once
// The grade book: semesters of classes, grading methods, groups, the selection the main window
// shows, and the lookups by name that every command uses.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/group_list.h"
#include "model/method.h"

namespace mw {

class Class {
 public:
  std::string Name;
  int16_t Grade = 0;     // position in the letter grade list; 0 is "A+", 12 is "E"
  double Credits = 0.0;  // any number, 0 and fractions included
  GroupList Groups;  // names of the groups the class belongs to, no name twice

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
};

// An entry of the group lists: the group's name and whether it is in the group mask.
struct GroupEntry {
  std::string Name;
  bool InMask = false;
};

class GradeBook {
 public:
  // ---- The document ----
  std::vector<Semester> Semesters;           // in the order added or loaded
  std::vector<SemesterEntry> SemesterOrder;  // display order, with the check marks
  std::vector<Method> Methods;               // in the order added
  std::vector<GroupEntry> GroupNames;        // in the order added; InMask is the group mask

  // ---- File state ----
  std::string FileName;
  std::string FullFileName;
  bool IsPassProtected = false;
  std::string Password;

  // ---- Flags ----
  bool resetting = false;  // the program itself is filling the class panel
  bool NotBogus = false;   // found flag of the last lookup by name

  // ---- Figures of the last GPA update ----
  double MaskGPA = 0.0;
  int64_t MaskClassCount = 0;  // wider than 16 bits: a huge grade book must not wrap
  double MaskCredits = 1.0;

  // ---- Selection (the window's lists mirror these) ----
  std::optional<std::string> CurrentSemester;  // text of the semester list's current entry
  std::optional<std::string> CurrentClass;     // text of the class list's current entry
  int MethodPos = -1;                          // current entry of the method selector, -1 none
  int GradePos = -1;                           // current entry of the grade selector, -1 none

  // Text of the method selector: the name at MethodPos, empty when none.
  std::string MethodText() const;
  // Text of the current semester entry, empty when none.
  std::string CurrentSemesterText() const { return CurrentSemester.value_or(std::string()); }
  std::string CurrentClassText() const { return CurrentClass.value_or(std::string()); }

  // ---- Lookups: walk from the start, stop at the first exact match and set NotBogus;
  // without a match set NotBogus false and return the last element walked (null when empty).
  Method* GetMethod(std::string_view s);
  Semester* FindSemester(std::string_view name);
  Class* FindClass(Semester* s, std::string_view name);  // null s: null, NotBogus false

  // True when name is an entry of GroupNames. Does not touch NotBogus.
  bool GroupExists(std::string_view name) const;
  // True when some group of the mask equals some element of groups.
  bool InGroupMask(const GroupList& groups) const;
  // True when an entry of the semester list with exactly this text carries a check mark.
  bool IsSemesterSelected(std::string_view name) const;
  // Position of the first semester list entry with this text, -1 when none.
  int SemesterEntryIndex(std::string_view name) const;
  // Position of the first group with this name, -1 when none.
  int GroupPosition(std::string_view name) const;
  // The group names alone, in order.
  std::vector<std::string> GroupNameList() const;

  // Removes the semester named name from Semesters (not from SemesterOrder).
  void RemoveSemester(std::string_view name);
  void SelectAllSemesters();
  void DeselectAllSemesters();

  // Renames a group in every class: where old stands, it is removed and the new name is
  // appended at the end of that class's Groups.
  void RenameGroupInClasses(std::string_view oldName, const std::string& newName);
  // Removes a group name from every class's Groups.
  void RemoveGroupFromClasses(std::string_view name);
};

// True when s equals an element of c.
bool GetGroup(std::string_view s, const GroupList& c);
// The first position p in 0..last with names[p] == s; 0 when none, and 0 when last < 0.
int16_t GroupIndex(std::string_view s, const std::vector<std::string>& names, int last);

// The three built-in grading methods of a new grade book, in order.
std::vector<Method> BuiltInMethods();

// The document part of a new grade book: no semesters, the built-in methods with the first
// current, the one group "Everything" in the mask, no file, no password, nothing current, and
// the grade selector at defaultGrade. resetting and NotBogus are left as they are.
void ResetToFresh(GradeBook& gb, int defaultGrade);

}  // namespace mw
