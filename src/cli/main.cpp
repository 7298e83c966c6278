// markwell-cli: the grade book from the command line, for scripts and for checking grade book
// files without a window.
#include <unistd.h>

#include <csignal>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "model/gradebook.h"

int main(int argc, char** argv) {
#ifdef SIGPIPE
  // A reader that goes away early (| head) must give a write error, not kill the program.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  using namespace mw::cli;
  const std::vector<std::string> words(argv + (argc > 0 ? 1 : 0), argv + argc);
  int status = kOk;
  try {
    const ParseResult parsed = ParseArguments(words);
    if (!parsed.error.empty()) {
      status = UsageError(std::cerr, parsed.error);
    } else if (parsed.args.command == Command::Help) {
      std::cout << HelpText();
    } else if (parsed.args.command == Command::Version) {
      std::cout << "markwell-cli " << MARKWELL_VERSION << '\n';
    } else {
      // The book read is left to the system at exit: freeing a large one class by class
      // takes longer than summing it.
      static mw::GradeBook* const book = new mw::GradeBook;
      status = RunCommand(parsed.args, *book, std::cin, std::cout, std::cerr,
                          isatty(STDIN_FILENO) == 1);
    }
  } catch (const std::exception& e) {
    std::cerr << "markwell-cli: " << e.what() << '\n';
    return kFileError;
  }
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "markwell-cli: could not write to standard output\n";
    return kFileError;
  }
  return status;
}
