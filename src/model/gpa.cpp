#include "model/gpa.h"

#include <string_view>
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

// The group mask as a set of names, built once per update, so that a class's membership test
// costs one look-up per group it belongs to. Gives the same answer as GradeBook::InGroupMask.
class MaskSet {
 public:
  explicit MaskSet(const GradeBook& gb) {
    for (const auto& g : gb.GroupNames)
      if (g.InMask) names_.insert(g.Name);
  }
  bool Contains(const std::vector<std::string>& groups) const {
    if (names_.empty()) return false;
    for (const auto& g : groups)
      if (names_.count(g)) return true;
    return false;
  }

 private:
  std::unordered_set<std::string_view> names_;
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
    for (const auto& c : s.Classes) {
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
