#include "report/grade_report.h"

#include <algorithm>
#include <unordered_set>

#include "model/codepage.h"
#include "model/numtext.h"

namespace mw {

namespace {

constexpr std::string_view kRule =
    "-----------------------------------------------------------------";  // 65 hyphens
constexpr size_t kNameWidth = 38;

template <class Names>
bool Contains(const Names& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Whether each semester of the book is checked, by position: one lookup per semester.
std::vector<char> CheckedFlags(const GradeBook& gb, const ReportChoices& choices) {
  const std::unordered_set<std::string_view> checked(choices.CheckedSemesters.begin(),
                                                     choices.CheckedSemesters.end());
  std::vector<char> flags;
  flags.reserve(gb.Semesters.size());
  for (const auto& s : gb.Semesters) flags.push_back(checked.count(s.Name) != 0);
  return flags;
}

// True for a byte that starts a character of a UTF-8 text (anything but a continuation byte).
bool StartsChar(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

// Credits and credits times grade points of the rows of one section.
struct SectionSums {
  double Credits = 0.0;
  double Weighted = 0.0;
};

void WriteSectionHead(ReportWriter& w, std::string_view title) {
  w.EndLine();
  w.EndLine();
  std::string heading = "* ";
  heading += title;
  heading += " *";
  w.Blanks(HeadingIndent(CharCount(heading)));
  w.Text(heading);
  w.EndLine();
  w.Text("Class Name");
  w.PadTo(40);
  w.Text("Credits");
  w.PadTo(50);
  w.Text("Grade");
  w.PadTo(60);
  w.Text("GP");
  w.EndLine();
  w.Text(kRule);
  w.EndLine();
}

void WriteRow(ReportWriter& w, const Class& c, const Method* method, SectionSums& sums) {
  const double gp = ReportGradePoints(method, c.Grade);
  w.Text(FirstChars(c.Name, kNameWidth));
  w.PadTo(42);
  w.Number(c.Credits);
  w.PadTo(52);
  w.Text(LetterGrade(c.Grade));
  w.PadTo(60);
  w.Text(Format2(gp));
  w.EndLine();
  sums.Credits += c.Credits;
  sums.Weighted += c.Credits * gp;
}

void WriteSectionEnd(ReportWriter& w, const SectionSums& sums) {
  w.Text(kRule);
  w.EndLine();
  w.Text("Total");
  w.PadTo(42);
  w.Number(sums.Credits);
  w.PadTo(60);
  w.Text(Format3(sums.Weighted / (sums.Credits == 0.0 ? 1.0 : sums.Credits)));
  w.EndLine();
}

}  // namespace

bool ReportChoices::IsSemesterChecked(std::string_view name) const {
  return Contains(CheckedSemesters, name);
}

const Method* ReportMethod(const GradeBook& gb, std::string_view name) {
  return gb.MethodOrLast(name);
}

double ReportGradePoints(const Method* method, int grade) {
  return method ? method->GetEquiv(grade) : 0.0;
}

double ReportTotals::Gpa() const { return WeightedSum / (Credits == 0.0 ? 1.0 : Credits); }

ReportTotals UpdateTotals(const GradeBook& gb, const ReportChoices& choices) {
  ReportTotals t;
  const Method* method = ReportMethod(gb, choices.MethodName);
  const GroupMask selected(gb, choices.SelectedGroups);
  const std::vector<char> checked = CheckedFlags(gb, choices);
  for (size_t i = 0; i < gb.Semesters.size(); ++i) {
    if (!checked[i]) continue;
    for (const auto& c : gb.Semesters[i].Classes) {
      t.CheckedCredits += c.Credits;
      t.CheckedClassCount += 1;
      if (!IsCounted(c, selected)) continue;
      t.WeightedSum += c.Credits * ReportGradePoints(method, c.Grade);
      t.Credits += c.Credits;
      t.ClassCount += 1;
    }
  }
  return t;
}

std::string TotalsCountText(const ReportTotals& totals) { return PlainNumber(totals.ClassCount); }

std::string TotalsTooltipText(const ReportTotals& totals) {
  return "(" + PlainNumber(totals.Credits) + "/" + PlainNumber(totals.CheckedCredits) +
         " credits)";
}

std::string TotalsGpaText(const ReportTotals& totals) { return Format3(totals.Gpa()); }

// ---- Output items ----

void ReportWriter::Text(std::string_view text) {
  out_ += text;
  column_ += static_cast<int>(CharCount(text));
}

void ReportWriter::Number(double value) {
  std::string text = ReportNumberText(value);
  if (text.empty() || text[0] != '-') Blanks(1);
  Text(text);
  Blanks(1);
}

void ReportWriter::PadTo(int n) {
  if (column_ > n) EndLine();
  if (column_ < n) Blanks(n - column_);
}

void ReportWriter::Blanks(int n) {
  if (n <= 0) return;
  out_.append(static_cast<size_t>(n), ' ');
  column_ += n;
}

void ReportWriter::EndLine() {
  out_ += "\r\n";
  column_ = 1;
}

std::string ReportNumberText(double value) {
  std::string text = PlainNumber(value);
  // "0.5" -> ".5", "-0.5" -> "-.5"
  const size_t digits = (!text.empty() && text[0] == '-') ? 1 : 0;
  if (text.size() > digits + 1 && text[digits] == '0' && text[digits + 1] == '.')
    text.erase(digits, 1);
  return text;
}

std::string_view FirstChars(std::string_view utf8, size_t count) {
  if (utf8.size() <= count) return utf8;  // no more characters than bytes
  size_t seen = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (StartsChar(utf8[i])) {
      if (seen == count) return utf8.substr(0, i);
      ++seen;
    }
  }
  return utf8;
}

int HeadingIndent(size_t length) {
  if (length >= 64) return 1;
  const int room = 65 - static_cast<int>(length);
  return std::max(1, (room + 1) / 2);
}

int SummarySpacing(size_t piecesLength) {
  if (piecesLength >= 66) return 0;  // x is 0 (or negative, taken as 0): 0 - 0.5 rounds to 0
  // Work in halves: x - 0.5 = (t - 1) / 2 with t = 66 - piecesLength.
  const int t = 66 - static_cast<int>(piecesLength);
  if (t % 2 == 1) return (t - 1) / 2;  // a whole number already
  // (t - 1) / 2 lies halfway between t/2 - 1 and t/2: take the even one.
  const int upper = t / 2;
  return upper % 2 == 0 ? upper : upper - 1;
}

std::string GradeReport(const GradeBook& gb, const ReportChoices& choices,
                        const ReportTotals& totals, std::string_view dateTimeText) {
  const std::vector<char> checked = CheckedFlags(gb, choices);
  ReportWriter w;
  // A row takes at most 72 bytes unless its name has characters beyond ASCII; a class has a
  // row in each section of a group it is in.
  const bool bySemester = choices.Organisation == ReportOrganisation::BySemester;
  size_t rows = 0;
  for (size_t i = 0; i < gb.Semesters.size(); ++i) {
    if (!checked[i]) continue;
    const auto& classes = gb.Semesters[i].Classes;
    if (bySemester) rows += classes.size();
    else
      for (const Class& c : classes) rows += std::min(c.Groups.size(), choices.SelectedGroups.size());
  }
  w.Reserve(72 * rows + 320 * (gb.Semesters.size() + choices.SelectedGroups.size()) + 512);
  w.Text("Created by Markwell on ");
  w.Text(dateTimeText);
  w.EndLine();

  const Method* method = ReportMethod(gb, choices.MethodName);
  if (bySemester) {
    const GroupMask selected(gb, choices.SelectedGroups);
    for (size_t i = 0; i < gb.Semesters.size(); ++i) {
      if (!checked[i]) continue;
      const Semester& s = gb.Semesters[i];
      WriteSectionHead(w, s.Name);
      SectionSums sums;
      for (const auto& c : s.Classes)
        if (IsCounted(c, selected)) WriteRow(w, c, method, sums);
      WriteSectionEnd(w, sums);
    }
  } else {
    // One walk over the classes puts each into the sections of its groups, in book order.
    const std::vector<std::string>& groups = choices.SelectedGroups;
    std::vector<std::vector<size_t>> sectionsOf;  // by group id
    for (size_t k = 0; k < groups.size(); ++k) {
      if (const auto id = gb.GroupIdOf(groups[k])) {
        if (*id >= sectionsOf.size()) sectionsOf.resize(*id + 1);
        sectionsOf[*id].push_back(k);
      }
    }
    std::vector<std::vector<const Class*>> sections(groups.size());
    for (size_t i = 0; i < gb.Semesters.size(); ++i) {
      if (!checked[i]) continue;
      for (const Class& c : gb.Semesters[i].Classes) {
        for (GroupId g : c.Groups) {
          if (g >= sectionsOf.size()) continue;
          for (size_t k : sectionsOf[g])  // a group the class names twice: one row
            if (sections[k].empty() || sections[k].back() != &c) sections[k].push_back(&c);
        }
      }
    }
    for (size_t k = 0; k < groups.size(); ++k) {
      WriteSectionHead(w, groups[k]);
      SectionSums sums;
      for (const Class* c : sections[k]) WriteRow(w, *c, method, sums);
      WriteSectionEnd(w, sums);
    }
  }

  // The closing block counts every chosen class once, from the dialog's totals.
  w.EndLine();
  w.EndLine();
  w.Text(kRule);
  w.EndLine();
  const std::string a = "Total Classes: " + PlainNumber(totals.ClassCount);
  const std::string b = "Total Credits: " + PlainNumber(totals.Credits);
  const std::string c = "Overall GPA: " + Format3(totals.Gpa());
  const int s = SummarySpacing(CharCount(a) + CharCount(b) + CharCount(c));
  w.Text(a);
  w.Blanks(s);
  w.Text(b);
  w.Blanks(s);
  w.Text(c);
  w.EndLine();
  w.Text(kRule);
  w.EndLine();
  return w.Take();
}

}  // namespace mw
