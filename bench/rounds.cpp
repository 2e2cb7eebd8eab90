// zentil-rounds: times commands in rounds, each round running every command once, so that the
// load of a shared machine falls on all of them alike and a ratio taken within a round means
// something. The order turns by one command each round, so that no command always follows
// the same one. Warm-up rounds run first and are not written down.
//
// Usage: zentil-rounds COMMANDS ROUNDS WARMUP
// COMMANDS holds one command a line: its name, then its program and arguments, separated by tabs
// (a pipeline goes through "sh", "-c", ...). Prints one CSV line per run: round, name, wall,
// user and system time in ms, peak memory in KB. A command's standard output goes to a pipe that
// is read and thrown away (some tools skip work when it is /dev/null), its standard error to
// /dev/null. A command that fails stops everything, with exit status 1.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Command {
  std::string name;
  std::vector<std::string> argv;
};

struct Run {
  double wall_ms, user_ms, sys_ms;
  long peak_kb;
};

double now_ms() {
  timespec t{};
  ::clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double ms(const timeval& t) {
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
}

bool run(const Command& c, Run& out) {
  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0) return false;
  std::vector<char*> argv;
  for (const std::string& a : c.argv) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const double start = now_ms();
  const pid_t pid = ::fork();
  if (pid < 0) return false;
  if (pid == 0) {
    ::dup2(pipe_fds[1], STDOUT_FILENO);
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) ::dup2(null, STDERR_FILENO);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(pipe_fds[1]);
  char sink[1 << 16];
  for (;;) {
    const ssize_t n = ::read(pipe_fds[0], sink, sizeof sink);
    if (n > 0 || (n < 0 && errno == EINTR)) continue;
    break;
  }
  ::close(pipe_fds[0]);
  int status = 0;
  rusage usage{};
  while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  out = {now_ms() - start, ms(usage.ru_utime), ms(usage.ru_stime), usage.ru_maxrss};
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "Uso: zentil-rounds ORDENES RONDAS CALENTAMIENTO\n");
    return 2;
  }
  std::vector<Command> commands;
  std::ifstream in(argv[1]);
  for (std::string line; std::getline(in, line);) {
    if (line.empty()) continue;
    Command c;
    for (std::size_t at = 0;;) {
      const std::size_t tab = line.find('\t', at);
      (c.name.empty() ? c.name : c.argv.emplace_back()) = line.substr(at, tab - at);
      if (tab == std::string::npos) break;
      at = tab + 1;
    }
    if (!c.argv.empty()) commands.push_back(std::move(c));
  }
  const int rounds = std::atoi(argv[2]);
  const int warmup = std::atoi(argv[3]);
  if (commands.empty() || rounds < 1 || warmup < 0) return 2;

  std::printf("ronda,orden,ms,usuario_ms,sistema_ms,memoria_kb\n");
  const auto n = static_cast<int>(commands.size());
  for (int r = -warmup; r < rounds; ++r) {
    for (int k = 0; k < n; ++k) {
      const Command& c = commands[static_cast<std::size_t>(((r + warmup) + k) % n)];
      Run t{};
      if (!run(c, t)) {
        std::fprintf(stderr, "zentil-rounds: falló la orden «%s»\n", c.name.c_str());
        return 1;
      }
      if (r >= 0) {
        std::printf("%d,%s,%.3f,%.3f,%.3f,%ld\n", r, c.name.c_str(), t.wall_ms, t.user_ms, t.sys_ms,
                    t.peak_kb);
      }
    }
    std::fflush(stdout);
  }
  return 0;
}
