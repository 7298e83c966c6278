#pragma once
// The figures the main window shows: class grade points, semester and overall GPA, the count.
#include <cstdint>
#include <string>

#include "model/gradebook.h"

namespace mw {

struct ClassGpa {
  double GradePoints = 0.0;
  std::string Text;  // "0.0#"
};

// Grade points of the grade selector's position under the current method. With no method at
// all (possible only from a file) the grade points are 0.
ClassGpa UpdateClassGPABox(GradeBook& gb);

struct GpaFigures {
  double SemesterGPA = 0.0;
  double OverallGPA = 0.0;
  int64_t ClassCount = 0;
  double CountedCredits = 0.0;  // before 0 is replaced by 1
  double AllCredits = 0.0;      // every class of the marked semesters
  std::string SemGPAText;       // "0.0##"
  std::string OverallGPAText;   // "0.0##"
  std::string CountCaption;     // "(1 class)" / "(k classes)"
  std::string CountTooltip;     // "(C/A credits)"
};

// Recomputes the semester and overall figures for the marked semesters and the group mask,
// and stores MaskGPA, MaskClassCount and MaskCredits. Linear in the number of classes.
GpaFigures UpdateGPABoxes(GradeBook& gb);

}  // namespace mw
