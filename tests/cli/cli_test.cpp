// markwell-cli run as a separate process on grade book files the tests write.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <map>
#include <optional>
#include <random>

#include "model/gpa.h"
#include "report/grade_report.h"
#include "report/report_file.h"
#include "storage/gradebook_file.h"

namespace {

namespace fs = std::filesystem;
using mw::GradeBook;
using Flat = std::map<std::string, std::string>;

struct Outcome { int status = -1; std::string out, err; };  // status 128 + signal when killed

std::string Slurp(const std::string& path) { std::string bytes; return mw::ReadFileBytes(path, bytes), bytes; }
std::string Quote(std::string s) {  // for the shell
  for (size_t i = 0; (i = s.find('\'', i)) != std::string::npos; i += 4) s.replace(i, 1, "'\\''");
  return "'" + s + "'";
}
double Num(const Flat& j, const std::string& key) { return std::strtod(j.at(key).c_str(), nullptr); }

// python3's strict JSON reader flattens the output into its scalars by path
// ("semesters.0.gpa" -> "3.5"); without python3 the JSON checks are skipped.
const bool kPython = std::system("python3 -c '' >/dev/null 2>&1") == 0;
const char* const kFlatten = R"py(python3 -c '
import json, sys
def walk(p, v):
    if type(v) in (dict, list): [walk(p + [str(k)], x) for k, x in (v.items() if type(v) is dict else enumerate(v))]
    else: sys.stdout.buffer.write((".".join(p) + "\0" + (v if type(v) is str else json.dumps(v)) + "\0").encode())
walk([], json.loads(sys.stdin.buffer.read(), parse_constant=lambda c: 1 / 0))')py";

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
std::optional<Flat> Json(const std::string& text) {
  const Outcome o = Shell(kFlatten, text);
  std::vector<std::string> parts;  // path, value, path, value...
  for (size_t i = 0, k; (k = o.out.find('\0', i)) != std::string::npos; i = k + 1) parts.push_back(o.out.substr(i, k - i));
  Flat flat;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) flat[parts[i]] = parts[i + 1];
  return o.status == 0 ? std::optional(flat) : std::nullopt;
}

mw::Class C(std::string name, int grade, double credits, std::vector<std::string> groups) {
  return {std::move(name), static_cast<int16_t>(grade), credits, std::move(groups)};
}
void AddSemester(GradeBook& gb, const std::string& name, std::vector<mw::Class> classes) {
  gb.Semesters.push_back({std::move(classes), name});
  gb.SemesterOrder.push_back({name, true});
}

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
  AddSemester(gb, "Fall", {C("Math", 1, 3, {"Everything"}), C("Art", 7, 1, {"Everything"})});
  AddSemester(gb, "Spring \"B\"", {C("Gym", 1, 2, {"Other"}), C("Bio", 3, 0, {"Everything"})});
  return gb;
}

TEST(CliTest, SummaryTextAndJsonShowTheHandComputedFigures) {
  GradeBook gb = HandBook();
  const std::string file = WriteBook("hand.mw", gb);
  Outcome o = Cli({"summary", file});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "Method: Four\nSemester \"Fall\": GPA 3.5, 2 classes, 4 credits\n"
                   "Semester \"Spring \"B\"\": GPA 0.0, 1 class, 0 credits\n"
                   "Overall: GPA 3.5 (3 classes) (4/6 credits)\n");
  o = Cli({"summary", file, "--method=four"});  // names compare exactly
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(o.err.find("unknown method \"four\"; the file's grading methods are:\n  Four\n  Flat\nUsage:"),
            std::string::npos) << o.err;

  if (!kPython) GTEST_SKIP() << "no python3 to read the JSON";
  gb.Semesters[0].Name = gb.SemesterOrder[0].Name = "Caf\xC3\xA9\t\\ \x7F/";
  const std::optional<Flat> j = Json(Cli({"summary", WriteBook("hand.mw", gb), "--json"}).out);
  ASSERT_TRUE(j);
  EXPECT_EQ(j->at("method") + '|' + j->at("semesters.0.name") + '|' + j->at("semesters.1.name") + '|' +
                j->at("semesters.1.gpa_text") + '|' + j->at("overall.all_credits"),
            "Four|" + gb.Semesters[0].Name + "|Spring \"B\"|0.0|6");
  EXPECT_EQ(Num(*j, "semesters.0.gpa"), 3.5);
  EXPECT_EQ(j->count("semesters.2.name"), 0u);
  mw::ResetToFresh(gb, 0);  // no semesters at all
  const auto e = Json(Cli({"summary", WriteBook("e.mw", gb), "--json"}).out);
  ASSERT_TRUE(e);
  EXPECT_EQ(std::to_string(e->count("semesters.0.name")) + e->at("overall.gpa_text"), "00.0");
}

