#include "model/gpa.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>
#include <unordered_set>

#include "model/numtext.h"

namespace mw {

ClassGpa UpdateClassGPABox(GradeBook& gb) {
  const Method* m = gb.GetMethod(gb.MethodText());
  ClassGpa out;
  out.GradePoints = m ? m->GetEquiv(gb.GradePos) : 0.0;
  out.Text = Format2(out.GradePoints);
  return out;
}

namespace {

// The group mask as a small open-addressing table of names, built once per update, so that a
// class's membership test costs one cheap probe per group it belongs to instead of a walk over
// the whole group list. Gives the same answer as GradeBook::InGroupMask.
class MaskSet {
 public:
  explicit MaskSet(const GradeBook& gb) {
    size_t count = 0;
    for (const auto& g : gb.GroupNames) count += g.InMask ? 1 : 0;
    size_t size = 16;
    while (size < count * 4) size *= 2;
    slots_.assign(size, Slot{});
    mask_ = size - 1;
    for (const auto& g : gb.GroupNames)
      if (g.InMask) Insert(g.Name);
    empty_ = count == 0;
  }

  bool Contains(const GroupList& groups) const {
    if (empty_) return false;
    for (const auto& g : groups)
      if (Find(g)) return true;
    return false;
  }

 private:
  struct Slot {
    std::string_view name;
    bool used = false;
  };

  static size_t Hash(std::string_view s) {
    uint64_t head = 0, tail = 0;
    std::memcpy(&head, s.data(), std::min<size_t>(s.size(), 8));
    if (s.size() > 8) std::memcpy(&tail, s.data() + s.size() - 8, 8);
    uint64_t h = (head * 0x9E3779B97F4A7C15ull) ^ (tail * 0xC2B2AE3D27D4EB4Full) ^ s.size();
    h ^= h >> 29;
    return static_cast<size_t>(h * 0xBF58476D1CE4E5B9ull >> 32);
  }
  void Insert(std::string_view name) {
    for (size_t i = Hash(name) & mask_;; i = (i + 1) & mask_) {
      if (!slots_[i].used) {
        slots_[i] = {name, true};
        return;
      }
      if (slots_[i].name == name) return;
    }
  }
  bool Find(std::string_view name) const {
    for (size_t i = Hash(name) & mask_;; i = (i + 1) & mask_) {
      if (!slots_[i].used) return false;
      if (slots_[i].name == name) return true;
    }
  }

  std::vector<Slot> slots_;
  size_t mask_ = 0;
  bool empty_ = true;
};

}  // namespace

GpaFigures UpdateGPABoxes(GradeBook& gb) {
  const Method* m = gb.GetMethod(gb.MethodText());
  const std::string cur = gb.CurrentSemesterText();

  std::unordered_set<std::string_view> marked;
  for (const auto& e : gb.SemesterOrder)
    if (e.Marked) marked.insert(e.Name);
  const MaskSet mask(gb);

  double P = 0, C = 0, Ps = 0, Cs = 0, A = 0;
  int64_t k = 0;
  for (const auto& s : gb.Semesters) {
    if (!marked.count(s.Name)) continue;
    const bool isCurrent = s.Name == cur;
    const size_t n = s.Classes.size();
    for (size_t i = 0; i < n; ++i) {
      const Class& c = s.Classes[i];
      A += c.Credits;
      if (!mask.Contains(c.Groups)) continue;
      const double gp = m ? m->GetEquiv(c.Grade) : 0.0;
      P += gp * c.Credits;
      C += c.Credits;
      k += 1;
      if (isCurrent) {
        Cs += c.Credits;
        Ps += gp * c.Credits;
      }
    }
  }

  GpaFigures f;
  f.ClassCount = k;
  f.CountedCredits = C;
  f.AllCredits = A;
  f.CountCaption = k == 1 ? "(1 class)" : "(" + std::to_string(k) + " classes)";
  f.CountTooltip = "(" + GeneralNumber(C) + "/" + GeneralNumber(A) + " credits)";
  if (C == 0) C = 1;
  if (Cs == 0) Cs = 1;
  gb.MaskGPA = P / C;
  gb.MaskClassCount = k;
  gb.MaskCredits = C;
  f.OverallGPA = gb.MaskGPA;
  f.SemesterGPA = Ps / Cs;
  f.OverallGPAText = Format3(f.OverallGPA);
  f.SemGPAText = Format3(f.SemesterGPA);
  return f;
}

}  // namespace mw
