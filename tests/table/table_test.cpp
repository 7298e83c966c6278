// Tables as students keep them, read into grade books.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <tuple>

#include "edit/edit.h"
#include "model/method.h"
#include "storage/file_io.h"
#include "storage/gradebook_file.h"
#include "table/import.h"
#include "../storage/book_helpers.h"

namespace {

using namespace mw;
using namespace mw::table;

const std::string kUnstorable = edit::kUnstorableName;
const std::string kCredits = "Please enter a numeric value for the number of credits.";
const std::string kTwice = "A class with that name already exists!";

// The fixture read and imported into a fresh book with "Now" as the current semester: the
// book's classes as CSV, and each refused row as "position: reason".
struct Imported {
  std::string csv;
  std::vector<std::string> refused;
  std::string error;
};

Imported ImportRead(GradeBook& gb, const ReadResult& read) {
  Imported out;
  out.error = read.error;
  const ImportPlan plan = PlanImport(gb, read.table, GuessMapping(read.table), "Now");
  for (const auto& row : plan.rows)
    if (!row.planned) out.refused.push_back(row.position + ": " + row.reason);
  auto outcome = edit::AddClasses(gb, plan.Accepted(), "Import");
  edit::Apply(gb, outcome);
  out.csv = ClassesCsv(gb);
  return out;
}

Imported ImportFixture(const std::string& name, const std::string& sheet = {}) {
  GradeBook gb = test::FreshBook();
  return ImportRead(gb, ReadTableFile(std::string(MW_TABLE_FIXTURES) + "/" + name, sheet));
}

const std::string kHead = "Semester,Class,Credits,Grade,Groups\r\n";

// The transcript in its three forms: a header of other names, a byte-order mark, CR LF,
// quoted commas, quotes and line breaks, a blank line, a trailing empty column, grades in
// any case with "F" for "E", and one refusal of each kind.
const std::string kTranscript =
    kHead +
    "Fall 2023,\"Writing, Reading and \"\"Rhetoric\"\"\",3,B+,Everything;Core\r\n"
    "Fall 2023,Calculus I,4,A-,Everything;Core;Math\r\n"
    "Spring 2024,Ethics,3,E,Everything\r\n"
    "Spring 2024,Calculus I,4,A+,Everything;Math\r\n";

TEST(TableImport, FixturesGiveTheirGradeBooks) {
  const std::string badGrade = "\"P\" is not a letter grade (A+ to E, or F).";
  const std::tuple<const char*, std::string, std::vector<std::string>> cases[] = {  // file, its book, refusals
      {"transcript.csv", kTranscript,
       {"line 5: " + kUnstorable, "line 8: " + badGrade, "line 10: " + kTwice,
        "line 11: " + kCredits}},
      {"transcript.ods", kTranscript,
       {"cell A5: " + kUnstorable, "cell A7: " + badGrade, "cell A9: " + kTwice,
        "cell A10: " + kCredits}},
      {"transcript.xlsx", kTranscript,
       {"cell A5: " + kUnstorable, "cell A7: " + badGrade, "cell A9: " + kTwice,
        "cell A10: " + kCredits}},
      // Windows-1252, semicolons, decimal commas, credits past the bound.
      {"european.csv",
       kHead + "Hiver,\xC3\x89" "conomie,2.5,A,Everything\r\nHiver,G\xC3\xA9ographie,1.75,C-,"
               "Everything\r\n",
       {"line 4: " + kCredits}},
      // No header: the full column order; an empty semester cell continues the one above.
      {"plain_rows.csv",
       kHead + "Fall,Biology,4,A,Everything;Science\r\nFall,Chemistry,3,B-,Everything;Science;Lab\r\n"
               "Winter,History,3,C+,Everything\r\n",
       {"line 2: " + kUnstorable}},
      // Class, Credits, Grade[, Groups] go into the current semester.
      {"pasted.tsv",
       kHead + "Now,Physics,4,B+,Everything;Science\r\nNow,Poetry,3,A,Everything\r\n"
               "Now,Music,2,E,Everything\r\n",
       {}},
  };
  for (const auto& [file, csv, refused] : cases) {
    const Imported got = ImportFixture(file);
    EXPECT_EQ(got.error, "") << file;
    EXPECT_EQ(got.csv, csv) << file;
    EXPECT_EQ(got.refused, refused) << file;
  }
  EXPECT_EQ(ImportFixture("transcript.ods", "transcript").csv, kTranscript);
  EXPECT_EQ(ImportFixture("transcript.xlsx", "Marks").error, "The workbook has no sheet named Marks.");
}

// Export, import into a fresh book, and the same grade book comes back (methods and mask
// aside): names needing quotes, fractional and negative credits, every letter, groups.
TEST(TableImport, ExportedCsvImportsToTheSameBook) {
  GradeBook gb = test::FreshBook();
  gb.GroupNames.push_back({"Major, \"core\"", false});
  gb.GroupNames.push_back({"Lab", true});
  test::AddSemester(gb, "Fall, 2023");
  test::AddSemester(gb, "Spring \"late\"");
  for (int g = 0; g < kGradeCount; ++g)
    gb.Semesters[static_cast<size_t>(g % 2)].AddClass(test::MakeClass(
        gb, "C\xC3\xA9" + std::to_string(g), g, g == 3 ? -0.5 : g / 3.0,
        g % 3 ? std::vector<std::string>{"Everything", "Major, \"core\""}
              : std::vector<std::string>{"Everything", "Lab", "Major, \"core\""}));
  std::swap(gb.SemesterOrder[0], gb.SemesterOrder[1]);  // the list's order is what counts
  const std::string csv = ClassesCsv(gb);

  GradeBook back = test::FreshBook();
  EXPECT_EQ(ImportRead(back, ReadTable(csv, TableKind::Csv)).refused, std::vector<std::string>{});
  // Groups come in the order the classes first name them; the book above names them so too
  // once its semesters are listed in file order, which a save and load gives.
  const auto reloaded = DecodeGradeBook(EncodePlain(gb).bytes, "", nullptr).book;
  back.Methods = reloaded.Methods;
  back.MethodPos = reloaded.MethodPos;
  ASSERT_EQ(back.GroupNames.size(), reloaded.GroupNames.size());
  for (size_t i = 0; i < back.GroupNames.size(); ++i)
    back.GroupNames[i].InMask = reloaded.GroupNames[i].InMask;
  EXPECT_EQ(EncodePlain(back).bytes, EncodePlain(reloaded).bytes);
}

TEST(TableImport, MappingByHeaderOrByContent) {
  const std::tuple<const char*, std::array<int, kFieldCount>, bool> cases[] = {  // text, columns, header
      {"Year\tNotes\tTitle\tCR\tMark\tCategory\n2024\tx\tMath\t3\tA\tCore\n", {0, 2, 3, 4, 5}, true},
      {"SUBJECT,Letter Grade,credit hours\nMath,A,3\n", {-1, 0, 2, 1, -1}, true},
      {"Math\t3\tA\nArt\t2\tb+\tMinor\n", {-1, 0, 1, 2, 3}, false},
      {"Fall;Math;3,5;A\nFall;Art;2;B\n", {0, 1, 2, 3, 4}, false},
      // "Name" alone beside a number is a class called Name, not a header.
      {"Fall,Name,3,A\n", {0, 1, 2, 3, 4}, false},
  };
  for (const auto& [text, columns, header] : cases) {
    const ColumnMapping m = GuessMapping(ParsePastedText(text));
    EXPECT_EQ(m.column, columns) << text;
    EXPECT_EQ(m.header, header) << text;
  }
}

TEST(TableImport, PastedTextFindsItsDelimiter) {
  const std::pair<const char*, std::vector<std::vector<std::string>>> cases[] = {
      {"Math\t3,5\tA\r\n", {{"Math", "3,5", "A"}}},
      {"Math;3,5;A\nArt;2;B\n", {{"Math", "3,5", "A"}, {"Art", "2", "B"}}},
      {"\"Art; Design\",2,B\n", {{"Art; Design", "2", "B"}}},
      {"Fall 2023\nArt, Design\t2,5\tB\nMath\t3\tA\n",
       {{"Fall 2023"}, {"Art, Design", "2,5", "B"}, {"Math", "3", "A"}}},
      {"\"Two\nlines\"\t1\tA\n\n\nX\t\t\t\n", {{"Two\nlines", "1", "A"}, {"X"}}},
  };
  for (const auto& [text, want] : cases) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& r : ParsePastedText(text).rows) rows.push_back(r.cells);
    EXPECT_EQ(rows, want) << text;
  }
  EXPECT_EQ(ParsePastedText("a\n\n\"b\nc\"\nd").rows.back().position, "line 5");
  // "Unicode text" from a spreadsheet: UTF-16 with its byte-order mark, both byte orders.
  const std::string le("\xFF\xFE" "\xE9\0\t\0" "=\xD8\0\xDE" "\n\0", 10);
  const std::string be("\xFE\xFF" "\0\xE9\0\t" "\xD8=\xDE\0" "\0\n", 10);
  for (const std::string& text : {le, be})
    EXPECT_EQ(ReadTable(text, TableKind::Csv).table.rows.at(0).cells,
              (std::vector<std::string>{"\xC3\xA9", "\xF0\x9F\x98\x80"}));
}

