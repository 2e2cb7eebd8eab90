// Runs a program to its end and collects what it printed.
#pragma once

#include <string>
#include <vector>

namespace zentil::testing {

struct ProgramResult {
  int exit_code = -1;  // -1 when it did not exit normally
  std::string out;
  std::string err;
};

// Runs `argv` with `env` added to the environment (each "NAME=value"), standard input from
// /dev/null, in working directory `cwd` (empty: this one).
ProgramResult run_program(const std::vector<std::string>& argv,
                          const std::vector<std::string>& env = {}, const std::string& cwd = "");

}  // namespace zentil::testing
