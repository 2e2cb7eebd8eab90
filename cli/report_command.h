// What zentil-report does once its arguments are read: a run over a spec folder, with its
// summary, its comparison with an earlier report or its history of releases, its JSON, its page
// and its copy in an archive; or the comparison, or the history, of saved reports alone.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "report/growth_budget.h"

namespace zentil {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitOverBudget = 3;     // all written, but the KB grew past --max-growth
inline constexpr int kExitInterrupted = 130;  // 128 + SIGINT, as shells report Ctrl+C

struct ReportCommand {
  // A spec folder; with `compare`, it may name a saved report instead. None: no scan (a history
  // of saved reports alone).
  std::optional<std::string> source;
  std::optional<std::string> report;  // the report to write; by default KBReport.csv here
  bool quiet = false;
  unsigned jobs = 0;
  bool summary = false;
  std::optional<std::string> compare;  // the earlier report
  std::vector<std::string> history;    // folders of saved reports, or saved reports
  std::optional<std::string> archive;  // the folder a copy of the new report goes to
  std::optional<std::string> label;    // of the new release
  std::optional<GrowthBudget> max_growth;
  bool json = false;
  std::optional<std::string> html;  // the page to write
  std::size_t top = 10;
};

// Does it all and returns the exit code. Bad input is found before anything is written: the
// earlier report or the history is read and checked, and the page's place made, before the scan
// starts.
int run_report_command(const ReportCommand& command);

}  // namespace zentil
