// markwell-cli run as a separate process on grade book files the tests write.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

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
using mw::Class;
using mw::GradeBook;
using mw::test::Json;
using mw::test::JsonReader;

struct Outcome {
  int status = -1;  // the exit status; 128 + signal when the program was killed
  std::string out, err;
};

std::string Slurp(const std::string& path) {
  std::string bytes;
  mw::ReadFileBytes(path, bytes);
  return bytes;
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ = (fs::temp_directory_path() / "markwell-cli-XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    dir_ = templ;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  std::string WriteBook(const std::string& name, const GradeBook& gb) {
    const auto encoded = mw::EncodePlain(gb);
    EXPECT_TRUE(encoded.ok && mw::WriteFileAtomically(Path(name), encoded.bytes));
    return Path(name);
  }
  std::string WriteBytes(const std::string& name, const std::string& bytes) {
    EXPECT_TRUE(mw::WriteFileAtomically(Path(name), bytes));
    return Path(name);
  }

  // Runs the program with these arguments, `input` on its standard input.
  Outcome Run(std::vector<std::string> args, const std::string& input = "") {
    const std::string in = WriteBytes("stdin.txt", input), out = Path("stdout.txt"),
                      err = Path("stderr.txt");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    args.insert(args.begin(), MARKWELL_CLI_PATH);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    Outcome o;
    if (posix_spawn(&pid, MARKWELL_CLI_PATH, &actions, nullptr, argv.data(), environ) == 0) {
      int wstatus = 0;
      waitpid(pid, &wstatus, 0);
      o.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    }
    posix_spawn_file_actions_destroy(&actions);
    o.out = Slurp(out);
    o.err = Slurp(err);
    return o;
  }

  fs::path dir_;
};

Class MakeClass(std::string name, int grade, double credits, std::vector<std::string> groups) {
  Class c;
  c.Name = std::move(name);
  c.Grade = static_cast<int16_t>(grade);
  c.Credits = credits;
  c.Groups = std::move(groups);
  return c;
}

void AddSemester(GradeBook& gb, std::string name, std::vector<Class> classes) {
  gb.Semesters.emplace_back();
  gb.Semesters.back().Name = name;
  gb.Semesters.back().Classes = std::move(classes);
  gb.SemesterOrder.push_back({std::move(name), true});
}

// Method "Four" gives A 4.0, B+ 3.3, C 2.0; "Flat" gives every grade 2.5. "Other" is not in
// the mask, so Gym does not count; Bio counts with 0 credits.
GradeBook HandBook() {
  GradeBook gb;
  mw::Method four, flat;
  four.Name = "Four";
  four.SetNumerical({4.3, 4, 3.7, 3.3, 3, 2.7, 2.3, 2, 1.7, 1.3, 1, 0.7, 0});
  flat.Name = "Flat";
  flat.SetNumerical({2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.5});
  gb.Methods = {four, flat};
  gb.MethodPos = 0;
  gb.GroupNames = {{"Everything", true}, {"Other", false}};
  AddSemester(gb, "Fall", {MakeClass("Math", 1, 3, {"Everything"}), MakeClass("Art", 7, 1, {"Everything"})});
  AddSemester(gb, "Spring \"B\"", {MakeClass("Gym", 1, 2, {"Other"}), MakeClass("Bio", 3, 0, {"Everything"})});
  return gb;
}

TEST_F(CliTest, SummaryShowsTheHandComputedFigures) {
  const std::string file = WriteBook("hand.mw", HandBook());
  Outcome o = Run({"summary", file});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "Method: Four\n"
            "Semester \"Fall\": GPA 3.5, 2 classes, 4 credits\n"
            "Semester \"Spring \"B\"\": GPA 0.0, 1 class, 0 credits\n"
            "Overall: GPA 3.5 (3 classes) (4/6 credits)\n");

  o = Run({"summary", "--method", "Flat", file});
  EXPECT_EQ(o.status, 0);
  EXPECT_NE(o.out.find("Fall\": GPA 2.5, 2 classes"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("Overall: GPA 2.5 (3 classes) (4/6 credits)"), std::string::npos);

  o = Run({"summary", file, "--method=four"});  // names are compared exactly
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(o.err.find("unknown method \"four\""), std::string::npos);
  EXPECT_NE(o.err.find("\n  Four\n  Flat\n"), std::string::npos) << o.err;
  EXPECT_NE(o.err.find("Usage:"), std::string::npos);
}

