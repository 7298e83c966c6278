#include "edit/edit.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include "model/amount.h"
#include "model/codepage.h"
#include "model/numtext.h"

namespace mw::edit {

const char* const kUnstorableName =
    "That name cannot be kept in a Markwell file (it holds a line break or a character outside "
    "Western European text); please type another.";

namespace {

// A step given as its two directions. Steps find what they change by position: the history
// undoes them in reverse order, so every position is the one the step saw.
class FnStep : public Step {
 public:
  using Fn = std::function<void(GradeBook&)>;
  FnStep(std::string name, unsigned touches, Fn redo, Fn undo)
      : redo_(std::move(redo)), undo_(std::move(undo)) {
    Name = std::move(name);
    Touches = touches;
  }
  void Redo(GradeBook& gb) override { redo_(gb); }
  void Undo(GradeBook& gb) override { undo_(gb); }

 private:
  Fn redo_, undo_;
};

Outcome Done(std::unique_ptr<Step> step, std::string status = {}) {
  Outcome o;
  o.step = std::move(step);
  o.status = std::move(status);
  return o;
}

Outcome Refused(std::string status = {}) {
  Outcome o;
  o.refused = true;
  o.status = std::move(status);
  return o;
}

// Bytes held by what a step keeps: a text past the string's own small buffer, classes with
// their names and group lists, whole semesters and methods.
std::size_t HeapBytes(const std::string& s) { return s.capacity() > 15 ? s.capacity() + 1 : 0; }
std::size_t HeapBytes(const Class& c) {
  return HeapBytes(c.Name) + c.Groups.capacity() * sizeof(GroupId);
}
std::size_t Kept(const std::string& s) { return sizeof s + HeapBytes(s); }
std::size_t Kept(const Class& c) { return sizeof c + HeapBytes(c); }
std::size_t Kept(const Semester& s) {
  std::size_t n = sizeof s + HeapBytes(s.Name) + s.Classes.capacity() * sizeof(Class);
  for (const Class& c : s.Classes) n += HeapBytes(c);
  return n;
}
std::size_t Kept(const std::vector<Method>& methods) {
  std::size_t n = sizeof methods + methods.capacity() * sizeof(Method);
  for (const Method& m : methods) n += HeapBytes(m.Name);
  return n;
}

// A step's own size with what its two directions keep (`kept` bytes) and its places.
std::size_t StepBytes(const Step& step, std::size_t own, std::size_t kept) {
  std::size_t n = own + HeapBytes(step.Name) + kept;
  for (const Place* p : {&step.AfterRedo, &step.AfterUndo}) {
    if (p->semester) n += HeapBytes(*p->semester);
    if (p->cls) n += HeapBytes(*p->cls);
  }
  return n;
}

std::unique_ptr<FnStep> MakeStep(std::string name, unsigned touches, FnStep::Fn redo,
                                 FnStep::Fn undo, Place where = {}) {
  auto step = std::make_unique<FnStep>(std::move(name), touches, std::move(redo), std::move(undo));
  step->AfterRedo = where;
  step->AfterUndo = std::move(where);
  return step;
}

// Sets the step's byte size, kept being what its directions hold beyond the step itself.
template <typename S>
std::unique_ptr<S> Sized(std::unique_ptr<S> step, std::size_t kept) {
  step->Bytes = StepBytes(*step, sizeof(S), kept);
  return step;
}

// Position of the first semester named name and of its first class named cls.
struct ClassAt {
  int semester = -1;
  int cls = -1;
  explicit operator bool() const { return cls >= 0; }
};

ClassAt FindClassAt(const GradeBook& gb, const std::string& semester, const std::string& cls) {
  ClassAt at;
  at.semester = gb.SemesterIndex(semester);
  if (at.semester < 0) return at;
  const auto& classes = gb.Semesters[static_cast<size_t>(at.semester)].Classes;
  for (size_t i = 0; i < classes.size(); ++i)
    if (classes[i].Name == cls) {
      at.cls = static_cast<int>(i);
      break;
    }
  return at;
}

Class& ClassOf(GradeBook& gb, ClassAt at) {
  return gb.Semesters[static_cast<size_t>(at.semester)].Classes[static_cast<size_t>(at.cls)];
}

// A change of one class from before to after (name, grade, credits or groups).
std::unique_ptr<Step> ClassStep(std::string name, unsigned touches, ClassAt at, Class before,
                                Class after, const std::string& semester) {
  Place redoPlace{semester, after.Name}, undoPlace{semester, before.Name};
  auto step = MakeStep(
      std::move(name), touches,
      [at, after](GradeBook& gb) { ClassOf(gb, at) = after; },
      [at, before](GradeBook& gb) { ClassOf(gb, at) = before; });
  step->AfterRedo = std::move(redoPlace);
  step->AfterUndo = std::move(undoPlace);
  return Sized(std::move(step), 2 * Kept(before));  // before and after
}

// Consecutive edits of the same class's credits are one step.
class CreditsStep : public Step {
 public:
  CreditsStep(ClassAt at, double before, double after, const std::string& semester,
              const std::string& cls)
      : at_(at), before_(before), after_(after) {
    Name = "Change Credits";
    Touches = kClassValues;
    AfterRedo = AfterUndo = Place{semester, cls};
  }
  void Redo(GradeBook& gb) override { ClassOf(gb, at_).Credits = after_; }
  void Undo(GradeBook& gb) override { ClassOf(gb, at_).Credits = before_; }
  bool MergeWith(const Step& next) override {
    const auto* other = dynamic_cast<const CreditsStep*>(&next);
    if (!other || other->at_.semester != at_.semester || other->at_.cls != at_.cls) return false;
    after_ = other->after_;
    return true;
  }
  bool Changes() const override {
    return before_ != after_ || std::signbit(before_) != std::signbit(after_);
  }

