#pragma once
// The grade report: a fixed-column text listing the chosen classes in sections (one per
// checked semester or one per selected group), each with a column table and a total line,
// and a closing block with the overall figures.
//
// Everything here is a pure function of the grade book and the choices made in the
// print/export dialog, so the dialog and the command-line tool (`markwell-cli export`)
// produce the same bytes. Texts are UTF-8; the file layer (report_file.h) converts to
// Windows-1252 when it writes the report.
#include <string>
#include <string_view>
#include <vector>

#include "model/gradebook.h"
#include "model/method.h"

namespace mw {

// How the report's sections are organised.
enum class ReportOrganisation {
  BySemester,  // one section per checked semester, in grade book order
  ByGroup,     // one section per selected group, in group list order
};

// What the user chose in the print/export dialog.
struct ReportChoices {
  ReportOrganisation Organisation = ReportOrganisation::BySemester;
  // Names of the checked semesters (any order: sections follow the grade book's order).
  std::vector<std::string> CheckedSemesters;
  // Names of the selected groups, in the order of the group list.
  std::vector<std::string> SelectedGroups;
  // Text of the dialog's method selector; see ReportMethod for the lookup.
  std::string MethodName;

  // True when a semester of exactly this name is checked.
  bool IsSemesterChecked(std::string_view name) const;
};

// The dialog's own method lookup: the first method named exactly `name`, else the last method
// of the list; null only when the grade book holds no method (then every grade is worth 0).
// It sets no flag of the grade book.
const Method* ReportMethod(const GradeBook& gb, std::string_view name);

// Grade points of a grade position under a method (0 for no method or a position outside
// 0 to 12).
double ReportGradePoints(const Method* method, int grade);

// The dialog's running totals over the chosen classes: those of the checked semesters that
// belong to at least one selected group.
struct ReportTotals {
  double ClassCount = 0.0;         // chosen class count
  double Credits = 0.0;            // chosen credits (0 stays 0 here)
  double WeightedSum = 0.0;        // chosen weighted sum: credits times grade points
  double CheckedCredits = 0.0;     // credits of every class of the checked semesters
  double CheckedClassCount = 0.0;  // number of classes of the checked semesters

  // Chosen weighted sum over chosen credits, the credits taken as 1 when they are 0.
  double Gpa() const;
};

// Recounts the running totals (the dialog runs it after every change of its choices).
// Linear in the number of classes.
ReportTotals UpdateTotals(const GradeBook& gb, const ReportChoices& choices);

// The texts the dialog shows for its totals.
std::string TotalsCountText(const ReportTotals& totals);    // "5"
std::string TotalsTooltipText(const ReportTotals& totals);  // "(12/15 credits)"
std::string TotalsGpaText(const ReportTotals& totals);      // "0.0##"

// The report lines are built from output items over a column counter, counted from 1 in
// characters (UTF-8 code points, not bytes). Lines end with CR LF.
class ReportWriter {
 public:
  // Text, written unchanged.
  void Text(std::string_view text);
  // A number: plain decimal form with up to 15 significant digits and no leading zero before
  // the decimal point (.5), a blank before it when not negative (the minus sign takes that
  // place otherwise) and a blank after it: 3 is written " 3 ", -0.5 "-.5 ".
  void Number(double value);
  // Blanks up to column n. Beyond column n already, the line is ended and the new line is
  // padded to column n; at column n exactly nothing is written.
  void PadTo(int n);
  // n blanks.
  void Blanks(int n);
  // Carriage return and line feed; the column returns to 1.
  void EndLine();

  // Room for n bytes, so that a long report is not copied each time it outgrows its buffer.
  void Reserve(size_t n) { out_.reserve(n); }
  int Column() const { return column_; }
  const std::string& Result() const { return out_; }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
  int column_ = 1;
};

// The number item's text without its blanks: 0.5 gives ".5", -0.25 gives "-.25", 3 gives "3".
std::string ReportNumberText(double value);

// The first `count` characters (code points) of a UTF-8 text; the whole text when shorter.
std::string_view FirstChars(std::string_view utf8, size_t count);

// Blanks before a section heading of `length` characters: (65 - length) / 2 rounded up, at
// least 1, which centres it over the 65-character rule.
int HeadingIndent(size_t length);

// Blanks between the three pieces of the summary line, whose lengths add up to
// `piecesLength`: x = (66 - piecesLength) / 2 (0 when negative), less one half, rounded to
// the nearest whole number with a tie going to the even one.
int SummarySpacing(size_t piecesLength);

// The whole report: the "Created by Markwell on " line with dateTimeText, the sections of the
// chosen organisation and the closing block from `totals`. `totals` should be those of
// UpdateTotals for the same choices; the closing block reads them as they are.
std::string GradeReport(const GradeBook& gb, const ReportChoices& choices,
                        const ReportTotals& totals, std::string_view dateTimeText);

}  // namespace mw
