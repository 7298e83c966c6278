// markwell-cli run as a separate process on grade book files the tests write.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <filesystem>

#include "report/grade_report.h"
#include "report/report_file.h"
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
const auto C = mw::test::MakeClass;

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
  AddSemester(gb, "Fall").Classes = {C("Math", 1, 3, {"Everything"}), C("Art", 7, 1, {"Everything"})};
  AddSemester(gb, "Spring \"B\"").Classes = {C("Gym", 1, 2, {"Other"}), C("Bio", 3, 0, {"Everything"})};
  return gb;
}

TEST(CliTest, SummaryTextAndJsonAreTheWindowsFigures) {
  GradeBook gb = HandBook();
  const std::string file = WriteBook("hand.mw", gb);
  Outcome o = Cli({"summary", file});
  EXPECT_EQ(o.out, "Method: Four\nSemester \"Fall\": GPA 3.5, 2 classes, 4 credits\n"
                   "Semester \"Spring \"B\"\": GPA 0.0, 1 class, 0 credits\n"
                   "Overall: GPA 3.5 (3 classes) (4/6 credits)\n");
  o = Cli({"summary", file, "--method=four"});  // names compare exactly
  EXPECT_TRUE(o.status == 2 && o.err.find("unknown method \"four\"; the file's grading methods are:\n"
                                          "  Four\n  Flat\nUsage:") != std::string::npos) << o.err;


  // Names that need escapes; a third semester shares the first one's name, and each of the two
  // shows the figures of both together, as the window does with that name current.
  gb.Semesters[0].Name = gb.SemesterOrder[0].Name = "Caf\xC3\xA9\t\\ \x7F/";
  AddSemester(gb, gb.Semesters[0].Name).Classes = {C("x", 12, 4.25, {"Other", "Everything"}), C("y", 5, 0.5, {"Other"})};
  const std::string cafe = "{\"name\": \"Caf\xC3\xA9\\t\\\\ \\u007f/\", \"gpa\": 1.696969696969697, \"gpa_text\": \"1.697\", "
                           "\"classes\": 3, \"credits\": 8.25}";
  o = Cli({"summary", WriteBook("hand.mw", gb), "--json"});
  EXPECT_EQ(o.out, "{\n  \"method\": \"Four\",\n  \"semesters\": [\n    " + cafe + ",\n"
                   "    {\"name\": \"Spring \\\"B\\\"\", \"gpa\": 0, \"gpa_text\": \"0.0\", \"classes\": 1, \"credits\": 0},\n    " +
                   cafe + "\n  ],\n  \"overall\": {\"gpa\": 1.696969696969697, \"gpa_text\": \"1.697\", \"classes\": 4, "
                   "\"credits\": 8.25, \"all_credits\": 10.75}\n}\n");
  EXPECT_TRUE(ValidJson(o.out));
  o = Cli({"summary", WriteBook("e.mw", GradeBook{}), "--json"});  // no methods, no semesters
  EXPECT_EQ(o.out, "{\n  \"method\": null,\n  \"semesters\": [],\n  \"overall\": {\"gpa\": 0, \"gpa_text\": \"0.0\", "
                   "\"classes\": 0, \"credits\": 0, \"all_credits\": 0}\n}\n");
}

TEST(CliTest, PredictPrintsTheStatusTextOfGo) {
  GradeBook gb = HandBook();  // 4 counted classes of 3 credits at B (3.0), method 0 to 4.3
  gb.Semesters[0].Classes = {C("a", 4, 3, {"Other", "Everything"}), C("b", 4, 3, {"Everything"}),
                             C("c", 4, 3, {"Everything"}), C("d", 4, 3, {"Everything"})};
  gb.Semesters[1].Classes.clear();
  const std::string file = WriteBook("predict.mw", gb);
  const std::string start = "Assuming each class is worth 3.0 credit(s), you need to average a ";
  for (const auto& [desired, left, said] : std::vector<std::array<std::string, 3>>{
           {"3.5", "2", start + "4.5 GPA for your next 2 classes. Too high!\n"},
           {"3.2", " 4", start + "3.4 GPA for your next 4 classes.\n"},
           {"0.5", "1", start + "-9.5 GPA for your next 1 class. Too low!\n"},
           {"0", "2", "Desired GPA value is out of range.\n"},
           {"3.x", "0.5", "You must have a postive number of classes left.\n"}})
    EXPECT_EQ(Cli({"predict", file, "--desired", desired, "--left", left}).out, said);
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
  // A password the window's prompt would refuse is reported, and the next line is read.
  o = Cli({"convert", plain, Path("six.mw"), "--protect"}, "seven77\n\xD0\x96\nsix666\n");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err.find("at most 6 characters") < o.err.find("Western European"), true) << o.err;

  // Files that do not read, and a protected one whose password is not given: status 1.
  for (const std::string& file : {Path("missing.mw"), WriteBytes("empty.mw", ""),
                                  WriteBytes("cut.mw", Slurp(plain).substr(0, 60)), temp.dir.string()}) {
    o = Cli({"summary", file});
    EXPECT_EQ(std::to_string(o.status) + o.err + o.out, "1Error reading in file \"" + file + "\"!\n");
  }
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
           {"predict", f, "--desired", "3"}}) {
    const Outcome o = Cli(args);
    EXPECT_EQ(o.status, 2) << ::testing::PrintToString(args);
    EXPECT_TRUE(o.err.rfind("markwell-cli: ", 0) == 0 && o.err.find("\nUsage: markwell-cli summary FILE") != std::string::npos)
        << o.err;
  }
  const Outcome help = Cli({"export", "--help"});
  EXPECT_TRUE(help.status == 0 && help.out.find("\nUsage:") != std::string::npos) << help.out;
  EXPECT_EQ(Cli({"summary", "--", f}).status, 0);
}

}  // namespace
