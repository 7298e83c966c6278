#pragma once
// Published grading scales that fit the 13 letter grades, each with the table it comes from,
// and how a method compares with the most common rule of US registrars.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "model/method.h"

namespace mw {

struct GradingScale {
  std::string_view Name;    // the method name it gets by default
  std::string_view Source;  // the institution and the table
  std::array<double, kGradeCount> Values;  // "A+" first, "E" (the failing grade) last

  Method ToMethod(std::string name) const;
};

// The shipped scales; the first is the most common rule (A+ = 4.0, A- = 3.7, B+ = 3.3).
const std::vector<GradingScale>& GradingScales();
// The scale of that name, null when none.
const GradingScale* FindScale(std::string_view name);

// Where the method differs from the most common rule, the first letter that does:
// "A+ counts 4.3 here; many schools count 4.0."; empty when it is the same rule.
std::string MethodNote(const Method& method);

}  // namespace mw
