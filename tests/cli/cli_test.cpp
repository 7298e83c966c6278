// markwell-cli run as a separate process on grade book files the tests write.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <filesystem>

#include "report/grade_report.h"
#include "report/report_date.h"
#include "report/report_file.h"
#include "storage/file_io.h"
#include "../storage/book_helpers.h"

namespace {

namespace fs = std::filesystem;
using mw::GradeBook;
using mw::test::AddSemester;

struct Outcome { int status = -1; std::string out, err; };  // status 128 + signal when killed

std::string Slurp(const std::string& path) { std::string bytes; return mw::ReadFileBytes(path, bytes), bytes; }
std::string Quote(std::string s) {  // for the shell
  for (size_t i = 0; (i = s.find('\'', i)) != std::string::npos; i += 4) s.replace(i, 1, "'\\''");
  return "'" + s + "'";
}
// One folder for the whole run, removed at exit.
struct TempDir {
  fs::path dir = fs::temp_directory_path() / ("markwell-cli-" + std::to_string(getpid()));
  TempDir() { fs::create_directories(dir); }
  ~TempDir() { fs::remove_all(dir); }
} temp;
std::string Path(const std::string& name) { return (temp.dir / name).string(); }
std::string WriteBytes(const std::string& name, const std::string& bytes) {
  if (!mw::WriteFileAtomically(Path(name), bytes)) ADD_FAILURE() << "could not write " << name;
  return Path(name);
}
std::string WriteBook(const std::string& name, const GradeBook& gb) { return WriteBytes(name, mw::EncodePlain(gb).bytes); }

// Runs `command` with `input` on its standard input.
Outcome Shell(const std::string& command, const std::string& input) {
  const int ws = std::system((command + " <" + Quote(WriteBytes("stdin.txt", input)) + " >" + Quote(Path("out.txt")) +
                              " 2>" + Quote(Path("err.txt"))).c_str());
  return {WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws), Slurp(Path("out.txt")), Slurp(Path("err.txt"))};
}
Outcome Cli(const std::vector<std::string>& args, const std::string& input = "") {
  std::string command = Quote(MARKWELL_CLI_PATH);
  for (const std::string& a : args) command += ' ' + Quote(a);
  return Shell(command, input);
}
// python3's strict JSON reader, where there is one, takes `text`.
bool ValidJson(const std::string& text) {
  return Shell("(python3 -c 'import json, sys; json.loads(sys.stdin.buffer.read(), parse_constant=lambda c: 1 / 0)'"
               " || ! command -v python3)", text).status == 0;
}
using mw::test::MakeClass;

// "Four" gives A 4.0, B+ 3.3, B 3.0, C 2.0; "Flat" 2.5 for all. "Other" is outside the mask,
// so Gym does not count; Bio counts with 0 credits.
GradeBook HandBook() {
  GradeBook gb;
  gb.Methods.resize(2);
  gb.Methods[0].Name = "Four";
  gb.Methods[0].SetNumerical({4.3, 4, 3.7, 3.3, 3, 2.7, 2.3, 2, 1.7, 1.3, 1, 0.7, 0});
  gb.Methods[1].Name = "Flat";
  gb.Methods[1].SetNumerical({2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.5});
  gb.MethodPos = 0;
  gb.GroupNames = {{"Everything", true}, {"Other", false}};
  AddSemester(gb, "Fall").Classes = {MakeClass(gb, "Math", 1, 3, {"Everything"}), MakeClass(gb, "Art", 7, 1, {"Everything"})};
  AddSemester(gb, "Spring \"B\"").Classes = {MakeClass(gb, "Gym", 1, 2, {"Other"}), MakeClass(gb, "Bio", 3, 0, {"Everything"})};
  return gb;
}

