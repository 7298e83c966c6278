#pragma once
// The figures of the GPA overview: every semester's counted classes, credits and GPA, the
// cumulative GPA down the semester list, the overall figures, the same under every grading
// method, and the classes of one semester with whether each counts.
//
// Every figure is one the main window would show: a semester's GPA is the main window's
// semester GPA with that semester current, and the overall figures are its overall GPA, count
// caption and tooltip, summed in the same order, so they agree to the last bit.
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

// The views into gb stay valid while its semester list and group names do. Apart from this,
// the figures read only the document: Semesters and Methods.
FigureChoices ChoicesOf(const GradeBook& gb);

// The main window's method lookup without its found flag: the first method named like the
// selector's text, else the last one; -1 when there are no methods.
int MethodInUseIndex(const GradeBook& gb);

struct OverviewRow {
  std::string Name;
  bool Marked = false;         // the row's check mark in the semester list
  int64_t Classes = 0;         // counted classes (none while the semester is not marked)
  double Credits = 0.0;        // counted credits
  double Gpa = 0.0;            // the main window's semester GPA with this semester current
  std::string GpaText;         // "0.0##"
  double Cumulative = 0.0;     // over the counted classes of this row and the rows above
  std::string CumulativeText;  // "0.0##"
  std::vector<double> MethodGpa;  // Gpa under each method, in Methods order
};

struct OverviewFigures {
  int MethodIndex = -1;         // the method in use, -1 when there is none
  std::string MethodName;       // its name, empty when none
  double Highest = 0.0;         // its highest and lowest grade points (0 when none)
  double Lowest = 0.0;
  std::vector<std::string> MethodNames;  // every method, in Methods order
  std::vector<OverviewRow> Rows;         // one per semester list entry, in display order

  // The overall figures, exactly as the main window shows them.
  double OverallGpa = 0.0;
  std::string OverallText;   // "0.0##"
  int64_t Classes = 0;
  double Credits = 0.0;      // counted credits, before 0 is replaced by 1
  double AllCredits = 0.0;   // every class of the marked semesters
  std::string CountCaption;  // "(1 class)" / "(k classes)"
  std::string CountTooltip;  // "(C/A credits)"
  std::vector<double> MethodOverall;  // OverallGpa under each method, in Methods order

  // The first row with this name, null when none.
  const OverviewRow* Row(std::string_view name) const;
};

// One pass over the classes of the marked semesters, linear in their number.
OverviewFigures ComputeOverview(const GradeBook& gb);
OverviewFigures ComputeOverview(const GradeBook& gb, const FigureChoices& choices);

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
