#include "edit/edit.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <unordered_map>
#include <unordered_set>
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
  return HeapBytes(c.Name) + c.Groups.HeapBytes();
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
              const std::string& cls, bool mergeable)
      : at_(at), before_(before), after_(after), mergeable_(mergeable) {
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
  int MergeId() const override { return mergeable_ ? 1 : -1; }

 private:
  ClassAt at_;
  double before_, after_;
  bool mergeable_;
};

// The groups of every class before a change to the group names, for the classes it touches.
struct SavedGroups {
  size_t semester, cls;
  GroupList groups;
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
  for (const auto& s : saved) n += s.groups.HeapBytes();
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
                   double credits, bool mergeable) {
  if (!IsSafeAmount(credits))
    return Refused("Please enter a numeric value for the number of credits.");
  const ClassAt at = FindClassAt(gb, semester, cls);
  if (!at) return Refused();
  const double before = gb.Semesters[static_cast<size_t>(at.semester)].Classes[static_cast<size_t>(at.cls)].Credits;
  std::string status = "Changed credits for class " + cls + " to " + PlainNumber(credits) + ".";
  // The same value changes nothing (0 and -0 are kept apart: a file holds the sign).
  if (before == credits && std::signbit(before) == std::signbit(credits))
    return Done(nullptr, std::move(status));
  return Done(Sized(std::make_unique<CreditsStep>(at, before, credits, semester, cls, mergeable), 0),
              std::move(status));
}

Outcome SetClassGroups(const GradeBook& gb, const std::string& semester, const std::string& cls,
                       const std::vector<std::string>& groups) {
  const ClassAt at = FindClassAt(gb, semester, cls);
  if (!at) return Refused();
  std::vector<std::string> added;
  for (const auto& g : groups) {
    if (g.empty() || !IsStorableName(g)) return Refused(kUnstorableName);
    if (!gb.GroupExists(g) && std::find(added.begin(), added.end(), g) == added.end())
      added.push_back(g);
  }
  std::string status = "Changed groups under which class " + cls + " falls.";
  const Class& before = gb.Semesters[static_cast<size_t>(at.semester)].Classes[static_cast<size_t>(at.cls)];
  if (gb.GroupsOf(before) == groups) return Done(nullptr, std::move(status));
  std::size_t kept = sizeof groups + groups.capacity() * sizeof(std::string) +
                     before.Groups.HeapBytes();
  for (const std::string& g : groups) kept += HeapBytes(g);
  auto step = MakeStep(
      "Change Groups", kClassValues | (added.empty() ? 0u : kGroups | kMask),
      [at, groups, added](GradeBook& gb) {
        for (const auto& g : added) gb.GroupNames.push_back({g, true});
        gb.SetGroups(ClassOf(gb, at), groups);
      },
      [at, old = before.Groups, count = added.size()](GradeBook& gb) {
        gb.GroupNames.resize(gb.GroupNames.size() - count);
        ClassOf(gb, at).Groups = old;
      },
      Place{semester, cls});
  return Done(Sized(std::move(step), kept), std::move(status));
}

Outcome MoveClass(const GradeBook& gb, const std::string& semester, const std::string& cls,
                  const std::string& to) {
  const ClassAt at = FindClassAt(gb, semester, cls);
  if (!at) return Refused();
  if (to == semester) return Done(nullptr);
  if (to.empty()) return Refused("No semester.");
  if (!IsStorableName(to)) return Refused(kUnstorableName);
  const Semester* target = gb.FindSemester(to);
  if (GradeBook::FindClass(target, cls)) return Refused("A class with that name already exists!");
  const bool fresh = target == nullptr;
  auto step = MakeStep(
      "Move Class", kClassList | (fresh ? kSemesterList : 0u),
      [at, to, fresh](GradeBook& gb) {
        if (fresh) {
          Semester s;
          s.SetName(to);
          gb.Semesters.push_back(std::move(s));
          gb.SemesterOrder.push_back({to, true});
        }
        auto& from = gb.Semesters[static_cast<size_t>(at.semester)].Classes;
        Class moved = std::move(from[static_cast<size_t>(at.cls)]);
        from.erase(from.begin() + at.cls);
        gb.Semesters[static_cast<size_t>(gb.SemesterIndex(to))].AddClass(std::move(moved));
      },
      [at, to, fresh](GradeBook& gb) {
        auto& target = gb.Semesters[static_cast<size_t>(gb.SemesterIndex(to))].Classes;
        Class moved = std::move(target.back());
        target.pop_back();
        auto& from = gb.Semesters[static_cast<size_t>(at.semester)].Classes;
        from.insert(from.begin() + at.cls, std::move(moved));
        if (fresh) {
          gb.Semesters.pop_back();
          gb.SemesterOrder.pop_back();
        }
      });
  step->AfterRedo = Place{to, cls};
  step->AfterUndo = Place{semester, cls};
  return Done(Sized(std::move(step), Kept(to)), "Moved class " + cls + " to " + to + ".");
}