TEST_F(CliTest, JsonParsesAndCarriesNamesAndNumbers) {
  GradeBook gb = HandBook();
  gb.Semesters[0].Name = gb.SemesterOrder[0].Name = "Caf\xC3\xA9\t\\ 1/3";
  const std::string file = WriteBook("hand.mw", gb);
  const Outcome o = Run({"summary", file, "--json"});
  ASSERT_EQ(o.status, 0) << o.err;
  const std::optional<Json> j = JsonReader::Parse(o.out);
  ASSERT_TRUE(j) << o.out;
  EXPECT_EQ((*j)["method"].text, "Four");
  ASSERT_EQ((*j)["semesters"].items.size(), 2u);
  const Json& fall = (*j)["semesters"][0];
  EXPECT_EQ(fall["name"].text, gb.Semesters[0].Name);
  EXPECT_EQ(fall["gpa"].number, 3.5);
  EXPECT_EQ(fall["gpa_text"].text, "3.5");
  EXPECT_EQ(fall["classes"].number, 2);
  EXPECT_EQ(fall["credits"].number, 4);
  EXPECT_EQ((*j)["semesters"][1]["name"].text, "Spring \"B\"");
  const Json& overall = (*j)["overall"];
  EXPECT_EQ(overall["gpa_text"].kind, Json::String);
  EXPECT_EQ(overall["classes"].number, 3);
  EXPECT_EQ(overall["credits"].number, 4);
  EXPECT_EQ(overall["all_credits"].number, 6);

  GradeBook empty;
  mw::ResetToFresh(empty, 0);
  const Outcome e = Run({"summary", WriteBook("empty.mw", empty), "--json"});
  const std::optional<Json> ej = JsonReader::Parse(e.out);
  ASSERT_TRUE(ej) << e.out;
  EXPECT_TRUE((*ej)["semesters"].items.empty());
  EXPECT_EQ((*ej)["overall"]["gpa_text"].text, "0.0");
}

TEST_F(CliTest, SemesterFiguresAreTheWindowsWithThatSemesterCurrent) {
  std::mt19937 random(7);
  GradeBook gb;
  mw::ResetToFresh(gb, 0);
  gb.MethodPos = 1;
  gb.GroupNames = {{"a", true}, {"b", false}, {"c", true}};
  const double credits[] = {0, 0.5, 1, 1.0 / 3, 3, 4.25};
  for (std::string name : {"S1", "S2", "S1", "S3", "S4"}) {  // two semesters share a name
    std::vector<Class> classes;
    for (unsigned k = 2 + random() % 7; k > 0; --k) {
      std::vector<std::string> groups;
      for (const char* g : {"a", "b", "c"})
        if (random() % 2) groups.push_back(g);
      classes.push_back(MakeClass("c" + std::to_string(k), static_cast<int>(random() % 13),
                                  credits[random() % 6], groups));
    }
    AddSemester(gb, name, classes);
  }
  const std::string file = WriteBook("mixed.mw", gb);
  const Outcome o = Run({"summary", file, "--json"});
  const std::optional<Json> j = JsonReader::Parse(o.out);
  ASSERT_TRUE(j) << o.out << o.err;
  gb = mw::DecodeGradeBook(Slurp(file), "", {}).book;  // 1/3 comes back cut to 15 digits
  for (size_t i = 0; i < gb.Semesters.size(); ++i) {
    gb.CurrentSemester = gb.Semesters[i].Name;
    const mw::GpaFigures window = mw::UpdateGPABoxes(gb);
    EXPECT_EQ((*j)["semesters"][i]["gpa"].number, window.SemesterGPA) << i;
    EXPECT_EQ((*j)["semesters"][i]["gpa_text"].text, window.SemGPAText) << i;
    EXPECT_EQ((*j)["overall"]["gpa"].number, window.OverallGPA);
    EXPECT_EQ((*j)["overall"]["gpa_text"].text, window.OverallGPAText);
    EXPECT_EQ((*j)["overall"]["classes"].number, window.ClassCount);
  }
}

