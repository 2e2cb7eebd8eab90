// What a KB is measured against: the earlier report of --compare, or the saved releases of
// --history.
#pragma once

#include <future>
#include <optional>
#include <string>
#include <vector>

#include "cli/kb_outcome.h"
#include "cli/report_command.h"
#include "platform/file_system.h"
#include "report/saved_series.h"

namespace zentil {

class Baseline {
 public:
  explicit Baseline(const ReportCommand& command) : command_(command) {}

  // Finds the saved releases of --history, for a scan that writes `report` (empty: no scan). A
  // fault the listing shows (no report in a folder, two releases of one label) is found here,
  // before any report is read.
  Status find(FileSystem& fs, const std::string& report);

  const std::vector<SavedRelease>& releases() const { return releases_; }

  // Starts reading on a thread of its own, through a file system of its own, while the caller
  // goes on. With a scan (`scan`), the scan is the last release and the last saved one's rows
  // are not kept.
  void start(bool scan);
  // Waits for the reading to end; a report that is none is the answer. Called once.
  Status wait();

  // What the outputs show of `now` (the KB measured; none: the last saved release) against it,
  // with the last step judged when there is a budget.
  KbOutcome outcome(std::optional<KbFigures> now);

 private:
  const ReportCommand& command_;
  std::vector<SavedRelease> releases_;
  std::optional<KbRows> earlier_;
  std::optional<SavedSeries> series_;
  std::future<Status> reading_;  // last: it is waited for before what it fills goes
};

}  // namespace zentil