TEST(CliTest, SummaryTextAndJsonAreTheWindowsFigures) {
  GradeBook gb = HandBook();
  const std::string file = WriteBook("hand.mw", gb);
  Outcome o = Cli({"summary", file});
  EXPECT_EQ(o.out, "Method: Four\nSemester \"Fall\": GPA 3.5, 2 classes, 4 credits\n"
                   "Semester \"Spring \"B\"\": GPA 0.0, 1 class, 0 credits\n"
                   "Overall: GPA 3.5 (3 classes) (4/6 credits)\n");
  EXPECT_EQ(Cli({"summary", file, "--method=Flat"}).out.rfind("Method: Flat\nSemester \"Fall\": GPA 2.5,", 0), 0u);
  o = Cli({"summary", file, "--method=four"});  // names compare exactly
  EXPECT_TRUE(o.status == 2 && o.err.find("unknown method \"four\"; the file's grading methods are:\n"
                                          "  Four\n  Flat\nUsage:") != std::string::npos) << o.err;


  // Names that need escapes; a third semester shares the first one's name, and each of the two
  // shows the figures of both together, as the window does with that name current.
  gb.Semesters[0].Name = gb.SemesterOrder[0].Name = "Caf\xC3\xA9\t\\ \x7F/";
  AddSemester(gb, gb.Semesters[0].Name).Classes = {MakeClass(gb, "x", 12, 4.25, {"Other", "Everything"}), MakeClass(gb, "y", 5, 0.5, {"Other"})};
  const std::string cafe = "{\"name\": \"Caf\xC3\xA9\\t\\\\ \\u007f/\", \"gpa\": 1.696969696969697, \"gpa_text\": \"1.697\", "
                           "\"classes\": 3, \"credits\": 8.25}";
  o = Cli({"summary", WriteBook("hand.mw", gb), "--json"});
  EXPECT_EQ(o.out, "{\n  \"method\": \"Four\",\n  \"groups\": [\"Everything\"],\n  \"semesters\": [\n    " + cafe + ",\n"
                   "    {\"name\": \"Spring \\\"B\\\"\", \"gpa\": 0, \"gpa_text\": \"0.0\", \"classes\": 1, \"credits\": 0},\n    " +
                   cafe + "\n  ],\n  \"overall\": {\"gpa\": 1.696969696969697, \"gpa_text\": \"1.697\", \"classes\": 4, "
                   "\"credits\": 8.25, \"all_credits\": 10.75}\n}\n");
  EXPECT_TRUE(ValidJson(o.out));
  // The text form shows control characters escaped.
  gb.Semesters[0].Name = gb.SemesterOrder[0].Name = "\x1b]0;owned\x07\x1b[2J";
  o = Cli({"summary", WriteBook("esc.mw", gb)});
  EXPECT_NE(o.out.find("Semester \"\\x1b]0;owned\\x07\\x1b[2J\""), std::string::npos) << o.out;
  o = Cli({"summary", WriteBook("e.mw", GradeBook{}), "--json"});  // no methods, no semesters
  EXPECT_EQ(o.out, "{\n  \"method\": null,\n  \"groups\": [],\n  \"semesters\": [],\n  \"overall\": {\"gpa\": 0, \"gpa_text\": \"0.0\", "
                   "\"classes\": 0, \"credits\": 0, \"all_credits\": 0}\n}\n");
}

