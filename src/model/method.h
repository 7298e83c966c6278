#pragma once
// Grading methods: a name and the grade points of each of the 13 letter grades.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace mw {

inline constexpr int kGradeCount = 13;

// The letter grade list, best first: a grade is stored everywhere as its position here.
inline constexpr std::array<std::string_view, kGradeCount> kLetterGrades = {
    "A+", "A", "A-", "B+", "B", "B-", "C+", "C", "C-", "D+", "D", "D-", "E"};

// The letter of a grade position, or "" for a position outside 0 to 12.
std::string_view LetterGrade(int position);

// The position of a typed letter grade: any letter case, blanks around it ignored ("b+",
// " A- "), and "F" taken as "E". Empty for anything else.
std::optional<int> ParseGradeLetter(std::string_view text);

class Method {
 public:
  std::string Name;

  // Grade points of letter position a; 0.0 for any position outside 0 to 12.
  double GetEquiv(int a) const;
  // Sets every value from a table of 13 numbers, "A+" first.
  void SetNumerical(const std::array<double, kGradeCount>& values);
  // Sets one value; a position outside 0 to 12 throws std::out_of_range.
  void SetSpecific(int i, double d);
  double GetHighest() const;
  double GetLowest() const;

  friend bool operator==(const Method&, const Method&) = default;

 private:
  std::array<double, kGradeCount> Equiv{};
};

}  // namespace mw