TEST(CliTest, SemesterFiguresAreTheWindowsWithThatSemesterCurrent) {
  if (!kPython) GTEST_SKIP() << "no python3 to read the JSON";
  std::mt19937 random(7);
  GradeBook gb;
  mw::ResetToFresh(gb, 0);
  gb.MethodPos = 1;
  gb.GroupNames = {{"a", true}, {"b", false}, {"c", true}};
  const double credits[] = {0, 0.5, 1, 1.0 / 3, 3, 4.25};
  for (const char* name : {"S1", "S2", "S1", "S3"}) {  // two semesters share a name
    std::vector<mw::Class> classes(2 + random() % 7);
    for (mw::Class& c : classes) {
      c = C("c", static_cast<int>(random() % 13), credits[random() % 6], {});
      for (const char* g : {"a", "b", "c"}) if (random() % 2) c.Groups.push_back(g);
    }
    AddSemester(gb, name, classes);
  }
  const std::string file = WriteBook("mixed.mw", gb);
  const auto j = Json(Cli({"summary", file, "--json"}).out);
  ASSERT_TRUE(j);
  gb = mw::DecodeGradeBook(Slurp(file), "", {}).book;  // 1/3 comes back cut to 15 digits
  for (size_t i = 0; i < gb.Semesters.size(); ++i) {
    gb.CurrentSemester = gb.Semesters[i].Name;
    const mw::GpaFigures window = mw::UpdateGPABoxes(gb);
    const std::string s = "semesters." + std::to_string(i);
    EXPECT_EQ(Num(*j, s + ".gpa"), window.SemesterGPA) << s;
    EXPECT_EQ(j->at(s + ".gpa_text"), window.SemGPAText) << s;
    EXPECT_EQ(Num(*j, "overall.gpa"), window.OverallGPA);
    EXPECT_EQ(j->at("overall.gpa_text"), window.OverallGPAText);
  }
}

TEST(CliTest, PredictPrintsTheStatusTextOfGo) {
  GradeBook gb = HandBook();  // 4 counted classes of 3 credits at B (3.0), method 0 to 4.3
  gb.Semesters.clear();
  gb.SemesterOrder.clear();
  AddSemester(gb, "F", {C("a", 4, 3, {"Other", "Everything"}), C("b", 4, 3, {"Everything"}),
                        C("c", 4, 3, {"Everything"}), C("d", 4, 3, {"Everything"})});
  const std::string file = WriteBook("predict.mw", gb);
  const std::string start = "Assuming each class is worth 3.0 credit(s), you need to average a ";
  for (const auto& [desired, left, said] : std::vector<std::array<std::string, 3>>{
           {"3.5", "2", start + "4.5 GPA for your next 2 classes. Too high!\n"},
           {"3.2", " 4", start + "3.4 GPA for your next 4 classes.\n"},
           {"0.5", "1", start + "-9.5 GPA for your next 1 class. Too low!\n"},
           {"0", "2", "Desired GPA value is out of range.\n"},
           {"3.x", "0.5", "You must have a postive number of classes left.\n"}})
    EXPECT_EQ(Cli({"predict", file, "--desired", desired, "--left", left}).out, said);
  EXPECT_EQ(Cli({"predict", file, "--desired", "3"}).status, 2);
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
  o = Cli({"export", file, "--group", "Nobody"});
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(o.err.find("groups are:\n  Everything\n  Other\n"), std::string::npos) << o.err;
  EXPECT_EQ(Cli({"export", file, "--semester", "fall"}).status, 2);
  o = Cli({"export", file, "-o", Path("no/folder/r.txt")});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "Error saving to file \"" + Path("no/folder/r.txt") + "\"! (Read-only?)\n");
}