 private:
  ClassAt at_;
  double before_, after_;
};

// The groups of every class before a change to the group names, for the classes it touches.
struct SavedGroups {
  size_t semester, cls;
  std::vector<GroupId> groups;
};

std::vector<SavedGroups> GroupsHolding(const GradeBook& gb, std::string_view name) {
  std::vector<SavedGroups> saved;
  const auto id = gb.GroupIdOf(name);
  if (!id) return saved;
  for (size_t s = 0; s < gb.Semesters.size(); ++s) {
    const auto& classes = gb.Semesters[s].Classes;
    for (size_t c = 0; c < classes.size(); ++c)
      if (std::find(classes[c].Groups.begin(), classes[c].Groups.end(), *id) !=
          classes[c].Groups.end())
        saved.push_back({s, c, classes[c].Groups});
  }
  return saved;
}

std::size_t Kept(const std::vector<SavedGroups>& saved) {
  std::size_t n = sizeof saved + saved.capacity() * sizeof(SavedGroups);
  for (const auto& s : saved) n += s.groups.capacity() * sizeof(GroupId);
  return n;
}

void Restore(GradeBook& gb, const std::vector<SavedGroups>& saved) {
  for (const auto& s : saved) gb.Semesters[s.semester].Classes[s.cls].Groups = s.groups;
}

}  // namespace

bool Apply(GradeBook& gb, Outcome& outcome) {
  if (!outcome.step) return false;
  outcome.step->Redo(gb);
  return true;
}

// ---- Semesters ----

Outcome AddSemester(const GradeBook& gb, const std::string& name) {
  if (name.empty()) return Refused();
  if (gb.FindSemester(name)) return Refused("A semester with that name already exists!");
  if (!IsStorableName(name)) return Refused(kUnstorableName);
  auto step = MakeStep(
      "Add Semester", kSemesterList,
      [name](GradeBook& gb) {
        Semester s;
        s.SetName(name);
        gb.Semesters.push_back(std::move(s));
        gb.SemesterOrder.push_back({name, true});
      },
      [](GradeBook& gb) {
        gb.Semesters.pop_back();
        gb.SemesterOrder.pop_back();
      });
  step->AfterRedo = Place{name, std::nullopt};
  return Done(Sized(std::move(step), Kept(name)), "Semester " + name + " added.");
}

Outcome RenameSemester(const GradeBook& gb, const std::string& oldName,
                       const std::string& newName) {
  const int index = gb.SemesterIndex(oldName);
  if (index < 0) return Refused();
  if (gb.FindSemester(newName)) return Refused("A semester with that name already exists!");
  if (newName.empty()) return Refused();
  if (!IsStorableName(newName)) return Refused(kUnstorableName);
  const int row = gb.SemesterEntryIndex(oldName);
  auto rename = [index, row](const std::string& to) {
    return [index, row, to](GradeBook& gb) {
      gb.Semesters[static_cast<size_t>(index)].Name = to;
      if (row >= 0) gb.SemesterOrder[static_cast<size_t>(row)].Name = to;
    };
  };
  auto step = MakeStep("Rename Semester", kSemesterList, rename(newName), rename(oldName));
  step->AfterRedo = Place{newName, std::nullopt};
  step->AfterUndo = Place{oldName, std::nullopt};
  return Done(Sized(std::move(step), Kept(newName) + Kept(oldName)));
}

Outcome DeleteSemester(const GradeBook& gb, int row) {
  if (row < 0 || row >= static_cast<int>(gb.SemesterOrder.size())) return Refused();
  const SemesterEntry entry = gb.SemesterOrder[static_cast<size_t>(row)];
  const int index = gb.SemesterIndex(entry.Name);
  std::optional<Semester> removed;
  if (index >= 0) removed = gb.Semesters[static_cast<size_t>(index)];
  auto step = MakeStep(
      "Delete Semester", kSemesterList,
      [row, name = entry.Name](GradeBook& gb) {
        gb.RemoveSemester(name);  // the first semester of the entry's name, as index above
        gb.SemesterOrder.erase(gb.SemesterOrder.begin() + row);
      },
      [row, index, entry, removed](GradeBook& gb) {
        if (index >= 0) gb.Semesters.insert(gb.Semesters.begin() + index, *removed);
        gb.SemesterOrder.insert(gb.SemesterOrder.begin() + row, entry);
      });
  step->AfterUndo = Place{entry.Name, std::nullopt};
  const std::size_t kept = 2 * Kept(entry.Name) + (removed ? Kept(*removed) : 0);
  return Done(Sized(std::move(step), kept), "Semester deleted.");
}

Outcome MoveSemester(const GradeBook& gb, int row, int other) {
  const int count = static_cast<int>(gb.SemesterOrder.size());
  if (row < 0 || row >= count || other < 0 || other >= count || row == other) return Refused();
  auto swap = [row, other](GradeBook& gb) {
    std::swap(gb.SemesterOrder[static_cast<size_t>(row)],
              gb.SemesterOrder[static_cast<size_t>(other)]);
  };
  const std::string name = gb.SemesterOrder[static_cast<size_t>(row)].Name;
  return Done(Sized(MakeStep("Move Semester", kSemesterList, swap, swap, Place{name, std::nullopt}), 0));
}

// ---- Classes ----

Outcome AddClass(const GradeBook& gb, const std::string& semester, const std::string& name,
                 int grade, double credits) {
  const int index = gb.SemesterIndex(semester);
  if (name.empty() || index < 0) return Refused();
  if (GradeBook::FindClass(&gb.Semesters[static_cast<size_t>(index)], name))
    return Refused("A class with that name already exists!");
  if (!IsStorableName(name)) return Refused(kUnstorableName);
  const bool everything = gb.GroupExists("Everything");
  auto step = MakeStep(
      "Add Class", kClassList,
      [=](GradeBook& gb) {
        Class c;
        c.SetName(name);
        c.Grade = static_cast<int16_t>(grade);
        c.Credits = credits;
        if (everything) c.Groups.push_back(gb.InternGroup("Everything"));
        gb.Semesters[static_cast<size_t>(index)].AddClass(std::move(c));
      },
      [index](GradeBook& gb) { gb.Semesters[static_cast<size_t>(index)].Classes.pop_back(); });
  step->AfterRedo = Place{semester, std::nullopt};
  step->AfterUndo = Place{semester, std::nullopt};
  return Done(Sized(std::move(step), Kept(name)), "Added class " + name + ".");
}

Outcome RenameClass(const GradeBook& gb, const std::string& semester, const std::string& oldName,
                    const std::string& newName) {
  const ClassAt at = FindClassAt(gb, semester, oldName);
  if (!at) return Refused();
  if (GradeBook::FindClass(&gb.Semesters[static_cast<size_t>(at.semester)], newName))
    return Refused("A class with that name already exists!");
  if (newName.empty()) return Refused();
  if (!IsStorableName(newName)) return Refused(kUnstorableName);
  const Class& before = gb.Semesters[static_cast<size_t>(at.semester)].Classes[static_cast<size_t>(at.cls)];
  Class after = before;
  after.Name = newName;
  return Done(ClassStep("Rename Class", kClassList, at, before, std::move(after), semester));
}

Outcome DeleteClass(const GradeBook& gb, const std::string& semester, const std::string& name) {
  const int index = gb.SemesterIndex(semester);
  if (index < 0) return Refused();
  // The positions Semester::RemoveClass takes out: its walk moves on after every removal, so
  // of two neighbours of the same name it takes the first only.
  const auto& classes = gb.Semesters[static_cast<size_t>(index)].Classes;
  std::vector<std::pair<size_t, Class>> removed;  // positions before the removal
  for (size_t p = 0, shift = 0; p + shift < classes.size(); ++p) {
    if (classes[p + shift].Name == name) {
      removed.emplace_back(p + shift, classes[p + shift]);
      ++shift;
    }
  }
  if (removed.empty()) return Refused();
  auto step = MakeStep(
      "Delete Class", kClassList,
      [index, name](GradeBook& gb) { gb.Semesters[static_cast<size_t>(index)].RemoveClass(name); },
      [index, removed](GradeBook& gb) {
        auto& cs = gb.Semesters[static_cast<size_t>(index)].Classes;
        for (const auto& [pos, c] : removed) cs.insert(cs.begin() + static_cast<std::ptrdiff_t>(pos), c);
      });
  step->AfterRedo = Place{semester, std::nullopt};
  step->AfterUndo = Place{semester, name};
  std::size_t kept = Kept(name) + removed.capacity() * sizeof(removed[0]);
  for (const auto& r : removed) kept += HeapBytes(r.second);
  return Done(Sized(std::move(step), kept));
}

Outcome SetGrade(const GradeBook& gb, const std::string& semester, const std::string& cls,
                 int grade) {
  const ClassAt at = FindClassAt(gb, semester, cls);
  if (!at) return Refused();
  const Class& before = gb.Semesters[static_cast<size_t>(at.semester)].Classes[static_cast<size_t>(at.cls)];
  std::string status = "Changed grade for class " + cls + ".";
  if (grade < 0 || grade >= kGradeCount || grade == before.Grade) return Done(nullptr, status);
  Class after = before;
  after.Grade = static_cast<int16_t>(grade);
  return Done(ClassStep("Change Grade", kClassValues, at, before, std::move(after), semester),
              std::move(status));
}

Outcome SetCredits(const GradeBook& gb, const std::string& semester, const std::string& cls,
                   double credits) {
  if (!IsSafeAmount(credits))
    return Refused("Please enter a numeric value for the number of credits.");
  const ClassAt at = FindClassAt(gb, semester, cls);
  if (!at) return Refused();
  const double before = gb.Semesters[static_cast<size_t>(at.semester)].Classes[static_cast<size_t>(at.cls)].Credits;
  std::string status = "Changed credits for class " + cls + " to " + PlainNumber(credits) + ".";
  // The same value changes nothing (0 and -0 are kept apart: a file holds the sign).
  if (before == credits && std::signbit(before) == std::signbit(credits))
    return Done(nullptr, std::move(status));
  return Done(Sized(std::make_unique<CreditsStep>(at, before, credits, semester, cls), 0),
              std::move(status));
}

Outcome SetClassGroups(const GradeBook& gb, const std::string& semester, const std::string& cls,
                       const std::vector<std::string>& groups) {
  const ClassAt at = FindClassAt(gb, semester, cls);
  if (!at) return Refused();
  std::string status = "Changed groups under which class " + cls + " falls.";
  const Class& before = gb.Semesters[static_cast<size_t>(at.semester)].Classes[static_cast<size_t>(at.cls)];
  if (gb.GroupsOf(before) == groups) return Done(nullptr, std::move(status));
  std::size_t kept = sizeof groups + groups.capacity() * sizeof(std::string) +
                     before.Groups.capacity() * sizeof(GroupId);
  for (const std::string& g : groups) kept += HeapBytes(g);
  auto step = MakeStep(
      "Change Groups", kClassValues,
      [at, groups](GradeBook& gb) { gb.SetGroups(ClassOf(gb, at), groups); },
      [at, old = before.Groups](GradeBook& gb) { ClassOf(gb, at).Groups = old; },
      Place{semester, cls});
  return Done(Sized(std::move(step), kept), std::move(status));
}

// ---- Groups ----

Outcome AddGroup(const GradeBook& gb, const std::string& name, const std::string* semester,
                 const std::string* cls) {
  if (name.empty()) return Refused();
  if (gb.GroupExists(name)) return Refused("A group of that name already exists!");
  if (!IsStorableName(name)) return Refused(kUnstorableName);
  ClassAt at;
  if (semester && cls) at = FindClassAt(gb, *semester, *cls);
  auto step = MakeStep(
      "Add Group", kGroups | kMask | (at ? kClassValues : 0u),
      [name, at](GradeBook& gb) {
        gb.GroupNames.push_back({name, true});
        if (at) ClassOf(gb, at).Groups.push_back(gb.InternGroup(name));
      },
      [at](GradeBook& gb) {
        gb.GroupNames.pop_back();
        if (at) ClassOf(gb, at).Groups.pop_back();
      });
  if (at) step->AfterRedo = step->AfterUndo = Place{*semester, *cls};
  return Done(Sized(std::move(step), Kept(name)), "Group " + name + " added.");
}

Outcome RenameGroup(const GradeBook& gb, int pos, const std::string& newName) {
  if (pos < 0 || pos >= static_cast<int>(gb.GroupNames.size()) || newName.empty())
    return Refused();
  if (gb.GroupExists(newName)) return Refused("A group with that name already exists!");
  if (!IsStorableName(newName)) return Refused(kUnstorableName);
  const std::string oldName = gb.GroupNames[static_cast<size_t>(pos)].Name;
  auto saved = GroupsHolding(gb, oldName);
  const std::size_t kept = 2 * Kept(oldName) + Kept(newName) + Kept(saved);
  return Done(Sized(MakeStep(
      "Rename Group", kGroups | kClassValues,
      [pos, oldName, newName](GradeBook& gb) {
        gb.GroupNames[static_cast<size_t>(pos)].Name = newName;
        gb.RenameGroupInClasses(oldName, newName);
      },
      [pos, oldName, saved = std::move(saved)](GradeBook& gb) {
        gb.GroupNames[static_cast<size_t>(pos)].Name = oldName;
        Restore(gb, saved);
      }), kept));
}

Outcome DeleteGroup(const GradeBook& gb, int pos) {
  if (pos < 0 || pos >= static_cast<int>(gb.GroupNames.size())) return Refused();
  const GroupEntry entry = gb.GroupNames[static_cast<size_t>(pos)];
  auto saved = GroupsHolding(gb, entry.Name);
  const std::size_t kept = 2 * Kept(entry.Name) + Kept(saved);
  return Done(Sized(MakeStep(
      "Delete Group", kGroups | kMask | kClassValues,
      [pos, name = entry.Name](GradeBook& gb) {
        gb.GroupNames.erase(gb.GroupNames.begin() + pos);
        gb.RemoveGroupFromClasses(name);
      },
      [pos, entry, saved = std::move(saved)](GradeBook& gb) {
        gb.GroupNames.insert(gb.GroupNames.begin() + pos, entry);
        Restore(gb, saved);
      }), kept));
}

Outcome SetMask(const GradeBook& gb, const std::vector<bool>& inMask, int row) {
  std::string status;
  if (row >= 0 && row < static_cast<int>(gb.GroupNames.size()) &&
      row < static_cast<int>(inMask.size())) {
    const std::string& name = gb.GroupNames[static_cast<size_t>(row)].Name;
    status = inMask[static_cast<size_t>(row)] ? "Added group " + name + " to group mask."
                                              : "Removed group " + name + " from group mask.";
  }
  std::vector<bool> before;
  for (const auto& g : gb.GroupNames) before.push_back(g.InMask);
  std::vector<bool> after = before;
  for (size_t i = 0; i < after.size() && i < inMask.size(); ++i) after[i] = inMask[i];
  if (after == before) return Done(nullptr, std::move(status));
  auto set = [](std::vector<bool> flags) {
    return [flags = std::move(flags)](GradeBook& gb) {
      for (size_t i = 0; i < flags.size() && i < gb.GroupNames.size(); ++i)
        gb.GroupNames[i].InMask = flags[i];
    };
  };
  const std::size_t kept = 2 * (sizeof after + after.size() / 8 + 1);
  return Done(Sized(MakeStep("Change Group Mask", kMask, set(after), set(before)), kept),
              std::move(status));
}

// ---- Methods ----

Outcome SetMethodInUse(const GradeBook& gb, int pos) {
  if (pos < -1 || pos >= static_cast<int>(gb.Methods.size())) return Refused();
  const int before = gb.MethodPos;
  std::string name = pos >= 0 ? gb.Methods[static_cast<size_t>(pos)].Name : std::string();
  std::string status = "Changed grading method to \"" + name + "\".";
  if (pos == before) return Done(nullptr, std::move(status));
  return Done(Sized(MakeStep(
                        "Change Method", kMethodInUse,
                        [pos](GradeBook& gb) { gb.MethodPos = pos; },
                        [before](GradeBook& gb) { gb.MethodPos = before; }),
                    0),
              std::move(status));
}

Outcome ReplaceMethods(const GradeBook& gb, std::vector<Method> methods, int methodPos) {
  if (methods == gb.Methods && methodPos == gb.MethodPos) return Done(nullptr);
  auto set = [](std::vector<Method> m, int pos) {
    return [m = std::move(m), pos](GradeBook& gb) {
      gb.Methods = m;
      gb.MethodPos = pos;
    };
  };
  const std::size_t kept = Kept(methods) + Kept(gb.Methods);
  return Done(Sized(MakeStep("Edit Methods", kMethods | kMethodInUse,
                             set(std::move(methods), methodPos), set(gb.Methods, gb.MethodPos)),
                    kept));
}

std::optional<std::string> AddMethod(std::vector<Method>& methods, const std::string& name) {
  if (std::any_of(methods.begin(), methods.end(), [&](const Method& m) { return m.Name == name; }))
    return "A method with that name already exists!";
  // A name the grade book file cannot hold would make the next save fail.
  if (!IsStorableName(name))
    return "That name cannot be saved in a Markwell file. Please use only Western European "
           "letters, digits and punctuation.";
  Method m;
  m.Name = name;  // all 13 values of a new method are 0
  methods.push_back(std::move(m));
  return std::nullopt;
}

std::optional<std::string> DeleteMethod(std::vector<Method>& methods, const std::string& name) {
  if (methods.size() <= 1) return "There must be at least one grading method!";
  std::erase_if(methods, [&name](const Method& m) { return m.Name == name; });
  return std::nullopt;
}

void SaveMethod(std::vector<Method>& methods, const std::string& name,
                const std::vector<double>& values) {
  auto it = std::find_if(methods.begin(), methods.end(),
                         [&](const Method& m) { return m.Name == name; });
  if (it == methods.end()) return;
  for (int i = 0; i < kGradeCount && i < static_cast<int>(values.size()); ++i)
    it->SetSpecific(i, values[static_cast<size_t>(i)]);
}

// ---- Options ----

Outcome SetProtection(const GradeBook& gb, bool isProtected) {
  if (gb.IsPassProtected == isProtected) return Done(nullptr);
  return Done(Sized(MakeStep(
                        "Change Protection", kProtection,
                        [isProtected](GradeBook& gb) { gb.IsPassProtected = isProtected; },
                        [isProtected](GradeBook& gb) { gb.IsPassProtected = !isProtected; }),
                    0));
}

}  // namespace mw::edit
