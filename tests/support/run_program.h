// Runs a program to its end and collects what it printed.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zentil::testing {

struct ProgramResult {
  int exit_code = -1;    // -1 when it did not exit normally
  int signal = 0;        // the signal that ended it, if one did
  long max_rss_kib = 0;  // its peak resident memory
  std::string out;
  std::string err;
};

// Runs `argv` with `env` added to the environment (each "NAME=value"), standard input from
// /dev/null, in working directory `cwd` (empty: this one). `in_child` runs in the new process
// just before the program starts (limits, alarms). Output is read through pipes, so a file-size
// limit set there does not cut it.
ProgramResult run_program(const std::vector<std::string>& argv,
                          const std::vector<std::string>& env = {}, const std::string& cwd = "",
                          const std::function<void()>& in_child = {});

}  // namespace zentil::testing