TEST(CliTest, ConvertRoundTripsThroughTheProtectedForm) {
  const std::string plain = WriteBook("hand.mw", HandBook()), locked = Path("locked.mw");
  Outcome o = Cli({"convert", plain, locked, "--protect"}, "secret\n");
  EXPECT_EQ(o.out, "Sucessfully saved to file " + locked + ". (password-protected)\n");
  EXPECT_TRUE(mw::DecodeGradeBook(Slurp(locked), "", [](int, std::string& pw) { pw = "secret"; }).isProtected);
  o = Cli({"convert", locked, Path("back.mw")}, "wrong\r\nsecret\r\n");  // asked again after a wrong one
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(Slurp(Path("back.mw")), Slurp(plain));
  // Protected to protected: the reading password first, then the new one.
  EXPECT_EQ(Cli({"convert", locked, Path("re.mw"), "--protect"}, "secret\nnew\n").status, 0);
  EXPECT_EQ(Cli({"summary", Path("re.mw")}, "new\n").out, Cli({"summary", plain}).out);
  o = Cli({"convert", plain, Path("none.mw"), "--protect"}, "\n");
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "No password entered; did not save file \"" + Path("none.mw") +
                       "\"! (Turn off password-protection in the Options menu.)\n");
  EXPECT_FALSE(fs::exists(Path("none.mw")));
}

TEST(CliTest, UnreadableFilesGiveStatusOneAndNeverACrash) {
  const std::string plain = Slurp(WriteBook("hand.mw", HandBook()));
  for (const std::string& file : {Path("missing.mw"), WriteBytes("empty.mw", ""),
                                  WriteBytes("cut.mw", plain.substr(0, 60)), temp.dir.string()}) {
    const Outcome o = Cli({"summary", file});
    EXPECT_EQ(o.status, 1) << file;
    EXPECT_EQ(o.err, "Error reading in file \"" + file + "\"!\n");
    EXPECT_EQ(o.out, "");
  }
  ASSERT_EQ(Cli({"convert", Path("hand.mw"), Path("locked.mw"), "--protect"}, "pw\n").status, 0);
  for (const char* input : {"", "\n", "nope\nstill not\n"}) {
    const Outcome o = Cli({"summary", Path("locked.mw")}, input);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "Did not open file \"" + Path("locked.mw") + "\"!\n");
  }
  // Damaged files of both forms: a refusal or a figure, never a crash.
  const std::string locked = Slurp(Path("locked.mw"));
  std::mt19937 random(11);
  for (int round = 0; round < 40; ++round) {
    std::string bytes = round % 2 ? locked : plain;
    for (int k = 0; k < 3; ++k) bytes[random() % bytes.size()] = static_cast<char>(random());
    if (round % 5 == 0) bytes.resize(random() % bytes.size());
    const Outcome o = Cli({"summary", WriteBytes("damaged.mw", bytes), "--json"}, "pw\n");
    EXPECT_TRUE(o.status == 0 || o.status == 1) << "round " << round << ": " << o.status;
    EXPECT_TRUE(o.status != 0 || !kPython || Json(o.out)) << o.out;
  }
}

TEST(CliTest, UsageErrorsGiveStatusTwoAndTheUsage) {
  const std::string f = WriteBook("hand.mw", HandBook());
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"report", f}, {"summary"}, {"summary", f, f}, {"summary", f, "--verbose"},
           {"summary", f, "--protect"}, {"summary", f, "--method"}, {"convert", f},
           {"export", f, "-o", "a", "-o", "b"}, {"export", f, "--by", "class"}, {"summary", f, "--json=1"}}) {
    const Outcome o = Cli(args);
    EXPECT_EQ(o.status, 2) << ::testing::PrintToString(args);
    EXPECT_EQ(o.err.rfind("markwell-cli: ", 0), 0u) << o.err;
    EXPECT_NE(o.err.find("\nUsage: markwell-cli summary FILE"), std::string::npos);
  }
  EXPECT_EQ(Cli({"--version"}).out, "markwell-cli 2.0.8\n");
  const Outcome help = Cli({"export", "--help"});
  EXPECT_TRUE(help.status == 0 && help.out.find("\nUsage:") != std::string::npos) << help.out;
  EXPECT_EQ(Cli({"summary", "--", f}).status, 0);
}

}  // namespace
