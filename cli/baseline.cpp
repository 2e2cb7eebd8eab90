#include "cli/baseline.h"

#include <memory>
#include <utility>

#include "report/archive.h"
#include "report/saved_report.h"

namespace zentil {

Status Baseline::find(FileSystem& fs, const std::string& report) {
  if (command_.history.empty()) return {};
  SeriesRequest request;
  request.origins = command_.history;
  request.report = report;
  if (!report.empty()) {
    request.new_label = command_.label.value_or("actual");
    if (command_.archive) {
      request.archive_folder = *command_.archive;
      // The copy this run replaces is this very release.
      if (command_.label) {
        request.replaced = join_path(*command_.archive, archive_name(report, *command_.label));
      }
    }
  }
  Result<std::vector<SavedRelease>> found = find_releases(fs, request);
  if (!found.ok()) return found.error();
  releases_ = std::move(*found);
  return {};
}

void Baseline::start(bool scan) {
  // A file system of its own: the caller's lists a folder meanwhile.
  if (command_.compare) {
    reading_ = std::async(std::launch::async, [this]() -> Status {
      Result<KbRows> read = read_saved_report(*make_system_file_system(), *command_.compare);
      if (!read.ok()) return read.error();
      earlier_ = std::move(*read);
      return {};
    });
  } else if (!command_.history.empty()) {
    reading_ = std::async(std::launch::async, [this, scan]() -> Status {
      Result<SavedSeries> read = read_series(*make_system_file_system(), releases_, !scan);
      if (!read.ok()) return read.error();
      series_ = std::move(*read);
      return {};
    });
  }
}

Status Baseline::wait() {
  return reading_.valid() ? reading_.get() : Status{};
}

KbOutcome Baseline::outcome(std::optional<KbFigures> now) {
  KbOutcome outcome;
  std::int64_t before = 0, after = 0;  // the effective lines of the last step
  if (earlier_) {
    outcome.now = std::move(*now);
    outcome.comparison = compare_rows(*earlier_, outcome.now.rows);
    before = earlier_->total();
    after = outcome.now.rows.total();
  } else if (series_) {
    std::vector<ReleaseTotals> releases = std::move(series_->totals);
    if (now) {
      outcome.now = std::move(*now);
      const KbRows& rows = outcome.now.rows;
      const KbRows& first = releases.empty() ? rows : series_->first;
      releases.push_back({command_.label.value_or("actual"), rows.size(), rows.total()});
      outcome.history = make_history(std::move(releases), first, rows);
    } else {
      KbRows& last = releases.size() > 1 ? series_->last : series_->first;
      outcome.history = make_history(std::move(releases), series_->first, last);
      outcome.now.rows = std::move(last);
    }
    const std::vector<ReleaseTotals>& r = outcome.history->releases;
    before = r.size() > 1 ? r[r.size() - 2].lines : r.back().lines;
    after = r.back().lines;
  } else if (now) {
    outcome.now = std::move(*now);
  }
  if (command_.max_growth) outcome.budget = judge_growth(*command_.max_growth, before, after);
  return outcome;
}

}  // namespace zentil