Outcome DeleteClasses(const GradeBook& gb, const std::vector<ClassRef>& classes) {
  // The positions of each semester in ascending order, with the classes they hold, so that
  // undo puts every class back where it was. Each direction is one pass over a semester.
  struct Cut {
    size_t semester;
    std::vector<size_t> positions;
    std::vector<Class> removed;
  };
  std::vector<std::pair<size_t, size_t>> at;
  at.reserve(classes.size());
  for (const auto& ref : classes)
    if (const ClassAt found = FindClassAt(gb, ref.semester, ref.cls))
      at.emplace_back(static_cast<size_t>(found.semester), static_cast<size_t>(found.cls));
  std::sort(at.begin(), at.end());
  at.erase(std::unique(at.begin(), at.end()), at.end());
  if (at.empty()) return Done(nullptr);
  std::vector<Cut> cuts;
  for (const auto& [s, c] : at) {
    if (cuts.empty() || cuts.back().semester != s) cuts.push_back({s, {}, {}});
    cuts.back().positions.push_back(c);
    cuts.back().removed.push_back(gb.Semesters[s].Classes[c]);
  }
  const size_t count = at.size();
  std::string name = count == 1 ? "Delete Class" : "Delete " + std::to_string(count) + " Classes";
  auto shared = std::make_shared<const std::vector<Cut>>(std::move(cuts));
  auto step = MakeStep(
      std::move(name), kClassList,
      [shared](GradeBook& gb) {
        for (const auto& cut : *shared) {
          auto& list = gb.Semesters[cut.semester].Classes;
          std::vector<Class> kept;
          kept.reserve(list.size() - cut.positions.size());
          for (size_t i = 0, k = 0; i < list.size(); ++i) {
            if (k < cut.positions.size() && cut.positions[k] == i)
              ++k;
            else
              kept.push_back(std::move(list[i]));
          }
          list = std::move(kept);
        }
      },
      [shared](GradeBook& gb) {
        for (const auto& cut : *shared) {
          auto& list = gb.Semesters[cut.semester].Classes;
          std::vector<Class> whole;
          whole.reserve(list.size() + cut.positions.size());
          for (size_t i = 0, k = 0, rest = 0; i < list.size() + cut.positions.size(); ++i) {
            if (k < cut.positions.size() && cut.positions[k] == i)
              whole.push_back(cut.removed[k++]);
            else
              whole.push_back(std::move(list[rest++]));
          }
          list = std::move(whole);
        }
      },
      Place{gb.Semesters[at.front().first].Name, std::nullopt});
  std::size_t kept = 0;
  for (const auto& cut : *shared) {
    kept += sizeof cut + cut.positions.capacity() * sizeof(size_t);
    for (const Class& c : cut.removed) kept += Kept(c);
  }
  return Done(Sized(std::move(step), kept), count == 1 ? "Deleted 1 class."
                                          : "Deleted " + std::to_string(count) + " classes.");
}

// ---- Many classes at once ----

namespace {

// IsStorableName, without its conversion for the common plain ASCII name.
bool Storable(std::string_view name) {
  for (char ch : name)
    if (static_cast<unsigned char>(ch) >= 0x80 || ch == '\r' || ch == '\n' || ch == '\0')
      return IsStorableName(name);
  return true;
}

// The positions of semesters by name (the first of each name), each looked up once.
class SemesterPositions {
 public:
  explicit SemesterPositions(const GradeBook& gb) : gb_(gb) {}
  size_t operator()(const std::string& name) {
    auto [it, fresh] = at_.try_emplace(name, 0);
    if (fresh) it->second = static_cast<size_t>(gb_.SemesterIndex(name));
    return it->second;
  }

 private:
  const GradeBook& gb_;
  std::unordered_map<std::string_view, size_t> at_;
};

}  // namespace

