// zentil-report as the end-to-end tests run it: C locale (the system's reasons in English),
// killed by an alarm if it ever hangs, and a look at what a folder holds afterwards.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace zentil::testing {

// Seconds after which a hung zentil-report is killed (SIGALRM), so a hang fails the test.
inline constexpr unsigned kHangLimitSeconds = 120;

// Runs zentil-report at `binary` with `args`; `prefix` goes before it (e.g. setpriv and its
// options), `env` is added to the environment.
inline ProgramResult run_report_cli(const std::string& binary, std::vector<std::string> args,
                                    std::vector<std::string> env = {},
                                    const std::function<void()>& in_child = {},
                                    std::vector<std::string> prefix = {}) {
  std::vector<std::string> argv = std::move(prefix);
  argv.push_back(binary);
  argv.insert(argv.end(), args.begin(), args.end());
  env.insert(env.begin(), "LC_ALL=C.UTF-8");
  return run_program(argv, env, "", [&in_child] {
    ::alarm(kHangLimitSeconds);
    if (in_child) in_child();
  });
}

// The names a folder holds, hidden ones included, sorted.
inline std::vector<std::string> folder_names(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// ASAN_OPTIONS as the test runs with, plus `extra`.
inline std::string asan_options_with(const std::string& extra) {
  const char* current = std::getenv("ASAN_OPTIONS");
  return std::string("ASAN_OPTIONS=") + (current && *current ? std::string(current) + ":" : "") +
         extra;
}

}  // namespace zentil::testing
