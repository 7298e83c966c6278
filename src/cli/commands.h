#pragma once
// The commands of markwell-cli over the core library, so that their figures, messages,
// reports and files are those of the window.
#include <iosfwd>
#include <string>

#include "cli/arguments.h"

namespace mw {
class GradeBook;
}

namespace mw::cli {

// Exit statuses.
inline constexpr int kOk = 0;
inline constexpr int kFileError = 1;
inline constexpr int kUsageError = 2;

// Runs summary, predict, export, convert or import, loading the file into `book`. Passwords
// are read from `in`, one line each (with `terminal`, each after a prompt on `err` and with the
// terminal's echo off); results go to `out`, the window's error messages to `err`. Returns the
// exit status.
int RunCommand(const Arguments& args, GradeBook& book, std::istream& in, std::ostream& out,
               std::ostream& err, bool terminal = false);

// Prints "markwell-cli: <problem>" and the usage text; returns kUsageError.
int UsageError(std::ostream& err, const std::string& problem);

}  // namespace mw::cli
