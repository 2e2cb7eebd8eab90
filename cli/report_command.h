// What zentil-report does once its arguments are read: a run over a spec folder, with its
// summary, its comparison with an earlier report, its JSON and its page; or the comparison of
// two saved reports.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace zentil {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;  // 128 + SIGINT, as shells report Ctrl+C

struct ReportCommand {
  std::string source;  // a spec folder; with `compare`, it may name a saved report instead
  std::optional<std::string> report;  // the report to write; by default KBReport.csv here
  bool quiet = false;
  unsigned jobs = 0;
  bool summary = false;
  std::optional<std::string> compare;  // the earlier report
  bool json = false;
  std::optional<std::string> html;  // the page to write
  std::size_t top = 10;
};

// Does it all and returns the exit code. Bad input is found before anything is written: the
// earlier report is read and checked, and the page's place made, before the scan starts.
int run_report_command(const ReportCommand& command);

}  // namespace zentil
