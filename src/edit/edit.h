#pragma once
// Every change to a grade book. Each command below is a function of the document and its
// arguments: it applies the checks and refusals of the command and returns an outcome, which
// is either a refusal (or nothing to do) with the message for the status line, or a step: the
// change, not yet made, that can be made, undone and made again. The window wraps steps in its
// undo history; markwell-cli and the tests apply them directly.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/gradebook.h"

namespace mw::edit {

// What a step touches, so that a view refreshes only that.
enum Touch : unsigned {
  kSemesterList = 1u << 0,  // entries of the semester list: names, order, count
  kClassList = 1u << 1,     // the classes of a semester: names, count
  kClassValues = 1u << 2,   // a class's grade, credits or groups
  kGroups = 1u << 3,        // the group list's entries
  kMask = 1u << 4,          // the group mask
  kMethods = 1u << 5,       // the grading methods
  kMethodInUse = 1u << 6,   // which method is in use
  kProtection = 1u << 7,    // whether the book is saved password-protected
};

// The entries a view makes current once a step was made or undone: a semester by name, and a
// class of it by name; empty when the step concerns no semester or class.
struct Place {
  std::optional<std::string> semester;
  std::optional<std::string> cls;
};

class Step {
 public:
  virtual ~Step() = default;
  virtual void Redo(GradeBook& gb) = 0;
  virtual void Undo(GradeBook& gb) = 0;
  // Folds the next step into this one when both are one continued edit (the same class's
  // credits typed digit by digit); false when they are separate steps.
  virtual bool MergeWith(const Step& /*next*/) { return false; }
  // False once merged edits came back to where they started.
  virtual bool Changes() const { return true; }
  // Steps that may merge share a kind above 0; -1 for a step that never merges.
  virtual int MergeId() const { return -1; }

  std::string Name;     // what the step does, "Change Grade"
  unsigned Touches = 0;  // Touch bits
  // The memory the step holds (what it keeps to make and undo the change), in bytes, so that
  // a history can be bounded in bytes as well as in steps.
  std::size_t Bytes = 0;
  Place AfterRedo;       // where the change is, once made
  Place AfterUndo;       // where it was, once undone
};

struct Outcome {
  std::unique_ptr<Step> step;  // the change; null when refused or when nothing changes
  std::string status;          // the status line's message; empty for none
  bool refused = false;        // a check said no (status says why, when it says anything)
};

// Makes the outcome's change, if any. True when something changed.
bool Apply(GradeBook& gb, Outcome& outcome);

// The refusal of a name that a grade book file could not hold.
extern const char* const kUnstorableName;

// ---- Semesters ----
Outcome AddSemester(const GradeBook& gb, const std::string& name);
Outcome RenameSemester(const GradeBook& gb, const std::string& oldName,
                       const std::string& newName);
// Deletes the semester list entry at row and the first semester of its name.
Outcome DeleteSemester(const GradeBook& gb, int row);
// The entries at row and other trade places, each keeping its mark.
Outcome MoveSemester(const GradeBook& gb, int row, int other);

// ---- Classes (of the first semester named semester) ----
Outcome AddClass(const GradeBook& gb, const std::string& semester, const std::string& name,
                 int grade, double credits);
Outcome RenameClass(const GradeBook& gb, const std::string& semester, const std::string& oldName,
                    const std::string& newName);
// Removes the classes named name, as Semester::RemoveClass walks.
Outcome DeleteClass(const GradeBook& gb, const std::string& semester, const std::string& name);
Outcome SetGrade(const GradeBook& gb, const std::string& semester, const std::string& cls,
                 int grade);
// Credits typed digit by digit merge into one step; mergeable false makes a step of its own.
Outcome SetCredits(const GradeBook& gb, const std::string& semester, const std::string& cls,
                   double credits, bool mergeable = true);
// Names the group list does not hold yet are added to it and to the mask, as typed groups are.
Outcome SetClassGroups(const GradeBook& gb, const std::string& semester, const std::string& cls,
                       const std::vector<std::string>& groups);
// Moves a class to the end of the semester named to, which is added when there is none.
Outcome MoveClass(const GradeBook& gb, const std::string& semester, const std::string& cls,
                  const std::string& to);
// A class of a semester, by name.
struct ClassRef {
  std::string semester;
  std::string cls;
  friend bool operator==(const ClassRef&, const ClassRef&) = default;
};
// Deletes the classes as one step ("Delete Class", "Delete 3 Classes"); unknown ones are
// skipped.
Outcome DeleteClasses(const GradeBook& gb, const std::vector<ClassRef>& classes);

// ---- Many classes at once (a paste or an import) ----
// A class to add: its semester (added when the book has none of that name), its values and
// its own groups (added to the group list, and to the mask, when new).
struct NewClass {
  std::string semester;
  std::string name;
  int grade = 0;
  double credits = 0;
  std::vector<std::string> groups;
  friend bool operator==(const NewClass&, const NewClass&) = default;
};

// The checks of new classes, one after the other, with the refusal messages AddClass,
// SetCredits and the naming commands give: an empty or unstorable name (semester, class or
// group), a class name the semester already holds (in the book or among the classes taken
// before), credits past the bound, a grade outside the letter list.
class NewClassCheck {
 public:
  explicit NewClassCheck(const GradeBook& gb) : gb_(gb) {}
  // The refusal of c, or empty when it can be added; then it counts as added.
  std::optional<std::string> Take(const NewClass& c);
  // The semesters and groups the classes taken so far add, in the order first named.
  const std::vector<std::string>& NewSemesters() const { return newSemesters_; }
  const std::vector<std::string>& NewGroups() const { return newGroups_; }