TEST_F(CliTest, PredictPrintsTheStatusTextOfGo) {
  // 4 counted classes of 3 credits at "B" (3.0) under a method from 0 to 4.3.
  GradeBook gb = HandBook();
  gb.Semesters = {};
  gb.SemesterOrder = {};
  AddSemester(gb, "Fall", {MakeClass("a", 4, 3, {"Everything"}), MakeClass("b", 4, 3, {"Everything"}),
                           MakeClass("c", 4, 3, {"Everything"}), MakeClass("d", 4, 3, {"Everything"})});
  const std::string file = WriteBook("predict.mw", gb);
  auto predict = [&](const std::string& d, const std::string& n) {
    const Outcome o = Run({"predict", file, "--desired", d, "--left", n});
    EXPECT_EQ(o.status, 0) << o.err;
    return o.out;
  };
  EXPECT_EQ(predict("3.5", "2"), "Assuming each class is worth 3.0 credit(s), you need to average a "
                                 "4.5 GPA for your next 2 classes. Too high!\n");
  EXPECT_EQ(predict("3.2", "4"), "Assuming each class is worth 3.0 credit(s), you need to average a "
                                 "3.4 GPA for your next 4 classes.\n");
  EXPECT_EQ(predict("0.5", "1"), "Assuming each class is worth 3.0 credit(s), you need to average a "
                                 "-9.5 GPA for your next 1 class. Too low!\n");
  EXPECT_EQ(predict("0", "2"), "Desired GPA value is out of range.\n");
  EXPECT_EQ(predict("4.3", "0.5"), "You must have a postive number of classes left.\n");
  EXPECT_EQ(predict("3.x", ""), "You must have a postive number of classes left.\n");
  EXPECT_EQ(Run({"predict", file, "--desired", "3"}).status, 2);
}

TEST_F(CliTest, ExportIsTheDialogsReportByteForByte) {
  const GradeBook gb = HandBook();
  const std::string file = WriteBook("hand.mw", gb);
  auto dialogReport = [&](mw::ReportOrganisation org, std::vector<std::string> semesters,
                          std::vector<std::string> groups, const std::string& method,
                          const std::string& date) {
    mw::ReportChoices choices{org, std::move(semesters), std::move(groups), method};
    return mw::ReportBytes(mw::GradeReport(gb, choices, mw::UpdateTotals(gb, choices), date));
  };

  Outcome o = Run({"export", file, "--date", "1/2/2026 3:04:05 PM"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, dialogReport(mw::ReportOrganisation::BySemester, {"Fall", "Spring \"B\""},
                                {"Everything"}, "Four", "1/2/2026 3:04:05 PM"));

  // Groups come in the group list's order, whatever the order they are named in.
  o = Run({"export", file, "--by", "group", "--group", "Other", "--group=Everything", "--semester",
           "Spring \"B\"", "--method", "Flat", "-o", Path("report.txt"), "--date", "today"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "Exported grades to file '" + Path("report.txt") + "'.\n");
  EXPECT_EQ(Slurp(Path("report.txt")), dialogReport(mw::ReportOrganisation::ByGroup, {"Spring \"B\""},
                                                    {"Everything", "Other"}, "Flat", "today"));

  o = Run({"export", file, "--group", "Nobody"});
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(o.err.find("\n  Everything\n  Other\n"), std::string::npos) << o.err;
  EXPECT_EQ(Run({"export", file, "--semester", "fall"}).status, 2);
  EXPECT_EQ(Run({"export", file, "--by", "class"}).status, 2);

  o = Run({"export", file, "-o", Path("no/such/folder/r.txt")});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "Error saving to file \"" + Path("no/such/folder/r.txt") + "\"! (Read-only?)\n");
}

TEST_F(CliTest, ConvertRoundTripsThroughTheProtectedForm) {
  const GradeBook gb = HandBook();
  const std::string plain = WriteBook("hand.mw", gb);
  Outcome o = Run({"convert", plain, Path("locked.mw"), "--protect"}, "secret\n");
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "Sucessfully saved to file " + Path("locked.mw") + ". (password-protected)\n");
  const mw::DecodeResult locked = mw::DecodeGradeBook(
      Slurp(Path("locked.mw")), "", [](int, std::string& pw) { pw = "secret"; });
  EXPECT_EQ(locked.status, mw::DecodeStatus::Ok);
  EXPECT_TRUE(locked.isProtected);

  // A wrong password is asked again; the second line is the right one.
  o = Run({"convert", Path("locked.mw"), Path("back.mw")}, "wrong\r\nsecret\r\n");
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(Slurp(Path("back.mw")), Slurp(plain));

  // Protected to protected: the reading password first, then the new one.
  EXPECT_EQ(Run({"convert", Path("locked.mw"), Path("relocked.mw"), "--protect"}, "secret\nnew\n").status, 0);
  EXPECT_EQ(Run({"summary", Path("relocked.mw")}, "new\n").out, Run({"summary", plain}).out);

  o = Run({"convert", plain, Path("none.mw"), "--protect"}, "\n");
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "No password entered; did not save file \"" + Path("none.mw") +
                       "\"! (Turn off password-protection in the Options menu.)\n");
  EXPECT_FALSE(fs::exists(Path("none.mw")));
}

