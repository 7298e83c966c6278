// markwell-cli run as a separate process on grade book files the tests write.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <random>

#include "json_check.h"
#include "model/gpa.h"
#include "report/grade_report.h"
#include "report/report_file.h"
#include "storage/gradebook_file.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using mw::GradeBook;
using Flat = std::map<std::string, std::string>;

struct Outcome {
  int status = -1;  // exit status; 128 + signal when killed
  std::string out, err;
};

std::string Slurp(const std::string& path) {
  std::string bytes;
  mw::ReadFileBytes(path, bytes);
  return bytes;
}
double Num(const Flat& j, const std::string& key) { return std::strtod(j.at(key).c_str(), nullptr); }

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ = (fs::temp_directory_path() / "markwell-cli-XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    dir_ = templ;
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string WriteBytes(const std::string& name, const std::string& bytes) {
    EXPECT_TRUE(mw::WriteFileAtomically(Path(name), bytes));
    return Path(name);
  }
  std::string WriteBook(const std::string& name, const GradeBook& gb) {
    return WriteBytes(name, mw::EncodePlain(gb).bytes);
  }

  // Runs the program with `input` on its standard input.
  Outcome Run(std::vector<std::string> args, const std::string& input = "") {
    const std::string in = WriteBytes("stdin.txt", input), out = Path("out.txt"), err = Path("err.txt");
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    args.insert(args.begin(), MARKWELL_CLI_PATH);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    int ws = 0;
    Outcome o;
    if (posix_spawn(&pid, MARKWELL_CLI_PATH, &fa, nullptr, argv.data(), environ) == 0 &&
        waitpid(pid, &ws, 0) == pid)
      o.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws);
    posix_spawn_file_actions_destroy(&fa);
    o.out = Slurp(out);
    o.err = Slurp(err);
    return o;
  }
  fs::path dir_;
};

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

TEST_F(CliTest, SummaryShowsTheHandComputedFigures) {
  const std::string file = WriteBook("hand.mw", HandBook());
  Outcome o = Run({"summary", file});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "Method: Four\nSemester \"Fall\": GPA 3.5, 2 classes, 4 credits\n"
                   "Semester \"Spring \"B\"\": GPA 0.0, 1 class, 0 credits\n"
                   "Overall: GPA 3.5 (3 classes) (4/6 credits)\n");
  o = Run({"summary", "--method", "Flat", file});
  EXPECT_NE(o.out.find("Overall: GPA 2.5 (3 classes) (4/6 credits)"), std::string::npos) << o.out;
  o = Run({"summary", file, "--method=four"});  // names compare exactly
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(o.err.find("unknown method \"four\"; the file's grading methods are:\n  Four\n  Flat\nUsage:"),
            std::string::npos) << o.err;
}

TEST_F(CliTest, JsonParsesAndCarriesNamesAndNumbers) {
  GradeBook gb = HandBook();
  gb.Semesters[0].Name = gb.SemesterOrder[0].Name = "Caf\xC3\xA9\t\\ \x7F/";
  const Outcome o = Run({"summary", WriteBook("hand.mw", gb), "--json"});
  const std::optional<Flat> j = mw::test::FlatJson::Parse(o.out);
  ASSERT_TRUE(j) << o.out << o.err;
  EXPECT_EQ(j->at("method"), "Four");
  EXPECT_EQ(j->at("semesters.0.name"), gb.Semesters[0].Name);
  EXPECT_EQ(j->at("semesters.1.name"), "Spring \"B\"");
  EXPECT_EQ(Num(*j, "semesters.0.gpa"), 3.5);
  EXPECT_EQ(j->at("semesters.1.gpa_text"), "0.0");
  EXPECT_EQ(Num(*j, "semesters.1.classes"), 1);
  EXPECT_EQ(j->count("semesters.2.name"), 0u);
  EXPECT_EQ(Num(*j, "overall.classes"), 3);
  EXPECT_EQ(Num(*j, "overall.all_credits"), 6);

  GradeBook empty;
  mw::ResetToFresh(empty, 0);
  const auto e = mw::test::FlatJson::Parse(Run({"summary", WriteBook("e.mw", empty), "--json"}).out);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->count("semesters.0.name"), 0u);
  EXPECT_EQ(e->at("overall.gpa_text"), "0.0");
}

