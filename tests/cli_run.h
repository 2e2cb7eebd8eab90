// Runs zentil-report as a script does, for the tests of the command line on POSIX systems.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace zentil::testing {

using Args = std::vector<std::string>;

struct Ran {
  int code = -1;  // -1: it did not exit
  std::string out, err;
  long peak_kib = 0;
};

inline std::string drain(int fd) {
  std::string bytes;
  char buffer[4096];
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
  ::close(fd);
  return bytes;
}

// Runs `prefix` (programs that set the run up and start the next one: env, prlimit, setpriv, sh)
// and zentil-report with `args`, in the C.UTF-8 locale; an alarm ends it should it hang. Its
// output goes to pipes, which a file-size limit does not cut, and is read once it has ended.
inline Ran cli(Args args, const Args& prefix = {}) {
  args.insert(args.begin(), ZENTIL_REPORT_BIN);
  args.insert(args.begin(), prefix.begin(), prefix.end());
  int out[2], err[2];
  if (::pipe(out) != 0 || ::pipe(err) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out[1], 1);
    ::dup2(err[1], 2);
    ::setenv("LC_ALL", "C.UTF-8", 1);
    ::alarm(120);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  ::close(err[1]);
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, drain(out[0]), drain(err[0]),
          usage.ru_maxrss};
}

}  // namespace zentil::testing
