#include "cli/commands.h"

#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <fstream>
#include <istream>
#include <ostream>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "cli/json_text.h"
#include "edit/edit.h"
#include "model/figures.h"
#include "model/numtext.h"
#include "model/plan.h"
#include "model/predict.h"
#include "report/grade_report.h"
#include "report/report_date.h"
#include "report/report_file.h"
#include "storage/book_files.h"
#include "storage/file_io.h"
#include "storage/password.h"
#include "table/import.h"

namespace mw::cli {
namespace {

// Loads a grade book file as the window's Load does: either form, every semester marked, the
// file's group mask and stored method, nothing current. On failure the window's message is
// written to err and kFileError returned.
int LoadBook(const std::string& path, std::istream& in, std::ostream& err, GradeBook& gb,
             bool terminal);

// The figures of one semester as the window's semester box shows them with that semester
// current, and its counted classes and credits.
struct SemesterFigures {
  std::string Name;
  double Gpa = 0.0;
  std::string GpaText;  // "0.0##"
  int64_t Classes = 0;
  double Credits = 0.0;
};

// One line per semester in file order, in one pass over the classes. The window finds the
// current semester by name, so semesters that share a name share their figures here too.
std::vector<SemesterFigures> SemesterSummary(const GradeBook& gb, const BookFigures& overview);

// True when the bytes start as a grade book file does, in either form.
bool LooksLikeGradeBook(std::string_view start);

// The short prompt before a password typed at a terminal (mode as the window's prompt: 1 a
// password to save with, 2 to open the file, 3 again after a wrong one).
std::string PasswordPromptText(PromptMode mode, const std::string& file);


// One password: a line of standard input without its line end. End of input is a Cancel.
std::string ReadPasswordLine(std::istream& in) {
  std::string line;
  if (!std::getline(in, line)) return {};
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// The terminal's settings while a password is read with echo off, for the signal handlers.
termios savedTerminal{}, quietTerminal{};
volatile std::sig_atomic_t echoIsOff = 0;

extern "C" void RestoreEchoAndDie(int signal) {
  if (echoIsOff) tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// Ctrl+Z gives the shell its terminal back as it was; the process then stops.
extern "C" void RestoreEchoAndStop(int) {
  const int saved = errno;
  if (echoIsOff) tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
  std::signal(SIGTSTP, SIG_DFL);
  std::raise(SIGTSTP);  // ignored where nobody could continue the process
  std::signal(SIGTSTP, RestoreEchoAndStop);
  if (echoIsOff) tcsetattr(STDIN_FILENO, TCSANOW, &quietTerminal);  // still reading
  errno = saved;
}

// After fg (or any stop and continue) the prompt is still reading: echo goes off again.
extern "C" void QuietAgain(int) {
  const int saved = errno;
  if (echoIsOff) tcsetattr(STDIN_FILENO, TCSANOW, &quietTerminal);
  errno = saved;
}

// A password typed at the terminal: the prompt on standard error, the line read with echo off.
std::string ReadTerminalPassword(std::istream& in, std::ostream& err, const std::string& prompt) {
  const bool canMute = tcgetattr(STDIN_FILENO, &savedTerminal) == 0;
  if (canMute) {
    quietTerminal = savedTerminal;
    quietTerminal.c_lflag &= ~tcflag_t(ECHO);
    quietTerminal.c_lflag |= ECHONL;  // the Enter still shows, as a line end
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) std::signal(s, RestoreEchoAndDie);
    std::signal(SIGTSTP, RestoreEchoAndStop);
    std::signal(SIGCONT, QuietAgain);
    echoIsOff = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quietTerminal) == 0;
  }
  err << prompt << std::flush;
  const std::string password = ReadPasswordLine(in);
  if (echoIsOff) {
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    echoIsOff = 0;
  }
  if (!in) err << '\n';  // end of input (Ctrl+D) leaves the cursor after the prompt
  return password;
}

// One password for the prompt mode: at a terminal after a prompt and without echo, otherwise
// a plain line; lines until one that a grade book file can use, each refused line reported.
// End of input is a Cancel.
std::string ReadPassword(std::istream& in, std::ostream& err, bool terminal, PromptMode mode,
                         const std::string& file) {
  for (;;) {
    std::string line = terminal ? ReadTerminalPassword(in, err, PasswordPromptText(mode, file))
                                : ReadPasswordLine(in);
    const auto why = PasswordRefusal(mode, line);
    if (!why) return line;
    err << "markwell-cli: " << *why << '\n';
  }
}

std::string SavingError(const std::string& path) {
  return "Error saving to file \"" + path + "\"! (Read-only?)";
}

// A usage error that names what was asked for and lists what the file offers.
int UnknownName(std::ostream& err, std::string_view what, const std::string& name,
                std::string_view plural, const std::vector<std::string>& offered) {
  std::string problem = "unknown " + std::string(what) + " \"" + EscapeControls(name) + "\"; ";
  if (offered.empty()) {
    problem += "the file has no " + std::string(plural);
  } else {
    problem += "the file's " + std::string(plural) + " are:";
    for (const auto& n : offered) problem += "\n  " + EscapeControls(n);
  }
  return UsageError(err, problem);
}

// Makes --method the current method (the first of that exact name); false after a usage error.
bool ChooseMethod(GradeBook& gb, const Arguments& args, std::ostream& err, int& status) {
  if (!args.method) return true;
  for (size_t i = 0; i < gb.Methods.size(); ++i) {
    if (gb.Methods[i].Name == *args.method) {
      gb.MethodPos = static_cast<int>(i);
      return true;
    }
  }
  std::vector<std::string> names;
  for (const auto& m : gb.Methods) names.push_back(m.Name);
  status = UnknownName(err, "method", *args.method, "grading methods", names);
  return false;
}

// Checks that every --semester and --group names one of the file's; a usage error otherwise.
bool CheckScopeNames(const GradeBook& gb, const Arguments& args, std::ostream& err, int& status) {
  for (const auto& name : args.semesters) {
    if (gb.SemesterEntryIndex(name) < 0) {
      std::vector<std::string> names;
      for (const auto& e : gb.SemesterOrder) names.push_back(e.Name);
      status = UnknownName(err, "semester", name, "semesters", names);
      return false;
    }
  }
  for (const auto& name : args.groups) {
    if (gb.GroupPosition(name) < 0) {
      status = UnknownName(err, "group", name, "groups", gb.GroupNameList());
      return false;
    }
  }
  return true;
}

// --semester and --group: the marks and the group mask become exactly those named.
void UseScope(GradeBook& gb, const Arguments& args) {
  if (!args.semesters.empty()) {
    const std::unordered_set<std::string_view> wanted(args.semesters.begin(), args.semesters.end());
    for (auto& e : gb.SemesterOrder) e.Marked = wanted.count(e.Name) != 0;
  }
  if (!args.groups.empty()) {
    const std::unordered_set<std::string_view> wanted(args.groups.begin(), args.groups.end());
    for (auto& g : gb.GroupNames) g.InMask = wanted.count(g.Name) != 0;
  }
}

int Summary(GradeBook& gb, const Arguments& args, std::ostream& out, std::ostream& err) {
  if (int status = kOk; !CheckScopeNames(gb, args, err, status)) return status;
  UseScope(gb, args);
  std::vector<std::string> counted;
  for (const auto& g : gb.GroupNames)
    if (g.InMask) counted.push_back(g.Name);
  // One pass gives every semester's figures and the overall ones, exactly the window's.
  const BookFigures overview = ComputeFigures(gb, {}, FigureMethods::InUseRows);
  const std::vector<SemesterFigures> semesters = SemesterSummary(gb, overview);
  const Method* method = gb.MethodInUse();

  if (!args.json) {
    out << "Method: " << (method ? EscapeControls(method->Name) : std::string("(none)")) << '\n';
    if (counted != std::vector<std::string>{"Everything"}) {
      out << "Counting:";
      for (size_t i = 0; i < counted.size(); ++i) out << (i ? ", " : " ") << EscapeControls(counted[i]);
      out << (counted.empty() ? " no group\n" : "\n");
    }
    for (const auto& s : semesters) {
      out << "Semester \"" << EscapeControls(s.Name) << "\": GPA " << s.GpaText << ", " << s.Classes
          << (s.Classes == 1 ? " class, " : " classes, ") << GeneralNumber(s.Credits)
          << " credits\n";
    }
    out << "Overall: GPA " << overview.OverallText << ' ' << overview.CountCaption << ' '
        << overview.CountTooltip << '\n';
    return kOk;
  }

  std::string json = "{\n  \"method\": ";
  json += method ? JsonString(method->Name) : std::string("null");
  json += ",\n  \"groups\": [";
  for (size_t i = 0; i < counted.size(); ++i) json += (i ? ", " : "") + JsonString(counted[i]);
  json += "],\n  \"semesters\": [";
  for (size_t i = 0; i < semesters.size(); ++i) {
    const auto& s = semesters[i];
    json += i ? ",\n    " : "\n    ";
    json += "{\"name\": " + JsonString(s.Name) + ", \"gpa\": " + JsonNumber(s.Gpa) +
            ", \"gpa_text\": " + JsonString(s.GpaText) + ", \"classes\": " +
            JsonNumber(s.Classes) + ", \"credits\": " + JsonNumber(s.Credits) + "}";
  }
  json += semesters.empty() ? "],\n" : "\n  ],\n";
  json += "  \"overall\": {\"gpa\": " + JsonNumber(overview.OverallGpa) +
          ", \"gpa_text\": " + JsonString(overview.OverallText) +
          ", \"classes\": " + JsonNumber(overview.Classes) +
          ", \"credits\": " + JsonNumber(overview.Credits) +
          ", \"all_credits\": " + JsonNumber(overview.AllCredits) + "}\n}\n";
  out << json;
  return kOk;
}

// The average needed over the credits left, with the refusals of the window's boxes.
int PredictCredits(GradeBook& gb, const Arguments& args, std::ostream& out, std::ostream& err) {
  std::string refusal = DesiredGpaChangeMessage(*args.desired);
  if (refusal.empty()) refusal = CreditsLeftChangeMessage(*args.credits);
  if (refusal.empty()) refusal = PredictByCreditsRefusal(*args.desired, *args.credits, gb.MethodInUse());
  if (!refusal.empty()) {
    err << refusal << '\n';
    return kFileError;
  }
  const BookFigures figures = ComputeFigures(gb, {});
  out << PredictByCredits(*args.desired, *args.credits, gb.MethodInUse(), figures.OverallGpa,
                          figures.Credits)
      << '\n';
  return kOk;
}

int Predict(GradeBook& gb, const Arguments& args, std::ostream& out, std::ostream& err) {
  if (args.credits) return PredictCredits(gb, args, out, err);
  // What the window refuses: a box's text that is not a number, and inputs Go! turns down.
  std::string refusal = DesiredGpaChangeMessage(*args.desired);
  if (refusal.empty()) refusal = ClassesLeftChangeMessage(*args.left);
  if (refusal.empty()) refusal = PredictRefusal(*args.desired, *args.left, gb.MethodInUse());
  if (!refusal.empty()) {
    err << refusal << '\n';
    return kFileError;
  }
  out << PredictNeeded(gb, ComputeFigures(gb, {}), *args.desired, *args.left) << '\n';
  return kOk;
}

// Why a report must not go to `output`: it is the grade book being read (the same file under
// any name) or it holds a grade book already. Empty when it may.
std::string ReportTargetProblem(const std::string& input, const std::string& output) {
  struct stat in {}, target {};
  if (stat(output.c_str(), &target) != 0) return {};
  if (stat(input.c_str(), &in) == 0 && in.st_dev == target.st_dev && in.st_ino == target.st_ino)
    return "the output file \"" + output + "\" is the grade book \"" + input + "\" itself";
  if (!S_ISREG(target.st_mode)) return {};
  std::ifstream file(output, std::ios::binary);
  char start[16] = {};
  file.read(start, sizeof start);
  if (LooksLikeGradeBook(std::string_view(start, size_t(file.gcount()))))
    return "the output file \"" + output + "\" is a grade book";
  return {};
}

// Without --force, -o may not name the grade book read or any other grade book: says so and
// returns true when it does. `what` is what would have been written ("the report ... it").
bool RefusedTarget(const Arguments& args, const char* what, std::ostream& err) {
  if (args.force) return false;
  const std::string problem = ReportTargetProblem(args.files[0], *args.output);
  if (problem.empty()) return false;
  err << "markwell-cli: " << problem << "; " << what << " anyway)\n";
  return true;
}

// The classes as CSV, to standard output or to -o (not over a grade book without --force).
int ExportCsv(const GradeBook& gb, const Arguments& args, std::ostream& out, std::ostream& err) {
  const std::string csv = table::ClassesCsv(gb);
  if (!args.output) {
    out << csv;
    return kOk;
  }
  if (RefusedTarget(args, "the classes were not written (--force writes them", err))
    return kFileError;
  if (!WriteFileAtomically(*args.output, csv)) {
    err << SavingError(*args.output) << '\n';
    return kFileError;
  }
  out << "Exported classes to file '" << *args.output << "'.\n";
  return kOk;
}

int Export(GradeBook& gb, const Arguments& args, std::ostream& out, std::ostream& err) {
  if (args.csv) return ExportCsv(gb, args, out, err);
  ReportChoices choices;
  choices.Organisation = args.by && *args.by == "group" ? ReportOrganisation::ByGroup
                                                        : ReportOrganisation::BySemester;
  if (int status = kOk; !CheckScopeNames(gb, args, err, status)) return status;
  if (args.semesters.empty()) {
    for (const auto& e : gb.SemesterOrder)
      if (e.Marked) choices.CheckedSemesters.push_back(e.Name);
  } else {
    choices.CheckedSemesters = args.semesters;
  }
  if (args.groups.empty()) {
    for (const auto& g : gb.GroupNames)
      if (g.InMask) choices.SelectedGroups.push_back(g.Name);
  } else {
    // The dialog's group list keeps the file's order, whatever order they were named in.
    const std::unordered_set<std::string_view> wanted(args.groups.begin(), args.groups.end());
    for (const auto& g : gb.GroupNames)
      if (wanted.count(g.Name)) choices.SelectedGroups.push_back(g.Name);
  }
  choices.MethodName = gb.MethodText();

  const ReportTotals totals = UpdateTotals(gb, choices);
  const std::string report =
      GradeReport(gb, choices, totals, args.date ? *args.date : ReportDateTextNow());
  if (!args.output) {
    out << ReportBytes(EscapeControls(report, true));
    return kOk;
  }
  if (RefusedTarget(args, "the report was not written (--force writes it", err))
    return kFileError;
  if (!WriteReportFile(*args.output, report)) {
    err << SavingError(*args.output) << '\n';
    return kFileError;
  }
  out << "Exported grades to file '" << *args.output << "'.\n";
  return kOk;
}

int Convert(GradeBook& gb, const Arguments& args, std::istream& in, std::ostream& out,
            std::ostream& err, bool terminal) {
  const std::string& target = args.files[1];
  // The target gets the form asked for, with a password typed for it.
  edit::Outcome protection = edit::SetProtection(gb, args.protect);
  edit::Apply(gb, protection);
  gb.Password.clear();
  // At a terminal a new password is typed twice; a script gives it once.
  std::string typed;
  const PasswordPrompt prompt = [&](PromptMode mode) -> std::optional<std::string> {
    if (mode == PromptMode::Confirm && !terminal) return typed;
    typed = ReadPassword(in, err, terminal, mode, target);
    return typed;
  };
  const auto tell = [&err](const std::string& why) { err << "markwell-cli: " << why << '\n'; };
  switch (SaveBookFile(gb, target, prompt, tell)) {
    case SaveStatus::NoPassword:
      err << "No password entered; did not save file \"" << target
          << "\"! (Turn off password-protection in the Options menu.)\n";
      return kFileError;
    case SaveStatus::Unwritable:
      err << SavingError(target) << '\n';
      return kFileError;
    case SaveStatus::Saved:
      break;
  }
  out << "Sucessfully saved to file " << target
      << (args.protect ? ". (password-protected)" : ".") << '\n';
  return kOk;
}

// A new plain grade book from a table: a fresh book with the table's classes. Refused rows
// are listed on err, and make the status kFileError, but the rest is still written.
int Import(const Arguments& args, std::ostream& out, std::ostream& err) {
  const std::string& path = args.files[0];
  const std::string& target = *args.output;
  struct stat existing {};
  if (!args.force && stat(target.c_str(), &existing) == 0) {
    err << "markwell-cli: \"" << target << "\" exists; the grade book was not written (--force "
           "replaces it)\n";
    return kFileError;
  }
  const table::ReadResult read = table::ReadTableFile(path, args.sheet.value_or(""));
  if (!read.ok()) {
    err << "markwell-cli: " << EscapeControls(path) << ": " << read.error << '\n';
    return kFileError;
  }
  GradeBook gb;
  ResetToFresh(gb);
  const table::ImportPlan plan =
      table::PlanImport(gb, read.table, table::GuessMapping(read.table), "");
  for (const auto& row : plan.rows)
    if (!row.planned) err << path << ": " << row.position << ": " << row.reason << '\n';
  edit::Outcome added = edit::AddClasses(gb, plan.Accepted(), "Import");
  edit::Apply(gb, added);
  const PasswordPrompt noPrompt = [](PromptMode) -> std::optional<std::string> { return {}; };
  if (SaveBookFile(gb, target, noPrompt) != SaveStatus::Saved) {
    err << SavingError(target) << '\n';
    return kFileError;
  }
  out << "Imported " << plan.classCount << (plan.classCount == 1 ? " class" : " classes")
      << " into " << target << ".\n";
  if (plan.refusedCount == 0) return kOk;
  err << "markwell-cli: " << plan.refusedCount
      << (plan.refusedCount == 1 ? " row was" : " rows were")
      << " refused; the grade book was written without "
      << (plan.refusedCount == 1 ? "it" : "them") << ".\n";
  return kFileError;
}

}  // namespace

int UsageError(std::ostream& err, const std::string& problem) {
  err << "markwell-cli: " << problem << '\n' << UsageText();
  return kUsageError;
}

namespace {

// The file is mapped while it is read. Should another program cut it short meanwhile, the
// bytes gone raise SIGBUS: that is the reading error, not a crash.
std::string readingFault;

extern "C" void ReadingFault(int) {
  (void)!::write(STDERR_FILENO, readingFault.data(), readingFault.size());
  ::_exit(kFileError);
}

int LoadBook(const std::string& path, std::istream& in, std::ostream& err, GradeBook& gb,
             bool terminal) {
  const PasswordPrompt prompt = [&](PromptMode mode) -> std::optional<std::string> {
    return ReadPassword(in, err, terminal, mode, path);
  };
  gb = GradeBook();
  gb.FileName = gb.FullFileName = path;
  std::string why;
  readingFault = "Error reading in file \"" + path + "\"!\n";
  std::signal(SIGBUS, ReadingFault);
  const LoadStatus loaded = LoadBookFile(gb, path, prompt, {}, &why, FileAccess::Map);
  std::signal(SIGBUS, SIG_DFL);
  switch (loaded) {
    case LoadStatus::Cancelled:
      err << "Did not open file \"" << path << "\"!\n";
      return kFileError;
    case LoadStatus::Unreadable:
      err << "Error reading in file \"" << path << "\"!\n";
      if (!why.empty()) err << EscapeControls(why) << '\n';
      if (const std::string copy = RecoveryCopyOf(path); !copy.empty())
        err << RecoveryCopyText(copy) << '\n';
      return kFileError;
    case LoadStatus::Loaded:
      break;
  }
  return kOk;
}

std::vector<SemesterFigures> SemesterSummary(const GradeBook& gb, const BookFigures& overview) {
  // The overview's figures are the window's own, found by name like its current semester.
  std::unordered_map<std::string_view, const SemesterRow*> rows;
  for (const auto& r : overview.Rows) rows.emplace(r.Name, &r);
  std::vector<SemesterFigures> out;
  out.reserve(gb.Semesters.size());
  for (const auto& s : gb.Semesters) {
    SemesterFigures f;
    f.Name = s.Name;
    if (auto it = rows.find(s.Name); it != rows.end()) {
      const SemesterRow* row = it->second;
      f.Classes = row->Classes;
      f.Credits = row->Credits;
      f.Gpa = row->Gpa;
    }
    f.GpaText = Format3(f.Gpa);
    out.push_back(std::move(f));
  }
  return out;
}

bool LooksLikeGradeBook(std::string_view start) {
  // The plain form's first line is "1"; the protected form starts with the 16-bit word 3 (or 2)
  // and the seven words of the password key.
  if (start == "1" || start.rfind("1\n", 0) == 0 || start.rfind("1\r\n", 0) == 0) return true;
  return start.size() >= 16 && (start[0] == 2 || start[0] == 3) && start[1] == 0;
}

std::string PasswordPromptText(PromptMode mode, const std::string& file) {
  switch (mode) {
    case PromptMode::Save: return "New password for \"" + file + "\": ";
    case PromptMode::Retry: return "Wrong password. Password for \"" + file + "\": ";
    case PromptMode::Confirm: return "Please type the password again to confirm it: ";
    case PromptMode::Open: break;
  }
  return "Password for \"" + file + "\": ";
}

}  // namespace

int RunCommand(const Arguments& args, GradeBook& gb, std::istream& in, std::ostream& out,
               std::ostream& err, bool terminal) {
  if (args.command == Command::Import) return Import(args, out, err);
  if (const int status = LoadBook(args.files.at(0), in, err, gb, terminal); status != kOk)
    return status;
  int status = kOk;
  if (!ChooseMethod(gb, args, err, status)) return status;
  switch (args.command) {
    case Command::Summary: return Summary(gb, args, out, err);
    case Command::Predict: return Predict(gb, args, out, err);
    case Command::Export: return Export(gb, args, out, err);
    case Command::Convert: return Convert(gb, args, in, out, err, terminal);
    default: return UsageError(err, "no command given");
  }
}

}  // namespace mw::cli
