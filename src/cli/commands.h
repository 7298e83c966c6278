#pragma once
// The four commands of markwell-cli over the core library, so that their figures, messages,
// reports and files are those of the window.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "model/gradebook.h"
#include "model/overview.h"
#include "storage/password.h"

namespace mw::cli {

// Exit statuses.
inline constexpr int kOk = 0;
inline constexpr int kFileError = 1;
inline constexpr int kUsageError = 2;

// Runs summary, predict, export or convert. Passwords are read from `in`, one line each (with
// `terminal`, each after a prompt on `err` and with the terminal's echo off); results go to
// `out`, the window's error messages to `err`. Returns the exit status.
int RunCommand(const Arguments& args, std::istream& in, std::ostream& out, std::ostream& err,
               bool terminal = false);

// Prints "markwell-cli: <problem>" and the usage text; returns kUsageError.
int UsageError(std::ostream& err, const std::string& problem);

// Loads a grade book file as the window's Load does: either form, every semester marked, the
// file's group mask and stored method, nothing current. On failure the window's message is
// written to err and kFileError returned.
int LoadBook(const std::string& path, std::istream& in, std::ostream& err, GradeBook& gb,
             bool terminal = false);

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
std::vector<SemesterFigures> SemesterSummary(const GradeBook& gb, const OverviewFigures& overview);

// True when the bytes start as a grade book file does, in either form.
bool LooksLikeGradeBook(std::string_view start);

// The short prompt before a password typed at a terminal (mode as the window's prompt: 1 a
// password to save with, 2 to open the file, 3 again after a wrong one).
std::string PasswordPromptText(PromptMode mode, const std::string& file);

}  // namespace mw::cli