TEST_F(CliTest, SemesterFiguresAreTheWindowsWithThatSemesterCurrent) {
  std::mt19937 random(7);
  GradeBook gb;
  mw::ResetToFresh(gb, 0);
  gb.MethodPos = 1;
  gb.GroupNames = {{"a", true}, {"b", false}, {"c", true}};
  const double credits[] = {0, 0.5, 1, 1.0 / 3, 3, 4.25};
  for (const char* name : {"S1", "S2", "S1", "S3"}) {  // two semesters share a name
    std::vector<mw::Class> classes;
    for (unsigned k = 2 + random() % 7; k > 0; --k) {
      std::vector<std::string> groups;
      for (const char* g : {"a", "b", "c"})
        if (random() % 2) groups.push_back(g);
      const int grade = static_cast<int>(random() % 13);
      classes.push_back(C("c", grade, credits[random() % 6], groups));
    }
    AddSemester(gb, name, classes);
  }
  const std::string file = WriteBook("mixed.mw", gb);
  const auto j = mw::test::FlatJson::Parse(Run({"summary", file, "--json"}).out);
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

TEST_F(CliTest, PredictPrintsTheStatusTextOfGo) {
  GradeBook gb = HandBook();  // 4 counted classes of 3 credits at B (3.0), method 0 to 4.3
  gb.Semesters.clear();
  gb.SemesterOrder.clear();
  AddSemester(gb, "F", {C("a", 4, 3, {"Other", "Everything"}), C("b", 4, 3, {"Everything"}),
                        C("c", 4, 3, {"Everything"}), C("d", 4, 3, {"Everything"})});
  const std::string file = WriteBook("predict.mw", gb);
  auto predict = [&](const std::string& d, const std::string& n) {
    return Run({"predict", file, "--desired", d, "--left", n}).out;
  };
  const std::string start = "Assuming each class is worth 3.0 credit(s), you need to average a ";
  EXPECT_EQ(predict("3.5", "2"), start + "4.5 GPA for your next 2 classes. Too high!\n");
  EXPECT_EQ(predict("3.2", " 4"), start + "3.4 GPA for your next 4 classes.\n");
  EXPECT_EQ(predict("0.5", "1"), start + "-9.5 GPA for your next 1 class. Too low!\n");
  EXPECT_EQ(predict("0", "2"), "Desired GPA value is out of range.\n");
  EXPECT_EQ(predict("3.x", "0.5"), "You must have a postive number of classes left.\n");
  EXPECT_EQ(Run({"predict", file, "--desired", "3"}).status, 2);
}

TEST_F(CliTest, ExportIsTheDialogsReportByteForByte) {
  const GradeBook gb = HandBook();
  const std::string file = WriteBook("hand.mw", gb);
  auto dialog = [&](mw::ReportOrganisation org, std::vector<std::string> semesters,
                    std::vector<std::string> groups, const char* method, const char* date) {
    const mw::ReportChoices ch{org, std::move(semesters), std::move(groups), method};
    return mw::ReportBytes(mw::GradeReport(gb, ch, mw::UpdateTotals(gb, ch), date));
  };
  Outcome o = Run({"export", file, "--date", "1/2/2026 3:04:05 PM"});
  EXPECT_EQ(o.out, dialog(mw::ReportOrganisation::BySemester, {"Fall", "Spring \"B\""},
                          {"Everything"}, "Four", "1/2/2026 3:04:05 PM"));
  // The groups follow the group list's order, not the order they were named in.
  o = Run({"export", file, "--by", "group", "--group", "Other", "--group=Everything", "--semester",
           "Spring \"B\"", "--method", "Flat", "-o", Path("r.txt"), "--date", "t\xC3\xA9"});
  EXPECT_EQ(o.out, "Exported grades to file '" + Path("r.txt") + "'.\n");
  EXPECT_EQ(Slurp(Path("r.txt")), dialog(mw::ReportOrganisation::ByGroup, {"Spring \"B\""},
                                         {"Everything", "Other"}, "Flat", "t\xC3\xA9"));
  o = Run({"export", file, "--group", "Nobody"});
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(o.err.find("groups are:\n  Everything\n  Other\n"), std::string::npos) << o.err;
  EXPECT_EQ(Run({"export", file, "--semester", "fall"}).status, 2);
  o = Run({"export", file, "-o", Path("no/folder/r.txt")});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "Error saving to file \"" + Path("no/folder/r.txt") + "\"! (Read-only?)\n");
}

