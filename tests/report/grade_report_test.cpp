// The grade report, byte for byte, and the dialog's running totals.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <tuple>

#include "../storage/book_helpers.h"
#include "report/grade_report.h"
#include "report/report_date.h"
#include "report/report_file.h"
#include "storage/file_io.h"

namespace mw {
namespace {

using Row = std::vector<std::pair<int, std::string>>;  // pieces and their starting columns
const std::string kRule(65, '-');

// One line with each piece starting at its column (counted from 1), blanks in between.
std::string At(const Row& pieces) {
  std::string line;
  for (const auto& [column, text] : pieces) line += std::string(size_t(column - 1) - line.size(), ' ') + text;
  return line + "\r\n";
}

// A whole section as a reader sees it: two empty lines, the indented heading, the column
// head, the rule, the rows, the rule and the total line.
std::string Section(int indent, const std::string& title, const std::string& rows,
                    const std::string& total, const std::string& gpa) {
  return "\r\n\r\n" + std::string(size_t(indent), ' ') + "* " + title + " *\r\n" +
         At({{1, "Class Name"}, {40, "Credits"}, {50, "Grade"}, {60, "GP"}}) + kRule + "\r\n" +
         rows + kRule + "\r\n" + At({{1, "Total"}, {42, total}, {60, gpa}});
}

std::string Closing(const std::string& summary) { return "\r\n\r\n" + kRule + "\r\n" + summary + "\r\n" + kRule + "\r\n"; }

// Semesters of classes (name, grade, credits, groups) under the built-in methods.
struct ClassSpec { std::string name; int grade; double credits; std::vector<std::string> groups; };
GradeBook Book(const std::vector<std::pair<std::vector<ClassSpec>, std::string>>& semesters) {
  GradeBook gb;
  gb.Methods = BuiltInMethods();
  for (const auto& [classes, name] : semesters)
    for (Semester& s = test::AddSemester(gb, name); const ClassSpec& c : classes)
      s.Classes.push_back(test::MakeClass(gb, c.name, c.grade, c.credits, c.groups));
  return gb;
}
// Fall 2025: Calculus (4, A-, Everything+Core), Poetry (3, B+, Everything);
// Spring 2026: Chemistry (0.5, A, Core).
GradeBook SmallBook() {
  return Book({{{{"Calculus", 2, 4, {"Everything", "Core"}}, {"Poetry", 3, 3, {"Everything"}}}, "Fall 2025"},
               {{{"Chemistry", 1, 0.5, {"Core"}}}, "Spring 2026"}});
}

ReportChoices Choose(std::vector<std::string> semesters, std::vector<std::string> groups,
                     ReportOrganisation org = ReportOrganisation::BySemester) {
  return {org, std::move(semesters), std::move(groups), "4.0 (A- = 3.7, B+ = 3.3)"};
}

std::string Report(const GradeBook& gb, const ReportChoices& c, const char* date = "12/5/2026 3:54:28 AM") {
  return GradeReport(gb, c, UpdateTotals(gb, c), date);
}

const std::string kCalculus = At({{1, "Calculus"}, {42, " 4 "}, {52, "A-"}, {60, "3.7"}});
const std::string kPoetry = At({{1, "Poetry"}, {42, " 3 "}, {52, "B+"}, {60, "3.3"}});
const std::string kChemistry = At({{1, "Chemistry"}, {42, " .5 "}, {52, "A"}, {60, "4.0"}});
const std::string kSummary3 = "Total Classes: 3       Total Credits: 7.5       Overall GPA: 3.56";
const std::string kSummary0 = "Total Classes: 0        Total Credits: 0        Overall GPA: 0.0";

TEST(GradeReportTest, BothOrganisationsByteForByte) {
  const GradeBook gb = SmallBook();
  const std::string first = "Created by Markwell on 12/5/2026 3:54:28 AM\r\n";
  // By semester: grade book order whatever the order of the checks; odd headings of 13 and
  // 15 characters get (65 - L) / 2 blanks.
  EXPECT_EQ(Report(gb, Choose({"Spring 2026", "Fall 2025"}, {"Everything", "Core"})),
            first + Section(26, "Fall 2025", kCalculus + kPoetry, " 7 ", "3.529") +
                Section(25, "Spring 2026", kChemistry, " .5 ", "4.0") + Closing(kSummary3));
  // By group, in list order: Calculus under both groups, counted once in the closing block;
  // even headings of 8 and 14 characters get (66 - L) / 2 blanks.
  EXPECT_EQ(Report(gb, Choose({"Fall 2025", "Spring 2026"}, {"Core", "Everything"},
                              ReportOrganisation::ByGroup)),
            first + Section(29, "Core", kCalculus + kChemistry, " 4.5 ", "3.733") +
                Section(26, "Everything", kCalculus + kPoetry, " 7 ", "3.529") +
                Closing(kSummary3));
  // Unchecked semesters and unselected groups drop out; an empty group or semester keeps its
  // section; with no semester at all there is none.
  EXPECT_EQ(Report(gb, Choose({"Spring 2026"}, {"Labs", "Everything"}, ReportOrganisation::ByGroup), ""),
            "Created by Markwell on \r\n" + Section(29, "Labs", "", " 0 ", "0.0") +
                Section(26, "Everything", "", " 0 ", "0.0") + Closing(kSummary0));
  EXPECT_EQ(Report(gb, Choose({"Fall 2025"}, {})), first + Section(26, "Fall 2025", "", " 0 ", "0.0") + Closing(kSummary0));
  EXPECT_EQ(Report(gb, Choose({}, {"Everything"})), first + Closing(kSummary0));
  // A class that names its group twice has one row in its section; a group chosen twice has
  // two sections.
  const GradeBook twice = Book({{{{"Calculus", 2, 4, {"Core", "Core"}}}, "Fall 2025"}});
  EXPECT_EQ(Report(twice, Choose({"Fall 2025"}, {"Core", "Core"}, ReportOrganisation::ByGroup)),
            first + Section(29, "Core", kCalculus, " 4 ", "3.7") +
                Section(29, "Core", kCalculus, " 4 ", "3.7") +
                Closing("Total Classes: 1        Total Credits: 4        Overall GPA: 3.7"));
}

TEST(GradeReportTest, RowsCutLongNamesWrapPastTheirColumnsAndSpaceTheSummary) {
  std::string umlauts;  // 40 two-byte characters: cut and columns count characters
  for (int i = 0; i < 40; ++i) umlauts += "\xC3\xBC";
  const std::string name(60, 'x');  // a heading of 64 characters still gets one blank
  const GradeBook gb = Book({{{{"Introduction to Computational Linguistics", 2, 4, {"G"}},
                               {"Thirds", 1, 1.0 / 3.0, {"G"}}, {umlauts, 12, 2, {"G"}}}, name}});
  const std::string rows =
      At({{1, "Introduction to Computational Linguist"}, {42, " 4 "}, {52, "A-"}, {60, "3.7"}}) +
      // The credits end at column 59, past 52: the grade goes on a new line at column 52.
      At({{1, "Thirds"}, {42, " .333333333333333 "}}) + At({{52, "A"}, {60, "4.0"}}) +
      umlauts.substr(0, 76) + "    2        E       0.0\r\n";
  // 6.333... fills columns 42 to 59 exactly: at column 60 the GPA follows at once.
  EXPECT_EQ(Report(gb, Choose({name}, {"G"})),
            "Created by Markwell on 12/5/2026 3:54:28 AM\r\n" +
                Section(1, name, rows, " 6.33333333333333 ", "2.547") +
                // x = 0.5: no blanks between the pieces
                Closing("Total Classes: 3Total Credits: 6.33333333333333Overall GPA: 2.547"));

  // x = (66 - pieces) / 2 less 0.5, rounded half to even: 13 gives 12 and 8 gives 8 (the worked
  // example, 4 and 3 credits at 3.7 and 3.3); 12.5, 9 and 0.5 are in the reports above.
  for (const auto& [pieces, blanks] : std::vector<std::pair<size_t, int>>{{40, 12}, {50, 8}, {66, 0}, {90, 0}})
    EXPECT_EQ(SummarySpacing(pieces), blanks) << pieces;
  ReportWriter w;  // a minus sign takes the place of the number's leading blank
  w.Number(-0.25);
  EXPECT_EQ(w.Result(), "-.25 ");
}

TEST(ReportTotalsTest, CountsChosenClassesWithTheDialogsMethod) {
  GradeBook gb = SmallBook();
  gb.Semesters[1].Classes.push_back(test::MakeClass(gb, "Seminar", 0, 0, {"Everything"}));
  ReportChoices c = Choose({"Fall 2025", "Spring 2026"}, {"Everything"});
  auto shown = [&] { const ReportTotals t = UpdateTotals(gb, c);
                     return TotalsCountText(t) + ' ' + TotalsTooltipText(t) + ' ' + TotalsGpaText(t); };
  EXPECT_EQ(shown(), "3 (7/7.5 credits) 3.529");  // the 0-credit class counts
  c.MethodName = "4.0 (a- = 3.7, b+ = 3.3)";  // no exact match: the last method (Harvard)
  EXPECT_EQ(shown(), "3 (7/7.5 credits) 13.143");  // (4 x 14 + 3 x 12) / 7
  c.SelectedGroups.clear();  // credits stay 0 in the tooltip, the division uses 1
  EXPECT_EQ(shown(), "0 (0/7.5 credits) 0.0");
  gb.Methods.clear();  // no method at all: every grade is worth 0
  c.SelectedGroups = {"Core"};
  EXPECT_EQ(shown(), "2 (4.5/7.5 credits) 0.0");
  EXPECT_NE(Report(gb, c).find(At({{1, "Calculus"}, {42, " 4 "}, {52, "A-"}, {60, "0.0"}})), std::string::npos);
}

TEST(ReportFileTest, WritesWindows1252AndReportsFailure) {
  EXPECT_EQ(ReportBytes("Caf\xC3\xA9 \xE2\x82\xAC\r\n"), "Caf\xE9 \x80\r\n");
  // A character Windows-1252 lacks and a stray byte each become one question mark.
  EXPECT_EQ(ReportBytes("a\xE4\xB8\xAD" "b\xFF" "c"), "a?b?c");

  const std::string path = ::testing::TempDir() + "markwell_report_test.txt";
  std::string bytes;
  ASSERT_TRUE(WriteReportFile(path, "\xC3\x9C" "ber\r\n") && ReadFileBytes(path, bytes));
  EXPECT_EQ(bytes, "\xDC" "ber\r\n");
  EXPECT_FALSE(WriteReportFile(::testing::TempDir() + "missing/r.txt", "x"));
  std::remove(path.c_str());
}

TEST(ReportDateTest, LocaleFormsWithAFullYearAndAFixedFallback) {
  // Two locales compiled into a folder of our own, where the system has localedef.
  const std::string dir = ::testing::TempDir() + "markwell_locales";
  std::filesystem::create_directories(dir);
  const std::string build = "localedef -i en_GB -f UTF-8 " + dir + "/en_GB.UTF-8 && localedef -i ja_JP -f UTF-8 " +
                            dir + "/ja_JP.UTF-8 >/dev/null 2>&1";
  if (std::system(build.c_str()) != 0) GTEST_SKIP() << "localedef could not build the test locales";
  setenv("LOCPATH", dir.c_str(), 1);
  std::tm when{};
  when.tm_year = 126, when.tm_mon = 11, when.tm_mday = 5, when.tm_hour = 3, when.tm_min = 54, when.tm_sec = 28;
  std::tm evening = when;
  evening.tm_hour = 12;
  for (const auto& [tm, locale, text] : std::vector<std::tuple<std::tm, std::string, std::string>>{
           {when, "en_GB.UTF-8", "05/12/2026 03:54:28"},  // "%d/%m/%y": the year widened
           {when, "en_US.UTF-8", "12/5/2026 3:54:28 AM"}, {evening, "C", "12/5/2026 12:54:28 PM"},
           {when, "", "12/5/2026 3:54:28 AM"}, {when, "C.UTF-8", "12/5/2026 3:54:28 AM"},
           {when, "xx_YY.UTF-8", "12/5/2026 3:54:28 AM"},  // not installed
           {when, "ja_JP.UTF-8", "12/5/2026 3:54:28 AM"}})  // characters Windows-1252 lacks
    EXPECT_EQ(ReportDateText(tm, locale), text) << locale;
  unsetenv("LOCPATH");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace mw
