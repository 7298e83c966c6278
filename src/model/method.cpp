#include "model/method.h"

#include <stdexcept>

namespace mw {

std::string_view LetterGrade(int position) {
  if (position < 0 || position >= kGradeCount) return {};
  return kLetterGrades[static_cast<size_t>(position)];
}

std::optional<int> ParseGradeLetter(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.empty() || text.size() > 2) return std::nullopt;
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (upper == "F") upper = "E";
  for (int i = 0; i < kGradeCount; ++i)
    if (kLetterGrades[static_cast<size_t>(i)] == upper) return i;
  return std::nullopt;
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
