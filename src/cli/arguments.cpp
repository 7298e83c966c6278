#include "cli/arguments.h"

#include <array>
#include <string_view>

namespace mw::cli {
namespace {

// Which commands take an option, as bits of (1 << Command).
constexpr unsigned Bit(Command c) { return 1u << static_cast<unsigned>(c); }
constexpr unsigned kLoadsBook = Bit(Command::Summary) | Bit(Command::Predict) | Bit(Command::Export);

struct OptionInfo {
  std::string_view name;
  bool takesValue;
  unsigned commands;
};

constexpr std::array<OptionInfo, 16> kOptions = {{
    {"--method", true, kLoadsBook},
    {"--json", false, Bit(Command::Summary)},
    {"--desired", true, Bit(Command::Predict)},
    {"--left", true, Bit(Command::Predict)},
    {"--credits", true, Bit(Command::Predict)},
    {"-o", true, Bit(Command::Export) | Bit(Command::Import)},
    {"--output", true, Bit(Command::Export) | Bit(Command::Import)},
    {"--by", true, Bit(Command::Export)},
    {"--semester", true, Bit(Command::Export) | Bit(Command::Summary)},
    {"--group", true, Bit(Command::Export) | Bit(Command::Summary)},
    {"--date", true, Bit(Command::Export)},
    {"--protect", false, Bit(Command::Convert)},
    {"--force", false, Bit(Command::Export) | Bit(Command::Import)},
    {"--csv", false, Bit(Command::Export)},
    {"--sheet", true, Bit(Command::Import)},
    {"--help", false, kLoadsBook | Bit(Command::Convert) | Bit(Command::Import)},
}};

const OptionInfo* FindOption(std::string_view name) {
  for (const auto& o : kOptions)
    if (o.name == name) return &o;
  return nullptr;
}

std::string_view CommandName(Command c) {
  switch (c) {
    case Command::Summary: return "summary";
    case Command::Predict: return "predict";
    case Command::Export: return "export";
    case Command::Convert: return "convert";
    case Command::Import: return "import";
    default: return "";
  }
}

// Stores one option's value; an error text when it cannot be taken.
std::string Store(Arguments& a, std::string_view name, std::string value) {
  auto once = [&](std::optional<std::string>& slot) -> std::string {
    if (slot) return "option " + std::string(name) + " is given twice";
    slot = std::move(value);
    return {};
  };
  if (name == "--method") return once(a.method);
  if (name == "--desired") return once(a.desired);
  if (name == "--left") return once(a.left);
  if (name == "--credits") return once(a.credits);
  if (name == "-o" || name == "--output") return once(a.output);
  if (name == "--date") return once(a.date);
  if (name == "--sheet") return once(a.sheet);
  if (name == "--by") {
    if (value != "semester" && value != "group")
      return "--by takes \"semester\" or \"group\", not \"" + value + "\"";
    return once(a.by);
  }
  if (name == "--semester") {
    a.semesters.push_back(std::move(value));
    return {};
  }
  if (name == "--group") {
    a.groups.push_back(std::move(value));
    return {};
  }
  return "unknown option " + std::string(name);
}

ParseResult Fail(std::string why) {
  ParseResult r;
  r.error = std::move(why);
  return r;
}

}  // namespace

ParseResult ParseArguments(const std::vector<std::string>& argv) {
  ParseResult r;
  Arguments& a = r.args;
  if (argv.empty()) return Fail("no command given");

  const std::string& first = argv[0];
  if (first == "--help" || first == "-h" || first == "help") {
    a.command = Command::Help;
    return argv.size() == 1 ? r : Fail("--help takes nothing more");
  }
  if (first == "--version") {
    a.command = Command::Version;
    return argv.size() == 1 ? r : Fail("--version takes nothing more");
  }
  if (first == "summary") a.command = Command::Summary;
  else if (first == "predict") a.command = Command::Predict;
  else if (first == "export") a.command = Command::Export;
  else if (first == "convert") a.command = Command::Convert;
  else if (first == "import") a.command = Command::Import;
  else return Fail("unknown command \"" + first + "\"");
  const Command command = a.command;

  bool optionsEnded = false;
  for (size_t i = 1; i < argv.size(); ++i) {
    const std::string& arg = argv[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      a.files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string_view name = arg;
    std::optional<std::string> inlineValue;
    if (arg.rfind("--", 0) == 0) {
      if (const size_t eq = arg.find('='); eq != std::string::npos) {
        name = std::string_view(arg).substr(0, eq);
        inlineValue = arg.substr(eq + 1);
      }
    }
    const OptionInfo* info = FindOption(name);
    if (!info) return Fail("unknown option " + std::string(name));
    if (!(info->commands & Bit(command)))
      return Fail("option " + std::string(name) + " does not apply to " +
                  std::string(CommandName(command)));
    if (!info->takesValue) {
      if (inlineValue) return Fail("option " + std::string(name) + " takes no value");
      if (name == "--help") {
        a.command = Command::Help;
        return r;
      }
      if (name == "--json") a.json = true;
      if (name == "--protect") a.protect = true;
      if (name == "--force") a.force = true;
      if (name == "--csv") a.csv = true;
      continue;
    }
    std::string value;
    if (inlineValue) {
      value = std::move(*inlineValue);
    } else {
      if (i + 1 >= argv.size()) return Fail("option " + std::string(name) + " needs a value");
      value = argv[++i];  // taken whole, even when it starts with a minus sign
    }
    if (std::string error = Store(a, name, std::move(value)); !error.empty())
      return Fail(std::move(error));
  }

  const size_t wanted = command == Command::Convert ? 2 : 1;
  if (a.files.size() < wanted)
    return Fail(command == Command::Convert  ? "convert needs an input and an output file"
                : command == Command::Import ? "import needs a table file"
                                             : std::string(CommandName(command)) +
                                                   " needs a grade book file");
  if (a.files.size() > wanted) return Fail("unexpected argument \"" + a.files[wanted] + "\"");
  if (command == Command::Predict && a.left && a.credits)
    return Fail("predict takes --left (classes) or --credits, not both");
  if (command == Command::Predict && (!a.desired || !(a.left || a.credits)))
    return Fail("predict needs --desired and either --left or --credits");
  if (command == Command::Import && !a.output) return Fail("import needs -o BOOK");
  if (a.csv && (a.by || a.date || !a.semesters.empty() || !a.groups.empty()))
    return Fail("--csv writes every class; it takes no --by, --date, --semester or --group");
  return r;
}

const char* UsageText() {
  return "Usage: markwell-cli summary FILE [--method NAME] [--json]\n"
         "                                [--semester NAME]... [--group NAME]...\n"
         "       markwell-cli predict FILE --desired D --left N [--method NAME]\n"
         "       markwell-cli predict FILE --desired D --credits N [--method NAME]\n"
         "       markwell-cli export FILE [-o OUT [--force]] [--by semester|group]\n"
         "                               [--method NAME] [--semester NAME]... [--group NAME]...\n"
         "                               [--date TEXT]\n"
         "       markwell-cli export FILE --csv [-o OUT [--force]]\n"
         "       markwell-cli convert IN OUT [--protect]\n"
         "       markwell-cli import TABLE -o BOOK [--force] [--sheet NAME]\n"
         "       markwell-cli --help | --version\n";
}

std::string HelpText() {
  return std::string(
             "markwell-cli: the Markwell grade book from the command line.\n\n") +
         UsageText() +
         "\n"
         "summary  the GPA of each semester and the overall GPA, as the window shows them\n"
         "         (--json: the same as one JSON object).\n"
         "         --semester and --group count those semesters and groups instead of the\n"
         "         file's marks and group mask; the JSON names the groups counted.\n"
         "predict  the average GPA needed over N more classes (--left) or N more credits\n"
         "         (--credits) to reach the desired GPA D.\n"
         "export   the grade report, by semester (default) or by group; every semester and\n"
         "         the file's group mask unless --semester and --group name others; to\n"
         "         standard output unless -o names a file. The report never replaces the\n"
         "         grade book it reads, nor any other grade book file, unless --force is given.\n"
         "         Its first line carries the date in the form of the locale (LC_TIME), as the\n"
         "         window writes it, unless --date gives the text.\n"
         "         With --csv it writes every class instead, as UTF-8 CSV with the columns\n"
         "         Semester, Class, Credits, Grade and Groups.\n"
         "convert  writes the grade book to OUT, plain or, with --protect, password-protected.\n"
         "import   writes a new plain grade book BOOK (with the built-in methods, as New makes\n"
         "         it) holding the classes of TABLE: CSV or TSV text, an OpenDocument\n"
         "         spreadsheet (.ods) or an Excel workbook (.xlsx; --sheet picks a sheet, the\n"
         "         first by default). Columns are found by their header (Semester, Class,\n"
         "         Credits, Grade, Groups and the names spreadsheets use for them), else taken\n"
         "         in that order. Rows that cannot be classes are listed on standard error with\n"
         "         their line or cell and the reason; the rest is written, and the exit status\n"
         "         is then 1. An existing BOOK is only replaced with --force.\n"
         "\n"
         "--method NAME uses that grading method instead of the one stored in the file.\n"
         "Passwords are never taken from the command line: each one is read as one line of\n"
         "standard input (the password of a protected file first, then that of --protect);\n"
         "an empty line or the end of input cancels. At a terminal each is asked for on\n"
         "standard error and not shown as it is typed, and the new one of --protect is\n"
         "typed twice.\n"
         "\n"
         "Exit status: 0 done, 1 a file could not be read or written, predict's inputs are\n"
         "ones the window refuses or import refused rows, 2 a usage error.\n";
}

}  // namespace mw::cli