TEST_F(CliTest, ConvertRoundTripsThroughTheProtectedForm) {
  const std::string plain = WriteBook("hand.mw", HandBook()), locked = Path("locked.mw");
  Outcome o = Run({"convert", plain, locked, "--protect"}, "secret\n");
  EXPECT_EQ(o.out, "Sucessfully saved to file " + locked + ". (password-protected)\n");
  EXPECT_TRUE(mw::DecodeGradeBook(Slurp(locked), "", [](int, std::string& pw) { pw = "secret"; }).isProtected);
  o = Run({"convert", locked, Path("back.mw")}, "wrong\r\nsecret\r\n");  // asked again after a wrong one
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(Slurp(Path("back.mw")), Slurp(plain));
  // Protected to protected: the reading password first, then the new one.
  EXPECT_EQ(Run({"convert", locked, Path("re.mw"), "--protect"}, "secret\nnew\n").status, 0);
  EXPECT_EQ(Run({"summary", Path("re.mw")}, "new\n").out, Run({"summary", plain}).out);
  o = Run({"convert", plain, Path("none.mw"), "--protect"}, "\n");
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "No password entered; did not save file \"" + Path("none.mw") +
                       "\"! (Turn off password-protection in the Options menu.)\n");
  EXPECT_FALSE(fs::exists(Path("none.mw")));
}

TEST_F(CliTest, UnreadableFilesGiveStatusOneAndNeverACrash) {
  const std::string plain = Slurp(WriteBook("hand.mw", HandBook()));
  for (const std::string& file : {Path("missing.mw"), WriteBytes("empty.mw", ""),
                                  WriteBytes("cut.mw", plain.substr(0, 60)), dir_.string()}) {
    const Outcome o = Run({"summary", file});
    EXPECT_EQ(o.status, 1) << file;
    EXPECT_EQ(o.err, "Error reading in file \"" + file + "\"!\n");
    EXPECT_EQ(o.out, "");
  }
  ASSERT_EQ(Run({"convert", Path("hand.mw"), Path("locked.mw"), "--protect"}, "pw\n").status, 0);
  for (const char* input : {"", "\n", "nope\nstill not\n"}) {
    const Outcome o = Run({"summary", Path("locked.mw")}, input);
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
    const Outcome o = Run({"summary", WriteBytes("damaged.mw", bytes), "--json"}, "pw\n");
    EXPECT_TRUE(o.status == 0 || o.status == 1) << "round " << round << ": " << o.status;
    EXPECT_TRUE(o.status != 0 || mw::test::FlatJson::Parse(o.out)) << o.out;
  }
}

TEST_F(CliTest, UsageErrorsGiveStatusTwoAndTheUsage) {
  const std::string f = WriteBook("hand.mw", HandBook());
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"report", f}, {"summary"}, {"summary", f, f}, {"summary", f, "--verbose"},
           {"summary", f, "--protect"}, {"summary", f, "--method"}, {"convert", f},
           {"export", f, "-o", "a", "-o", "b"}, {"export", f, "--by", "class"}, {"summary", f, "--json=1"}}) {
    const Outcome o = Run(args);
    EXPECT_EQ(o.status, 2) << ::testing::PrintToString(args);
    EXPECT_EQ(o.err.rfind("markwell-cli: ", 0), 0u) << o.err;
    EXPECT_NE(o.err.find("\nUsage: markwell-cli summary FILE"), std::string::npos);
  }
  EXPECT_EQ(Run({"--version"}).out, "markwell-cli 2.0.8\n");
  const Outcome help = Run({"export", "--help"});
  EXPECT_TRUE(help.status == 0 && help.out.find("\nUsage:") != std::string::npos) << help.out;
  EXPECT_EQ(Run({"summary", "--", f}).status, 0);
}

}  // namespace
