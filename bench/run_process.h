#pragma once
// Runs a program once as a whole process, for the benchmarks that time one: standard input
// and output on /dev/null (and standard error too, unless told), its exit status (or -1), and
// its processor time (user and system) added to cpuSeconds, which reads steadier on a shared
// machine than the wall-clock time.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <string>
#include <vector>

extern char** environ;

namespace mw::bench {

inline int RunProcess(std::vector<std::string> args, double& cpuSeconds, bool quietErrors = true) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  if (quietErrors) posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  int status = -1;
  if (posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    int ws = 0;
    struct rusage usage {};
    if (wait4(pid, &ws, 0, &usage) == pid && WIFEXITED(ws)) status = WEXITSTATUS(ws);
    cpuSeconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                  static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }
  posix_spawn_file_actions_destroy(&actions);
  return status;
}

}  // namespace mw::bench