TEST(CliTest, SummaryCountsTheGroupsAndSemestersNamed) {
  const std::string file = WriteBook("hand.mw", HandBook());
  // Gym (A, 2 credits) is only in "Other"; Bio (B+, 0 credits) only in "Everything".
  Outcome o = Cli({"summary", file, "--group", "Other", "--semester", "Spring \"B\""});
  EXPECT_EQ(o.out, "Method: Four\nCounting: Other\nSemester \"Fall\": GPA 0.0, 0 classes, 0 credits\n"
                   "Semester \"Spring \"B\"\": GPA 4.0, 1 class, 2 credits\n"
                   "Overall: GPA 4.0 (1 class) (2/2 credits)\n");
  o = Cli({"summary", file, "--json", "--group=Other", "--group=Everything"});
  EXPECT_NE(o.out.find("\"groups\": [\"Everything\", \"Other\"]"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("\"classes\": 4, \"credits\": 6"), std::string::npos) << o.out;
  o = Cli({"summary", file, "--group", "Major"});
  EXPECT_TRUE(o.status == 2 && o.err.find("unknown group \"Major\"") != std::string::npos) << o.err;
}

// The messages themselves are the model's; here what goes to which stream, with which status.
TEST(CliTest, PredictPrintsTheStatusTextOfGo) {
  GradeBook gb = HandBook();  // 4 counted classes of 3 credits at B (3.0), method 0 to 4.3
  gb.Semesters[0].Classes = {MakeClass(gb, "a", 4, 3, {"Other", "Everything"}), MakeClass(gb, "b", 4, 3, {"Everything"}),
                             MakeClass(gb, "c", 4, 3, {"Everything"}), MakeClass(gb, "d", 4, 3, {"Everything"})};
  gb.Semesters[1].Classes.clear();
  const std::string file = WriteBook("predict.mw", gb);
  for (const auto& [by, desired, left, said] : std::vector<std::array<std::string, 4>>{
           {"--left", "3.5", "2", "0Assuming each class is worth 3.0 credit(s), you need to average a 4.5 GPA for "
                                  "your next 2 classes. Too high!\n"},
           {"--left", "3", "two", "1Please enter a numeric value for the number of classes left.\n"},
           {"--left", "0", "2", "1Desired GPA value is out of range.\n"},
           {"--credits", "3.2", "12", "0You need to average a 3.4 GPA over your next 12 credit(s).\n"},
           {"--credits", "3", "x", "1Please enter a numeric value for the number of credits left.\n"}}) {
    const Outcome o = Cli({"predict", file, "--desired", desired, by, left});
    EXPECT_EQ(std::to_string(o.status) + o.out + o.err, said);
  }
  EXPECT_EQ(Cli({"predict", file, "--desired", "3", "--left", "2", "--credits", "6"}).status, 2);
}

TEST(CliTest, ExportIsTheDialogsReportByteForByte) {
  const GradeBook gb = HandBook();
  const std::string file = WriteBook("hand.mw", gb);
  auto dialog = [&](mw::ReportOrganisation org, std::vector<std::string> semesters,
                    std::vector<std::string> groups, const char* method, const char* date) {
    const mw::ReportChoices ch{org, std::move(semesters), std::move(groups), method};
    return mw::ReportBytes(mw::GradeReport(gb, ch, mw::UpdateTotals(gb, ch), date));
  };
  EXPECT_EQ(Cli({"export", file, "--date", "1/2/2026 3:04:05 PM"}).out,
            dialog(mw::ReportOrganisation::BySemester, {"Fall", "Spring \"B\""}, {"Everything"},
                   "Four", "1/2/2026 3:04:05 PM"));
  // The groups follow the group list's order, not the order they were named in.
  Outcome o = Cli({"export", file, "--by", "group", "--group", "Other", "--group=Everything", "--semester",
                   "Spring \"B\"", "--method", "Flat", "-o", Path("r.txt"), "--date", "t\xC3\xA9"});
  EXPECT_EQ(o.out, "Exported grades to file '" + Path("r.txt") + "'.\n");
  EXPECT_EQ(Slurp(Path("r.txt")), dialog(mw::ReportOrganisation::ByGroup, {"Spring \"B\""},
                                         {"Everything", "Other"}, "Flat", "t\xC3\xA9"));
  o = Cli({"export", file, "-o", Path("no/folder/r.txt")});
  EXPECT_EQ(std::to_string(o.status) + o.err, "1Error saving to file \"" + Path("no/folder/r.txt") + "\"! (Read-only?)\n");

  // Without --date, the first line is the window's: the same date rule, in the same locale.
  std::string before = mw::ReportDateTextNow(), first = Cli({"export", file}).out, after = mw::ReportDateTextNow();
  first = first.substr(0, first.find('\r'));
  EXPECT_TRUE(first == "Created by Markwell on " + before || first == "Created by Markwell on " + after) << first;
}

TEST(CliTest, ExportNeverWritesOverAGradeBookUnlessForced) {
  const std::string book = WriteBook("guarded.mw", HandBook()), bytes = Slurp(book);
  fs::create_hard_link(book, Path("hard.mw"));
  fs::create_symlink("guarded.mw", Path("soft.txt"));
  const std::string locked = Path("locked.mw");
  ASSERT_EQ(Cli({"convert", book, locked, "--protect"}, "pw\n").status, 0);
  const std::string lockedBytes = Slurp(locked);
  for (const std::string& target : {book, Path("hard.mw"), Path("soft.txt"), locked, temp.dir.string() + "/./guarded.mw"}) {
    const Outcome o = Cli({"export", book, "-o", target});
    EXPECT_EQ(o.status, 1) << target;
    EXPECT_NE(o.err.find("the report was not written (--force writes it anyway)"), std::string::npos) << o.err;
  }
  EXPECT_TRUE(Slurp(book) == bytes && Slurp(locked) == lockedBytes);
  // A report over a report, and anything with --force, is written.
  EXPECT_EQ(Cli({"export", book, "-o", WriteBytes("old.txt", "Created by Markwell")}).status, 0);
  EXPECT_EQ(Cli({"export", book, "-o", locked, "--force"}).status, 0);
  EXPECT_EQ(Slurp(locked).rfind("Created by Markwell on ", 0), 0u);
  // convert reads its whole input before it replaces it.
  EXPECT_EQ(Cli({"convert", book, book}).status, 0);
  EXPECT_EQ(Slurp(book), bytes);
}

// At a terminal the prompts go to standard error and what is typed is not echoed.
TEST(CliTest, PasswordsTypedAtATerminalAreNotEchoed) {
  if (Shell("command -v python3", "").status != 0) GTEST_SKIP() << "python3 runs the pseudo-terminal";
  const std::string locked = Path("tty.mw");
  ASSERT_EQ(Cli({"convert", WriteBook("plain.mw", HandBook()), locked, "--protect"}, "secret\n").status, 0);
  // terminal_run.py types a wrong password, then the right one, with a stop and a continue
  // (which turn echo back on) in between.
  const Outcome o = Shell("python3 " + Quote(MARKWELL_TERMINAL_RUN) + " " + Quote(MARKWELL_CLI_PATH) + " summary " + Quote(locked), "");
  EXPECT_NE(o.out.find("Password for \"" + locked + "\": \r\nWrong password. Password for \"" + locked + "\": \r\nMethod: Four"),
            std::string::npos) << o.status << o.out << o.err;
  EXPECT_TRUE(o.out.find("guess1") == std::string::npos && o.out.find("secret") == std::string::npos) << o.out;
}

TEST(CliTest, ConvertRoundTripsThroughTheProtectedFormAndUnreadableFilesGiveStatusOne) {
  const std::string plain = WriteBook("hand.mw", HandBook()), locked = Path("locked.mw");
  Outcome o = Cli({"convert", plain, locked, "--protect"}, "secret\n");
  EXPECT_EQ(o.out, "Sucessfully saved to file " + locked + ". (password-protected)\n");
  o = Cli({"convert", locked, Path("back.mw")}, "wrong\r\nsecret\r\n");  // asked again after a wrong one
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(Slurp(Path("back.mw")), Slurp(plain));
  // Protected to protected: the reading password first, then the new one.
  EXPECT_EQ(Cli({"convert", locked, Path("re.mw"), "--protect"}, "secret\nnew\n").status, 0);
  EXPECT_EQ(Cli({"summary", Path("re.mw")}, "new\n").out, Cli({"summary", plain}).out);
  o = Cli({"convert", plain, Path("none.mw"), "--protect"}, "\n");
  EXPECT_EQ(std::to_string(o.status) + o.err, "1No password entered; did not save file \"" + Path("none.mw") +
                       "\"! (Turn off password-protection in the Options menu.)\n");
  EXPECT_FALSE(fs::exists(Path("none.mw")));
  // A target marked read-only keeps its content.
  const std::string readOnly = WriteBytes("ro.mw", "old");
  fs::permissions(readOnly, fs::perms::owner_read);
  o = Cli({"convert", plain, readOnly});
  EXPECT_EQ(std::to_string(o.status) + o.err + Slurp(readOnly), "1Error saving to file \"" + readOnly + "\"! (Read-only?)\nold");
  // A password the window's prompt would refuse is reported, and the next line is read.
  o = Cli({"convert", plain, Path("six.mw"), "--protect"}, "seven77\n\xD0\x96\nsix666\n");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err.find("at most 6 characters") < o.err.find("Western European"), true) << o.err;

  // Files that do not read or do not decode, and a protected one whose password is not
  // given: status 1 (the reader's other refusals are tested with the reader). A 64 GiB file
  // is refused before it is read.
  const std::string huge = WriteBytes("huge.mw", "1\r\n");
  ASSERT_EQ(::truncate(huge.c_str(), 64LL << 30), 0);
  for (const std::string& file : {huge, Path("missing.mw"), WriteBytes("cut.mw", Slurp(plain).substr(0, 60))}) {
    o = Cli({"summary", file});
    EXPECT_EQ(std::to_string(o.status) + o.err + o.out, "1Error reading in file \"" + file + "\"!\n");
  }
  // Credits past the bound: the reading error says which class.
  GradeBook far = HandBook();
  far.Semesters[0].Classes[0].Credits = 7.25;
  std::string farBytes = mw::EncodePlain(far).bytes;
  farBytes.replace(farBytes.find("7.25"), 4, "1e300");
  o = Cli({"summary", WriteBytes("far.mw", farBytes)});
  EXPECT_EQ(std::to_string(o.status) + o.err, "1Error reading in file \"" + Path("far.mw") + "\"!\n" +
            mw::CreditsError("Math", "Fall") + "\n");
  for (const char* input : {"", "\n", "nope\nstill not\n"}) {
    o = Cli({"summary", locked}, input);
    EXPECT_EQ(std::to_string(o.status) + o.err, "1Did not open file \"" + locked + "\"!\n") << input;
  }
}

