#pragma once
// The command line of markwell-cli: which command, its files and its options.
#include <optional>
#include <string>
#include <vector>

namespace mw::cli {

enum class Command { None, Help, Version, Summary, Predict, Export, Convert, Import };

struct Arguments {
  Command command = Command::None;
  std::vector<std::string> files;  // FILE, IN and OUT for convert, TABLE for import

  std::optional<std::string> method;   // --method NAME
  std::optional<std::string> desired;  // --desired D (as typed: read like the window's box)
  std::optional<std::string> left;     // --left N
  std::optional<std::string> output;   // -o OUT
  std::optional<std::string> by;       // --by semester|group
  std::optional<std::string> date;     // --date TEXT
  std::vector<std::string> semesters;  // --semester NAME, any number
  std::vector<std::string> groups;     // --group NAME, any number
  bool json = false;                   // --json
  bool protect = false;                // --protect
  std::optional<std::string> sheet;    // --sheet NAME: the workbook sheet to import
  bool csv = false;                    // --csv: export the classes as CSV
  bool force = false;                  // --force: export or import even over a grade book
};

struct ParseResult {
  Arguments args;
  std::string error;  // empty when the command line is good
};

// Reads the arguments after the program name. Options may stand before, between or after the
// file names, as "--name value" or "--name=value"; "--" ends the options.
ParseResult ParseArguments(const std::vector<std::string>& argv);

// The short usage text shown with every usage error, and the longer --help text.
const char* UsageText();
std::string HelpText();

}  // namespace mw::cli
