#include "model/scales.h"

#include "model/numtext.h"

namespace mw {

// A letter that an institution does not award takes the value of its base letter (a missing
// "A+" is worth what "A" is, a missing "D-" what "D" is), so that every letter typed still
// counts as the school would count the nearest grade it gives.
const std::vector<GradingScale>& GradingScales() {
  static const std::vector<GradingScale> scales = {
      {"A+ = 4.0 (A- = 3.7, B+ = 3.3)",
       "University of California, Berkeley, Office of the Registrar: grade points per unit",
       {4.0, 4.0, 3.7, 3.3, 3.0, 2.7, 2.3, 2.0, 1.7, 1.3, 1.0, 0.7, 0.0}},
      {"A = 4.0, thirds (A- = 3.67, B+ = 3.33)",
       "Harvard University, Faculty of Arts and Sciences: grade point averages (A = 4.00, A- = "
       "3.67 ... D- = 0.67, E = 0; no A+, so A+ as A)",
       {4.0, 4.0, 3.67, 3.33, 3.0, 2.67, 2.33, 2.0, 1.67, 1.33, 1.0, 0.67, 0.0}},
      {"A+ = 4.33, thirds",
       "University of New Mexico, fractional grading: allowable grades and grade points (A+ = "
       "4.33, A = 4.00, A- = 3.67 ... D- = 0.67, F = 0)",
       {4.33, 4.0, 3.67, 3.33, 3.0, 2.67, 2.33, 2.0, 1.67, 1.33, 1.0, 0.67, 0.0}},
      {"A+ = 4.3, tenths",
       "Cornell University: grade point equivalents for academic grades (A+ = 4.3 ... D- = 0.7)",
       {4.3, 4.0, 3.7, 3.3, 3.0, 2.7, 2.3, 2.0, 1.7, 1.3, 1.0, 0.7, 0.0}},
      {"MIT 5.0",
       "Massachusetts Institute of Technology, Registrar: grade point average (A = 5, B = 4, "
       "C = 3, D = 2, F = 0; pluses and minuses do not count)",
       {5.0, 5.0, 5.0, 4.0, 4.0, 4.0, 3.0, 3.0, 3.0, 2.0, 2.0, 2.0, 0.0}},
      {"NUS 5.0 (A- = 4.5, B+ = 4.0)",
       "National University of Singapore, Registrar's Office: grade points (no C-, no D-; "
       "as C and D)",
       {5.0, 5.0, 4.5, 4.0, 3.5, 3.0, 2.5, 2.0, 2.0, 1.5, 1.0, 1.0, 0.0}},
      {"A+ = 4.0, A = 3.75 (Bangladesh)",
       "University Grants Commission of Bangladesh: uniform grading of the public universities "
       "(A+ = 4.00, A = 3.75, A- = 3.50, B+ = 3.25, B = 3.00, B- = 2.75, C+ = 2.50, C = 2.25, "
       "D = 2.00, F = 0; no C-, D+ or D-: as C and D)",
       {4.0, 3.75, 3.5, 3.25, 3.0, 2.75, 2.5, 2.25, 2.25, 2.0, 2.0, 2.0, 0.0}},
  };
  return scales;
}

Method GradingScale::ToMethod(std::string name) const {
  Method m;
  m.Name = std::move(name);
  m.SetNumerical(Values);
  return m;
}

const GradingScale* FindScale(std::string_view name) {
  for (const auto& s : GradingScales())
    if (s.Name == name) return &s;
  return nullptr;
}

std::string MethodNote(const Method& method) {
  const auto& common = GradingScales().front().Values;
  for (int g = 0; g < kGradeCount; ++g) {
    const double here = method.GetEquiv(g);
    if (here != common[size_t(g)])
      return std::string(LetterGrade(g)) + " counts " + Format2(here) + " here; many schools count " +
             Format2(common[size_t(g)]) + ".";
  }
  return {};
}

}  // namespace mw