TEST(TableImport, GradeLettersAndRefusalsAgainstTheBook) {
  for (auto [text, grade] : {std::pair{" b+ ", 3}, {"f", 12}, {"E", 12}, {"F+", -1}, {"A+-", -1}})
    EXPECT_EQ(ParseGradeLetter(text).value_or(-1), grade) << text;

  GradeBook gb = test::OneClassBook();  // Fall: Math
  const Table table = ParsePastedText(
      "Fall\tMath\t4\tA\nFall\tArt\t\tc\n\tArt\t1\tA\nWinter\tMath\t-1\tB\tNew;Everything\n"
      "\tLogic\t3\t\n");
  const ImportPlan plan = PlanImport(gb, table, GuessMapping(table), "");
  ASSERT_EQ(plan.rows.size(), 5u);
  EXPECT_EQ(plan.rows[0].reason, kTwice);  // the book's own class
  EXPECT_EQ(plan.rows[1].planned->credits, 0);  // empty credits read as the box reads them
  EXPECT_EQ(plan.rows[2].reason, kTwice);  // an earlier row's
  EXPECT_EQ(plan.rows[4].reason, "No grade.");
  EXPECT_EQ(plan.newSemesters, std::vector<std::string>{"Winter"});
  EXPECT_EQ(plan.newGroups, std::vector<std::string>{"New"});
  EXPECT_EQ(plan.classCount, 2);
}

