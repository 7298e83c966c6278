#include "model/method.h"

#include <stdexcept>

namespace mw {

std::string_view LetterGrade(int position) {
  if (position < 0 || position >= kGradeCount) return {};
  return kLetterGrades[static_cast<size_t>(position)];
}

double Method::GetEquiv(int a) const {
  if (a < 0 || a >= kGradeCount) return 0.0;
  return Equiv[static_cast<size_t>(a)];
}

void Method::SetNumerical(const std::array<double, kGradeCount>& values) { Equiv = values; }

void Method::SetSpecific(int i, double d) {
  if (i < 0 || i >= kGradeCount) throw std::out_of_range("grade position out of range");
  Equiv[static_cast<size_t>(i)] = d;
}

double Method::GetHighest() const {
  double best = Equiv[0];
  for (double v : Equiv)
    if (v > best) best = v;
  return best;
}

double Method::GetLowest() const {
  double best = Equiv[0];
  for (double v : Equiv)
    if (v < best) best = v;
  return best;
}

}  // namespace mw
