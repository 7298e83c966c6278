// The grade report, byte for byte, and the dialog's running totals.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "model/gradebook.h"
#include "report/grade_report.h"
#include "report/report_file.h"

namespace mw {
namespace {

const char* const kMethod40 = "4.0 (A- = 3.7, B+ = 3.3)";
const std::string kRule(65, '-');
const char* const kDate = "12/5/2026 3:54:28 AM";

Class MakeClass(std::string name, double credits, int grade, std::vector<std::string> groups) {
  Class c;
  c.Name = std::move(name);
  c.Credits = credits;
  c.Grade = static_cast<int16_t>(grade);
  c.Groups = std::move(groups);
  return c;
}

// Fall 2025: Calculus (4, A-, Everything+Core), Poetry (3, B+, Everything);
// Spring 2026: Chemistry (0.5, A, Core).
GradeBook SmallBook() {
  GradeBook gb;
  gb.Methods = BuiltInMethods();
  gb.GroupNames = {{"Everything", true}, {"Core", false}};
  Semester fall;
  fall.Name = "Fall 2025";
  fall.AddClass(MakeClass("Calculus", 4, 2, {"Everything", "Core"}));
  fall.AddClass(MakeClass("Poetry", 3, 3, {"Everything"}));
  Semester spring;
  spring.Name = "Spring 2026";
  spring.AddClass(MakeClass("Chemistry", 0.5, 1, {"Core"}));
  gb.Semesters = {fall, spring};
  gb.SemesterOrder = {{"Spring 2026", true}, {"Fall 2025", true}};
  return gb;
}

// One line with each piece starting at its column (counted from 1), blanks in between.
std::string At(std::initializer_list<std::pair<int, std::string>> pieces) {
  std::string line;
  for (const auto& [column, text] : pieces) {
    line.resize(static_cast<size_t>(column - 1), ' ');
    line += text;
  }
  return line;
}

std::string Lines(std::initializer_list<std::string> lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

const std::string kHead = At({{1, "Class Name"}, {40, "Credits"}, {50, "Grade"}, {60, "GP"}});

std::string Report(const GradeBook& gb, const ReportChoices& choices) {
  return GradeReport(gb, choices, UpdateTotals(gb, choices), kDate);
}

TEST(GradeReportTest, BySemesterListsChosenClassesUnderCheckedSemestersInBookOrder) {
  GradeBook gb = SmallBook();
  ReportChoices choices;
  choices.CheckedSemesters = {"Spring 2026", "Fall 2025"};
  choices.SelectedGroups = {"Everything", "Core"};
  choices.MethodName = kMethod40;

  const std::string expected = Lines({
      "Created by Markwell on 12/5/2026 3:54:28 AM",
      "",
      "",
      std::string(26, ' ') + "* Fall 2025 *",
      kHead,
      kRule,
      At({{1, "Calculus"}, {42, " 4 "}, {52, "A-"}, {60, "3.7"}}),
      At({{1, "Poetry"}, {42, " 3 "}, {52, "B+"}, {60, "3.3"}}),
      kRule,
      At({{1, "Total"}, {42, " 7 "}, {60, "3.529"}}),
      "",
      "",
      std::string(25, ' ') + "* Spring 2026 *",
      kHead,
      kRule,
      At({{1, "Chemistry"}, {42, " .5 "}, {52, "A"}, {60, "4.0"}}),
      kRule,
      At({{1, "Total"}, {42, " .5 "}, {60, "4.0"}}),
      "",
      "",
      kRule,
      "Total Classes: 3" + std::string(7, ' ') + "Total Credits: 7.5" + std::string(7, ' ') +
          "Overall GPA: 3.56",
      kRule,
  });
  EXPECT_EQ(Report(gb, choices), expected);

  // Only Core selected and Fall unchecked: Poetry drops out, Fall's section disappears.
  choices.CheckedSemesters = {"Spring 2026"};
  choices.SelectedGroups = {"Core"};
  const std::string onlySpring = Report(gb, choices);
  EXPECT_EQ(onlySpring.find("Fall 2025"), std::string::npos);
  EXPECT_NE(onlySpring.find("* Spring 2026 *"), std::string::npos);
  EXPECT_NE(onlySpring.find("Total Classes: 1"), std::string::npos);
}

TEST(GradeReportTest, ByGroupListsAClassUnderEachOfItsGroupsButCountsItOnce) {
  GradeBook gb = SmallBook();
  ReportChoices choices;
  choices.Organisation = ReportOrganisation::ByGroup;
  choices.CheckedSemesters = {"Fall 2025", "Spring 2026"};
  choices.SelectedGroups = {"Core", "Everything"};  // list order decides the sections' order
  choices.MethodName = kMethod40;

  const std::string expected = Lines({
      "Created by Markwell on 12/5/2026 3:54:28 AM",
      "",
      "",
      std::string(29, ' ') + "* Core *",  // 8 characters, even: (66 - 8) / 2
      kHead,
      kRule,
      At({{1, "Calculus"}, {42, " 4 "}, {52, "A-"}, {60, "3.7"}}),
      At({{1, "Chemistry"}, {42, " .5 "}, {52, "A"}, {60, "4.0"}}),
      kRule,
      At({{1, "Total"}, {42, " 4.5 "}, {60, "3.733"}}),
      "",
      "",
      std::string(26, ' ') + "* Everything *",  // 14 characters
      kHead,
      kRule,
      At({{1, "Calculus"}, {42, " 4 "}, {52, "A-"}, {60, "3.7"}}),
      At({{1, "Poetry"}, {42, " 3 "}, {52, "B+"}, {60, "3.3"}}),
      kRule,
      At({{1, "Total"}, {42, " 7 "}, {60, "3.529"}}),
      "",
      "",
      kRule,
      "Total Classes: 3" + std::string(7, ' ') + "Total Credits: 7.5" + std::string(7, ' ') +
          "Overall GPA: 3.56",
      kRule,
  });
  EXPECT_EQ(Report(gb, choices), expected);

  // A selected group without chosen classes still gets its (empty) section.
  gb.GroupNames.push_back({"Labs", false});
  choices.SelectedGroups = {"Labs"};
  choices.CheckedSemesters = {"Fall 2025"};
  const std::string labs = Report(gb, choices);
  EXPECT_NE(labs.find(std::string(29, ' ') + "* Labs *\r\n" + kHead + "\r\n" + kRule + "\r\n" +
                      kRule + "\r\n" + At({{1, "Total"}, {42, " 0 "}, {60, "0.0"}}) + "\r\n"),
            std::string::npos);
}

TEST(GradeReportTest, NothingChosenStillWritesSectionsAndAZeroClosingBlock) {
  GradeBook gb = SmallBook();
  ReportChoices choices;
  choices.CheckedSemesters = {"Fall 2025"};
  choices.MethodName = kMethod40;  // no group selected

  const std::string expected = Lines({
      "Created by Markwell on ",
      "",
      "",
      std::string(26, ' ') + "* Fall 2025 *",
      kHead,
      kRule,
      kRule,
      At({{1, "Total"}, {42, " 0 "}, {60, "0.0"}}),
      "",
      "",
      kRule,
      "Total Classes: 0" + std::string(8, ' ') + "Total Credits: 0" + std::string(8, ' ') +
          "Overall GPA: 0.0",
      kRule,
  });
  EXPECT_EQ(GradeReport(gb, choices, UpdateTotals(gb, choices), ""), expected);

  // No checked semester, by semester: the first line and the closing block only.
  choices.CheckedSemesters.clear();
  choices.SelectedGroups = {"Everything"};
  const std::string bare = Report(gb, choices);
  EXPECT_EQ(bare.substr(bare.find("\r\n") + 2, 4), "\r\n\r\n");
  EXPECT_EQ(bare.find("Class Name"), std::string::npos);
}

TEST(GradeReportTest, RowsCutLongNamesAndWrapPastTheirColumns) {
  GradeBook gb;
  gb.Methods = BuiltInMethods();
  Semester s;
  s.Name = "Fall";
  const std::string longName = "Introduction to Computational Linguistics";  // 41 characters
  s.AddClass(MakeClass(longName, 4, 2, {"Everything"}));
  s.AddClass(MakeClass("Thirds", 1.0 / 3.0, 1, {"Everything"}));
  // 38 two-byte characters and more: the cut and the columns count characters, not bytes.
  std::string umlauts;
  for (int i = 0; i < 40; ++i) umlauts += "\xC3\xBC";  // u with diaeresis
  s.AddClass(MakeClass(umlauts, 2, 12, {"Everything"}));
  gb.Semesters = {s};

  ReportChoices choices;
  choices.CheckedSemesters = {"Fall"};
  choices.SelectedGroups = {"Everything"};
  choices.MethodName = kMethod40;
  const std::string report = Report(gb, choices);

  std::string cutUmlauts;
  for (int i = 0; i < 38; ++i) cutUmlauts += "\xC3\xBC";
  const std::string rows = Lines({
      At({{1, "Introduction to Computational Linguist"}, {42, " 4 "}, {52, "A-"}, {60, "3.7"}}),
      // The credits end at column 59, past 52: the grade goes on a new line at column 52.
      At({{1, "Thirds"}, {42, " .333333333333333 "}}),
      At({{52, "A"}, {60, "4.0"}}),
      cutUmlauts + "   " + " 2 " + std::string(7, ' ') + "E" + std::string(7, ' ') + "0.0",
      kRule,
      // 6.333... fills columns 42 to 59 exactly: at column 60 the GPA follows at once.
      At({{1, "Total"}, {42, " 6.33333333333333 "}, {60, "2.547"}}),
  });
  EXPECT_NE(report.find(rows), std::string::npos) << report;
  // An even heading of 8 characters gets (66 - 8) / 2 blanks.
  EXPECT_NE(report.find("\r\n" + std::string(29, ' ') + "* Fall *\r\n"), std::string::npos);
}

TEST(GradeReportTest, WorkedExampleGivesA66CharacterSummaryLine) {
  GradeBook gb;
  gb.Methods = BuiltInMethods();
  Semester s;
  s.Name = "S";
  s.AddClass(MakeClass("One", 4, 2, {"G"}));    // A- = 3.7
  s.AddClass(MakeClass("Two", 3, 3, {"G"}));    // B+ = 3.3
  s.AddClass(MakeClass("Other", 5, 0, {"H"}));  // not chosen
  gb.Semesters = {s};
  ReportChoices choices;
  choices.CheckedSemesters = {"S"};
  choices.SelectedGroups = {"G"};
  choices.MethodName = kMethod40;

  const ReportTotals totals = UpdateTotals(gb, choices);
  const std::string summary =
      "Total Classes: 2" + std::string(8, ' ') + "Total Credits: 7" + std::string(8, ' ') +
      "Overall GPA: 3.529";
  ASSERT_EQ(summary.size(), 66u);
  const std::string report = GradeReport(gb, choices, totals, kDate);
  EXPECT_NE(report.find("\r\n" + kRule + "\r\n" + summary + "\r\n" + kRule + "\r\n"),
            std::string::npos)
      << report;
}

TEST(GradeReportTest, HeadingAndSummarySpacingFollowTheirRounding) {
  // Headings: odd lengths (65 - L) / 2, even lengths (66 - L) / 2, never fewer than 1.
  EXPECT_EQ(HeadingIndent(13), 26);
  EXPECT_EQ(HeadingIndent(8), 29);
  EXPECT_EQ(HeadingIndent(63), 1);
  EXPECT_EQ(HeadingIndent(64), 1);
  EXPECT_EQ(HeadingIndent(200), 1);
  // Summary: x = 13 gives 12, x = 12.5 gives 12, x = 12 gives 12, x = 8 gives 8.
  EXPECT_EQ(SummarySpacing(66 - 26), 12);
  EXPECT_EQ(SummarySpacing(66 - 25), 12);
  EXPECT_EQ(SummarySpacing(66 - 24), 12);
  EXPECT_EQ(SummarySpacing(50), 8);
  EXPECT_EQ(SummarySpacing(65), 0);
  EXPECT_EQ(SummarySpacing(66), 0);
  EXPECT_EQ(SummarySpacing(90), 0);

  // A 60-character semester name still gets one blank before its heading.
  GradeBook gb;
  gb.Methods = BuiltInMethods();
  Semester s;
  s.Name = std::string(60, 'x');
  gb.Semesters = {s};
  ReportChoices choices;
  choices.CheckedSemesters = {s.Name};
  EXPECT_NE(Report(gb, choices).find("\r\n\r\n\r\n * " + s.Name + " *\r\n"), std::string::npos);
}

TEST(GradeReportTest, OutputItemsKeepTheColumn) {
  ReportWriter w;
  w.Text("ab");
  w.PadTo(3);  // column 3: nothing
  w.Number(0.5);
  w.Number(-0.25);
  w.Number(12);
  EXPECT_EQ(w.Result(), "ab .5 -.25  12 ");
  EXPECT_EQ(w.Column(), 16);
  w.PadTo(16);
  w.PadTo(10);  // beyond: a new line padded to 10
  w.Blanks(2);
  w.EndLine();
  EXPECT_EQ(w.Result(), "ab .5 -.25  12 \r\n" + std::string(11, ' ') + "\r\n");
  EXPECT_EQ(w.Column(), 1);

  EXPECT_EQ(ReportNumberText(0), "0");
  EXPECT_EQ(ReportNumberText(10.5), "10.5");
  EXPECT_EQ(ReportNumberText(-3), "-3");
  EXPECT_EQ(FirstChars("\xC3\xA9t\xC3\xA9", 2), "\xC3\xA9t");
  EXPECT_EQ(FirstChars("abc", 38), "abc");
}

TEST(ReportTotalsTest, CountsChosenClassesWithTheDialogsMethod) {
  GradeBook gb = SmallBook();
  gb.Semesters[1].AddClass(MakeClass("Seminar", 0, 0, {"Everything"}));
  ReportChoices choices;
  choices.CheckedSemesters = {"Fall 2025", "Spring 2026"};
  choices.SelectedGroups = {"Everything"};
  choices.MethodName = kMethod40;

  ReportTotals t = UpdateTotals(gb, choices);
  EXPECT_EQ(t.ClassCount, 3);  // the 0-credit class counts
  EXPECT_DOUBLE_EQ(t.Credits, 7);
  EXPECT_DOUBLE_EQ(t.CheckedCredits, 7.5);
  EXPECT_EQ(TotalsCountText(t), "3");
  EXPECT_EQ(TotalsTooltipText(t), "(7/7.5 credits)");
  EXPECT_EQ(TotalsGpaText(t), "3.529");

  // A name matching no method falls back to the last one (Harvard: A- = 14, B+ = 12).
  choices.MethodName = "4.0 (a- = 3.7, b+ = 3.3)";
  t = UpdateTotals(gb, choices);
  EXPECT_EQ(ReportMethod(gb, choices.MethodName), &gb.Methods.back());
  EXPECT_EQ(TotalsGpaText(t), "13.143");  // (56 + 36) / 7
  EXPECT_EQ(t.ClassCount, 3);

  // Nothing selected: credits stay 0 in the tooltip, the GPA shows 0.0.
  choices.SelectedGroups.clear();
  t = UpdateTotals(gb, choices);
  EXPECT_EQ(TotalsTooltipText(t), "(0/7.5 credits)");
  EXPECT_EQ(TotalsGpaText(t), "0.0");

  // No methods at all: every grade is worth 0, nothing fails.
  gb.Methods.clear();
  choices.SelectedGroups = {"Core"};
  t = UpdateTotals(gb, choices);
  EXPECT_EQ(t.ClassCount, 2);
  EXPECT_EQ(TotalsGpaText(t), "0.0");
  EXPECT_NE(GradeReport(gb, choices, t, kDate)
                .find(At({{1, "Calculus"}, {42, " 4 "}, {52, "A-"}, {60, "0.0"}})),
            std::string::npos);
}

TEST(ReportFileTest, WritesWindows1252AndReportsFailure) {
  EXPECT_EQ(ReportBytes("Caf\xC3\xA9 \xE2\x82\xAC\r\n"), "Caf\xE9 \x80\r\n");
  // A character Windows-1252 lacks and a stray byte each become one question mark.
  EXPECT_EQ(ReportBytes("a\xE4\xB8\xAD" "b\xFF" "c"), "a?b?c");

  const auto dir = std::filesystem::temp_directory_path() / "markwell_report_test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "grades.txt").string();
  ASSERT_TRUE(WriteReportFile(path, "\xC3\x9C" "ber\r\n"));
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  EXPECT_EQ(bytes.str(), "\xDC" "ber\r\n");

  EXPECT_FALSE(WriteReportFile((dir / "missing" / "grades.txt").string(), "x"));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace mw
