#include "report/report_run.h"

#include <array>
#include <memory>
#include <vector>

#include "metrics/report_row.h"
#include "metrics/spec_scanner.h"
#include "platform/number_format.h"
#include "report/run_texts.h"

namespace zentil {
namespace {

constexpr std::size_t kReadBufferSize = 256 * 1024;
constexpr std::size_t kRowFlushSize = 64 * 1024;
constexpr int kProgressEvery = 10;

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
    if (Status s = scan_folder(); !s.ok()) return fail(s.error());

    observer_.status_changed("");
    observer_.progress_changed(processed_text(outcome_.entryCount), ProgressStage::Final);
    // The report is saved before the messages, so they never announce one that was lost.
    if (Status s = report_->commit(); !s.ok()) return fail(s.error());
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
        fs_.list_folder(settings_.sourcePath, settings_.reportPath);
    if (!listing.ok()) return listing.error();
    observer_.status_changed(texts::kWorking);

    std::vector<char> buffer(kReadBufferSize);
    SpecScanner scanner;
    int since_update = 0;
    for (const ListedEntry& entry : *listing) {
      ++outcome_.entryCount;
      if (!entry.archive) continue;

      const std::string path = join_path(settings_.sourcePath, entry.name);
      Result<std::unique_ptr<InputFile>> file = fs_.open_input(path);
      if (!file.ok()) return file.error();
      if (Status s = scan_spec_file(**file, scanner, buffer); !s.ok()) return s;
      FileMetrics metrics = scanner.metrics();
      // Read after the scan: the scan is what resets the size.
      Result<std::int64_t> size = (*file)->size();
      if (!size.ok()) return size.error();
      metrics.fileSize = *size;

      append_report_row(rows_, entry.name, metrics);
      outcome_.kbScore += effective_lines(metrics);
      if (rows_.size() >= kRowFlushSize) {
        if (Status s = flush_rows(); !s.ok()) return s;
      }
      if (++since_update == kProgressEvery) {
        since_update = 0;
        observer_.progress_changed(processed_text(outcome_.entryCount), ProgressStage::Step);
      }
    }
    return flush_rows();
  }

  Status flush_rows() {
    Status s = report_->write(rows_);
    rows_.clear();
    return s;
  }

  RunOutcome fail(Error error) {
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