// Many classes are one step, named by their number, and undo gives back the very file.
TEST(TableImport, AddClassesIsOneStepUndoneToTheSameBytes) {
  GradeBook gb = test::OneClassBook();
  const std::string before = EncodePlain(gb).bytes;
  std::vector<edit::NewClass> classes = {{"Fall", "Art", 1, 2, {"Core"}},
                                         {"Winter", "Math", 12, 3.5, {}}};
  auto outcome = edit::AddClasses(gb, classes, "Paste");
  ASSERT_TRUE(outcome.step);
  EXPECT_EQ(outcome.step->Name, "Paste 2 Classes");
  edit::Apply(gb, outcome);
  EXPECT_EQ(ClassesCsv(gb), kHead +
                                "Fall,Math,4,B+,Everything\r\nFall,Art,2,A,Everything;Core\r\n"
                                "Winter,Math,3.5,E,Everything\r\n");
  outcome.step->Undo(gb);
  EXPECT_EQ(EncodePlain(gb).bytes, before);
  classes.resize(1);
  EXPECT_EQ(edit::AddClasses(gb, classes, "Import").step->Name, "Import 1 Class");
  classes.push_back(classes[0]);
  EXPECT_EQ(edit::AddClasses(gb, classes, "Import").status, kTwice);
}

// A file far past any table's size is refused before it is read, as a folder is.
TEST(TableRead, HugeFilesAndFoldersAreRefusedUnread) {
  const std::string huge = ::testing::TempDir() + "huge-table.csv";
  FILE* f = std::fopen(huge.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  ASSERT_EQ(::truncate(huge.c_str(), 64LL << 30), 0);
  EXPECT_FALSE(ReadTableFile(huge).ok());
  EXPECT_FALSE(ReadTableFile(::testing::TempDir()).ok());
  std::remove(huge.c_str());
}

TEST(TableRead, DamagedWorkbooksAreRefused) {
  std::string ods;
  ASSERT_TRUE(ReadFileBytes(std::string(MW_TABLE_FIXTURES) + "/transcript.ods", ods));
  EXPECT_EQ(DetectKind("x.bin", ods), TableKind::Ods);
  EXPECT_EQ(DetectKind("x.TSV", "a\tb"), TableKind::Tsv);
  for (const std::string& cut : {ods.substr(0, ods.size() / 2), std::string("PK\x03\x04")}) {
    EXPECT_FALSE(ReadTable(cut, TableKind::Ods).ok());
    EXPECT_FALSE(ReadTable(cut, TableKind::Xlsx).ok());
  }
}

}  // namespace
