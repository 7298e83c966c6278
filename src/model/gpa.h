#pragma once
// The figures the main window shows: class grade points, semester and overall GPA, the count.
#include <cstdint>
#include <string>
#include <string_view>

#include "model/gradebook.h"

namespace mw {

struct ClassGpa {
  double GradePoints = 0.0;
  std::string Text;  // "0.0#"
};

// Grade points of grade position gradePos under the method in use (or the last method when
// none is in use). With no method at all (possible only from a file), and for a position
// outside the letter grades, the grade points are 0.
ClassGpa UpdateClassGPABox(const GradeBook& gb, int gradePos);

struct GpaFigures {
  double SemesterGPA = 0.0;
  double OverallGPA = 0.0;
  int64_t ClassCount = 0;
  double CountedCredits = 0.0;  // before 0 is replaced by 1
  double AllCredits = 0.0;      // every class of the marked semesters
  double MaskCredits = 1.0;     // CountedCredits, 1 in place of 0: what the prediction uses
  std::string SemGPAText;       // "0.0##"
  std::string OverallGPAText;   // "0.0##"
  std::string CountCaption;     // "(1 class)" / "(k classes)"
  std::string CountTooltip;     // "(C/A credits)"
};

// The semester and overall figures for the marked semesters and the group mask; the
// semester figures are those of the semester named currentSemester (none when empty and no
// semester has an empty name). Linear in the number of classes.
GpaFigures UpdateGPABoxes(const GradeBook& gb, std::string_view currentSemester);

}  // namespace mw