TEST(CliTest, UsageErrorsGiveStatusTwoAndTheUsage) {
  const std::string f = WriteBook("hand.mw", HandBook());
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"report", f}, {"summary"}, {"summary", f, f}, {"summary", f, "--verbose"},
           {"summary", f, "--protect"}, {"summary", f, "--method"}, {"convert", f},
           {"export", f, "-o", "a", "-o", "b"}, {"export", f, "--by", "class"}, {"summary", f, "--json=1"},
           {"predict", f, "--desired", "3"}, {"import", f}, {"export", f, "--csv", "--by", "group"}}) {
    const Outcome o = Cli(args);
    EXPECT_EQ(o.status, 2) << ::testing::PrintToString(args);
    EXPECT_TRUE(o.err.rfind("markwell-cli: ", 0) == 0 && o.err.find("\nUsage: markwell-cli summary FILE") != std::string::npos)
        << o.err;
  }
  const Outcome help = Cli({"export", "--help"});
  EXPECT_TRUE(help.status == 0 && help.out.find("\nUsage:") != std::string::npos) << help.out;
  EXPECT_EQ(Cli({"summary", "--", f}).status, 0);
}

// import writes a new book from a table, refusing rows (status 1, the book still written) and
// an existing file without --force; export --csv gives the table back.
TEST(CliTest, ImportWritesABookAndReportsRefusedRows) {
  const std::string table = WriteBytes("classes.csv", "Semester,Class,Credits,Grade\nFall,Math,4,b+\n");
  const std::string book = Path("imported.mw");
  Outcome o = Cli({"import", table, "-o", book});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(Cli({"export", book, "--csv"}).out, "Semester,Class,Credits,Grade,Groups\r\nFall,Math,4,B+,Everything\r\n");
  const std::string bytes = Slurp(book);
  EXPECT_EQ(Cli({"import", table, "-o", book}).status, 1);  // exists
  EXPECT_EQ(Slurp(book), bytes);
  WriteBytes("classes.csv", "Fall,Math,4,B+\nFall,Math,3,A\nFall,Art,x,A\n");
  o = Cli({"import", table, "-o", book, "--force"});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, table + ": line 2: A class with that name already exists!\n" + table +
                       ": line 3: Please enter a numeric value for the number of credits.\n"
                       "markwell-cli: 2 rows were refused; the grade book was written without them.\n");
  EXPECT_EQ(Cli({"summary", book}).status, 0);
  EXPECT_EQ(Cli({"import", table, "-o", book, "--force", "--sheet", "x"}).status, 1);
}

}  // namespace

