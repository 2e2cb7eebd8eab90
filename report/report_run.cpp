#include "report/report_run.h"

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

#include "metrics/report_row.h"
#include "platform/number_format.h"
#include "report/run_texts.h"
#include "report/scan_pool.h"

namespace zentil {
namespace {

constexpr std::size_t kRowFlushSize = 64 * 1024;
constexpr int kProgressEvery = 10;

// Files scanned at once: as asked, or one per core.
unsigned resolve_jobs(unsigned asked) {
  if (asked > 0) return asked;
  return std::max(1u, std::thread::hardware_concurrency());
}

std::string processed_text(std::int64_t count) {
  return std::string(texts::kProcessedPrefix) + std::to_string(count);
}

class Run {
 public:
  Run(const RunSettings& settings, FileSystem& fs, RunObserver& observer)
      : settings_(settings), fs_(fs), observer_(observer) {}

  RunOutcome execute() {
    if (settings_.sourcePath.empty()) {
      observer_.show_message(texts::kSelectSource, MessageKind::Notice);
      outcome_.result = RunResult::NoSource;
      return outcome_;
    }
    if (Status s = scan_folder(); !s.ok()) return end_early(s.error());
    if (stop_requested()) return stopped();

    observer_.status_changed("");
    observer_.progress_changed(processed_text(outcome_.entryCount), ProgressStage::Final);
    // The report is saved before the messages, so they never announce one that was lost.
    if (Status s = report_->commit(); !s.ok()) return end_early(s.error());
    report_.reset();

    observer_.show_message(std::string(texts::kCountPrefix) + std::to_string(outcome_.entryCount),
                           MessageKind::Result);
    observer_.show_message(std::string(texts::kScorePrefix) +
                               format_score(outcome_.kbScore, settings_.decimalSeparator),
                           MessageKind::Result);
    observer_.progress_changed(texts::kProcessedIdle, ProgressStage::Reset);
    return outcome_;
  }

 private:
  Status scan_folder() {
    if (Status s = fs_.check_source_folder(settings_.sourcePath); !s.ok()) return s;

    Result<std::unique_ptr<ReportFile>> report = fs_.create_report(settings_.reportPath);
    if (!report.ok()) return report.error();
    report_ = std::move(*report);
    rows_.assign(kReportHeader);

    Result<std::vector<ListedEntry>> listing =
        fs_.list_folder(settings_.sourcePath, settings_.reportPath, settings_.stop);
    if (!listing.ok()) return listing.error();
    if (settings_.rows != nullptr) {
      if (Status s = settings_.rows->begin(listing->size()); !s.ok()) return s;
    }
    observer_.status_changed(texts::kWorking);

    // Files are scanned ahead on other threads; rows and progress stay here, in listing order.
    ScanPool pool(fs_, settings_.sourcePath, *listing, resolve_jobs(settings_.jobs), settings_.stop,
                  ScanPool::kDefaultWindow, settings_.pieces);
    int since_update = 0;
    for (std::size_t i = 0; i < listing->size(); ++i) {
      if (stop_requested()) return Status{};
      const ListedEntry& entry = (*listing)[i];
      ++outcome_.entryCount;
      if (!entry.archive) continue;

      Result<ScannedFile> scanned = pool.take(i);
      if (!scanned.ok()) return scanned.error();
      const FileMetrics& metrics = scanned->metrics;
      const std::size_t row_start = rows_.size();
      const std::size_t name_size = append_report_row(rows_, entry.name, metrics);
      if (settings_.rows != nullptr) {
        const std::string_view name = std::string_view(rows_).substr(row_start, name_size);
        if (Status s = settings_.rows->add(name, metrics, scanned->kind); !s.ok()) return s;
      }
      outcome_.kbScore += effective_lines(metrics);
      if (rows_.size() >= kRowFlushSize) {
        if (Status s = flush_rows(); !s.ok()) return s;
      }
      if (++since_update == kProgressEvery) {
        since_update = 0;
        observer_.progress_changed(processed_text(outcome_.entryCount), ProgressStage::Step);
      }
    }
    if (settings_.rows != nullptr) {
      if (Status s = settings_.rows->finish(); !s.ok()) return s;
    }
    return flush_rows();
  }

  Status flush_rows() {
    Status s = report_->write(rows_);
    rows_.clear();
    return s;
  }

  bool stop_requested() const { return zentil::stop_requested(settings_.stop); }

  // An error met once a stop was asked for is the stop's doing, or no longer of interest.
  RunOutcome end_early(Error error) {
    return stop_requested() ? stopped() : fail(std::move(error));
  }

  RunOutcome stopped() {
    report_.reset();  // removes the temporary file
    observer_.status_changed("");
    observer_.progress_changed(texts::kProcessedIdle, ProgressStage::Reset);
    outcome_.result = RunResult::Stopped;
    return outcome_;
  }

  RunOutcome fail(Error error) {
    if (error.report_in_use) {
      error.message += texts::kCloseAndRetry;
      error.message += settings_.retry + ".";
    }
    report_.reset();  // removes the temporary file
    observer_.status_changed("");
    observer_.show_message(error.message, MessageKind::Failure);
    observer_.progress_changed(texts::kProcessedIdle, ProgressStage::Reset);
    outcome_.result = RunResult::Failed;
    outcome_.error = std::move(error);
    return outcome_;
  }

  const RunSettings& settings_;
  FileSystem& fs_;
  RunObserver& observer_;
  RunOutcome outcome_;
  std::unique_ptr<ReportFile> report_;
  std::string rows_;
};

}  // namespace

RunOutcome run_report(const RunSettings& settings, FileSystem& fs, RunObserver& observer) {
  return Run(settings, fs, observer).execute();
}

}  // namespace zentil