std::optional<std::string> NewClassCheck::Take(const NewClass& c) {
  if (c.semester.empty()) return "No semester.";
  if (c.name.empty()) return "No class name.";
  if (!IsSafeAmount(c.credits)) return "Please enter a numeric value for the number of credits.";
  if (c.grade < 0 || c.grade >= kGradeCount) return "Not a letter grade.";
  if (!Storable(c.name)) return kUnstorableName;
  for (const auto& g : c.groups) {
    if (goodGroups_.count(g)) continue;
    if (g.empty() || !Storable(g)) return kUnstorableName;
    goodGroups_.insert(g);
    if (!gb_.GroupExists(g)) newGroups_.push_back(g);
  }
  auto found = classNames_.find(c.semester);
  if (found == classNames_.end()) {
    if (!Storable(c.semester)) return kUnstorableName;
    found = classNames_.try_emplace(c.semester).first;
    if (const Semester* s = gb_.FindSemester(c.semester))
      for (const auto& existing : s->Classes) found->second.insert(existing.Name);
    else
      newSemesters_.push_back(c.semester);
  }
  if (!found->second.insert(c.name).second) return "A class with that name already exists!";
  return std::nullopt;
}

Outcome AddClasses(const GradeBook& gb, std::vector<NewClass> classes, const std::string& verb) {
  if (classes.empty()) return Done(nullptr);
  NewClassCheck check(gb);
  for (const auto& c : classes)
    if (auto why = check.Take(c)) return Refused(*why);
  std::vector<std::string> newSemesters = check.NewSemesters(), newGroups = check.NewGroups();
  const bool everything = gb.GroupExists("Everything");
  const size_t count = classes.size();
  std::string name = verb + " " + std::to_string(count) + (count == 1 ? " Class" : " Classes");
  std::size_t kept = classes.capacity() * sizeof(NewClass);
  for (const auto& c : classes) {
    kept += HeapBytes(c.semester) + HeapBytes(c.name) + c.groups.capacity() * sizeof(std::string);
    for (const auto& g : c.groups) kept += HeapBytes(g);
  }
  for (const auto& n : newSemesters) kept += Kept(n);
  for (const auto& n : newGroups) kept += Kept(n);
  Place last{classes.back().semester, classes.back().name};
  // How many classes each semester gets, for the undo.
  std::vector<std::pair<std::string, size_t>> added;
  for (const auto& c : classes) {
    if (added.empty() || added.back().first != c.semester) added.emplace_back(c.semester, 0);
    ++added.back().second;
  }
  auto redo = [classes = std::move(classes), newSemesters, newGroups, everything](GradeBook& gb) {
    for (const auto& s : newSemesters) {
      Semester semester;
      semester.SetName(s);
      gb.Semesters.push_back(std::move(semester));
      gb.SemesterOrder.push_back({s, true});
    }
    for (const auto& g : newGroups) gb.GroupNames.push_back({g, true});
    SemesterPositions SemesterAt(gb);
    for (const auto& c : classes) {
      Class added;
      added.SetName(c.name);
      added.Grade = static_cast<int16_t>(c.grade);
      added.Credits = c.credits;
      std::vector<std::string> groups;
      if (everything && std::find(c.groups.begin(), c.groups.end(), "Everything") == c.groups.end())
        groups.push_back("Everything");
      for (const auto& g : c.groups)
        if (std::find(groups.begin(), groups.end(), g) == groups.end()) groups.push_back(g);
      gb.SetGroups(added, groups);
      gb.Semesters[SemesterAt(c.semester)].AddClass(std::move(added));
    }
  };
  auto undo = [added = std::move(added), newSemesters, newGroups](GradeBook& gb) {
    SemesterPositions SemesterAt(gb);
    for (const auto& [semester, n] : added) {
      auto& classes = gb.Semesters[SemesterAt(semester)].Classes;
      classes.resize(classes.size() - n);
    }
    gb.GroupNames.resize(gb.GroupNames.size() - newGroups.size());
    gb.Semesters.resize(gb.Semesters.size() - newSemesters.size());
    gb.SemesterOrder.resize(gb.SemesterOrder.size() - newSemesters.size());
  };
  auto step = MakeStep(std::move(name), kSemesterList | kClassList | kGroups | kMask,
                       std::move(redo), std::move(undo));
  step->AfterRedo = std::move(last);
  return Done(Sized(std::move(step), kept),
              "Added " + std::to_string(count) + (count == 1 ? " class." : " classes."));
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

Outcome CloseMethodEditor(const GradeBook& gb, std::vector<Method> methods) {
  const int before = gb.MethodPos;
  const bool none = before < 0 || before >= static_cast<int>(gb.Methods.size());
  const int count = static_cast<int>(methods.size());
  const int pos = none ? -1 : (before < count ? before : (count > 0 ? 0 : -1));
  if (none && methods == gb.Methods) return Done(nullptr);
  return ReplaceMethods(gb, std::move(methods), pos);
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