 private:
  const GradeBook& gb_;
  std::unordered_map<std::string, std::unordered_set<std::string>> classNames_;  // by semester
  std::unordered_set<std::string> goodGroups_;  // group names found storable
  std::vector<std::string> newSemesters_, newGroups_;
};

// The refusal of one new class against the book alone.
inline std::optional<std::string> NewClassRefusal(const GradeBook& gb, const NewClass& c) {
  return NewClassCheck(gb).Take(c);
}

// Adds every class as one step named after verb and the count: "Paste 15 Classes",
// "Import 1 Class". Each class is in "Everything" when that group exists (before its own
// groups, unless it lists "Everything" itself). Refused, with the first reason, when any class
// would be refused or two of them share a semester and a name; nothing to do for none.
Outcome AddClasses(const GradeBook& gb, std::vector<NewClass> classes, const std::string& verb);

// ---- Groups ----
// A new group joins the mask; when cls names a class of semester, the class joins the group.
Outcome AddGroup(const GradeBook& gb, const std::string& name, const std::string* semester,
                 const std::string* cls);
Outcome RenameGroup(const GradeBook& gb, int pos, const std::string& newName);
Outcome DeleteGroup(const GradeBook& gb, int pos);
// The mask becomes inMask (one flag per group list entry); row is the entry the user flipped,
// which the message names (-1: no message).
Outcome SetMask(const GradeBook& gb, const std::vector<bool>& inMask, int row);

// ---- Methods ----
Outcome SetMethodInUse(const GradeBook& gb, int pos);
// Everything the method editor changed in one opening: the new methods and the method in use.
Outcome ReplaceMethods(const GradeBook& gb, std::vector<Method> methods, int methodPos);
// The method editor closed with methods as its working list: one step of everything it changed.
// No method in use stays so; the method in use keeps its position while the list still
// reaches it, else the first method (if any) is in use.
Outcome CloseMethodEditor(const GradeBook& gb, std::vector<Method> methods);
// The method editor's own commands, on its working list: the refusal message, or nothing.
std::optional<std::string> AddMethod(std::vector<Method>& methods, const std::string& name);
std::optional<std::string> DeleteMethod(std::vector<Method>& methods, const std::string& name);
void SaveMethod(std::vector<Method>& methods, const std::string& name,
                const std::vector<double>& values);

// ---- Options ----
Outcome SetProtection(const GradeBook& gb, bool isProtected);

}  // namespace mw::edit
