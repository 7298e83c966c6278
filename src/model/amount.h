#pragma once
// The range of credits and grade points the program takes from the user.
#include <cmath>

namespace mw {

// Credits and grade points are taken up to a magnitude of one billion. The product of two such
// values stays below 1e18, and a sum of such products over every class a grade book can hold
// (at most 32767 semesters of 32767 classes, about 1.1e9) below 1.1e27; the protected form
// multiplies credits by at most 254. So every figure, prediction and stored value computed
// from them stays finite, far inside the range of a double (about 1.8e308), while no credit
// system or grading scale comes near the bound. Whole numbers up to it are exact, and plain
// number text (15 significant digits) keeps six decimals of any value within it.
inline constexpr double kSafeAmountLimit = 1e9;

// True for credits or grade points within the bound above (NaN and the infinities are not).
inline bool IsSafeAmount(double value) {
  return std::isfinite(value) && std::fabs(value) <= kSafeAmountLimit;
}

}  // namespace mw
