#pragma once
// Every figure of a grade book: the grade points of a grade, the semester and overall GPA with
// the count caption and tooltip, what the prediction starts from, and for the GPA overview each
// semester's row and the same figures under every grading method.
//
// One pass takes every sum, semesters and then classes in collection order, so a figure shown
// in two places (the main window's overall GPA and the overview's overall row, a semester GPA
// and its row) is the same to the last bit.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "model/gradebook.h"

namespace mw {

// What the figures depend on besides the semesters and classes: the marked semesters, the
// group mask and the method in use. ChoicesOf is the one place that reads them from the book.
struct FigureChoices {
  struct Entry {
    std::string_view Name;
    bool Marked = false;
  };
  std::vector<Entry> Order;                     // the semester list: display order, check marks
  std::unordered_set<std::string_view> Marked;  // names of the marked semesters
  GroupMask Mask;                               // the groups of the group mask
  int MethodIndex = -1;                         // position in Methods; -1 when there is none

  bool InMask(const Class& c) const { return IsCounted(c, Mask); }
  bool IsMarked(std::string_view semester) const { return Marked.count(semester) != 0; }
};

// The views into gb stay valid while its semester list and group names do.
FigureChoices ChoicesOf(const GradeBook& gb);

// The method in use: the first method named like the selector's text, else the last one; -1
// when there are no methods.
int MethodInUseIndex(const GradeBook& gb);

struct ClassGpa {
  double GradePoints = 0.0;
  std::string Text;  // "0.0#"
};

// Grade points of grade position gradePos under the method in use. With no method at all
// (possible only from a file), and for a position outside the letter grades, they are 0.
ClassGpa ClassGradePoints(const GradeBook& gb, int gradePos);

// One entry of the semester list, for the overview.
struct SemesterRow {
  std::string Name;
  bool Marked = false;         // the row's check mark in the semester list
  int64_t Classes = 0;         // counted classes (none while the semester is not marked)
  double Credits = 0.0;        // counted credits
  double Gpa = 0.0;            // the semester GPA with this semester current
  std::string GpaText;         // "0.0##"
  double Cumulative = 0.0;     // over the counted classes of this row and the rows above
  std::string CumulativeText;  // "0.0##"
  std::vector<double> MethodGpa;  // Gpa under each method summed, in Methods order
};

// Which methods the figures are wanted under.
enum class FigureMethods {
  InUse,      // the method in use: the main window, the prediction
  InUseRows,  // the method in use with every semester's row, but only each row's Classes,
              // Credits and Gpa: the command line's summary
  Rows,       // the method in use with every semester's row in full: the overview's table
              // and chart
  All,        // every method, with every semester's row in full: the overview's comparison
};

struct BookFigures {
  int MethodIndex = -1;    // the method in use, -1 when there is none
  std::string MethodName;  // its name, empty when none
  double Highest = 0.0;    // its highest and lowest grade points (0 when none)
  double Lowest = 0.0;

  // The marked semesters' classes in the group mask.
  double OverallGpa = 0.0;
  std::string OverallText;   // "0.0##"
  int64_t Classes = 0;
  double Credits = 0.0;      // counted credits, before 0 is replaced by 1
  double MaskCredits = 1.0;  // Credits, 1 in place of 0: what the prediction divides by
  double AllCredits = 0.0;   // every class of the marked semesters
  std::string CountCaption;  // "(1 class)" / "(k classes)"
  std::string CountTooltip;  // "(C/A credits)"

  // The semesters named as the current one (none when no semester has that name).
  double SemesterGpa = 0.0;
  std::string SemesterText;  // "0.0##"

  // FigureMethods::All only (MethodOverall also with Rows, for the method in use alone; Rows
  // with every mode but InUse).
  std::vector<std::string> MethodNames;  // every method, in Methods order
  std::vector<double> MethodOverall;     // OverallGpa under each method summed
  std::vector<SemesterRow> Rows;         // one per semester list entry, in display order

  // The first row with this name, null when none.
  const SemesterRow* Row(std::string_view name) const;
};

// One pass over the classes of the marked semesters, linear in their number.
BookFigures ComputeFigures(const GradeBook& gb, std::string_view currentSemester,
                       FigureMethods methods = FigureMethods::InUse);
BookFigures ComputeFigures(const GradeBook& gb, const FigureChoices& choices,
                       std::string_view currentSemester, FigureMethods methods);

// A class of one semester as the overview lists it.
struct ClassLine {
  std::string Name;
  int16_t Grade = 0;
  double Credits = 0.0;
  double GradePoints = 0.0;  // under the method in use
  bool InMask = false;       // belongs to a group of the group mask
  bool Counts = false;       // in the mask and its semester marked
};

// The classes of the first semester named `semester`, in their order; empty when none.
std::vector<ClassLine> ClassDetails(const GradeBook& gb, std::string_view semester);
std::vector<ClassLine> ClassDetails(const GradeBook& gb, const FigureChoices& choices,
                                    std::string_view semester);

}  // namespace mw