TEST_F(CliTest, UnreadableFilesGiveStatusOneAndTheWindowsMessage) {
  const std::string plain = Slurp(WriteBook("hand.mw", HandBook()));
  auto readError = [](const std::string& path) { return "Error reading in file \"" + path + "\"!\n"; };
  for (const std::string& file :
       {Path("missing.mw"), WriteBytes("empty.mw", ""), WriteBytes("cut.mw", plain.substr(0, 60)),
        WriteBytes("junk.mw", "not a grade book\n"), dir_.string()}) {
    const Outcome o = Run({"summary", file});
    EXPECT_EQ(o.status, 1) << file;
    EXPECT_EQ(o.err, readError(file));
    EXPECT_EQ(o.out, "");
  }
  ASSERT_EQ(Run({"convert", Path("hand.mw"), Path("locked.mw"), "--protect"}, "pw\n").status, 0);
  for (const char* input : {"", "\n", "nope\n", "nope\nstill not\n"}) {
    const Outcome o = Run({"summary", Path("locked.mw")}, input);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "Did not open file \"" + Path("locked.mw") + "\"!\n");
  }
}

TEST_F(CliTest, UsageErrorsGiveStatusTwoAndTheUsage) {
  const std::string file = WriteBook("hand.mw", HandBook());
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"report", file},
                                             {"summary"},
                                             {"summary", file, file},
                                             {"summary", file, "--verbose"},
                                             {"summary", file, "--protect"},
                                             {"summary", file, "--method"},
                                             {"convert", file},
                                             {"export", file, "-o", "a", "-o", "b"},
                                             {"summary", file, "--json=yes"}}) {
    const Outcome o = Run(args);
    EXPECT_EQ(o.status, 2) << ::testing::PrintToString(args);
    EXPECT_EQ(o.err.rfind("markwell-cli: ", 0), 0u) << o.err;
    EXPECT_NE(o.err.find("Usage: markwell-cli summary FILE"), std::string::npos);
  }
  EXPECT_EQ(Run({"--version"}).out, "markwell-cli 2.0.8\n");
  const Outcome help = Run({"export", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage:"), std::string::npos);
  EXPECT_EQ(Run({"summary", "--", file}).status, 0);
}

TEST_F(CliTest, DamagedFilesNeverCrashIt) {
  const std::string plain = Slurp(WriteBook("hand.mw", HandBook()));
  ASSERT_EQ(Run({"convert", Path("hand.mw"), Path("locked.mw"), "--protect"}, "pw\n").status, 0);
  const std::string locked = Slurp(Path("locked.mw"));
  std::mt19937 random(11);
  for (int round = 0; round < 40; ++round) {
    std::string bytes = round % 2 ? locked : plain;
    for (int k = 0; k < 3; ++k) bytes[random() % bytes.size()] = static_cast<char>(random());
    if (round % 5 == 0) bytes.resize(random() % bytes.size());
    const Outcome o = Run({"summary", WriteBytes("damaged.mw", bytes), "--json"}, "pw\n");
    EXPECT_TRUE(o.status == 0 || o.status == 1) << "round " << round << ": " << o.status;
    if (o.status == 0) {
      EXPECT_TRUE(JsonReader::Parse(o.out)) << o.out;
    }
  }
}

}  // namespace
