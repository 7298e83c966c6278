#include "model/gpa.h"

#include <array>
#include <unordered_set>

#include "model/numtext.h"

namespace mw {

ClassGpa UpdateClassGPABox(const GradeBook& gb, int gradePos) {
  const Method* m = gb.MethodInUse();
  ClassGpa out;
  out.GradePoints = m ? m->GetEquiv(gradePos) : 0.0;
  out.Text = Format2(out.GradePoints);
  return out;
}

GpaFigures UpdateGPABoxes(const GradeBook& gb, std::string_view currentSemester) {
  // Grade points by grade position; every position outside the letter grades is worth 0.
  const Method* m = gb.MethodInUse();
  std::array<double, kGradeCount + 1> points{};
  for (int i = 0; i < kGradeCount; ++i) points[static_cast<size_t>(i)] = m ? m->GetEquiv(i) : 0.0;

  std::unordered_set<std::string_view> marked;
  for (const auto& e : gb.SemesterOrder)
    if (e.Marked) marked.insert(e.Name);
  const GroupMask mask(gb);

  double P = 0, C = 0, Ps = 0, Cs = 0, A = 0;
  int64_t k = 0;
  for (const Semester& s : gb.Semesters) {
    if (!marked.count(s.Name)) continue;
    const bool isCurrent = s.Name == currentSemester;
    for (const Class& c : s.Classes) {
      A += c.Credits;
      if (!IsCounted(c, mask)) continue;
      const auto pos = static_cast<uint16_t>(c.Grade);  // anything outside 0..12 is worth 0
      const double x = points[pos < kGradeCount ? pos : kGradeCount] * c.Credits;
      P += x;
      C += c.Credits;
      ++k;
      if (isCurrent) {
        Ps += x;
        Cs += c.Credits;
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
  f.MaskCredits = C;
  f.OverallGPA = P / C;
  f.SemesterGPA = Ps / Cs;
  f.OverallGPAText = Format3(f.OverallGPA);
  f.SemGPAText = Format3(f.SemesterGPA);
  return f;
}

}  // namespace mw
